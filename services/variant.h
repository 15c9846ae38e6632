#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <array>
#include <variant>

namespace tav {

// The values the service classes take and give where one argument or result
// can be of several kinds: empty, text, a 32-bit integer, an array of texts
// (indexed from 0), a table of texts with two columns, or the marker for an
// optional argument the caller left out, which is not empty.
class Variant {
public:
    enum class Kind { Empty, Text, Integer, TextArray, TextTable, Missing };
    using TextRow = std::array<QString, 2>;
    using TextTable = QList<TextRow>;

    Variant() = default;
    Variant(const QString& text) : m_value(text) {}
    Variant(const char* text) : m_value(QString::fromUtf8(text)) {}
    Variant(qint32 number) : m_value(number) {}
    Variant(const QStringList& texts) : m_value(texts) {}
    Variant(const TextTable& rows) : m_value(rows) {}
    Variant(bool) = delete;  // not one of the kinds; would else become an integer

    static Variant missing();

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool isEmpty() const { return kind() == Kind::Empty; }
    bool isMissing() const { return kind() == Kind::Missing; }

    // Conversions raise RuntimeError 13 (type mismatch) for a kind that does
    // not convert, and 6 (overflow) for a number beyond 32 bits.
    // Empty gives empty text, a number its decimal digits.
    QString toText() const;
    // Empty gives 0; text must hold a whole number (blanks around it allowed).
    qint32 toInt32() const;
    QStringList toTextArray() const;
    TextTable toTextTable() const;

    bool operator==(const Variant& other) const = default;

private:
    struct MissingMarker {
        bool operator==(const MissingMarker&) const = default;
    };
    std::variant<std::monostate, QString, qint32, QStringList, TextTable, MissingMarker> m_value;
};

// Readable form for test failures and logs, e.g. Text("abc") or TextArray("a", "b").
QString describe(const Variant& value);

}  // namespace tav

Q_DECLARE_METATYPE(tav::Variant)
