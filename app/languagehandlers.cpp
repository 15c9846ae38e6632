// The language buttons: every caption and label in the chosen language, a
// shown investment period translated, the staged model's captions for the
// year being entered. A language change never resets a calculation.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include "catalogue.h"
#include "investmentperiod.h"
#include "statusline.h"
#include "tavrin.h"
#include "yearlabels.h"

using namespace tav;

using catalogue::Slot;

Language tavrin::currentLanguage() const {
    if (Option6->isChecked()) {
        return Language::German;
    }
    if (Option7->isChecked()) {
        return Language::English;
    }
    if (Option8->isChecked()) {
        return Language::Italian;
    }
    if (Option9->isChecked()) {
        return Language::French;
    }
    return Language::English;
}

QString tavrin::Texte(qint16 Nummer) const {
    if (Nummer < 0 || Nummer >= kYearLabelRows) {
        return QString();
    }
    return yearRateLabel(Nummer, currentLanguage());
}

void tavrin::Option6_Click() {
    applyLanguage();
}

void tavrin::Option7_Click() {
    applyLanguage();
}

void tavrin::Option8_Click() {
    applyLanguage();
}

void tavrin::Option9_Click() {
    applyLanguage();
}

// The texts every language change and the start write: the save box, the
// status line, the calculate caption and the mode buttons.
void tavrin::writeWindowTexts(Language language) {
    Check1->setText(catalogue::text(Slot::SaveCaption, language));
    Label5->setStatus(catalogue::text(Slot::ContactLine, language));
    Command1->setText(catalogue::text(Slot::CalculateCaption, language));
    Option1->setText(catalogue::text(Slot::Mode1Caption, language));
    Option2->setText(catalogue::text(Slot::Mode2Caption, language));
    Option3->setText(catalogue::text(Slot::Mode3Caption, language));
    Option4->setText(catalogue::text(Slot::Mode4Caption, language));
    Option5->setText(catalogue::text(Slot::Mode5Caption, language));
}

void tavrin::writeModeLabels(int mode, Language language, bool byLanguageButton) {
    const auto writer =
        byLanguageButton ? catalogue::Writer::LanguageButton : catalogue::Writer::ModeButton;
    Label1->setText(catalogue::fieldLabel(mode, 1, language, writer));
    Label2->setText(catalogue::fieldLabel(mode, 2, language, writer));
    Label3->setText(catalogue::fieldLabel(mode, 3, language, writer));
    Label4->setText(catalogue::fieldLabel(mode, 4, language, writer));
}

// The investment-period result of the stored numbers, in `language`. French
// has no month and day words of its own: its text uses fixed ones.
void tavrin::showPeriod(Language language) {
    const UnitWords words = unitWords(language, Ze, erstes_i, zweites_i);
    Jahre = words.years;
    if (language != Language::French) {
        Monate = words.months;
        Tage = words.days;
    }
    Text4->setText(periodText(language, Ze, erstes_i, zweites_i, QLocale()));
}

void tavrin::applyLanguage() {
    const Language language = currentLanguage();
    writeWindowTexts(language);

    // Staged model: the store caption and the first-year label unless the
    // last year is due; then the label of the year being entered.
    const bool stagedMode = Option4->isChecked();
    if (stagedMode && static_cast<double>(staged.c + 1) != staged.a) {
        Command1->setText(catalogue::text(Slot::StoreCaption, language));
        writeModeLabels(4, language, true);
    }
    if (stagedMode && staged.c != 0) {
        const auto writer = catalogue::Writer::LanguageButton;
        Label1->setText(catalogue::fieldLabel(4, 1, language, writer));
        Label2->setText(catalogue::fieldLabel(4, 2, language, writer));
        Label4->setText(catalogue::fieldLabel(4, 4, language, writer));
        if (staged.c >= 0 && staged.c < kYearLabelRows) {
            Label3->setText(Texte(staged.c));
        }
    }

    if (Option1->isChecked() && !Text4->text().isEmpty()) {
        showPeriod(language);
    }

    if (Option1->isChecked()) {
        writeModeLabels(1, language, true);
    }
    if (Option2->isChecked()) {
        writeModeLabels(2, language, true);
    }
    if (Option3->isChecked()) {
        writeModeLabels(3, language, true);
    }
    if (Option5->isChecked()) {
        writeModeLabels(5, language, true);
    }
}
