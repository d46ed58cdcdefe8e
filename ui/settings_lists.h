// The fixed lists of the settings dialog, as choice lists (choice_list.h).
#pragma once

#include "ui/choice_list.h"

// "Current Time Zone" and the other named centres, then the time zones; a zone's code is its
// offset from UTC in degrees of longitude, the fraction dropped.
ChoiceList CentreOnChoices();
// The redraw periods; the code is the period in milliseconds.
ChoiceList UpdateChoices();
// The night images by number, -1 for the day image darkened, 0 for none.
ChoiceList NightChoices();
// The day images by number, -1 for the current month's.
ChoiceList DayChoices();
