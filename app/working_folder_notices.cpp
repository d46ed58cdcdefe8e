#include "app/working_folder_notices.h"

#include <algorithm>

namespace {

constexpr std::u16string_view kEllipsis = u"\u2026";

// The text with at most limit characters: its beginning and its end, which name the drive and
// the program's own folder, with an ellipsis between them.
std::u16string ShortenedInTheMiddle(std::u16string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return std::u16string(text);
    }
    if (limit <= kEllipsis.size()) {
        return std::u16string(kEllipsis.substr(0, limit));
    }
    const std::size_t kept = limit - kEllipsis.size();
    const std::size_t head = kept / 2;
    const std::size_t tail = kept - head;
    return std::u16string(text.substr(0, head)) + std::u16string(kEllipsis) +
           std::u16string(text.substr(text.size() - tail));
}

}  // namespace

std::u16string UnwritableFolderMessage(std::u16string_view folder, std::u16string_view reason) {
    return u"Orbiscape cannot keep its working files in its folder:\n\n" + std::u16string(folder) + u"\n\n" +
           std::u16string(reason) +
           u"\n\nMove the Orbiscape folder to a place where you can create files, such as a folder in your "
           u"user profile, or install Orbiscape with its installer, which puts it there. Orbiscape ends now.";
}

BalloonText WriteFailureBalloon(std::u16string_view folder, std::u16string_view reason) {
    constexpr std::u16string_view kTitle = u"Orbiscape cannot update the picture";
    constexpr std::u16string_view kBeforeFolder = u"\nIt could not write its files in ";
    constexpr std::u16string_view kAfterFolder =
        u". The picture on the desktop stays; Orbiscape tries again at every redraw.";
    // A reason longer than half the text would leave no room for the folder.
    const std::u16string shortReason = ShortenedInTheMiddle(reason, kBalloonTextLimit / 2);
    const std::size_t fixed = shortReason.size() + kBeforeFolder.size() + kAfterFolder.size();
    const std::size_t folderRoom = kBalloonTextLimit - std::min(fixed, kBalloonTextLimit);
    return {std::u16string(kTitle), shortReason + std::u16string(kBeforeFolder) +
                                        ShortenedInTheMiddle(folder, folderRoom) +
                                        std::u16string(kAfterFolder)};
}
