// Owners for COM use. The program never holds a COM object between calls: each use initialises
// COM on its thread, creates the object, uses it, releases it and uninitialises COM again.
// Declare the interface owner after the scope, so that the object is released while COM is
// still initialised.
#pragma once

#include <objbase.h>

#include <utility>

// Initialises COM for the calling thread (single-threaded apartment) and uninitialises it at the
// end when the initialisation succeeded, including when COM was already initialised (S_FALSE),
// since every successful call must be matched.
class ComScope {
  public:
    ComScope() : result_(CoInitialize(nullptr)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    HRESULT Result() const { return result_; }
    explicit operator bool() const { return SUCCEEDED(result_); }

  private:
    HRESULT result_;
};

// Owns one reference to a COM interface and releases it at the end. Movable, never copied.
template <typename Interface>
class OwnedComInterface {
  public:
    OwnedComInterface() = default;
    ~OwnedComInterface() { Reset(); }
    OwnedComInterface(const OwnedComInterface&) = delete;
    OwnedComInterface& operator=(const OwnedComInterface&) = delete;
    OwnedComInterface(OwnedComInterface&& other) noexcept
        : interface_(std::exchange(other.interface_, nullptr)) {}
    OwnedComInterface& operator=(OwnedComInterface&& other) noexcept {
        if (this != &other) {
            Reset();
            interface_ = std::exchange(other.interface_, nullptr);
        }
        return *this;
    }

    Interface* Get() const { return interface_; }
    Interface* operator->() const { return interface_; }
    explicit operator bool() const { return interface_ != nullptr; }

    // Releases what is held and gives the slot to a creating call (CoCreateInstance and the
    // like), which stores its new reference there.
    void** Receive() {
        Reset();
        return reinterpret_cast<void**>(&interface_);
    }
    void Reset() {
        if (interface_ != nullptr) {
            std::exchange(interface_, nullptr)->Release();
        }
    }

  private:
    Interface* interface_ = nullptr;
};
