// The registry functions over the user's settings file and the desktop's
// file-type database. Handles name a key by its root and path, not by a
// place in memory, so a handle stays meaningful while another process
// changes the file; a key that vanished meanwhile answers ERROR_KEY_DELETED.

#include <cstring>

#include "classesroot.h"
#include "handletable.h"
#include "registrytree.h"
#include "userstore.h"
#include "win32api.h"

namespace tav::win {

namespace {

using detail::RegistryKey;
using detail::RegistryValue;

enum class Root { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

struct KeyHandle {
    Root root;
    QList<QByteArray> path;
    REGSAM access;
};

constexpr REGSAM kGenericRead = 0x80000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kMaximumAllowed = 0x02000000;

detail::HandleTable<HKEY, KeyHandle> g_keys(0x1000);

REGSAM effectiveAccess(REGSAM requested) {
    if (requested & (kGenericAll | kMaximumAllowed)) {
        return KEY_ALL_ACCESS;
    }
    REGSAM access = requested & KEY_ALL_ACCESS;
    if (requested & kGenericRead) {
        access |= KEY_READ;
    }
    if (requested & kGenericWrite) {
        access |= KEY_WRITE;
    }
    return access;
}

std::optional<Root> predefinedRoot(HKEY key) {
    const std::pair<HKEY, Root> roots[] = {{HKEY_CLASSES_ROOT, Root::ClassesRoot},
                                           {HKEY_CURRENT_USER, Root::CurrentUser},
                                           {HKEY_LOCAL_MACHINE, Root::LocalMachine},
                                           {HKEY_USERS, Root::Users},
                                           {HKEY_CURRENT_CONFIG, Root::CurrentConfig}};
    for (const auto& [handle, root] : roots) {
        if (key == handle) {
            return root;
        }
    }
    return std::nullopt;
}

std::optional<KeyHandle> resolve(HKEY key) {
    if (const auto root = predefinedRoot(key)) {
        return KeyHandle{*root, {}, KEY_ALL_ACCESS};
    }
    return g_keys.find(key);
}

bool allows(const KeyHandle& key, REGSAM needed) {
    return (key.access & needed) == needed;
}

// Runs `visit` on the key at `path`, read afresh; `missing` is returned when
// there is no such key.
LONG visitKey(Root root, const QList<QByteArray>& path, LONG missing,
              const std::function<LONG(const RegistryKey&)>& visit) {
    switch (root) {
        case Root::CurrentUser: {
            RegistryKey tree;
            if (const LONG rc = detail::readUserStore(tree); rc != ERROR_SUCCESS) {
                return rc;
            }
            const RegistryKey* key = tree.find(path);
            return key ? visit(*key) : missing;
        }
        case Root::ClassesRoot: {
            const auto key = detail::classesRootKey(path);
            return key ? visit(*key) : missing;
        }
        default:
            // The machine-wide roots exist here only as empty keys.
            return path.isEmpty() ? visit(RegistryKey{}) : missing;
    }
}

LONG changeKey(const KeyHandle& handle, const std::function<LONG(RegistryKey&, bool&)>& change) {
    if (handle.root != Root::CurrentUser) {
        return ERROR_ACCESS_DENIED;
    }
    return detail::modifyUserStore([&](RegistryKey& tree, bool& changed) {
        RegistryKey* key = tree.find(handle.path);
        return key ? change(*key, changed) : ERROR_KEY_DELETED;
    });
}

QByteArray nameOf(LPCSTR name) {
    return QByteArray(name ? name : "");
}

// Copies a name into a caller's buffer of *size characters, NUL included.
LONG copyName(const QByteArray& name, LPSTR buffer, LPDWORD size) {
    if (static_cast<DWORD>(name.size()) + 1 > *size) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.constData(), static_cast<std::size_t>(name.size()) + 1);
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// Copies data into a caller's buffer of *size bytes; with no buffer only the
// size is reported.
LONG copyData(const QByteArray& data, LPBYTE buffer, LPDWORD size) {
    if (!size) {
        return buffer ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    }
    const auto needed = static_cast<DWORD>(data.size());
    if (buffer && needed > *size) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (buffer) {
        std::memcpy(buffer, data.constData(), needed);
    }
    *size = needed;
    return ERROR_SUCCESS;
}

void setIf(LPDWORD target, DWORD value) {
    if (target) {
        *target = value;
    }
}

// The key that `lpSubKey` names below an open key or a root, with the access
// asked for; `base` is the key it starts from. Clears the caller's handle.
LONG keyBelow(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, PHKEY phkResult, KeyHandle& base,
              KeyHandle& key) {
    if (!phkResult) {
        return ERROR_INVALID_PARAMETER;
    }
    *phkResult = nullptr;
    const auto resolved = resolve(hKey);
    if (!resolved) {
        return ERROR_INVALID_HANDLE;
    }
    const auto names = detail::splitKeyPath(lpSubKey);
    if (!names) {
        return ERROR_INVALID_PARAMETER;
    }
    base = *resolved;
    key = KeyHandle{base.root, base.path + *names, effectiveAccess(samDesired)};
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    KeyHandle base{};
    KeyHandle key{};
    if (const LONG rc = keyBelow(hKey, lpSubKey, samDesired, phkResult, base, key);
        rc != ERROR_SUCCESS) {
        return rc;
    }
    const LONG rc = visitKey(key.root, key.path, ERROR_FILE_NOT_FOUND,
                             [](const RegistryKey&) { return ERROR_SUCCESS; });
    if (rc == ERROR_SUCCESS) {
        *phkResult = g_keys.add(std::move(key));
    }
    return rc;
}

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                        LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    KeyHandle base{};
    KeyHandle key{};
    LONG rc = keyBelow(hKey, lpSubKey, samDesired, phkResult, base, key);
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    bool created = false;
    if (key.root == Root::CurrentUser) {
        rc = detail::modifyUserStore([&](RegistryKey& tree, bool& changed) {
            if (!tree.find(base.path)) {
                return ERROR_KEY_DELETED;
            }
            tree.findOrCreate(key.path, created);
            changed = created;
            return ERROR_SUCCESS;
        });
    } else {
        // Elsewhere an existing key can be opened this way, but none created.
        rc = visitKey(key.root, key.path, ERROR_ACCESS_DENIED,
                      [](const RegistryKey&) { return ERROR_SUCCESS; });
    }
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    setIf(lpdwDisposition, created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY);
    *phkResult = g_keys.add(std::move(key));
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                         LPBYTE lpData, LPDWORD lpcbData) {
    const auto key = resolve(hKey);
    if (!key) {
        return ERROR_INVALID_HANDLE;
    }
    if (lpReserved || (lpData && !lpcbData)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!allows(*key, KEY_QUERY_VALUE)) {
        return ERROR_ACCESS_DENIED;
    }
    const QByteArray name = nameOf(lpValueName);
    return visitKey(key->root, key->path, ERROR_KEY_DELETED, [&](const RegistryKey& k) {
        const RegistryValue* value = k.findValue(name);
        if (!value) {
            return ERROR_FILE_NOT_FOUND;
        }
        setIf(lpType, value->type);
        return copyData(value->data, lpData, lpcbData);
    });
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                       DWORD cbData) {
    const auto key = resolve(hKey);
    if (!key) {
        return ERROR_INVALID_HANDLE;
    }
    if (!lpData && cbData > 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!allows(*key, KEY_SET_VALUE)) {
        return ERROR_ACCESS_DENIED;
    }
    RegistryValue value{nameOf(lpValueName), dwType,
                        QByteArray(reinterpret_cast<const char*>(lpData), cbData)};
    return changeKey(*key, [&](RegistryKey& k, bool& changed) {
        k.setValue(std::move(value));
        changed = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    const auto key = resolve(hKey);
    if (!key) {
        return ERROR_INVALID_HANDLE;
    }
    if (!allows(*key, KEY_SET_VALUE)) {
        return ERROR_ACCESS_DENIED;
    }
    const QByteArray name = nameOf(lpValueName);
    return changeKey(*key, [&](RegistryKey& k, bool& changed) {
        changed = k.removeValue(name);
        return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LSTATUS RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                         LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                         LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                         LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    const auto key = resolve(hKey);
    if (!key) {
        return ERROR_INVALID_HANDLE;
    }
    if (lpReserved || (lpClass && !lpcchClass)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!allows(*key, KEY_QUERY_VALUE)) {
        return ERROR_ACCESS_DENIED;
    }
    return visitKey(key->root, key->path, ERROR_KEY_DELETED, [&](const RegistryKey& k) {
        // Lengths are in bytes of the ANSI names, which is what an ANSI
        // caller has to allocate.
        DWORD longestSubkey = 0;
        for (const RegistryKey& subkey : k.subkeys) {
            longestSubkey = std::max(longestSubkey, static_cast<DWORD>(subkey.name.size()));
        }
        DWORD longestName = 0;
        DWORD longestData = 0;
        for (const RegistryValue& value : k.values) {
            longestName = std::max(longestName, static_cast<DWORD>(value.name.size()));
            longestData = std::max(longestData, static_cast<DWORD>(value.data.size()));
        }
        if (lpClass && *lpcchClass > 0) {
            lpClass[0] = '\0';
        }
        setIf(lpcchClass, 0);
        setIf(lpcSubKeys, static_cast<DWORD>(k.subkeys.size()));
        setIf(lpcbMaxSubKeyLen, longestSubkey);
        setIf(lpcbMaxClassLen, 0);
        setIf(lpcValues, static_cast<DWORD>(k.values.size()));
        setIf(lpcbMaxValueNameLen, longestName);
        setIf(lpcbMaxValueLen, longestData);
        setIf(lpcbSecurityDescriptor, 0);
        if (lpftLastWriteTime) {
            *lpftLastWriteTime = FILETIME{0, 0};
        }
        return ERROR_SUCCESS;
    });
}

LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                      LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    const auto key = resolve(hKey);
    if (!key) {
        return ERROR_INVALID_HANDLE;
    }
    if (!lpName || !lpcchName || lpReserved || (lpClass && !lpcchClass)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!allows(*key, KEY_ENUMERATE_SUB_KEYS)) {
        return ERROR_ACCESS_DENIED;
    }
    return visitKey(key->root, key->path, ERROR_KEY_DELETED, [&](const RegistryKey& k) {
        if (dwIndex >= k.subkeys.size()) {
            return ERROR_NO_MORE_ITEMS;
        }
        const LONG rc = copyName(k.subkeys[dwIndex].name, lpName, lpcchName);
        if (rc == ERROR_SUCCESS && lpClass && *lpcchClass > 0) {
            lpClass[0] = '\0';
            *lpcchClass = 0;
        }
        if (rc == ERROR_SUCCESS && lpftLastWriteTime) {
            *lpftLastWriteTime = FILETIME{0, 0};
        }
        return rc;
    });
}

LSTATUS RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                      LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    const auto key = resolve(hKey);
    if (!key) {
        return ERROR_INVALID_HANDLE;
    }
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!allows(*key, KEY_QUERY_VALUE)) {
        return ERROR_ACCESS_DENIED;
    }
    return visitKey(key->root, key->path, ERROR_KEY_DELETED, [&](const RegistryKey& k) {
        if (dwIndex >= static_cast<DWORD>(k.values.size())) {
            return ERROR_NO_MORE_ITEMS;
        }
        const RegistryValue& value = k.values[dwIndex];
        if (const LONG rc = copyName(value.name, lpValueName, lpcchValueName);
            rc != ERROR_SUCCESS) {
            return rc;
        }
        setIf(lpType, value.type);
        return copyData(value.data, lpData, lpcbData);
    });
}

LSTATUS RegCloseKey(HKEY hKey) {
    if (predefinedRoot(hKey)) {
        return ERROR_SUCCESS;  // a predefined root: nothing to close
    }
    return g_keys.remove(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace tav::win
