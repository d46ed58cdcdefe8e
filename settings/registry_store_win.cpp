// The program's settings store on Windows: the key SOFTWARE\Orbiscape under HKEY_CURRENT_USER.
#include <windows.h>

#include "framework/program_key.h"
#include "framework/registry_key_win.h"
#include "settings/settings_store.h"

namespace {

static_assert(static_cast<DWORD>(SettingsValueType::String) == REG_SZ);
static_assert(static_cast<DWORD>(SettingsValueType::Binary) == REG_BINARY);
static_assert(static_cast<DWORD>(SettingsValueType::Dword) == REG_DWORD);
static_assert(static_cast<DWORD>(SettingsValueType::MultiString) == REG_MULTI_SZ);
static_assert(static_cast<DWORD>(SettingsValueType::Qword) == REG_QWORD);

// Owns an open registry key and closes it when destroyed.
class RegistryKey final : public SettingsKey {
  public:
    explicit RegistryKey(HKEY key) : key_(key) {}

    bool Query(const char* name, SettingsValueType& type, std::span<std::uint8_t> buffer,
               std::size_t& length) override {
        DWORD storedType = REG_NONE;
        DWORD storedLength = static_cast<DWORD>(buffer.size());
        // Without a buffer the call would report the size instead of refusing the value.
        if (buffer.empty() || RegQueryValueExA(key_.Get(), name, nullptr, &storedType, buffer.data(),
                                               &storedLength) != ERROR_SUCCESS) {
            return false;
        }
        type = static_cast<SettingsValueType>(storedType);
        length = storedLength;
        return true;
    }

    bool Set(const char* name, SettingsValueType type, std::span<const std::uint8_t> data) override {
        return RegSetValueExA(key_.Get(), name, 0, static_cast<DWORD>(type), data.data(),
                              static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }

  private:
    OwnedRegistryKey key_;
};

std::unique_ptr<SettingsKey> OwnKey(LSTATUS status, HKEY key) {
    if (status != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<RegistryKey>(key);
}

class RegistrySettingsStore final : public SettingsStore {
  public:
    std::unique_ptr<SettingsKey> OpenForRead() override { return Open(KEY_READ); }

    std::unique_ptr<SettingsKey> OpenForWrite() override { return Open(KEY_WRITE); }

    std::unique_ptr<SettingsKey> CreateForWrite() override {
        HKEY key = nullptr;
        const LSTATUS status =
            RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
        return OwnKey(status, key);
    }

  private:
    static std::unique_ptr<SettingsKey> Open(REGSAM access) {
        HKEY key = nullptr;
        const LSTATUS status = RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, access, &key);
        return OwnKey(status, key);
    }
};

}  // namespace

SettingsStore& ProgramSettingsStore() {
    static RegistrySettingsStore store;
    return store;
}
