// Natively there is no registry. The program's store never has a key, so every record built
// here holds the defaults (the command-line renderer draws with them) and Save keeps nothing.
#include "settings/settings_store.h"

namespace {

class NoKeySettingsStore final : public SettingsStore {
  public:
    std::unique_ptr<SettingsKey> OpenForRead() override { return nullptr; }
    std::unique_ptr<SettingsKey> OpenForWrite() override { return nullptr; }
    std::unique_ptr<SettingsKey> CreateForWrite() override { return nullptr; }
};

}  // namespace

SettingsStore& ProgramSettingsStore() {
    static NoKeySettingsStore store;
    return store;
}
