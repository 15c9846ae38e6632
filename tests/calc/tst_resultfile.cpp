#include <sys/resource.h>
#include <QtTest>

#include <csignal>

#include "calctest.h"
#include "errornumbers.h"
#include "resultfile.h"
#include "runtimeerror.h"
#include "stagedmodel.h"
#include "yearlabels.h"

using tav::LabeledField;
using tav::Language;
using namespace tav::testing;

namespace {

QString blanks(int count) {
    return QString(count, u' ');
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

std::function<QString(int)> labelsIn(Language language) {
    return [language](int nummer) { return tav::yearRateLabel(nummer, language); };
}

}  // namespace

class TestResultFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString pathIn(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void composesThePlainBlock_data() {
        QTest::addColumn<QList<LabeledField>>("fields");
        QTest::addColumn<QString>("expected");

        QTest::newRow("final capital in English")
            << QList<LabeledField>{{"Starting capital", "1000"},
                                   {"Interest rate in %", "5"},
                                   {"Invest period in years", "10"},
                                   {"Money at the end of investment:", "1628.89"}}
            << "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
               "Invest period in years: 10\r\nMoney at the end of investment: 1628.89\r\n";
        QTest::newRow("interest for days on a German desktop")
            << QList<LabeledField>{{"Anfangskapital", "10000"},
                                   {"Zinssatz in %", "3,5"},
                                   {"Anlagezeit in Tagen", "30"},
                                   {"Zinsen:", "29,17"}}
            << "\r\nAnfangskapital: 10000\r\nZinssatz in %: 3,5\r\nAnlagezeit in Tagen: 30\r\n"
               "Zinsen: 29,17\r\n";
        QTest::newRow("investment period keeps the text as shown")
            << QList<LabeledField>{{"Starting capital", "1000"},
                                   {"Money at the end of investment", "2000"},
                                   {"Interest rate in %", "5"},
                                   {"Invest period in years:",
                                    "14.2066990828905 (14 years, 2 months and 14 days)"}}
            << "\r\nStarting capital: 1000\r\nMoney at the end of investment: 2000\r\n"
               "Interest rate in %: 5\r\n"
               "Invest period in years: 14.2066990828905 (14 years, 2 months and 14 days)\r\n";
    }
    void composesThePlainBlock() {
        QFETCH(QList<LabeledField>, fields);
        QFETCH(QString, expected);
        QCOMPARE(tav::composePlainBlock(fields[0], fields[1], fields[2], fields[3]), expected);
    }

    void alignsTheYearLines_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("capital");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");

        QTest::newRow("first year in English")
            << "Interest rate first year" << 5.0 << 1050.0 << kEnglish
            << "Interest rate first year: 5.00000  " + blanks(17) + "(1050.00)";
        QTest::newRow("first year on a German desktop")
            << "Zinssatz erstes Jahr" << 5.0 << 1050.0 << kGerman
            << "Zinssatz erstes Jahr: 5,00000  " + blanks(21) + "(1050,00)";
        QTest::newRow("rate and capital rounded half up")
            << "Interest rate third year" << 1.234565 << 112.475 << kEnglish
            << "Interest rate third year: 1.23457  " + blanks(18) + "(112.48)";
        QTest::newRow("exactly 55 characters: no padding, 61 long")
            << QString(41, u'x') << 5.0 << 1050.0 << kEnglish
            << QString(41, u'x') + ": 5.00000  (1050.00)";
        QTest::newRow("one more: only the two fixed blanks")
            << QString(42, u'x') << 5.0 << 1050.0 << kEnglish
            << QString(42, u'x') + ": 5.00000  (1050.00)";
        QTest::newRow("long French label beyond 55")
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

    void yearLinesUpToFiftyFiveCharactersAreSixtyOneLong() {
        for (int nummer = 0; nummer < 20; ++nummer) {
            for (const Language language : tav::kAllLanguages) {
                const QString label = tav::yearRateLabel(nummer, language);
                const QString line = tav::stagedYearLine(label, 3.75, 12345.678, kEnglish);
                if (label.size() + 7 + 8 <= 55) {
                    QCOMPARE(line.size(), 61);
                    QVERIFY(line.endsWith(QStringLiteral("(12345.68)")));
                } else {
                    QCOMPARE(line.size(), label.size() + 7 + 8 + 6);
                }
            }
        }
    }

    void composesTheStagedBlock_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("English desktop")
            << kEnglish
            << "\r\nStarting capital: 100\r\nInvest period in years: 3\r\n"
               "Interest rate first year: 5.00000  " +
                   blanks(18) + "(105.00)\r\n" + "Interest rate second year: 4.00000  " +
                   blanks(17) + "(109.20)\r\n" + "Interest rate third year: 3.00000  " +
                   blanks(18) + "(112.48)\r\n" + "Money at the end of investment: 112.48\r\n";
        QTest::newRow("German desktop")
            << kGerman
            << "\r\nStarting capital: 100\r\nInvest period in years: 3\r\n"
               "Interest rate first year: 5,00000  " +
                   blanks(18) + "(105,00)\r\n" + "Interest rate second year: 4,00000  " +
                   blanks(17) + "(109,20)\r\n" + "Interest rate third year: 3,00000  " +
                   blanks(18) + "(112,48)\r\n" + "Money at the end of investment: 112.48\r\n";
    }
    void composesTheStagedBlock() {
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);

        // Given the three-year example entered press by press, when its block is
        // composed, then every year shows its rate and unrounded capital in cents.
        tav::StagedStorage s;
        for (const double rate : {5.0, 4.0, 3.0}) {
            tav::pressStaged(s.state(), 3, 100, rate, locale);
        }
        const QString block =
            tav::composeStagedBlock({"Starting capital", "100"}, {"Invest period in years", "3"}, 3,
                                    s.Stufen_i, s.Stufen_Zs, labelsIn(Language::English),
                                    {"Money at the end of investment:", "112.48"}, locale);
        QCOMPARE(block, expected);
    }

    void stagedBlockYearCount_data() {
        QTest::addColumn<int>("years");
        QTest::addColumn<int>("yearLines");
        QTest::addColumn<int>("error");
        QTest::newRow("no years") << 0 << 0 << 0;
        QTest::newRow("one year") << 1 << 1 << 0;
        QTest::newRow("twenty years") << 20 << 20 << 0;
        QTest::newRow("twenty-one uses the last row") << 21 << 21 << 0;
        QTest::newRow("twenty-two leaves the table")
            << 22 << 0 << tav::ErrorNumber::SubscriptOutOfRange;
    }
    void stagedBlockYearCount() {
        QFETCH(int, years);
        QFETCH(int, yearLines);
        QFETCH(int, error);

        tav::StagedArray rates{};
        tav::StagedArray capitals{};
        rates.fill(1);
        capitals.fill(100);
        QString block;
        QCOMPARE(errorNumberOf([&] {
                     block =
                         tav::composeStagedBlock({"A", "1"}, {"B", "2"}, years, rates, capitals,
                                                 labelsIn(Language::German), {"C:", "3"}, kEnglish);
                 }),
                 error);
        if (error == 0) {
            // empty line, two fields, the years, the result
            QCOMPARE(block.count(QStringLiteral("\r\n")), 1 + 2 + yearLines + 1);
            QCOMPARE(block.count(QStringLiteral("(100.00)")), yearLines);
        }
    }

    void appendsBlocksByteForByte() {
        // Given a file with earlier contents, when two blocks are appended in a
        // row, then the file holds the old bytes followed by both blocks.
        const QString path = pathIn(QStringLiteral("two-blocks.txt"));
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier line\r\n");
        }
        const QString first = tav::composePlainBlock(
            {"Starting capital", "1000"}, {"Interest rate in %", "5"},
            {"Invest period in years", "10"}, {"Money at the end of investment:", "1628.89"});
        const QString second = tav::composeStagedBlock(
            {"Capital initial", "100"}, {"Le durée des placements en ans", "1"}, 1,
            tav::StagedArray{5}, tav::StagedArray{105}, labelsIn(Language::French),
            {"Capital final:", "105"}, kEnglish);

        tav::appendToFile(path, first);
        tav::appendToFile(path, second);

        const QByteArray expected =
            "earlier line\r\n"
            "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
            "Invest period in years: 10\r\nMoney at the end of investment: 1628.89\r\n"
            "\r\nCapital initial: 100\r\nLe dur\xc3\xa9"
            "e des placements en ans: 1\r\n"
            "Le tas d'int\xc3\xa9r\xc3\xaat premier anner: 5.00000  " +
            QByteArray(55 - 30 - 7 - 6, ' ') +
            "(105.00)\r\n"
            "Capital final: 105\r\n";
        QCOMPARE(readAll(path), expected);
    }

    void createsAMissingFile() {
        const QString path = pathIn(QStringLiteral("new.txt"));
        QVERIFY(!QFile::exists(path));
        tav::appendToFile(path, QStringLiteral("\r\nx: 1\r\n"));
        QCOMPARE(readAll(path), QByteArray("\r\nx: 1\r\n"));
    }

    void reportsPathsThatCannotBeWritten_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("germanStart");

        QTest::newRow("missing folder") << pathIn(QStringLiteral("no-such-folder/tavrin.txt"))
                                        << tav::ErrorNumber::PathNotFound << "Pfad nicht gefunden";
        QTest::newRow("missing folders") << pathIn(QStringLiteral("a/b/c/tavrin.txt"))
                                         << tav::ErrorNumber::PathNotFound << "Pfad nicht gefunden";
        QTest::newRow("a file in place of a folder")
            << pathIn(QStringLiteral("plain-file/tavrin.txt")) << tav::ErrorNumber::PathNotFound
            << "Pfad nicht gefunden";
        QTest::newRow("a folder as target") << m_dir.path() << tav::ErrorNumber::PathFileAccess
                                            << "Fehler beim Zugriff auf Pfad/Datei";
        QTest::newRow("a folder as target, trailing slash")
            << m_dir.path() + u'/' << tav::ErrorNumber::PathFileAccess
            << "Fehler beim Zugriff auf Pfad/Datei";
        QTest::newRow("disk full")
            << QStringLiteral("/dev/full") << tav::ErrorNumber::DiskFull << "Datenträger voll";
        QTest::newRow("no name at all")
            << QString() << tav::ErrorNumber::BadFileName << "Dateiname oder -nummer falsch";
    }
    void reportsPathsThatCannotBeWritten() {
        QFETCH(QString, path);
        QFETCH(int, error);
        QFETCH(QString, germanStart);

        {
            QFile plain(pathIn(QStringLiteral("plain-file")));
            QVERIFY(plain.open(QIODevice::WriteOnly));
        }
        const QString block = QStringLiteral("\r\nStarting capital: 1000\r\n");
        try {
            tav::appendToFile(path, block);
            QFAIL("no error raised");
        } catch (const tav::RuntimeError& raised) {
            QCOMPARE(raised.number(), error);
            // The message names the cause in the reader's language and the path.
            const QString description = raised.description(Language::German);
            QVERIFY2(description.startsWith(germanStart), qPrintable(description));
            QVERIFY2(description.contains(QDir::toNativeSeparators(path)), qPrintable(description));
        }

        // A failed block leaves nothing behind that stops the next one.
        const QString good = pathIn(QStringLiteral("after-failure.txt"));
        QFile::remove(good);
        tav::appendToFile(good, block);
        QCOMPARE(readAll(good), block.toUtf8());
    }

    void takesBackABlockWrittenOnlyInPart() {
        // Given a file with one block, on a disk that takes only a few more bytes
        // (a file size limit stands in for a full disk),
        const QString path = pathIn(QStringLiteral("partly.txt"));
        const QString first = QStringLiteral("\r\nStarting capital: 1000\r\n");
        tav::appendToFile(path, first);
        const QByteArray before = readAll(path);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit tight = saved;
        tight.rlim_cur = static_cast<rlim_t>(before.size() + 5);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);

        // when the next block does not fit whole,
        const int number = errorNumberOf(
            [&] { tav::appendToFile(path, QStringLiteral("\r\nMoney at the end: 1628.89\r\n")); });
        setrlimit(RLIMIT_FSIZE, &saved);

        // an error is raised and the file holds exactly the earlier block.
        QVERIFY(number != 0);
        QCOMPARE(readAll(path), before);
    }

    void neverTouchesAFolderTarget() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QCOMPARE(errorNumberOf([&] { tav::appendToFile(folder.path(), QStringLiteral("x")); }),
                 tav::ErrorNumber::PathFileAccess);
        QVERIFY(QFileInfo(folder.path()).isDir());
        QVERIFY(QDir(folder.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestResultFile)
#include "tst_resultfile.moc"
