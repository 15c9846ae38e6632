#include "clssysdialogs.h"

#include "ansitext.h"
#include "clssysregistry.h"
#include "errorlabel.h"
#include "errornumbers.h"
#include "platform/win32api.h"
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
        const QByteArray instruction =
            toAnsi(QStringLiteral("Bitte wählen Sie ein Verzeichnis aus"));
        BROWSEINFOA info{};
        info.hwndOwner = windowHandle(hWndOwner);
        info.pidlRoot = nullptr;
        info.pszDisplayName = nullptr;
        info.lpszTitle = instruction.constData();
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
        const PIDLIST_ABSOLUTE folder = SHBrowseForFolderA(&info);
        if (!folder) {
            return QString();
        }
        QByteArray buffer(MAX_PATH, ' ');
        SHGetPathFromIDListA(folder, buffer.data());
        CoTaskMemFree(folder);
        // The path ends at its NUL; a buffer without one got no path.
        const qsizetype end = buffer.indexOf('\0');
        if (end < 0) {
            throw RuntimeError(ErrorNumber::InvalidProcedureCall);
        }
        return fromAnsi(buffer.left(end));
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
        const QByteArray filter = toAnsi(ComposeFileFilter(FileTypes));
        if (FileName.size() > kFileBufferLength) {
            throw RuntimeError(ErrorNumber::InvalidProcedureCall);
        }
        const QString name = FileName + QString(kFileBufferLength - FileName.size(), kNul);
        QByteArray file = toAnsi(name);
        QByteArray fileTitle = file;  // a separate copy
        const QByteArray initialPath = toAnsi(InitialPath);
        const QByteArray title = toAnsi(Title);

        OPENFILENAMEA request{};
        // The whole record: the shorter one of old Windows versions is refused
        // on 64-bit Windows, where its fields are wider.
        request.lStructSize = sizeof(OPENFILENAMEA);
        request.hwndOwner = windowHandle(hWndOwner);
        request.lpstrFilter = filter.constData();
        request.nFilterIndex = 1;
        request.lpstrFile = file.data();
        // The dialog counts the buffer in bytes of its encoding: counted in
        // characters, a name beyond ASCII would be cut inside a character.
        request.nMaxFile = static_cast<DWORD>(file.size() - 1);
        request.lpstrFileTitle = fileTitle.data();
        request.nMaxFileTitle = request.nMaxFile;
        request.lpstrInitialDir = initialPath.constData();
        request.lpstrTitle = Title.isEmpty() ? nullptr : title.constData();
        request.Flags = 0;
        if (mode == kOpenDialog) {
            GetOpenFileNameA(&request);
        } else {
            GetSaveFileNameA(&request);
        }
        // The buffer alone tells the result: the chosen path, or after Cancel
        // the proposed name it still holds.
        return ClearAPIString(fromAnsi(file));
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
