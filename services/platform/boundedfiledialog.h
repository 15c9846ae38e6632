#pragma once

#include <QFileDialog>

namespace tav::win::detail {

// Qt's own file dialog (never the desktop's native one, so that it behaves
// the same everywhere and can be driven in tests) that refuses, with a
// message, a path longer than the caller's buffer can take: a cut-off path
// would name another file.
class BoundedFileDialog : public QFileDialog {
public:
    BoundedFileDialog(QWidget* parent, qsizetype maxPathBytes);

    void accept() override;

private:
    qsizetype m_maxPathBytes;
};

// The window a dialog belongs to: the owner's widget, else the active window.
QWidget* ownerWidget(WId owner);

}  // namespace tav::win::detail
