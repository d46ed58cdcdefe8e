#include "working_folder.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <system_error>

namespace {

std::filesystem::path FreshFolderName() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::filesystem::temp_directory_path() /
           ("orbiscape-render-" + std::to_string(stamp) + "-" + std::to_string(counter++));
}

std::filesystem::path AbsoluteSourceRoot() {
    const char* root = std::getenv("ORBISCAPE_SOURCE_DIR");
    return std::filesystem::absolute(root != nullptr ? root : ".");
}

}  // namespace

WorkingFolder::WorkingFolder()
    : sourceRoot_(AbsoluteSourceRoot()),
      previous_(std::filesystem::current_path()),
      path_(FreshFolderName()) {
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
}

WorkingFolder::~WorkingFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void WorkingFolder::CopyFromSource(const std::string& relative, const std::string& name) const {
    std::filesystem::copy_file(sourceRoot_ / relative, path_ / name,
                               std::filesystem::copy_options::overwrite_existing);
}

bool FileExists(const std::string& name) {
    std::error_code ignored;
    return std::filesystem::exists(name, ignored);
}
