// clsSysRegistry over the settings file and the desktop's file types, and the
// Variant values it gives. Several processes writing at once: tests/load.

#include <unistd.h>

#include <memory>

#include "platform/win32api.h"
#include "testsupport.h"

using namespace tav;
using namespace tav::test;
namespace Root = RegistryRoot;
namespace Type = RegistryType;

namespace {
const QString kKey = QStringLiteral("Software\\tavrin\\Test");
const QString kValue = QStringLiteral("V");
// What is wrong with the settings file or the way to it.
enum class Damage { CorruptLine, FolderForFile, FileForFolder, ClosedFolder };
clsSysRegistry options(qint32 type = Type::String) {
    return settings("tavrin", "Options", type);
}
}  // namespace

Q_DECLARE_METATYPE(Damage)

class TestSysRegistry : public QObject {
    Q_OBJECT

    std::unique_ptr<ConfigHome> m_home;
    QTemporaryDir m_themes;

    // The values of kKey in a settings file of our own, after a blank line as an editor may leave.
    void seedValues(const QByteArray& lines) {
        writeFile(m_home->settingsFile(), "\n[Software\\tavrin\\Test]\n" + lines + '\n');
    }

private slots:
    // A theme with one icon, "text-plain", so that look-ups mean the same on every machine.
    void initTestCase() {
        const QString theme = m_themes.filePath("tavrintest");
        writeFile(
            theme + "/index.theme",
            "[Icon Theme]\nName=tavrintest\nDirectories=16x16\n[16x16]\nSize=16\nType=Fixed\n");
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(QDir().mkpath(theme + "/16x16") && image.save(theme + "/16x16/text-plain.png"));
        QIcon::setThemeSearchPaths({m_themes.path()});
        QIcon::setThemeName("tavrintest");
    }
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_home = std::make_unique<ConfigHome>();
    }

    void variantKindsAreKeptApart() {
        QVERIFY(Variant().isEmpty() && !Variant("").isEmpty() && !Variant::missing().isEmpty());
        QVERIFY(Variant("1") != Variant(1));
        QVERIFY(Variant(QStringList{"a"}) != Variant(Variant::TextTable{{"a", ""}}));
        QCOMPARE(describe(Variant(Variant::TextTable{{"a", QString("1") + QChar(0)}})),
                 R"(TextTable(["a", "1\0"]))");
        QCOMPARE(errorOf([] { Variant(QStringList{"a"}).toTextTable(); }).section(' ', 0, 0), "13");
    }

    // What is written is read back, or the conversion fails and nothing is written.
    void valuesReadBackAsWritten_data() {
        columns<int, Variant, Variant, int>();
        QString bytes;
        for (int byte = 0; byte < 256; ++byte) {
            bytes.append(QChar(byte));
        }
        const Variant umlauts("Grüße, Käthe"), texts(QStringList{"ä", "", "c"}), none;
        row("umlauts take two bytes", Type::String, umlauts, umlauts, 0);
        row("empty as text", Type::String, none, Variant(""), 0);
        row("unknown name stays", Type::ExpandString, Variant("%TAVRIN_NONE%TAVRIN_DIR%"),
            Variant("%TAVRIN_NONE/srv/tavrin"), 0);
        row("every byte", Type::Binary, Variant(bytes), Variant(bytes), 0);
        row("no bytes", Type::Binary, Variant(""), Variant(""), 0);
        row("number from text", Type::DWord, Variant(" +1234 "), Variant(1234), 0);
        row("largest number", Type::DWord, Variant("2147483647"), Variant(2147483647), 0);
        row("smallest number", Type::DWord, Variant("-2147483648"), Variant(int(-2147483648LL)), 0);
        row("empty as number", Type::DWord, none, Variant(0), 0);
        row("empty texts inside", Type::MultiString, texts, texts, 0);
        row("no texts", Type::MultiString, Variant(QStringList{}), Variant(QStringList{}), 0);
        row("type not handled", 11, Variant("x"), none, 0);
        row("fraction as number", Type::DWord, Variant("1.5"), none, 13);
        row("hex as number", Type::DWord, Variant("0x10"), none, 13);
        row("empty text as number", Type::DWord, Variant(""), none, 13);
        row("array as number", Type::DWord, Variant(QStringList{"1"}), none, 13);
        row("one above 32 bits", Type::DWord, Variant("2147483648"), none, 6);
        row("one below 32 bits", Type::DWord, Variant("-2147483649"), none, 6);
        row("far too many digits", Type::DWord, Variant("99999999999999999999"), none, 6);
        row("text as array", Type::MultiString, Variant("a"), none, 13);
        row("table as text", Type::String, Variant(Variant::TextTable{{"a", "1"}}), none, 13);
        row("missing as text", Type::String, Variant::missing(), none, 13);
        row("character beyond a byte", Type::Binary, Variant("€"), none, 5);
    }
    void valuesReadBackAsWritten() {
        const auto [type, written, read, error] = fetch<int, Variant, Variant, int>();
        qputenv("TAVRIN_DIR", "/srv/tavrin");
        const clsSysRegistry registry;
        QCOMPARE(errorOf([&] {
                     registry.SetRegistryValue(Root::CurrentUser, kKey, kValue, type, written);
                 }),
                 error ? QStringLiteral("%1 cSysRegistry:SetRegistryValue").arg(error) : QString());
        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser, kKey, kValue), read);
    }

    // Values as a user may edit them into the file; the error's text as it starts.
    void storedValuesAreReadByType_data() {
        columns<QString, Variant, QString>();
        const QString none, label("cSysRegistry:GetRegistryValue");
        row("blanks around = and ,", "\"V\" = multi_sz:\"a\" , \"b\"",
            Variant(QStringList{"a", "b"}), none);
        row("hex digits in either case", "\"V\"=hex:0A,fF", Variant("\n\u00ff"), none);
        row("default value", "@=\"standard\"", Variant(), none);
        row("type not handled", "\"V\"=hex(b):01,02", Variant(), none);
        row("missing value", "\"Other\"=\"x\"", Variant(), none);
        row("text of size 0", "\"V\"=hex(1):", Variant(),
            "5 " + label + " Invalid procedure call or argument");
        row("multi-text of size 1", "\"V\"=hex(7):00", Variant(), "5 " + label);
        row("number of eight bytes", "\"V\"=hex(4):01,00,00,00,00,00,00,00", Variant(),
            "234 " + label + " More data is available.\r");
        row("letter beyond f", "\"V\"=hex:0g", Variant(),
            "1009 " + label + " The configuration registry database is corrupt. (");
    }
    void storedValuesAreReadByType() {
        const auto [stored, read, error] = fetch<QString, Variant, QString>();
        seedValues(stored.toUtf8());
        Variant value;
        const QString raised = errorOf(
            [&] { value = clsSysRegistry().GetRegistryValue(Root::CurrentUser, kKey, kValue); },
            true);
        QCOMPARE(value, read);
        QVERIFY2(raised.startsWith(error) && raised.isEmpty() == error.isEmpty(),
                 qPrintable(raised));
    }

    // The answer is "true", "false" or the error.
    void hasKeyTellsWhatExists_data() {
        columns<QString, Variant, QString>();
        const Variant none = Variant::missing();
        row("key", kKey, none, "true");
        row("key in other case", "SOFTWARE\\Tavrin\\test", none, "true");
        row("trailing backslash", kKey + '\\', none, "true");
        row("missing key", "Software\\other", none, "false");
        row("value in other case", kKey, Variant("mode"), "true");
        row("missing value", kKey, Variant("Other"), "false");
        row("empty names the default value", kKey, Variant(), "false");
        row("empty key name", "Software\\\\", none, "false");
        row("leading backslash", "\\Software", none, "false");
        row("array as value name", kKey, Variant(QStringList{"a"}), "13 cSysRegistry:HasKey");
    }
    void hasKeyTellsWhatExists() {
        const auto [key, value, answer] = fetch<QString, Variant, QString>();
        seedValues("\"Mode\"=\"1\"");
        bool exists = false;
        const QString error =
            errorOf([&] { exists = clsSysRegistry().HasKey(Root::CurrentUser, key, value); });
        QCOMPARE(error.isEmpty() ? QVariant(exists).toString() : error, answer);
    }

    // A value the user may not change: the refusal is raised, not passed for success.
    void deleteRemovesAndToleratesWhatIsMissing() {
        seedValues("\"Mode\"=\"1\"\n\"Keep\"=\"2\"");
        const clsSysRegistry registry;
        registry.DeleteRegistryValue(Root::CurrentUser, kKey, "mode");
        QVERIFY(!registry.HasKey(Root::CurrentUser, kKey, "Mode"));
        QVERIFY(registry.HasKey(Root::CurrentUser, kKey, "Keep"));
        QCOMPARE(errorOf([&] {
                     registry.DeleteRegistryValue(Root::CurrentUser, kKey, "Mode");
                     registry.DeleteRegistryValue(Root::CurrentUser, "Software\\none", kValue);
                 }),
                 QString());
        QCOMPARE(
            errorOf(
                [&] { registry.DeleteRegistryValue(Root::ClassesRoot, ".txt", "Content Type"); },
                true),
            "5 cSysRegistry:DeleteRegistryValue Access is denied.\r");
    }

    // "grün" is the longest name in bytes, not in characters; "%25" is an escaped "%".
    void listsKeysAndValuesInOrder() {
        writeFile(m_home->settingsFile(),
                  "[Software\\tavrin\\Test\\beta]\n[Software\\tavrin\\Test\\Alpha]\n"
                  "[Software\\tavrin\\Test\\5%25]\n[Software\\tavrin\\Test]\n\"zz\"=\"1\"\n"
                  "\"grün\"=dword:00000001\n@=hex:01\n\"List\"=multi_sz:\"x\"\n");
        const clsSysRegistry registry;
        QCOMPARE(registry.EnumKeys(Root::CurrentUser, kKey),
                 Variant(QStringList{"5%", "Alpha", "beta"}));
        const Variant::TextTable rows{{"zz", "1"}, {"grün", "4"}, {"", "3"}, {"List", "7"}};
        QCOMPARE(registry.EnumValues(Root::CurrentUser, kKey), Variant(rows));
        // Nothing to list is Empty, not an empty array.
        for (const QString& key : {kKey + "\\Alpha", QStringLiteral("Software\\none")}) {
            QCOMPARE(registry.EnumKeys(Root::CurrentUser, key).kind(), Variant::Kind::Empty);
            QCOMPARE(registry.EnumValues(Root::CurrentUser, key).kind(), Variant::Kind::Empty);
        }
        // The layer gives the name with its NUL and no write time, refuses a buffer
        // without room for the NUL, and ends a listing past the last entry.
        win::HKEY key = nullptr;
        QCOMPARE(win::RegOpenKeyExA(win::HKEY_CURRENT_USER, "Software\\tavrin\\Test", 0,
                                    win::KEY_READ, &key),
                 0);
        QByteArray name(8, 'x');
        win::DWORD size = 8;
        win::FILETIME written{1, 1};
        const auto keyAt = [&](win::DWORD i, win::FILETIME* time = nullptr) {
            return win::RegEnumKeyExA(key, i, name.data(), &size, nullptr, nullptr, nullptr, time);
        };
        QCOMPARE(keyAt(1, &written), 0);
        QCOMPARE(name.left(size + 1), QByteArray("Alpha", 6));
        QCOMPARE(written.dwLowDateTime + written.dwHighDateTime, 0u);
        size = 5;
        QCOMPARE(keyAt(1), win::ERROR_MORE_DATA);
        QCOMPARE(keyAt(3), win::ERROR_NO_MORE_ITEMS);
        QCOMPARE(win::RegEnumValueA(key, 4, name.data(), &size, nullptr, nullptr, nullptr, nullptr),
                 win::ERROR_NO_MORE_ITEMS);
        win::RegCloseKey(key);
        // Every registry code has its text (else error 9999 would surface instead of
        // it), a code without one has none, and the size an expansion asks for
        // counts its NUL.
        for (const win::DWORD code :
             {0u,    2u,    5u,    6u,    33u,   87u,   234u,  259u,  1009u, 1010u, 1011u,
              1012u, 1013u, 1014u, 1015u, 1016u, 1017u, 1018u, 1019u, 1020u, 1021u}) {
            QByteArray text(256, ' ');
            const auto count = win::FormatMessageA(win::FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                                                   0, text.data(), 256, nullptr);
            QVERIFY2(count > 2 && text.left(count).endsWith("\r\n"),
                     qPrintable(QString::number(code)));
        }
        QByteArray none(256, ' ');
        QCOMPARE(win::FormatMessageA(win::FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 4242, 0, none.data(),
                                     256, nullptr),
                 0u);
        QCOMPARE(win::ExpandEnvironmentStringsA("ab", nullptr, 0), 3u);
    }

    // The content type, the type's name in the user's language, and an icon handle
    // that stands for an icon until it is destroyed.
    void answersAboutFileTypes_data() {
        columns<QString, QString, Variant, QString, bool>();
        const QString unknown("application/octet-stream"), plain("text/plain");
        const Variant text("plain text document");
        row("no dot: the name is the extension", "txt", plain, text, "en_US", true);
        row("upper case", "TXT", plain, text, "en_US", true);
        row("user's language", "txt", plain, Variant("Einfaches Textdokument"), "de_DE", true);
        row("unknown", "xyz", unknown, Variant(), "en_US", false);
        row("none", "", unknown, Variant(), "en_US", false);
        row("text file", "notes.txt", "", Variant(), "", true);
        row("nothing before the dot", ".txt", "", Variant(), "", true);
        row("type without icon in the theme", "song.ogg", "", Variant(), "", false);
        row("unknown type", "archive.xyz", "", Variant(), "", false);
    }
    void answersAboutFileTypes() {
        const auto [file, contentType, fileType, language, hasIcon] =
            fetch<QString, QString, Variant, QString, bool>();
        const clsSysRegistry registry;
        if (!language.isEmpty()) {  // an extension alone
            QLocale::setDefault(QLocale(language));
            QCOMPARE(registry.ExtensionToContentType(file), contentType);
            QCOMPARE(registry.ExtensionToFileType(file), fileType);
        }
        const auto icon = reinterpret_cast<win::HICON>(registry.FileToIconHandle(file));
        QCOMPARE(!win::iconFromHandle(icon).isNull(), hasIcon);
        QCOMPARE(win::DestroyIcon(icon), win::BOOL(hasIcon));
        QVERIFY(win::iconFromHandle(icon).isNull());
    }

    void settingsRoundTrip() {
        // Without AppName and Section the key is "Software\\", with an empty name in
        // it, which no registry key can have.
        const clsSysRegistry nameless = settings({}, {});
        QCOMPARE(errorOf([&] { nameless.SaveSetting(kValue, "x"); }, true),
                 "87 cSysRegistry:SetRegistryValue The parameter is incorrect.\r");
        QCOMPARE(errorOf([&] { nameless.GetSetting(kValue); }), "87 cSysRegistry:GetRegistryValue");
        QVERIFY(!QFile::exists(m_home->settingsFile()));
        clsSysRegistry registry = options();
        QCOMPARE(registry.Section(), "Options");
        registry.SaveSetting("Mode", "3 a");
        registry.DataType(Type::DWord);
        registry.SaveSetting("Count", 12);
        QCOMPARE(registry.GetSetting("Mode"), Variant("3 a"));
        QCOMPARE(registry.GetSetting("Count"), Variant(12));
        // The file stays readable text, which users may edit by hand.
        const QByteArray text = fileBytes(m_home->settingsFile());
        QVERIFY2(text.contains("[Software\\tavrin\\Options]\n\"Mode\"=\"3 a\"\n"
                               "\"Count\"=dword:0000000c\n"),
                 text.constData());
        QCOMPARE(registry.DeleteSetting("Mode"), Variant());
        QVERIFY(registry.GetSetting("Mode").isMissing());
        QCOMPARE(registry.GetSetting("Count"), Variant(12));
        // The key is composed anew on every call.
        registry.Section("Two");
        QVERIFY(registry.GetSetting("Count").isMissing());
        registry.SaveSetting("Count", 2);
        QCOMPARE(registry.EnumKeys(Root::CurrentUser, "Software\\tavrin"),
                 Variant(QStringList{"Options", "Two"}));
        // Type 0 only creates the key.
        options(0).SaveSetting(kValue, "x");
        QVERIFY(registry.HasKey(Root::CurrentUser, "Software\\tavrin\\Options"));
        QVERIFY(!registry.HasKey(Root::CurrentUser, "Software\\tavrin\\Options", kValue));
    }

    // Reading neither needs nor creates the settings file.
    void getSettingFallsBackOnlyForMissingSettings_data() {
        columns<Variant, Variant, Variant>();
        const Variant none;
        row("missing, no default: the missing marker", none, Variant::missing(),
            Variant::missing());
        row("missing, default", none, Variant("7"), Variant("7"));
        row("missing, empty default", none, none, none);
        row("stored empty text is a value", Variant(""), Variant("7"), Variant(""));
        row("stored value", Variant("5"), Variant("7"), Variant("5"));
    }
    void getSettingFallsBackOnlyForMissingSettings() {
        const auto [stored, defaultValue, expected] = fetch<Variant, Variant, Variant>();
        if (!stored.isEmpty()) {
            options().SaveSetting(kValue, stored);
        }
        QCOMPARE(options().GetSetting(kValue, defaultValue), expected);
        QCOMPARE(QFile::exists(m_home->settingsFile()), !stored.isEmpty());
    }

    // Every operation fails the same way, none takes the damage for settings that
    // are not there, and the file is left as it was. The error: number and text,
    // then what the text names.
    void badSettingsFileIsReportedAndKeptByteForByte_data() {
        columns<Damage, QString>();
        const QString io("1016 An I/O operation|tavrin/registry.ini cannot be read");
        row("corrupt line", Damage::CorruptLine,
            "1009 The configuration registry database is corrupt.|tavrin/registry.ini, line 3:");
        row("folder in its place", Damage::FolderForFile, io);
        row("a file in the folder's place", Damage::FileForFolder, io + ": Not a directory");
        row("a folder that cannot be entered", Damage::ClosedFolder, io + ": Permission denied");
    }
    void badSettingsFileIsReportedAndKeptByteForByte() {
        const auto [damage, error] = fetch<Damage, QString>();
        if (damage == Damage::ClosedFolder && ::geteuid() == 0) {
            QSKIP("the permissions of a folder do not hold for root");
        }
        const QString folder = QFileInfo(m_home->settingsFile()).path();
        const QString damaged = damage == Damage::FileForFolder ? folder : m_home->settingsFile();
        if (damage == Damage::FolderForFile) {
            QVERIFY(QDir().mkpath(damaged));
        } else {
            writeFile(damaged, damage == Damage::CorruptLine ? "[Software]\n\"M\"=\"3\"\nbad\n"
                                                             : "[Software]\n\"M\"=\"3\"\n");
        }
        const auto contents = [&] {
            return QFileInfo(damaged).isDir() ? QByteArray("folder") : fileBytes(damaged);
        };
        const QByteArray before = contents();
        constexpr auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        const auto reopen = qScopeGuard([&] { QFile::setPermissions(folder, open); });
        QVERIFY(damage != Damage::ClosedFolder || QFile::setPermissions(folder, {}));
        const clsSysRegistry registry = options();

        const QString saved = errorOf([&] { registry.SaveSetting("Mode", 4); }, true);
        const QString label = error.section(' ', 0, 0) + " cSysRegistry:";
        QVERIFY2(saved.startsWith(label + "SetRegistryValue " +
                                  error.section(' ', 1).section('|', 0, 0)) &&
                     saved.contains(m_home->dir.filePath(error.section('|', 1))),
                 qPrintable(saved));
        QCOMPARE(errorOf([&] { registry.GetSetting("Mode", "7"); }), label + "GetRegistryValue");
        QCOMPARE(errorOf([&] { registry.DeleteSetting("Mode"); }), label + "DeleteRegistryValue");
        QCOMPARE(errorOf([&] { registry.EnumKeys(Root::CurrentUser, "Software"); }),
                 label + "EnumKeys");
        QCOMPARE(errorOf([&] { registry.EnumValues(Root::CurrentUser, "Software"); }),
                 label + "EnumValues");
        QCOMPARE(errorOf([&] { registry.HasKey(Root::CurrentUser, "Software"); }),
                 label + "HasKey");
        QVERIFY(QFile::setPermissions(folder, open));
        QCOMPARE(contents(), before);
    }
};

QTEST_MAIN(TestSysRegistry)
#include "tst_sysregistry.moc"
