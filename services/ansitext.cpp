#include "ansitext.h"

#include <algorithm>

#include "errornumbers.h"
#include "runtimeerror.h"

namespace tav {

QByteArray bytesFromText(const QString& text) {
    // A character that is not one byte cannot be written as one; silently
    // writing "?" would store other data than the caller's.
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; })) {
        throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    }
    return text.toLatin1();
}

}  // namespace tav
