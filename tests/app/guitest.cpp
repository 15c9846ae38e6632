#include "guitest.h"

#include <QApplication>
#include <QCheckBox>
#include <QPalette>
#include <QtTest>

const QLocale GuiTest::kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale GuiTest::kGerman(QLocale::German, QLocale::Germany);

void GuiTest::startTest() {
    QLocale::setDefault(kEnglish);
    m_dialogs.clear();
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
    if (!modal)
        return;
    SeenDialog seen;
    seen.title = modal->windowTitle();
    seen.cursorOverridden = QGuiApplication::overrideCursor() != nullptr;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttonCount = static_cast<int>(box->buttons().size());
        seen.hasOk = box->button(QMessageBox::Ok) != nullptr;
    }
    m_dialogs.append(seen);
    if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->button(QMessageBox::Ok))
        box->button(QMessageBox::Ok)->click();
    else
        modal->close();
}

QList<SeenDialog> GuiTest::takeDialogs() {
    QList<SeenDialog> taken;
    taken.swap(m_dialogs);
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
