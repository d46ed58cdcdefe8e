#include "render/processor_count.h"

#include <thread>

unsigned ProcessorCount() {
    // hardware_concurrency gives 0 when the count cannot be determined.
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1u;
}
