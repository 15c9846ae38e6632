#pragma once

#include <QByteArray>
#include <QString>

#include "registrytree.h"

namespace tav::win::detail {

// The text form of the user's registry: one "[key\path]" line per key,
// followed by its values, one per line, in a form close to the registry
// editor's export files:
//
//   [Software\tavrin\Options]
//   @="text of the default value"
//   "Name"="text"                      REG_SZ
//   "Path"=expand_sz:"%HOME%/x"        REG_EXPAND_SZ
//   "List"=multi_sz:"a","b"            REG_MULTI_SZ
//   "Count"=dword:0000002a             REG_DWORD
//   "Blob"=hex:00,7f,ff                REG_BINARY
//   "Other"=hex(b):01,02               any other type, or data that does not
//                                      fit the readable forms
//
// Quoted text escapes \\, \" and other bytes as \xHH; key paths escape "%"
// and control bytes as %HH. Everything round-trips byte for byte. Lines
// starting with ";" or "#" are comments.

QByteArray serializeRegistry(const RegistryKey& root);

// Fills `root` from `text`; on a malformed line returns false and says why
// in `error` ("line 3: ...").
bool parseRegistry(const QByteArray& text, RegistryKey& root, QString& error);

}  // namespace tav::win::detail
