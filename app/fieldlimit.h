#pragma once

#include <QValidator>

namespace tav {

// Keeps an input field at most `limit` characters long by refusing, whole,
// any edit that would make it longer: a fourteenth typed character, and just
// as much a pasted, dropped or inserted text that does not fit. The field's
// own length limit would cut such a text to fit instead, so that a pasted
// 12345678901234 became 1234567890123, a tenth of the amount, without notice.
// A refused edit leaves the field's text as it was and reports no change.
class FieldLimit : public QValidator {
    Q_OBJECT

public:
    FieldLimit(int limit, QObject* parent);

    State validate(QString& input, int& position) const override;

private:
    int m_limit;
};

}  // namespace tav
