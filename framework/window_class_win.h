// Registration of the window classes behind the framework's windows. The system keeps the
// registry of class names, so registering is asked of it each time rather than remembered here.
#pragma once

#include <windows.h>

// Registers, once per name, a class of the program's module whose windows run `procedure`, with
// default attributes: no class style, cursor, background brush or icon, and no extra bytes. That
// is all the program's hidden windows need; windows that draw do so in their own procedure.
// Returns true when the class exists afterwards with that procedure, also when an earlier call
// registered it; false when registration fails or the name is taken by a class with another
// procedure.
bool RegisterWindowClass(const char* className, WNDPROC procedure);
