#pragma once

#include <QByteArray>
#include <QList>
#include <optional>
#include <vector>

#include "win32api.h"

namespace tav::win::detail {

// Names in the registry compare without regard to case and keep the case
// they were created with. Names are bytes in the program's ANSI code page.
bool sameName(QByteArrayView a, QByteArrayView b);
int compareNames(QByteArrayView a, QByteArrayView b);
// A name folded so that names equal but for case give the same bytes.
QByteArray foldedName(QByteArrayView name);

// Splits "A\B\C" into its names. Empty text names the key itself; one
// trailing backslash is allowed. An empty name inside the path ("A\\B",
// "\A") makes the path invalid: no key can have an empty name.
std::optional<QList<QByteArray>> splitKeyPath(const char* path);

struct RegistryValue {
    QByteArray name;  // empty for the key's default value
    DWORD type = REG_NONE;
    QByteArray data;
};

// One key with its values, in the order they were created, and its subkeys,
// sorted by name so that enumeration is stable.
struct RegistryKey {
    QByteArray name;
    QList<RegistryValue> values;
    std::vector<RegistryKey> subkeys;

    const RegistryKey* findSubkey(QByteArrayView subkeyName) const;
    RegistryKey* findSubkey(QByteArrayView subkeyName);
    // The key at `path` below this one, or null.
    const RegistryKey* find(const QList<QByteArray>& path) const;
    RegistryKey* find(const QList<QByteArray>& path);
    // The key at `path`, created with its missing parents; `created` tells
    // whether anything was added.
    RegistryKey& findOrCreate(const QList<QByteArray>& path, bool& created);

    const RegistryValue* findValue(QByteArrayView valueName) const;
    // Replaces a value of the same name in place or appends a new one.
    void setValue(RegistryValue value);
    bool removeValue(QByteArrayView valueName);
};

}  // namespace tav::win::detail
