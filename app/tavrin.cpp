#include "tavrin.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "catalogue.h"
#include "clssysdialogs.h"

using namespace tav;

tavrin::tavrin(QWidget* parent) : QWidget(parent) {
    buildControls();
    bindHandlers();
    makeAccessible();
    Form_Load();
}

tavrin::~tavrin() = default;

// Buttons are bound to `clicked`, so a click on the button that is already
// selected runs its handler too, and Check1_Click sees the new state. Text
// changes run their handler at once, also when the text is set from code.
void tavrin::bindHandlers() {
    connect(Option1, &QRadioButton::clicked, this, &tavrin::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &tavrin::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &tavrin::Option3_Click);
    connect(Option4, &QRadioButton::clicked, this, &tavrin::Option4_Click);
    connect(Option5, &QRadioButton::clicked, this, &tavrin::Option5_Click);
    connect(Option6, &QRadioButton::clicked, this, &tavrin::Option6_Click);
    connect(Option7, &QRadioButton::clicked, this, &tavrin::Option7_Click);
    connect(Option8, &QRadioButton::clicked, this, &tavrin::Option8_Click);
    connect(Option9, &QRadioButton::clicked, this, &tavrin::Option9_Click);
    connect(Text1, &QLineEdit::textChanged, this, &tavrin::Text1_Change, Qt::DirectConnection);
    connect(Text2, &QLineEdit::textChanged, this, &tavrin::Text2_Change, Qt::DirectConnection);
    connect(Text3, &QLineEdit::textChanged, this, &tavrin::Text3_Change, Qt::DirectConnection);
    connect(Check1, &QCheckBox::clicked, this, &tavrin::Check1_Click);
    connect(Command1, &QPushButton::clicked, this, &tavrin::Command1_Click);
}

// The start texts in the selected language: the window-wide texts and the
// labels of mode 1. The variables are already zero and the fields empty.
void tavrin::Form_Load() {
    const Language language = currentLanguage();
    writeWindowTexts(language);
    writeModeLabels(1, language, false);
}
