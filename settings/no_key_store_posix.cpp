// Natively there is no registry: the program's store never has a key.
#include "settings/no_key_store.h"

SettingsStore& ProgramSettingsStore() {
    static NoKeySettingsStore store;
    return store;
}
