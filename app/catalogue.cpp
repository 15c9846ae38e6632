#include "catalogue.h"

#include <array>
#include <cstddef>

namespace tav::catalogue {
namespace {

// One text in German, English, Italian and French, the order of Language.
using Translations = std::array<const char*, 4>;

QString pick(const Translations& texts, Language language) {
    return QString::fromUtf8(texts[static_cast<std::size_t>(language)]);
}

const Translations kSave{"Speichern", "Save", "Salva", "Enregistrer"};
const Translations kCalculate{"Rechnen", "Calculate", "Calcolare", "Calculer"};
const Translations kStore{"Zinssatz merken", "Notice interest rate",
                          "Controllare il tasso d'interesse", "Contrôl les tas d´intérêt"};
const Translations kMode1{"Anlagezeit berechnen", "Calculate the invest period in years",
                          "Calcolare la durata dell'investimento in anni",
                          "Calculer le durée des placement en ans"};
const Translations kMode2{"Endkapital nach einigen Jahren berechnen",
                          "Calculate the money you get back in some years",
                          "Calcolare il capitale finale su un periodo di qualche anno",
                          "Calculer le capital final dons une période de quelue année"};
const Translations kMode3{"Zinsen für einige Tage berechnen",
                          "Calculate the interest for some days",
                          "Calcolare il tasso su un periodo di qualche giorno",
                          "Calculer les tas dons un période des quelques jour"};
const Translations kMode4{"Stufenmodel berechnen", "Calculate a varied interest rate",
                          "Tasso d'interesse variabile", "Tas des intérêt variable"};
const Translations kMode5{"Zinssatz berechnen", "Calculate the interest rate",
                          "Calcolare il tasso d'interesse", "Calculer les tas des intérêt"};
const Translations kContact{"Wenn Sie Fragen haben, dann schreiben Sie eine E-Mail an: ",
                            "If you have questions, then write an e-mail to: ", "", ""};
const Translations kErrorPrefix{"Fehler: ", "Error: ", "Errore: ", "Erreur: "};
const Translations kErrorTitle{"Fehlermeldung", "Error message", "Messaggio di errore",
                               "Faus message"};
const Translations kTypeMismatchHint{"Nur Zahlen eingeben, keine Buchstaben eingeben!",
                                     "Only type in numbers, do not type in letters!",
                                     "Inserire solo valori numerici, non lettere!",
                                     "Donner seulement L´addition pas de lettre"};
const Translations kYearsLimitPrompt{"Nur bis 20 Jahre möglich", "Only 20 years possible",
                                     "Solo fino a 20 anni", "Seul jusque `a 20 ans"};
const Translations kYearsLimitTitle{"Fehler", "Error", "Errore", "Erreur"};

const Translations kLanguageNames{"Deutsch", "English", "Italiano", "Français"};

// Field labels that several modes share.
const Translations kStartCapital{"Anfangskapital", "Starting capital", "Capitale iniziale",
                                 "Capital initial"};
const Translations kFinalCapital{"Endkapital", "Money at the end of investment", "Capitale finale",
                                 "Capital final"};
const Translations kFinalCapitalResult{
    "Endkapital:", "Money at the end of investment:", "Capitale finale:", "Capital final:"};
const Translations kRatePercent{"Zinssatz in %", "Interest rate in %", "Tasso d'interesse in %",
                                "Les´ intérêt des tas en %"};
const Translations kPeriodYears{"Anlagezeit in Jahren", "Invest period in years",
                                "Durata dell'investimento in anni",
                                "Le durée des placements en ans"};
const Translations kPeriodYearsResult{
    "Anlagezeit in Jahren:", "Invest period in years:", "Durata dell'investimento in anni:",
    "Le durée des placements en ans:"};
const Translations kPeriodDays{"Anlagezeit in Tagen", "Invest period in days",
                               "Durata dell'investimento in giorni",
                               "Le durée des placements en jour"};
const Translations kInterestByMode{"Zinsen:", "Interest:", "Interesse:", "intérêts:"};
const Translations kInterestByLanguage{
    "Zinsen:", "Interest for some days:", "Interesse:", "intérêts:"};
const Translations kFirstYearByMode{"Zinssatz erstes Jahr", "Interest rate first year",
                                    "Tasso d'interesse del primo anno",
                                    "Les tas intérêt de premier anner"};
const Translations kFirstYearByLanguage{"Zinssatz erstes Jahr", "Interest rate first year",
                                        "Tasso d'interesse del primo anno",
                                        "Le tas d'intérêt premier anner"};
const Translations kRateResult{"Zinssatz in %:", "Interest rate in %:", "Tasso d'interesse in %:",
                               "Les´ intérêt des tas en %:"};
const Translations kNone{"", "", "", ""};

const Translations& slotTexts(Slot slot) {
    switch (slot) {
        case Slot::SaveCaption:
            return kSave;
        case Slot::CalculateCaption:
            return kCalculate;
        case Slot::StoreCaption:
            return kStore;
        case Slot::Mode1Caption:
            return kMode1;
        case Slot::Mode2Caption:
            return kMode2;
        case Slot::Mode3Caption:
            return kMode3;
        case Slot::Mode4Caption:
            return kMode4;
        case Slot::Mode5Caption:
            return kMode5;
        case Slot::ContactLine:
            return kContact;
        case Slot::ErrorPrefix:
            return kErrorPrefix;
        case Slot::ErrorTitle:
            return kErrorTitle;
        case Slot::TypeMismatchHint:
            return kTypeMismatchHint;
        case Slot::YearsLimitPrompt:
            return kYearsLimitPrompt;
        case Slot::YearsLimitTitle:
            return kYearsLimitTitle;
    }
    return kNone;
}

// Rows: modes 1 to 5; columns: Label1 to Label4, as the mode buttons write them.
const std::array<std::array<const Translations*, 4>, 5> kFieldLabels{{
    {&kStartCapital, &kFinalCapital, &kRatePercent, &kPeriodYearsResult},
    {&kStartCapital, &kRatePercent, &kPeriodYears, &kFinalCapitalResult},
    {&kStartCapital, &kRatePercent, &kPeriodDays, &kInterestByMode},
    {&kStartCapital, &kPeriodYears, &kFirstYearByMode, &kFinalCapitalResult},
    {&kStartCapital, &kFinalCapital, &kPeriodYears, &kRateResult},
}};

const Translations& labelTexts(int mode, int label, Writer writer) {
    if (mode < 1 || mode > 5 || label < 1 || label > 4) {
        return kNone;
    }
    if (writer == Writer::LanguageButton) {
        if (mode == 3 && label == 4) {
            return kInterestByLanguage;
        }
        if (mode == 4 && label == 3) {
            return kFirstYearByLanguage;
        }
    }
    return *kFieldLabels[static_cast<std::size_t>(mode - 1)][static_cast<std::size_t>(label - 1)];
}

}  // namespace

QString text(Slot slot, Language language) {
    QString result = pick(slotTexts(slot), language);
    if (slot == Slot::ContactLine && !result.isEmpty()) {
        result += QLatin1String(kContactAddress);
    }
    return result;
}

QString fieldLabel(int mode, int label, Language language, Writer writer) {
    return pick(labelTexts(mode, label, writer), language);
}

QString languageName(Language language) {
    return pick(kLanguageNames, language);
}

}  // namespace tav::catalogue
