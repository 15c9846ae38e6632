#include <QtTest>

#include "calctest.h"
#include "errornumbers.h"
#include "resultfile.h"
#include "stagedmodel.h"
#include "yearlabels.h"

using namespace tav::testing;
using tav::Language;

namespace {

// The file is in the desktop's 8-bit encoding: UTF-8 here, the ANSI code page
// on Windows (1252 in Western Europe, where "é" is one byte).
#ifdef Q_OS_WIN
const QByteArray kEAcute("\xe9");
const QByteArray kECircumflex("\xea");
#else
const QByteArray kEAcute("\xc3\xa9");
const QByteArray kECircumflex("\xc3\xaa");
#endif

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString composeStaged(int years, const tav::StagedArray& rates, const tav::StagedArray& capitals,
                      Language language) {
    return tav::composeStagedBlock(
        {"Capital initial", "100"}, {"Le durée des placements en ans", QString::number(years)},
        years, rates, capitals, [language](int n) { return tav::yearRateLabel(n, language); },
        {"Capital final:", "105"}, kEnglish);
}

}  // namespace

class TestResultFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString pathIn(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));
        QFile plain(pathIn(QStringLiteral("plain-file")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
    }

    // Label, rate and capital padded to 61 characters while the label leaves
    // room; longer labels keep only the two fixed blanks.
    void alignsTheYearLines_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("capital");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("German desktop")
            << "Zinssatz erstes Jahr" << 5.0 << 1050.0 << kGerman
            << "Zinssatz erstes Jahr: 5,00000  " + QString(21, u' ') + "(1050,00)";
        QTest::newRow("61 long without padding") << QString(41, u'x') << 5.0 << 1050.0 << kEnglish
                                                 << QString(41, u'x') + ": 5.00000  (1050.00)";
        QTest::newRow("one more") << QString(42, u'x') << 5.0 << 1050.0 << kEnglish
                                  << QString(42, u'x') + ": 5.00000  (1050.00)";
        QTest::newRow("long French label")
            << "Les tas intérêt des dix-septième anner" << 12.5 << 123456789.0 << kEnglish
            << "Les tas intérêt des dix-septième anner: 12.50000  (123456789.00)";
    }
    void alignsTheYearLines() {
        QFETCH(QString, label);
        QFETCH(double, rate);
        QFETCH(double, capital);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QCOMPARE(tav::stagedYearLine(label, rate, capital, locale), expected);
    }

    void stagedBlockYearCount() {
        // The twenty-first year takes the table's last label; a 22nd has none.
        tav::StagedArray rates{};
        tav::StagedArray capitals{};
        rates.fill(1);
        capitals.fill(100);
        const QString block = composeStaged(21, rates, capitals, Language::German);
        QCOMPARE(block.count(QStringLiteral("\r\n")), 1 + 2 + 21 + 1);
        QCOMPARE(block.count(QStringLiteral("(100.00)")), 21);
        QCOMPARE(errorNumberOf([&] { composeStaged(22, rates, capitals, Language::German); }),
                 tav::ErrorNumber::SubscriptOutOfRange);
    }

    void appendsBlocksByteForByte() {
        // Two blocks appended in a row follow the earlier bytes of the file.
        const QString path = pathIn(QStringLiteral("two-blocks.txt"));
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier line\r\n");
        }
        tav::appendToFile(
            path, tav::composePlainBlock({"Starting capital", "1000"}, {"Interest rate in %", "5"},
                                         {"Invest period in years", "10"},
                                         {"Money at the end of investment:", "1628.89"}));
        tav::appendToFile(
            path, composeStaged(1, tav::StagedArray{5}, tav::StagedArray{105}, Language::French));
        QCOMPARE(readAll(path),
                 "earlier line\r\n"
                 "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
                 "Invest period in years: 10\r\nMoney at the end of investment: 1628.89\r\n"
                 "\r\nCapital initial: 100\r\nLe dur" +
                     kEAcute +
                     "e des placements en ans: 1\r\n"
                     "Le tas d'int" +
                     kEAcute + "r" + kECircumflex + "t premier anner: 5.00000  " +
                     QByteArray(12, ' ') + "(105.00)\r\nCapital final: 105\r\n");
    }

    // The message names the cause and the path; the target is left as it was
    // and a failed block does not stop the next one.
    void reportsPathsThatCannotBeWritten_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("germanStart");
        QTest::newRow("missing folder") << pathIn(QStringLiteral("no-such/tavrin.txt"))
                                        << tav::ErrorNumber::PathNotFound << "Pfad nicht gefunden";
        QTest::newRow("a file in place of a folder")
            << pathIn(QStringLiteral("plain-file/tavrin.txt")) << tav::ErrorNumber::PathNotFound
            << "Pfad nicht gefunden";
        QTest::newRow("a folder as target")
            << pathIn(QStringLiteral("folder")) << tav::ErrorNumber::PathFileAccess
            << "Fehler beim Zugriff auf Pfad/Datei";
#ifdef Q_OS_LINUX  // a device that is always full exists on Linux only
        QTest::newRow("disk full")
            << QStringLiteral("/dev/full") << tav::ErrorNumber::DiskFull << "Datenträger voll";
#endif
        QTest::newRow("no name") << QString() << tav::ErrorNumber::BadFileName
                                 << "Dateiname oder -nummer falsch";
    }
    void reportsPathsThatCannotBeWritten() {
        QFETCH(QString, path);
        QFETCH(int, error);
        QFETCH(QString, germanStart);
        const QString block = QStringLiteral("\r\nStarting capital: 1000\r\n");
        try {
            tav::appendToFile(path, block);
            QFAIL("no error raised");
        } catch (const tav::RuntimeError& raised) {
            QCOMPARE(raised.number(), error);
            const QString description = raised.description(Language::German);
            QVERIFY2(description.startsWith(germanStart), qPrintable(description));
            QVERIFY2(description.contains(QDir::toNativeSeparators(path)), qPrintable(description));
        }
        QVERIFY(QDir(pathIn(QStringLiteral("folder"))).isEmpty());
        QCOMPARE(readAll(pathIn(QStringLiteral("plain-file"))), QByteArray());

        const QString good = pathIn(QStringLiteral("after-failure.txt"));
        QFile::remove(good);
        tav::appendToFile(good, block);
        QCOMPARE(readAll(good), block.toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestResultFile)
#include "tst_resultfile.moc"
