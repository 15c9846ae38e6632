// clsSysDialogs with the real Qt dialogs, driven offscreen the way a user
// would: type a name and press Enter, or cancel.

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTextDocument>
#include <QtTest>
#include <memory>

#include "clssysdialogs.h"
#include "testsupport.h"

using tav::clsSysDialogs;
using tav::test::errorOf;
using tav::test::OnModal;

namespace {

enum class Dialog { Open, Save };

QString show(clsSysDialogs& dialogs, Dialog which, const QString& initialPath,
             const QString& fileName, const QString& fileTypes, const QString& title = {},
             WId owner = 0) {
    return which == Dialog::Open
               ? dialogs.GetOpenFileName(initialPath, fileName, fileTypes, title, owner)
               : dialogs.GetSaveFileName(initialPath, fileName, fileTypes, title, owner);
}

// Types into the file name field as a user does: select what it holds and
// type over it, then press Enter.
void typeAndConfirm(QFileDialog* dialog, const QString& name) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
}

QStringList typeList(QFileDialog* dialog) {
    QStringList texts;
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    for (int i = 0; combo && i < combo->count(); ++i) {
        texts.append(combo->itemText(i));
    }
    return texts;
}

}  // namespace

Q_DECLARE_METATYPE(Dialog)

class TestSysDialogs : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<tav::test::ConfigHome> m_home;
    std::unique_ptr<QTemporaryDir> m_folder;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init() {
        m_home = std::make_unique<tav::test::ConfigHome>();
        m_folder = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        // A dialog a failed test left open would block the next one.
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
        m_folder.reset();
        m_home.reset();
    }

    void chosenFileComesBack_data() {
        QTest::addColumn<Dialog>("which");
        QTest::addColumn<QFileDialog::AcceptMode>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("open") << Dialog::Open << QFileDialog::AcceptOpen << QString() << "Open";
        QTest::newRow("save") << Dialog::Save << QFileDialog::AcceptSave << QString() << "Save As";
        QTest::newRow("own title")
            << Dialog::Save << QFileDialog::AcceptSave << "Ergebnisdatei wählen"
            << "Ergebnisdatei wählen";
    }
    void chosenFileComesBack() {
        QFETCH(Dialog, which);
        QFETCH(QFileDialog::AcceptMode, mode);
        QFETCH(QString, title);
        QFETCH(QString, caption);
        // Given the dialog over a window, in a folder with a proposed name,
        // when the user types another name and presses Enter, then that
        // file's path comes back.
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        clsSysDialogs dialogs;
        OnModal<QFileDialog> driver([&](QFileDialog* dialog) {
            // First, so that a failed check does not leave the dialog open.
            typeAndConfirm(dialog, QStringLiteral("result.txt"));
            QCOMPARE(dialog->acceptMode(), mode);
            QCOMPARE(dialog->windowTitle(), caption);
            QCOMPARE(dialog->parentWidget(), &window);
        });

        const QString path = show(dialogs, which, m_folder->path(), QStringLiteral("tavrin.txt"),
                                  QStringLiteral("txt"), title, window.winId());

        QVERIFY(driver.appeared());
        QCOMPARE(path, m_folder->path() + QStringLiteral("/result.txt"));
    }

    void cancelGivesBackTheProposedName_data() {
        QTest::addColumn<Dialog>("which");
        QTest::addColumn<QString>("initialPath");  // "@": the test's folder
        QTest::addColumn<QString>("fileName");
        const QString name = QStringLiteral("tavrin.txt");
        QTest::newRow("save") << Dialog::Save << "@" << name;
        QTest::newRow("save without a name") << Dialog::Save << "@" << QString();
        QTest::newRow("name of 260 characters") << Dialog::Save << "@" << QString(260, 'a');
        QTest::newRow("90 characters of 3 bytes each")
            << Dialog::Save << "@" << QString(90, QChar(0x20AC));
        // A folder that is not here starts the dialog at home.
        QTest::newRow("drive of another system") << Dialog::Open << "C:\\" << name;
        QTest::newRow("no folder") << Dialog::Save << QString() << name;
    }
    void cancelGivesBackTheProposedName() {
        QFETCH(Dialog, which);
        QFETCH(QString, initialPath);
        QFETCH(QString, fileName);
        const bool ours = initialPath == QStringLiteral("@");
        clsSysDialogs dialogs;
        QString proposed;
        QString folder;
        OnModal<QFileDialog> driver([&](QFileDialog* dialog) {
            proposed = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            folder = dialog->directory().absolutePath();
            dialog->reject();
        });

        const QString path = show(dialogs, which, ours ? m_folder->path() : initialPath, fileName,
                                  QStringLiteral("txt"));

        QVERIFY(driver.appeared());
        QCOMPARE(proposed, fileName.left(259));  // what fits the buffer's declared length
        QCOMPARE(folder, ours ? m_folder->path() : QDir::homePath());
        QCOMPARE(path, fileName);
    }

    void typeListNamesTheTypes_data() {
        QTest::addColumn<QString>("fileTypes");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("patterns");
        QTest::newRow("txt") << "txt" << QStringList{"plain text document (*.txt)"}
                             << QStringList{"*.txt"};
        QTest::newRow("pattern, then extension")
            << "*.txt;txt" << QStringList{"*.txt", "plain text document (*.txt)"}
            << QStringList{"*.txt", "*.txt"};
        QTest::newRow("unknown extension")
            << "xyz" << QStringList{"(*.xyz)"} << QStringList{"*.xyz"};
        QTest::newRow("trailing semicolon")
            << "txt;" << QStringList{"plain text document (*.txt)", "(*.)"}
            << QStringList{"*.txt", "*."};
    }
    void typeListNamesTheTypes() {
        QFETCH(QString, fileTypes);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, patterns);
        clsSysDialogs dialogs;
        QStringList seenTypes;
        QStringList seenPatterns;
        QString selected;
        OnModal<QFileDialog> driver([&](QFileDialog* dialog) {
            seenTypes = typeList(dialog);
            for (const QString& filter : dialog->nameFilters()) {
                seenPatterns.append(filter.section(QLatin1Char('('), -1).chopped(1));
            }
            selected = dialog->selectedNameFilter();
            dialog->reject();
        });

        show(dialogs, Dialog::Save, m_folder->path(), QStringLiteral("tavrin.txt"), fileTypes);

        QCOMPARE(seenTypes, shown);
        QCOMPARE(seenPatterns, patterns);
        QCOMPARE(selected, shown.first());  // the first entry is preselected
    }

    void nameOver260CharactersIsRefusedBeforeAnyDialog_data() {
        QTest::addColumn<Dialog>("which");
        QTest::newRow("open") << Dialog::Open;
        QTest::newRow("save") << Dialog::Save;
    }
    void nameOver260CharactersIsRefusedBeforeAnyDialog() {
        QFETCH(Dialog, which);
        clsSysDialogs dialogs;
        OnModal<QWidget> driver([](QWidget* unexpected) { unexpected->close(); }, 300);

        const QString raised = errorOf([&] {
            show(dialogs, which, m_folder->path(), QString(261, 'a'), QStringLiteral("txt"));
        });
        QVERIFY(driver.waitUntilOver());

        QVERIFY(!driver.appeared());
        QCOMPARE(raised, QStringLiteral("5 cSysDialogs:GetOpenFileName"));
    }

    void pathTooLongForTheBufferIsRefusedInTheDialog() {
        // Given a folder, when the user types a name that makes the path
        // longer than the 259 characters the result can hold,
        // then a message shows the path as typed and the dialog stays open.
        clsSysDialogs dialogs;
        QPointer<QFileDialog> fileDialog;
        bool stillOpen = false;
        bool literal = false;
        OnModal<QMessageBox> message([&](QMessageBox* box) {
            literal = box->textFormat() == Qt::PlainText || !Qt::mightBeRichText(box->text());
            box->close();
            QTimer::singleShot(50, fileDialog, [&] {
                stillOpen = fileDialog->isVisible();
                fileDialog->reject();
            });
        });
        OnModal<QFileDialog> driver([&](QFileDialog* dialog) {
            fileDialog = dialog;
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            edit->setText(QStringLiteral("<b>") + QString(250, QLatin1Char('b')));
            QTest::keyClick(edit, Qt::Key_Return);
        });

        const QString path = show(dialogs, Dialog::Save, m_folder->path(),
                                  QStringLiteral("tavrin.txt"), QStringLiteral("txt"));

        QVERIFY(message.appeared());
        QVERIFY(literal);
        QVERIFY(stillOpen);
        QCOMPARE(path, QStringLiteral("tavrin.txt"));
    }

    void existingFileIsTakenWithoutAnOverwriteQuestion() {
        // The result file is appended to, so choosing an existing one is no risk.
        const QString existing = m_folder->path() + QStringLiteral("/old.txt");
        tav::test::writeFile(existing, "earlier results\n");
        clsSysDialogs dialogs;
        OnModal<QMessageBox> question([](QMessageBox* box) { box->close(); }, 1000);
        OnModal<QFileDialog> driver(
            [](QFileDialog* dialog) { typeAndConfirm(dialog, QStringLiteral("old.txt")); });

        const QString path = show(dialogs, Dialog::Save, m_folder->path(),
                                  QStringLiteral("tavrin.txt"), QStringLiteral("txt"));
        QVERIFY(question.waitUntilOver());

        QVERIFY(!question.appeared());
        QCOMPARE(path, existing);
        QCOMPARE(tav::test::fileBytes(existing), QByteArray("earlier results\n"));
    }

    void folderDialogShowsTheInstructionAndReturnsTheFolder_data() {
        QTest::addColumn<bool>("accept");
        QTest::newRow("chosen") << true;
        QTest::newRow("cancelled: empty text") << false;
    }
    void folderDialogShowsTheInstructionAndReturnsTheFolder() {
        QFETCH(bool, accept);
        const QString chosen = m_folder->path() + QStringLiteral("/Ergebnisse");
        QVERIFY(QDir().mkpath(chosen));
        clsSysDialogs dialogs;
        QString instruction;
        QString title;
        OnModal<QDialog> driver([&](QDialog* dialog) {
            title = dialog->windowTitle();
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->isVisible() && label->text().startsWith(QStringLiteral("Bitte"))) {
                    instruction = label->text();
                }
            }
            auto* browser = dialog->findChild<QFileDialog*>();
            QVERIFY(browser);
            accept ? typeAndConfirm(browser, chosen) : dialog->reject();
        });

        const QString path = dialogs.GetPath();

        QCOMPARE(instruction, QStringLiteral("Bitte wählen Sie ein Verzeichnis aus"));
        QCOMPARE(title, QStringLiteral("Browse For Folder"));
        QCOMPARE(path, accept ? chosen : QString());
    }
};

QTEST_MAIN(TestSysDialogs)
#include "tst_sysdialogs.moc"
