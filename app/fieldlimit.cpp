#include "fieldlimit.h"

namespace tav {

FieldLimit::FieldLimit(int limit, QObject* parent) : QValidator(parent), m_limit(limit) {}

QValidator::State FieldLimit::validate(QString& input, int&) const {
    return input.size() > m_limit ? Invalid : Acceptable;
}

}  // namespace tav
