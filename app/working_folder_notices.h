// What the program tells its user when it cannot write its working files, which it keeps in its
// own folder. Two cases: at start, a folder the user cannot write to (as under Program Files),
// where the program cannot work at all and ends; and later, a write that fails (a full disk),
// after which the program keeps the picture already on the desktop and tries again at each
// redraw. Either way the user hears the folder and the system's reason once, not at every
// redraw.
#pragma once

#include <string>
#include <string_view>

// The message box text for a start in a folder the program cannot create files in.
std::u16string UnwritableFolderMessage(std::u16string_view folder, std::u16string_view reason);

// A tray balloon's title and text, each within the shell's limits (63 and 255 characters): the
// folder is shortened in its middle when the whole text would not fit.
struct BalloonText {
    std::u16string title;
    std::u16string text;
};

// The balloon for a working file that could not be written after a good start.
BalloonText WriteFailureBalloon(std::u16string_view folder, std::u16string_view reason);

// The longest title and text a balloon can show, in characters.
inline constexpr std::size_t kBalloonTitleLimit = 63;
inline constexpr std::size_t kBalloonTextLimit = 255;
