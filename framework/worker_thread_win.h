// The program's background workers (the cloud download, the monthly map's download) and the slot that holds its thread
// handle, INVALID_HANDLE_VALUE while none runs. The worker empties the slot itself at its end,
// so the slot can be emptied from two threads at once: by the worker, and by the program's exit
// stopping a worker that is still running. Each side empties it with one atomic exchange, and
// whoever takes the real handle out closes it; the other side's exchange finds
// INVALID_HANDLE_VALUE and closes nothing. So the handle is closed exactly once.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

using WorkerSlot = std::atomic<HANDLE>;
using WorkerRoutine = unsigned(__stdcall*)(void* argument);

// Runs routine(argument) on a new thread at normal priority, unless the slot holds a worker
// already. The thread is made suspended and resumed only once the slot holds its handle, so
// that even a routine that ends at once finds its own handle there and leaves no stale one
// behind. Returns false, with the slot as it was, when no thread was started.
bool StartWorker(WorkerSlot& slot, WorkerRoutine routine, void* argument);

// Empties the slot; a worker found there gets up to timeoutMs to end, and its handle is closed.
// False when it is still running then: a worker is never ended by force here (a thread ended
// from outside may leave a lock of the process held for ever), so its owner must either keep
// what the worker uses alive or end the process.
bool StopWorker(WorkerSlot& slot, DWORD timeoutMs);

// The worker's own last act: empties the slot and closes the handle found there, if the exit
// sequence has not taken it already.
void ReleaseWorkerSlot(WorkerSlot& slot);

// The whole of a worker that reports to the main thread: runs work (`what` names it in a report
// of an exception, which fails the run like any other failure), stores its outcome in outcome,
// then releases the slot and posts doneCommand (WM_COMMAND, lParam 0) to mainThreadId. The
// command comes in every case, or the main thread would never schedule another run. Nothing of
// the caller's is touched once the slot is released: its owner may be gone.
void RunReportingWorker(const char* what, const std::function<bool()>& work, std::atomic<bool>& outcome,
                        WorkerSlot& slot, DWORD mainThreadId, UINT doneCommand);
