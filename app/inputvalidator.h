#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

namespace tav {

// What an edit may put into an input field.
//
// A text pasted, dropped or otherwise inserted in one piece loses the blanks,
// tabs and line breaks around it: a spreadsheet cell arrives as "1000\r\n",
// and the line break would otherwise reach the result file. Inside the text
// they stay, so that the calculation refuses them like any other character
// that is not part of a number. A single typed character is taken as it is.
//
// The field stays at most `limit` characters long, counted after that: an
// edit that would make it longer is refused whole. The field's own length
// limit would cut such a text to fit instead, so that a pasted 12345678901234
// became 1234567890123, a tenth of the amount, without notice. A refused
// edit leaves the field's text as it was and reports no change.
class InputValidator : public QValidator {
    Q_OBJECT

public:
    InputValidator(int limit, QLineEdit* field);

    State validate(QString& input, int& position) const override;

private:
    int m_limit;
    // The field's text before the edit being validated: the validator sees
    // only the text after it.
    QString m_before;
};

}  // namespace tav
