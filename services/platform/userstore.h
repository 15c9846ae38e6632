#pragma once

#include <QString>
#include <functional>

#include "registrytree.h"

namespace tav::win::detail {

// HKEY_CURRENT_USER, kept in one text file, registry.ini in the "tavrin"
// folder of the user's configuration folder ($XDG_CONFIG_HOME, else
// ~/.config). Nothing is cached: every call reads the file afresh, so
// another running copy of the program sees each change at once. A missing
// file is an empty registry; it is created by the first change.
QString userStorePath();

// Reads the whole registry. Returns ERROR_BADDB for a file that cannot be
// parsed and ERROR_REGISTRY_IO_FAILED for one that cannot be read or cannot
// be reached; only a file that does not exist is an empty registry.
LONG readUserStore(RegistryKey& root);

// Locks the file against other processes (registry.ini.lock, which stays
// in the folder), reads it afresh, lets `change`
// edit it and, when `change` returns ERROR_SUCCESS and set `changed`, writes
// it back through a temporary file renamed over the old one, so a crash
// never leaves half a file. A file that cannot be read or parsed is never
// written over. Returns the first failure.
LONG modifyUserStore(const std::function<LONG(RegistryKey& root, bool& changed)>& change);

// The file and the reason behind the last failure of the two above when it
// returned `code`, for the text of the code; else empty.
QString lastUserStoreFailure(LONG code);

}  // namespace tav::win::detail
