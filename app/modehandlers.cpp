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

void tavrin::Option1_Click() {
    unlockFixedInputs();
    ResetState();
    setCalculateCaption();
    ClearFields();
    writeModeLabels(1, currentLanguage(), false);
}

void tavrin::Option2_Click() {
    unlockFixedInputs();
    ResetState();
    setCalculateCaption();
    ClearFields();
    writeModeLabels(2, currentLanguage(), false);
}

void tavrin::Option3_Click() {
    unlockFixedInputs();
    ResetState();
    Textleer = 1;
    ClearFields();
    setCalculateCaption();
    Command1->setEnabled(false);
    writeModeLabels(3, currentLanguage(), false);
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
    unlockFixedInputs();
    ResetState();
    Textleer = 1;
    ClearFields();
    setCalculateCaption();
    Command1->setEnabled(false);
    writeModeLabels(5, currentLanguage(), false);
}
