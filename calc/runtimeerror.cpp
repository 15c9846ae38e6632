#include "runtimeerror.h"

#include <utility>

namespace tavrin {

RuntimeError::RuntimeError(int number, QString source, QString description)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)) {
    m_what = QStringLiteral("%1 %2").arg(m_number).arg(this->description()).toUtf8();
}

QString RuntimeError::description(Language language) const {
    return m_description.isEmpty() ? errorDescription(m_number, language) : m_description;
}

}  // namespace tavrin
