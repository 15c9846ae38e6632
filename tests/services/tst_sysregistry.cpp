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
constexpr int kStored = -1;  // "written": the value's line as a user may edit it into the file
}  // namespace

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
        QLocale::setDefault(kEnglish);
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

    // What is written or stored is read back, or the conversion fails and nothing is
    // written; the error's text as it starts.
    void valuesReadBackAsWritten_data() {
        columns<int, Variant, Variant, QString>();
        QString bytes;
        for (int byte = 0; byte < 256; ++byte) {
            bytes.append(QChar(byte));
        }
        const Variant umlauts("Grüße, Käthe"), texts(QStringList{"ä", "", "c"}), none;
        const QString set(" cSysRegistry:SetRegistryValue"), get(" cSysRegistry:GetRegistryValue");
        row("umlauts take two bytes", Type::String, umlauts, umlauts, "");
        row("empty as text", Type::String, none, Variant(""), "");
        row("unknown name stays", Type::ExpandString, Variant("%TAVRIN_NONE%TAVRIN_DIR%"),
            Variant("%TAVRIN_NONE/srv/tavrin"), "");
        row("every byte", Type::Binary, Variant(bytes), Variant(bytes), "");
        row("no bytes", Type::Binary, Variant(""), Variant(""), "");
        row("number from text", Type::DWord, Variant(" +1234 "), Variant(1234), "");
        row("largest number", Type::DWord, Variant("2147483647"), Variant(2147483647), "");
        row("smallest number", Type::DWord, Variant("-2147483648"), Variant(int(-2147483648LL)),
            "");
        row("empty as number", Type::DWord, none, Variant(0), "");
        row("empty texts inside", Type::MultiString, texts, texts, "");
        row("no texts", Type::MultiString, Variant(QStringList{}), Variant(QStringList{}), "");
        row("type not handled", 11, Variant("x"), none, "");
        row("fraction as number", Type::DWord, Variant("1.5"), none, "13" + set);
        row("empty text as number", Type::DWord, Variant(""), none, "13" + set);
        row("array as number", Type::DWord, Variant(QStringList{"1"}), none, "13" + set);
        row("one above 32 bits", Type::DWord, Variant("2147483648"), none, "6" + set);
        row("one below 32 bits", Type::DWord, Variant("-2147483649"), none, "6" + set);
        row("text as array", Type::MultiString, Variant("a"), none, "13" + set);
        row("missing as text", Type::String, Variant::missing(), none, "13" + set);
        row("character beyond a byte", Type::Binary, Variant("€"), none, "5" + set);
        row("blanks around = and ,", kStored, Variant("\"V\" = multi_sz:\"a\" , \"b\""),
            Variant(QStringList{"a", "b"}), "");
        row("hex digits in either case", kStored, Variant("\"V\"=hex:0A,fF"), Variant("\n\u00ff"),
            "");
        row("default value", kStored, Variant("@=\"standard\""), none, "");
        row("stored type not handled", kStored, Variant("\"V\"=hex(b):01,02"), none, "");
        row("text of size 0", kStored, Variant("\"V\"=hex(1):"), none,
            "5" + get + " Invalid procedure call or argument");
        row("multi-text of size 1", kStored, Variant("\"V\"=hex(7):00"), none, "5" + get);
        row("number of eight bytes", kStored, Variant("\"V\"=hex(4):01,00,00,00,00,00,00,00"), none,
            "234" + get + " More data is available.\r");
        row("letter beyond f", kStored, Variant("\"V\"=hex:0g"), none,
            "1009" + get + " The configuration registry database is corrupt. (");
    }
    void valuesReadBackAsWritten() {
        const auto [type, written, read, error] = fetch<int, Variant, Variant, QString>();
        qputenv("TAVRIN_DIR", "/srv/tavrin");
        const clsSysRegistry registry;
        QString raised;
        if (type == kStored) {
            seedValues(written.toText().toUtf8());
        } else {
            raised = errorOf(
                [&] { registry.SetRegistryValue(Root::CurrentUser, kKey, kValue, type, written); },
                true);
        }
        Variant value;
        raised += errorOf(
            [&] { value = registry.GetRegistryValue(Root::CurrentUser, kKey, kValue); }, true);
        QCOMPARE(value, read);
        // One error at most: after a refused write the value reads as missing.
        QCOMPARE(raised.left(error.size()), error);
        QCOMPARE(raised.count("cSysRegistry:"), error.isEmpty() ? 0 : 1);
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
        // The layer gives a name with its NUL and no write time, ends a listing past
        // the last value, has no text for an unknown code, and counts the NUL in the
        // size an expansion asks for.
        win::HKEY key = nullptr;
        win::RegOpenKeyExA(win::HKEY_CURRENT_USER, "Software\\tavrin\\Test", 0, win::KEY_READ,
                           &key);
        QByteArray name(8, 'x');
        win::DWORD size = 8;
        win::FILETIME written{1, 1};
        QCOMPARE(
            win::RegEnumKeyExA(key, 1, name.data(), &size, nullptr, nullptr, nullptr, &written), 0);
        QCOMPARE(name.left(size + 1), QByteArray("Alpha", 6));
        QCOMPARE(written.dwLowDateTime + written.dwHighDateTime, 0u);
        QCOMPARE(win::RegEnumValueA(key, 4, name.data(), &size, nullptr, nullptr, nullptr, nullptr),
                 win::ERROR_NO_MORE_ITEMS);
        win::RegCloseKey(key);
        QCOMPARE(win::FormatMessageA(win::FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 4242, 0, name.data(),
                                     8, nullptr),
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
        // Reading neither needs nor creates the settings file; a default stands in
        // only for a missing setting, and without one it is the missing marker.
        clsSysRegistry registry = settings("tavrin", "Options");
        QVERIFY(registry.GetSetting("Mode").isMissing());
        QCOMPARE(registry.GetSetting("Mode", "7"), Variant("7"));
        QCOMPARE(registry.GetSetting("Mode", Variant()), Variant());
        QVERIFY(!QFile::exists(m_home->settingsFile()));
        registry.SaveSetting("Mode", "");
        QCOMPARE(registry.GetSetting("Mode", "7"), Variant(""));
        registry.SaveSetting("Mode", "3 a");
        registry.DataType(Type::DWord);
        registry.SaveSetting("Count", 12);
        QCOMPARE(registry.GetSetting("Mode", "7"), Variant("3 a"));
        QCOMPARE(registry.GetSetting("Count"), Variant(12));
        // The file stays readable text, which users may edit by hand.
        const QByteArray text = fileBytes(m_home->settingsFile());
        QVERIFY2(text.contains("[Software\\tavrin\\Options]\n\"Mode\"=\"3 a\"\n"
                               "\"Count\"=dword:0000000c\n"),
                 text.constData());
        // Deleting ignores case and keeps the other values; what is missing is no failure.
        QCOMPARE(registry.DeleteSetting("mode"), Variant());
        QVERIFY(registry.GetSetting("Mode").isMissing());
        QCOMPARE(registry.GetSetting("Count"), Variant(12));
        registry.DeleteSetting("Mode");
        settings("tavrin", "None").DeleteSetting("Mode");
        // A value the user may not change: the refusal is raised, not passed for success.
        QCOMPARE(errorOf([&] {
                     registry.DeleteRegistryValue(Root::ClassesRoot, ".txt", "Content Type");
                 }),
                 "5 cSysRegistry:DeleteRegistryValue");
        // The key is composed anew on every call.
        registry.Section("Two");
        QVERIFY(registry.GetSetting("Count").isMissing());
        // Type 0 only creates the key.
        settings("tavrin", "Options", 0).SaveSetting(kValue, "x");
        QVERIFY(registry.HasKey(Root::CurrentUser, "Software\\tavrin\\Options"));
        QVERIFY(!registry.HasKey(Root::CurrentUser, "Software\\tavrin\\Options", kValue));
    }

    // Every operation fails the same way, none takes the damage for settings that
    // are not there, and the file is left as it was. The error: number and text,
    // then what the text names.
    void badSettingsFileIsReportedAndKeptByteForByte_data() {
        // what is put where, relative to the configuration folder (no bytes: a
        // folder); whether the settings folder is closed; the error
        columns<QString, QByteArray, bool, QString>();
        const QByteArray settings("[Software]\n\"M\"=\"3\"\n");
        const QString file("tavrin/registry.ini"),
            io("1016 An I/O operation|" + file + " cannot be read");
        row("corrupt line", file, settings + "bad\n", false,
            "1009 The configuration registry database is corrupt.|" + file + ", line 3:");
        row("folder in its place", file, QByteArray(), false, io);
        row("a file in the folder's place", "tavrin", settings, false, io + ": Not a directory");
        row("a folder that cannot be entered", file, settings, true, io + ": Permission denied");
    }
    void badSettingsFileIsReportedAndKeptByteForByte() {
        const auto [path, bytes, closed, error] = fetch<QString, QByteArray, bool, QString>();
        if (closed && ::geteuid() == 0) {
            QSKIP("the permissions of a folder do not hold for root");
        }
        const QString damaged = m_home->dir.filePath(path), folder = m_home->dir.filePath("tavrin");
        if (bytes.isEmpty()) {
            QVERIFY(QDir().mkpath(damaged));
        } else {
            writeFile(damaged, bytes);
        }
        const auto contents = [&] {
            return QFileInfo(damaged).isDir() ? QByteArray("folder") : fileBytes(damaged);
        };
        const QByteArray before = contents();
        constexpr auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        const auto reopen = qScopeGuard([&] { QFile::setPermissions(folder, open); });
        QVERIFY(!closed || QFile::setPermissions(folder, {}));
        const clsSysRegistry registry = settings("tavrin", "Options");

        const QString saved = errorOf([&] { registry.SaveSetting("Mode", 4); }, true);
        const QString label = error.section(' ', 0, 0) + " cSysRegistry:";
        QVERIFY2(saved.startsWith(label + "SetRegistryValue " +
                                  error.section(' ', 1).section('|', 0, 0)) &&
                     saved.contains(m_home->dir.filePath(error.section('|', 1))),
                 qPrintable(saved));
        const std::pair<const char*, std::function<void()>> operations[] = {
            {"GetRegistryValue", [&] { registry.GetSetting("Mode", "7"); }},
            {"DeleteRegistryValue", [&] { registry.DeleteSetting("Mode"); }},
            {"EnumKeys", [&] { registry.EnumKeys(Root::CurrentUser, "Software"); }},
            {"EnumValues", [&] { registry.EnumValues(Root::CurrentUser, "Software"); }},
            {"HasKey", [&] { registry.HasKey(Root::CurrentUser, "Software"); }}};
        for (const auto& [name, operation] : operations) {
            QCOMPARE(errorOf(operation), label + name);
        }
        QVERIFY(QFile::setPermissions(folder, open));
        QCOMPARE(contents(), before);
    }
};

QTEST_MAIN(TestSysRegistry)
#include "tst_sysregistry.moc"
