// The save box: ticking it asks for the result file in the save dialog; every
// later result is appended to that file while the box stays ticked.

#include <QCheckBox>
#include <QLabel>

#include "clssysdialogs.h"
#include "runtimeerror.h"
#include "tavrin.h"

using namespace tav;

namespace {

const QString kInitialPath = QStringLiteral("C:\\");
const QString kProposedName = QStringLiteral("tavrin.txt");
const QString kFileTypes = QStringLiteral("txt");
const QString kExtension = QStringLiteral(".txt");

}  // namespace

void tavrin::Check1_Click() {
    // Unticking changes nothing: the result file and the status line stay.
    if (!Check1->isChecked())
        return;
    const WId owner = winId();
    if (!m_dialogs)
        m_dialogs = std::make_unique<clsSysDialogs>();

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
    strFile = chosen;
    // Case-sensitive on purpose: "DATA.TXT" becomes "DATA.TXT.txt".
    if (!strFile.endsWith(kExtension))
        strFile += kExtension;
    Label5->setText(strFile);
    Checktester = 1;
}
