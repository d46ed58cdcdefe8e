#include "tests/settings/memory_settings_store.h"

#include <algorithm>

class MemorySettingsStore::Key final : public SettingsKey {
  public:
    Key(MemorySettingsStore& store, bool writable) : store_(store), writable_(writable) {}

    bool Query(const char* name, SettingsValueType& type, std::span<std::uint8_t> buffer,
               std::size_t& length) override {
        const StoredValue* value = store_.Find(name);
        if (value == nullptr || value->data.size() > buffer.size()) {
            return false;
        }
        std::copy(value->data.begin(), value->data.end(), buffer.begin());
        type = value->type;
        length = value->data.size();
        return true;
    }

    bool Set(const char* name, SettingsValueType type, std::span<const std::uint8_t> data) override {
        if (!writable_) {
            return false;
        }
        store_.Put(name, type, std::vector<std::uint8_t>(data.begin(), data.end()));
        return true;
    }

  private:
    MemorySettingsStore& store_;
    bool writable_;
};

void MemorySettingsStore::Put(const std::string& name, SettingsValueType type,
                              std::vector<std::uint8_t> data) {
    if (!values_) {
        values_.emplace();
    }
    if (!values_->contains(name)) {
        writeOrder_.push_back(name);
    }
    (*values_)[name] = StoredValue{type, std::move(data)};
}

void MemorySettingsStore::PutDword(const std::string& name, std::uint32_t value) {
    Put(name, SettingsValueType::Dword,
        {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
         static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void MemorySettingsStore::PutText(const std::string& name, SettingsValueType type, const std::string& bytes) {
    Put(name, type, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

const StoredValue* MemorySettingsStore::Find(const std::string& name) const {
    if (!values_) {
        return nullptr;
    }
    const auto found = values_->find(name);
    return found == values_->end() ? nullptr : &found->second;
}

std::unique_ptr<SettingsKey> MemorySettingsStore::OpenForRead() {
    return values_ ? std::make_unique<Key>(*this, false) : nullptr;
}

std::unique_ptr<SettingsKey> MemorySettingsStore::OpenForWrite() {
    return values_ ? std::make_unique<Key>(*this, true) : nullptr;
}

std::unique_ptr<SettingsKey> MemorySettingsStore::CreateForWrite() {
    if (!values_) {
        values_.emplace();
    }
    return std::make_unique<Key>(*this, true);
}
