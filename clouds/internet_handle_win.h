// Owner of one WinINet handle: a session from InternetOpen, a connection from InternetConnect or
// a request from HttpOpenRequest. Declare the owners of one request in the order they were
// opened: destruction runs in reverse, so the request is closed before its connection and the
// connection before its session.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "framework/owned_handle_win.h"

// Owns the handle and closes it with InternetCloseHandle at the end.
using OwnedInternetHandle = OwnedHandle<HINTERNET, &InternetCloseHandle>;
