#include "applicationicon.h"

#include <QString>
#include <array>

namespace tav {

QIcon applicationIcon() {
    static constexpr std::array sizes{16, 32, 48};
    QIcon icon;
    for (const int size : sizes) {
        icon.addFile(QStringLiteral(":/icons/tavrin-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace tav
