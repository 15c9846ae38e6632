#include "runtimeerror.h"

#include <utility>

namespace tav {

RuntimeError::RuntimeError(int number, QString source, QString description)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)) {
    m_what = QStringLiteral("%1 %2").arg(m_number).arg(this->description()).toUtf8();
}

QString RuntimeError::description(Language language) const {
    const QString text =
        m_description.isEmpty() ? errorDescription(m_number, language) : m_description;
    return m_detail.isEmpty() ? text : text + QStringLiteral(": ") + m_detail;
}

void RuntimeError::setDetail(const QString& detail) {
    m_detail = detail;
    m_what = QStringLiteral("%1 %2").arg(m_number).arg(description()).toUtf8();
}

}  // namespace tav
