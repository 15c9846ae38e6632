#pragma once

// Shared support of the window tests: a fresh window per test, controls found
// by object name, typing and clicking like a user, and a watcher that answers
// every modal dialog so that a test never hangs on one. A test takes the
// dialogs it expects with takeDialogs(); any left over fail the test.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QLocale>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

#include "tavrin.h"
#ifdef Q_OS_WIN
#include "nativedialog.h"
#endif

// main() of a window test: always headless, whatever the environment says,
// so that running a test binary by hand never opens windows on a desktop.
// On Windows the platform is left to the environment: the file dialogs are
// the system's own and need a real one, as does text measuring under Wine.
#ifdef Q_OS_WIN
#define TAVRIN_FORCE_HEADLESS()
#else
#define TAVRIN_FORCE_HEADLESS() qputenv("QT_QPA_PLATFORM", "offscreen")
#endif
#define TAVRIN_GUI_TEST_MAIN(TestClass)         \
    int main(int argc, char* argv[]) {          \
        TAVRIN_FORCE_HEADLESS();                \
        QApplication application(argc, argv);   \
        TestClass test;                         \
        QTEST_SET_MAIN_SOURCE_PATH              \
        return QTest::qExec(&test, argc, argv); \
    }

struct SeenDialog {
    QString title;
    QString text;  // a message box's text; a file dialog's type list
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool literal = true;  // a message box's text is shown as it is, not as markup
    int buttonCount = 0;
    bool hasOk = false;
    bool cursorOverridden = false;  // an application cursor was set while it was up
};

class GuiTest : public QObject {
    Q_OBJECT

public:
    static const QLocale kEnglish;
    static const QLocale kGerman;

protected:
    // A new window, shown, in the state of a fresh start.
    void openWindow();
    void closeWindow();
    tavrin& window() { return *m_window; }

    QLineEdit* field(int number) const;  // Text1 .. Text4
    QLabel* label(int number) const;     // Label1 .. Label5
    QRadioButton* option(int number) const;
    QPushButton* calculate() const;
    QAbstractButton* saveBox() const;

    // What a user does.
    void click(QAbstractButton* button);
    void type(int fieldNumber, const QString& text);    // appends keystrokes
    void retype(int fieldNumber, const QString& text);  // selects all, then types
    void chooseMode(int mode) { click(option(mode)); }
    void chooseLanguage(tav::Language language);
    // Fills Text1 .. Text3 (from empty) and presses Command1.
    void enterAndCalculate(const QString& first, const QString& second, const QString& third);

    // The next file dialog gets `path` typed into its name field and is
    // accepted; with an empty path it is cancelled.
    void answerNextFileDialog(const QString& path);

    QList<SeenDialog> takeDialogs();
    int pendingDialogs() const { return m_dialogs.size(); }

    // Whether a text in this format is shown as it is: plain, or with no
    // markup for Qt's automatic detection to find.
    static bool showsLiterally(Qt::TextFormat format, const QString& text);

    // The colour a field is painted in.
    static QColor fieldColour(const QLineEdit* field);
    static QColor buttonFace();
    static QColor windowBackground();

    // Call from the test class's init() and cleanup().
    void startTest();
    void finishTest();

private:
    void answerModalDialog();
    void answerFileDialog(QWidget* dialog, const QString& path);

    std::unique_ptr<tavrin> m_window;
    QTimer m_watcher;
    QList<SeenDialog> m_dialogs;
    QList<QString> m_fileAnswers;
    bool m_answering = false;
    QPointer<QWidget> m_fileDialog;  // the file dialog being answered
    int m_fileAttempts = 0;
#ifdef Q_OS_WIN
    std::vector<std::unique_ptr<NativeDialogAnswer>> m_nativeAnswers;
#endif
};
