// The calculate button: reading and checking the inputs, the calculation of
// the selected mode, the result, the result file, and the one error handler
// that covers all of it.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "catalogue.h"
#include "errornumbers.h"
#include "interest.h"
#include "investmentperiod.h"
#include "numbertext.h"
#include "ratesearch.h"
#include "resultfile.h"
#include "runtimeerror.h"
#include "stagedmodel.h"
#include "tavrin.h"
#include "yearlabels.h"

using namespace tav;

using catalogue::Slot;

namespace {

// A prompt may name the result file: it is shown as it is, never read as markup.
void showCritical(QWidget* owner, const QString& title, const QString& prompt) {
    QMessageBox box(QMessageBox::Critical, title, prompt, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

void tavrin::Command1_Click() {
    try {
        // Numbers in the desktop's format; the interface language plays no part.
        const QLocale locale;
        const double first = textToNumber(Text1->text(), locale);
        const double second = textToNumber(Text2->text(), locale);
        const double third = textToNumber(Text3->text(), locale);
        if (first <= 0 || second <= 0 || third <= 0) {
            // A rejected rate ends a staged entry under way: the fields are
            // empty now, so it could not go on.
            if (Option4->isChecked()) {
                endStagedEntry();
            }
            ClearFields();
            return;
        }
        Ze = first;
        staged.a = second;
        d = third;

        if (Option4->isChecked() && staged.a > kStagedMaxYears) {
            showYearsLimit();
            ResetState();
            return;
        }

        if (Option1->isChecked() && !(Ze < staged.a)) {
            ResetState();
            ClearFields();
            return;
        }
        if (Option1->isChecked()) {
            const InvestmentPeriod period = investmentPeriod(Ze, staged.a, d);
            e = period.ratio;
            f = period.logGrowth;
            g = period.logRatio;
            Ze = period.years;
            erstes_i = period.months;
            zweites_i = period.days;
            showPeriod(currentLanguage());
            Command1->setEnabled(false);
            WriteResultFile();
        }
        if (Option2->isChecked()) {
            Ze = finalCapital(Ze, staged.a, d, locale);
            Text4->setText(numberToText(Ze, locale));
            ResetState();
            Command1->setEnabled(false);
            WriteResultFile();
        }
        if (Option3->isChecked()) {
            Ze = interestForDays(Ze, staged.a, d, locale);
            Text4->setText(numberToText(Ze, locale));
            ResetState();
            Command1->setEnabled(false);
            WriteResultFile();
        }
        if (Option5->isChecked()) {
            setWaitCursor();
            const RateSearchResult search = searchInterestRate(Ze, staged.a, d, locale);
            e = search.ratio;
            f = search.factor;
            g = search.power;
            Ze = search.rate;
            setDefaultCursor();
            Text4->setText(numberToText(Ze, locale));
            ResetState();
            if (Checktester == 1 && Check1->isChecked()) {
                WriteResultFile();
            }
            Command1->setEnabled(false);
        }
        if (Option4->isChecked()) {
            runStagedPress();
        }
    } catch (const RuntimeError& error) {
        setDefaultCursor();
        const Language language = currentLanguage();
        showError(error.number(), error.number() == ErrorNumber::TypeMismatch
                                      ? catalogue::text(Slot::TypeMismatchHint, language)
                                      : error.description(language));
        ResetState();
        ClearFields();
        // Unlike an entry that completes, one broken off by an error would
        // otherwise leave the fixed inputs locked and empty.
        unlockFixedInputs();
    }
}

// One press in the staged model: store the rate of the year due, compound,
// and either name the next year or show the final capital.
void tavrin::runStagedPress() {
    const QLocale locale;
    const double years = staged.a;
    const StagedPress press = pressStaged(staged, years, Ze, d, locale);
    if (press.outcome == StagedOutcome::NotWholeNumber) {
        ResetState();
        ClearFields();
        return;
    }

    lockFixedInputs();
    if (press.outcome == StagedOutcome::YearsOutOfRange) {
        Command1->setEnabled(false);
        endStagedEntry();
        return;
    }
    if (press.calculateCaption) {
        setCalculateCaption();
    }

    if (press.outcome == StagedOutcome::Completed) {
        Command1->setEnabled(false);
        staged.Zs = press.finalCapital;
        Text4->setText(numberToText(staged.Zs, locale));
        unlockFixedInputs();
        if (Checktester == 1 && Check1->isChecked()) {
            WriteResultFile();
        }
        ResetState();
        return;
    }
    if (staged.c >= 1 && staged.c < kYearLabelRows) {
        Label3->setText(Texte(staged.c));
    }
}

void tavrin::showError(int number, const QString& description) {
    const Language language = currentLanguage();
    showCritical(this, catalogue::text(Slot::ErrorTitle, language),
                 catalogue::text(Slot::ErrorPrefix, language) + QString::number(number) +
                     QLatin1Char(' ') + description);
}

void tavrin::showYearsLimit() {
    const Language language = currentLanguage();
    showCritical(this, catalogue::text(Slot::YearsLimitTitle, language),
                 catalogue::text(Slot::YearsLimitPrompt, language));
}

// Appends the shown calculation to the result file while a file is chosen and
// the save box is ticked. Errors go to the calculate button's handler.
void tavrin::WriteResultFile() {
    if (Checktester != 1 || !Check1->isChecked()) {
        return;
    }
    const QLocale locale;
    const LabeledField first{Label1->text(), Text1->text()};
    const LabeledField second{Label2->text(), Text2->text()};
    const LabeledField result{Label4->text(), Text4->text()};
    QString block;
    if (Option4->isChecked()) {
        // One line per year up to the number in Text2; a number beyond the
        // table makes the block fail on its index instead of running on.
        const double years = textToNumber(Text2->text(), locale);
        const int count = years < 1              ? 0
                          : years > kStagedSlots ? kStagedSlots + 1
                                                 : static_cast<int>(std::floor(years));
        block = composeStagedBlock(
            first, second, count, staged.Stufen_i, staged.Stufen_Zs,
            [this](int index) { return Texte(static_cast<qint16>(index)); }, result, locale);
    } else {
        block = composePlainBlock(first, second, {Label3->text(), Text3->text()}, result);
    }
    appendToFile(strFile, block);
}
