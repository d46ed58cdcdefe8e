// A settings store held in memory, for tests: one key that exists or not, with values that
// tests can plant in any form (any type, any length) and read back after a save. It refuses what
// the registry refuses: writing through a key opened for reading, opening a missing key, and
// reading a value into a buffer too small for it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settings/settings_store.h"

struct StoredValue {
    SettingsValueType type;
    std::vector<std::uint8_t> data;
};

class MemorySettingsStore final : public SettingsStore {
  public:
    using Values = std::map<std::string, StoredValue>;

    bool HasKey() const { return values_.has_value(); }
    // Creates the key if need be and stores the value, as another program might have.
    void Put(const std::string& name, SettingsValueType type, std::vector<std::uint8_t> data);
    void PutDword(const std::string& name, std::uint32_t value);
    void PutText(const std::string& name, SettingsValueType type, const std::string& bytes);
    // The stored value, or nullptr.
    const StoredValue* Find(const std::string& name) const;
    // Names in the order they were first written.
    const std::vector<std::string>& WriteOrder() const { return writeOrder_; }

    std::unique_ptr<SettingsKey> OpenForRead() override;
    std::unique_ptr<SettingsKey> OpenForWrite() override;
    std::unique_ptr<SettingsKey> CreateForWrite() override;

  private:
    class Key;

    std::optional<Values> values_;
    std::vector<std::string> writeOrder_;
};
