// The file-open and file-save dialogs, shown as Qt's modal file dialog.

#include <QApplication>
#include <cstring>

#include "boundedfiledialog.h"
#include "win32api.h"

namespace tav::win {

namespace {

DWORD g_lastDialogError = 0;

struct NameFilters {
    QStringList qtFilters;     // "Description (*.a *.b)", what QFileDialog takes
    QStringList descriptions;  // what it shows of them, to find the chosen one again
};

// The (description, patterns) pairs of a filter text, each part ending in a
// NUL, the list in an empty part.
NameFilters nameFilters(LPCSTR filter) {
    NameFilters filters;
    const char* part = filter ? filter : "";
    while (*part) {
        const QString description = QString::fromLocal8Bit(part);
        part += std::strlen(part) + 1;
        if (!*part) {
            break;
        }
        const QStringList patterns =
            QString::fromLocal8Bit(part).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        part += std::strlen(part) + 1;
        filters.qtFilters.append(
            QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' '))));
        filters.descriptions.append(description.simplified());
    }
    return filters;
}

// A folder that exists here; Windows paths such as "C:\" do not, and then
// the dialog starts in the user's home folder.
QString initialFolder(LPCSTR folder) {
    const QString given = QString::fromLocal8Bit(folder ? folder : "");
    for (const QString& candidate :
         {given, QString(given).replace(QLatin1Char('\\'), QLatin1Char('/'))}) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isDir()) {
            return QFileInfo(candidate).absoluteFilePath();
        }
    }
    return QDir::homePath();
}

// Why a request cannot be shown (a CDERR_ code), or 0 when it can.
DWORD requestError(const OPENFILENAMEA* ofn) {
    if (!ofn || (ofn->lStructSize != sizeof(OPENFILENAMEA) &&
                 ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A)) {
        return CDERR_STRUCTSIZE;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !ofn->lpstrFile ||
        ofn->nMaxFile < 2) {
        return CDERR_INITIALIZATION;
    }
    return 0;
}

// The dialog as the request asks for it: mode, title, default suffix, filters,
// starting folder and proposed name.
void setUpDialog(QFileDialog& dialog, const OPENFILENAMEA& ofn, bool save,
                 const NameFilters& filters) {
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && (ofn.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                                : QFileDialog::AnyFile);
    // Without OFN_OVERWRITEPROMPT an existing file is taken as it is.
    dialog.setOption(QFileDialog::DontConfirmOverwrite,
                     !(save && (ofn.Flags & OFN_OVERWRITEPROMPT)));
    if (ofn.lpstrTitle && *ofn.lpstrTitle) {
        dialog.setWindowTitle(QString::fromLocal8Bit(ofn.lpstrTitle));
    }
    if (ofn.lpstrDefExt && *ofn.lpstrDefExt) {
        dialog.setDefaultSuffix(QString::fromLocal8Bit(ofn.lpstrDefExt));
    }
    if (!filters.qtFilters.isEmpty()) {
        dialog.setNameFilters(filters.qtFilters);
        const DWORD index = ofn.nFilterIndex;
        const bool valid = index >= 1 && index <= DWORD(filters.qtFilters.size());
        dialog.selectNameFilter(filters.qtFilters.at(valid ? index - 1 : 0));
    }
    dialog.setDirectory(initialFolder(ofn.lpstrInitialDir));
    const QString proposed =
        QString::fromLocal8Bit(QByteArray(ofn.lpstrFile, qstrnlen(ofn.lpstrFile, ofn.nMaxFile)));
    if (!proposed.isEmpty()) {
        dialog.selectFile(proposed);
    }
}

// Writes the chosen path, where its name and extension start, the name alone
// when asked for, and the chosen filter's number into the request. The path
// must fit with its NUL; FALSE with FNERR_BUFFERTOOSMALL when it does not.
BOOL writeAnswer(OPENFILENAMEA& ofn, const QByteArray& path, const NameFilters& filters,
                 const QString& chosenFilter) {
    if (static_cast<DWORD>(path.size()) + 1 > ofn.nMaxFile) {
        g_lastDialogError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::memcpy(ofn.lpstrFile, path.constData(), static_cast<std::size_t>(path.size()) + 1);
    const qsizetype nameStart = path.lastIndexOf('/') + 1;
    const qsizetype dot = path.lastIndexOf('.');
    ofn.nFileOffset = static_cast<WORD>(nameStart);
    ofn.nFileExtension = static_cast<WORD>(dot >= nameStart ? dot + 1 : path.size());
    const QByteArray name = path.mid(nameStart);
    if (ofn.lpstrFileTitle && static_cast<DWORD>(name.size()) < ofn.nMaxFileTitle) {
        std::memcpy(ofn.lpstrFileTitle, name.constData(),
                    static_cast<std::size_t>(name.size()) + 1);
    }
    if (!filters.qtFilters.isEmpty()) {
        // The dialog names the chosen filter by what it shows of it.
        ofn.nFilterIndex = static_cast<DWORD>(filters.descriptions.indexOf(chosenFilter) + 1);
    }
    return TRUE;
}

BOOL showFileDialog(LPOPENFILENAMEA ofn, bool save) {
    g_lastDialogError = requestError(ofn);
    if (g_lastDialogError != 0) {
        return FALSE;
    }
    // The chosen path and its NUL must fit into nMaxFile characters.
    detail::BoundedFileDialog dialog(detail::ownerWidget(reinterpret_cast<WId>(ofn->hwndOwner)),
                                     ofn->nMaxFile - 1);
    const NameFilters filters = nameFilters(ofn->lpstrFilter);
    setUpDialog(dialog, *ofn, save, filters);
    if (dialog.exec() != QDialog::Accepted) {
        return FALSE;
    }
    const QByteArray path = QDir::toNativeSeparators(dialog.selectedFiles().value(0)).toLocal8Bit();
    if (path.isEmpty()) {
        return FALSE;
    }
    return writeAnswer(*ofn, path, filters, dialog.selectedNameFilter());
}

}  // namespace

BOOL GetOpenFileNameA(LPOPENFILENAMEA lpofn) {
    return showFileDialog(lpofn, false);
}

BOOL GetSaveFileNameA(LPOPENFILENAMEA lpofn) {
    return showFileDialog(lpofn, true);
}

DWORD CommDlgExtendedError() {
    return g_lastDialogError;
}

}  // namespace tav::win
