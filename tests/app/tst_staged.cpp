// The staged model in the window: the three-year example press by press,
// language changes in each of its states, its limits, the result file, and
// entries that end without a final capital.

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "guitest.h"
#include "language.h"

using tav::Language;

Q_DECLARE_METATYPE(tav::Language)

class TestStaged : public GuiTest {
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { finishTest(); }

    void threeYearsPressByPress() {
        // Given the staged mode in English with 100 for three years
        chooseMode(4);
        QCOMPARE(calculate()->text(), QStringLiteral("Notice interest rate"));
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate first year"));
        QVERIFY(!calculate()->isEnabled());
        type(1, "100");
        type(2, "3");
        type(3, "5");
        QVERIFY(calculate()->isEnabled());

        // When the first rate is noted
        // Then the second year is due and the fixed inputs are locked
        click(calculate());
        QCOMPARE(window().c, qint16(1));
        QCOMPARE(window().Zs, 105.0);
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate second year"));
        QCOMPARE(calculate()->text(), QStringLiteral("Notice interest rate"));
        QVERIFY(calculate()->isEnabled());
        expectLocked(true);
        QCOMPARE(field(1)->text(), QStringLiteral("100"));
        QVERIFY(field(4)->text().isEmpty());

        // When the second rate is noted
        // Then the last year is due under the calculate caption
        retype(3, "4");
        click(calculate());
        QCOMPARE(window().c, qint16(2));
        QVERIFY(qAbs(window().Zs - 109.2) < 1e-9);
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate third year"));
        QCOMPARE(calculate()->text(), QStringLiteral("Calculate"));
        expectLocked(true);

        // When the third rate is noted
        // Then the final capital is shown in cents, the inputs are unlocked,
        // Command1 is disabled and the state is zero
        retype(3, "3");
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("112.48"));
        QVERIFY(!calculate()->isEnabled());
        expectLocked(false);
        QCOMPARE(window().c, qint16(0));
        QCOMPARE(window().a, 0.0);
        QCOMPARE(window().Zs, 0.0);
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate third year"));
        QCOMPARE(calculate()->text(), QStringLiteral("Calculate"));
        QCOMPARE(pendingDialogs(), 0);
    }

    void aDecimalCommaWorksToo() {
        // Given a desktop locale with a decimal comma
        // When a two-year entry with fractional rates is completed
        // Then the final capital carries the comma
        QLocale::setDefault(kGerman);
        chooseMode(4);
        enterAndCalculate("100", "2", "2,5");
        retype(3, "1,5");
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("104,04"));  // 100 * 1.025 * 1.015 = 104.0375
    }

    void oneYearCompletesAtOnce() {
        // Given one year
        // When the rate is noted
        // Then the final capital is shown at once
        chooseMode(4);
        enterAndCalculate("100", "1", "5");
        QCOMPARE(field(4)->text(), QStringLiteral("105"));
        QCOMPARE(calculate()->text(), QStringLiteral("Calculate"));
        expectLocked(false);
    }

    void twentyYearsAreAllowed() {
        // Given twenty years
        // When the same rate is noted twenty times without retyping it
        // Then every year label is shown in turn and the result is 100 * 1.01^20
        chooseMode(4);
        enterAndCalculate("100", "20", "1");
        for (int year = 2; year <= 20; ++year) {
            QCOMPARE(label(3)->text(), window().Texte(static_cast<qint16>(year - 1)));
            QCOMPARE(calculate()->text(), year == 20 ? QStringLiteral("Calculate")
                                                     : QStringLiteral("Notice interest rate"));
            click(calculate());
        }
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate twentieth year"));
        QCOMPARE(field(4)->text(), QStringLiteral("122.02"));
        QCOMPARE(pendingDialogs(), 0);
    }

    void moreThanTwentyYearsAreRefused_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("years");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("title");
        QTest::newRow("21 in English") << Language::English << "21"
                                       << "Only 20 years possible"
                                       << "Error";
        QTest::newRow("20.5 in German") << Language::German << "20.5"
                                        << "Nur bis 20 Jahre möglich"
                                        << "Fehler";
        QTest::newRow("30 in Italian") << Language::Italian << "30"
                                       << "Solo fino a 20 anni"
                                       << "Errore";
        QTest::newRow("25 in French") << Language::French << "25"
                                      << "Seul jusque `a 20 ans"
                                      << "Erreur";
    }
    void moreThanTwentyYearsAreRefused() {
        // Given more than twenty years
        // When Command1 is pressed
        // Then the twenty-year message is shown, the fields keep their text
        // and nothing is stored
        QFETCH(Language, language);
        QFETCH(QString, years);
        QFETCH(QString, prompt);
        QFETCH(QString, title);
        chooseLanguage(language);
        chooseMode(4);
        enterAndCalculate("100", years, "5");
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text, prompt);
        QCOMPARE(dialogs[0].title, title);
        QCOMPARE(dialogs[0].icon, QMessageBox::Critical);
        QCOMPARE(dialogs[0].buttonCount, 1);
        QCOMPARE(field(2)->text(), years);
        QCOMPARE(window().c, qint16(0));
        QCOMPARE(window().a, 0.0);
        expectLocked(false);
    }

    void partYearsAreDroppedSilently() {
        // Given two and a half years
        // When Command1 is pressed
        // Then the fields are emptied without a message and nothing is stored
        chooseMode(4);
        enterAndCalculate("100", "2.5", "5");
        QCOMPARE(pendingDialogs(), 0);
        QVERIFY(field(2)->text().isEmpty());
        QCOMPARE(window().c, qint16(0));
        expectLocked(false);
    }

    void languageChangeInEachState_data() {
        QTest::addColumn<int>("years");
        QTest::addColumn<int>("presses");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("label3");
        QTest::addColumn<QString>("caption");
        QTest::newRow("ready, German") << 5 << 0 << Language::German << "Zinssatz erstes Jahr"
                                       << "Zinssatz merken";
        QTest::newRow("ready, French")
            << 5 << 0 << Language::French << "Le tas d'intérêt premier anner"
            << "Contrôl les tas d\u00b4intérêt";
        QTest::newRow("two of five, French")
            << 5 << 2 << Language::French << "Les tas intérêt des troisième anner"
            << "Contrôl les tas d\u00b4intérêt";
        QTest::newRow("two of five, Italian")
            << 5 << 2 << Language::Italian << "Tasso d'interesse del terzo anno"
            << "Controllare il tasso d'interesse";
        QTest::newRow("four of five, French")
            << 5 << 4 << Language::French << "Les tas intérêt des cinquième anner"
            << "Calculer";
        QTest::newRow("one of two, German") << 2 << 1 << Language::German << "Zinssatz zweites Jahr"
                                            << "Rechnen";
    }
    void languageChangeInEachState() {
        // Given a staged entry with some rates noted
        // When the language changes
        // Then the captions of the state are shown in the new language and
        // the entry goes on where it was
        QFETCH(int, years);
        QFETCH(int, presses);
        QFETCH(Language, language);
        QFETCH(QString, label3);
        QFETCH(QString, caption);
        chooseMode(4);
        type(1, "100");
        type(2, QString::number(years));
        type(3, "10");
        for (int i = 0; i < presses; ++i)
            click(calculate());
        chooseLanguage(language);
        QCOMPARE(label(3)->text(), label3);
        QCOMPARE(calculate()->text(), caption);
        QCOMPARE(window().c, qint16(presses));
        QCOMPARE(label(1)->text(), catalogueStart(language));
        expectLocked(presses > 0);

        // Finishing the entry in the new language gives the same capital.
        for (int i = presses; i < years; ++i)
            click(calculate());
        QCOMPARE(field(4)->text(), years == 5 ? QStringLiteral("161.05") : QStringLiteral("121"));
    }

    void theWholeTableGoesToTheResultFile() {
        // Given a result file and the three-year example
        // When the entry completes
        // Then the block lists every year, aligned, before the state is reset
        QTemporaryDir dir;
        answerNextFileDialog(dir.filePath("staged.txt"));
        click(saveBox());
        QCOMPARE(takeDialogs().size(), 1);
        chooseMode(4);
        enterAndCalculate("100", "3", "5");
        QVERIFY(!QFile::exists(window().strFile));  // nothing before completion
        retype(3, "4");
        click(calculate());
        retype(3, "3");
        click(calculate());
        QFile file(window().strFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 8);
        QCOMPARE(lines[0], QByteArray("\r"));
        QCOMPARE(lines[1], QByteArray("Starting capital: 100\r"));
        QCOMPARE(lines[2], QByteArray("Invest period in years: 3\r"));
        QCOMPARE(lines[3], QByteArray("Interest rate first year: 5.00000") +
                               QByteArray(2 + 18, ' ') + "(105.00)\r");
        QCOMPARE(lines[4].size(), 62);
        QVERIFY(lines[4].startsWith("Interest rate second year: 4.00000  "));
        QVERIFY(lines[5].endsWith("(112.48)\r"));
        QCOMPARE(lines[6], QByteArray("Money at the end of investment: 112.48\r"));
        QCOMPARE(lines[7], QByteArray());
    }

    // An entry that ends without a final capital must not leave the fixed
    // inputs locked and empty, nor years from the entry behind.
    void anUnfinishedEntryUnlocksTheInputs_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("messages");
        QTest::newRow("zero rate") << "0" << 0;
        QTest::newRow("negative rate") << "-1" << 0;
        QTest::newRow("letters as rate") << "x" << 1;
        QTest::newRow("rate that overflows the capital") << "1E308" << 1;
        QTest::newRow("staged mode chosen again") << "" << 0;
    }
    void anUnfinishedEntryUnlocksTheInputs() {
        // Given a three-year entry with one rate noted, and Text1, Text2 locked
        QFETCH(QString, ending);
        QFETCH(int, messages);
        chooseMode(4);
        enterAndCalculate("1000", "3", "5");
        expectLocked(true);

        // When it ends without completing
        if (ending.isEmpty()) {
            chooseMode(4);
        } else {
            retype(3, ending);
            click(calculate());
        }

        // Then the fields are empty, editable on the window background, and
        // the stored years are gone
        QCOMPARE(takeDialogs().size(), messages);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(field(i)->text().isEmpty());
        expectLocked(false);
        QCOMPARE(window().c, qint16(0));
        QCOMPARE(window().a, 0.0);
        QCOMPARE(window().Zs, 0.0);

        // and a new entry can be typed and completes normally
        type(1, "200");
        type(2, "1");
        QCOMPARE(field(2)->text(), QStringLiteral("1"));
        retype(3, "10");
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("220"));
    }

    void anotherModeDiscardsTheEntry() {
        // Given two of three rates noted
        // When mode 2 is chosen
        // Then the inputs are unlocked and nothing of the entry remains
        chooseMode(4);
        enterAndCalculate("100", "3", "5");
        click(calculate());
        chooseMode(2);
        expectLocked(false);
        QCOMPARE(window().c, qint16(0));
        QCOMPARE(label(3)->text(), QStringLiteral("Invest period in years"));
        QCOMPARE(calculate()->text(), QStringLiteral("Calculate"));
    }

private:
    void expectLocked(bool locked) {
        for (int i = 1; i <= 2; ++i) {
            QCOMPARE(field(i)->isEnabled(), !locked);
            QCOMPARE(fieldColour(field(i)), locked ? buttonFace() : windowBackground());
        }
        QVERIFY(field(3)->isEnabled());
    }

    static QString catalogueStart(Language language) {
        static const QString kStart[] = {"Anfangskapital", "Starting capital", "Capitale iniziale",
                                         "Capital initial"};
        return kStart[static_cast<int>(language)];
    }
};

TAVRIN_GUI_TEST_MAIN(TestStaged)
#include "tst_staged.moc"
