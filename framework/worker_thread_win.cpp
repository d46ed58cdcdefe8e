#include "framework/worker_thread_win.h"

#include <process.h>

#include "framework/exception_barrier.h"

bool StartWorker(WorkerSlot& slot, WorkerRoutine routine, void* argument) {
    if (slot.load() != INVALID_HANDLE_VALUE) {
        return false;
    }
    unsigned threadId = 0;
    const auto thread =
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, routine, argument, CREATE_SUSPENDED, &threadId));
    if (thread == nullptr) {
        return false;
    }
    slot.store(thread);
    if (ResumeThread(thread) == static_cast<DWORD>(-1)) {
        // The thread never ran, so it cannot have emptied the slot; ending it here leaves the
        // slot free for a later start.
        const HANDLE taken = slot.exchange(INVALID_HANDLE_VALUE);
        TerminateThread(taken, 0);
        CloseHandle(taken);
        return false;
    }
    return true;
}

bool StopWorker(WorkerSlot& slot, DWORD timeoutMs) {
    const HANDLE taken = slot.exchange(INVALID_HANDLE_VALUE);
    if (taken == INVALID_HANDLE_VALUE) {
        return true;
    }
    const bool ended = WaitForSingleObject(taken, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(taken);
    return ended;
}

void ReleaseWorkerSlot(WorkerSlot& slot) {
    const HANDLE taken = slot.exchange(INVALID_HANDLE_VALUE);
    if (taken != INVALID_HANDLE_VALUE) {
        CloseHandle(taken);
    }
}

void RunReportingWorker(const char* what, const std::function<bool()>& work, std::atomic<bool>& outcome,
                        WorkerSlot& slot, DWORD mainThreadId, UINT doneCommand) {
    outcome = CallWithoutThrowing(what, work, [] { return false; });
    ReleaseWorkerSlot(slot);
    PostThreadMessageA(mainThreadId, WM_COMMAND, doneCommand, 0);
}
