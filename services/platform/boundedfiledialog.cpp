#include "boundedfiledialog.h"

#include <QApplication>
#include <QMessageBox>

namespace tav::win::detail {

BoundedFileDialog::BoundedFileDialog(QWidget* parent, qsizetype maxPathBytes)
    : QFileDialog(parent), m_maxPathBytes(maxPathBytes) {
    setOption(QFileDialog::DontUseNativeDialog);
}

void BoundedFileDialog::accept() {
    const QStringList files = selectedFiles();
    if (!files.isEmpty()) {
        const QString path = QDir::toNativeSeparators(files.first());
        // In a file dialog a folder's name opens the folder rather than choosing it.
        const bool opensFolder = fileMode() != QFileDialog::Directory && QFileInfo(path).isDir();
        if (!opensFolder && path.toLocal8Bit().size() > m_maxPathBytes) {
            // The typed path is shown as it is, never read as markup.
            QMessageBox box(
                QMessageBox::Warning, windowTitle(),
                QStringLiteral("%1\nThe path is longer than this program can take (%2 bytes). "
                               "Please choose a shorter name or another folder.")
                    .arg(path)
                    .arg(m_maxPathBytes),
                QMessageBox::Ok, this);
            box.setTextFormat(Qt::PlainText);
            box.exec();
            return;
        }
    }
    QFileDialog::accept();
}

QWidget* ownerWidget(WId owner) {
    if (owner != 0) {
        if (QWidget* widget = QWidget::find(owner)) {
            return widget->window();
        }
    }
    return QApplication::activeWindow();
}

}  // namespace tav::win::detail
