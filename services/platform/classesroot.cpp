#include "classesroot.h"

#include <QMimeDatabase>
#include <algorithm>

namespace tav::win::detail {

namespace {

const QByteArray kDefaultIcon("DefaultIcon");

RegistryValue textValue(const QByteArray& name, const QString& text) {
    return RegistryValue{name, REG_SZ, text.toLocal8Bit() + '\0'};
}

QMimeType typeForExtension(QByteArrayView extension) {
    if (extension.isEmpty() || extension.contains('/')) {
        return {};
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(
        QStringLiteral("x.") + QString::fromLocal8Bit(extension), QMimeDatabase::MatchExtension);
    return type.isValid() && !type.isDefault() ? type : QMimeType();
}

QMimeType typeForName(QByteArrayView name) {
    const QString text = QString::fromLocal8Bit(name);
    const QMimeType type = QMimeDatabase().mimeTypeForName(text.toLower());
    // Aliases resolve to another name; only the type's own name is a key.
    return type.isValid() && type.name().compare(text, Qt::CaseInsensitive) == 0 ? type
                                                                                 : QMimeType();
}

// The root: every extension of a plain "*.ext" pattern and every type name,
// sorted; built once, as the database does not change while the program runs.
std::shared_ptr<const RegistryKey> rootKey() {
    static const std::shared_ptr<const RegistryKey> root = [] {
        QList<QByteArray> names;
        for (const QMimeType& type : QMimeDatabase().allMimeTypes()) {
            names.append(type.name().toLocal8Bit());
            for (const QString& pattern : type.globPatterns()) {
                const QString extension = pattern.mid(2);
                if (pattern.startsWith(QStringLiteral("*.")) && !extension.isEmpty() &&
                    !extension.contains(QLatin1Char('*')) &&
                    !extension.contains(QLatin1Char('?')) &&
                    !extension.contains(QLatin1Char('[')) &&
                    !extension.contains(QLatin1Char('\\'))) {
                    names.append('.' + extension.toLocal8Bit());
                }
            }
        }
        std::sort(names.begin(), names.end(),
                  [](const QByteArray& a, const QByteArray& b) { return compareNames(a, b) < 0; });
        auto key = std::make_shared<RegistryKey>();
        for (const QByteArray& name : names) {
            if (key->subkeys.empty() || !sameName(key->subkeys.back().name, name)) {
                key->subkeys.push_back(RegistryKey{name, {}, {}});
            }
        }
        return std::shared_ptr<const RegistryKey>(std::move(key));
    }();
    return root;
}

}  // namespace

std::shared_ptr<const RegistryKey> classesRootKey(const QList<QByteArray>& path) {
    if (path.isEmpty()) {
        return rootKey();
    }
    auto key = std::make_shared<RegistryKey>();
    key->name = path.last();
    if (path.size() == 1 && path[0].startsWith('.')) {
        const QMimeType type = typeForExtension(QByteArrayView(path[0]).sliced(1));
        if (!type.isValid()) {
            return nullptr;
        }
        key->values = {textValue({}, type.name()), textValue("Content Type", type.name())};
        return key;
    }
    const QMimeType type = typeForName(path[0]);
    if (!type.isValid()) {
        return nullptr;
    }
    if (path.size() == 1) {
        key->values = {textValue({}, type.comment())};
        key->subkeys.push_back(RegistryKey{kDefaultIcon, {}, {}});
        return key;
    }
    if (path.size() == 2 && sameName(path[1], kDefaultIcon)) {
        key->values = {textValue({}, type.iconName() + QStringLiteral(",0"))};
        return key;
    }
    return nullptr;
}

}  // namespace tav::win::detail
