#include "variant.h"

#include <limits>

#include "errornumbers.h"
#include "runtimeerror.h"

namespace tav {

Variant Variant::missing() {
    Variant value;
    value.m_value = MissingMarker{};
    return value;
}

QString Variant::toText() const {
    switch (kind()) {
        case Kind::Empty:
            return {};
        case Kind::Text:
            return std::get<QString>(m_value);
        case Kind::Integer:
            return QString::number(std::get<qint32>(m_value));
        default:
            throw RuntimeError(ErrorNumber::TypeMismatch);
    }
}

qint32 Variant::toInt32() const {
    switch (kind()) {
        case Kind::Empty:
            return 0;
        case Kind::Integer:
            return std::get<qint32>(m_value);
        case Kind::Text: {
            const QString text = std::get<QString>(m_value).trimmed();
            qsizetype digits =
                text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'));
            if (digits == text.size()) {
                throw RuntimeError(ErrorNumber::TypeMismatch);
            }
            for (qsizetype i = digits; i < text.size(); ++i) {
                if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) {
                    throw RuntimeError(ErrorNumber::TypeMismatch);
                }
            }
            bool ok = false;
            const qlonglong number = text.toLongLong(&ok);
            if (!ok || number < std::numeric_limits<qint32>::min() ||
                number > std::numeric_limits<qint32>::max()) {
                throw RuntimeError(ErrorNumber::Overflow);
            }
            return static_cast<qint32>(number);
        }
        default:
            throw RuntimeError(ErrorNumber::TypeMismatch);
    }
}

QStringList Variant::toTextArray() const {
    if (kind() != Kind::TextArray) {
        throw RuntimeError(ErrorNumber::TypeMismatch);
    }
    return std::get<QStringList>(m_value);
}

Variant::TextTable Variant::toTextTable() const {
    if (kind() != Kind::TextTable) {
        throw RuntimeError(ErrorNumber::TypeMismatch);
    }
    return std::get<TextTable>(m_value);
}

QString describe(const Variant& value) {
    const auto quote = [](const QString& text) {
        QString shown = text;
        shown.replace(QChar(0), QStringLiteral("\\0"));
        return QLatin1Char('"') + shown + QLatin1Char('"');
    };
    switch (value.kind()) {
        case Variant::Kind::Empty:
            return QStringLiteral("Empty");
        case Variant::Kind::Missing:
            return QStringLiteral("Missing");
        case Variant::Kind::Text:
            return QStringLiteral("Text(%1)").arg(quote(value.toText()));
        case Variant::Kind::Integer:
            return QStringLiteral("Integer(%1)").arg(value.toInt32());
        case Variant::Kind::TextArray: {
            QStringList items;
            for (const QString& item : value.toTextArray()) {
                items.append(quote(item));
            }
            return QStringLiteral("TextArray(%1)").arg(items.join(QStringLiteral(", ")));
        }
        case Variant::Kind::TextTable: {
            QStringList rows;
            for (const Variant::TextRow& row : value.toTextTable()) {
                rows.append(QStringLiteral("[%1, %2]").arg(quote(row[0]), quote(row[1])));
            }
            return QStringLiteral("TextTable(%1)").arg(rows.join(QStringLiteral(", ")));
        }
    }
    return {};
}

}  // namespace tav
