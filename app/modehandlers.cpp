// The mode buttons: each starts its calculation afresh with zeroed state,
// empty fields, the button's caption and the mode's field labels.

#include <QLabel>
#include <QPushButton>

#include "catalogue.h"
#include "tavrin.h"

using namespace tav;

using catalogue::Slot;

void tavrin::setCalculateCaption() {
    Command1->setText(catalogue::text(Slot::CalculateCaption, currentLanguage()));
}

// Modes 1 and 2: fresh state and fields; the button keeps its enabled state
// only once the latch is set.
void tavrin::chooseCalculation(int mode) {
    unlockFixedInputs();
    ResetState();
    setCalculateCaption();
    ClearFields();
    writeModeLabels(mode, currentLanguage(), false);
}

// Modes 3 and 5 set the latch first, and always start with the button off.
void tavrin::chooseLatchedCalculation(int mode) {
    unlockFixedInputs();
    ResetState();
    Textleer = 1;
    ClearFields();
    setCalculateCaption();
    Command1->setEnabled(false);
    writeModeLabels(mode, currentLanguage(), false);
}

void tavrin::Option1_Click() {
    chooseCalculation(1);
}

void tavrin::Option2_Click() {
    chooseCalculation(2);
}

void tavrin::Option3_Click() {
    chooseLatchedCalculation(3);
}

// Choosing the staged model again also abandons an entry under way, and its
// fixed inputs become editable again.
void tavrin::Option4_Click() {
    ResetState();
    Textleer = 1;
    ClearFields();
    Command1->setEnabled(false);
    unlockFixedInputs();
    const Language language = currentLanguage();
    Command1->setText(catalogue::text(Slot::StoreCaption, language));
    writeModeLabels(4, language, false);
}

void tavrin::Option5_Click() {
    chooseLatchedCalculation(5);
}
