// clsSysDialogs with the real Qt dialogs, driven offscreen the way a user
// would: type a name and press Enter, or cancel.

#include <memory>

#include "clssysdialogs.h"
#include "platform/win32api.h"
#include "testsupport.h"

using namespace tav;
using namespace tav::test;
using namespace Qt::StringLiterals;

namespace {

enum class Dialog { Open, Save };

QString show(Dialog which, const QString& folder, const QString& name, const QString& types = "txt",
             const QString& title = {}, WId owner = 0) {
    clsSysDialogs dialogs;
    return which == Dialog::Open ? dialogs.GetOpenFileName(folder, name, types, title, owner)
                                 : dialogs.GetSaveFileName(folder, name, types, title, owner);
}

// Puts `name` in place of what the file name field holds and presses Enter.
void typeAndConfirm(QFileDialog* dialog, const QString& name) {
    auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
    field->setText(name);
    QTest::keyClick(field, Qt::Key_Return);
}

}  // namespace

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

    // The dialog shows what was asked for, over the window: the name as far as it fits the
    // buffer's declared length, folder, title and the types offered, the first preselected.
    // Cancelled, it gives back the proposed name as if that had been chosen.
    void fileDialogShowsTheRequest_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("types");
        QTest::addColumn<QString>("shownName");
        QTest::addColumn<QStringList>("offered");  // each type as shown, then its patterns
        const QString name = u"tavrin.txt"_s, euros(90, QChar(0x20AC));
        const QStringList txt{u"plain text document (*.txt)"_s, u"*.txt"_s};
        QTest::newRow("no name") << QString() << "txt" << QString() << txt;
        QTest::newRow("260 characters") << QString(260, 'a') << "txt" << QString(259, 'a') << txt;
        QTest::newRow("90 characters of 3 bytes each") << euros << "txt" << euros << txt;
        QTest::newRow("pattern, then extension")
            << name << u"*.txt;txt"_s << name << QStringList{"*.txt", "*.txt"} + txt;
        QTest::newRow("unknown extension")
            << name << u"xyz"_s << name << QStringList{"(*.xyz)", "*.xyz"};
        QTest::newRow("trailing semicolon")
            << name << u"txt;"_s << name << txt + QStringList{"(*.)", "*."};
    }
    void fileDialogShowsTheRequest() {
        QFETCH(QString, name);
        QFETCH(QString, types);
        QFETCH(QString, shownName);
        QFETCH(QStringList, offered);
        QWidget window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Name, folder, title, the type preselected, then each type offered and its patterns.
        QStringList seen;
        QWidget* parent = nullptr;
        OnModal<QFileDialog> driver([&](QFileDialog* shown) {
            seen << shown->findChild<QLineEdit*>("fileNameEdit")->text()
                 << shown->directory().absolutePath() << shown->windowTitle()
                 << shown->selectedNameFilter();
            const auto* combo = shown->findChild<QComboBox*>("fileTypeCombo");
            const QStringList filters = shown->nameFilters();
            for (int i = 0; i < filters.size(); ++i) {
                seen << combo->itemText(i) << filters[i].section('(', -1).chopped(1);
            }
            parent = shown->parentWidget();
            shown->reject();
        });
        const QString title = u"Ergebnisdatei wählen"_s;
        QCOMPARE(show(Dialog::Save, m_folder->path(), name, types, title, window.winId()), name);
        QCOMPARE(seen,
                 QStringList({shownName, m_folder->path(), title, offered.first()}) + offered);
        QCOMPARE(parent, &window);
    }

    // Either dialog, with its own caption when no title is asked for, gives back the path typed.
    void fileDialogGivesTheTypedPath() {
        const auto check = [&](Dialog dialog, const QString& caption) {
            QString seenCaption;
            bool saves = false;
            OnModal<QFileDialog> driver([&](QFileDialog* shown) {
                seenCaption = shown->windowTitle();
                saves = shown->acceptMode() == QFileDialog::AcceptSave;
                typeAndConfirm(shown, "result.txt");
            });
            const QString path = m_folder->filePath("result.txt");
            QCOMPARE(show(dialog, m_folder->path(), "tavrin.txt"), path);
            QCOMPARE(seenCaption, caption);
            QCOMPARE(saves, dialog == Dialog::Save);
        };
        check(Dialog::Open, u"Open"_s);
        check(Dialog::Save, u"Save As"_s);
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
        OnModal<QWidget> driver([](QWidget* unexpected) { unexpected->close(); });
        for (const Dialog which : {Dialog::Open, Dialog::Save}) {
            QCOMPARE(errorOf([&] { show(which, m_folder->path(), QString(261, 'a')); }),
                     "5 cSysDialogs:GetOpenFileName");
        }
        win::OPENFILENAMEA request{};
        request.lStructSize = sizeof request + 8;
        QVERIFY(!win::GetSaveFileNameA(&request));
        QCOMPARE(win::CommDlgExtendedError(), win::DWORD(win::CDERR_STRUCTSIZE));
        QVERIFY(!driver.appeared);
    }

    // An existing file is taken without an overwrite question: results are appended.
    void anExistingFileIsTakenAsItIs() {
        const QString existing = m_folder->filePath("old.txt");
        writeFile(existing, "earlier results\n");
        OnModal<QMessageBox> question([](QMessageBox* box) { box->close(); });
        OnModal<QFileDialog> driver([](QFileDialog* shown) { typeAndConfirm(shown, "old.txt"); });
        QCOMPARE(show(Dialog::Save, m_folder->path(), "tavrin.txt"), existing);
        QVERIFY(!question.appeared);
        QCOMPARE(fileBytes(existing), "earlier results\n");
    }

    // The answer holds 258 bytes and a NUL: a longer path is refused with a message that shows
    // it as typed, and the dialog stays; a folder's name still opens the folder.
    void typedPathIsCheckedForItsLength() {
        const auto check = [&](int pathBytes, bool isFolder, bool refused, bool dialogStays) {
            m_folder = std::make_unique<QTemporaryDir>();
            const QString name = "<b>" + QString(pathBytes - m_folder->path().size() - 4, 'b');
            QVERIFY(!isFolder || QDir().mkpath(m_folder->filePath(name)));
            bool stillOpen = false, literal = false;
            OnModal<QMessageBox> message([&](QMessageBox* box) {
                literal = box->textFormat() == Qt::PlainText || !Qt::mightBeRichText(box->text());
                box->close();
            });
            OnModal<QFileDialog> driver([&](QFileDialog* shown) {
                typeAndConfirm(shown, name);
                QTimer::singleShot(1500, shown, [&stillOpen, shown] {
                    stillOpen = shown->isVisible();
                    shown->reject();
                });
            });
            const QString path = show(Dialog::Save, m_folder->path(), "tavrin.txt");
            QCOMPARE(message.appeared, refused);
            QCOMPARE(literal, refused);
            QCOMPARE(stillOpen, dialogStays);
            QCOMPARE(path, dialogStays ? "tavrin.txt" : m_folder->filePath(name));
        };
        // A path of 258 bytes is taken.
        check(258, false, false, false);
        // One of 259 is refused, and the dialog stays.
        check(259, false, true, true);
        // A folder of 259 bytes is opened, and the dialog stays.
        check(259, true, false, true);
    }

    // Chosen, the folder is given back; cancelled, empty text.
    void folderDialogShowsTheInstructionAndReturnsTheFolder() {
        const QString chosen = m_folder->filePath("Ergebnisse");
        QVERIFY(QDir().mkpath(chosen));
        for (const bool choose : {true, false}) {
            QString shown;
            OnModal<QDialog> driver([&](QDialog* dialog) {
                const auto* instruction =
                    dialog->findChild<QLabel*>({}, Qt::FindDirectChildrenOnly);
                const bool shows = instruction && instruction->isVisible();
                shown = dialog->windowTitle() + '|' + (shows ? instruction->text() : QString());
                auto* browser = dialog->findChild<QFileDialog*>();
                (choose && browser) ? typeAndConfirm(browser, chosen) : dialog->reject();
            });
            const QString path = clsSysDialogs().GetPath();
            QCOMPARE(shown, "Browse For Folder|Bitte wählen Sie ein Verzeichnis aus");
            QCOMPARE(path, choose ? chosen : QString());
        }
    }
};

QTEST_MAIN(TestSysDialogs)
#include "tst_sysdialogs.moc"
