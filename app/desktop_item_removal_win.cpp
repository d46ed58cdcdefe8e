#include "app/desktop_item_removal_win.h"

void RemoveProgramDesktopItems() {}
