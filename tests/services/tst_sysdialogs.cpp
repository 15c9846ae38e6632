// clsSysDialogs with the real Qt dialogs, driven offscreen the way a user
// would: type a name and press Enter, or cancel.

#include <memory>

#include "clssysdialogs.h"
#include "platform/win32api.h"
#include "testsupport.h"

using namespace tav;
using namespace tav::test;

namespace {

enum class Dialog { Open, Save };

QString show(Dialog which, const QString& folder, const QString& name, const QString& types = "txt",
             const QString& title = {}, WId owner = 0) {
    clsSysDialogs dialogs;
    return which == Dialog::Open ? dialogs.GetOpenFileName(folder, name, types, title, owner)
                                 : dialogs.GetSaveFileName(folder, name, types, title, owner);
}

QLineEdit* nameField(QFileDialog* dialog) {
    return dialog->findChild<QLineEdit*>("fileNameEdit");
}

// Puts `name` in place of what the file name field holds and presses Enter.
void typeAndConfirm(QFileDialog* dialog, const QString& name) {
    nameField(dialog)->setText(name);
    QTest::keyClick(nameField(dialog), Qt::Key_Return);
}

}  // namespace

Q_DECLARE_METATYPE(Dialog)

class TestSysDialogs : public QObject {
    Q_OBJECT

    ConfigHome m_home;  // where the file dialog keeps its history
    std::unique_ptr<QTemporaryDir> m_folder;

private slots:
    void init() {
        QLocale::setDefault(kEnglish);
        m_folder = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        // A dialog a failed test left open would block the next one.
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    }

    // The dialog shows what was asked for, over the window: name, folder, title and the types
    // offered, the first preselected.
    void fileDialogShowsTheRequest_data() {
        QTest::addColumn<Dialog>("dialog");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("types");
        QTest::addColumn<QString>("shownName");  // as far as it fits the buffer's declared length
        QTest::addColumn<QString>("shownTitle");
        QTest::addColumn<QStringList>("shownTypes");
        QTest::addColumn<QStringList>("patterns");
        const QString name("tavrin.txt"), plain("plain text document (*.txt)");
        QTest::newRow("open") << Dialog::Open << name << ""
                              << "txt" << name << "Open" << QStringList{plain}
                              << QStringList{"*.txt"};
        QTest::newRow("save with its own title") << Dialog::Save << name << "Ergebnisdatei wählen"
                                                 << "txt" << name << "Ergebnisdatei wählen"
                                                 << QStringList{plain} << QStringList{"*.txt"};
        QTest::newRow("no name") << Dialog::Save << ""
                                 << ""
                                 << "txt"
                                 << ""
                                 << "Save As" << QStringList{plain} << QStringList{"*.txt"};
        QTest::newRow("name of 260 characters") << Dialog::Save << QString(260, 'a') << ""
                                                << "txt" << QString(259, 'a') << "Save As"
                                                << QStringList{plain} << QStringList{"*.txt"};
        QTest::newRow("90 characters of 3 bytes each")
            << Dialog::Save << QString(90, QChar(0x20AC)) << ""
            << "txt" << QString(90, QChar(0x20AC)) << "Save As" << QStringList{plain}
            << QStringList{"*.txt"};
        QTest::newRow("pattern, then extension")
            << Dialog::Save << name << ""
            << "*.txt;txt" << name << "Save As" << QStringList{"*.txt", plain}
            << QStringList{"*.txt", "*.txt"};
        QTest::newRow("unknown extension")
            << Dialog::Save << name << ""
            << "xyz" << name << "Save As" << QStringList{"(*.xyz)"} << QStringList{"*.xyz"};
        QTest::newRow("trailing semicolon")
            << Dialog::Save << name << ""
            << "txt;" << name << "Save As" << QStringList{plain, "(*.)"}
            << QStringList{"*.txt", "*."};
    }
    void fileDialogShowsTheRequest() {
        QFETCH(Dialog, dialog);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, types);
        QFETCH(QString, shownName);
        QFETCH(QString, shownTitle);
        QFETCH(QStringList, shownTypes);
        QFETCH(QStringList, patterns);
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QString seenName, seenFolder, seenTitle, selected;
        QStringList seenTypes, seenPatterns;
        bool saves = false;
        QWidget* parent = nullptr;
        OnModal<QFileDialog> driver([&](QFileDialog* shown) {
            auto* combo = shown->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; combo && i < combo->count(); ++i) {
                seenTypes << combo->itemText(i);
            }
            seenPatterns =
                shown->nameFilters().replaceInStrings(QRegularExpression(R"(.*\((.*)\))"), "\\1");
            seenName = nameField(shown)->text();
            seenFolder = shown->directory().absolutePath();
            seenTitle = shown->windowTitle();
            selected = shown->selectedNameFilter();
            saves = shown->acceptMode() == QFileDialog::AcceptSave;
            parent = shown->parentWidget();
            shown->reject();
        });
        show(dialog, m_folder->path(), name, types, title, window.winId());
        QVERIFY(driver.appeared);
        QCOMPARE(seenName, shownName);
        QCOMPARE(seenFolder, m_folder->path());
        QCOMPARE(seenTitle, shownTitle);
        QCOMPARE(seenTypes, shownTypes);
        QCOMPARE(seenPatterns, patterns);
        QCOMPARE(selected, shownTypes.first());
        QCOMPARE(saves, dialog == Dialog::Save);
        QCOMPARE(parent, &window);
    }

    // The path typed comes back; after Cancel the proposed name, as if it had been chosen.
    void fileDialogGivesTheAnswer_data() {
        QTest::addColumn<Dialog>("dialog");
        QTest::addColumn<QString>("typed");   // empty: Cancel
        QTest::addColumn<QString>("chosen");  // in the test's folder unless cancelled
        QTest::newRow("open, a name typed") << Dialog::Open << "result.txt"
                                            << "result.txt";
        QTest::newRow("save, a name typed") << Dialog::Save << "result.txt"
                                            << "result.txt";
        QTest::newRow("save, cancelled") << Dialog::Save << ""
                                         << "tavrin.txt";
    }
    void fileDialogGivesTheAnswer() {
        QFETCH(Dialog, dialog);
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        OnModal<QFileDialog> driver([&](QFileDialog* shown) {
            typed.isEmpty() ? shown->reject() : typeAndConfirm(shown, typed);
        });
        const QString path = show(dialog, m_folder->path(), "tavrin.txt");
        QVERIFY(driver.appeared);
        QCOMPARE(path, typed.isEmpty() ? chosen : m_folder->filePath(chosen));
    }

    // A folder of another system, such as a drive letter, starts the dialog at home.
    void aFolderNotHereStartsAtHome() {
        QString folder;
        OnModal<QFileDialog> driver([&](QFileDialog* shown) {
            folder = shown->directory().absolutePath();
            shown->reject();
        });
        show(Dialog::Open, "C:\\", "tavrin.txt");
        QCOMPARE(folder, QDir::homePath());
    }

    // A name over 260 characters is refused by either dialog, with the same source, and so
    // is a request record of a size the dialog does not know; neither shows a dialog.
    void invalidRequestShowsNoDialog() {
        OnModal<QWidget> driver([](QWidget* unexpected) { unexpected->close(); }, 1000);
        for (const Dialog which : {Dialog::Open, Dialog::Save}) {
            QCOMPARE(errorOf([&] { show(which, m_folder->path(), QString(261, 'a')); }),
                     "5 cSysDialogs:GetOpenFileName");
        }
        QByteArray file(260, '\0');
        win::OPENFILENAMEA request{};
        request.lStructSize = sizeof request + 8;
        request.lpstrFile = file.data();
        request.nMaxFile = 260;
        QVERIFY(!win::GetSaveFileNameA(&request));
        QCOMPARE(win::CommDlgExtendedError(), win::DWORD(win::CDERR_STRUCTSIZE));
        QVERIFY(driver.waitUntilOver());
        QVERIFY(!driver.appeared);
    }

    // An existing file is taken without an overwrite question: results are appended.
    void anExistingFileIsTakenAsItIs() {
        const QString existing = m_folder->filePath("old.txt");
        writeFile(existing, "earlier results\n");
        OnModal<QMessageBox> question([](QMessageBox* box) { box->close(); }, 1000);
        OnModal<QFileDialog> driver([](QFileDialog* shown) { typeAndConfirm(shown, "old.txt"); });
        QCOMPARE(show(Dialog::Save, m_folder->path(), "tavrin.txt"), existing);
        QVERIFY(question.waitUntilOver());
        QVERIFY(!question.appeared);
        QCOMPARE(fileBytes(existing), "earlier results\n");
    }

    // The answer holds 258 bytes and a NUL: a longer path is refused with a message that shows
    // it as typed, and the dialog stays; a folder's name still opens the folder.
    void typedPathIsCheckedForItsLength_data() {
        QTest::addColumn<int>("pathBytes");
        QTest::addColumn<bool>("isFolder");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("dialogStays");
        QTest::newRow("258 bytes") << 258 << false << false << false;
        QTest::newRow("259 bytes") << 259 << false << true << true;
        QTest::newRow("folder of 259 bytes") << 259 << true << false << true;
    }
    void typedPathIsCheckedForItsLength() {
        QFETCH(int, pathBytes);
        QFETCH(bool, isFolder);
        QFETCH(bool, refused);
        QFETCH(bool, dialogStays);
        const QString name = "<b>" + QString(pathBytes - m_folder->path().size() - 4, 'b');
        QVERIFY(!isFolder || QDir().mkpath(m_folder->filePath(name)));
        bool stillOpen = false, literal = false;
        OnModal<QMessageBox> message(
            [&](QMessageBox* box) {
                literal = box->textFormat() == Qt::PlainText || !Qt::mightBeRichText(box->text());
                box->close();
            },
            refused ? 5000 : 1000);
        OnModal<QFileDialog> driver([&](QFileDialog* shown) {
            typeAndConfirm(shown, name);
            QTimer::singleShot(1500, shown, [&stillOpen, shown] {
                stillOpen = shown->isVisible();
                shown->reject();
            });
        });
        const QString path = show(Dialog::Save, m_folder->path(), "tavrin.txt");
        QVERIFY(message.waitUntilOver());
        QCOMPARE(message.appeared, refused);
        QCOMPARE(literal, refused);
        QCOMPARE(stillOpen, dialogStays);
        QCOMPARE(path, dialogStays ? "tavrin.txt" : m_folder->filePath(name));
    }

    void folderDialogShowsTheInstructionAndReturnsTheFolder_data() {
        QTest::addColumn<bool>("choose");
        QTest::newRow("chosen") << true;
        QTest::newRow("cancelled: empty text") << false;
    }
    void folderDialogShowsTheInstructionAndReturnsTheFolder() {
        QFETCH(bool, choose);
        const QString chosen = m_folder->filePath("Ergebnisse");
        QVERIFY(QDir().mkpath(chosen));
        QString shown;
        OnModal<QDialog> driver([&](QDialog* dialog) {
            const auto* instruction = dialog->findChild<QLabel*>({}, Qt::FindDirectChildrenOnly);
            const bool shows = instruction && instruction->isVisible();
            shown = dialog->windowTitle() + '|' + (shows ? instruction->text() : QString());
            auto* browser = dialog->findChild<QFileDialog*>();
            (choose && browser) ? typeAndConfirm(browser, chosen) : dialog->reject();
        });
        const QString path = clsSysDialogs().GetPath();
        QCOMPARE(shown, "Browse For Folder|Bitte wählen Sie ein Verzeichnis aus");
        QCOMPARE(path, choose ? chosen : QString());
    }
};

QTEST_MAIN(TestSysDialogs)
#include "tst_sysdialogs.moc"
