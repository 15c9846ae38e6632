#include "inputvalidator.h"

#include <QLineEdit>
#include <algorithm>

namespace tav {

namespace {

// The part of `after` that an edit of `before` inserted, as [start, end).
std::pair<qsizetype, qsizetype> insertedPart(const QString& before, const QString& after) {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype start = 0;
    while (start < shorter && before.at(start) == after.at(start)) {
        ++start;
    }
    qsizetype kept = 0;  // unchanged characters behind the insertion
    while (kept < shorter - start &&
           before.at(before.size() - 1 - kept) == after.at(after.size() - 1 - kept)) {
        ++kept;
    }
    return {start, after.size() - kept};
}

bool isBlank(QChar c) {
    return c.isSpace();
}

}  // namespace

InputValidator::InputValidator(int limit, QLineEdit* field) : QValidator(field), m_limit(limit) {
    connect(field, &QLineEdit::textChanged, this, [this](const QString& text) { m_before = text; });
}

QValidator::State InputValidator::validate(QString& input, int& position) const {
    const auto [start, end] = insertedPart(m_before, input);
    const QStringView inserted = QStringView(input).mid(start, end - start);
    // One character a key can type stays as it is; a tab or a line break
    // alone comes only from a paste.
    const bool typed = inserted.size() == 1 && inserted.front().isPrint();
    if (!inserted.isEmpty() && !typed) {
        qsizetype first = 0;
        qsizetype last = inserted.size();
        while (first < last && isBlank(inserted.at(first))) {
            ++first;
        }
        while (last > first && isBlank(inserted.at(last - 1))) {
            --last;
        }
        if (first == last) {
            return Invalid;  // nothing but blanks and line breaks: nothing to take
        }
        const QString kept = inserted.mid(first, last - first).toString();
        input = input.left(start) + kept + input.mid(end);
        position = int(start + kept.size());
    }
    return input.size() > m_limit ? Invalid : Acceptable;
}

}  // namespace tav
