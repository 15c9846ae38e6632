#pragma once

#include <QString>

#include "language.h"

namespace tav::catalogue {

// Every text the window writes, one table per slot with the four languages.
// Texts are looked up by slot and language, never by comparing what a control
// shows.

// The address after the German and English contact lines.
inline constexpr char kContactAddress[] = "tavrin@example.org";

enum class Slot {
    SaveCaption,       // Check1
    CalculateCaption,  // Command1, normal
    StoreCaption,      // Command1 while the staged model collects rates
    Mode1Caption,      // Option1 .. Option5
    Mode2Caption,
    Mode3Caption,
    Mode4Caption,
    Mode5Caption,
    ContactLine,  // Label5; empty in Italian and French
    // The calculate request's messages.
    ErrorPrefix,
    ErrorTitle,
    TypeMismatchHint,
    YearsLimitPrompt,
    YearsLimitTitle,
};

QString text(Slot slot, Language language);

// Which handler writes the field labels: two cells differ between the mode
// buttons and the language buttons.
enum class Writer { ModeButton, LanguageButton };

// Caption of Label1 .. Label4 (`label` 1..4) for mode 1..5. In mode 4 Label3
// is the first-year label.
QString fieldLabel(int mode, int label, Language language, Writer writer);

// Caption of the language button of `language` (never translated).
QString languageName(Language language);

}  // namespace tav::catalogue
