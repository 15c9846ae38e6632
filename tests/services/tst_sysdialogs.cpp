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

    // The dialog shows what was asked for, over the window: name, folder, title and the
    // types offered ("names|patterns", the first preselected). The path typed comes back,
    // or after Cancel the proposed name. A folder not here starts it at home.
    void fileDialogShowsTheRequestAndAnswers_data() {
        // folder "@": the test's folder; typed empty: Cancel; offered empty: the text type
        columns<Dialog, QString, QString, QString, QString, QString, QString>();
        const QString name("tavrin.txt"), typed("result.txt"), plain("plain text document (*.txt)");
        row("open", Dialog::Open, "@", name, "", typed, "txt", "");
        row("own title", Dialog::Save, "@", name, "Ergebnisdatei wählen", typed, "txt", "");
        row("cancelled without a name", Dialog::Save, "@", "", "", "", "txt", "");
        row("name of 260 characters", Dialog::Save, "@", QString(260, 'a'), "", "", "txt", "");
        row("90 characters of 3 bytes each", Dialog::Save, "@", QString(90, QChar(0x20AC)), "", "",
            "txt", "");
        row("drive of another system", Dialog::Open, "C:\\", name, "", "", "txt", "");
        row("pattern, then extension", Dialog::Save, "@", name, "", "", "*.txt;txt",
            "*.txt;" + plain + "|*.txt;*.txt");
        row("unknown extension", Dialog::Save, "@", name, "", "", "xyz", "(*.xyz)|*.xyz");
        row("trailing semicolon", Dialog::Save, "@", name, "", "", "txt;",
            plain + ";(*.)|*.txt;*.");
    }
    void fileDialogShowsTheRequestAndAnswers() {
        const auto [which, folder, name, title, typed, types, listed] =
            fetch<Dialog, QString, QString, QString, QString, QString, QString>();
        const QString offered = listed.isEmpty() ? "plain text document (*.txt)|*.txt" : listed;
        const bool ours = folder == "@";
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList seen, shown;
        OnModal<QFileDialog> driver([&](QFileDialog* dialog) {
            auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; combo && i < combo->count(); ++i) {
                shown << combo->itemText(i);
            }
            const QStringList patterns =
                dialog->nameFilters().replaceInStrings(QRegularExpression(R"(.*\((.*)\))"), "\\1");
            seen << nameField(dialog)->text() << dialog->directory().absolutePath()
                 << dialog->windowTitle() << shown.join(';') + '|' + patterns.join(';')
                 << dialog->selectedNameFilter();
            // Answered first, so that a failed check does not leave it open.
            typed.isEmpty() ? dialog->reject() : typeAndConfirm(dialog, typed);
            QCOMPARE(dialog->acceptMode() == QFileDialog::AcceptSave, which == Dialog::Save);
            QCOMPARE(dialog->parentWidget(), &window);
        });
        const QString path =
            show(which, ours ? m_folder->path() : folder, name, types, title, window.winId());
        QVERIFY(driver.appeared);
        const QString caption = which == Dialog::Open ? "Open" : "Save As";
        // The proposed name as far as it fits the buffer's declared length.
        QCOMPARE(seen, QStringList({name.left(259), ours ? m_folder->path() : QDir::homePath(),
                                    title.isEmpty() ? caption : title, offered,
                                    offered.section('|', 0, 0).section(';', 0, 0)}));
        QCOMPARE(path, typed.isEmpty() ? name : m_folder->filePath(typed));
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

    // An existing file is taken without an overwrite question (results are appended).
    // The result holds 258 bytes and a NUL: a longer path is refused with a message
    // that shows it as typed, and the dialog stays, but a folder's name still opens it.
    void typedPathIsCheckedOnlyForItsLength_data() {
        // path bytes (0: the existing file), folder, refused, stays
        columns<int, bool, bool, bool>();
        row("existing file", 0, false, false, false);
        row("258 bytes", 258, false, false, false);
        row("259 bytes", 259, false, true, true);
        row("folder of 259 bytes", 259, true, false, true);
    }
    void typedPathIsCheckedOnlyForItsLength() {
        const auto [pathBytes, folder, refused, stays] = fetch<int, bool, bool, bool>();
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
            typeAndConfirm(dialog, name);
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
        columns<bool>();
        row("chosen", true);
        row("cancelled: empty text", false);
    }
    void folderDialogShowsTheInstructionAndReturnsTheFolder() {
        const auto [choose] = fetch<bool>();
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
