#include "clssysregistry.h"

#include <optional>

#include "ansitext.h"
#include "errorlabel.h"
#include "errornumbers.h"
#include "platform/win32api.h"
#include "runtimeerror.h"

namespace tav {

using namespace win;

namespace {

// Raised in place of a registry code for which the system has no text.
constexpr qint32 kNoErrorTextNumber = 9999;

// Access asked for when a key is opened.
constexpr REGSAM kReadAccess = 0x20001;   // KEY_QUERY_VALUE | STANDARD_RIGHTS_READ
constexpr REGSAM kWriteAccess = 0xF0002;  // KEY_SET_VALUE | STANDARD_RIGHTS_REQUIRED
// Listing only reads. Asking for full access (KEY_ALL_ACCESS) would make
// Windows refuse to list keys the user may read but not change.
constexpr REGSAM kListAccess = KEY_READ;

// On 64-bit Windows a predefined key is the 32-bit number widened with its sign.
HKEY rootKey(qint32 lngHKEY) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(lngHKEY));
}

QString labelOf(const char* operation) {
    return QStringLiteral("cSysRegistry:") + QLatin1String(operation);
}

// An opened key, closed when it goes out of scope, on errors too.
class OpenKey {
public:
    OpenKey() = default;
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    ~OpenKey() {
        if (m_key) {
            RegCloseKey(m_key);
        }
    }

    LONG open(qint32 root, const QString& path, REGSAM access) {
        HKEY key = nullptr;
        const LONG rc = RegOpenKeyExA(rootKey(root), toAnsi(path).constData(), 0, access, &key);
        if (rc == ERROR_SUCCESS) {
            m_key = key;
        }
        return rc;
    }
    LONG create(qint32 root, const QString& path, REGSAM access) {
        HKEY key = nullptr;
        const LONG rc = RegCreateKeyExA(rootKey(root), toAnsi(path).constData(), 0, nullptr, 0,
                                        access, nullptr, &key, nullptr);
        if (rc == ERROR_SUCCESS) {
            m_key = key;
        }
        return rc;
    }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// The first `count` bytes; a negative count is an invalid argument.
QByteArray leftBytes(const QByteArray& bytes, qsizetype count) {
    if (count < 0) {
        throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    }
    return bytes.left(count);
}

std::optional<qint32> wholeNumber(const QString& text) {
    try {
        return Variant(text).toInt32();
    } catch (const RuntimeError&) {
        return std::nullopt;
    }
}

// "file.dll,3" -> source "file.dll", index 3; the index must convert.
void splitIconSource(QString& source, qint32& index) {
    const qsizetype comma = source.indexOf(QLatin1Char(','));
    index = Variant(source.mid(comma + 1)).toInt32();
    source = source.left(comma);
}

// File types and their icons are looked up below this root.
constexpr qint32 kClassesRoot = RegistryRoot::ClassesRoot;

// The registry's code for a missing key, which for an icon means that the
// extension names no file type.
constexpr qint32 kUnknownExtension = ERROR_FILE_NOT_FOUND;

// A file holding icons and the index of the one wanted.
struct IconSource {
    QString file;
    qint32 index = 0;
};

QString defaultValue(const clsSysRegistry& registry, const QString& key) {
    return registry.GetRegistryValue(kClassesRoot, key, {}).toText();
}

// The icon a file type's DefaultIcon key names: "file,index"; a bare index
// into the file itself when the type has no class; else the icon its class
// names, in its own DefaultIcon key or by its server, keeping `index` unless
// that names one.
IconSource typeIcon(const clsSysRegistry& registry, const QString& type, const QString& file,
                    qint32 index) {
    IconSource icon{defaultValue(registry, type + QStringLiteral("\\DefaultIcon")), index};
    if (icon.file.contains(QLatin1Char(','))) {
        splitIconSource(icon.file, icon.index);
        return icon;
    }
    const QString classId = defaultValue(registry, type + QStringLiteral("\\CLSID"));
    if (classId.isEmpty()) {
        return {file, wholeNumber(icon.file).value_or(0)};
    }
    const QString classBase = QStringLiteral("CLSID\\") + classId;
    const QString classIcon = classBase + QStringLiteral("\\DefaultIcon");
    icon.file = registry.HasKey(kClassesRoot, classIcon)
                    ? defaultValue(registry, classIcon)
                    : defaultValue(registry, classBase + QStringLiteral("\\InProcServer32"));
    if (icon.file.contains(QLatin1Char(','))) {
        splitIconSource(icon.file, icon.index);
    }
    return icon;
}

// For a file type without a DefaultIcon key: the icon at `index` in its
// class's server (LocalServer32, else InProcServer32; with neither, an empty
// file name). No icon at all when the type has no class.
std::optional<IconSource> classServerIcon(const clsSysRegistry& registry, const QString& type,
                                          qint32 index) {
    const QString classKey = type + QStringLiteral("\\CLSID");
    if (!registry.HasKey(kClassesRoot, classKey)) {
        return std::nullopt;
    }
    const QString classBase = QStringLiteral("CLSID\\") + defaultValue(registry, classKey);
    for (const QString& server :
         {QStringLiteral("\\LocalServer32"), QStringLiteral("\\InProcServer32")}) {
        if (registry.HasKey(kClassesRoot, classBase + server)) {
            return IconSource{defaultValue(registry, classBase + server), index};
        }
    }
    return IconSource{{}, index};
}

}  // namespace

bool clsSysRegistry::HasKey(qint32 lngHKEY, const QString& strKey, const Variant& strValue) const {
    return labelAlways(labelOf("HasKey"), [&] {
        // A key that cannot be opened, for whatever reason, is not there for
        // the caller; only reading its values raises.
        OpenKey key;
        if (key.open(lngHKEY, strKey, kReadAccess) != ERROR_SUCCESS) {
            return false;
        }
        if (strValue.isMissing()) {
            return true;
        }
        DWORD size = 0;
        return RegQueryValueExA(key.get(), toAnsi(strValue.toText()).constData(), nullptr, nullptr,
                                nullptr, &size) == ERROR_SUCCESS;
    });
}

Variant clsSysRegistry::GetRegistryValue(qint32 lngHKEY, const QString& strKey,
                                         const QString& strValue) const {
    return labelUnlabelled(labelOf("GetRegistryValue"), [&]() -> Variant {
        OpenKey key;
        LONG rc = key.open(lngHKEY, strKey, kReadAccess);
        if (rc == ERROR_FILE_NOT_FOUND) {
            return {};
        }
        if (rc != ERROR_SUCCESS) {
            raise(rc);
        }
        const QByteArray name = toAnsi(strValue);
        DWORD type = REG_NONE;
        DWORD size = 0;
        rc = RegQueryValueExA(key.get(), name.constData(), nullptr, &type, nullptr, &size);
        if (rc == ERROR_FILE_NOT_FOUND) {
            return {};
        }
        if (rc != ERROR_SUCCESS) {
            raise(rc);
        }
        const auto readData = [&] {
            QByteArray buffer(static_cast<qsizetype>(size), ' ');
            DWORD count = size;
            const LONG read = RegQueryValueExA(key.get(), name.constData(), nullptr, &type,
                                               reinterpret_cast<LPBYTE>(buffer.data()), &count);
            if (read != ERROR_SUCCESS) {
                raise(read);
            }
            return buffer;
        };
        switch (type) {
            case REG_SZ:
            case REG_EXPAND_SZ: {
                // The stored NUL is dropped; a value stored without one has
                // nothing to drop, and the cut fails.
                const QString text = fromAnsi(leftBytes(readData(), qsizetype(size) - 1));
                return type == REG_EXPAND_SZ ? ExpandString(text) : text;
            }
            case REG_BINARY:
                return textFromBytes(readData());
            case REG_DWORD: {
                qint32 number = 0;
                DWORD count = sizeof number;
                rc = RegQueryValueExA(key.get(), name.constData(), nullptr, &type,
                                      reinterpret_cast<LPBYTE>(&number), &count);
                if (rc != ERROR_SUCCESS) {
                    raise(rc);
                }
                return number;
            }
            case REG_MULTI_SZ: {
                const QByteArray items = leftBytes(readData(), qsizetype(size) - 2);
                QStringList texts;
                if (!items.isEmpty()) {
                    for (const QByteArray& item : items.split('\0')) {
                        texts.append(fromAnsi(item));
                    }
                }
                return texts;
            }
            default:
                return {};
        }
    });
}

void clsSysRegistry::SetRegistryValue(qint32 lngHKEY, const QString& strKey,
                                      const QString& strValueName, qint32 lngType,
                                      const Variant& varValue) const {
    labelUnlabelled(labelOf("SetRegistryValue"), [&] {
        OpenKey key;
        LONG rc = key.open(lngHKEY, strKey, kWriteAccess);
        if (rc == ERROR_FILE_NOT_FOUND) {
            rc = key.create(lngHKEY, strKey, kWriteAccess);
        }
        if (rc != ERROR_SUCCESS) {
            raise(rc);
        }
        QByteArray data;
        switch (lngType) {
            case RegistryType::String:
            case RegistryType::ExpandString:
                // The byte count is that of the converted text: a character
                // may take more than one byte.
                data = toAnsi(varValue.toText());
                data.append('\0');
                break;
            case RegistryType::Binary:
                data = bytesFromText(varValue.toText());
                break;
            case RegistryType::DWord: {
                const qint32 number = varValue.toInt32();
                data = QByteArray(reinterpret_cast<const char*>(&number), sizeof number);
                break;
            }
            case RegistryType::MultiString: {
                QList<QByteArray> items;
                for (const QString& item : varValue.toTextArray()) {
                    items.append(toAnsi(item));
                }
                data = items.join('\0');
                data.append(2, '\0');
                break;
            }
            default:
                return;
        }
        rc = RegSetValueExA(
            key.get(), toAnsi(strValueName).constData(), 0, static_cast<DWORD>(lngType),
            reinterpret_cast<const BYTE*>(data.constData()), static_cast<DWORD>(data.size()));
        if (rc != ERROR_SUCCESS) {
            raise(rc);
        }
    });
}

void clsSysRegistry::DeleteRegistryValue(qint32 lngHKEY, const QString& strKey,
                                         const QString& strValueName) const {
    labelUnlabelled(labelOf("DeleteRegistryValue"), [&] {
        // A key that cannot be opened has nothing to delete; only a failed
        // deletion in an opened key is reported.
        OpenKey key;
        if (key.open(lngHKEY, strKey, kWriteAccess) != ERROR_SUCCESS) {
            return;
        }
        const LONG rc = RegDeleteValueA(key.get(), toAnsi(strValueName).constData());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
            raise(rc);
        }
    });
}

Variant clsSysRegistry::EnumKeys(qint32 lngHKEY, const QString& strKey) const {
    return labelUnlabelled(labelOf("EnumKeys"), [&]() -> Variant {
        OpenKey key;
        // A key that cannot be opened lists nothing.
        LONG rc = key.open(lngHKEY, strKey, kListAccess);
        if (rc != ERROR_SUCCESS) {
            return {};
        }
        DWORD count = 0;
        DWORD longest = 0;
        rc = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &count, &longest, nullptr,
                              nullptr, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            raise(rc);
        }
        if (count == 0) {
            return {};
        }
        QStringList names;
        for (DWORD index = 0; index < count; ++index) {
            QByteArray buffer(qsizetype(longest) + 1, ' ');
            DWORD size = longest + 1;
            FILETIME written{};
            rc = RegEnumKeyExA(key.get(), index, buffer.data(), &size, nullptr, nullptr, nullptr,
                               &written);
            if (rc != ERROR_SUCCESS) {
                raise(rc);
            }
            names.append(fromAnsi(buffer.left(size)));
        }
        return names;
    });
}

Variant clsSysRegistry::EnumValues(qint32 lngHKEY, const QString& strKey) const {
    return labelUnlabelled(labelOf("EnumValues"), [&]() -> Variant {
        OpenKey key;
        // A key that cannot be opened lists nothing.
        LONG rc = key.open(lngHKEY, strKey, kListAccess);
        if (rc != ERROR_SUCCESS) {
            return {};
        }
        DWORD count = 0;
        DWORD longestName = 0;
        DWORD longestData = 0;
        rc = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                              &count, &longestName, &longestData, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            raise(rc);
        }
        if (count == 0) {
            return {};
        }
        Variant::TextTable rows;
        for (DWORD index = 0; index < count; ++index) {
            QByteArray name(qsizetype(longestName) + 1, ' ');
            DWORD nameSize = longestName + 1;
            QByteArray data(qsizetype(longestData) + 1, ' ');
            DWORD dataSize = longestData + 1;
            DWORD type = REG_NONE;
            rc = RegEnumValueA(key.get(), index, name.data(), &nameSize, nullptr, &type,
                               reinterpret_cast<LPBYTE>(data.data()), &dataSize);
            if (rc != ERROR_SUCCESS) {
                raise(rc);
            }
            rows.append({fromAnsi(name.left(nameSize)), QString::number(type)});
        }
        return rows;
    });
}

QString clsSysRegistry::ExtensionToContentType(const QString& strExtension) const {
    return labelUnlabelled(labelOf("ExtensionToContentType"), [&] {
        const QString key = QLatin1Char('.') + strExtension;
        const QString valueName = QStringLiteral("Content Type");
        if (HasKey(RegistryRoot::ClassesRoot, key, valueName)) {
            return GetRegistryValue(RegistryRoot::ClassesRoot, key, valueName).toText();
        }
        return QStringLiteral("application/octet-stream");
    });
}

Variant clsSysRegistry::ExtensionToFileType(const QString& strExtension) const {
    return labelUnlabelled(labelOf("ExtensionToFileType"), [&]() -> Variant {
        const Variant type =
            GetRegistryValue(RegistryRoot::ClassesRoot, QLatin1Char('.') + strExtension, {});
        if (type.isEmpty()) {
            return {};
        }
        return GetRegistryValue(RegistryRoot::ClassesRoot, type.toText(), {});
    });
}

qintptr clsSysRegistry::FileToIconHandle(const QString& strFile, qint32 iIcon) const {
    const qsizetype dot = strFile.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? strFile : strFile.mid(dot + 1);
    try {
        const HMODULE module = GetModuleHandleA(nullptr);
        const QString type = defaultValue(*this, QLatin1Char('.') + extension);
        const std::optional<IconSource> icon =
            HasKey(kClassesRoot, type + QStringLiteral("\\DefaultIcon"))
                ? typeIcon(*this, type, strFile, iIcon)
                : classServerIcon(*this, type, iIcon);
        if (!icon) {
            return 0;
        }
        return reinterpret_cast<qintptr>(
            ExtractIconA(module, toAnsi(icon->file).constData(), static_cast<UINT>(icon->index)));
    } catch (const RuntimeError& error) {
        const QString description =
            error.number() == kUnknownExtension
                ? extension + QStringLiteral(" ist ein unbekannter Dateityp.")
                : error.description();
        const QString source = error.source().contains(QLatin1Char(':'))
                                   ? error.source()
                                   : labelOf("ExtensionToIconHandle");
        throw RuntimeError(error.number(), source, description);
    }
}

void clsSysRegistry::SaveSetting(const QString& ValueName, const Variant& Value) const {
    SetRegistryValue(RegistryRoot::CurrentUser, settingsKey(), ValueName, m_dataType, Value);
}

Variant clsSysRegistry::GetSetting(const QString& ValueName, const Variant& DefaultValue) const {
    return labelUnlabelled(labelOf("GetSetting"), [&] {
        const Variant value = GetRegistryValue(RegistryRoot::CurrentUser, settingsKey(), ValueName);
        return value.isEmpty() && !DefaultValue.isEmpty() ? DefaultValue : value;
    });
}

Variant clsSysRegistry::DeleteSetting(const QString& ValueName) const {
    DeleteRegistryValue(RegistryRoot::CurrentUser, settingsKey(), ValueName);
    return {};
}

QString clsSysRegistry::settingsKey() const {
    return QStringLiteral("Software\\") + m_appName + QLatin1Char('\\') + m_section;
}

QString clsSysRegistry::ExpandString(const QString& s) {
    return labelAlways(labelOf("ExpandString"), [&] {
        if (!s.contains(QLatin1Char('%'))) {
            return s;
        }
        const QByteArray source = toAnsi(s + QChar(0));
        char probe[] = " ";
        const DWORD needed = ExpandEnvironmentStringsA(source.constData(), probe, 0);
        QByteArray buffer(qsizetype(needed), ' ');
        ExpandEnvironmentStringsA(source.constData(), buffer.data(), needed);
        return fromAnsi(buffer.left(lstrlenA(buffer.constData())));
    });
}

QString clsSysRegistry::GetErrorText(qint32 code) {
    QByteArray buffer(256, ' ');
    const DWORD count = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                                       static_cast<DWORD>(code), 0, buffer.data(), 256, nullptr);
    if (count > 0) {
        // System texts end in CR LF; only the LF is dropped.
        return fromAnsi(buffer.left(qsizetype(count) - 1));
    }
    throw RuntimeError(
        kNoErrorTextNumber, {},
        QStringLiteral("Der Fehlertext zu ReturnCode %1 konnte nicht ermittelt werden.").arg(code));
}

void clsSysRegistry::raise(qint32 code) {
    throw RuntimeError(code, {}, GetErrorText(code));
}

}  // namespace tav
