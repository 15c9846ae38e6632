#pragma once

#include <QLocale>
#include <QString>
#include <functional>

#include "stagedmodel.h"

namespace tav {

// Composing the blocks of the result file and appending them. A block starts
// with an empty line; every line ends with CR LF.

struct LabeledField {
    QString caption;  // the label's caption as the window shows it
    QString text;     // the field's text as the window shows it
};

// "caption1: text1", "caption2: text2", "caption3: text3", and the result line
// "caption4 text4" (the result captions end with their own colon).
QString composePlainBlock(const LabeledField& first, const LabeledField& second,
                          const LabeledField& third, const LabeledField& result);

// One year of the staged block: label, ":", blank, the rate with five
// decimals, two blanks, padding, "(", the capital in cents, ")". Padded to 61
// characters when label, rate and capital together take at most 55; beyond
// that only the two fixed blanks. Without the line end.
QString stagedYearLine(const QString& label, double ratePercent, double capital,
                       const QLocale& locale);

// The staged block: the first two fields, one year line for each year 1 to
// `years` (labels from `yearLabel(index)`), then the result line. Raises
// SubscriptOutOfRange when a year index leaves 0..20.
QString composeStagedBlock(const LabeledField& first, const LabeledField& second, int years,
                           const StagedArray& rates, const StagedArray& capitals,
                           const std::function<QString(int)>& yearLabel, const LabeledField& result,
                           const QLocale& locale);

// Appends `block` to the file at `path` (created when missing, never
// truncated) in the desktop's 8-bit encoding, written at once and closed on
// every path. A path that cannot be opened or written raises an error with
// a file error number; a later call works normally once the cause is gone.
// A block that fails halfway is taken back; other windows appending to the
// same file wait meanwhile, so their blocks stay. Neither a pipe nor a file
// size limit makes the call wait for long or end the program.
void appendToFile(const QString& path, const QString& block);

}  // namespace tav
