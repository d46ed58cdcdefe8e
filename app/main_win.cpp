// The program's entry point: the one application object, run until the program ends.
#include <windows.h>

#include "app/orbiscape_app_win.h"
#include "framework/win_app_win.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    COrbiscapeApp app;
    return RunApplication(app);
}
