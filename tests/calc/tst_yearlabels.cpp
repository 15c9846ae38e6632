#include <QtTest>
#include <climits>

#include "language.h"
#include "yearlabels.h"

using tav::Language;

class TestYearLabels : public QObject {
    Q_OBJECT

private slots:
    void namesTheYear_data() {
        QTest::addColumn<int>("nummer");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("expected");

        QTest::newRow("first year, French")
            << 0 << Language::French << "Le tas d'intérêt premier anner";
        QTest::newRow("sixteenth year, German")
            << 15 << Language::German << "Zinssatz sechszehntes Jahr";
        QTest::newRow("twenty-first year, Italian")
            << 20 << Language::Italian << "Tasso d'interesse anno";
        QTest::newRow("first year, English")
            << 0 << Language::English << "Interest rate first year";
        QTest::newRow("third year, English")
            << 2 << Language::English << "Interest rate third year";
        QTest::newRow("fifth year, German umlaut")
            << 4 << Language::German << "Zinssatz fünftes Jahr";
        QTest::newRow("twelfth year, German umlaut")
            << 11 << Language::German << "Zinssatz zwölftes Jahr";
        QTest::newRow("second year, French grave accent")
            << 1 << Language::French << "Les tas intérêt des deuxième anner";
        QTest::newRow("eighth year, Italian elision")
            << 7 << Language::Italian << "Tasso d'interesse dell'ottavo anno";
        QTest::newRow("seventeenth year, French hyphen")
            << 16 << Language::French << "Les tas intérêt des dix-septième anner";
        QTest::newRow("twentieth year, English")
            << 19 << Language::English << "Interest rate twentieth year";
        QTest::newRow("twenty-first year, French")
            << 20 << Language::French << "Les tas intérêt des vingt et unième anner";
    }
    void namesTheYear() {
        QFETCH(int, nummer);
        QFETCH(Language, language);
        QFETCH(QString, expected);
        QCOMPARE(tav::yearRateLabel(nummer, language), expected);
    }

    void isEmptyOutsideTheTable_data() {
        QTest::addColumn<int>("nummer");
        QTest::newRow("-1") << -1;
        QTest::newRow("21") << 21;
        QTest::newRow("16-bit maximum") << 32767;
        QTest::newRow("16-bit minimum") << -32768;
        QTest::newRow("int minimum") << INT_MIN;
    }
    void isEmptyOutsideTheTable() {
        QFETCH(int, nummer);
        for (const Language language : tav::kAllLanguages) {
            QVERIFY(tav::yearRateLabel(nummer, language).isEmpty());
        }
    }

    void usesTheExactCharacters() {
        // Byte for byte, so that a change of source encoding cannot slip through:
        // é U+00E9, ê U+00EA, plain apostrophe U+0027, ü U+00FC.
        QCOMPARE(tav::yearRateLabel(0, Language::French).toUtf8(),
                 QByteArray("Le tas d\x27int\xc3\xa9r\xc3\xaat premier anner"));
        QCOMPARE(tav::yearRateLabel(14, Language::German).toUtf8(),
                 QByteArray("Zinssatz f\xc3\xbcnfzehntes Jahr"));
        QCOMPARE(tav::yearRateLabel(5, Language::French).toUtf8(),
                 QByteArray("Les tas int\xc3\xa9r\xc3\xaat des sixi\xc3\xa8me anner"));
    }

    void everyLanguageHasTwentyOneDistinctLabels() {
        for (const Language language : tav::kAllLanguages) {
            QSet<QString> seen;
            for (int nummer = 0; nummer < tav::kYearLabelRows; ++nummer) {
                const QString label = tav::yearRateLabel(nummer, language);
                QVERIFY(!label.isEmpty());
                QVERIFY2(!label.contains(QChar(0x2019)), qPrintable(label));
                QVERIFY2(!label.startsWith(u' ') && !label.endsWith(u' '), qPrintable(label));
                seen.insert(label);
            }
            QCOMPARE(seen.size(), tav::kYearLabelRows);
        }
    }
};

QTEST_GUILESS_MAIN(TestYearLabels)
#include "tst_yearlabels.moc"
