// What the dialog tests share: a working folder that holds the small cloud map the dialogs show,
// the common controls, a settings key removed afterwards, the ID_APPLY_SETTINGS commands a dialog
// posts to the test thread, and the process's own GDI objects and memory.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "framework/thread_message_filter_win.h"
#include "tests/render/working_folder.h"

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The ID_APPLY_SETTINGS commands posted so far: those handled inside the dialog's modal loop,
    // and those still waiting because the dialog ended right after posting them.
    int AppliesPosted();

    WorkingFolder folder_;
    // The thread commands the dialog posts reach the test thread inside the dialog's modal loop.
    ThreadMessageMap applyPosts_;
    const ThreadMessageFilter filter_{applyPosts_};
    std::atomic<int> appliesPosted_ = 0;
};
