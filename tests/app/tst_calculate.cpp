// The calculate button in modes 1, 2, 3 and 5: worked examples in English and
// in a decimal-comma locale, rejected input with and without a message, the
// error handler, the mouse cursor, translated results and the result file.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "guitest.h"
#include "language.h"
#include "runtimeerror.h"

using tav::Language;

Q_DECLARE_METATYPE(tav::Language)

namespace {

const QString kTypeMismatchTitles[] = {"Fehlermeldung", "Error message", "Messaggio di errore",
                                       "Faus message"};

}  // namespace

class TestCalculate : public GuiTest {
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { finishTest(); }

    void showsTheResultOfEachMode_data() {
        QTest::addColumn<bool>("decimalComma");
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("result");
        const Language en = Language::English;
        QTest::newRow("period 1000 to 2000 at 5")
            << false << en << 1 << QStringList{"1000", "2000", "5"}
            << "14.2066990828905 (14 years, 2 months and 14 days)";
        QTest::newRow("period in German")
            << false << Language::German << 1 << QStringList{"1000", "2000", "5"}
            << "14.2066990828905 (14 Jahre, 2 Monate und 14 Tage)";
        QTest::newRow("period with a decimal comma")
            << true << en << 1 << QStringList{"1000", "2000", "5"}
            << "14,2066990828905 (14 years, 2 months and 14 days)";
        QTest::newRow("period of exactly one year, Italian")
            << false << Language::Italian << 1 << QStringList{"1000", "1100", "10"}
            << "1 (1 anno, 0 mesi e 0 giorni)";
        QTest::newRow("period with a single day, German")
            << false << Language::German << 1 << QStringList{"1000", "1500", "4"}
            << "10.3380350715077 (10 Jahre, 4 Monate und 1 Tag)";
        QTest::newRow("final capital 10 years")
            << false << en << 2 << QStringList{"1000", "5", "10"} << "1628.89";
        QTest::newRow("final capital without trailing zero")
            << false << en << 2 << QStringList{"1000", "5", "2"} << "1102.5";
        QTest::newRow("final capital half a year")
            << false << en << 2 << QStringList{"1000", "5", "0.5"} << "1024.7";
        QTest::newRow("final capital, decimal comma")
            << true << en << 2 << QStringList{"1000", "5", "10"} << "1628,89";
        QTest::newRow("final capital half a year, decimal comma")
            << true << Language::French << 2 << QStringList{"1000", "5", "0,5"} << "1024,7";
        QTest::newRow("interest for 90 days")
            << false << en << 3 << QStringList{"1000", "5", "90"} << "12.5";
        QTest::newRow("interest rounded to cents")
            << false << en << 3 << QStringList{"10000", "3.5", "30"} << "29.17";
        QTest::newRow("interest for 360 days")
            << false << en << 3 << QStringList{"1000", "5", "360"} << "50";
        QTest::newRow("interest, decimal comma")
            << true << Language::German << 3 << QStringList{"10000", "3,5", "30"} << "29,17";
        QTest::newRow("rate doubling in 10 years")
            << false << en << 5 << QStringList{"1000", "2000", "10"} << "7.17734625362";
        QTest::newRow("rate of 10 per cent")
            << false << en << 5 << QStringList{"1000", "1100", "1"} << "10";
        QTest::newRow("falling capital")
            << false << en << 5 << QStringList{"2000", "1000", "1"} << "-50";
        QTest::newRow("rate, decimal comma")
            << true << Language::Italian << 5 << QStringList{"1000", "2000", "10"}
            << "7,17734625362";
    }
    void showsTheResultOfEachMode() {
        // Given a mode, a language and a desktop locale
        // When the three inputs are typed and Command1 is pressed
        // Then Text4 shows the result, Command1 is disabled and the inputs stay
        QFETCH(bool, decimalComma);
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QStringList, inputs);
        QFETCH(QString, result);
        if (decimalComma)
            QLocale::setDefault(kGerman);
        chooseLanguage(language);
        chooseMode(mode);
        enterAndCalculate(inputs[0], inputs[1], inputs[2]);
        QCOMPARE(field(4)->text(), result);
        QVERIFY(!calculate()->isEnabled());
        QCOMPARE(field(1)->text(), inputs[0]);
        QCOMPARE(field(3)->text(), inputs[2]);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        if (mode == 1) {
            QVERIFY(window().Ze > 0);  // the period stays for a language change
        } else {
            QCOMPARE(window().Ze, 0.0);
            QCOMPARE(window().a, 0.0);
            QCOMPARE(window().d, 0.0);
        }
    }

    void editingEnablesTheNextRequest() {
        // Given a final capital just calculated
        // When a field is retyped with the same number
        // Then Command1 is enabled again and a second request works
        chooseMode(2);
        enterAndCalculate("1000", "5", "10");
        QVERIFY(!calculate()->isEnabled());
        retype(3, "10");
        QVERIFY(calculate()->isEnabled());
        retype(3, "2");
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("1102.5"));
    }

    void lettersAreReportedInTheCurrentLanguage_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("German") << Language::German << 1
                                << "Fehler: 13 Nur Zahlen eingeben, keine Buchstaben eingeben!";
        QTest::newRow("English") << Language::English << 2
                                 << "Error: 13 Only type in numbers, do not type in letters!";
        QTest::newRow("Italian") << Language::Italian << 3
                                 << "Errore: 13 Inserire solo valori numerici, non lettere!";
        QTest::newRow("French") << Language::French << 5
                                << "Erreur: 13 Donner seulement L\u00b4addition pas de lettre";
    }
    void lettersAreReportedInTheCurrentLanguage() {
        // Given letters in Text1
        // When Command1 is pressed
        // Then a critical box with one OK button names error 13 in the
        // current language, and afterwards all four fields are empty
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QString, prompt);
        chooseLanguage(language);
        chooseMode(mode);
        enterAndCalculate("abc", "5", "10");
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text, prompt);
        QCOMPARE(dialogs[0].title, kTypeMismatchTitles[static_cast<int>(language)]);
        QCOMPARE(dialogs[0].icon, QMessageBox::Critical);
        QCOMPARE(dialogs[0].buttonCount, 1);
        QVERIFY(dialogs[0].hasOk);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(field(i)->text().isEmpty());
    }

    void anEmptyFieldIsNotANumber() {
        // Given three filled fields of which the third is then deleted
        // When Command1, still enabled, is pressed
        // Then error 13 is reported like letters
        type(1, "1000");
        type(2, "2000");
        type(3, "5");
        retype(3, QString());
        QVERIFY(calculate()->isEnabled());
        click(calculate());
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text,
                 QStringLiteral("Error: 13 Only type in numbers, do not type in letters!"));
    }

    void zeroOrNegativeInputEmptiesTheFieldsSilently_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("inputs");
        QTest::newRow("zero capital, mode 1") << 1 << QStringList{"0", "2000", "5"};
        QTest::newRow("zero rate, mode 2") << 2 << QStringList{"1000", "0", "10"};
        QTest::newRow("negative days, mode 3") << 3 << QStringList{"1000", "5", "-90"};
        QTest::newRow("zero years, mode 4") << 4 << QStringList{"1000", "0", "5"};
        QTest::newRow("negative capital, mode 5") << 5 << QStringList{"-1000", "2000", "10"};
        QTest::newRow("zero with a decimal point") << 2 << QStringList{"1000", "5", "0.0"};
    }
    void zeroOrNegativeInputEmptiesTheFieldsSilently() {
        // Given a zero or negative value in one field
        // When Command1 is pressed
        // Then all fields are emptied without a message
        QFETCH(int, mode);
        QFETCH(QStringList, inputs);
        chooseMode(mode);
        enterAndCalculate(inputs[0], inputs[1], inputs[2]);
        QCOMPARE(pendingDialogs(), 0);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(field(i)->text().isEmpty());
        QVERIFY(field(1)->isEnabled());
    }

    void rejectionKeepsTheShownResultsVariables() {
        // Given a mode-1 result on show
        // When a zero is entered and Command1 pressed
        // Then the fields are emptied but the stored period stays
        enterAndCalculate("1000", "2000", "5");
        const double period = window().Ze;
        retype(1, "0");
        click(calculate());
        QVERIFY(field(4)->text().isEmpty());
        QCOMPARE(window().Ze, period);
    }

    void equalCapitalsHaveNoPeriod() {
        // Given mode 1 with the same starting and final capital
        // When Command1 is pressed
        // Then the fields are emptied, no message, the state is zero
        enterAndCalculate("1000", "1000", "5");
        QCOMPARE(pendingDialogs(), 0);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(field(i)->text().isEmpty());
        QCOMPARE(window().Ze, 0.0);
        QCOMPARE(window().a, 0.0);

        // and a final capital below the start is treated the same way
        enterAndCalculate("2000", "1000", "5");
        QCOMPARE(pendingDialogs(), 0);
        QVERIFY(field(1)->text().isEmpty());
    }

    void overflowGivesTheGenericMessage_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("title");
        QTest::newRow("English") << Language::English << "Error: "
                                 << "Error message";
        QTest::newRow("German") << Language::German << "Fehler: "
                                << "Fehlermeldung";
    }
    void overflowGivesTheGenericMessage() {
        // Given a final capital beyond the range of numbers
        // When Command1 is pressed
        // Then the message holds prefix, number, blank and description, and
        // the fields, the result and the state are cleared
        QFETCH(Language, language);
        QFETCH(QString, prefix);
        QFETCH(QString, title);
        chooseLanguage(language);
        chooseMode(2);
        enterAndCalculate("1000", "5", "99999999");
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].title, title);
        QCOMPARE(dialogs[0].text, prefix + "6 " + tav::errorDescription(6, language));
        QCOMPARE(dialogs[0].icon, QMessageBox::Critical);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(field(i)->text().isEmpty());
        QCOMPARE(window().Ze, 0.0);
    }

    void theCursorIsTheDefaultAfterARateSearch() {
        // Given the interest-rate mode and a wait cursor left by someone else
        // When a rate is searched
        // Then the default cursor is back afterwards, with no override left
        chooseMode(5);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        type(1, "1000");
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);  // typing resets it
        type(2, "2000");
        type(3, "10");
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("7.17734625362"));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void theCursorIsTheDefaultWhenTheSearchFails() {
        // Given a ratio too large for the rate search
        // When Command1 is pressed
        // Then the error is shown under the default cursor and it stays so
        chooseMode(5);
        enterAndCalculate("1", "1000000000000", "1");
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY(dialogs[0].text.startsWith(QStringLiteral("Error: ")));
        QVERIFY(!dialogs[0].cursorOverridden);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QVERIFY(field(1)->text().isEmpty());
    }

    void aLanguageChangeTranslatesAShownPeriod() {
        // Given a mode-1 result in English
        // When the language is switched around
        // Then the same numbers are shown in each language and nothing is recalculated
        enterAndCalculate("1000", "2000", "5");
        const QString english = field(4)->text();
        QCOMPARE(english, QStringLiteral("14.2066990828905 (14 years, 2 months and 14 days)"));
        chooseLanguage(Language::German);
        QCOMPARE(field(4)->text(),
                 QStringLiteral("14.2066990828905 (14 Jahre, 2 Monate und 14 Tage)"));
        QCOMPARE(window().Jahre, QStringLiteral("Jahre"));
        QCOMPARE(window().Tage, QStringLiteral("Tage"));
        chooseLanguage(Language::Italian);
        QCOMPARE(field(4)->text(),
                 QStringLiteral("14.2066990828905 (14 anni, 2 mesi e 14 giorni)"));
        chooseLanguage(Language::French);
        QVERIFY(field(4)->text().startsWith(QStringLiteral("14.2066990828905 (14 ans, 2 mois ")));
        QVERIFY(field(4)->text().endsWith(QStringLiteral(" 14 jour)")));
        chooseLanguage(Language::English);
        QCOMPARE(field(4)->text(), english);
        QCOMPARE(field(1)->text(), QStringLiteral("1000"));
    }

    void aLanguageChangeLeavesOtherResults() {
        // Given a final capital on show, or an empty result in mode 1
        // When the language changes
        // Then Text4 is left as it is
        chooseMode(2);
        enterAndCalculate("1000", "5", "10");
        chooseLanguage(Language::German);
        QCOMPARE(field(4)->text(), QStringLiteral("1628.89"));
        chooseMode(1);
        chooseLanguage(Language::Italian);
        QVERIFY(field(4)->text().isEmpty());
    }

    void aRateIsSavedOnlyWithATarget() {
        // Given the save box ticked but no file chosen yet
        // When a rate is calculated
        // Then no file is written
        QTemporaryDir dir;
        window().strFile = dir.filePath("never.txt");
        saveBox()->setChecked(true);  // ticked without the dialog's choice
        chooseMode(5);
        enterAndCalculate("1000", "1100", "1");
        QCOMPARE(field(4)->text(), QStringLiteral("10"));
        QVERIFY(!QFile::exists(window().strFile));

        // and once a file is chosen the rate is appended
        window().Checktester = 1;
        retype(3, "1");
        click(calculate());
        QFile file(window().strFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().endsWith("Interest rate in %: 10\r\n"));
    }
};

TAVRIN_GUI_TEST_MAIN(TestCalculate)
#include "tst_calculate.moc"
