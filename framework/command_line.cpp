#include "framework/command_line.h"

namespace {

constexpr std::string_view kSeparators = " \t";

}  // namespace

std::string_view ArgumentsAfterProgramName(std::string_view commandLine) {
    size_t nameEnd;
    if (!commandLine.empty() && commandLine.front() == '"') {
        const size_t closingQuote = commandLine.find('"', 1);
        nameEnd = closingQuote == std::string_view::npos ? commandLine.size() : closingQuote + 1;
    } else {
        nameEnd = commandLine.find_first_of(kSeparators);
        if (nameEnd == std::string_view::npos) {
            nameEnd = commandLine.size();
        }
    }
    const size_t argumentsStart = commandLine.find_first_not_of(kSeparators, nameEnd);
    return argumentsStart == std::string_view::npos ? std::string_view() : commandLine.substr(argumentsStart);
}
