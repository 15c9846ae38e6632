#pragma once

#include <QIcon>

namespace tav {

// The window's icon: the 16, 32 and 48 pixel PNGs of the resource, the sizes
// title bars and task bars show. The larger ones stay out on purpose: the
// window hands every size of its icon to the window manager at start, and
// with 64 to 256 added that took about 4 ms longer and 0.35 MiB more (start-up
// benchmark); launchers take the large sizes from the installed icon theme.
// The resource (:/icons/tavrin-N.png, N = 16 ... 256) resolves just by linking
// tavrin_icon.
QIcon applicationIcon();

}  // namespace tav
