// What the application tests share: a scratch working directory, a clean settings key, and
// reading the thread's own messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>

#include "framework/worker_thread_win.h"
#include "settings/settings.h"
#include "tests/framework/modal_loop_support_win.h"
#include "tests/render/working_folder.h"

struct ThreadMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The next message posted to the thread itself, without a window; window messages met on the
// way are dispatched.
std::optional<ThreadMessage> NextThreadMessage();

// Dispatches the thread's messages until a thread message `message` arrives (true) or the
// deadline passes (false). Thread messages of other numbers are dropped.
bool WaitForThreadMessage(UINT message, std::chrono::milliseconds deadline,
                          ThreadMessage* received = nullptr);

// The stored settings as a test wants them: the key is removed, then the record that `change`
// has adjusted from the defaults, with an empty mirror list, is stored. Without a change the
// key simply stays away.
void StoreSettings(const std::function<void(CSettings&)>& change = nullptr);
void RemoveStoredSettings();
