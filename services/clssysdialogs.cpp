#include "clssysdialogs.h"

#include "clssysregistry.h"
#include "dialogcalls.h"
#include "errorlabel.h"
#include "errornumbers.h"
#include "runtimeerror.h"

namespace tav {

using namespace win;

namespace {

constexpr int kOpenDialog = 1;
constexpr int kSaveDialog = 2;
constexpr qsizetype kFileBufferLength = 260;
// The base of numbers for errors a class defines itself.
constexpr qint32 kObjectError = -2147221504;
const QChar kNul(0);

HWND windowHandle(WId window) {
    return reinterpret_cast<HWND>(window);
}

RuntimeError dialogFailure(DWORD failure) {
    if (failure == FNERR_BUFFERTOOSMALL) {
        return RuntimeError(ErrorNumber::BadFileName, {},
                            QStringLiteral("The path is longer than this program can take. Please "
                                           "choose a shorter name or another folder."));
    }
    return RuntimeError(
        ErrorNumber::InvalidProcedureCall, {},
        QStringLiteral("The file dialog failed (error %1)").arg(failure, 4, 16, QLatin1Char('0')));
}

}  // namespace

clsSysDialogs::clsSysDialogs() = default;
clsSysDialogs::~clsSysDialogs() = default;

QString clsSysDialogs::GetOpenFileName(const QString& InitialPath, const QString& FileName,
                                       const QString& FileTypes, const QString& Title,
                                       WId hWndOwner) {
    return ShowFileDialog(kOpenDialog, InitialPath, FileName, FileTypes, Title, hWndOwner);
}

QString clsSysDialogs::GetSaveFileName(const QString& InitialPath, const QString& FileName,
                                       const QString& FileTypes, const QString& Title,
                                       WId hWndOwner) {
    return ShowFileDialog(kSaveDialog, InitialPath, FileName, FileTypes, Title, hWndOwner);
}

QString clsSysDialogs::GetPath(WId hWndOwner) {
    try {
        const dialogs::Text instruction =
            dialogs::toDialogText(QStringLiteral("Bitte wählen Sie ein Verzeichnis aus"));
        dialogs::FolderRequest info{};
        info.hwndOwner = windowHandle(hWndOwner);
        info.pidlRoot = nullptr;
        info.pszDisplayName = nullptr;
        info.lpszTitle = instruction.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
        const PIDLIST_ABSOLUTE folder = dialogs::browseForFolder(&info);
        if (!folder) {
            return QString();
        }
        dialogs::Text buffer(MAX_PATH, dialogs::Char(' '));
        dialogs::pathFromIdList(folder, buffer.data());
        CoTaskMemFree(folder);
        // The path ends at its NUL; a buffer without one got no path.
        const auto end = buffer.find(dialogs::Char(0));
        if (end == dialogs::Text::npos) {
            throw RuntimeError(ErrorNumber::InvalidProcedureCall);
        }
        return dialogs::fromDialogText(buffer.substr(0, end));
    } catch (const RuntimeError& error) {
        const auto number = static_cast<qint32>(static_cast<quint32>(error.number()) +
                                                static_cast<quint32>(kObjectError));
        throw RuntimeError(number, QStringLiteral("cSysDialogs:GetPath"), error.description());
    }
}

QString clsSysDialogs::ShowFileDialog(int mode, const QString& InitialPath, const QString& FileName,
                                      const QString& FileTypes, const QString& Title,
                                      WId hWndOwner) {
    return labelUnlabelled(QStringLiteral("cSysDialogs:GetOpenFileName"), [&] {
        const dialogs::Text filter = dialogs::toDialogText(ComposeFileFilter(FileTypes));
        if (FileName.size() > kFileBufferLength) {
            throw RuntimeError(ErrorNumber::InvalidProcedureCall);
        }
        const QString name = FileName + QString(kFileBufferLength - FileName.size(), kNul);
        dialogs::Text file = dialogs::toDialogText(name);
        dialogs::Text fileTitle = file;  // a separate copy
        const dialogs::Text initialPath = dialogs::toDialogText(InitialPath);
        const dialogs::Text title = dialogs::toDialogText(Title);

        dialogs::FileRequest request{};
        // The whole record: the shorter one of old Windows versions is refused
        // on 64-bit Windows, where its fields are wider.
        request.lStructSize = sizeof(request);
        request.hwndOwner = windowHandle(hWndOwner);
        request.lpstrFilter = filter.c_str();
        request.nFilterIndex = 1;
        request.lpstrFile = file.data();
        // The dialog counts the buffer in units of its encoding: counted in
        // characters, a UTF-8 name beyond ASCII would be cut inside a character.
        request.nMaxFile = static_cast<DWORD>(file.size() - 1);
        request.lpstrFileTitle = fileTitle.data();
        request.nMaxFileTitle = request.nMaxFile;
        request.lpstrInitialDir = initialPath.c_str();
        request.lpstrTitle = Title.isEmpty() ? nullptr : title.c_str();
        request.Flags = 0;
        const BOOL confirmed = mode == kOpenDialog ? dialogs::showOpenDialog(&request)
                                                   : dialogs::showSaveDialog(&request);
        // A dialog that failed chose nothing, and what it left in the buffer
        // is no name: after a path too long for the buffer, its first bytes
        // hold the length needed.
        if (!confirmed) {
            if (const DWORD failure = CommDlgExtendedError(); failure != 0) {
                throw dialogFailure(failure);
            }
        }
        // Otherwise the buffer tells the result: the chosen path, or after
        // Cancel the proposed name it still holds.
        return ClearAPIString(dialogs::fromDialogText(file));
    });
}

QString clsSysDialogs::ClearAPIString(const QString& s) {
    return labelAlways(QStringLiteral("cSysDialogs:ClearAPIString"), [&] {
        const qsizetype end = s.indexOf(kNul);
        return end < 0 ? s : s.left(end);
    });
}

QString clsSysDialogs::ComposeFileFilter(const QString& FileTypes) {
    return labelUnlabelled(QStringLiteral("cSysDialogs:ComposeFileFilter"), [&] {
        QString filter;
        if (FileTypes.isEmpty()) {
            return filter;
        }
        const QStringList items = FileTypes.split(QLatin1Char(';'));
        for (const QString& item : items) {
            if (item.contains(QLatin1Char('.'))) {
                filter += item + kNul + item + kNul;
                continue;
            }
            if (!m_registry) {
                m_registry = std::make_unique<clsSysRegistry>();
            }
            const QString typeName = m_registry->ExtensionToFileType(item).toText();
            filter += typeName + QStringLiteral(" (*.") + item + QLatin1Char(')') + kNul +
                      QStringLiteral("*.") + item + kNul;
        }
        if (items.size() >= 2) {
            filter += kNul;
        }
        return filter;
    });
}

}  // namespace tav
