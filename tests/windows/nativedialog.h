#pragma once

// Windows only: answers the next common dialog (file or folder) of this
// process as a user would, from a thread of its own, since the dialog's
// modal loop blocks the thread that opened it. The dialog is found by its
// window class; the name is typed into its file-name field and OK pressed,
// or with an empty name Cancel pressed, through window messages.

#include <QString>
#include <QStringList>
#include <atomic>
#include <thread>

class NativeDialogAnswer {
public:
    explicit NativeDialogAnswer(const QString& name);
    ~NativeDialogAnswer();  // waits for the answering thread
    NativeDialogAnswer(const NativeDialogAnswer&) = delete;
    NativeDialogAnswer& operator=(const NativeDialogAnswer&) = delete;

    // Waits until the dialog was answered or the time is up.
    bool waitUntilAnswered();
    // What the dialog showed: its title, the entries of its type list and the name in it.
    QString title() const { return m_done ? m_title : QString(); }
    QStringList fileTypes() const { return m_done ? m_fileTypes : QStringList(); }
    QString proposedName() const { return m_done ? m_proposedName : QString(); }

private:
    void run();

    const QString m_name;
    std::atomic<bool> m_answered{false};
    std::atomic<bool> m_done{false};
    QString m_title;
    QStringList m_fileTypes;
    QString m_proposedName;
    std::thread m_thread;
};
