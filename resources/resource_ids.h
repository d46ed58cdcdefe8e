/* The numbers that tie the program's code to its resources and its commands to each other.
   This file is read by the resource compiler as well as by C++, so it holds plain #defines
   only: no includes, no C++ syntax, nothing the C preprocessor alone cannot take. */
#ifndef ORBISCAPE_RESOURCES_RESOURCE_IDS_H
#define ORBISCAPE_RESOURCES_RESOURCE_IDS_H

/* Resources */

/* The globe icon (16, 24, 32 and 48 pixels): tray icon, window icons and dialog icons. */
#define IDI_ORBISCAPE 128
/* The tray icon's popup menu. The tray also uses this number as its icon's id. */
#define IDR_TRAY_MENU 104
/* The text of the settings dialog's system-menu item that opens the about box. */
#define IDS_ABOUT_ORBISCAPE 101

/* Commands. Each arrives on the main thread as WM_COMMAND with the id in wParam, posted with
   PostThreadMessageA; the tray window forwards its menu choices unchanged, so the menu items
   carry these same ids. */

/* Reload the settings, prepare the sources at the output size, re-arm both timers and redraw.
   Posted by the settings and cloud updates dialogs once they have stored their settings. */
#define ID_APPLY_SETTINGS 1
/* Open the settings dialog: the tray menu's "&Options..." and a double click on the icon. */
#define ID_OPTIONS 103
/* Open the cloud updates dialog: the tray menu's "&Cloud updates...". */
#define ID_CLOUD_UPDATES 32771
/* The cloud download thread has ended: arm the cloud timer again. Posted by that thread. */
#define ID_CLOUD_UPDATE_DONE 32772
/* Open the about box: the tray menu's "&About...". */
#define ID_APP_ABOUT 57664
/* End the program: the tray menu's "E&xit". */
#define ID_APP_EXIT 57665

#endif
