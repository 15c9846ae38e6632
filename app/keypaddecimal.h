#pragma once

#include <QObject>

namespace tav {

// Makes the numeric keypad's decimal key type the decimal separator of the
// desktop's locale in the fields it watches. Keyboard layouts disagree about
// that key (a period on some, a comma on others), while the numbers are read
// in the locale's format, so a German user would otherwise get "2.5" where
// "2,5" is meant. Other keys, and the period and comma of the main keyboard,
// pass unchanged.
class KeypadDecimal : public QObject {
    Q_OBJECT

public:
    explicit KeypadDecimal(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tav
