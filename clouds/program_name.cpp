#include "clouds/program_name.h"

std::string ProgramNameOfPath(std::string_view modulePath) {
    std::string_view name = modulePath;
    if (const std::size_t separator = name.find_last_of("\\/"); separator != std::string_view::npos) {
        name.remove_prefix(separator + 1);
    }
    return std::string(name.substr(0, name.rfind('.')));
}
