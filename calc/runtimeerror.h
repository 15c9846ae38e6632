#pragma once

#include <QString>
#include <exception>

#include "language.h"

namespace tav {

// The one error type of the program: a number, the routine that raised it
// (its source) and a description. Errors of the calculations leave the
// description empty; it is then looked up for the number in the language the
// user reads at the moment the message is shown.
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(int number, QString source = {}, QString description = {});

    int number() const { return m_number; }
    const QString& source() const { return m_source; }
    void setSource(const QString& source) { m_source = source; }

    // The stored description, or the standard one for the number in `language`;
    // followed by ": " and the detail when there is one.
    QString description(Language language = Language::English) const;
    bool hasOwnDescription() const { return !m_description.isEmpty(); }

    // What the error concerns in any language, such as the path of a file.
    const QString& detail() const { return m_detail; }
    void setDetail(const QString& detail);

    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_source;
    QString m_description;
    QString m_detail;
    QByteArray m_what;
};

// The standard description of an error number in a language; numbers the
// program does not know get a generic text.
QString errorDescription(int number, Language language);

}  // namespace tav
