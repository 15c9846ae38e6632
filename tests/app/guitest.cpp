#include "guitest.h"

void GuiTest::init() {
    QLocale::setDefault(tav::test::kEnglish);
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_fileAnswers.clear();
    m_watcher.start();
    m_window = std::make_unique<tavrin>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void GuiTest::cleanup() {
    m_watcher.stop();
    m_window.reset();
    for (const SeenDialog& dialog : takeDialogs())
        QFAIL(qPrintable("a dialog the test did not expect: " + dialog.title + ": " + dialog.text));
}

// Records and closes whatever modal dialog is up; the dialog's exec() keeps this timer running.
void GuiTest::answerModalDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    SeenDialog seen;
    seen.title = modal->windowTitle();
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box) {
        seen.text = box->text();
        seen.icon = box->icon();
        seen.plainOkBox = showsLiterally(box->textFormat(), box->text()) &&
                          box->buttons().size() == 1 && box->button(QMessageBox::Ok) &&
                          !QGuiApplication::overrideCursor();
    }
    auto* files = qobject_cast<QFileDialog*>(modal);
    if (files)
        seen.text = files->nameFilters().join(QStringLiteral(";;"));
    m_dialogs.append(seen);
    if (files && !m_fileAnswers.isEmpty()) {  // as its Save button does; an empty answer cancels
        const QString path = m_fileAnswers.takeFirst();
        // selectFile leaves the name field alone while that field has the focus
        if (QWidget* focused = files->focusWidget())
            focused->clearFocus();
        files->selectFile(path);
        path.isEmpty() ? files->reject() : static_cast<QDialog*>(files)->accept();
        return;
    }
    box && box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click()
                                        : void(modal->close());
}

void GuiTest::answerNextFileDialog(const QString& path) {
#ifdef Q_OS_WIN
    // The system's own dialog, answered from a thread of its own.
    m_nativeAnswers.push_back(std::make_unique<NativeDialogAnswer>(path));
#else
    m_fileAnswers.append(path);
#endif
}

void GuiTest::tickSaveBox(const QString& typed) {
    answerNextFileDialog(typed.isEmpty() ? QString() : pathIn(typed));
    click(saveBox());
    const QList<SeenDialog> dialogs = takeDialogs();
    QCOMPARE(dialogs.size(), 1);
    QVERIFY2(dialogs[0].text.contains(QStringLiteral("(*.txt)")), qPrintable(dialogs[0].text));
    QCOMPARE(label(5)->text(), window().strFile);
    QVERIFY(showsLiterally(label(5)->textFormat(), label(5)->text()));
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
