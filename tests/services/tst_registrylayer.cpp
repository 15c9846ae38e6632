// The registry, message, environment and icon functions of our own platform
// layer, through their Windows interfaces: return codes, sizes, order, the
// settings file and the file-type answers.

#include <QDir>
#include <QImage>
#include <QtTest>
#include <cstring>
#include <memory>

#include "platform/win32api.h"
#include "testsupport.h"

using namespace tav::win;
using tav::test::fileBytes;
using tav::test::ScopedConfigHome;
using tav::test::writeFile;

namespace {

HKEY handleOf(qintptr value) {
    return reinterpret_cast<HKEY>(value);
}
qintptr valueOf(HKEY key) {
    return reinterpret_cast<qintptr>(key);
}

// A key below HKEY_CURRENT_USER, created when missing, closed on scope exit.
class Key {
public:
    explicit Key(const char* path, REGSAM access = KEY_ALL_ACCESS, HKEY root = HKEY_CURRENT_USER) {
        m_rc = RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, &m_key, &m_disposition);
    }
    static Key opened(const char* path, REGSAM access, HKEY root = HKEY_CURRENT_USER) {
        Key key;
        key.m_rc = RegOpenKeyExA(root, path, 0, access, &key.m_key);
        return key;
    }
    Key(Key&& other) noexcept
        : m_key(std::exchange(other.m_key, nullptr)),
          m_rc(other.m_rc),
          m_disposition(other.m_disposition) {}
    ~Key() {
        if (m_key) {
            RegCloseKey(m_key);
        }
    }
    HKEY get() const { return m_key; }
    LONG rc() const { return m_rc; }
    DWORD disposition() const { return m_disposition; }

private:
    Key() = default;
    HKEY m_key = nullptr;
    LONG m_rc = ERROR_SUCCESS;
    DWORD m_disposition = 0;
};

LONG setValue(HKEY key, const QByteArray& name, DWORD type, const QByteArray& data) {
    return RegSetValueExA(key, name.constData(), 0, type,
                          reinterpret_cast<const BYTE*>(data.constData()),
                          static_cast<DWORD>(data.size()));
}

struct Read {
    LONG rc = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    QByteArray data;
};

// Asks for the size first, then reads the data, as the service class does.
Read queryValue(HKEY key, const QByteArray& name) {
    Read read;
    DWORD size = 0;
    read.rc = RegQueryValueExA(key, name.constData(), nullptr, &read.type, nullptr, &size);
    if (read.rc == ERROR_SUCCESS) {
        read.data = QByteArray(qsizetype(size), '?');
        read.rc = RegQueryValueExA(key, name.constData(), nullptr, &read.type,
                                   reinterpret_cast<LPBYTE>(read.data.data()), &size);
    }
    return read;
}

QByteArray formatMessage(DWORD code, DWORD size = 256) {
    QByteArray buffer(qsizetype(size), ' ');
    const DWORD count =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer.data(), size, nullptr);
    return count == 0 ? QByteArray() : buffer.left(count);
}

QByteArray expand(const char* text) {
    const DWORD needed = ExpandEnvironmentStringsA(text, nullptr, 0);
    QByteArray buffer(qsizetype(needed), '?');
    if (ExpandEnvironmentStringsA(text, buffer.data(), needed) != needed) {
        return "<size changed>";
    }
    return buffer.left(qsizetype(std::strlen(buffer.constData())));
}

}  // namespace

class TestRegistryLayer : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScopedConfigHome> m_home;
    QTemporaryDir m_themes;

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        tav::test::installTestIconTheme(m_themes.path());
    }
    void init() { m_home = std::make_unique<ScopedConfigHome>(); }
    void cleanup() { m_home.reset(); }

    void openAnswersWithWindowsCodes_data() {
        QTest::addColumn<qintptr>("root");
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("expected");
        const qintptr user = valueOf(HKEY_CURRENT_USER);
        QTest::newRow("existing key") << user << QByteArray("Software\\tavrin\\Options") << 0;
        QTest::newRow("names in other case")
            << user << QByteArray("SOFTWARE\\TAVRIN\\options") << 0;
        QTest::newRow("one trailing backslash") << user << QByteArray("Software\\tavrin\\") << 0;
        QTest::newRow("the root itself") << user << QByteArray() << 0;
        QTest::newRow("missing key") << user << QByteArray("Software\\nothing") << 2;
        QTest::newRow("doubled backslash") << user << QByteArray("Software\\\\tavrin") << 87;
        QTest::newRow("no application name") << user << QByteArray("Software\\\\") << 87;
        QTest::newRow("leading backslash") << user << QByteArray("\\Software") << 87;
        QTest::newRow("not a handle") << qintptr(0x4242) << QByteArray("Software") << 6;
        QTest::newRow("known extension") << valueOf(HKEY_CLASSES_ROOT) << QByteArray(".txt") << 0;
        QTest::newRow("unknown extension") << valueOf(HKEY_CLASSES_ROOT) << QByteArray(".xyz") << 2;
        QTest::newRow("machine-wide key")
            << valueOf(HKEY_LOCAL_MACHINE) << QByteArray("Software") << 2;
    }
    void openAnswersWithWindowsCodes() {
        QFETCH(qintptr, root);
        QFETCH(QByteArray, path);
        QFETCH(int, expected);
        QCOMPARE(Key("Software\\tavrin\\Options").rc(), ERROR_SUCCESS);

        const Key key = Key::opened(path.constData(), KEY_READ, handleOf(root));

        QCOMPARE(key.rc(), expected);
        QCOMPARE(key.get() != nullptr, expected == 0);
    }

    void readingNeitherNeedsNorCreatesTheFile() {
        // Given no settings file, when keys and values are asked for,
        // then they are missing and no file appears.
        QCOMPARE(Key::opened("Software\\tavrin", KEY_READ).rc(), ERROR_FILE_NOT_FOUND);
        DWORD subkeys = 99;
        QCOMPARE(RegQueryInfoKeyA(HKEY_CURRENT_USER, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
                 ERROR_SUCCESS);
        QCOMPARE(subkeys, DWORD(0));
        QVERIFY(!QFile::exists(m_home->settingsFile()));
    }

    void firstCreationWritesTheFileAndOnlyChangesRewriteIt() {
        const Key created("Software\\tavrin");
        QCOMPARE(created.rc(), ERROR_SUCCESS);
        QCOMPARE(created.disposition(), REG_CREATED_NEW_KEY);
        QVERIFY(QFile::exists(m_home->settingsFile()));

        const QByteArray before = fileBytes(m_home->settingsFile());
        const Key again("SOFTWARE\\Tavrin");
        QCOMPARE(again.disposition(), REG_OPENED_EXISTING_KEY);
        QCOMPARE(RegDeleteValueA(again.get(), "not there"), ERROR_FILE_NOT_FOUND);
        QCOMPARE(fileBytes(m_home->settingsFile()), before);
    }

    void queryReportsTheSizeBeforeTheData() {
        const Key key("Software\\tavrin");
        QCOMPARE(setValue(key.get(), "Greeting", REG_SZ, QByteArray("hello", 6)), ERROR_SUCCESS);

        DWORD type = 0;
        DWORD size = 0;
        QCOMPARE(RegQueryValueExA(key.get(), "Greeting", nullptr, &type, nullptr, &size),
                 ERROR_SUCCESS);
        QCOMPARE(type, REG_SZ);
        QCOMPARE(size, DWORD(6));

        char small[3] = {'x', 'x', 'x'};
        size = sizeof small;
        QCOMPARE(RegQueryValueExA(key.get(), "Greeting", nullptr, &type,
                                  reinterpret_cast<LPBYTE>(small), &size),
                 ERROR_MORE_DATA);
        QCOMPARE(size, DWORD(6));

        QCOMPARE(queryValue(key.get(), "greeting").data, QByteArray("hello", 6));
        QCOMPARE(queryValue(key.get(), "Farewell").rc, ERROR_FILE_NOT_FOUND);
    }

    void valuesSurviveTheFileByteForByte_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<uint>("type");
        QTest::addColumn<QByteArray>("data");
        QByteArray allBytes;
        for (int byte = 0; byte < 256; ++byte) {
            allBytes.append(static_cast<char>(byte));
        }
        const auto bytes = [](const char* text, qsizetype size) { return QByteArray(text, size); };
        QTest::newRow("text") << QByteArray("Name") << uint(REG_SZ) << bytes("text", 5);
        QTest::newRow("default value") << QByteArray() << uint(REG_SZ) << bytes("default", 8);
        QTest::newRow("text of size 0") << QByteArray("Empty") << uint(REG_SZ) << QByteArray();
        QTest::newRow("text without NUL") << QByteArray("Cut") << uint(REG_SZ) << bytes("abc", 3);
        QTest::newRow("text with inner NUL")
            << QByteArray("Inner") << uint(REG_SZ) << bytes("a\0b", 4);
        QTest::newRow("text in UTF-8")
            << QByteArray("Gruss") << uint(REG_SZ) << QByteArray("Grüße\n\t\"\\");
        QTest::newRow("expandable text")
            << QByteArray("Path") << uint(REG_EXPAND_SZ) << bytes("%HOME%/x", 9);
        QTest::newRow("two texts")
            << QByteArray("List") << uint(REG_MULTI_SZ) << bytes("a\0b\0", 5);
        QTest::newRow("no texts") << QByteArray("None") << uint(REG_MULTI_SZ) << bytes("", 1);
        QTest::newRow("one empty text")
            << QByteArray("Blank") << uint(REG_MULTI_SZ) << bytes("\0", 2);
        QTest::newRow("multi without end")
            << QByteArray("Odd") << uint(REG_MULTI_SZ) << bytes("a", 2);
        QTest::newRow("number") << QByteArray("Count") << uint(REG_DWORD)
                                << bytes("\x2a\0\0\x80", 4);
        QTest::newRow("short number")
            << QByteArray("Short") << uint(REG_DWORD) << bytes("\x01\x02", 2);
        QTest::newRow("every byte") << QByteArray("Blob") << uint(REG_BINARY) << allBytes;
        QTest::newRow("no bytes") << QByteArray("Nothing") << uint(REG_BINARY) << QByteArray();
        QTest::newRow("other type") << QByteArray("Other") << uint(11) << bytes("\x01\x02", 2);
        QTest::newRow("awkward name")
            << QByteArray("q\"b\\n\nl;[x]=@") << uint(REG_SZ) << bytes("v", 2);
        QTest::newRow("name not UTF-8")
            << QByteArray("\xff\xfe") << uint(REG_BINARY) << QByteArray("x");
    }
    void valuesSurviveTheFileByteForByte() {
        QFETCH(QByteArray, name);
        QFETCH(uint, type);
        QFETCH(QByteArray, data);
        {
            const Key key("Software\\tavrin\\Values");
            QCOMPARE(setValue(key.get(), "Neighbour", REG_SZ, QByteArray("stays", 6)),
                     ERROR_SUCCESS);
            QCOMPARE(setValue(key.get(), name, type, data), ERROR_SUCCESS);
        }

        // Every call reads the file afresh: what comes back went through it.
        const Key key = Key::opened("Software\\tavrin\\Values", KEY_READ);
        const Read read = queryValue(key.get(), name);
        QCOMPARE(read.rc, ERROR_SUCCESS);
        QCOMPARE(read.type, DWORD(type));
        QCOMPARE(read.data, data);
        QCOMPARE(queryValue(key.get(), "Neighbour").data, QByteArray("stays", 6));
    }

    void valuesOfTheRootKeyItselfSurvive() {
        QCOMPARE(setValue(HKEY_CURRENT_USER, "AtTheTop", REG_SZ, QByteArray("1", 2)),
                 ERROR_SUCCESS);
        QCOMPARE(Key("Software\\tavrin").rc(), ERROR_SUCCESS);
        QCOMPARE(queryValue(HKEY_CURRENT_USER, "AtTheTop").data, QByteArray("1", 2));
    }

    void oddKeyNamesSurvive() {
        const QByteArray name("; [x]% 41 \x01\xff@]");
        QCOMPARE(Key(QByteArray("Software\\" + name).constData()).rc(), ERROR_SUCCESS);
        char found[32];
        DWORD size = sizeof found;
        const Key software = Key::opened("Software", KEY_READ);
        QCOMPARE(RegEnumKeyExA(software.get(), 0, found, &size, nullptr, nullptr, nullptr, nullptr),
                 ERROR_SUCCESS);
        QCOMPARE(QByteArray(found, size), name);
    }

    void settingsFileIsReadableText() {
        {
            const Key key("Software\\tavrin\\Options");
            setValue(key.get(), "Name", REG_SZ, QByteArray("text", 5));
            setValue(key.get(), "Count", REG_DWORD, QByteArray("\x2a\0\0\0", 4));
            setValue(key.get(), "List", REG_MULTI_SZ, QByteArray("a\0b\0", 5));
        }
        const QByteArray text = fileBytes(m_home->settingsFile());
        QVERIFY2(text.contains("[Software\\tavrin\\Options]\n\"Name\"=\"text\"\n"
                               "\"Count\"=dword:0000002a\n\"List\"=multi_sz:\"a\",\"b\"\n"),
                 text.constData());
    }

    void handWrittenFileIsRead() {
        QVERIFY(QDir().mkpath(m_home->path() + QStringLiteral("/tavrin")));
        writeFile(m_home->settingsFile(),
                  "\xEF\xBB\xBF; written by hand\r\n\r\n[Software\\My%25App]\r\n"
                  "@=\"default\"\r\n  \"Path\" = expand_sz:\"%HOME%\"\r\n# comment\r\n"
                  "\"Bytes\"=hex:de,AD\r\n\"Odd\"=hex(b):\r\n");
        const Key key = Key::opened("Software\\My%App", KEY_READ);
        QCOMPARE(key.rc(), ERROR_SUCCESS);
        QCOMPARE(queryValue(key.get(), "").data, QByteArray("default", 8));
        QCOMPARE(queryValue(key.get(), "Path").type, REG_EXPAND_SZ);
        QCOMPARE(queryValue(key.get(), "Bytes").data, QByteArray("\xde\xad"));
        QCOMPARE(queryValue(key.get(), "Odd").type, DWORD(11));
    }

    void infoAndEnumerationAreStable() {
        for (const char* path :
             {"Software\\T\\beta", "Software\\T\\Alpha", "Software\\T\\gamma1"}) {
            QCOMPARE(Key(path).rc(), ERROR_SUCCESS);
        }
        const Key key("Software\\T");
        setValue(key.get(), "zz", REG_SZ, QByteArray("1", 2));
        setValue(key.get(), "a", REG_BINARY, QByteArray(10, 'x'));
        setValue(key.get(), "grün", REG_DWORD, QByteArray(4, '\0'));

        DWORD subkeys = 0, longestSubkey = 0, values = 0, longestName = 0, longestData = 0;
        QCOMPARE(RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, &longestSubkey,
                                  nullptr, &values, &longestName, &longestData, nullptr, nullptr),
                 ERROR_SUCCESS);
        QCOMPARE(subkeys, DWORD(3));
        QCOMPARE(longestSubkey, DWORD(6));
        QCOMPARE(values, DWORD(3));
        QCOMPARE(longestName, DWORD(5));  // "grün" takes five bytes
        QCOMPARE(longestData, DWORD(10));

        QByteArrayList keyNames;
        for (DWORD index = 0;; ++index) {
            char name[16];
            DWORD size = sizeof name;
            const LONG rc =
                RegEnumKeyExA(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
            if (rc == ERROR_NO_MORE_ITEMS) {
                break;
            }
            QCOMPARE(rc, ERROR_SUCCESS);
            keyNames.append(QByteArray(name, size));
        }
        QCOMPARE(keyNames, QByteArrayList({"Alpha", "beta", "gamma1"}));

        QByteArrayList valueNames;
        for (DWORD index = 0; index < values; ++index) {
            char name[16];
            DWORD nameSize = sizeof name;
            DWORD type = 0;
            QCOMPARE(
                RegEnumValueA(key.get(), index, name, &nameSize, nullptr, &type, nullptr, nullptr),
                ERROR_SUCCESS);
            valueNames.append(QByteArray(name, nameSize));
        }
        QCOMPARE(valueNames, QByteArrayList({"zz", "a", "grün"}));

        char tiny[5];
        DWORD tinySize = sizeof tiny;  // "gamma1" and its NUL need seven
        QCOMPARE(RegEnumKeyExA(key.get(), 2, tiny, &tinySize, nullptr, nullptr, nullptr, nullptr),
                 ERROR_MORE_DATA);
        char name[16];
        DWORD nameSize = sizeof name;
        BYTE data[4];
        DWORD dataSize = sizeof data;
        QCOMPARE(RegEnumValueA(key.get(), 1, name, &nameSize, nullptr, nullptr, data, &dataSize),
                 ERROR_MORE_DATA);
        QCOMPARE(dataSize, DWORD(10));
        QCOMPARE(RegEnumValueA(key.get(), 3, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
                 ERROR_NO_MORE_ITEMS);
    }

    void accessMaskIsHonoured() {
        QCOMPARE(Key("Software\\tavrin").rc(), ERROR_SUCCESS);
        const Key reader = Key::opened("Software\\tavrin", KEY_QUERY_VALUE);
        QCOMPARE(setValue(reader.get(), "x", REG_SZ, QByteArray("1", 2)), ERROR_ACCESS_DENIED);
        QCOMPARE(RegDeleteValueA(reader.get(), "x"), ERROR_ACCESS_DENIED);
        char name[8];
        DWORD size = sizeof name;
        QCOMPARE(RegEnumKeyExA(reader.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr),
                 ERROR_ACCESS_DENIED);

        const Key writer = Key::opened("Software\\tavrin", KEY_SET_VALUE);
        QCOMPARE(setValue(writer.get(), "x", REG_SZ, QByteArray("1", 2)), ERROR_SUCCESS);
        DWORD dataSize = 0;
        QCOMPARE(RegQueryValueExA(writer.get(), "x", nullptr, nullptr, nullptr, &dataSize),
                 ERROR_ACCESS_DENIED);
    }

    void handlesFollowTheFileAndCloseOnce() {
        const Key key("Software\\tavrin\\Gone");
        QCOMPARE(key.rc(), ERROR_SUCCESS);
        // Another copy of the program replaces the file without the key.
        writeFile(m_home->settingsFile(), "[Software\\tavrin]\n\"x\"=\"1\"\n");
        DWORD size = 0;
        QCOMPARE(RegQueryValueExA(key.get(), "x", nullptr, nullptr, nullptr, &size),
                 ERROR_KEY_DELETED);
        QCOMPARE(setValue(key.get(), "x", REG_SZ, QByteArray("1", 2)), ERROR_KEY_DELETED);

        HKEY raw = nullptr;
        QCOMPARE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\tavrin", 0, KEY_READ, &raw),
                 ERROR_SUCCESS);
        QCOMPARE(RegCloseKey(raw), ERROR_SUCCESS);
        QCOMPARE(RegCloseKey(raw), ERROR_INVALID_HANDLE);
        QCOMPARE(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    }

    void corruptFileIsReportedAndLeftIntact_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<int>("line");
        QTest::newRow("not a registry") << QByteArray("hello\n") << 1;
        QTest::newRow("unclosed key") << QByteArray("[A]\n[Software\n") << 2;
        QTest::newRow("value before key") << QByteArray("\"x\"=\"1\"\n") << 1;
        QTest::newRow("short dword") << QByteArray("[A]\n\n\"x\"=dword:12\n") << 3;
        QTest::newRow("open quote") << QByteArray("[A]\n\"x\"=\"open\n") << 2;
        QTest::newRow("bad hex") << QByteArray("[A]\n\"x\"=hex:0g\n") << 2;
        QTest::newRow("bad escape") << QByteArray("[A]\n\"x\"=\"\\q\"\n") << 2;
        QTest::newRow("empty key name") << QByteArray("[A\\\\B]\n") << 1;
        QTest::newRow("text after value") << QByteArray("[A]\n\"x\"=\"1\" 2\n") << 2;
    }
    void corruptFileIsReportedAndLeftIntact() {
        QFETCH(QByteArray, contents);
        QFETCH(int, line);
        QVERIFY(QDir().mkpath(m_home->path() + QStringLiteral("/tavrin")));
        writeFile(m_home->settingsFile(), contents);

        QCOMPARE(Key::opened("A", KEY_READ).rc(), ERROR_BADDB);
        const QByteArray text = formatMessage(ERROR_BADDB);
        QVERIFY2(text.contains(m_home->settingsFile().toLocal8Bit()), text.constData());
        QVERIFY2(text.contains("line " + QByteArray::number(line) + ':'), text.constData());
        QCOMPARE(Key("A\\New").rc(), ERROR_BADDB);

        QCOMPARE(fileBytes(m_home->settingsFile()), contents);
    }

    void unreadableFileIsReported() {
        QVERIFY(QDir().mkpath(m_home->settingsFile()));  // a folder where the file belongs
        QCOMPARE(Key::opened("A", KEY_READ).rc(), ERROR_REGISTRY_IO_FAILED);
        QCOMPARE(Key("A").rc(), ERROR_REGISTRY_IO_FAILED);
        QVERIFY(formatMessage(ERROR_REGISTRY_IO_FAILED).contains("cannot be read"));
        QVERIFY(QFileInfo(m_home->settingsFile()).isDir());
    }

    void classesRootDescribesFileTypes_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("type of .txt")
            << QByteArray(".txt") << QByteArray() << QByteArray("text/plain");
        QTest::newRow("upper-case extension")
            << QByteArray(".TXT") << QByteArray() << QByteArray("text/plain");
        QTest::newRow("content type")
            << QByteArray(".txt") << QByteArray("Content Type") << QByteArray("text/plain");
        QTest::newRow("type name")
            << QByteArray("text/plain") << QByteArray() << QByteArray("plain text document");
        QTest::newRow("icon") << QByteArray("text/plain\\DefaultIcon") << QByteArray()
                              << QByteArray("text-plain,0");
        QTest::newRow("two-part extension")
            << QByteArray(".tar.gz") << QByteArray() << QByteArray("application/x-compressed-tar");
    }
    void classesRootDescribesFileTypes() {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, expected);
        const Key opened = Key::opened(key.constData(), KEY_READ, HKEY_CLASSES_ROOT);
        QCOMPARE(opened.rc(), ERROR_SUCCESS);
        const Read read = queryValue(opened.get(), value);
        QCOMPARE(read.rc, ERROR_SUCCESS);
        QCOMPARE(read.type, REG_SZ);
        QCOMPARE(read.data, expected + '\0');
    }

    void classesRootListsExtensionsAndTypesInOrder() {
        DWORD count = 0;
        DWORD longest = 0;
        QCOMPARE(RegQueryInfoKeyA(HKEY_CLASSES_ROOT, nullptr, nullptr, nullptr, &count, &longest,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
                 ERROR_SUCCESS);
        QVERIFY(count > 100);
        QByteArrayList names;
        for (DWORD index = 0; index < count; ++index) {
            QByteArray name(qsizetype(longest) + 1, ' ');
            DWORD size = longest + 1;
            QCOMPARE(RegEnumKeyExA(HKEY_CLASSES_ROOT, index, name.data(), &size, nullptr, nullptr,
                                   nullptr, nullptr),
                     ERROR_SUCCESS);
            names.append(name.left(size));
        }
        QVERIFY(names.contains(".txt"));
        QVERIFY(names.contains("text/plain"));
        for (qsizetype i = 1; i < names.size(); ++i) {
            QVERIFY2(QString::fromUtf8(names[i - 1])
                             .compare(QString::fromUtf8(names[i]), Qt::CaseInsensitive) < 0,
                     names[i].constData());
        }
    }

    void classesRootRefusesWrites() {
        const Key txt = Key::opened(".txt", KEY_ALL_ACCESS, HKEY_CLASSES_ROOT);
        QCOMPARE(txt.rc(), ERROR_SUCCESS);
        QCOMPARE(setValue(txt.get(), "Content Type", REG_SZ, QByteArray("x", 2)),
                 ERROR_ACCESS_DENIED);
        QCOMPARE(RegDeleteValueA(txt.get(), "Content Type"), ERROR_ACCESS_DENIED);
        QCOMPARE(Key(".tavrinnew", KEY_ALL_ACCESS, HKEY_CLASSES_ROOT).rc(), ERROR_ACCESS_DENIED);
        const Key existing(".txt", KEY_READ, HKEY_CLASSES_ROOT);
        QCOMPARE(existing.rc(), ERROR_SUCCESS);
        QCOMPARE(existing.disposition(), REG_OPENED_EXISTING_KEY);
    }

    void formatMessageHasTheSystemTexts_data() {
        QTest::addColumn<uint>("code");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("0") << 0u << QByteArray("The operation completed successfully.");
        QTest::newRow("2") << 2u << QByteArray("The system cannot find the file specified.");
        QTest::newRow("5") << 5u << QByteArray("Access is denied.");
        QTest::newRow("6") << 6u << QByteArray("The handle is invalid.");
        QTest::newRow("33") << 33u
                            << QByteArray(
                                   "The process cannot access the file because another process has "
                                   "locked a portion of the file.");
        QTest::newRow("87") << 87u << QByteArray("The parameter is incorrect.");
        QTest::newRow("234") << 234u << QByteArray("More data is available.");
        QTest::newRow("259") << 259u << QByteArray("No more data is available.");
        QTest::newRow("1018") << 1018u
                              << QByteArray(
                                     "Illegal operation attempted on a registry key that has been "
                                     "marked for deletion.");
    }
    void formatMessageHasTheSystemTexts() {
        QFETCH(uint, code);
        QFETCH(QByteArray, text);
        QCOMPARE(formatMessage(code), text + "\r\n");
    }

    void formatMessageReturnsZeroWhenItHasNoText() {
        QCOMPARE(formatMessage(1234), QByteArray());
        QCOMPARE(formatMessage(5, 10), QByteArray());  // does not fit
        char buffer[64];
        QCOMPARE(FormatMessageA(FORMAT_MESSAGE_FROM_STRING, "x", 5, 0, buffer, 64, nullptr),
                 DWORD(0));
    }

    void expandEnvironmentStrings_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("plain") << QByteArray("abc") << QByteArray("abc");
        QTest::newRow("one name") << QByteArray("a%TAVRIN_TEST%b") << QByteArray("avalueb");
        QTest::newRow("twice") << QByteArray("%TAVRIN_TEST%%TAVRIN_TEST%")
                               << QByteArray("valuevalue");
        QTest::newRow("unknown stays")
            << QByteArray("%TAVRIN_NONE%") << QByteArray("%TAVRIN_NONE%");
        QTest::newRow("unknown then known")
            << QByteArray("%TAVRIN_NONE%TAVRIN_TEST%") << QByteArray("%TAVRIN_NONEvalue");
        QTest::newRow("lone percent") << QByteArray("100%") << QByteArray("100%");
        QTest::newRow("two percents") << QByteArray("100%%") << QByteArray("100%%");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void expandEnvironmentStrings() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        qputenv("TAVRIN_TEST", "value");
        QCOMPARE(expand(text.constData()), expected);
    }

    void expandReportsTheSizeWithoutWriting() {
        qputenv("TAVRIN_TEST", "value");
        char probe[] = "?";
        QCOMPARE(ExpandEnvironmentStringsA("<%TAVRIN_TEST%>", probe, 0), DWORD(8));
        QCOMPARE(probe[0], '?');
        QCOMPARE(lstrlenA("abc"), 3);
        QCOMPARE(lstrlenA(nullptr), 0);
        QVERIFY(GetModuleHandleA(nullptr) != nullptr);
        QVERIFY(GetModuleHandleA("other.dll") == nullptr);
    }

    void extractIconFindsLoadableIcons_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<uint>("index");
        QTest::addColumn<bool>("found");
        QTest::newRow("theme icon") << QStringLiteral("text-plain") << 0u << true;
        QTest::newRow("generic icon of the kind") << QStringLiteral("image-tavrin") << 0u << true;
        QTest::newRow("unknown icon") << QStringLiteral("audio-tavrin") << 0u << false;
        QTest::newRow("second icon of one") << QStringLiteral("text-plain") << 1u << false;
        QTest::newRow("image file") << QStringLiteral("@icon.png") << 0u << true;
        QTest::newRow("file that is no image") << QStringLiteral("@notes.txt") << 0u << false;
        QTest::newRow("missing file") << QStringLiteral("/nowhere/icon.png") << 0u << false;
        QTest::newRow("empty") << QString() << 0u << false;
    }
    void extractIconFindsLoadableIcons() {
        QFETCH(QString, source);
        QFETCH(uint, index);
        QFETCH(bool, found);
        if (source.startsWith(QLatin1Char('@'))) {
            source = m_home->path() + QLatin1Char('/') + source.mid(1);
            if (source.endsWith(QStringLiteral(".png"))) {
                QImage image(8, 8, QImage::Format_RGB32);
                image.fill(Qt::blue);
                QVERIFY(image.save(source));
            } else {
                writeFile(source, "just text");
            }
        }
        const HICON icon =
            ExtractIconA(GetModuleHandleA(nullptr), source.toLocal8Bit().constData(), index);
        QCOMPARE(icon != nullptr, found);
        QCOMPARE(!iconFromHandle(icon).isNull(), found);
        QCOMPARE(DestroyIcon(icon), found ? TRUE : FALSE);
        QVERIFY(iconFromHandle(icon).isNull());
    }

    void extractIconCountsWithIndexMinusOne() {
        QCOMPARE(reinterpret_cast<quintptr>(ExtractIconA(nullptr, "text-plain", UINT(-1))),
                 quintptr(1));
        QCOMPARE(reinterpret_cast<quintptr>(ExtractIconA(nullptr, "audio-tavrin", UINT(-1))),
                 quintptr(0));
    }
};

QTEST_MAIN(TestRegistryLayer)
#include "tst_registrylayer.moc"
