#include "registryfile.h"

#include <QHash>

#include <QStringDecoder>
#include <algorithm>
#include <optional>

namespace tav::win::detail {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

bool isValidUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void appendHexByte(QByteArray& out, unsigned char byte) {
    out.append(kHexDigits[byte >> 4]);
    out.append(kHexDigits[byte & 0xF]);
}

QByteArray quoted(QByteArrayView bytes) {
    const bool utf8 = isValidUtf8(bytes);
    QByteArray out("\"");
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out.append('\\').append(c);
        } else if (byte < 0x20 || byte == 0x7F || (byte >= 0x80 && !utf8)) {
            out.append("\\x");
            appendHexByte(out, byte);
        } else {
            out.append(c);
        }
    }
    out.append('"');
    return out;
}

QByteArray escapedKeyName(QByteArrayView bytes) {
    const bool utf8 = isValidUtf8(bytes);
    QByteArray out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '%' || byte < 0x20 || byte == 0x7F || (byte >= 0x80 && !utf8)) {
            out.append('%');
            appendHexByte(out, byte);
        } else {
            out.append(c);
        }
    }
    return out;
}

QByteArray hexList(QByteArrayView bytes) {
    QByteArray out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            out.append(',');
        }
        appendHexByte(out, static_cast<unsigned char>(bytes[i]));
    }
    return out;
}

// The items of a REG_MULTI_SZ value when its data is exactly what writing
// them back gives: each item followed by a NUL, then one more NUL.
std::optional<QList<QByteArray>> multiStringItems(const QByteArray& data) {
    if (data.isEmpty() || !data.endsWith('\0')) {
        return std::nullopt;
    }
    const QByteArray body = data.chopped(1);
    if (body.isEmpty()) {
        return QList<QByteArray>{};
    }
    if (!body.endsWith('\0')) {
        return std::nullopt;
    }
    return body.chopped(1).split('\0');
}

QByteArray valueData(const RegistryValue& value) {
    const QByteArray& data = value.data;
    switch (value.type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            if (data.endsWith('\0')) {
                const QByteArray text = quoted(QByteArrayView(data).chopped(1));
                return value.type == REG_SZ ? text : "expand_sz:" + text;
            }
            break;
        case REG_MULTI_SZ:
            if (const auto items = multiStringItems(data)) {
                QByteArray out("multi_sz:");
                for (qsizetype i = 0; i < items->size(); ++i) {
                    out.append(i > 0 ? "," : "").append(quoted(items->at(i)));
                }
                return out;
            }
            break;
        case REG_DWORD:
            if (data.size() == 4) {
                QByteArray digits("dword:");
                for (int i = 3; i >= 0; --i) {
                    appendHexByte(digits, static_cast<unsigned char>(data[i]));
                }
                return digits;
            }
            break;
        case REG_BINARY:
            return "hex:" + hexList(data);
        default:
            break;
    }
    return "hex(" + QByteArray::number(value.type, 16) + "):" + hexList(data);
}

void writeKey(QByteArray& out, const RegistryKey& key, const QByteArray& path, bool isRoot) {
    // A key with subkeys and no values is implied by its subkeys.
    if (!key.values.isEmpty() || (key.subkeys.empty() && !isRoot)) {
        out.append("\n[").append(path).append("]\n");
        for (const RegistryValue& value : key.values) {
            out.append(value.name.isEmpty() ? QByteArray("@") : quoted(value.name))
                .append('=')
                .append(valueData(value))
                .append('\n');
        }
    }
    for (const RegistryKey& subkey : key.subkeys) {
        const QByteArray name = escapedKeyName(subkey.name);
        writeKey(out, subkey, isRoot ? name : path + '\\' + name, false);
    }
}

// Reads what a line holds from a position on; each step reports failure
// through `error` and leaves the position after what it read.
class LineReader {
public:
    explicit LineReader(QByteArrayView line) : m_line(line) {}

    bool atEnd() const { return m_pos >= m_line.size(); }
    void skipBlanks() {
        while (!atEnd() && (m_line[m_pos] == ' ' || m_line[m_pos] == '\t')) {
            ++m_pos;
        }
    }
    bool take(char c) {
        if (!atEnd() && m_line[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool takeWord(QByteArrayView word) {
        if (m_line.sliced(m_pos).startsWith(word)) {
            m_pos += word.size();
            return true;
        }
        return false;
    }
    QByteArrayView rest() const { return m_line.sliced(m_pos); }
    void skip(qsizetype count) { m_pos = std::min(m_pos + count, m_line.size()); }

    std::optional<QByteArray> quotedText(QString& error) {
        if (!take('"')) {
            error = QStringLiteral("a quoted text was expected");
            return std::nullopt;
        }
        QByteArray out;
        while (!atEnd()) {
            const char c = m_line[m_pos++];
            if (c == '"') {
                return out;
            }
            if (c != '\\') {
                out.append(c);
                continue;
            }
            if (atEnd()) {
                break;
            }
            const char escaped = m_line[m_pos++];
            if (escaped == '\\' || escaped == '"') {
                out.append(escaped);
            } else if (escaped == 'x') {
                const auto byte = hexByte();
                if (!byte) {
                    error = QStringLiteral("\\x must be followed by two hex digits");
                    return std::nullopt;
                }
                out.append(static_cast<char>(*byte));
            } else {
                error = QStringLiteral("unknown escape \\%1").arg(QLatin1Char(escaped));
                return std::nullopt;
            }
        }
        error = QStringLiteral("a quoted text is not closed");
        return std::nullopt;
    }

    std::optional<unsigned char> hexByte() {
        if (m_pos + 2 > m_line.size()) {
            return std::nullopt;
        }
        const int high = hexDigit(m_line[m_pos]);
        const int low = hexDigit(m_line[m_pos + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        m_pos += 2;
        return static_cast<unsigned char>(high * 16 + low);
    }

    std::optional<QByteArray> hexBytes(QString& error) {
        QByteArray out;
        if (atEnd()) {
            return out;
        }
        do {
            const auto byte = hexByte();
            if (!byte) {
                error = QStringLiteral("hex data must be two-digit bytes separated by commas");
                return std::nullopt;
            }
            out.append(static_cast<char>(*byte));
        } while (take(','));
        if (!atEnd()) {
            error = QStringLiteral("unexpected text after the hex data");
            return std::nullopt;
        }
        return out;
    }

private:
    QByteArrayView m_line;
    qsizetype m_pos = 0;
};

std::optional<QByteArray> unescapedKeyName(QByteArrayView text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.append(text[i]);
            continue;
        }
        LineReader reader(text.sliced(i + 1));
        const auto byte = reader.hexByte();
        if (!byte) {
            return std::nullopt;
        }
        out.append(static_cast<char>(*byte));
        i += 2;
    }
    return out;
}

// The value's name before "=": a quoted text, or @ for the default value.
std::optional<QByteArray> valueName(LineReader& reader, QString& error) {
    if (reader.take('@')) {
        return QByteArray();
    }
    auto name = reader.quotedText(error);
    if (name && name->isEmpty()) {
        error = QStringLiteral("the default value is written as @");
        return std::nullopt;
    }
    return name;
}

// A quoted text, stored with its terminating NUL.
std::optional<QByteArray> stringData(LineReader& reader, QString& error) {
    auto data = reader.quotedText(error);
    if (data) {
        data->append('\0');
    }
    return data;
}

// Quoted texts separated by commas, stored each with its NUL and one more
// NUL at the end.
std::optional<QByteArray> multiStringData(LineReader& reader, QString& error) {
    QByteArray data;
    while (!reader.atEnd()) {
        const auto item = reader.quotedText(error);
        if (!item) {
            return std::nullopt;
        }
        data.append(*item).append('\0');
        reader.skipBlanks();
        if (!reader.take(',')) {
            break;
        }
        reader.skipBlanks();
    }
    data.append('\0');
    return data;
}

// Eight hex digits, most significant first; stored low byte first.
std::optional<QByteArray> dwordData(LineReader& reader, QString& error) {
    QByteArray number(4, '\0');
    for (int i = 3; i >= 0; --i) {
        const auto byte = reader.hexByte();
        if (!byte) {
            error = QStringLiteral("dword: must be followed by eight hex digits");
            return std::nullopt;
        }
        number[i] = static_cast<char>(*byte);
    }
    return number;
}

// After "hex(": the type number in hex, "):" and the bytes.
std::optional<QByteArray> typedHexData(LineReader& reader, DWORD& type, QString& error) {
    bool ok = false;
    const QByteArrayView rest = reader.rest();
    const qsizetype close = rest.indexOf(')');
    if (close > 0) {
        type = QByteArray(rest.data(), close).toUInt(&ok, 16);
    }
    if (!ok || !rest.sliced(close + 1).startsWith(':')) {
        error = QStringLiteral("hex( must be followed by a hex type number, \")\" and \":\"");
        return std::nullopt;
    }
    reader.skip(close + 2);
    return reader.hexBytes(error);
}

// The data after "=", its prefix naming the type.
std::optional<QByteArray> valueData(LineReader& reader, DWORD& type, QString& error) {
    const bool expandable = reader.takeWord("expand_sz:");
    if (expandable || reader.rest().startsWith('"')) {
        type = expandable ? REG_EXPAND_SZ : REG_SZ;
        return stringData(reader, error);
    }
    if (reader.takeWord("multi_sz:")) {
        type = REG_MULTI_SZ;
        return multiStringData(reader, error);
    }
    if (reader.takeWord("dword:")) {
        type = REG_DWORD;
        return dwordData(reader, error);
    }
    if (reader.takeWord("hex:")) {
        type = REG_BINARY;
        return reader.hexBytes(error);
    }
    if (reader.takeWord("hex(")) {
        return typedHexData(reader, type, error);
    }
    error = QStringLiteral("the value's data is not understood");
    return std::nullopt;
}

// name=data, the name quoted or @, blanks allowed around "=".
std::optional<RegistryValue> parseValueLine(QByteArrayView line, QString& error) {
    LineReader reader(line);
    RegistryValue value;
    const auto name = valueName(reader, error);
    if (!name) {
        return std::nullopt;
    }
    value.name = *name;
    reader.skipBlanks();
    if (!reader.take('=')) {
        error = QStringLiteral("\"=\" was expected after the value's name");
        return std::nullopt;
    }
    reader.skipBlanks();
    const auto data = valueData(reader, value.type, error);
    if (!data) {
        return std::nullopt;
    }
    if (!reader.atEnd()) {
        error = QStringLiteral("unexpected text after the value");
        return std::nullopt;
    }
    value.data = *data;
    return value;
}

}  // namespace

QByteArray serializeRegistry(const RegistryKey& root) {
    QByteArray out(
        "; tavrin settings (HKEY_CURRENT_USER). Written by the program; edit only while it is not "
        "running.\n");
    writeKey(out, root, QByteArray(), true);
    return out;
}

bool parseRegistry(const QByteArray& text, RegistryKey& root, QString& error) {
    QByteArrayView all(text);
    if (all.startsWith("\xEF\xBB\xBF")) {
        all = all.sliced(3);
    }
    RegistryKey* current = nullptr;
    // The values already read, by folded key path and folded value name, so
    // that a large file reads in linear time; a repeated name replaces.
    QHash<QByteArray, QHash<QByteArray, qsizetype>> valueIndex;
    QByteArray currentPath;
    int lineNumber = 0;
    qsizetype start = 0;
    while (start <= all.size()) {
        qsizetype end = all.indexOf('\n', start);
        if (end < 0) {
            end = all.size();
        }
        const QByteArrayView line = all.sliced(start, end - start).trimmed();
        start = end + 1;
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) {
            continue;
        }
        QString problem;
        if (line.startsWith('[')) {
            if (!line.endsWith(']')) {
                problem = QStringLiteral("a key line must end with \"]\"");
            } else if (line.size() == 2) {
                current = &root;  // "[]": values of the root key itself
                currentPath.clear();
            } else {
                QList<QByteArray> path;
                const QByteArrayView inner = line.sliced(1, line.size() - 2);
                for (const QByteArray& part : QByteArray(inner.data(), inner.size()).split('\\')) {
                    const auto name = unescapedKeyName(part);
                    if (!name || name->isEmpty()) {
                        problem = QStringLiteral("the key path is not valid");
                        break;
                    }
                    path.append(*name);
                }
                if (problem.isEmpty()) {
                    bool created = false;
                    current = &root.findOrCreate(path, created);
                    currentPath.clear();
                    for (const QByteArray& name : path) {
                        currentPath += foldedName(name) + '\\';
                    }
                }
            }
        } else if (!current) {
            problem = QStringLiteral("a value comes before the first [key] line");
        } else if (auto value = parseValueLine(line, problem)) {
            QHash<QByteArray, qsizetype>& names = valueIndex[currentPath];
            const QByteArray folded = foldedName(value->name);
            if (const auto seen = names.constFind(folded); seen != names.cend()) {
                RegistryValue& existing = current->values[*seen];
                existing.type = value->type;
                existing.data = std::move(value->data);
            } else {
                names.insert(folded, current->values.size());
                current->values.append(std::move(*value));
            }
        }
        if (!problem.isEmpty()) {
            error = QStringLiteral("line %1: %2").arg(lineNumber).arg(problem);
            return false;
        }
    }
    return true;
}

}  // namespace tav::win::detail
