#include "registrytree.h"

#include <QString>
#include <algorithm>

namespace tav::win::detail {

namespace {

bool isAscii(QByteArrayView text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

}  // namespace

int compareNames(QByteArrayView a, QByteArrayView b) {
    // Names are nearly always ASCII; they compare without decoding.
    if (isAscii(a) && isAscii(b)) {
        return qstrnicmp(a.data(), a.size(), b.data(), b.size());
    }
    return QString::fromLocal8Bit(a).compare(QString::fromLocal8Bit(b), Qt::CaseInsensitive);
}

QByteArray foldedName(QByteArrayView name) {
    if (isAscii(name)) {
        return name.toByteArray().toLower();
    }
    return QString::fromLocal8Bit(name).toCaseFolded().toUtf8();
}

bool sameName(QByteArrayView a, QByteArrayView b) {
    return compareNames(a, b) == 0;
}

std::optional<QList<QByteArray>> splitKeyPath(const char* path) {
    QByteArray text(path ? path : "");
    if (text.isEmpty()) {
        return QList<QByteArray>{};
    }
    if (text.endsWith('\\')) {
        text.chop(1);
    }
    QList<QByteArray> names = text.split('\\');
    if (std::any_of(names.cbegin(), names.cend(),
                    [](const QByteArray& n) { return n.isEmpty(); })) {
        return std::nullopt;
    }
    return names;
}

const RegistryKey* RegistryKey::findSubkey(QByteArrayView subkeyName) const {
    for (const RegistryKey& key : subkeys) {
        if (sameName(key.name, subkeyName)) {
            return &key;
        }
    }
    return nullptr;
}

RegistryKey* RegistryKey::findSubkey(QByteArrayView subkeyName) {
    return const_cast<RegistryKey*>(std::as_const(*this).findSubkey(subkeyName));
}

const RegistryKey* RegistryKey::find(const QList<QByteArray>& path) const {
    const RegistryKey* key = this;
    for (const QByteArray& name : path) {
        key = key->findSubkey(name);
        if (!key) {
            return nullptr;
        }
    }
    return key;
}

RegistryKey* RegistryKey::find(const QList<QByteArray>& path) {
    return const_cast<RegistryKey*>(std::as_const(*this).find(path));
}

RegistryKey& RegistryKey::findOrCreate(const QList<QByteArray>& path, bool& created) {
    RegistryKey* key = this;
    for (const QByteArray& name : path) {
        RegistryKey* next = key->findSubkey(name);
        if (!next) {
            const auto at = std::find_if(
                key->subkeys.begin(), key->subkeys.end(),
                [&name](const RegistryKey& k) { return compareNames(k.name, name) > 0; });
            RegistryKey fresh;
            fresh.name = name;
            next = &*key->subkeys.insert(at, std::move(fresh));
            created = true;
        }
        key = next;
    }
    return *key;
}

const RegistryValue* RegistryKey::findValue(QByteArrayView valueName) const {
    for (const RegistryValue& value : values) {
        if (sameName(value.name, valueName)) {
            return &value;
        }
    }
    return nullptr;
}

void RegistryKey::setValue(RegistryValue value) {
    for (RegistryValue& existing : values) {
        if (sameName(existing.name, value.name)) {
            existing.type = value.type;
            existing.data = std::move(value.data);
            return;
        }
    }
    values.append(std::move(value));
}

bool RegistryKey::removeValue(QByteArrayView valueName) {
    return values.removeIf([&](const RegistryValue& v) { return sameName(v.name, valueName); }) > 0;
}

}  // namespace tav::win::detail
