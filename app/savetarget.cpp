// The save box: ticking it asks for the result file in the save dialog; every
// later result is appended to that file while the box stays ticked.

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QStandardPaths>

#include "clssysdialogs.h"
#include "runtimeerror.h"
#include "statusline.h"
#include "tavrin.h"

using namespace tav;

namespace {

const QString kInitialPath = QStringLiteral("C:\\");
const QString kProposedName = QStringLiteral("tavrin.txt");
const QString kFileTypes = QStringLiteral("txt");
const QString kExtension = QStringLiteral(".txt");

// Where a name without a folder (what a cancelled dialog gives back) is kept.
// Elsewhere it is the folder the program was started in. On Windows that is
// often the program's own folder or, after a file dialog, C:\, neither of
// which a standard user may write to: there it is the user's documents.
QString resultFilePath(const QString& chosen) {
#ifdef Q_OS_WIN
    if (QDir::isRelativePath(chosen)) {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return QDir::toNativeSeparators(QDir(documents).filePath(chosen));
    }
#endif
    return chosen;
}

}  // namespace

void tavrin::Check1_Click() {
    // Unticking changes nothing: the result file and the status line stay.
    if (!Check1->isChecked()) {
        return;
    }
    const WId owner = winId();
    if (!m_dialogs) {
        m_dialogs = std::make_unique<clsSysDialogs>();
    }

    QString chosen;
    try {
        // Cancel gives back the proposed name, which then becomes the file.
        chosen =
            m_dialogs->GetSaveFileName(kInitialPath, kProposedName, kFileTypes, QString(), owner);
    } catch (const RuntimeError& error) {
        // No dialog could be shown, so no file was chosen: say why and leave
        // the save target as it was.
        Check1->setChecked(false);
        showError(error.number(), error.description(currentLanguage()));
        return;
    }
    strFile = resultFilePath(chosen);
    // Case-sensitive on purpose: "DATA.TXT" becomes "DATA.TXT.txt".
    if (!strFile.endsWith(kExtension)) {
        strFile += kExtension;
    }
    Label5->setStatus(strFile);
    Checktester = 1;
}
