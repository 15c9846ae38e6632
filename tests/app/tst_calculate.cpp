// The calculate button in every mode: worked examples in English and in a
// decimal-comma locale, rejected input with and without a message, the mouse
// cursor, and a shown period following the language.

#include <QGuiApplication>
#include <QtTest>

#include "errornumbers.h"
#include "guitest.h"
#include "language.h"
#include "runtimeerror.h"

using tav::Language;

Q_DECLARE_METATYPE(tav::Language)

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
        QTest::newRow("period, decimal comma")
            << true << en << 1 << QStringList{"1000", "2000", "5"}
            << "14,2066990828905 (14 years, 2 months and 14 days)";
        QTest::newRow("final capital")
            << false << en << 2 << QStringList{"1000", "5", "10"} << "1628.89";
        QTest::newRow("final capital half a year, decimal comma")
            << true << Language::French << 2 << QStringList{"1000", "5", "0,5"} << "1024,7";
        QTest::newRow("interest for 90 days")
            << false << en << 3 << QStringList{"1000", "5", "90"} << "12.5";
        QTest::newRow("interest, decimal comma")
            << true << Language::German << 3 << QStringList{"10000", "3,5", "30"} << "29,17";
        QTest::newRow("rate, decimal comma")
            << true << Language::Italian << 5 << QStringList{"1000", "2000", "10"}
            << "7,17734625362";
        QTest::newRow("staged, two years, decimal comma")
            << true << en << 4 << QStringList{"100", "2", "2,5"} << "105,06";
    }
    void showsTheResultOfEachMode() {
        // Text4 shows the result (the staged mode pressed once a year, the
        // rate kept), Command1 is disabled and the inputs stay
        QFETCH(bool, decimalComma);
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QStringList, inputs);
        QFETCH(QString, result);
        if (decimalComma)
            QLocale::setDefault(kGerman);
        chooseLanguage(language);
        chooseMode(mode);
        enter(inputs);
        for (int year = 2; mode == 4 && year <= inputs[1].toInt(); ++year)
            click(calculate());
        QCOMPARE(field(4)->text(), result);
        QVERIFY(!calculate()->isEnabled());
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(field(i)->text(), inputs[i - 1]);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void aRejectedInputIsReportedInTheCurrentLanguage_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("letters, German")
            << Language::German << 1 << QStringList{"abc", "5", "10"}
            << "Fehler: 13 Nur Zahlen eingeben, keine Buchstaben eingeben!";
        QTest::newRow("letters, English")
            << Language::English << 2 << QStringList{"1000", "5x", "10"}
            << "Error: 13 Only type in numbers, do not type in letters!";
        QTest::newRow("letters, Italian")
            << Language::Italian << 3 << QStringList{"1000", "5", "abc"}
            << "Errore: 13 Inserire solo valori numerici, non lettere!";
        QTest::newRow("letters, French")
            << Language::French << 5 << QStringList{"abc", "5", "10"}
            << "Erreur: 13 Donner seulement L\u00b4addition pas de lettre";
        QTest::newRow("a field emptied after all were filled")
            << Language::English << 1 << QStringList{"1000", "2000", ""}
            << "Error: 13 Only type in numbers, do not type in letters!";
        QTest::newRow("ratio too large for the rate search, German")
            << Language::German << 5 << QStringList{"1", "1000000000000", "1"}
            << "Fehler: 1001 " +
                   tav::errorDescription(tav::ErrorNumber::RateOutOfRange, Language::German);
    }
    void aRejectedInputIsReportedInTheCurrentLanguage() {
        // One critical box with an OK button says so in the current language,
        // under the default cursor, and all four fields are emptied
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QStringList, inputs);
        QFETCH(QString, prompt);
        static const QString kTitles[] = {"Fehlermeldung", "Error message", "Messaggio di errore",
                                          "Faus message"};
        chooseLanguage(language);
        chooseMode(mode);
        enter(inputs);
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text, prompt);
        QCOMPARE(dialogs[0].title, kTitles[static_cast<int>(language)]);
        QCOMPARE(dialogs[0].icon, QMessageBox::Critical);
        QCOMPARE(dialogs[0].buttonCount, 1);
        QVERIFY(dialogs[0].hasOk);
        QVERIFY(!dialogs[0].cursorOverridden);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        expectEmptyFields();
    }

    void unusableInputEmptiesTheFieldsSilently_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("inputs");
        QTest::newRow("zero rate, mode 2") << 2 << QStringList{"1000", "0", "10"};
        QTest::newRow("negative days, mode 3") << 3 << QStringList{"1000", "5", "-90"};
        QTest::newRow("zero years, mode 4") << 4 << QStringList{"1000", "0", "5"};
        QTest::newRow("equal capitals, mode 1") << 1 << QStringList{"1000", "1000", "5"};
        QTest::newRow("part years, mode 4") << 4 << QStringList{"100", "2.5", "5"};
    }
    void unusableInputEmptiesTheFieldsSilently() {
        QFETCH(int, mode);
        QFETCH(QStringList, inputs);
        chooseMode(mode);
        enter(inputs);
        QCOMPARE(pendingDialogs(), 0);
        expectEmptyFields();
        QVERIFY(field(1)->isEnabled() && field(2)->isEnabled());
    }

    void theCursorIsTheDefaultAfterARateSearch() {
        // Given the rate mode and a wait cursor left by someone else
        chooseMode(5);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        type(1, "1000");
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);  // typing resets it
        type(2, "2000");
        type(3, "10");
        // When a rate is searched, the default cursor is back afterwards
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("7.17734625362"));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void aLanguageChangeTranslatesOnlyAShownPeriod() {
        // A mode-1 result is shown again in the new language
        const QString english = QStringLiteral("14.2066990828905 (14 years, 2 months and 14 days)");
        enterAndCalculate("1000", "2000", "5");
        QCOMPARE(field(4)->text(), english);
        chooseLanguage(Language::German);
        QCOMPARE(field(4)->text(),
                 QStringLiteral("14.2066990828905 (14 Jahre, 2 Monate und 14 Tage)"));
        chooseLanguage(Language::English);
        QCOMPARE(field(4)->text(), english);

        // but a final capital, or an empty result in mode 1, is left alone
        chooseMode(2);
        enterAndCalculate("1000", "5", "10");
        chooseLanguage(Language::German);
        QCOMPARE(field(4)->text(), QStringLiteral("1628.89"));
        chooseMode(1);
        chooseLanguage(Language::Italian);
        QVERIFY(field(4)->text().isEmpty());
    }

private:
    // Types the inputs and presses Command1; an empty input is typed and
    // deleted again, so that Command1 is enabled.
    void enter(const QStringList& inputs) {
        for (int i = 1; i <= 3; ++i)
            type(i, inputs[i - 1].isEmpty() ? QStringLiteral("1") : inputs[i - 1]);
        for (int i = 1; i <= 3; ++i)
            if (inputs[i - 1].isEmpty())
                retype(i, QString());
        click(calculate());
    }

    void expectEmptyFields() {
        for (int i = 1; i <= 4; ++i)
            QVERIFY2(field(i)->text().isEmpty(), qPrintable(field(i)->objectName()));
    }
};

TAVRIN_GUI_TEST_MAIN(TestCalculate)
#include "tst_calculate.moc"
