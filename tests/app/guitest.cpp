#include "guitest.h"

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
    for (const SeenDialog& dialog : takeDialogs())
        QFAIL(qPrintable("a dialog the test did not expect: " + dialog.title + ": " + dialog.text));
}

void GuiTest::openWindow() {
    m_window = std::make_unique<tavrin>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

// Records and closes whatever modal dialog is up; the dialog's exec() keeps this timer running.
void GuiTest::answerModalDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || m_answering)
        return;
    const QScopedValueRollback answering(m_answering, true);
    SeenDialog seen;
    seen.title = modal->windowTitle();
    seen.cursorOverridden = QGuiApplication::overrideCursor() != nullptr;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box) {
        seen.text = box->text();
        seen.icon = box->icon();
        seen.literal = showsLiterally(box->textFormat(), box->text());
        seen.onlyOk = box->buttons().size() == 1 && box->button(QMessageBox::Ok);
    }
    // A file dialog loading its folder may miss an answer: answered until it closes, kept once.
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (!files || m_fileDialog != files)
        m_dialogs.append(seen);
    if (files && m_fileDialog != files) {
        m_fileDialog = files;
        m_fileAttempts = 0;
        m_dialogs.last().text = files->nameFilters().join(QStringLiteral(";;"));
    }
    if (files && !m_fileAnswers.isEmpty() && ++m_fileAttempts <= 50) {
        answerFileDialog(files, m_fileAnswers.first());
        if (!files->isVisible())
            m_fileAnswers.removeFirst();
        return;
    }
    box && box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click()
                                        : void(modal->close());
}

// Like a user: goes to the folder, enters the name and presses Save; an empty answer cancels.
void GuiTest::answerFileDialog(QFileDialog* dialog, const QString& path) {
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QVERIFY(buttons && buttons->button(QDialogButtonBox::Cancel));
    if (path.isEmpty())
        return buttons->button(QDialogButtonBox::Cancel)->click();
    const QFileInfo target(path);
    dialog->setDirectory(target.absolutePath());
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    name->selectAll();
    name->insert(target.fileName());  // as typed: letters beyond ASCII need no key codes
    for (QAbstractButton* button : buttons->buttons()) {
        if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
            return button->click();
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
        if (!answer->waitUntilAnswered())
            continue;
        SeenDialog seen;
        seen.title = answer->title();
        seen.text = answer->fileTypes().join(QStringLiteral(";;"));
        taken.append(seen);
    }
    m_nativeAnswers.clear();
#endif
    taken.append(m_dialogs);
    m_dialogs.clear();
    return taken;
}

void GuiTest::expectError(const QString& title, const QString& text) {
    const QList<SeenDialog> dialogs = takeDialogs();
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs[0].text, text);
    QCOMPARE(dialogs[0].title, title);
    QCOMPARE(dialogs[0].icon, QMessageBox::Critical);
    QVERIFY(dialogs[0].onlyOk && dialogs[0].literal && !dialogs[0].cursorOverridden);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

// Buttons, fields and labels all show their "text" property.
QStringList GuiTest::texts(const QList<QWidget*>& controls) {
    QStringList result;
    for (const QWidget* control : controls)
        result << control->property("text").toString();
    return result;
}

QList<QWidget*> GuiTest::labels(int last) const {
    QList<QWidget*> result;
    for (int i = 1; i <= last; ++i)
        result << label(i);
    return result;
}

// Clicks near the left end, where radio buttons and check boxes have their indicator.
void GuiTest::click(QAbstractButton* button) {
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

void GuiTest::retype(int number, const QString& text) {
    field(number)->selectAll();
    text.isEmpty() ? QTest::keyClick(field(number), Qt::Key_Delete) : type(number, text);
}

void GuiTest::enter(const QStringList& inputs) {
    for (int i = 1; i <= 3; ++i)
        type(i, inputs[i - 1].isEmpty() ? QStringLiteral("1") : inputs[i - 1]);
    for (int i = 1; i <= 3; ++i) {
        if (inputs[i - 1].isEmpty())
            retype(i, QString());
    }
    click(calculate());
    for (const QString& rate : inputs.mid(3)) {
        retype(3, rate);
        click(calculate());
    }
}
