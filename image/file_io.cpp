#include "image/file_io.h"

std::string TemporaryNameBeside(const char* name, unsigned long processId, unsigned long threadId) {
    return std::string(name) + "." + std::to_string(processId) + "-" + std::to_string(threadId) + ".tmp";
}
