#pragma once

#include <qwindowdefs.h>  // WId
#include <QString>
#include <memory>

namespace tav {

class clsSysRegistry;

// The system's file-open, file-save and folder dialogs, modal over the
// window whose handle is passed (QWidget::winId(); 0 for the active window).
//
// The file dialogs take a list of file types separated by ";": an item with
// a "." is a ready pattern ("*.txt"), any other a bare extension ("txt")
// shown with its type's readable name from the registry, as in "plain text
// document (*.txt)". Failures are raised as RuntimeError with the routine's
// label as source ("cSysDialogs:GetOpenFileName"), errors of the registry
// with their own. Constructing the class reads nothing and shows nothing.
class clsSysDialogs {
public:
    clsSysDialogs();
    ~clsSysDialogs();
    clsSysDialogs(const clsSysDialogs&) = delete;
    clsSysDialogs& operator=(const clsSysDialogs&) = delete;

    // The chosen path. After Cancel the proposed FileName comes back, as if
    // it had been chosen. A FileName over 260 characters raises error 5; a
    // dialog that fails raises an error too, 52 for a chosen path too long
    // for the 260-character buffer, since it chose nothing.
    QString GetOpenFileName(const QString& InitialPath, const QString& FileName,
                            const QString& FileTypes, const QString& Title = {}, WId hWndOwner = 0);
    QString GetSaveFileName(const QString& InitialPath, const QString& FileName,
                            const QString& FileTypes, const QString& Title = {}, WId hWndOwner = 0);
    // The chosen folder, or empty text after Cancel.
    QString GetPath(WId hWndOwner = 0);

private:
    QString ShowFileDialog(int mode, const QString& InitialPath, const QString& FileName,
                           const QString& FileTypes, const QString& Title, WId hWndOwner);
    static QString ClearAPIString(const QString& s);
    QString ComposeFileFilter(const QString& FileTypes);

    // Created the first time a type name is needed.
    std::unique_ptr<clsSysRegistry> m_registry;
};

}  // namespace tav
