#include "ui/size_list.h"

namespace {

// "%dx%d"
std::string SizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace

std::uint32_t PackSize(int width, int height) {
    return (static_cast<std::uint32_t>(height) & 0xFFFFu) << 16 |
           (static_cast<std::uint32_t>(width) & 0xFFFFu);
}

std::int32_t PackedWidth(std::uint32_t code) {
    return static_cast<std::int32_t>(code & 0xFFFFu);
}

std::int32_t PackedHeight(std::uint32_t code) {
    return static_cast<std::int32_t>(code >> 16);
}

SizeList BuildSizeList(const std::vector<MonitorArea>& monitors, int virtualWidth, int virtualHeight,
                       std::int32_t storedWidth, std::int32_t storedHeight) {
    SizeList list;
    for (const MonitorArea& monitor : monitors) {
        list.choices.push_back({SizeText(monitor.width, monitor.height) + " - " + monitor.deviceName,
                                PackSize(monitor.width, monitor.height)});
    }
    if (list.choices.size() > 1) {
        list.separators.push_back(static_cast<int>(list.choices.size()) - 1);
        if (const std::uint32_t combined = PackSize(virtualWidth, virtualHeight); combined != 0) {
            list.choices.push_back({SizeText(virtualWidth, virtualHeight) + " - Combined Desktop", combined});
        }
    }
    if (list.choices.empty()) {
        list.choices.push_back({SizeText(storedWidth, storedHeight), PackSize(storedWidth, storedHeight)});
        return list;
    }
    for (std::size_t index = 0; index < list.choices.size(); ++index) {
        const std::uint32_t code = list.choices[index].code;
        if (PackedWidth(code) == storedWidth && PackedHeight(code) == storedHeight) {
            list.selection = static_cast<int>(index);
            break;
        }
    }
    return list;
}
