// The folder dialog: an instruction above Qt's file dialog in folder mode.
// The item identifier list it returns holds the folder's path as one item.

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <cstdlib>
#include <cstring>

#include "boundedfiledialog.h"
#include "win32api.h"

namespace tav::win {

namespace {

PIDLIST_ABSOLUTE makeIdList(const QByteArray& path) {
    // One item (its size, the path and a NUL), then the empty item that ends the list.
    const auto itemSize = static_cast<WORD>(sizeof(WORD) + path.size() + 1);
    auto* block = static_cast<BYTE*>(std::malloc(itemSize + sizeof(WORD)));
    if (!block) {
        return nullptr;
    }
    const WORD end = 0;
    std::memcpy(block, &itemSize, sizeof(WORD));
    std::memcpy(block + sizeof(WORD), path.constData(), static_cast<std::size_t>(path.size()) + 1);
    std::memcpy(block + itemSize, &end, sizeof(WORD));
    return reinterpret_cast<PIDLIST_ABSOLUTE>(block);
}

QByteArray pathOf(PCIDLIST_ABSOLUTE list) {
    const auto* block = reinterpret_cast<const BYTE*>(list);
    WORD itemSize = 0;
    std::memcpy(&itemSize, block, sizeof(WORD));
    if (itemSize <= sizeof(WORD) + 1) {
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(block + sizeof(WORD)),
                      itemSize - qsizetype(sizeof(WORD)) - 1);
}

}  // namespace

PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA lpbi) {
    if (!lpbi || !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return nullptr;
    }
    QDialog dialog(detail::ownerWidget(reinterpret_cast<WId>(lpbi->hwndOwner)));
    dialog.setWindowTitle(QStringLiteral("Browse For Folder"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* instruction = new QLabel(QString::fromLocal8Bit(lpbi->lpszTitle ? lpbi->lpszTitle : ""));
    instruction->setTextFormat(Qt::PlainText);
    instruction->setWordWrap(true);
    instruction->setVisible(lpbi->lpszTitle && *lpbi->lpszTitle);
    layout->addWidget(instruction);

    auto* browser = new detail::BoundedFileDialog(&dialog, MAX_PATH - 1);
    browser->setWindowFlags(Qt::Widget);
    browser->setFileMode(QFileDialog::Directory);
    browser->setOption(QFileDialog::ShowDirsOnly);
    browser->setDirectory(lpbi->pidlRoot ? QString::fromLocal8Bit(pathOf(lpbi->pidlRoot))
                                         : QDir::homePath());
    layout->addWidget(browser);
    QObject::connect(browser, &QDialog::finished, &dialog, &QDialog::done);

    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    const QByteArray path =
        QDir::toNativeSeparators(browser->selectedFiles().value(0)).toLocal8Bit();
    if (lpbi->pszDisplayName) {
        const QByteArray name =
            QFileInfo(QString::fromLocal8Bit(path)).fileName().toLocal8Bit().left(MAX_PATH - 1);
        std::memcpy(lpbi->pszDisplayName, name.constData(),
                    static_cast<std::size_t>(name.size()) + 1);
    }
    lpbi->iImage = 0;
    return makeIdList(path);
}

BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE pidl, LPSTR pszPath) {
    if (!pidl || !pszPath) {
        return FALSE;
    }
    const QByteArray path = pathOf(pidl);
    // The caller's buffer holds MAX_PATH characters; a longer path is not written.
    if (path.isEmpty() || static_cast<DWORD>(path.size()) >= MAX_PATH) {
        return FALSE;
    }
    std::memcpy(pszPath, path.constData(), static_cast<std::size_t>(path.size()) + 1);
    return TRUE;
}

void CoTaskMemFree(LPVOID pv) {
    std::free(pv);
}

}  // namespace tav::win
