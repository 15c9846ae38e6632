#pragma once

#include <QIcon>

namespace tavrin {

// The program's icon with every size of the resource (:/icons/tavrin-N.png),
// so the window manager and task bar can pick the size they show.
// Linking tavrin_icon is enough for the resource paths to resolve; this helper
// only saves naming the sizes one by one.
QIcon applicationIcon();

}  // namespace tavrin
