#pragma once

#include <QString>
#include <QtGlobal>

#include "variant.h"

namespace tav {

// The predefined root keys, as the 32-bit numbers callers pass as lngHKEY.
namespace RegistryRoot {
inline constexpr qint32 ClassesRoot = qint32(0x80000000u);
inline constexpr qint32 CurrentUser = qint32(0x80000001u);
inline constexpr qint32 LocalMachine = qint32(0x80000002u);
inline constexpr qint32 Users = qint32(0x80000003u);
inline constexpr qint32 CurrentConfig = qint32(0x80000005u);
}  // namespace RegistryRoot

// The value types the class reads and writes; other numbers are ignored.
namespace RegistryType {
inline constexpr qint32 String = 1;
inline constexpr qint32 ExpandString = 2;
inline constexpr qint32 Binary = 3;
inline constexpr qint32 DWord = 4;
inline constexpr qint32 MultiString = 7;
}  // namespace RegistryType

// Registry values, key and value listings, answers about file types and
// per-application settings (below HKEY_CURRENT_USER, key
// "Software\<AppName>\<Section>").
//
// Failures are raised as RuntimeError with the registry's return code as
// number, the system's text for it as description and, as source, the
// operation's label ("cSysRegistry:GetRegistryValue"). A missing key or
// value is no failure: reads give Empty. A registry that cannot be read (a
// damaged or unreachable settings file) fails reads and writes, while
// HasKey, EnumKeys, EnumValues and DeleteRegistryValue take a key they
// cannot open as absent (false, Empty, nothing to delete). Every operation
// opens the keys it needs and closes them before it returns; constructing
// the class reads nothing.
class clsSysRegistry {
public:
    // True when the key exists and, if strValue is given, holds a value of that name.
    bool HasKey(qint32 lngHKEY, const QString& strKey,
                const Variant& strValue = Variant::missing()) const;
    // The value: Text for types 1, 2 (expanded) and 3 (one character per
    // byte), Integer for 4, TextArray for 7; Empty for a missing key or
    // value and for other types. strValue empty names the default value.
    Variant GetRegistryValue(qint32 lngHKEY, const QString& strKey, const QString& strValue) const;
    // Writes a value of type 1, 2, 3, 4 or 7, creating the key when needed;
    // other types write nothing.
    void SetRegistryValue(qint32 lngHKEY, const QString& strKey, const QString& strValueName,
                          qint32 lngType, const Variant& varValue) const;
    // Deleting what does not exist is no failure.
    void DeleteRegistryValue(qint32 lngHKEY, const QString& strKey,
                             const QString& strValueName) const;
    // The subkeys' names, or Empty when there are none or there is no such key.
    Variant EnumKeys(qint32 lngHKEY, const QString& strKey) const;
    // Rows of (name, type number as text), or Empty like EnumKeys.
    Variant EnumValues(qint32 lngHKEY, const QString& strKey) const;

    // The MIME type of an extension (without its dot), else "application/octet-stream".
    QString ExtensionToContentType(const QString& strExtension) const;
    // The readable name of an extension's file type, or Empty.
    Variant ExtensionToFileType(const QString& strExtension) const;
    // A handle for the icon of the file's type as ExtractIconA gives it, 0
    // when the type has no icon. The handle is pointer-sized: 32 bits would
    // cut it on 64-bit Windows.
    qintptr FileToIconHandle(const QString& strFile, qint32 iIcon = 0) const;

    void AppName(const QString& NewAppName) { m_appName = NewAppName; }
    QString Section() const { return m_section; }
    void Section(const QString& NewSection) { m_section = NewSection; }
    void DataType(qint32 NewDataType) { m_dataType = NewDataType; }

    // Writes Value under ValueName with the type set by DataType.
    void SaveSetting(const QString& ValueName, const Variant& Value) const;
    // The setting, or DefaultValue when there is none and DefaultValue is not
    // Empty. A left-out DefaultValue is the Missing marker, which is returned
    // as it is.
    Variant GetSetting(const QString& ValueName,
                       const Variant& DefaultValue = Variant::missing()) const;
    // Always Empty.
    Variant DeleteSetting(const QString& ValueName) const;

private:
    QString settingsKey() const;
    static QString ExpandString(const QString& s);
    static QString GetErrorText(qint32 code);
    [[noreturn]] static void raise(qint32 code);

    QString m_appName;
    QString m_section;
    qint32 m_dataType = 0;
};

}  // namespace tav
