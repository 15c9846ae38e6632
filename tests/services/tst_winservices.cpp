// The service classes over Windows' own registry and common dialogs. Settings go to a
// key of the test's own, removed afterwards; dialogs are answered by window messages.

#include "platform/win32api.h"  // windows.h, without the names that rename methods

#include <QtTest>

#include "clssysdialogs.h"
#include "nativedialog.h"
#include "resultfile.h"
#include "testsupport.h"

using namespace tav;
using namespace tav::test;
using namespace Qt::StringLiterals;
namespace Root = RegistryRoot;
namespace Type = RegistryType;

class TestWinServices : public QObject {
    Q_OBJECT

    const QString m_app = QStringLiteral("tavrin-test-%1").arg(GetCurrentProcessId());
    const QString m_key = "Software\\" + m_app;

    // The file dialog's choice: a text file to save to, or one to open, proposing "tavrin.txt".
    static QString fileDialog(bool save) {
        clsSysDialogs dialogs;
        return save ? dialogs.GetSaveFileName("C:\\", "tavrin.txt", "txt")
                    : dialogs.GetOpenFileName("C:\\", "tavrin.txt", "txt");
    }

private slots:
    void cleanup() { RegDeleteTreeA(HKEY_CURRENT_USER, m_key.toLocal8Bit().constData()); }

    void valueKeepsItsType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<Variant>("written");
        QTest::addColumn<Variant>("read");
        const Variant text("Zinssatz für"), bytes(QStringLiteral("\x01\xff"));
        const Variant texts(QStringList{"a", "bc"});
        QTest::newRow("text") << Type::String << text << text;
        QTest::newRow("text to expand") << Type::ExpandString << Variant("%SystemRoot%\\tavrin")
                                        << Variant(qEnvironmentVariable("SystemRoot") + "\\tavrin");
        QTest::newRow("bytes") << Type::Binary << bytes << bytes;
        QTest::newRow("number") << Type::DWord << Variant(-4711) << Variant(-4711);
        QTest::newRow("texts") << Type::MultiString << texts << texts;
    }
    // Text goes to the system in the ANSI code page, where "ü" is one byte.
    void valueKeepsItsType() {
        QFETCH(int, type);
        QFETCH(Variant, written);
        QFETCH(Variant, read);
        const clsSysRegistry registry;
        const QString key = m_key + "\\Values";
        registry.SetRegistryValue(Root::CurrentUser, key, "v", type, written);
        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser, key, "v"), read);
        QVERIFY(registry.HasKey(Root::CurrentUser, key, QStringLiteral("v")));
        const Variant::TextTable rows{{"v", QString::number(type)}};
        QCOMPARE(registry.EnumValues(Root::CurrentUser, key), Variant(rows));
        if (type == Type::String && GetACP() == 1252) {
            QByteArray data(256, '\0');
            DWORD size = DWORD(data.size());
            QCOMPARE(RegGetValueA(HKEY_CURRENT_USER, key.toLocal8Bit().constData(), "v",
                                  RRF_RT_REG_SZ, nullptr, data.data(), &size),
                     LONG(ERROR_SUCCESS));
            QCOMPARE(data.left(size), QByteArray("Zinssatz f\xfcr", 13));
        }
    }

    // Settings live below the application's key; a missing key is no failure.
    void settingsLiveBelowTheApplicationsKey() {
        const clsSysRegistry rates = settings(m_app, "Rates"), registry;
        QCOMPARE(rates.GetSetting("year1", "none"), Variant("none"));
        rates.SaveSetting("year1", "3,5");
        QCOMPARE(rates.GetSetting("year1"), Variant("3,5"));
        QCOMPARE(registry.EnumKeys(Root::CurrentUser, m_key), Variant(QStringList{"Rates"}));
        rates.DeleteSetting("year1");
        QCOMPARE(rates.GetSetting("year1", "none"), Variant("none"));
        const QString missing = m_key + "\\missing";
        QVERIFY(!registry.HasKey(Root::CurrentUser, missing));
        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser, missing, "v"), Variant());
        QCOMPARE(registry.EnumKeys(Root::CurrentUser, missing), Variant());
        registry.DeleteRegistryValue(Root::CurrentUser, missing, "v");
    }

    void fileTypesComeFromTheClassesRoot() {
        const clsSysRegistry registry;
        const Variant type = registry.ExtensionToFileType("txt");
        QVERIFY(type.kind() == Variant::Kind::Text && !type.toText().isEmpty());
        QCOMPARE(registry.ExtensionToContentType("txt"), "text/plain");
        QCOMPARE(registry.ExtensionToFileType("tavrinunknown"), Variant());
        QCOMPARE(registry.ExtensionToContentType("tavrinunknown"), "application/octet-stream");
    }

    // The file dialogs show the proposed name and the text type, and give the path typed or,
    // after Cancel (nothing typed), the proposed name.
    void fileDialogIsAnswered() {
        const auto check = [](bool save, const QString& typed) {
            QTemporaryDir folder;
            const QString path = QDir::toNativeSeparators(folder.filePath(typed));
            if (!save) {
                writeFile(path, {});
            }
            NativeDialogAnswer answer(typed.isEmpty() ? QString() : path);
            const QString chosen = fileDialog(save);
            QVERIFY2(answer.waitUntilAnswered(), "no dialog came up");
            QCOMPARE(chosen, typed.isEmpty() ? "tavrin.txt" : path);
            QCOMPARE(answer.proposedName(), "tavrin.txt");
            QVERIFY2(answer.fileTypes().size() == 1 && answer.fileTypes()[0].endsWith(" (*.txt)"),
                     qPrintable(answer.fileTypes().join('|')));
        };
        check(true, u"zins.txt"_s);   // save
        check(true, QString());       // save, cancelled
        check(false, u"zins.txt"_s);  // open
    }

    // A cancelled folder dialog gives empty text.
    void folderDialogCancelledGivesNothing() {
        NativeDialogAnswer answer{QString()};
        const QString chosen = clsSysDialogs().GetPath();
        QVERIFY2(answer.waitUntilAnswered(), "no dialog came up");
        QCOMPARE(chosen, QString());
    }

    // A name chosen in the save dialog reaches the result file unchanged, whatever its
    // characters: the block goes to the file picked, and no look-alike appears beside it.
    void chosenNameReachesTheResultFile_data() {
        QTest::addColumn<QString>("name");  // below the test's folder
        QTest::newRow("Polish, letters with look-alikes") << u"Łódź.txt"_s;
        QTest::newRow("Russian") << u"отчёт.txt"_s;
        QTest::newRow("Japanese") << u"報告.txt"_s;
        QTest::newRow("beyond the basic plane") << u"x😀.txt"_s;
        QTest::newRow("in a Russian folder") << u"Отчёты/tavrin.txt"_s;
    }
    void chosenNameReachesTheResultFile() {
        QFETCH(QString, name);
        QTemporaryDir base;
        const QFileInfo file(base.filePath(name));
        QVERIFY(QDir().mkpath(file.path()));
        const QString path = QDir::toNativeSeparators(file.filePath());
        writeFile(path, "earlier line\r\n");
        NativeDialogAnswer answer(path);
        const QString chosen = fileDialog(true);
        QVERIFY2(answer.waitUntilAnswered(), "no dialog came up");
        QCOMPARE(chosen, path);
        appendToFile(chosen, "\r\nStarting capital: 1000\r\n");
        QCOMPARE(fileBytes(path), "earlier line\r\n\r\nStarting capital: 1000\r\n");
        QCOMPARE(file.dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{file.fileName()});
    }

    // The buffer takes a path of 258 characters and its NUL. A longer one makes the dialog
    // fail, which is no choice: an error says so instead of a name made of the buffer.
    void pathTooLongForTheBufferIsNoChoice() {
        // `error` is "number source description"; empty: the path is chosen.
        const auto check = [](bool save, int length, const QString& error) {
            QTemporaryDir base;
            const QString folder = QDir::toNativeSeparators(base.path()) + '\\';
            const QString path = folder + QString(length - folder.size(), u'n');
            NativeDialogAnswer answer(path);
            QString chosen;
            const QString raised = errorOf([&] { chosen = fileDialog(save); }, true);
            QVERIFY2(answer.waitUntilAnswered(), "no dialog came up");
            QCOMPARE(raised, error);
            QCOMPARE(chosen, error.isEmpty() ? path : QString());
        };
        const QString tooLong = QStringLiteral(
            "52 cSysDialogs:GetOpenFileName The path is longer than this program can take. "
            "Please choose a shorter name or another folder.");
        check(true, 258, QString());  // save, 258 characters
        check(true, 259, tooLong);
        check(false, 259, tooLong);  // open
    }
};

QTEST_MAIN(TestWinServices)
#include "tst_winservices.moc"
