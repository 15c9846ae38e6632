// Windows only: the service classes over the system's own registry and
// common dialogs. Settings go to a key of the test's own below
// HKEY_CURRENT_USER, removed afterwards; dialogs are answered through window
// messages as a user would answer them.

#include "platform/win32api.h"  // windows.h, without the names that rename methods

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "clssysdialogs.h"
#include "clssysregistry.h"
#include "nativedialog.h"
#include "testsupport.h"

using tav::clsSysDialogs;
using tav::clsSysRegistry;
using tav::Variant;
namespace Root = tav::RegistryRoot;
namespace Type = tav::RegistryType;

class TestWinServices : public QObject {
    Q_OBJECT

private:
    const QString m_app = QStringLiteral("tavrin-test-%1").arg(GetCurrentProcessId());
    QString appKey() const { return QStringLiteral("Software\\") + m_app; }

    // The bytes of a value as the system stores them.
    QByteArray storedBytes(const QString& key, const QString& name) const {
        HKEY handle = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.toLocal8Bit().constData(), 0, KEY_READ, &handle) !=
            ERROR_SUCCESS)
            return {};
        QByteArray data(256, '\0');
        DWORD size = static_cast<DWORD>(data.size());
        RegQueryValueExA(handle, name.toLocal8Bit().constData(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data.data()), &size);
        RegCloseKey(handle);
        return data.left(size);
    }

private slots:
    void cleanup() { RegDeleteTreeA(HKEY_CURRENT_USER, appKey().toLocal8Bit().constData()); }

    void valueKeepsItsType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<Variant>("written");
        QTest::addColumn<Variant>("read");
        const QString systemRoot = qEnvironmentVariable("SystemRoot");
        QTest::newRow("text") << Type::String << Variant("Zinssatz für") << Variant("Zinssatz für");
        QTest::newRow("text to expand") << Type::ExpandString << Variant("%SystemRoot%\\tavrin")
                                        << Variant(systemRoot + QStringLiteral("\\tavrin"));
        QTest::newRow("bytes") << Type::Binary << Variant(QStringLiteral("\x01\xff"))
                               << Variant(QStringLiteral("\x01\xff"));
        QTest::newRow("number") << Type::DWord << Variant(-4711) << Variant(-4711);
        QTest::newRow("texts") << Type::MultiString << Variant(QStringList{"a", "bc"})
                               << Variant(QStringList{"a", "bc"});
    }
    void valueKeepsItsType() {
        QFETCH(int, type);
        QFETCH(Variant, written);
        QFETCH(Variant, read);
        const clsSysRegistry registry;
        const QString key = appKey() + QStringLiteral("\\Values");
        registry.SetRegistryValue(Root::CurrentUser, key, QStringLiteral("v"), type, written);
        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser, key, QStringLiteral("v")), read);
        QVERIFY(registry.HasKey(Root::CurrentUser, key, QStringLiteral("v")));
        const Variant::TextTable rows{{QStringLiteral("v"), QString::number(type)}};
        QCOMPARE(registry.EnumValues(Root::CurrentUser, key), Variant(rows));
    }

    // Text goes to the system in the ANSI code page: "ü" is one byte there.
    void textIsStoredInTheAnsiCodePage() {
        if (GetACP() != 1252)
            QSKIP("the system's ANSI code page is not 1252");
        const clsSysRegistry registry;
        registry.SetRegistryValue(Root::CurrentUser, appKey(), QStringLiteral("v"), Type::String,
                                  Variant("für"));
        QCOMPARE(storedBytes(appKey(), QStringLiteral("v")), QByteArray("f\xfcr", 4));
    }

    void settingsLiveBelowTheApplicationsKey() {
        auto settings = tav::test::settings(m_app, QStringLiteral("Rates"));
        QCOMPARE(settings.GetSetting(QStringLiteral("year1"), Variant("none")), Variant("none"));
        settings.SaveSetting(QStringLiteral("year1"), Variant("3,5"));
        QCOMPARE(settings.GetSetting(QStringLiteral("year1")), Variant("3,5"));
        QCOMPARE(clsSysRegistry().EnumKeys(Root::CurrentUser, appKey()),
                 Variant(QStringList{QStringLiteral("Rates")}));
        settings.DeleteSetting(QStringLiteral("year1"));
        QCOMPARE(settings.GetSetting(QStringLiteral("year1"), Variant("none")), Variant("none"));
    }

    void missingKeyIsNoFailure() {
        const clsSysRegistry registry;
        const QString key = appKey() + QStringLiteral("\\missing");
        QVERIFY(!registry.HasKey(Root::CurrentUser, key));
        QCOMPARE(registry.GetRegistryValue(Root::CurrentUser, key, QStringLiteral("v")), Variant());
        QCOMPARE(registry.EnumKeys(Root::CurrentUser, key), Variant());
        registry.DeleteRegistryValue(Root::CurrentUser, key, QStringLiteral("v"));
    }

    void fileTypesComeFromTheClassesRoot_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("named");
        QTest::addColumn<QString>("contentType");
        QTest::newRow("txt") << "txt" << true << "text/plain";
        QTest::newRow("unknown") << "tavrinunknown" << false << "application/octet-stream";
    }
    void fileTypesComeFromTheClassesRoot() {
        QFETCH(QString, extension);
        QFETCH(bool, named);
        QFETCH(QString, contentType);
        const clsSysRegistry registry;
        const Variant type = registry.ExtensionToFileType(extension);
        QCOMPARE(type.kind() == Variant::Kind::Text && !type.toText().isEmpty(), named);
        QCOMPARE(registry.ExtensionToContentType(extension), contentType);
    }

    void fileDialogAnswered_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("typed");  // empty: Cancel
        QTest::newRow("save, a name typed") << true << "zins.txt";
        QTest::newRow("save, cancelled") << true << "";
        QTest::newRow("open, a name typed") << false << "zins.txt";
    }
    void fileDialogAnswered() {
        QFETCH(bool, save);
        QFETCH(QString, typed);
        QTemporaryDir folder;
        const QString path = QDir::toNativeSeparators(folder.filePath(typed));
        if (!save && !typed.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        clsSysDialogs dialogs;
        NativeDialogAnswer answer(typed.isEmpty() ? QString() : path);
        const QString chosen =
            save ? dialogs.GetSaveFileName(QStringLiteral("C:\\"), QStringLiteral("tavrin.txt"),
                                           QStringLiteral("txt"))
                 : dialogs.GetOpenFileName(QStringLiteral("C:\\"), QStringLiteral("tavrin.txt"),
                                           QStringLiteral("txt"));
        QVERIFY2(answer.waitUntilAnswered(), "no dialog came up");
        QCOMPARE(chosen, typed.isEmpty() ? QStringLiteral("tavrin.txt") : path);
        QCOMPARE(answer.proposedName(), QStringLiteral("tavrin.txt"));
        QVERIFY2(answer.fileTypes().size() == 1 &&
                     answer.fileTypes().first().endsWith(QStringLiteral(" (*.txt)")),
                 qPrintable(answer.fileTypes().join(u'|')));
    }

    void folderDialogCancelled() {
        clsSysDialogs dialogs;
        NativeDialogAnswer answer({});
        QCOMPARE(dialogs.GetPath(), QString());
        QVERIFY2(answer.waitUntilAnswered(), "no dialog came up");
    }
};

QTEST_MAIN(TestWinServices)
#include "tst_winservices.moc"
