// Owner of one WinINet handle: a session from InternetOpen, a connection from InternetConnect or
// a request from HttpOpenRequest. Declare the owners of one request in the order they were
// opened: destruction runs in reverse, so the request is closed before its connection and the
// connection before its session.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

// Owns the handle and closes it with InternetCloseHandle at the end. Movable, never copied.
class OwnedInternetHandle {
  public:
    OwnedInternetHandle() = default;
    explicit OwnedInternetHandle(HINTERNET handle) : handle_(handle) {}
    ~OwnedInternetHandle() { Reset(); }
    OwnedInternetHandle(const OwnedInternetHandle&) = delete;
    OwnedInternetHandle& operator=(const OwnedInternetHandle&) = delete;
    OwnedInternetHandle(OwnedInternetHandle&& other) noexcept : handle_(other.Release()) {}
    OwnedInternetHandle& operator=(OwnedInternetHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    HINTERNET Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives up ownership without closing; the caller owns the handle now.
    HINTERNET Release() { return std::exchange(handle_, nullptr); }
    // Closes the handle held, if any, and takes ownership of handle.
    void Reset(HINTERNET handle = nullptr) {
        if (handle_ != nullptr) {
            InternetCloseHandle(handle_);
        }
        handle_ = handle;
    }

  private:
    HINTERNET handle_ = nullptr;
};
