// clsSysRegistry over the settings file and the desktop's file types, and the
// Variant values it gives. Several processes writing at once: tests/load.

#include <memory>

#include "platform/win32api.h"
#include "testsupport.h"

using namespace tav;
using namespace tav::test;
using namespace Qt::StringLiterals;
using namespace RegistryType;

namespace {
constexpr qint32 kUser = RegistryRoot::CurrentUser;
const QString kKey = u"Software\\tavrin\\Test"_s;
const QString kValue = u"V"_s;
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
        QTest::addColumn<QString>("error");  // empty: none
        QString bytes(256, QChar());
        std::generate(bytes.begin(), bytes.end(), [byte = 0]() mutable { return QChar(byte++); });
        const Variant none, umlauts("Grüße, Käthe"), texts(QStringList{"ä", "", "c"});
        const QString ok, mismatch = u"13 cSysRegistry:SetRegistryValue"_s,
                          overflow = u"6 cSysRegistry:SetRegistryValue"_s;
        QTest::newRow("umlauts take two bytes") << String << umlauts << umlauts << ok;
        QTest::newRow("empty as text") << String << none << Variant("") << ok;
        QTest::newRow("unknown name stays") << ExpandString << Variant("%TAVRIN_NONE%TAVRIN_DIR%")
                                            << Variant("%TAVRIN_NONE/srv/tavrin") << ok;
        QTest::newRow("every byte") << Binary << Variant(bytes) << Variant(bytes) << ok;
        QTest::newRow("no bytes") << Binary << Variant("") << Variant("") << ok;
        QTest::newRow("number from text") << DWord << Variant(" +1234 ") << Variant(1234) << ok;
        QTest::newRow("2^31 - 1") << DWord << Variant("2147483647") << Variant(2147483647) << ok;
        QTest::newRow("-2^31") << DWord << Variant("-2147483648") << Variant(-2147483647 - 1) << ok;
        QTest::newRow("empty as number") << DWord << none << Variant(0) << ok;
        QTest::newRow("empty texts inside") << MultiString << texts << texts << ok;
        QTest::newRow("no texts") << MultiString << Variant(QStringList{}) << Variant(QStringList{})
                                  << ok;
        QTest::newRow("type not handled") << 11 << Variant("x") << none << ok;
        QTest::newRow("fraction as number") << DWord << Variant("1.5") << none << mismatch;
        QTest::newRow("empty text as number") << DWord << Variant("") << none << mismatch;
        QTest::newRow("array as number") << DWord << Variant(QStringList{"1"}) << none << mismatch;
        QTest::newRow("2^31") << DWord << Variant("2147483648") << none << overflow;
        QTest::newRow("-2^31 - 1") << DWord << Variant("-2147483649") << none << overflow;
        QTest::newRow("text as array") << MultiString << Variant("a") << none << mismatch;
        QTest::newRow("missing as text") << String << Variant::missing() << none << mismatch;
        QTest::newRow("beyond a byte")
            << Binary << Variant("€") << none << u"5 cSysRegistry:SetRegistryValue"_s;
    }
    void writtenValuesReadBack() {
        QFETCH(int, type);
        QFETCH(Variant, written);
        QFETCH(Variant, read);
        QFETCH(QString, error);
        qputenv("TAVRIN_DIR", "/srv/tavrin");
        const clsSysRegistry registry;
        const auto write = [&] { registry.SetRegistryValue(kUser, kKey, kValue, type, written); };
        QCOMPARE(errorOf(write), error);
        QCOMPARE(registry.GetRegistryValue(kUser, kKey, kValue), read);
    }

    // A value line as a user may edit it into the settings file is read as the registry reads it;
    // one whose size does not fit its type, or that is not understood, is reported.
    void editedValueLinesAreRead_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<Variant>("read");
        QTest::addColumn<QString>("error");  // how it begins; empty: none
        const QString ok,
            invalid = u"5 cSysRegistry:GetRegistryValue Invalid procedure call or argument"_s;
        QTest::newRow("blanks around = and ,")
            << R"("V" = multi_sz:"a" , "b")"_ba << Variant(QStringList{"a", "b"}) << ok;
        QTest::newRow("hex in either case") << R"("V"=hex:0A,fF)"_ba << Variant("\n\u00ff") << ok;
        QTest::newRow("a default value is not V") << R"(@="standard")"_ba << Variant() << ok;
        QTest::newRow("stored type not handled") << R"("V"=hex(b):01,02)"_ba << Variant() << ok;
        QTest::newRow("text of size 0") << R"("V"=hex(1):)"_ba << Variant() << invalid;
        QTest::newRow("multi-text of size 1") << R"("V"=hex(7):00)"_ba << Variant() << invalid;
        QTest::newRow("number of eight bytes")
            << R"("V"=hex(4):01,00,00,00,00,00,00,00)"_ba << Variant()
            << u"234 cSysRegistry:GetRegistryValue More data is available.\r"_s;
        QTest::newRow("letter beyond f")
            << R"("V"=hex:0g)"_ba << Variant()
            << u"1009 cSysRegistry:GetRegistryValue The configuration registry database is corrupt. ("_s;
    }
    void editedValueLinesAreRead() {
        QFETCH(QByteArray, line);
        QFETCH(Variant, read);
        QFETCH(QString, error);
        seedValues(line);
        Variant value;
        const QString raised =
            errorOf([&] { value = clsSysRegistry().GetRegistryValue(kUser, kKey, kValue); }, true);
        QVERIFY2(error.isEmpty() ? raised.isEmpty() : raised.startsWith(error), qPrintable(raised));
        QCOMPARE(value, read);
    }

    // Names are found whatever their case; Empty names the default value, which "Mode" is not.
    void hasKeyTellsWhatExists() {
        seedValues(R"("Mode"="1")");
        const Variant none = Variant::missing();
        QVERIFY(clsSysRegistry().HasKey(kUser, u"SOFTWARE\\Tavrin\\test"_s, none));
        QVERIFY(clsSysRegistry().HasKey(kUser, kKey + '\\', none));
        QVERIFY(!clsSysRegistry().HasKey(kUser, u"Software\\other"_s, none));
        QVERIFY(clsSysRegistry().HasKey(kUser, kKey, Variant("mode")));
        QVERIFY(!clsSysRegistry().HasKey(kUser, kKey, Variant("Other")));
        QVERIFY(!clsSysRegistry().HasKey(kUser, kKey, Variant()));
    }

    void hasKeyRefusesAValueNameThatIsNoText() {
        seedValues(R"("Mode"="1")");
        const Variant name(QStringList{"a"});
        QCOMPARE(errorOf([&] { clsSysRegistry().HasKey(kUser, kKey, name); }),
                 "13 cSysRegistry:HasKey");
    }

    // "grün" is the longest name in bytes, not in characters; "%25" is an escaped "%".
    void listsKeysAndValuesInOrder() {
        writeFile(m_home->settingsFile(),
                  "[Software\\tavrin\\Test\\beta]\n[Software\\tavrin\\Test\\Alpha]\n"
                  "[Software\\tavrin\\Test\\5%25]\n[Software\\tavrin\\Test]\n\"zz\"=\"1\"\n"
                  "\"grün\"=dword:00000001\n@=hex:01\n\"List\"=multi_sz:\"x\"\n");
        const clsSysRegistry registry;
        QCOMPARE(registry.EnumKeys(kUser, kKey), Variant(QStringList{"5%", "Alpha", "beta"}));
        const Variant::TextTable rows{{"zz", "1"}, {"grün", "4"}, {"", "3"}, {"List", "7"}};
        QCOMPARE(registry.EnumValues(kUser, kKey), Variant(rows));
        // Nothing to list is Empty, not an empty array.
        QCOMPARE(registry.EnumKeys(kUser, kKey + "\\Alpha"), Variant());
        QCOMPARE(registry.EnumValues(kUser, kKey + "\\Alpha"), Variant());
        // The layer gives a name with its NUL and no write time, ends a listing past the last
        // value, and counts the NUL in the size an expansion asks for.
        using namespace win;
        HKEY key = nullptr;
        RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\tavrin\\Test", 0, KEY_READ, &key);
        QByteArray name(8, 'x');
        DWORD size = 8;
        FILETIME written{1, 1};
        QCOMPARE(RegEnumKeyExA(key, 1, name.data(), &size, nullptr, nullptr, nullptr, &written), 0);
        QCOMPARE(name.left(size + 1), QByteArray("Alpha", 6));
        QCOMPARE(written.dwLowDateTime + written.dwHighDateTime, 0u);
        QCOMPARE(RegEnumValueA(key, 4, name.data(), &size, nullptr, nullptr, nullptr, nullptr),
                 ERROR_NO_MORE_ITEMS);
        RegCloseKey(key);
        QCOMPARE(ExpandEnvironmentStringsA("ab", nullptr, 0), 3u);
    }

    // An extension is known whatever its case; an unknown one or none has the generic type.
    void answersAboutAnExtension() {
        const clsSysRegistry registry;
        QCOMPARE(registry.ExtensionToContentType(u"TXT"_s), u"text/plain"_s);
        QCOMPARE(registry.ExtensionToFileType(u"TXT"_s), Variant("plain text document"));
        QCOMPARE(registry.ExtensionToContentType(u"xyz"_s), u"application/octet-stream"_s);
        QCOMPARE(registry.ExtensionToFileType(u"xyz"_s), Variant());
        QCOMPARE(registry.ExtensionToContentType(QString()), u"application/octet-stream"_s);
        QCOMPARE(registry.ExtensionToFileType(QString()), Variant());
    }

    void fileTypeIsNamedInTheUsersLanguage() {
        QLocale::setDefault(kGerman);
        QCOMPARE(clsSysRegistry().ExtensionToFileType("txt"), Variant("Einfaches Textdokument"));
    }

    // An icon handle stands for the type's icon until it is destroyed.
    void iconOfAFilesType() {
        const auto check = [](const QString& file, bool hasIcon) {
            const auto icon = reinterpret_cast<win::HICON>(clsSysRegistry().FileToIconHandle(file));
            QVERIFY2(!win::iconFromHandle(icon).isNull() == hasIcon, qPrintable(file));
            QCOMPARE(win::DestroyIcon(icon), win::BOOL(hasIcon));
            QVERIFY(win::iconFromHandle(icon).isNull());
        };
        check(u"txt"_s, true);  // no dot: the name is the extension
        check(u".txt"_s, true);
        check(u"data.xyz"_s, false);  // unknown type
        check(u"song.ogg"_s, false);  // a type without an icon in the theme
    }

    // Every code the settings layer returns has the system's text, so that none of them turns
    // into the error for a code without a text; a code the system does not know has none.
    void everyCodeOfTheLayerHasItsText() {
        using namespace win;
        const auto message = [](DWORD code) {
            QByteArray text(256, ' ');
            return text.left(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0,
                                            text.data(), 256, nullptr));
        };
        for (const DWORD code : {0,    2,    5,    6,    33,   87,   234,  259,  1009, 1010, 1011,
                                 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021}) {
            QVERIFY2(message(code).size() > 2 && message(code).endsWith("\r\n"),
                     qPrintable(QString::number(code)));
        }
        QCOMPARE(message(4242), QByteArray());
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
        registry.DataType(DWord);
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
        const auto deleteTxtType = [&] {
            registry.DeleteRegistryValue(RegistryRoot::ClassesRoot, ".txt", "Content Type");
        };
        QCOMPARE(errorOf(deleteTxtType), "5 cSysRegistry:DeleteRegistryValue");
        // The key is composed anew on every call.
        registry.Section("Two");
        QVERIFY(registry.GetSetting("Count").isMissing());
        // Type 0 only creates the key.
        settings("tavrin", "Options", 0).SaveSetting(kValue, "x");
        QVERIFY(registry.HasKey(kUser, "Software\\tavrin\\Options"));
        QVERIFY(!registry.HasKey(kUser, "Software\\tavrin\\Options", kValue));
    }

    // Settings that cannot be read: reads and writes report it, with the settings file named,
    // while a key that cannot be opened is absent (HasKey false, the listings Empty, nothing to
    // delete); the file is left as it was.
    void badSettingsFileIsReportedAndKeptByteForByte() {
        // `damaged` is relative to the configuration folder; with no bytes it is made a folder.
        const auto check = [&](const QString& damaged, const QByteArray& bytes,
                               const QString& writeError, const QString& readError,
                               const QString& named) {
            m_home = std::make_unique<ConfigHome>();
            const QString path = m_home->dir.filePath(damaged);
            if (bytes.isEmpty()) {
                QVERIFY(QDir().mkpath(path));
            } else {
                writeFile(path, bytes);
            }
            const clsSysRegistry registry = settings("tavrin", "Options");
            const QString saved = errorOf([&] { registry.SaveSetting("Mode", 4); }, true);
            QVERIFY2(saved.startsWith(writeError) && saved.contains(m_home->dir.filePath(named)),
                     qPrintable(saved));
            QCOMPARE(errorOf([&] { registry.GetSetting("Mode", "7"); }), readError);
            // An error raised here fails the test.
            QVERIFY(!registry.HasKey(kUser, "Software", "M"));
            QCOMPARE(registry.EnumKeys(kUser, "Software"), Variant());
            QCOMPARE(registry.EnumValues(kUser, "Software"), Variant());
            registry.DeleteSetting("Mode");
            QCOMPARE(QFileInfo(path).isDir(), bytes.isEmpty());
            QCOMPARE(fileBytes(path), bytes);
        };
        const QByteArray settings = "[Software]\n\"M\"=\"3\"\n"_ba;
        const QString file = u"tavrin/registry.ini"_s,
                      notWritten = u"1016 cSysRegistry:SetRegistryValue An I/O operation"_s,
                      notRead = u"1016 cSysRegistry:GetRegistryValue"_s;
        check(
            file, settings + "bad\n",
            u"1009 cSysRegistry:SetRegistryValue The configuration registry database is corrupt."_s,
            u"1009 cSysRegistry:GetRegistryValue"_s, u"tavrin/registry.ini, line 3:"_s);
        // A folder in the file's place.
        check(file, QByteArray(), notWritten, notRead,
              u"tavrin/registry.ini cannot be read: it is not a file"_s);
        // A file in the folder's place.
        check(u"tavrin"_s, settings, notWritten, notRead,
              u"tavrin/registry.ini cannot be read: Not a directory"_s);
    }
};

QTEST_MAIN(TestSysRegistry)
#include "tst_sysregistry.moc"
