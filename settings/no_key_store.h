// A store that never has a key: a record built over it holds exactly the defaults, and Save
// keeps nothing. The native program uses it as its store (there is no registry there), and the
// command-line renderer uses it on every platform to draw with the defaults whatever the user
// has stored.
#pragma once

#include "settings/settings_store.h"

class NoKeySettingsStore final : public SettingsStore {
  public:
    std::unique_ptr<SettingsKey> OpenForRead() override { return nullptr; }
    std::unique_ptr<SettingsKey> OpenForWrite() override { return nullptr; }
    std::unique_ptr<SettingsKey> CreateForWrite() override { return nullptr; }
};
