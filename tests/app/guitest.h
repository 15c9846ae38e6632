#pragma once

// The fixture of the window tests: a fresh window per test, used like a user; each modal dialog
// is answered and kept for takeDialogs(), and one left over fails the test.

#include <QtTest>
#include <QtWidgets>
#include <memory>
#include <vector>

#include "../testkit.h"
#include "language.h"
#include "tavrin.h"
#ifdef Q_OS_WIN
#include "nativedialog.h"
#endif

using tav::Language;
Q_DECLARE_METATYPE(tav::Language)

struct SeenDialog {
    QString title;
    QString text;  // a message box's text; a file dialog's type list
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // A message box showing its text as it is, not as markup, with OK as its one button, and no
    // application cursor set while it was up.
    bool plainOkBox = false;
};

class GuiTest : public QObject {
    Q_OBJECT

protected:
    GuiTest();
    tavrin& window() { return *m_window; }
    // In the test's own fresh folder, with the system's separators as the save dialog gives it.
    QString pathIn(const QString& name) const {
        return QDir::toNativeSeparators(m_dir->filePath(name));
    }

    template <typename Control>
    Control* find(const QString& name) const {
        return m_window->findChild<Control*>(name);
    }
    QLineEdit* field(int n) const { return find<QLineEdit>(QStringLiteral("Text%1").arg(n)); }
    QLabel* label(int n) const { return find<QLabel>(QStringLiteral("Label%1").arg(n)); }
    QRadioButton* option(int n) const {
        return find<QRadioButton>(QStringLiteral("Option%1").arg(n));
    }
    QPushButton* calculate() const { return find<QPushButton>(QStringLiteral("Command1")); }
    QAbstractButton* saveBox() const { return find<QCheckBox>(QStringLiteral("Check1")); }
    QStringList fieldTexts() const { return texts({field(1), field(2), field(3), field(4)}); }
    static QStringList texts(const QList<QWidget*>& controls);
    static QWidget* focused() { return QApplication::focusWidget(); }

    void click(QAbstractButton* button);
    void type(int number, const QString& text) { QTest::keyClicks(field(number), text); }
    void retype(int number, const QString& text);  // selects all, then types
    void chooseMode(int mode) { click(option(mode)); }
    void chooseLanguage(Language language) { click(option(6 + int(language))); }
    // Types Text1 .. Text3 and presses Command1; staged rates after the third are noted one by one.
    void enter(const QStringList& inputs);

    // The next file dialog gets `path` as its name and is accepted; an empty path cancels it.
    void answerNextFileDialog(const QString& path);
    // The save box ticked and the dialog, which lists text files, answered with `typed` in the
    // test's folder (none: cancelled); the status line shows the file's path as it is.
    void tickSaveBox(const QString& typed);
    QList<SeenDialog> takeDialogs();
    // Exactly one critical box with only OK, under the default cursor, showing `text` as it is.
    void expectError(const QString& title, const QString& text);
    // Locked fixed inputs (Text1, Text2) are disabled and painted in the button face, the others
    // enabled and painted in the window's background.
    void expectLocked(bool locked);

    static bool showsLiterally(Qt::TextFormat format, const QString& text) {
        return format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text));
    }

private slots:
    void init();
    void cleanup();

private:
    void answerModalDialog();

    std::unique_ptr<tavrin> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;
    QTimer m_watcher;
    QList<SeenDialog> m_dialogs;
    QList<QString> m_fileAnswers;
#ifdef Q_OS_WIN
    std::vector<std::unique_ptr<NativeDialogAnswer>> m_nativeAnswers;
#endif
};
