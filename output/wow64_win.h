// Whether the program runs as a 32-bit program on 64-bit Windows. The Active Desktop interface
// is never used then: the wallpaper wrap treats Active Desktop as off, the desktop item does
// nothing, and the settings dialog does not offer the choice.
#pragma once

// True under WOW64. The function that tells is looked up at run time, since older systems lack
// it; without it the answer is false.
bool IsWow64();
