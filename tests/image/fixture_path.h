// Where the image tests find the picture files committed beside them and the program's data.
#pragma once

#include <cstdlib>
#include <string>

// A path under the source tree (ctest passes its root in ORBISCAPE_SOURCE_DIR).
inline std::string SourcePath(const std::string& relative) {
    const char* root = std::getenv("ORBISCAPE_SOURCE_DIR");
    return std::string(root ? root : ".") + "/" + relative;
}

inline std::string Fixture(const std::string& name) {
    return SourcePath("tests/image/fixtures/" + name);
}
