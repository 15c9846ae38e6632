#include <QtTest>
#include <climits>

#include "language.h"
#include "yearlabels.h"

using tav::Language;

class TestYearLabels : public QObject {
    Q_OBJECT

private slots:
    // Byte for byte, so that a change of source encoding cannot slip through:
    // é C3 A9, ê C3 AA, è C3 A8, ü C3 BC, and the plain apostrophe.
    void namesTheYear_data() {
        QTest::addColumn<int>("nummer");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("1st, French")
            << 0 << Language::French << QByteArray("Le tas d'int\xc3\xa9r\xc3\xaat premier anner");
        QTest::newRow("6th, French")
            << 5 << Language::French
            << QByteArray("Les tas int\xc3\xa9r\xc3\xaat des sixi\xc3\xa8me anner");
        QTest::newRow("17th, French")
            << 16 << Language::French
            << QByteArray("Les tas int\xc3\xa9r\xc3\xaat des dix-septi\xc3\xa8me anner");
        QTest::newRow("5th, German")
            << 4 << Language::German << QByteArray("Zinssatz f\xc3\xbcnftes Jahr");
        QTest::newRow("16th, German")
            << 15 << Language::German << QByteArray("Zinssatz sechszehntes Jahr");
        QTest::newRow("8th, Italian")
            << 7 << Language::Italian << QByteArray("Tasso d'interesse dell'ottavo anno");
        QTest::newRow("21st, Italian")
            << 20 << Language::Italian << QByteArray("Tasso d'interesse anno");
        QTest::newRow("1st, English")
            << 0 << Language::English << QByteArray("Interest rate first year");
        QTest::newRow("-1") << -1 << Language::English << QByteArray();
        QTest::newRow("21") << 21 << Language::German << QByteArray();
        QTest::newRow("16-bit maximum") << 32767 << Language::French << QByteArray();
        QTest::newRow("int minimum") << INT_MIN << Language::Italian << QByteArray();
    }
    void namesTheYear() {
        QFETCH(int, nummer);
        QFETCH(Language, language);
        QFETCH(QByteArray, expected);
        QCOMPARE(tav::yearRateLabel(nummer, language).toUtf8(), expected);
    }

    void everyLanguageHasTwentyOneDistinctLabels() {
        for (const Language language : tav::kAllLanguages) {
            QSet<QString> seen;
            for (int nummer = 0; nummer < tav::kYearLabelRows; ++nummer) {
                const QString label = tav::yearRateLabel(nummer, language);
                QVERIFY2(!label.isEmpty() && label == label.trimmed(), qPrintable(label));
                QVERIFY2(!label.contains(QChar(0x2019)), qPrintable(label));
                seen.insert(label);
            }
            QCOMPARE(seen.size(), tav::kYearLabelRows);
        }
    }
};

QTEST_GUILESS_MAIN(TestYearLabels)
#include "tst_yearlabels.moc"
