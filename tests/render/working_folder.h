// A scratch folder that is the current directory while it lives: the renderer names its working
// files relative to the current directory. The previous directory comes back, and the folder
// goes with everything in it, when the object ends.
#pragma once

#include <filesystem>
#include <string>

class WorkingFolder {
  public:
    WorkingFolder();
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Copies a file of the source tree (relative to the repository root, which ctest passes in
    // ORBISCAPE_SOURCE_DIR) into the folder under name.
    void CopyFromSource(const std::string& relative, const std::string& name) const;

  private:
    // Made absolute before the current directory changes: under Wine a path such as /work/...
    // is taken on the current drive, which is no longer the one the tree is on.
    std::filesystem::path sourceRoot_;
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

bool FileExists(const std::string& name);
