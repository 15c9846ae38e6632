#include "yearlabels.h"

#include <array>

namespace tav {

namespace {

// One row per year, German, English, Italian, French. The texts are shown and
// written to result files exactly as they stand, odd spellings included.
// clang-format off
constexpr std::array<std::array<const char*, 4>, kYearLabelRows> kYearLabels = {{
    {"Zinssatz erstes Jahr", "Interest rate first year",
     "Tasso d'interesse del primo anno", "Le tas d'intérêt premier anner"},
    {"Zinssatz zweites Jahr", "Interest rate second year",
     "Tasso d'interesse del secondo anno", "Les tas intérêt des deuxième anner"},
    {"Zinssatz drittes Jahr", "Interest rate third year",
     "Tasso d'interesse del terzo anno", "Les tas intérêt des troisième anner"},
    {"Zinssatz viertes Jahr", "Interest rate fourth year",
     "Tasso d'interesse del quarto anno", "Les tas intérêt des quatrième anner"},
    {"Zinssatz fünftes Jahr", "Interest rate fifth year",
     "Tasso d'interesse del quinto anno", "Les tas intérêt des cinquième anner"},
    {"Zinssatz sechstes Jahr", "Interest rate sixth year",
     "Tasso d'interesse del sesto anno", "Les tas intérêt des sixième anner"},
    {"Zinssatz siebtes Jahr", "Interest rate seventh year",
     "Tasso d'interesse del settimo anno", "Les tas intérêt des septième anner"},
    {"Zinssatz achtes Jahr", "Interest rate eighth year",
     "Tasso d'interesse dell'ottavo anno", "Les tas intérêt des huitième anner"},
    {"Zinssatz neuntes Jahr", "Interest rate ninth year",
     "Tasso d'interesse del nono anno", "Les tas intérêt des neuvième anner"},
    {"Zinssatz zehntes Jahr", "Interest rate tenth year",
     "Tasso d'interesse del decimo anno", "Les tas intérêt des dixième anner"},
    {"Zinssatz elftes Jahr", "Interest rate eleventh year",
     "Tasso d'interesse dell'undicesimo anno", "Les tas intérêt des onzième anner"},
    {"Zinssatz zwölftes Jahr", "Interest rate twelfth year",
     "Tasso d'interesse del dodicesimo anno", "Les tas intérêt des douzième anner"},
    {"Zinssatz dreizehntes Jahr", "Interest rate thirteenth year",
     "Tasso d'interesse del tredicesimo anno", "Les tas intérêt des treizième anner"},
    {"Zinssatz vierzehntes Jahr", "Interest rate fourteenth year",
     "Tasso d'interesse del quattordicesimo anno", "Les tas intérêt des quatorzième anner"},
    {"Zinssatz fünfzehntes Jahr", "Interest rate fifteenth year",
     "Tasso d'interesse del quindicesimo anno", "Les tas intérêt des quinzième anner"},
    {"Zinssatz sechszehntes Jahr", "Interest rate sixteenth year",
     "Tasso d'interesse del sedicesimo anno", "Les tas intérêt des seizième anner"},
    {"Zinssatz siebzehntes Jahr", "Interest rate seventeenth year",
     "Tasso d'interesse del diciassettesimo anno", "Les tas intérêt des dix-septième anner"},
    {"Zinssatz achtzehntes Jahr", "Interest rate eighteenth year",
     "Tasso d'interesse del diciottesimo anno", "Les tas intérêt des dix-huitième anner"},
    {"Zinssatz neunzehntes Jahr", "Interest rate nineteenth year",
     "Tasso d'interesse del diciannovesimo anno", "Les tas intérêt des dix-neuvième anner"},
    {"Zinssatz zwanzigstes Jahr", "Interest rate twentieth year",
     "Tasso d'interesse del ventesimo anno", "Les tas intérêt des vingtième anner"},
    {"Zinssatz einundzwanzigstes Jahr", "Interest rate twenty-first year",
     "Tasso d'interesse anno", "Les tas intérêt des vingt et unième anner"},
}};
// clang-format on

}  // namespace

QString yearRateLabel(int nummer, Language language) {
    if (nummer < 0 || nummer >= kYearLabelRows) {
        return {};
    }
    const auto row = static_cast<std::size_t>(nummer);
    const auto column = static_cast<std::size_t>(language);
    if (column >= kYearLabels[row].size()) {
        return {};
    }
    return QString::fromUtf8(kYearLabels[row][column]);
}

}  // namespace tav
