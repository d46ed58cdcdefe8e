// The settings record reads and writes its values through this small interface instead of the
// registry functions themselves, so that the load and save rules are plain portable code that
// can be exercised without a registry. The interface keeps the registry's shape: a key is opened
// for reading, opened for writing only if it exists, or created; a value has a type and bytes.
//
// On Windows the program's store is the key SOFTWARE\Orbiscape under HKEY_CURRENT_USER
// (registry_store_win.cpp). Natively there is no registry: the program's store is one that never
// has a key (no_key_store_posix.cpp), so a record built there holds the defaults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

// Value types numbered as the registry numbers them (REG_SZ, REG_BINARY, REG_DWORD,
// REG_MULTI_SZ, REG_QWORD), so that the registry store passes them through unchanged. A stored
// value may carry any other number too; it arrives as that number.
enum class SettingsValueType : std::uint32_t {
    String = 1,
    Binary = 3,
    Dword = 4,
    MultiString = 7,
    Qword = 11,
};

// An open key. Destroying it closes it.
class SettingsKey {
  public:
    SettingsKey() = default;
    virtual ~SettingsKey() = default;
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    // Reads the value called name into buffer. On success sets type and length (the number of
    // bytes stored, at most buffer.size()) and returns true. Returns false when the value is
    // missing, cannot be read, or holds more bytes than buffer has room for; type and length are
    // then left untouched, but as with the registry the buffer may hold anything.
    virtual bool Query(const char* name, SettingsValueType& type, std::span<std::uint8_t> buffer,
                       std::size_t& length) = 0;
    // Stores data as the value called name with the given type. Returns false on failure,
    // always on a key opened only for reading.
    virtual bool Set(const char* name, SettingsValueType type, std::span<const std::uint8_t> data) = 0;
};

// Where the settings live. Each call hands out a key of its own, or nullptr when that is not
// possible; nothing is cached between calls, so stores can be used from several threads.
class SettingsStore {
  public:
    SettingsStore() = default;
    virtual ~SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The existing key, for reading.
    virtual std::unique_ptr<SettingsKey> OpenForRead() = 0;
    // The existing key, for writing; a missing key is not created.
    virtual std::unique_ptr<SettingsKey> OpenForWrite() = 0;
    // The key, created when missing, for reading and writing.
    virtual std::unique_ptr<SettingsKey> CreateForWrite() = 0;
};

// The store of the running program (see the top of this file).
SettingsStore& ProgramSettingsStore();
