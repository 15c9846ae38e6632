#pragma once

#include <memory>

#include "registrytree.h"

namespace tav::win::detail {

// HKEY_CLASSES_ROOT, answered from the desktop's file-type database:
//
//   .txt                 @ = "text/plain", "Content Type" = "text/plain"
//   text/plain           @ = "plain text document" (in the user's language)
//   text/plain\DefaultIcon  @ = "text-plain,0" (the icon's theme name)
//
// The root lists every extension and type the database knows. An extension
// the database does not know has no key (null). Nothing here can be written.
std::shared_ptr<const RegistryKey> classesRootKey(const QList<QByteArray>& path);

}  // namespace tav::win::detail
