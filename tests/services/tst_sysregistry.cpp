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
}  // namespace

class TestSysRegistry : public QObject {
    Q_OBJECT

    std::unique_ptr<ConfigHome> m_home;
    QTemporaryDir m_themes;

    // The values of kKey in a settings file of our own, after a blank line as an editor may leave.
    void seedValues(const QByteArray& lines) {
        writeFile(m_home->settingsFile(), "\n[Software\\tavrin\\Test]\n" + lines + '\n');
    }

    // The bytes at `path`, or a folder there when there are none.
    static void placeDamage(const QString& path, const QByteArray& bytes) {
        if (bytes.isEmpty()) {
            QVERIFY(QDir().mkpath(path));
        } else {
            writeFile(path, bytes);
        }
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
        // A type mismatch, with no source yet: the operation that converts gives it one.
        QCOMPARE(errorOf([] { Variant(QStringList{"a"}).toTextTable(); }), "13 ");
    }

    // A value written through the class reads back as the registry keeps it; one the class cannot
    // convert is refused with the conversion's error and nothing is written.
    void writtenValuesReadBack_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<Variant>("written");
        QTest::addColumn<Variant>("read");
        QString bytes;
        for (int byte = 0; byte < 256; ++byte) {
            bytes.append(QChar(byte));
        }
        const Variant umlauts("Grüße, Käthe"), texts(QStringList{"ä", "", "c"});
        QTest::newRow("umlauts take two bytes") << Type::String << umlauts << umlauts;
        QTest::newRow("empty as text") << Type::String << Variant() << Variant("");
        QTest::newRow("unknown name stays")
            << Type::ExpandString << Variant("%TAVRIN_NONE%TAVRIN_DIR%")
            << Variant("%TAVRIN_NONE/srv/tavrin");
        QTest::newRow("every byte") << Type::Binary << Variant(bytes) << Variant(bytes);
        QTest::newRow("no bytes") << Type::Binary << Variant("") << Variant("");
        QTest::newRow("number from text") << Type::DWord << Variant(" +1234 ") << Variant(1234);
        QTest::newRow("largest number")
            << Type::DWord << Variant("2147483647") << Variant(2147483647);
        QTest::newRow("smallest number")
            << Type::DWord << Variant("-2147483648") << Variant(int(-2147483648LL));
        QTest::newRow("empty as number") << Type::DWord << Variant() << Variant(0);
        QTest::newRow("empty texts inside") << Type::MultiString << texts << texts;
        QTest::newRow("no texts") << Type::MultiString << Variant(QStringList{})
                                  << Variant(QStringList{});
        QTest::newRow("type not handled") << 11 << Variant("x") << Variant();
    }
    void writtenValuesReadBack() {
        QFETCH(int, type);
        QFETCH(Variant, written);
        QFETCH(Variant, read);
        qputenv("TAVRIN_DIR", "/srv/tavrin");
        const clsSysRegistry registry;
        registry.SetRegistryValue(Root::CurrentUser, kKey, kValue, type, written);
        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser, kKey, kValue), read);
    }

    void valueThatDoesNotConvertIsNotWritten_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<Variant>("written");
        QTest::addColumn<QString>("error");
        QTest::newRow("fraction as number")
            << Type::DWord << Variant("1.5") << "13 cSysRegistry:SetRegistryValue";
        QTest::newRow("empty text as number")
            << Type::DWord << Variant("") << "13 cSysRegistry:SetRegistryValue";
        QTest::newRow("array as number")
            << Type::DWord << Variant(QStringList{"1"}) << "13 cSysRegistry:SetRegistryValue";
        QTest::newRow("one above 32 bits")
            << Type::DWord << Variant("2147483648") << "6 cSysRegistry:SetRegistryValue";
        QTest::newRow("one below 32 bits")
            << Type::DWord << Variant("-2147483649") << "6 cSysRegistry:SetRegistryValue";
        QTest::newRow("text as array")
            << Type::MultiString << Variant("a") << "13 cSysRegistry:SetRegistryValue";
        QTest::newRow("missing as text")
            << Type::String << Variant::missing() << "13 cSysRegistry:SetRegistryValue";
        QTest::newRow("character beyond a byte")
            << Type::Binary << Variant("€") << "5 cSysRegistry:SetRegistryValue";
    }
    void valueThatDoesNotConvertIsNotWritten() {
        QFETCH(int, type);
        QFETCH(Variant, written);
        QFETCH(QString, error);
        const clsSysRegistry registry;
        QCOMPARE(errorOf([&] {
                     registry.SetRegistryValue(Root::CurrentUser, kKey, kValue, type, written);
                 }),
                 error);
        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser, kKey, kValue), Variant());
    }

    // A value line as a user may edit it into the settings file is read as the registry reads it.
    void editedValueLinesAreRead_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<Variant>("read");
        QTest::newRow("blanks around = and ,")
            << QByteArray("\"V\" = multi_sz:\"a\" , \"b\"") << Variant(QStringList{"a", "b"});
        QTest::newRow("hex digits in either case")
            << QByteArray("\"V\"=hex:0A,fF") << Variant("\n\u00ff");
        QTest::newRow("a default value is not V") << QByteArray("@=\"standard\"") << Variant();
        QTest::newRow("stored type not handled") << QByteArray("\"V\"=hex(b):01,02") << Variant();
    }
    void editedValueLinesAreRead() {
        QFETCH(QByteArray, line);
        QFETCH(Variant, read);
        seedValues(line);
        QCOMPARE(clsSysRegistry().GetRegistryValue(Root::CurrentUser, kKey, kValue), read);
    }

    void malformedValueLinesAreReported_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("errorBeginning");
        QTest::newRow("text of size 0")
            << QByteArray("\"V\"=hex(1):")
            << "5 cSysRegistry:GetRegistryValue Invalid procedure call or argument";
        QTest::newRow("multi-text of size 1")
            << QByteArray("\"V\"=hex(7):00")
            << "5 cSysRegistry:GetRegistryValue Invalid procedure call or argument";
        QTest::newRow("number of eight bytes")
            << QByteArray("\"V\"=hex(4):01,00,00,00,00,00,00,00")
            << "234 cSysRegistry:GetRegistryValue More data is available.\r";
        QTest::newRow("letter beyond f")
            << QByteArray("\"V\"=hex:0g")
            << "1009 cSysRegistry:GetRegistryValue The configuration registry database is "
               "corrupt. (";
    }
    void malformedValueLinesAreReported() {
        QFETCH(QByteArray, line);
        QFETCH(QString, errorBeginning);
        seedValues(line);
        const QString error = errorOf(
            [] { clsSysRegistry().GetRegistryValue(Root::CurrentUser, kKey, kValue); }, true);
        QVERIFY2(error.startsWith(errorBeginning), qPrintable(error));
    }

    void hasKeyTellsWhatExists_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Variant>("value");
        QTest::addColumn<bool>("exists");
        const Variant none = Variant::missing();
        QTest::newRow("key") << kKey << none << true;
        QTest::newRow("key in other case") << "SOFTWARE\\Tavrin\\test" << none << true;
        QTest::newRow("trailing backslash") << kKey + '\\' << none << true;
        QTest::newRow("missing key") << "Software\\other" << none << false;
        QTest::newRow("value in other case") << kKey << Variant("mode") << true;
        QTest::newRow("missing value") << kKey << Variant("Other") << false;
        QTest::newRow("empty names the default value") << kKey << Variant() << false;
        QTest::newRow("leading backslash") << "\\Software" << none << false;
    }
    void hasKeyTellsWhatExists() {
        QFETCH(QString, key);
        QFETCH(Variant, value);
        QFETCH(bool, exists);
        seedValues("\"Mode\"=\"1\"");
        QCOMPARE(clsSysRegistry().HasKey(Root::CurrentUser, key, value), exists);
    }

    void hasKeyRefusesAValueNameThatIsNoText() {
        seedValues("\"Mode\"=\"1\"");
        QCOMPARE(errorOf([] {
                     clsSysRegistry().HasKey(Root::CurrentUser, kKey, Variant(QStringList{"a"}));
                 }),
                 "13 cSysRegistry:HasKey");
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

    // The content type and the type's name in the user's language.
    void answersAboutAnExtension_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<Variant>("fileType");
        const QString unknown("application/octet-stream");
        QTest::newRow("txt") << "txt" << kEnglish << "text/plain" << Variant("plain text document");
        QTest::newRow("upper case")
            << "TXT" << kEnglish << "text/plain" << Variant("plain text document");
        QTest::newRow("user's language")
            << "txt" << kGerman << "text/plain" << Variant("Einfaches Textdokument");
        QTest::newRow("unknown") << "xyz" << kEnglish << unknown << Variant();
        QTest::newRow("none") << "" << kEnglish << unknown << Variant();
    }
    void answersAboutAnExtension() {
        QFETCH(QString, extension);
        QFETCH(QLocale, locale);
        QFETCH(QString, contentType);
        QFETCH(Variant, fileType);
        QLocale::setDefault(locale);
        const clsSysRegistry registry;
        QCOMPARE(registry.ExtensionToContentType(extension), contentType);
        QCOMPARE(registry.ExtensionToFileType(extension), fileType);
    }

    // An icon handle stands for the type's icon until it is destroyed.
    void iconOfAFilesType_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("hasIcon");
        QTest::newRow("no dot: the name is the extension") << "txt" << true;
        QTest::newRow("text file") << "notes.txt" << true;
        QTest::newRow("nothing before the dot") << ".txt" << true;
        QTest::newRow("unknown type") << "data.xyz" << false;
        QTest::newRow("type without icon in the theme") << "song.ogg" << false;
    }
    void iconOfAFilesType() {
        QFETCH(QString, file);
        QFETCH(bool, hasIcon);
        const auto icon = reinterpret_cast<win::HICON>(clsSysRegistry().FileToIconHandle(file));
        QCOMPARE(!win::iconFromHandle(icon).isNull(), hasIcon);
        QCOMPARE(win::DestroyIcon(icon), win::BOOL(hasIcon));
        QVERIFY(win::iconFromHandle(icon).isNull());
    }

    // Every code the settings layer returns has the system's text, so that none of them turns
    // into the error for a code without a text.
    void everyCodeOfTheLayerHasItsText() {
        const win::DWORD codes[] = {0,    2,    5,    6,    33,   87,   234,
                                    259,  1009, 1010, 1011, 1012, 1013, 1014,
                                    1015, 1016, 1017, 1018, 1019, 1020, 1021};
        for (const win::DWORD code : codes) {
            QByteArray text(256, ' ');
            const win::DWORD size = win::FormatMessageA(win::FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                                                        code, 0, text.data(), 256, nullptr);
            QVERIFY2(size > 2 && text.left(size).endsWith("\r\n"),
                     qPrintable(QString::number(code)));
        }
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

    // Settings that cannot be read or written: reads and writes report it, with the settings
    // file named, and the file is left as it was.
    void badSettingsFileIsReportedAndKeptByteForByte_data() {
        QTest::addColumn<QString>("damaged");   // relative to the configuration folder
        QTest::addColumn<QByteArray>("bytes");  // none: a folder
        QTest::addColumn<bool>("folderClosed");
        QTest::addColumn<QString>("writeError");
        QTest::addColumn<QString>("readError");
        QTest::addColumn<QString>("named");
        const QByteArray settings("[Software]\n\"M\"=\"3\"\n");
        QTest::newRow("corrupt line")
            << "tavrin/registry.ini" << settings + "bad\n"
            << false
            << "1009 cSysRegistry:SetRegistryValue The configuration registry database is corrupt."
            << "1009 cSysRegistry:GetRegistryValue"
            << "tavrin/registry.ini, line 3:";
        QTest::newRow("folder in its place")
            << "tavrin/registry.ini" << QByteArray() << false
            << "1016 cSysRegistry:SetRegistryValue An I/O operation"
            << "1016 cSysRegistry:GetRegistryValue"
            << "tavrin/registry.ini cannot be read";
        QTest::newRow("a file in the folder's place")
            << "tavrin" << settings << false
            << "1016 cSysRegistry:SetRegistryValue An I/O operation"
            << "1016 cSysRegistry:GetRegistryValue"
            << "tavrin/registry.ini cannot be read: Not a directory";
        QTest::newRow("a folder that cannot be entered")
            << "tavrin/registry.ini" << settings << true
            << "1016 cSysRegistry:SetRegistryValue An I/O operation"
            << "1016 cSysRegistry:GetRegistryValue"
            << "tavrin/registry.ini cannot be read: Permission denied";
    }
    void badSettingsFileIsReportedAndKeptByteForByte() {
        QFETCH(QString, damaged);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, folderClosed);
        QFETCH(QString, writeError);
        QFETCH(QString, readError);
        QFETCH(QString, named);
        const QString path = m_home->dir.filePath(damaged);
        const QString folder = m_home->dir.filePath("tavrin");
        if (folderClosed && ::geteuid() == 0) {
            QSKIP("the permissions of a folder do not hold for root");
        }
        placeDamage(path, bytes);
        const auto contents = [&] {
            return QFileInfo(path).isDir() ? QByteArray("folder") : fileBytes(path);
        };
        const QByteArray before = contents();
        constexpr auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        const auto reopen = qScopeGuard([&] { QFile::setPermissions(folder, open); });
        QVERIFY(!folderClosed || QFile::setPermissions(folder, {}));
        const clsSysRegistry registry = settings("tavrin", "Options");

        const QString saved = errorOf([&] { registry.SaveSetting("Mode", 4); }, true);
        QVERIFY2(saved.startsWith(writeError) && saved.contains(m_home->dir.filePath(named)),
                 qPrintable(saved));
        QCOMPARE(errorOf([&] { registry.GetSetting("Mode", "7"); }), readError);
        QVERIFY(QFile::setPermissions(folder, open));
        QCOMPARE(contents(), before);
    }

    // A key that cannot be opened, whatever the reason, is absent for the questions about keys:
    // HasKey is false, the listings are Empty and there is nothing to delete.
    void keysOfABadSettingsFileAreAbsent_data() {
        QTest::addColumn<QString>("damaged");
        QTest::addColumn<QByteArray>("bytes");  // none: a folder
        QTest::addColumn<QString>("readError");
        const QByteArray settings("[Software]\n\"M\"=\"3\"\n");
        const QString corrupt("1009 cSysRegistry:GetRegistryValue");
        const QString unreadable("1016 cSysRegistry:GetRegistryValue");
        QTest::newRow("corrupt line") << "tavrin/registry.ini" << settings + "bad\n" << corrupt;
        QTest::newRow("cut off inside a value")
            << "tavrin/registry.ini" << settings.left(14) << corrupt;
        QTest::newRow("folder in its place") << "tavrin/registry.ini" << QByteArray() << unreadable;
        QTest::newRow("a file in the folder's place") << "tavrin" << settings << unreadable;
    }
    void keysOfABadSettingsFileAreAbsent() {
        // Reads still report the damage
        QFETCH(QString, damaged);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, readError);
        const QString path = m_home->dir.filePath(damaged);
        placeDamage(path, bytes);
        const clsSysRegistry registry = settings("tavrin", "Options");
        QCOMPARE(errorOf([&] { registry.GetRegistryValue(Root::CurrentUser, "Software", "M"); }),
                 readError);
        // An error raised here fails the test.
        QVERIFY(!registry.HasKey(Root::CurrentUser, "Software"));
        QVERIFY(!registry.HasKey(Root::CurrentUser, "Software", "M"));
        QCOMPARE(registry.EnumKeys(Root::CurrentUser, "Software"), Variant());
        QCOMPARE(registry.EnumValues(Root::CurrentUser, "Software"), Variant());
        QCOMPARE(registry.DeleteSetting("Mode"), Variant());
        registry.DeleteRegistryValue(Root::CurrentUser, "Software", "M");
        QCOMPARE(QFileInfo(path).isDir() ? QByteArray() : fileBytes(path), bytes);
    }
};

QTEST_MAIN(TestSysRegistry)
#include "tst_sysregistry.moc"
