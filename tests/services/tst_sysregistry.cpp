// clsSysRegistry over the settings file and the desktop's file types: every
// operation, the error numbers and labels and the settings, and the Variant
// values it gives. Several processes writing at once are tested in tests/load.

#include <QScopeGuard>
#include <QtTest>
#include <memory>

#include <unistd.h>

#include "clssysdialogs.h"
#include "clssysregistry.h"
#include "platform/win32api.h"
#include "testsupport.h"

using tav::clsSysRegistry;
using tav::Variant;
using tav::test::errorOf;
using tav::test::fileBytes;
using tav::test::raisedBy;
using tav::test::settings;
namespace Root = tav::RegistryRoot;
namespace Type = tav::RegistryType;

namespace {

const QString kKey = QStringLiteral("Software\\tavrin\\Test");

// What is wrong with the settings file or the way to it.
enum class Damage { CorruptLine, FolderForFile, FileForFolder, ClosedFolder };
constexpr QFile::Permissions kOpenFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
const QString kValue = QStringLiteral("V");

QString everyByte() {
    QString text;
    for (int byte = 0; byte < 256; ++byte) {
        text.append(QChar(byte));
    }
    return text;
}

}  // namespace

Q_DECLARE_METATYPE(Damage)

class TestSysRegistry : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<tav::test::ConfigHome> m_home;
    QTemporaryDir m_themes;

    void seedFile(const QByteArray& contents) {
        tav::test::writeFile(m_home->settingsFile(), contents);
    }
    // Puts `line` as the only value of kKey into a settings file of our own.
    void seedValue(const QByteArray& line) { seedFile("[Software\\tavrin\\Test]\n" + line + '\n'); }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        tav::test::installTestIconTheme(m_themes.path());
    }
    void init() { m_home = std::make_unique<tav::test::ConfigHome>(); }

    // The kinds stay apart, which every comparison of results relies on.
    void variantKindsAreKeptApart() {
        QVERIFY(Variant().isEmpty() && !Variant("").isEmpty() && !Variant::missing().isEmpty());
        QVERIFY(Variant("1") != Variant(1));
        QVERIFY(Variant(QStringList{"a"}) != Variant(Variant::TextTable{{"a", ""}}));
        QCOMPARE(Variant(Variant::TextTable{{"a", "1"}}).toTextTable().size(), 1);
        QCOMPARE(raisedBy([] { Variant(QStringList{"a"}).toTextTable(); })->number(), 13);
    }

    void valuesReadBackAsWritten_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<Variant>("written");
        QTest::addColumn<Variant>("read");
        QTest::newRow("umlauts take two bytes")
            << Type::String << Variant("Grüße, Käthe") << Variant("Grüße, Käthe");
        QTest::newRow("empty as text") << Type::String << Variant() << Variant("");
        QTest::newRow("unknown name stays")
            << Type::ExpandString << Variant("%TAVRIN_NONE%TAVRIN_DIR%")
            << Variant("%TAVRIN_NONE/srv/tavrin");
        QTest::newRow("every byte") << Type::Binary << Variant(everyByte()) << Variant(everyByte());
        QTest::newRow("no bytes") << Type::Binary << Variant("") << Variant("");
        QTest::newRow("number from text") << Type::DWord << Variant(" +1234 ") << Variant(1234);
        QTest::newRow("largest number")
            << Type::DWord << Variant("2147483647") << Variant(2147483647);
        QTest::newRow("smallest number")
            << Type::DWord << Variant("-2147483648") << Variant(int(-2147483648LL));
        QTest::newRow("empty as number") << Type::DWord << Variant() << Variant(0);
        QTest::newRow("empty texts inside")
            << Type::MultiString << Variant(QStringList{"ä", "", "c"})
            << Variant(QStringList{"ä", "", "c"});
        QTest::newRow("no texts") << Type::MultiString << Variant(QStringList{})
                                  << Variant(QStringList{});
        QTest::newRow("type not handled") << 11 << Variant("x") << Variant();
    }
    void valuesReadBackAsWritten() {
        QFETCH(int, type);
        QFETCH(Variant, written);
        QFETCH(Variant, read);
        qputenv("TAVRIN_DIR", "/srv/tavrin");
        clsSysRegistry registry;

        registry.SetRegistryValue(Root::CurrentUser, kKey, kValue, type, written);

        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser, kKey, kValue), read);
        QVERIFY(registry.HasKey(Root::CurrentUser, kKey));
    }

    void storedValuesAreReadByType_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<Variant>("read");
        QTest::addColumn<int>("error");
        QTest::newRow("two texts and the double NUL")
            << QByteArray("\"V\"=multi_sz:\"a\",\"b\"") << Variant(QStringList{"a", "b"}) << 0;
        QTest::newRow("default value") << QByteArray("@=\"standard\"") << Variant() << 0;
        QTest::newRow("type not handled") << QByteArray("\"V\"=hex(b):01,02") << Variant() << 0;
        QTest::newRow("missing value") << QByteArray("\"Other\"=\"x\"") << Variant() << 0;
        QTest::newRow("text of size 0") << QByteArray("\"V\"=hex(1):") << Variant() << 5;
        QTest::newRow("multi-text of size 1") << QByteArray("\"V\"=hex(7):00") << Variant() << 5;
        QTest::newRow("number of eight bytes")
            << QByteArray("\"V\"=hex(4):01,00,00,00,00,00,00,00") << Variant() << 234;
    }
    void storedValuesAreReadByType() {
        QFETCH(QByteArray, stored);
        QFETCH(Variant, read);
        QFETCH(int, error);
        seedValue(stored);
        Variant value;

        const auto raised = raisedBy(
            [&] { value = clsSysRegistry().GetRegistryValue(Root::CurrentUser, kKey, kValue); });

        QCOMPARE(value, read);
        QCOMPARE(raised ? raised->number() : 0, error);
        if (raised) {
            QCOMPARE(raised->source(), QStringLiteral("cSysRegistry:GetRegistryValue"));
            QCOMPARE(raised->description(),
                     error == 5 ? QStringLiteral("Invalid procedure call or argument")
                                : QStringLiteral("More data is available.\r"));
        }
    }

    void conversionFailuresAreRaised_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<Variant>("value");
        QTest::addColumn<int>("error");
        QTest::newRow("fraction as number") << Type::DWord << Variant("1.5") << 13;
        QTest::newRow("hex as number") << Type::DWord << Variant("0x10") << 13;
        QTest::newRow("empty text as number") << Type::DWord << Variant("") << 13;
        QTest::newRow("array as number") << Type::DWord << Variant(QStringList{"1"}) << 13;
        QTest::newRow("one above 32 bits") << Type::DWord << Variant("2147483648") << 6;
        QTest::newRow("one below 32 bits") << Type::DWord << Variant("-2147483649") << 6;
        QTest::newRow("far too many digits") << Type::DWord << Variant("99999999999999999999") << 6;
        QTest::newRow("text as array") << Type::MultiString << Variant("a") << 13;
        QTest::newRow("table as text")
            << Type::String << Variant(Variant::TextTable{{"a", "1"}}) << 13;
        QTest::newRow("missing as text") << Type::String << Variant::missing() << 13;
        QTest::newRow("character beyond a byte") << Type::Binary << Variant("€") << 5;
    }
    void conversionFailuresAreRaised() {
        QFETCH(int, type);
        QFETCH(Variant, value);
        QFETCH(int, error);
        clsSysRegistry registry;

        QCOMPARE(errorOf([&] {
                     registry.SetRegistryValue(Root::CurrentUser, kKey, kValue, type, value);
                 }),
                 QStringLiteral("%1 cSysRegistry:SetRegistryValue").arg(error));
        QVERIFY(registry.GetRegistryValue(Root::CurrentUser, kKey, kValue).isEmpty());
    }

    void hasKeyTellsWhatExists_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Variant>("value");
        QTest::addColumn<bool>("exists");
        QTest::newRow("key") << kKey << Variant::missing() << true;
        QTest::newRow("key in other case")
            << QStringLiteral("SOFTWARE\\Tavrin\\test") << Variant::missing() << true;
        QTest::newRow("trailing backslash") << kKey + '\\' << Variant::missing() << true;
        QTest::newRow("missing key")
            << QStringLiteral("Software\\other") << Variant::missing() << false;
        QTest::newRow("value in other case") << kKey << Variant("mode") << true;
        QTest::newRow("missing value") << kKey << Variant("Other") << false;
        QTest::newRow("empty names the default value") << kKey << Variant() << false;
        QTest::newRow("empty key name")
            << QStringLiteral("Software\\\\") << Variant::missing() << false;
        QTest::newRow("leading backslash")
            << QStringLiteral("\\Software") << Variant::missing() << false;
    }
    void hasKeyTellsWhatExists() {
        QFETCH(QString, key);
        QFETCH(Variant, value);
        QFETCH(bool, exists);
        seedValue("\"Mode\"=\"1\"");
        QCOMPARE(clsSysRegistry().HasKey(Root::CurrentUser, key, value), exists);
    }

    void hasKeyLabelsItsErrors() {
        seedValue("\"Mode\"=\"1\"");  // the value name is looked at only in a key that exists
        QCOMPARE(
            errorOf([] { clsSysRegistry().HasKey(Root::CurrentUser, kKey, QStringList{"a"}); }),
            QStringLiteral("13 cSysRegistry:HasKey"));
    }

    void deleteRemovesAndToleratesWhatIsMissing() {
        seedValue("\"Mode\"=\"1\"\n\"Keep\"=\"2\"");
        const clsSysRegistry registry;
        registry.DeleteRegistryValue(Root::CurrentUser, kKey, QStringLiteral("mode"));
        QVERIFY(!registry.HasKey(Root::CurrentUser, kKey, QStringLiteral("Mode")));
        QVERIFY(registry.HasKey(Root::CurrentUser, kKey, QStringLiteral("Keep")));
        QVERIFY(!raisedBy([&] {
            registry.DeleteRegistryValue(Root::CurrentUser, kKey, QStringLiteral("Mode"));
            registry.DeleteRegistryValue(Root::CurrentUser, QStringLiteral("Software\\none"),
                                         kValue);
        }));

        // A value the user may not change: the refusal is raised, not passed for success.
        const auto raised = raisedBy([] {
            clsSysRegistry().DeleteRegistryValue(Root::ClassesRoot, QStringLiteral(".txt"),
                                                 QStringLiteral("Content Type"));
        });
        QVERIFY(raised);
        QCOMPARE(raised->number(), 5);
        QCOMPARE(raised->source(), QStringLiteral("cSysRegistry:DeleteRegistryValue"));
        QCOMPARE(raised->description(), QStringLiteral("Access is denied.\r"));
    }

    void listsKeysAndValuesInOrder() {
        // "grün" is the longest name in bytes, not in characters.
        seedFile(
            "[Software\\tavrin\\Test\\beta]\n[Software\\tavrin\\Test\\Alpha]\n"
            "[Software\\tavrin\\Test]\n\"zz\"=\"1\"\n\"grün\"=dword:00000001\n"
            "@=hex:01\n\"List\"=multi_sz:\"x\"\n");
        const clsSysRegistry registry;

        QCOMPARE(registry.EnumKeys(Root::CurrentUser, kKey), Variant(QStringList{"Alpha", "beta"}));
        const Variant::TextTable rows{{"zz", "1"}, {"grün", "4"}, {"", "3"}, {"List", "7"}};
        QCOMPARE(registry.EnumValues(Root::CurrentUser, kKey), Variant(rows));
        // Nothing to list is Empty, not an empty array.
        for (const QString& key :
             {kKey + QStringLiteral("\\Alpha"), QStringLiteral("Software\\none")}) {
            QCOMPARE(registry.EnumKeys(Root::CurrentUser, key).kind(), Variant::Kind::Empty);
            QCOMPARE(registry.EnumValues(Root::CurrentUser, key).kind(), Variant::Kind::Empty);
        }
    }

    void answersAboutExtensions_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<Variant>("fileType");
        const QString unknown = QStringLiteral("application/octet-stream");
        QTest::newRow("txt") << "txt"
                             << "text/plain" << Variant("plain text document");
        QTest::newRow("upper case") << "TXT"
                                    << "text/plain" << Variant("plain text document");
        QTest::newRow("unknown") << "xyz" << unknown << Variant();
        QTest::newRow("none") << "" << unknown << Variant();
    }
    void answersAboutExtensions() {
        QFETCH(QString, extension);
        QFETCH(QString, contentType);
        QFETCH(Variant, fileType);
        const clsSysRegistry registry;
        QCOMPARE(registry.ExtensionToContentType(extension), contentType);
        QCOMPARE(registry.ExtensionToFileType(extension), fileType);
    }

    void typeNamesFollowTheUsersLanguage() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const Variant name = clsSysRegistry().ExtensionToFileType(QStringLiteral("txt"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(name, Variant("Einfaches Textdokument"));
    }

    void iconHandlesForFileTypes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("hasIcon");
        QTest::newRow("text file") << "notes.txt" << 0 << true;
        QTest::newRow("no dot: the name is the extension") << "txt" << 0 << true;
        QTest::newRow("type without icon in the theme") << "song.ogg" << 0 << false;
        QTest::newRow("unknown type") << "archive.xyz" << 0 << false;
    }
    void iconHandlesForFileTypes() {
        QFETCH(QString, file);
        QFETCH(int, index);
        QFETCH(bool, hasIcon);
        QCOMPARE(clsSysRegistry().FileToIconHandle(file, index) != 0, hasIcon);
    }

    void settingsRoundTrip() {
        clsSysRegistry registry = settings(QStringLiteral("tavrin"), QStringLiteral("Options"));
        QCOMPARE(registry.Section(), QStringLiteral("Options"));

        registry.SaveSetting(QStringLiteral("Mode"), QStringLiteral("3"));
        registry.DataType(Type::DWord);
        registry.SaveSetting(QStringLiteral("Count"), 12);

        QCOMPARE(registry.GetSetting(QStringLiteral("Mode")), Variant("3"));
        QCOMPARE(registry.GetSetting(QStringLiteral("Count")), Variant(12));
        // The file stays readable text, which users may edit by hand.
        const QByteArray text = fileBytes(m_home->settingsFile());
        QVERIFY2(text.contains("[Software\\tavrin\\Options]\n\"Mode\"=\"3\"\n"
                               "\"Count\"=dword:0000000c\n"),
                 text.constData());

        QCOMPARE(registry.DeleteSetting(QStringLiteral("Mode")), Variant());
        QVERIFY(registry.GetSetting(QStringLiteral("Mode")).isMissing());
        QCOMPARE(registry.GetSetting(QStringLiteral("Count")), Variant(12));

        // The key is composed anew on every call.
        registry.Section(QStringLiteral("Two"));
        QVERIFY(registry.GetSetting(QStringLiteral("Count")).isMissing());
        registry.SaveSetting(QStringLiteral("Count"), 2);
        QCOMPARE(registry.EnumKeys(Root::CurrentUser, QStringLiteral("Software\\tavrin")),
                 Variant(QStringList{"Options", "Two"}));
    }

    void getSettingFallsBackOnlyForMissingSettings_data() {
        QTest::addColumn<Variant>("stored");
        QTest::addColumn<Variant>("defaultValue");
        QTest::addColumn<Variant>("expected");
        QTest::newRow("missing, no default: the missing marker")
            << Variant() << Variant::missing() << Variant::missing();
        QTest::newRow("missing, default") << Variant() << Variant("7") << Variant("7");
        QTest::newRow("missing, empty default") << Variant() << Variant() << Variant();
        QTest::newRow("stored empty text is a value") << Variant("") << Variant("7") << Variant("");
        QTest::newRow("stored value") << Variant("5") << Variant("7") << Variant("5");
    }
    void getSettingFallsBackOnlyForMissingSettings() {
        QFETCH(Variant, stored);
        QFETCH(Variant, defaultValue);
        QFETCH(Variant, expected);
        const clsSysRegistry registry =
            settings(QStringLiteral("tavrin"), QStringLiteral("Options"));
        if (!stored.isEmpty()) {
            registry.SaveSetting(kValue, stored);
        }
        QCOMPARE(registry.GetSetting(kValue, defaultValue), expected);
        // Reading neither needs nor creates the settings file.
        QCOMPARE(QFile::exists(m_home->settingsFile()), !stored.isEmpty());
    }

    void settingOfTypeZeroOnlyCreatesTheKey() {
        const clsSysRegistry registry = settings(QStringLiteral("tavrin"), QStringLiteral("O"), 0);
        QVERIFY(!raisedBy([&] { registry.SaveSetting(kValue, QStringLiteral("x")); }));
        QVERIFY(registry.HasKey(Root::CurrentUser, QStringLiteral("Software\\tavrin\\O")));
        QVERIFY(!registry.HasKey(Root::CurrentUser, QStringLiteral("Software\\tavrin\\O"), kValue));
    }

    void settingsWithoutApplicationNameAreRefused() {
        // Without AppName and Section the key is "Software\\", with an empty
        // name in it, which no registry key can have.
        const clsSysRegistry registry = settings({}, {});

        const auto saved = raisedBy([&] { registry.SaveSetting(kValue, QStringLiteral("x")); });

        QVERIFY(saved);
        QCOMPARE(saved->number(), 87);
        QCOMPARE(saved->source(), QStringLiteral("cSysRegistry:SetRegistryValue"));
        QCOMPARE(saved->description(), QStringLiteral("The parameter is incorrect.\r"));
        QCOMPARE(errorOf([&] { registry.GetSetting(kValue); }),
                 QStringLiteral("87 cSysRegistry:GetRegistryValue"));
        QVERIFY(!QFile::exists(m_home->settingsFile()));
    }

    // A registry code without a text would surface as error 9999 instead of itself.
    void everyRegistryCodeHasItsText() {
        using namespace tav::win;
        QList<DWORD> codes{0, 2, 5, 6, 33, 87, 234, 259};
        for (DWORD code = 1009; code <= 1021; ++code) {
            codes.append(code);
        }
        for (const DWORD code : codes) {
            QByteArray text(256, ' ');
            const DWORD count = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0,
                                               text.data(), 256, nullptr);
            QVERIFY2(count > 2 && text.left(count).endsWith(".\r\n"),
                     qPrintable(QString::number(code)));
        }
    }

    void badSettingsFileIsReportedAndKeptByteForByte_data() {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<QString>("detail");  // what the write's text says, after the config folder
        QTest::newRow("corrupt line")
            << Damage::CorruptLine << 1009
            << QStringLiteral("The configuration registry database is corrupt.")
            << QStringLiteral("tavrin/registry.ini, line 3:");
        QTest::newRow("folder in its place")
            << Damage::FolderForFile << 1016 << QStringLiteral("An I/O operation")
            << QStringLiteral("tavrin/registry.ini cannot be read");
        QTest::newRow("a file in the folder's place")
            << Damage::FileForFolder << 1016 << QStringLiteral("An I/O operation")
            << QStringLiteral("tavrin/registry.ini cannot be read: Not a directory");
        QTest::newRow("a folder that cannot be entered")
            << Damage::ClosedFolder << 1016 << QStringLiteral("An I/O operation")
            << QStringLiteral("tavrin/registry.ini cannot be read: Permission denied");
    }
    void badSettingsFileIsReportedAndKeptByteForByte() {
        QFETCH(Damage, damage);
        QFETCH(int, error);
        QFETCH(QString, opening);
        QFETCH(QString, detail);
        const QString folder = QFileInfo(m_home->settingsFile()).path();
        QString damaged = m_home->settingsFile();  // what the damage is in
        switch (damage) {
            case Damage::CorruptLine:
                seedFile("[Software\\tavrin\\Options]\n\"Mode\"=\"3\"\nnot a value\n");
                break;
            case Damage::FolderForFile:
                QVERIFY(QDir().mkpath(damaged));
                break;
            case Damage::FileForFolder:
                damaged = folder;
                tav::test::writeFile(damaged, "not a folder\n");
                break;
            case Damage::ClosedFolder:
                if (::geteuid() == 0) {
                    QSKIP("the permissions of a folder do not hold for root");
                }
                seedFile("[Software\\tavrin\\Options]\n\"Mode\"=\"3\"\n");
                break;
        }
        const auto contents = [&] {
            return QFileInfo(damaged).isDir() ? QByteArray("folder") : fileBytes(damaged);
        };
        const QByteArray before = contents();
        const auto reopen = qScopeGuard([&] { QFile::setPermissions(folder, kOpenFolder); });
        if (damage == Damage::ClosedFolder) {
            QVERIFY(QFile::setPermissions(folder, {}));
        }
        // Creating the classes reads nothing, so nothing can fail yet.
        const clsSysRegistry registry =
            settings(QStringLiteral("tavrin"), QStringLiteral("Options"));
        tav::clsSysDialogs dialogs;

        // A write fails, and every read fails the same way: none of them
        // takes the damage for settings that are not there.
        const auto saved = raisedBy([&] { registry.SaveSetting(QStringLiteral("Mode"), 4); });
        QVERIFY(saved);
        QCOMPARE(saved->number(), error);
        QCOMPARE(saved->source(), QStringLiteral("cSysRegistry:SetRegistryValue"));
        QVERIFY2(saved->description().startsWith(opening), qPrintable(saved->description()));
        QVERIFY2(saved->description().contains(m_home->dir.filePath(detail)),
                 qPrintable(saved->description()));
        const QString label = QStringLiteral("%1 cSysRegistry:").arg(error);
        const QString mode = QStringLiteral("Mode");
        const QString software = QStringLiteral("Software");
        QCOMPARE(errorOf([&] { registry.GetSetting(mode, QStringLiteral("7")); }),
                 label + "GetRegistryValue");
        QCOMPARE(errorOf([&] { registry.DeleteSetting(mode); }), label + "DeleteRegistryValue");
        QCOMPARE(errorOf([&] { registry.EnumKeys(Root::CurrentUser, software); }),
                 label + "EnumKeys");
        QCOMPARE(errorOf([&] { registry.EnumValues(Root::CurrentUser, software); }),
                 label + "EnumValues");
        QCOMPARE(errorOf([&] { registry.HasKey(Root::CurrentUser, software); }), label + "HasKey");
        QVERIFY(QFile::setPermissions(folder, kOpenFolder));
        QCOMPARE(contents(), before);
    }
};

QTEST_MAIN(TestSysRegistry)
#include "tst_sysregistry.moc"
