// The text file that holds the user's registry. Any bytes are either refused
// with a reason naming the line or read as a tree that writes back and reads
// again as the same tree. And a tree built from any names and data, written
// and read back, is the same tree: nothing is lost on the way to the file.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

#include "fuzzcheck.h"
#include "platform/registryfile.h"
#include "platform/registrytree.h"

using tav::win::detail::parseRegistry;
using tav::win::detail::RegistryKey;
using tav::win::detail::RegistryValue;
using tav::win::detail::serializeRegistry;

namespace {

// The first difference between two trees, or empty text when they are equal.
// Names and data compare byte for byte: writing must keep their case too.
QByteArray difference(const RegistryKey& x, const RegistryKey& y, const QByteArray& path) {
    if (x.name != y.name) {
        return path + ": key name " + x.name.toHex() + " against " + y.name.toHex();
    }
    if (x.values.size() != y.values.size()) {
        return path + ": " + QByteArray::number(x.values.size()) + " values against " +
               QByteArray::number(y.values.size());
    }
    for (qsizetype i = 0; i < x.values.size(); ++i) {
        const RegistryValue& a = x.values[i];
        const RegistryValue& b = y.values[i];
        if (a.name != b.name || a.type != b.type || a.data != b.data) {
            return path + ": value " + QByteArray::number(i) + " (" + a.name.toHex() + ", type " +
                   QByteArray::number(a.type) + ", " + a.data.toHex() + ") against (" +
                   b.name.toHex() + ", type " + QByteArray::number(b.type) + ", " + b.data.toHex() +
                   ")";
        }
    }
    if (x.subkeys.size() != y.subkeys.size()) {
        return path + ": " + QByteArray::number(qsizetype(x.subkeys.size())) + " subkeys against " +
               QByteArray::number(qsizetype(y.subkeys.size()));
    }
    for (std::size_t i = 0; i < x.subkeys.size(); ++i) {
        const QByteArray found =
            difference(x.subkeys[i], y.subkeys[i], path + "\\" + x.subkeys[i].name);
        if (!found.isEmpty()) {
            return found;
        }
    }
    return {};
}

qsizetype valueCount(const RegistryKey& key) {
    qsizetype count = key.values.size();
    for (const RegistryKey& subkey : key.subkeys) {
        count += valueCount(subkey);
    }
    return count;
}

// Written and read back: the same tree, and writing that again gives the
// same text.
void checkRoundTrip(const RegistryKey& tree, const char* origin) {
    const QByteArray written = serializeRegistry(tree);
    RegistryKey reread;
    QString error;
    FUZZ_CHECK(parseRegistry(written, reread, error), "%s: the written file is refused: %s\n%s",
               origin, qPrintable(error), written.constData());
    const QByteArray found = difference(tree, reread, "root");
    FUZZ_CHECK(found.isEmpty(), "%s: read back differently: %s\n%s", origin, found.constData(),
               written.constData());
    FUZZ_CHECK(serializeRegistry(reread) == written, "%s: written twice, two texts", origin);
}

// Any file: a reason naming the line, or a tree that survives writing.
void checkFile(const QByteArray& text) {
    RegistryKey root;
    QString error;
    if (!parseRegistry(text, root, error)) {
        FUZZ_CHECK(error.startsWith(QStringLiteral("line ")), "refused without a line: \"%s\"",
                   qPrintable(error));
        return;
    }
    // A value is one line; a file cannot hold more values than lines.
    FUZZ_CHECK(valueCount(root) <= text.count('\n') + 1, "%lld values from %lld lines",
               static_cast<long long>(valueCount(root)),
               static_cast<long long>(text.count('\n') + 1));
    checkRoundTrip(root, "file");
}

// Reads the fuzz input front to back; past its end every read gives zero.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    bool empty() const { return m_pos >= m_size; }
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    QByteArray bytes(std::size_t count) {
        QByteArray out;
        for (std::size_t i = 0; i < count && !empty(); ++i) {
            out.append(static_cast<char>(byte()));
        }
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A key name: any bytes but the path separator, never empty.
QByteArray keyName(Bytes& in) {
    QByteArray name = in.bytes(in.byte() % 12);
    name.replace('\\', '/');
    return name.isEmpty() ? QByteArray("k") : name;
}

// A tree built from the input: keys at any depth with values of every type,
// names and data of any bytes (a DWORD of other than four bytes, a multi-
// string without its closing NULs, type numbers the program never writes).
RegistryKey treeFrom(Bytes& in) {
    static constexpr std::uint32_t kTypes[] = {0, 1, 2, 3, 4, 7, 11, 0xFFFFFFFF};
    RegistryKey root;
    QList<QByteArray> path;
    while (!in.empty()) {
        const std::uint8_t op = in.byte();
        if (op % 4 == 0) {  // go to another key, created with its parents
            path.clear();
            for (int depth = op / 4 % 4; depth >= 0; --depth) {
                path.append(keyName(in));
            }
            bool created = false;
            root.findOrCreate(path, created);
            continue;
        }
        RegistryValue value;
        value.name = in.bytes(in.byte() % 10);  // empty: the default value
        value.type = kTypes[op / 4 % 8];
        value.data = in.bytes(in.byte() % 24);
        bool created = false;
        root.findOrCreate(path, created).setValue(value);
    }
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkFile(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    Bytes in(data, size);
    checkRoundTrip(treeFrom(in), "built tree");
    return 0;
}
