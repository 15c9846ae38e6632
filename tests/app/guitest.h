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

using namespace Qt::StringLiterals;
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
    GuiTest() {
        m_watcher.setInterval(10);
        connect(&m_watcher, &QTimer::timeout, this, &GuiTest::answerModalDialog);
    }
    tavrin& window() { return *m_window; }
    // In the test's own fresh folder, with the system's separators as the save dialog gives it.
    QString pathIn(const QString& name) const {
        return QDir::toNativeSeparators(m_dir->filePath(name));
    }

    QLineEdit* field(int n) const { return m_window->findChild<QLineEdit*>(u"Text%1"_s.arg(n)); }
    QLabel* label(int n) const { return m_window->findChild<QLabel*>(u"Label%1"_s.arg(n)); }
    QRadioButton* option(int n) const {
        return m_window->findChild<QRadioButton*>(u"Option%1"_s.arg(n));
    }
    QPushButton* calculate() const { return m_window->findChild<QPushButton*>(u"Command1"_s); }
    QAbstractButton* saveBox() const { return m_window->findChild<QCheckBox*>(u"Check1"_s); }
    QStringList fieldTexts() const { return texts({field(1), field(2), field(3), field(4)}); }
    // Buttons, fields and labels all show their "text" property.
    static QStringList texts(const QList<QWidget*>& controls) {
        QStringList result;
        for (const QWidget* control : controls)
            result << control->property("text").toString();
        return result;
    }
    static QWidget* focused() { return QApplication::focusWidget(); }

    // Clicks near the left end, where radio buttons and check boxes have their indicator.
    void click(QAbstractButton* button) {
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
    }
    void type(int number, const QString& text) { QTest::keyClicks(field(number), text); }
    void retype(int number, const QString& text) {  // selects all, then types
        field(number)->selectAll();
        text.isEmpty() ? QTest::keyClick(field(number), Qt::Key_Delete) : type(number, text);
    }
    void chooseMode(int mode) { click(option(mode)); }
    void chooseLanguage(Language language) { click(option(6 + int(language))); }
    // Types the blank-separated inputs into Text1 .. Text3 and presses Command1; staged rates
    // after the third are noted one by one.
    void enter(const QString& inputs) {
        const QStringList typed = inputs.split(u' ');
        for (int i = 1; i <= 3; ++i)
            type(i, typed[i - 1]);
        click(calculate());
        for (const QString& rate : typed.mid(3)) {
            retype(3, rate);
            click(calculate());
        }
    }

    // The next file dialog gets `path` as its name and is accepted; an empty path cancels it.
    void answerNextFileDialog(const QString& path);
    // The save box ticked and the dialog, which lists text files, answered with `typed` in the
    // test's folder (none: cancelled); the status line shows the file's path as it is.
    void tickSaveBox(const QString& typed);
    QList<SeenDialog> takeDialogs();
    // Exactly one critical box with only OK, under the default cursor, showing `text` as it is.
    void expectError(const QString& title, const QString& text) {
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(QStringList({dialogs[0].title, dialogs[0].text}), QStringList({title, text}));
        QVERIFY(dialogs[0].icon == QMessageBox::Critical && dialogs[0].plainOkBox);
    }
    // Locked fixed inputs (Text1, Text2) are disabled and painted in the button face, the others
    // enabled and painted in the window's background.
    void expectLocked(bool locked) {
        for (int i = 1; i <= 3; ++i) {
            const bool lockedHere = locked && i < 3;  // Text3 never is
            QCOMPARE(field(i)->isEnabled(), !lockedHere);
            // the colour it is painted in
            const QPalette::ColorGroup group = lockedHere ? QPalette::Disabled : QPalette::Active;
            QCOMPARE(field(i)->palette().color(group, QPalette::Base),
                     QApplication::palette().color(lockedHere ? QPalette::Button : QPalette::Base));
        }
    }

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
