#include "guitest.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QPalette>
#include <QScopedValueRollback>
#include <QTextDocument>
#include <QtTest>

const QLocale GuiTest::kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale GuiTest::kGerman(QLocale::German, QLocale::Germany);

void GuiTest::startTest() {
    QLocale::setDefault(kEnglish);
    m_dialogs.clear();
    m_fileAnswers.clear();
    m_watcher.setInterval(10);
    connect(&m_watcher, &QTimer::timeout, this, &GuiTest::answerModalDialog, Qt::UniqueConnection);
    m_watcher.start();
    openWindow();
}

void GuiTest::finishTest() {
    m_watcher.stop();
    closeWindow();
    QLocale::setDefault(kEnglish);
    const QList<SeenDialog> leftOver = takeDialogs();
    for (const SeenDialog& dialog : leftOver)
        qWarning("unexpected dialog \"%s\": %s", qPrintable(dialog.title), qPrintable(dialog.text));
    QVERIFY2(leftOver.isEmpty(), "a modal dialog appeared that the test did not expect");
}

void GuiTest::openWindow() {
    m_window = std::make_unique<tavrin>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void GuiTest::closeWindow() {
    m_window.reset();
}

// Records and closes whatever modal dialog is up; the event loop of the
// dialog's exec() keeps this timer running.
void GuiTest::answerModalDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    // Typing into a dialog can run the event loop, and with it this timer.
    if (!modal || m_answering)
        return;
    const QScopedValueRollback answering(m_answering, true);
    SeenDialog seen;
    seen.title = modal->windowTitle();
    seen.cursorOverridden = QGuiApplication::overrideCursor() != nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
        seen.literal = showsLiterally(box->textFormat(), box->text());
        seen.buttonCount = static_cast<int>(box->buttons().size());
        seen.hasOk = box->button(QMessageBox::Ok) != nullptr;
    }
    if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        // A file dialog may still be loading its folder and not take the first
        // answer; it is answered again until it closes, and recorded once.
        if (m_fileDialog != files) {
            m_fileDialog = files;
            m_fileAttempts = 0;
            seen.text = files->nameFilters().join(QStringLiteral(";;"));
            m_dialogs.append(seen);
        }
        if (!m_fileAnswers.isEmpty() && ++m_fileAttempts <= 50) {
            answerFileDialog(files, m_fileAnswers.first());
            if (!files->isVisible())
                m_fileAnswers.removeFirst();
            return;
        }
    } else {
        m_dialogs.append(seen);
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->button(QMessageBox::Ok))
        box->button(QMessageBox::Ok)->click();
    else
        modal->close();
}

// Types into the dialog's name field and presses its Save button, as a user
// does; an empty answer is the Cancel button.
void GuiTest::answerFileDialog(QWidget* dialog, const QString& path) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QVERIFY(buttons);
    if (path.isEmpty()) {
        QVERIFY(buttons->button(QDialogButtonBox::Cancel));
        buttons->button(QDialogButtonBox::Cancel)->click();
        return;
    }
    // Like a user: go to the folder, then type the name.
    const QFileInfo target(path);
    if (auto* files = qobject_cast<QFileDialog*>(dialog))
        files->setDirectory(target.absolutePath());
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->selectAll();
    // keyClicks takes ASCII only; other letters come as typed text, as from
    // a keyboard layout that has them.
    for (const QChar letter : target.fileName()) {
        if (letter.unicode() < 0x80)
            QTest::keyClick(name, letter.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(letter),
                                Qt::NoModifier);
    }
    for (QAbstractButton* button : buttons->buttons()) {
        if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) {
            button->click();
            return;
        }
    }
    QFAIL("the file dialog has no button to confirm the name");
}

void GuiTest::answerNextFileDialog(const QString& path) {
#ifdef Q_OS_WIN
    // The system's own dialog, answered from a thread of its own.
    m_nativeAnswers.push_back(std::make_unique<NativeDialogAnswer>(path));
#else
    m_fileAnswers.append(path);
#endif
}

QList<SeenDialog> GuiTest::takeDialogs() {
    QList<SeenDialog> taken;
#ifdef Q_OS_WIN
    // A system dialog came before any message box the action led to.
    for (const auto& answer : m_nativeAnswers) {
        if (answer->waitUntilAnswered())
            taken.append({answer->title(), answer->fileTypes().join(QStringLiteral(";;"))});
    }
    m_nativeAnswers.clear();
#endif
    taken.append(m_dialogs);
    m_dialogs.clear();
    return taken;
}

QLineEdit* GuiTest::field(int number) const {
    return m_window->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(number));
}

QLabel* GuiTest::label(int number) const {
    return m_window->findChild<QLabel*>(QStringLiteral("Label%1").arg(number));
}

QRadioButton* GuiTest::option(int number) const {
    return m_window->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number));
}

QPushButton* GuiTest::calculate() const {
    return m_window->findChild<QPushButton*>(QStringLiteral("Command1"));
}

QAbstractButton* GuiTest::saveBox() const {
    return m_window->findChild<QCheckBox*>(QStringLiteral("Check1"));
}

// Clicks near the left end, where radio buttons and check boxes have their
// indicator.
void GuiTest::click(QAbstractButton* button) {
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

void GuiTest::type(int fieldNumber, const QString& text) {
    QLineEdit* target = field(fieldNumber);
    QVERIFY(target);
    QTest::keyClicks(target, text);
}

void GuiTest::retype(int fieldNumber, const QString& text) {
    QLineEdit* target = field(fieldNumber);
    QVERIFY(target);
    target->selectAll();
    if (text.isEmpty())
        QTest::keyClick(target, Qt::Key_Delete);
    else
        QTest::keyClicks(target, text);
}

void GuiTest::chooseLanguage(tav::Language language) {
    static const int kButtons[] = {6, 7, 8, 9};  // German, English, Italian, French
    click(option(kButtons[static_cast<int>(language)]));
}

void GuiTest::enterAndCalculate(const QString& first, const QString& second, const QString& third) {
    type(1, first);
    type(2, second);
    type(3, third);
    click(calculate());
}

bool GuiTest::showsLiterally(Qt::TextFormat format, const QString& text) {
    return format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text));
}

QColor GuiTest::fieldColour(const QLineEdit* field) {
    return field->palette().color(field->isEnabled() ? QPalette::Active : QPalette::Disabled,
                                  QPalette::Base);
}

QColor GuiTest::buttonFace() {
    return QApplication::palette().color(QPalette::Button);
}

QColor GuiTest::windowBackground() {
    return QApplication::palette().color(QPalette::Base);
}
