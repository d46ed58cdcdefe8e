#include "framework/wnd_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "framework/program_instance_win.h"
#include "framework/window_class_win.h"

namespace {

using ::testing::Contains;
using ::testing::Not;

constexpr UINT kForwarded = WM_USER + 1;    // answered by the plain window's own procedure
constexpr UINT kIntercepted = WM_USER + 2;  // answered by the subclassing object
constexpr LRESULT kPlainAnswer = 41;
constexpr LRESULT kObjectAnswer = 7;

// A window the framework knows nothing of, standing in for a control or a system list.
std::vector<UINT> plainMessages;

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER) {
        plainMessages.push_back(message);
        return message == kForwarded ? kPlainAnswer : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreatePlainWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &PlainWindowProc;
    windowClass.hInstance = ProgramInstance();
    windowClass.lpszClassName = "OrbiscapeTestPlainWindow";
    RegisterClassExA(&windowClass);
    plainMessages.clear();
    return CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           ProgramInstance(), nullptr);
}

// Records every message it sees and lets a test answer some of them.
class RecordingWnd : public CWnd {
  public:
    std::vector<UINT> messages;
    std::function<std::optional<LRESULT>(UINT message)> answer;

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (answer) {
            if (const std::optional<LRESULT> result = answer(message)) {
                return *result;
            }
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

bool CreateHidden(CWnd& window, const char* title = "") {
    return window.CreateEx(0, title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
}

TEST(CWnd, CreateExMakesAHiddenWindowThatRunsThroughItsObject) {
    RecordingWnd window;
    window.answer = [](UINT message) -> std::optional<LRESULT> {
        return message == WM_USER ? std::optional<LRESULT>(1234) : std::nullopt;
    };
    ASSERT_TRUE(CreateHidden(window, "OrbiscapeCommandSink"));
    const HWND handle = window.GetSafeHwnd();

    EXPECT_EQ(window.Link(), WindowLink::kCreated);
    EXPECT_TRUE(window.OwnsWindow());
    EXPECT_EQ(CWnd::FromHandle(handle), &window);
    EXPECT_EQ(FindWindowA(nullptr, "OrbiscapeCommandSink"), handle);
    EXPECT_FALSE(IsWindowVisible(handle));
    EXPECT_THAT(window.messages, Contains(static_cast<UINT>(WM_NCCREATE)));
    EXPECT_THAT(window.messages, Contains(static_cast<UINT>(WM_CREATE)));
    EXPECT_EQ(window.SendMessage(WM_USER), 1234);

    // The class has default attributes only: nothing is drawn and no cursor is set for its windows.
    EXPECT_EQ(GetClassLongPtrA(handle, GCL_STYLE), 0u);
    EXPECT_EQ(GetClassLongPtrA(handle, GCLP_HCURSOR), 0u);
    EXPECT_EQ(GetClassLongPtrA(handle, GCLP_HBRBACKGROUND), 0u);
    EXPECT_EQ(GetClassLongPtrA(handle, GCLP_HICON), 0u);

    EXPECT_FALSE(CreateHidden(window)) << "an object holds one window at a time";
    EXPECT_EQ(window.GetSafeHwnd(), handle);
}

TEST(CWnd, DestroyingUnlinksTheWindowAndTheDestructorDestroysWhatItOwns) {
    RecordingWnd window;
    ASSERT_TRUE(CreateHidden(window));
    const HWND handle = window.GetSafeHwnd();
    ASSERT_TRUE(window.DestroyWindow());
    EXPECT_THAT(window.messages, Contains(static_cast<UINT>(WM_DESTROY)));
    EXPECT_THAT(window.messages, Contains(static_cast<UINT>(WM_NCDESTROY)));
    EXPECT_EQ(window.GetSafeHwnd(), nullptr);
    EXPECT_EQ(window.Link(), WindowLink::kNone);
    EXPECT_FALSE(IsWindow(handle));

    HWND owned;
    {
        CWnd scoped;
        ASSERT_TRUE(CreateHidden(scoped));
        owned = scoped.GetSafeHwnd();
    }
    EXPECT_FALSE(IsWindow(owned));
}

TEST(CWnd, AnAttachedWindowIsOnlyViewedAndOutlivesItsObject) {
    const HWND plain = CreatePlainWindow();
    ASSERT_NE(plain, nullptr);
    {
        CWnd view;
        ASSERT_TRUE(view.Attach(plain));
        EXPECT_EQ(view.Link(), WindowLink::kAttached);
        EXPECT_FALSE(view.OwnsWindow());
        EXPECT_EQ(CWnd::FromHandle(plain), nullptr) << "nothing is routed through a view";
        EXPECT_EQ(view.SendMessage(kForwarded), kPlainAnswer);
        EXPECT_FALSE(view.Attach(plain));
    }
    EXPECT_TRUE(IsWindow(plain));

    CWnd view;
    ASSERT_TRUE(view.Attach(plain));
    EXPECT_EQ(view.Detach(), plain);
    EXPECT_EQ(view.Link(), WindowLink::kNone);

    ASSERT_TRUE(view.Attach(plain));
    ASSERT_TRUE(view.DestroyWindow());
    EXPECT_FALSE(IsWindow(plain));
    EXPECT_EQ(view.GetSafeHwnd(), nullptr);

    CWnd created;
    ASSERT_TRUE(CreateHidden(created));
    EXPECT_EQ(created.Detach(), nullptr) << "a created window would keep leading to its object";
    EXPECT_EQ(created.Link(), WindowLink::kCreated);
}

TEST(CWnd, SubclassingForwardsToTheOriginalProcedureAndUnsubclassingRestoresIt) {
    const HWND plain = CreatePlainWindow();
    ASSERT_NE(plain, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(plain, GWLP_WNDPROC);
    {
        RecordingWnd subclass;
        subclass.answer = [](UINT message) -> std::optional<LRESULT> {
            return message == kIntercepted ? std::optional<LRESULT>(kObjectAnswer) : std::nullopt;
        };
        ASSERT_TRUE(subclass.SubclassWindow(plain));
        EXPECT_EQ(subclass.Link(), WindowLink::kSubclassed);
        EXPECT_FALSE(subclass.OwnsWindow());
        EXPECT_EQ(CWnd::FromHandle(plain), &subclass);

        EXPECT_EQ(SendMessageA(plain, kForwarded, 0, 0), kPlainAnswer);
        EXPECT_EQ(SendMessageA(plain, kIntercepted, 0, 0), kObjectAnswer);
        EXPECT_THAT(subclass.messages, Contains(kForwarded));
        EXPECT_THAT(plainMessages, Not(Contains(kIntercepted)));

        EXPECT_EQ(subclass.UnsubclassWindow(), plain);
        EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_WNDPROC), original);
        EXPECT_EQ(CWnd::FromHandle(plain), nullptr);
        EXPECT_EQ(SendMessageA(plain, kIntercepted, 0, 0), 0);
        EXPECT_THAT(plainMessages, Contains(kIntercepted));

        // Subclassed again, and left to the destructor this time.
        ASSERT_TRUE(subclass.SubclassWindow(plain));
    }
    EXPECT_TRUE(IsWindow(plain));
    EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_WNDPROC), original);
    EXPECT_EQ(SendMessageA(plain, kForwarded, 0, 0), kPlainAnswer);
    DestroyWindow(plain);
}

TEST(CWnd, SubclassingRefusesWindowsItCannotSafelyTakeOver) {
    CWnd subclass;
    EXPECT_FALSE(subclass.SubclassWindow(nullptr));

    const HWND destroyed = CreatePlainWindow();
    DestroyWindow(destroyed);
    EXPECT_FALSE(subclass.SubclassWindow(destroyed));

    CWnd created;
    ASSERT_TRUE(CreateHidden(created));
    EXPECT_FALSE(subclass.SubclassWindow(created.GetSafeHwnd())) << "already runs through an object";

    const HWND plain = CreatePlainWindow();

    {
        // A window of another thread, kept alive until it has been tried.
        std::atomic<HWND> foreign = nullptr;
        std::atomic<bool> ready = false;
        std::atomic<bool> tried = false;
        std::thread owner([&] {
            const HWND window = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                                ProgramInstance(), nullptr);
            foreign = window;
            ready = true;
            while (!tried) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            DestroyWindow(window);
        });
        while (!ready) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_NE(foreign.load(), nullptr);
        EXPECT_FALSE(subclass.SubclassWindow(foreign)) << "another thread's window";
        tried = true;
        owner.join();
    }

    ASSERT_TRUE(subclass.SubclassWindow(plain));
    EXPECT_FALSE(subclass.SubclassWindow(plain));
    CWnd second;
    EXPECT_FALSE(second.SubclassWindow(plain)) << "another object holds it";
    subclass.UnsubclassWindow();
    DestroyWindow(plain);
}

// Another subclass put on top of ours, forwarding to what it replaced.
WNDPROC replacedProcedure = nullptr;
LRESULT CALLBACK OuterSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(replacedProcedure, window, message, wParam, lParam);
}

TEST(CWnd, SubclassingLeavesTheOwnersDataAndOtherSubclassesAlone) {
    const HWND plain = CreatePlainWindow();
    SetWindowLongPtrA(plain, GWLP_USERDATA, 99);
    {
        RecordingWnd subclass;
        ASSERT_TRUE(subclass.SubclassWindow(plain));
        EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_USERDATA), 99);
        replacedProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(plain, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterSubclassProc)));
        SendMessageA(plain, kForwarded, 0, 0);
        EXPECT_THAT(subclass.messages, Contains(kForwarded)) << "reached through the subclass on top";

        // Taken off from under the other subclass, which goes on working.
        EXPECT_EQ(subclass.UnsubclassWindow(), plain);
        subclass.messages.clear();
        EXPECT_EQ(SendMessageA(plain, kForwarded, 0, 0), kPlainAnswer);
        EXPECT_TRUE(subclass.messages.empty());
    }
    EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_USERDATA), 99);
    EXPECT_EQ(SendMessageA(plain, kForwarded, 0, 0), kPlainAnswer);
    DestroyWindow(plain);
}

TEST(CWnd, AnExceptionFromWindowProcStopsAtTheWindowProcedure) {
    RecordingWnd window;
    window.answer = [](UINT message) -> std::optional<LRESULT> {
        if (message == WM_USER) {
            throw std::runtime_error("handler failed");
        }
        return message == WM_USER + 1 ? std::optional<LRESULT>(5) : std::nullopt;
    };
    ASSERT_TRUE(CreateHidden(window));
    EXPECT_EQ(window.SendMessage(WM_USER), 0);
    EXPECT_EQ(window.SendMessage(WM_USER + 1), 5) << "the window keeps working";

    RecordingWnd refused;
    refused.answer = [](UINT message) -> std::optional<LRESULT> {
        if (message == WM_CREATE) {
            throw std::runtime_error("creation failed");
        }
        return std::nullopt;
    };
    EXPECT_FALSE(CreateHidden(refused, "refused window"));
    EXPECT_EQ(refused.GetSafeHwnd(), nullptr);
    EXPECT_EQ(refused.Link(), WindowLink::kNone);
    EXPECT_EQ(FindWindowA(nullptr, "refused window"), nullptr);
}

TEST(CWnd, AnObjectWithoutAWindowSendsAndPostsNothing) {
    MSG stale;
    while (PeekMessageA(&stale, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) {
    }
    CWnd empty;
    EXPECT_EQ(empty.Link(), WindowLink::kNone);
    EXPECT_FALSE(empty.PostMessage(WM_COMMAND, 57665));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(empty.SendMessage(WM_COMMAND, 57665), 0);
    EXPECT_FALSE(empty.DestroyWindow());

    // PostMessageA with no window would have posted a thread message to this thread.
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
}

TEST(RegisterWindowClass, RegistersEachNameOnceAndRefusesANameTakenByAnotherProcedure) {
    EXPECT_TRUE(RegisterWindowClass("OrbiscapeTestClass", &PlainWindowProc));
    EXPECT_TRUE(RegisterWindowClass("OrbiscapeTestClass", &PlainWindowProc));
    EXPECT_FALSE(RegisterWindowClass("OrbiscapeTestClass", &DefWindowProcA));
}

}  // namespace
