// Working the window from the keyboard alone and with assistive technology:
// the fields are named after their labels, Enter in a field or on the
// calculate button calculates, and the keypad's decimal key types the
// locale's separator.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "keypaddecimal.h"
#include "tavrin.h"

using namespace tav;

void tavrin::makeAccessible() {
    // A label names its buddy for assistive technology whenever it is asked,
    // so every caption change of the language, mode and staged-model handlers
    // renames the field too. Buttons are named after their captions by Qt.
    Label1->setBuddy(Text1);
    Label2->setBuddy(Text2);
    Label3->setBuddy(Text3);
    Label4->setBuddy(Text4);

    // Return and the keypad's Enter both end in returnPressed.
    for (QLineEdit* input : {Text1, Text2, Text3}) {
        connect(input, &QLineEdit::returnPressed, this, &tavrin::pressCalculate);
    }
    // Enter on the focused button presses it, as Space does.
    Command1->setAutoDefault(true);

    auto* decimalKey = new KeypadDecimal(this);
    for (QLineEdit* input : {Text1, Text2, Text3}) {
        input->installEventFilter(decimalKey);
    }
}

// Enter does what a click on Command1 would do, and nothing while it is
// disabled.
void tavrin::pressCalculate() {
    if (Command1->isEnabled()) {
        Command1->click();
    }
}
