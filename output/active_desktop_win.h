// The shell's Active Desktop object, as the wallpaper wrap and the Active Desktop item use it.
#pragma once

#include <windows.h>

// The Active Desktop declarations in shlobj.h are only made when the WinINet header came first,
// since its records are sized by INTERNET_MAX_URL_LENGTH.
#include <wininet.h>

#include <shlobj.h>

#include "framework/com_owners_win.h"

using OwnedActiveDesktop = OwnedComInterface<IActiveDesktop>;

// Creates the Active Desktop object (in-process server) into desktop; COM must be initialised
// on the calling thread (ComScope). Returns the creation's result; on failure desktop stays
// empty.
HRESULT CreateActiveDesktop(OwnedActiveDesktop& desktop);

// Reads the desktop item options into options, whose size field is set to 12 and whose two
// flags are cleared first. Returns the call's result; the flags are only meaningful on success.
HRESULT ReadDesktopItemOptions(IActiveDesktop& desktop, COMPONENTSOPT& options);

// True when the shell reports Active Desktop switched on. Under WOW64 the interface is not used
// and the answer is false; so is it when COM, the object or the options cannot be had.
bool IsActiveDesktopOn();
