#include "resultfile.h"

#include <QDir>
#include <QStringEncoder>
#include <algorithm>

#include "appendhandle.h"
#include "errornumbers.h"
#include "numbertext.h"
#include "runtimeerror.h"

namespace tav {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// Label, rate and capital share this many columns; the padding between rate
// and capital fills what they leave, so that the capitals line up.
constexpr qsizetype kYearLineColumns = 55;

QString fieldLine(const LabeledField& field) {
    return field.caption + QStringLiteral(": ") + field.text + kLineEnd;
}

QString resultLine(const LabeledField& result) {
    return result.caption + u' ' + result.text + kLineEnd;
}

[[noreturn]] void raiseFileError(int number, const QString& path) {
    RuntimeError error(number, QStringLiteral("appendToFile"));
    error.setDetail(QDir::toNativeSeparators(path));
    throw error;
}

}  // namespace

QString composePlainBlock(const LabeledField& first, const LabeledField& second,
                          const LabeledField& third, const LabeledField& result) {
    return kLineEnd + fieldLine(first) + fieldLine(second) + fieldLine(third) + resultLine(result);
}

QString stagedYearLine(const QString& label, double ratePercent, double capital,
                       const QLocale& locale) {
    const QString rate = formatPattern(ratePercent, Pattern::FiveDecimals, locale);
    const QString amount = formatPattern(capital, Pattern::Cents, locale);
    // Labels too long for the column get no padding rather than a negative one.
    const qsizetype padding =
        std::max<qsizetype>(0, kYearLineColumns - (label.size() + rate.size() + amount.size()));
    return label + QStringLiteral(": ") + rate + QStringLiteral("  ") + QString(padding, u' ') +
           u'(' + amount + u')';
}

QString composeStagedBlock(const LabeledField& first, const LabeledField& second, int years,
                           const StagedArray& rates, const StagedArray& capitals,
                           const std::function<QString(int)>& yearLabel, const LabeledField& result,
                           const QLocale& locale) {
    QString block = kLineEnd + fieldLine(first) + fieldLine(second);
    for (int year = 1; year <= years; ++year) {
        const int index = year - 1;
        if (index >= kStagedSlots) {
            throw RuntimeError(ErrorNumber::SubscriptOutOfRange,
                               QStringLiteral("composeStagedBlock"));
        }
        const auto slot = static_cast<std::size_t>(index);
        block += stagedYearLine(yearLabel(index), rates[slot], capitals[slot], locale) + kLineEnd;
    }
    return block + resultLine(result);
}

void appendToFile(const QString& path, const QString& block) {
    if (path.isEmpty()) {
        raiseFileError(ErrorNumber::BadFileName, path);
    }
    QStringEncoder encoder(QStringConverter::System);
    const QByteArray bytes = encoder.encode(block);
    const auto check = [&path](int number) {
        if (number != 0) {
            raiseFileError(number, path);
        }
    };

    // The file closes when it goes out of scope, on the error paths too.
    AppendHandle file;
    check(file.open(path));
    // Another window may append to the same file; from the size taken below
    // to the take-back it has to wait, so that only this block is taken back.
    check(file.lock());
    // A block that cannot be written whole is taken back, so that the file
    // holds only whole blocks (a full disk may accept part of one).
    const qint64 sizeBefore = file.size();
    if (const int number = file.write(bytes)) {
        file.truncate(sizeBefore);
        raiseFileError(number, path);
    }
    check(file.close());
}

}  // namespace tav
