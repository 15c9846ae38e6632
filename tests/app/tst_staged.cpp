// The staged model in the window: the three-year example press by press,
// language changes in each of its states, the twenty-year limit, and entries
// that end without a final capital.

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
        expectDue(QStringLiteral("Interest rate first year"),
                  QStringLiteral("Notice interest rate"));
        QVERIFY(!calculate()->isEnabled());
        enterAndCalculate("100", "3", "5");

        // When the first rate is noted, the second year is due and the fixed
        // inputs are locked
        expectDue(QStringLiteral("Interest rate second year"),
                  QStringLiteral("Notice interest rate"));
        QVERIFY(calculate()->isEnabled());
        expectLocked(true);
        QCOMPARE(field(1)->text(), QStringLiteral("100"));
        QVERIFY(field(4)->text().isEmpty());

        // When the second is noted, the last year is due under "Calculate"
        retype(3, "4");
        click(calculate());
        expectDue(QStringLiteral("Interest rate third year"), QStringLiteral("Calculate"));
        expectLocked(true);

        // When the third is noted, the final capital is shown in cents, the
        // inputs are unlocked and Command1 is disabled
        retype(3, "3");
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("112.48"));
        QVERIFY(!calculate()->isEnabled());
        expectLocked(false);
        expectDue(QStringLiteral("Interest rate third year"), QStringLiteral("Calculate"));
        QCOMPARE(pendingDialogs(), 0);
    }

    void twentyYearsAreTheLimit() {
        // More than twenty years: Command1 shows the limit, the fields keep
        // their text and no year is noted
        chooseMode(4);
        enterAndCalculate("100", "21", "1");
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text, QStringLiteral("Only 20 years possible"));
        QCOMPARE(dialogs[0].title, QStringLiteral("Error"));
        QCOMPARE(dialogs[0].icon, QMessageBox::Critical);
        QCOMPARE(dialogs[0].buttonCount, 1);
        QCOMPARE(field(2)->text(), QStringLiteral("21"));
        QCOMPARE(window().c, qint16(0));
        expectLocked(false);

        // Twenty: the same rate noted twenty times names every year in turn
        retype(2, "20");
        click(calculate());
        for (qint16 year = 1; year < 20; ++year) {
            QCOMPARE(label(3)->text(), window().Texte(year));
            click(calculate());
        }
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate twentieth year"));
        QCOMPARE(field(4)->text(), QStringLiteral("122.02"));  // 100 * 1.01^20
        QCOMPARE(pendingDialogs(), 0);
    }

    void languageChangeInEachState_data() {
        QTest::addColumn<int>("presses");  // rates noted of a five-year entry
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("label3");
        QTest::addColumn<QString>("caption");
        QTest::newRow("ready, German") << 0 << Language::German << "Zinssatz erstes Jahr"
                                       << "Zinssatz merken";
        QTest::newRow("two noted, Italian")
            << 2 << Language::Italian << "Tasso d'interesse del terzo anno"
            << "Controllare il tasso d'interesse";
        QTest::newRow("last due, French")
            << 4 << Language::French << "Les tas intérêt des cinquième anner"
            << "Calculer";
    }
    void languageChangeInEachState() {
        // After a language change the state's captions are in the new language
        // and the entry goes on where it was
        QFETCH(int, presses);
        QFETCH(Language, language);
        QFETCH(QString, label3);
        QFETCH(QString, caption);
        static const QString kStart[] = {"Anfangskapital", "Starting capital", "Capitale iniziale",
                                         "Capital initial"};
        chooseMode(4);
        type(1, "100");
        type(2, "5");
        type(3, "10");
        for (int i = 0; i < presses; ++i)
            click(calculate());
        chooseLanguage(language);
        expectDue(label3, caption);
        QCOMPARE(label(1)->text(), kStart[static_cast<int>(language)]);
        expectLocked(presses > 0);
        for (int i = presses; i < 5; ++i)
            click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("161.05"));
    }

    // An entry that ends without a final capital must not leave the fixed
    // inputs locked and empty, nor years from the entry behind.
    void anUnfinishedEntryUnlocksTheInputs_data() {
        QTest::addColumn<QString>("ending");  // a rate, or empty: a mode is chosen
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("messages");
        QTest::newRow("zero rate") << "0" << 0 << 0;
        QTest::newRow("letters as rate") << "x" << 0 << 1;
        QTest::newRow("rate that overflows the capital") << "1E308" << 0 << 1;
        QTest::newRow("staged mode chosen again") << "" << 4 << 0;
        QTest::newRow("mode 2 chosen") << "" << 2 << 0;
    }
    void anUnfinishedEntryUnlocksTheInputs() {
        QFETCH(QString, ending);
        QFETCH(int, mode);
        QFETCH(int, messages);
        // Given a three-year entry with one rate noted
        chooseMode(4);
        enterAndCalculate("1000", "3", "5");
        expectLocked(true);
        // When it ends without completing
        if (mode != 0) {
            chooseMode(mode);
        } else {
            retype(3, ending);
            click(calculate());
        }
        // Then the fields are empty and editable, and no year is left noted
        QCOMPARE(takeDialogs().size(), messages);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(field(i)->text().isEmpty());
        expectLocked(false);
        QCOMPARE(window().c, qint16(0));

        // and a new entry can be typed and completes normally
        if (mode == 2)
            chooseMode(4);
        enterAndCalculate("200", "1", "10");
        QCOMPARE(field(4)->text(), QStringLiteral("220"));
    }

private:
    void expectDue(const QString& label3, const QString& caption) {
        QCOMPARE(label(3)->text(), label3);
        QCOMPARE(calculate()->text(), caption);
    }

    // Locked fixed inputs are disabled and painted in the button face.
    void expectLocked(bool locked) {
        for (int i = 1; i <= 2; ++i) {
            QCOMPARE(field(i)->isEnabled(), !locked);
            QCOMPARE(fieldColour(field(i)), locked ? buttonFace() : windowBackground());
        }
        QVERIFY(field(3)->isEnabled());
    }
};

TAVRIN_GUI_TEST_MAIN(TestStaged)
#include "tst_staged.moc"
