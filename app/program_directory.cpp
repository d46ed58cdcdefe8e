#include "app/program_directory.h"

std::string DirectoryOfPath(std::string_view path) {
    const size_t lastSeparator = path.rfind('\\');
    if (lastSeparator == std::string_view::npos) {
        return std::string();
    }
    return std::string(path.substr(0, lastSeparator + 1));
}
