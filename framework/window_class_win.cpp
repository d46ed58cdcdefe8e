#include "framework/window_class_win.h"

#include "framework/program_instance_win.h"

bool RegisterWindowClass(const char* className, WNDPROC procedure) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ProgramInstance();
    windowClass.lpszClassName = className;
    if (RegisterClassExA(&windowClass) != 0) {
        return true;
    }
    if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    return GetClassInfoExA(ProgramInstance(), className, &existing) != 0 && existing.lpfnWndProc == procedure;
}
