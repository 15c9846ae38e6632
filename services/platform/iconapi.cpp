// Icons by file or by the icon theme's name, handed out as handles.

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <limits>

#include "handletable.h"
#include "win32api.h"

namespace tav::win {

namespace {

detail::HandleTable<HICON, QIcon> g_icons(0x10000);

// An image file, or an icon of the desktop's theme by name, falling back to
// the theme's generic icon of the same kind ("text-plain" -> "text-x-generic").
QIcon loadIcon(const QString& source) {
    if (QFileInfo(source).isFile()) {
        return QImageReader(source).canRead() ? QIcon(source) : QIcon();
    }
    if (source.isEmpty() || source.contains(QLatin1Char('/'))) {
        return {};
    }
    if (QIcon::hasThemeIcon(source)) {
        return QIcon::fromTheme(source);
    }
    const qsizetype dash = source.indexOf(QLatin1Char('-'));
    const QString generic = source.left(dash) + QStringLiteral("-x-generic");
    if (dash > 0 && QIcon::hasThemeIcon(generic)) {
        return QIcon::fromTheme(generic);
    }
    return {};
}

}  // namespace

HICON ExtractIconA(HINSTANCE, LPCSTR pszExeFileName, UINT nIconIndex) {
    // Icons need the desktop: without a GUI application there are none.
    if (!pszExeFileName || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return nullptr;
    }
    const QIcon icon = loadIcon(QString::fromLocal8Bit(pszExeFileName));
    // Each source holds one icon; index -1 asks how many.
    if (nIconIndex == std::numeric_limits<UINT>::max()) {
        return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(icon.isNull() ? 0 : 1));
    }
    if (icon.isNull() || nIconIndex != 0) {
        return nullptr;
    }
    return g_icons.add(icon);
}

BOOL DestroyIcon(HICON hIcon) {
    return g_icons.remove(hIcon) ? TRUE : FALSE;
}

QIcon iconFromHandle(HICON hIcon) {
    return g_icons.find(hIcon).value_or(QIcon());
}

}  // namespace tav::win
