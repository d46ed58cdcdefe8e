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

/* Controls that code never addresses: labels, icons, pictures. */
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Dialog templates, and the picture of the component-shown dialog. */
#define IDD_ABOUTBOX 100
#define IDD_ORBISCAPE_DIALOG 102
#define IDD_COMPONENT_SHOWN 129
#define IDB_COMPONENT_SHOWN 130
#define IDD_CLOUD_DIALOG 133

/* The settings dialog's controls. */
#define IDC_CENTER_ON 1000
#define IDC_PREVIEW 1001
#define IDC_ITEM_SIZE 1002
#define IDC_UPDATE_FREQ 1003
#define IDC_SETTINGS_TAB 1004
#define IDC_IMAGE_OPTIONS 1006
#define IDC_BLACK_BARS 1007
#define IDC_CROP 1008
#define IDC_DISPLAY_OPTIONS 1009
#define IDC_ACTIVE_DESKTOP 1010
#define IDC_WALLPAPER 1011
#define IDC_CLOUDS 1013
#define IDC_DAY_IMAGE 1016
#define IDC_NIGHT_IMAGE 1017
#define IDC_CLOUD_THICKNESS 1025
#define IDC_SHARP_MAPS 1026
/* Apply, beside the system's IDOK (1) and IDCANCEL (2). */
#define IDC_APPLY 3

/* The cloud updates dialog's controls; its tab is the settings dialog's number too. */
#define IDC_CLOUD_TAB 1004
#define IDC_CLOUD_UPDATE_FREQ 1013
#define IDC_UPDATE_CLOUDS 1014
#define IDC_MIRROR_LIST 1016
#define IDC_MOVE_MIRROR_UP 1017
#define IDC_MOVE_MIRROR_DOWN 1018
#define IDC_DELETE_MIRROR 1019
#define IDC_ADD_MIRROR 1020
#define IDC_MIRROR_ADDRESS 1021
#define IDC_LAST_UPDATED 1022
#define IDC_CLOUD_PREVIEW 1023

/* The component-shown dialog's picture of the item. */
#define IDC_COMPONENT_PICTURE 1030

/* The settings dialog's system-menu item that opens the about box. */
#define IDM_ABOUTBOX 16

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
/* The monthly map's download thread has ended: when it installed the map, prepare the sources
   and redraw; otherwise try again later. Posted by that thread. */
#define ID_SHARP_MAP_DONE 32773
/* Open the about box: the tray menu's "&About...". */
#define ID_APP_ABOUT 57664
/* End the program: the tray menu's "E&xit". */
#define ID_APP_EXIT 57665

#endif
