// The owner of a Win32 handle, one template for every kind that a function of its own closes:
// GDI objects (DeleteObject), registry keys (RegCloseKey), internet handles
// (InternetCloseHandle), kernel objects (CloseHandle), searches (FindClose). It closes what it
// owns exactly once, at its end or when given another handle, and cannot be copied; it can be
// moved, so a function can hand the handle it opened to its caller.
#pragma once

#include <windows.h>

#include <utility>

template <typename Handle, auto Close>
class OwnedHandle {
  public:
    OwnedHandle() = default;
    // The system says "no handle" with null, and for files and searches with
    // INVALID_HANDLE_VALUE; the owner holds either as none.
    explicit OwnedHandle(Handle handle) : handle_(Valid(handle)) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.Release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives up ownership without closing; the caller owns the handle now.
    Handle Release() { return std::exchange(handle_, nullptr); }
    // Closes the handle held, if any, and takes ownership of handle.
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) {
            Close(handle_);
        }
        handle_ = Valid(handle);
    }

  private:
    static Handle Valid(Handle handle) {
        return handle == reinterpret_cast<Handle>(INVALID_HANDLE_VALUE) ? nullptr : handle;
    }

    Handle handle_ = nullptr;
};

// Mutexes, processes and threads.
using OwnedKernelHandle = OwnedHandle<HANDLE, &CloseHandle>;
// A search of FindFirstFile.
using OwnedFindHandle = OwnedHandle<HANDLE, &FindClose>;
