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

// Types over what the file name field holds, as a user does, and presses Enter.
void typeAndConfirm(QFileDialog* dialog, const QString& name) {
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    nameField(dialog)->setFocus();
    nameField(dialog)->selectAll();
    QTest::keyClicks(nameField(dialog), name);
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
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_folder = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        // A dialog a failed test left open would block the next one.
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    }

    // The dialog shows what was asked for, over the window; the path typed
    // comes back, or after Cancel the proposed name.
    void fileDialogShowsTheRequestAndAnswers_data() {
        QTest::addColumn<Dialog>("which");
        QTest::addColumn<QString>("folder");  // "@": the test's folder
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("typed");  // empty: Cancel
        const QString name("tavrin.txt"), typed("result.txt");
        row("open", Dialog::Open, "@", name, "", typed);
        row("save", Dialog::Save, "@", name, "", typed);
        row("own title", Dialog::Save, "@", name, "Ergebnisdatei wählen", typed);
        row("save cancelled", Dialog::Save, "@", name, "", "");
        row("cancelled without a name", Dialog::Save, "@", "", "", "");
        row("name of 260 characters", Dialog::Save, "@", QString(260, 'a'), "", "");
        row("90 characters of 3 bytes each", Dialog::Save, "@", QString(90, QChar(0x20AC)), "", "");
        // A folder that is not here starts the dialog at home.
        row("drive of another system", Dialog::Open, "C:\\", name, "", "");
        row("no folder", Dialog::Save, "", name, "", "");
    }
    void fileDialogShowsTheRequestAndAnswers() {
        QFETCH(Dialog, which);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, typed);
        const bool ours = folder == "@";
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList seen;
        OnModal<QFileDialog> driver([&](QFileDialog* dialog) {
            seen << nameField(dialog)->text() << dialog->directory().absolutePath()
                 << dialog->windowTitle();
            // Answered first, so that a failed check does not leave it open.
            typed.isEmpty() ? dialog->reject() : typeAndConfirm(dialog, typed);
            QCOMPARE(dialog->acceptMode() == QFileDialog::AcceptSave, which == Dialog::Save);
            QCOMPARE(dialog->parentWidget(), &window);
        });
        const QString path =
            show(which, ours ? m_folder->path() : folder, name, "txt", title, window.winId());
        QVERIFY(driver.appeared);
        const QString caption = which == Dialog::Open ? "Open" : "Save As";
        // The proposed name as far as it fits the buffer's declared length.
        QCOMPARE(seen, QStringList({name.left(259), ours ? m_folder->path() : QDir::homePath(),
                                    title.isEmpty() ? caption : title}));
        QCOMPARE(path, typed.isEmpty() ? name : m_folder->filePath(typed));
    }

    void typeListNamesTheTypes_data() {
        QTest::addColumn<QString>("fileTypes");
        QTest::addColumn<QStringList>("shown");  // the first one preselected
        QTest::addColumn<QStringList>("patterns");
        const QString plain("plain text document (*.txt)");
        row("txt", "txt", QStringList{plain}, QStringList{"*.txt"});
        row("pattern, then extension", "*.txt;txt", QStringList{"*.txt", plain},
            QStringList{"*.txt", "*.txt"});
        row("unknown extension", "xyz", QStringList{"(*.xyz)"}, QStringList{"*.xyz"});
        row("trailing semicolon", "txt;", QStringList{plain, "(*.)"}, QStringList{"*.txt", "*."});
    }
    void typeListNamesTheTypes() {
        QFETCH(QString, fileTypes);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, patterns);
        QStringList seenTypes, seenPatterns;
        OnModal<QFileDialog> driver([&](QFileDialog* dialog) {
            auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; combo && i < combo->count(); ++i) {
                seenTypes.append(combo->itemText(i));
            }
            for (const QString& filter : dialog->nameFilters()) {
                seenPatterns.append(filter.section('(', -1).chopped(1));
            }
            seenTypes.append(dialog->selectedNameFilter());
            dialog->reject();
        });
        show(Dialog::Save, m_folder->path(), "tavrin.txt", fileTypes);
        QCOMPARE(seenTypes, shown + QStringList{shown.first()});
        QCOMPARE(seenPatterns, patterns);
    }

    void invalidRequestShowsNoDialog_data() {
        QTest::addColumn<Dialog>("which");
        QTest::addColumn<int>("recordSize");  // 0: through clsSysDialogs
        QTest::addColumn<QString>("error");
        row("open, name over 260 characters", Dialog::Open, 0, "5 cSysDialogs:GetOpenFileName");
        row("save, name over 260 characters", Dialog::Save, 0, "5 cSysDialogs:GetOpenFileName");
        row("record of an unknown size", Dialog::Save, int(sizeof(win::OPENFILENAMEA)) + 8,
            QString::number(win::CDERR_STRUCTSIZE));
    }
    void invalidRequestShowsNoDialog() {
        QFETCH(Dialog, which);
        QFETCH(int, recordSize);
        QFETCH(QString, error);
        OnModal<QWidget> driver([](QWidget* unexpected) { unexpected->close(); }, 300);
        QString raised;
        if (recordSize == 0) {
            raised = errorOf([&] { show(which, m_folder->path(), QString(261, 'a')); });
        } else {
            QByteArray file(260, '\0');
            win::OPENFILENAMEA request{};
            request.lStructSize = win::DWORD(recordSize);
            request.lpstrFile = file.data();
            request.nMaxFile = 260;
            raised =
                QString::number(win::GetSaveFileNameA(&request) ? 0 : win::CommDlgExtendedError());
        }
        QVERIFY(driver.waitUntilOver());
        QVERIFY(!driver.appeared);
        QCOMPARE(raised, error);
    }

    // The result file is appended to, so an existing one is taken without an
    // overwrite question. The result holds 258 bytes and a NUL: a longer path
    // is refused with a message that shows it as typed, and the dialog stays,
    // but a folder's name still opens the folder.
    void typedPathIsCheckedOnlyForItsLength_data() {
        QTest::addColumn<int>("pathBytes");  // 0: the existing file
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<bool>("stays");
        row("existing file", 0, false, false, false);
        row("258 bytes", 258, false, false, false);
        row("259 bytes", 259, false, true, true);
        row("folder of 259 bytes", 259, true, false, true);
    }
    void typedPathIsCheckedOnlyForItsLength() {
        QFETCH(int, pathBytes);
        QFETCH(bool, folder);
        QFETCH(bool, refused);
        QFETCH(bool, stays);
        const QString existing = m_folder->filePath("old.txt");
        writeFile(existing, "earlier results\n");
        const QString name = pathBytes
                                 ? "<b>" + QString(pathBytes - m_folder->path().size() - 4, 'b')
                                 : QString("old.txt");
        QVERIFY(!folder || QDir().mkpath(m_folder->filePath(name)));
        bool stillOpen = false, literal = false;
        OnModal<QMessageBox> message(
            [&](QMessageBox* box) {
                literal = box->textFormat() == Qt::PlainText || !Qt::mightBeRichText(box->text());
                box->close();
            },
            refused ? 5000 : 1000);
        OnModal<QFileDialog> driver([&](QFileDialog* dialog) {
            nameField(dialog)->setText(name);
            QTest::keyClick(nameField(dialog), Qt::Key_Return);
            QTimer::singleShot(1500, dialog, [&stillOpen, dialog] {
                stillOpen = dialog->isVisible();
                dialog->reject();
            });
        });
        const QString path = show(Dialog::Save, m_folder->path(), "tavrin.txt");
        QVERIFY(message.waitUntilOver());
        QCOMPARE(message.appeared, refused);
        QCOMPARE(literal, refused);
        QCOMPARE(stillOpen, stays);
        QCOMPARE(path, stays ? "tavrin.txt" : m_folder->filePath(name));
        QCOMPARE(fileBytes(existing), "earlier results\n");
    }

    void folderDialogShowsTheInstructionAndReturnsTheFolder_data() {
        QTest::addColumn<bool>("accept");
        row("chosen", true);
        row("cancelled: empty text", false);
    }
    void folderDialogShowsTheInstructionAndReturnsTheFolder() {
        QFETCH(bool, accept);
        const QString chosen = m_folder->filePath("Ergebnisse");
        QVERIFY(QDir().mkpath(chosen));
        QString shown;
        OnModal<QDialog> driver([&](QDialog* dialog) {
            shown = dialog->windowTitle();
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->isVisible() && label->text().startsWith("Bitte")) {
                    shown += '|' + label->text();
                }
            }
            auto* browser = dialog->findChild<QFileDialog*>();
            QVERIFY(browser);
            accept ? typeAndConfirm(browser, chosen) : dialog->reject();
        });
        const QString path = clsSysDialogs().GetPath();
        QCOMPARE(shown, "Browse For Folder|Bitte wählen Sie ein Verzeichnis aus");
        QCOMPARE(path, accept ? chosen : QString());
    }
};

QTEST_MAIN(TestSysDialogs)
#include "tst_sysdialogs.moc"
