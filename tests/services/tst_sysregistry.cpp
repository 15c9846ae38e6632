// clsSysRegistry over the settings file and the desktop's file types: every
// operation, the error numbers and labels, the settings, and two processes
// writing settings at once.

#include <QProcess>
#include <QtTest>
#include <memory>

#include "clssysdialogs.h"
#include "clssysregistry.h"
#include "testsupport.h"

using tav::clsSysRegistry;
using tav::Variant;
using tav::test::fileBytes;
using tav::test::raisedBy;
using tav::test::ScopedConfigHome;
namespace Root = tav::RegistryRoot;
namespace Type = tav::RegistryType;

namespace {

const QString kKey = QStringLiteral("Software\\tavrin\\Test");

QString everyByte() {
    QString text;
    for (int byte = 0; byte < 256; ++byte) {
        text.append(QChar(byte));
    }
    return text;
}

}  // namespace

class TestSysRegistry : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScopedConfigHome> m_home;
    QTemporaryDir m_themes;

    // Puts `line` as the only value of kKey into a settings file of our own.
    void seedValue(const QByteArray& line) {
        QVERIFY(QDir().mkpath(m_home->path() + QStringLiteral("/tavrin")));
        tav::test::writeFile(m_home->settingsFile(), "[Software\\tavrin\\Test]\n" + line + '\n');
    }

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        tav::test::installTestIconTheme(m_themes.path());
    }
    void init() { m_home = std::make_unique<ScopedConfigHome>(); }
    void cleanup() { m_home.reset(); }

    void valuesReadBackAsWritten_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<Variant>("written");
        QTest::addColumn<Variant>("read");
        QTest::newRow("text") << Type::String << Variant("Zinsen") << Variant("Zinsen");
        QTest::newRow("empty text") << Type::String << Variant("") << Variant("");
        QTest::newRow("umlauts take two bytes")
            << Type::String << Variant("Grüße, Käthe") << Variant("Grüße, Käthe");
        QTest::newRow("number as text") << Type::String << Variant(42) << Variant("42");
        QTest::newRow("empty as text") << Type::String << Variant() << Variant("");
        QTest::newRow("expanded") << Type::ExpandString << Variant("%TAVRIN_DIR%/x")
                                  << Variant("/srv/tavrin/x");
        QTest::newRow("unknown name stays")
            << Type::ExpandString << Variant("%TAVRIN_NONE%") << Variant("%TAVRIN_NONE%");
        QTest::newRow("every byte") << Type::Binary << Variant(everyByte()) << Variant(everyByte());
        QTest::newRow("no bytes") << Type::Binary << Variant("") << Variant("");
        QTest::newRow("negative number") << Type::DWord << Variant(-7) << Variant(-7);
        QTest::newRow("number from text") << Type::DWord << Variant(" 1234 ") << Variant(1234);
        QTest::newRow("largest number")
            << Type::DWord << Variant("2147483647") << Variant(2147483647);
        QTest::newRow("empty as number") << Type::DWord << Variant() << Variant(0);
        QTest::newRow("two texts") << Type::MultiString << Variant(QStringList{"a", "b"})
                                   << Variant(QStringList{"a", "b"});
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

        registry.SetRegistryValue(Root::CurrentUser, kKey, QStringLiteral("Value"), type, written);

        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser, kKey, QStringLiteral("Value")), read);
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
        clsSysRegistry registry;
        Variant value;

        const auto raised = raisedBy([&] {
            value = registry.GetRegistryValue(Root::CurrentUser, kKey, QStringLiteral("V"));
        });

        QCOMPARE(raised ? raised->number : 0, error);
        if (raised) {
            QCOMPARE(raised->source, QStringLiteral("cSysRegistry:GetRegistryValue"));
            const QString expected = error == 5
                                         ? QStringLiteral("Invalid procedure call or argument")
                                         : QStringLiteral("More data is available.\r");
            QCOMPARE(raised->description, expected);
        } else {
            QCOMPARE(value, read);
        }
    }

    void conversionFailuresAreRaised_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<Variant>("value");
        QTest::addColumn<int>("error");
        QTest::newRow("letters as number") << Type::DWord << Variant("abc") << 13;
        QTest::newRow("fraction as number") << Type::DWord << Variant("1.5") << 13;
        QTest::newRow("array as number") << Type::DWord << Variant(QStringList{"1"}) << 13;
        QTest::newRow("number beyond 32 bits") << Type::DWord << Variant("2147483648") << 6;
        QTest::newRow("text as array") << Type::MultiString << Variant("a") << 13;
        QTest::newRow("array as text") << Type::String << Variant(QStringList{"a"}) << 13;
        QTest::newRow("missing as text") << Type::String << Variant::missing() << 13;
        QTest::newRow("character beyond a byte") << Type::Binary << Variant("€") << 5;
    }
    void conversionFailuresAreRaised() {
        QFETCH(int, type);
        QFETCH(Variant, value);
        QFETCH(int, error);
        clsSysRegistry registry;

        const auto raised = raisedBy([&] {
            registry.SetRegistryValue(Root::CurrentUser, kKey, QStringLiteral("V"), type, value);
        });

        QVERIFY(raised);
        QCOMPARE(raised->number, error);
        QCOMPARE(raised->source, QStringLiteral("cSysRegistry:SetRegistryValue"));
        QVERIFY(registry.GetRegistryValue(Root::CurrentUser, kKey, QStringLiteral("V")).isEmpty());
    }

    void hasKeyTellsWhatExists_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Variant>("value");
        QTest::addColumn<bool>("exists");
        QTest::newRow("key") << kKey << Variant::missing() << true;
        QTest::newRow("key in other case")
            << QStringLiteral("SOFTWARE\\Tavrin\\test") << Variant::missing() << true;
        QTest::newRow("parent key")
            << QStringLiteral("Software\\tavrin") << Variant::missing() << true;
        QTest::newRow("missing key")
            << QStringLiteral("Software\\other") << Variant::missing() << false;
        QTest::newRow("value") << kKey << Variant("Mode") << true;
        QTest::newRow("missing value") << kKey << Variant("Other") << false;
        QTest::newRow("empty names the default value") << kKey << Variant() << false;
        QTest::newRow("invalid path")
            << QStringLiteral("Software\\\\") << Variant::missing() << false;
    }
    void hasKeyTellsWhatExists() {
        QFETCH(QString, key);
        QFETCH(Variant, value);
        QFETCH(bool, exists);
        seedValue("\"Mode\"=\"1\"");
        QCOMPARE(clsSysRegistry().HasKey(Root::CurrentUser, key, value), exists);
    }

    void hasKeyLabelsEveryError() {
        seedValue("\"Mode\"=\"1\"");
        const auto raised =
            raisedBy([] { clsSysRegistry().HasKey(Root::CurrentUser, kKey, QStringList{"a"}); });
        QVERIFY(raised);
        QCOMPARE(raised->number, 13);
        QCOMPARE(raised->source, QStringLiteral("cSysRegistry:HasKey"));
    }

    void deleteRemovesAndToleratesWhatIsMissing() {
        seedValue("\"Mode\"=\"1\"\n\"Keep\"=\"2\"");
        const clsSysRegistry registry;
        registry.DeleteRegistryValue(Root::CurrentUser, kKey, QStringLiteral("mode"));
        QVERIFY(!registry.HasKey(Root::CurrentUser, kKey, QStringLiteral("Mode")));
        QVERIFY(registry.HasKey(Root::CurrentUser, kKey, QStringLiteral("Keep")));

        QVERIFY(!raisedBy([&] {
            registry.DeleteRegistryValue(Root::CurrentUser, kKey, QStringLiteral("Mode"));
        }));
        QVERIFY(!raisedBy([&] {
            registry.DeleteRegistryValue(Root::CurrentUser, QStringLiteral("Software\\none"),
                                         QStringLiteral("x"));
        }));
    }

    void deleteThatCannotHappenIsReported() {
        // Given a value the user may not change, when it is deleted,
        // then the refusal is raised instead of passing for success.
        const auto raised = raisedBy([] {
            clsSysRegistry().DeleteRegistryValue(Root::ClassesRoot, QStringLiteral(".txt"),
                                                 QStringLiteral("Content Type"));
        });
        QVERIFY(raised);
        QCOMPARE(raised->number, 5);
        QCOMPARE(raised->source, QStringLiteral("cSysRegistry:DeleteRegistryValue"));
        QCOMPARE(raised->description, QStringLiteral("Access is denied.\r"));
    }

    void listsKeysAndValuesInOrder() {
        QVERIFY(QDir().mkpath(m_home->path() + QStringLiteral("/tavrin")));
        tav::test::writeFile(m_home->settingsFile(),
                                "[Software\\tavrin\\Test\\beta]\n[Software\\tavrin\\Test\\Alpha]\n"
                                "[Software\\tavrin\\Test]\n\"zz\"=\"1\"\n\"a\"=dword:00000001\n"
                                "@=hex:01\n\"List\"=multi_sz:\"x\"\n");
        const clsSysRegistry registry;

        QCOMPARE(registry.EnumKeys(Root::CurrentUser, kKey), Variant(QStringList{"Alpha", "beta"}));
        const Variant::TextTable rows{{"zz", "1"}, {"a", "4"}, {"", "3"}, {"List", "7"}};
        QCOMPARE(registry.EnumValues(Root::CurrentUser, kKey), Variant(rows));
    }

    void emptyListingsAreEmptyNotEmptyArrays_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("key without subkeys or values") << kKey + QStringLiteral("\\Alpha");
        QTest::newRow("missing key") << QStringLiteral("Software\\none");
    }
    void emptyListingsAreEmptyNotEmptyArrays() {
        QFETCH(QString, key);
        QVERIFY(QDir().mkpath(m_home->path() + QStringLiteral("/tavrin")));
        tav::test::writeFile(m_home->settingsFile(), "[Software\\tavrin\\Test\\Alpha]\n");
        const clsSysRegistry registry;

        QCOMPARE(registry.EnumKeys(Root::CurrentUser, key).kind(), Variant::Kind::Empty);
        QCOMPARE(registry.EnumValues(Root::CurrentUser, key).kind(), Variant::Kind::Empty);
    }

    void answersAboutExtensions_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<Variant>("fileType");
        QTest::newRow("txt") << "txt"
                             << "text/plain" << Variant("plain text document");
        QTest::newRow("upper case") << "TXT"
                                    << "text/plain" << Variant("plain text document");
        QTest::newRow("html") << "html"
                              << "text/html" << Variant("HTML document");
        QTest::newRow("unknown") << "xyz"
                                 << "application/octet-stream" << Variant();
        QTest::newRow("none") << ""
                              << "application/octet-stream" << Variant();
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
        QTest::newRow("path in upper case") << "/home/u/NOTES.TXT" << 0 << true;
        QTest::newRow("no dot: the name is the extension") << "txt" << 0 << true;
        QTest::newRow("index of the type wins") << "notes.txt" << 3 << true;
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
        clsSysRegistry registry;
        registry.AppName(QStringLiteral("tavrin"));
        registry.Section(QStringLiteral("Options"));
        registry.DataType(Type::String);
        QCOMPARE(registry.Section(), QStringLiteral("Options"));

        registry.SaveSetting(QStringLiteral("Mode"), QStringLiteral("3"));
        QCOMPARE(registry.GetSetting(QStringLiteral("Mode")), Variant("3"));
        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser,
                                           QStringLiteral("Software\\tavrin\\Options"),
                                           QStringLiteral("Mode")),
                 Variant("3"));

        registry.DataType(Type::DWord);
        registry.SaveSetting(QStringLiteral("Count"), 12);
        QCOMPARE(registry.GetSetting(QStringLiteral("Count")), Variant(12));

        QCOMPARE(registry.DeleteSetting(QStringLiteral("Mode")), Variant());
        QVERIFY(registry.GetSetting(QStringLiteral("Mode")).isMissing());
        QCOMPARE(registry.GetSetting(QStringLiteral("Count")), Variant(12));
    }

    void settingsKeyIsComposedOnEveryCall() {
        clsSysRegistry registry;
        registry.AppName(QStringLiteral("tavrin"));
        registry.DataType(Type::String);
        registry.Section(QStringLiteral("One"));
        registry.SaveSetting(QStringLiteral("V"), QStringLiteral("1"));
        registry.Section(QStringLiteral("Two"));
        registry.SaveSetting(QStringLiteral("V"), QStringLiteral("2"));
        QCOMPARE(registry.GetSetting(QStringLiteral("V")), Variant("2"));
        registry.AppName(QStringLiteral("other"));
        QVERIFY(registry.GetSetting(QStringLiteral("V")).isMissing());
        QCOMPARE(registry.EnumKeys(Root::CurrentUser, QStringLiteral("Software\\tavrin")),
                 Variant(QStringList{"One", "Two"}));
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
        clsSysRegistry registry;
        registry.AppName(QStringLiteral("tavrin"));
        registry.Section(QStringLiteral("Options"));
        registry.DataType(Type::String);
        if (!stored.isEmpty()) {
            registry.SaveSetting(QStringLiteral("V"), stored);
        }
        QCOMPARE(registry.GetSetting(QStringLiteral("V"), defaultValue), expected);
    }

    void settingOfTypeZeroOnlyCreatesTheKey() {
        clsSysRegistry registry;
        registry.AppName(QStringLiteral("tavrin"));
        registry.Section(QStringLiteral("Options"));

        QVERIFY(!raisedBy([&] { registry.SaveSetting(QStringLiteral("V"), QStringLiteral("x")); }));

        QVERIFY(registry.HasKey(Root::CurrentUser, QStringLiteral("Software\\tavrin\\Options")));
        QVERIFY(!registry.HasKey(Root::CurrentUser, QStringLiteral("Software\\tavrin\\Options"),
                                 QStringLiteral("V")));
    }

    void settingsWithoutApplicationNameAreRefused() {
        // Given neither AppName nor Section, the key is "Software\\" with an
        // empty name in it, which no registry key can have.
        clsSysRegistry registry;
        registry.DataType(Type::String);

        const auto saved =
            raisedBy([&] { registry.SaveSetting(QStringLiteral("V"), QStringLiteral("x")); });
        const auto read = raisedBy([&] { registry.GetSetting(QStringLiteral("V")); });

        QVERIFY(saved && read);
        QCOMPARE(saved->number, 87);
        QCOMPARE(saved->source, QStringLiteral("cSysRegistry:SetRegistryValue"));
        QCOMPARE(saved->description, QStringLiteral("The parameter is incorrect.\r"));
        QCOMPARE(read->number, 87);
        QCOMPARE(read->source, QStringLiteral("cSysRegistry:GetRegistryValue"));
        QVERIFY(!QFile::exists(m_home->settingsFile()));
    }

    void corruptSettingsFileIsReportedAndKeptByteForByte() {
        const QByteArray contents(
            "[Software\\tavrin\\Options]\n\"Mode\"=\"3\"\nthis line is not a value\n");
        QVERIFY(QDir().mkpath(m_home->path() + QStringLiteral("/tavrin")));
        tav::test::writeFile(m_home->settingsFile(), contents);

        // Creating the classes reads nothing, so nothing can fail yet.
        clsSysRegistry registry;
        tav::clsSysDialogs dialogs;
        registry.AppName(QStringLiteral("tavrin"));
        registry.Section(QStringLiteral("Options"));
        registry.DataType(Type::String);

        const auto saved =
            raisedBy([&] { registry.SaveSetting(QStringLiteral("Mode"), QStringLiteral("4")); });
        QVERIFY(saved);
        QCOMPARE(saved->number, 1009);
        QCOMPARE(saved->source, QStringLiteral("cSysRegistry:SetRegistryValue"));
        QVERIFY2(saved->description.startsWith(
                     QStringLiteral("The configuration registry database is corrupt.")),
                 qPrintable(saved->description));
        QVERIFY2(saved->description.contains(m_home->settingsFile() + QStringLiteral(", line 3")),
                 qPrintable(saved->description));

        const std::pair<const char*, std::function<void()>> others[] = {
            {"cSysRegistry:GetRegistryValue", [&] { registry.GetSetting(QStringLiteral("Mode")); }},
            {"cSysRegistry:DeleteRegistryValue",
             [&] { registry.DeleteSetting(QStringLiteral("Mode")); }},
            {"cSysRegistry:EnumKeys",
             [&] { registry.EnumKeys(Root::CurrentUser, QStringLiteral("Software")); }},
            {"cSysRegistry:EnumValues",
             [&] { registry.EnumValues(Root::CurrentUser, QStringLiteral("Software")); }},
        };
        for (const auto& [source, action] : others) {
            const auto raised = raisedBy(action);
            QVERIFY2(raised && raised->number == 1009 && raised->source == QLatin1String(source),
                     source);
        }
        QVERIFY(!registry.HasKey(Root::CurrentUser, QStringLiteral("Software")));
        QCOMPARE(fileBytes(m_home->settingsFile()), contents);
    }

    void twoProcessesWritingAtOnceLoseNothing() {
        constexpr int kEach = 100;
        const QString go = m_home->path() + QStringLiteral("/go");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->path());
        QProcess first;
        QProcess second;
        for (auto [process, prefix] : {std::pair{&first, "first"}, std::pair{&second, "second"}}) {
            process->setProcessEnvironment(environment);
            process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            process->start(QStringLiteral(TAVRIN_SETTINGS_WRITER),
                           {QString::fromLatin1(prefix), QString::number(kEach), go});
            QVERIFY(process->waitForStarted());
        }
        tav::test::writeFile(go, "go");
        for (QProcess* process : {&first, &second}) {
            QVERIFY(process->waitForFinished(60000));
            QCOMPARE(process->exitStatus(), QProcess::NormalExit);
            QCOMPARE(process->exitCode(), 0);
        }

        clsSysRegistry registry;
        registry.AppName(QStringLiteral("tavrin-test"));
        registry.Section(QStringLiteral("Race"));
        for (const char* prefix : {"first", "second"}) {
            for (int i = 0; i < kEach; ++i) {
                QCOMPARE(registry.GetSetting(QStringLiteral("%1-%2").arg(prefix).arg(i)),
                         Variant(QStringLiteral("%1 value %2").arg(prefix).arg(i)));
            }
        }
        const Variant values =
            registry.EnumValues(Root::CurrentUser, QStringLiteral("Software\\tavrin-test\\Race"));
        QCOMPARE(values.toTextTable().size(), 2 * kEach);
    }
};

QTEST_MAIN(TestSysRegistry)
#include "tst_sysregistry.moc"
