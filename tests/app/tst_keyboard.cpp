// The window without a mouse: whole calculations, a staged entry and a
// language switch walked with keys only, Enter in the input fields, the
// keypad's decimal key in two locales, and the names assistive technology
// reads for every control in the four languages.

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QtTest>

#include "guitest.h"
#include "language.h"

using tav::Language;

Q_DECLARE_METATYPE(tav::Language)

namespace {

QString accessibleText(QWidget* control, QAccessible::Text kind) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(kind) : QStringLiteral("<no accessible interface>");
}

QString accessibleName(QWidget* control) {
    return accessibleText(control, QAccessible::Name);
}

}  // namespace

class TestKeyboard : public GuiTest {
    Q_OBJECT

private slots:
    void init() {
        startTest();
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
    }
    void cleanup() { finishTest(); }

    void startsWithTheFocusInTheWindow() {
        // Given a fresh start
        // When nothing has been pressed yet
        // Then a control of the window has the focus, so that keys reach it
        QVERIFY(focused());
        QCOMPARE(focused()->window(), &window());
        QVERIFY(focused()->focusPolicy() & Qt::TabFocus);
    }

    void finalCapitalByKeysOnly() {
        // Given a fresh start in English, used with the keyboard alone
        // When mode 2 is chosen with Tab and an arrow key, 1000, 5 and 10 are
        // typed with Tab between the fields and Enter is pressed
        // Then the result field shows 1628.89 and the focus stays in the window
        tabTo(QStringLiteral("Option1"));
        press(Qt::Key_Down);
        QVERIFY(option(2)->isChecked());
        QCOMPARE(focused(), option(2));
        QCOMPARE(label(4)->text(), QStringLiteral("Money at the end of investment:"));

        tabTo(QStringLiteral("Text1"));
        typeKeys(QStringLiteral("1000"));
        press(Qt::Key_Tab);
        QCOMPARE(focused(), field(2));
        typeKeys(QStringLiteral("5"));
        press(Qt::Key_Tab);  // Command1 is still disabled, so Text3 is next
        QCOMPARE(focused(), field(3));
        typeKeys(QStringLiteral("10"));
        QVERIFY(calculate()->isEnabled());
        press(Qt::Key_Return);

        QCOMPARE(field(4)->text(), QStringLiteral("1628.89"));
        QVERIFY(!calculate()->isEnabled());
        QCOMPARE(focused(), field(3));

        // The result can be reached and read, and copied from the keyboard.
        tabTo(QStringLiteral("Text4"));
        QCOMPARE(accessibleText(field(4), QAccessible::Value), QStringLiteral("1628.89"));
        QCOMPARE(accessibleName(field(4)), QStringLiteral("Money at the end of investment:"));
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1628.89"));
        QCOMPARE(pendingDialogs(), 0);
    }

    void stagedEntryByKeysOnly() {
        // Given a fresh start in English, used with the keyboard alone
        // When the staged mode is chosen with arrow keys and 100 for three
        // years is entered with the rates 5, 4 and 3, pressing Command1 with
        // Enter in a field and with Space on the button
        // Then each press names the next year, and the last shows 112.48
        tabTo(QStringLiteral("Option1"));
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QVERIFY(option(4)->isChecked());
        QCOMPARE(calculate()->text(), QStringLiteral("Notice interest rate"));
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate first year"));

        tabTo(QStringLiteral("Text1"));
        typeKeys(QStringLiteral("100"));
        press(Qt::Key_Tab);
        typeKeys(QStringLiteral("3"));
        press(Qt::Key_Tab);
        QCOMPARE(focused(), field(3));
        typeKeys(QStringLiteral("5"));
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate second year"));
        QCOMPARE(accessibleName(field(3)), QStringLiteral("Interest rate second year"));
        QVERIFY(!field(1)->isEnabled());
        QCOMPARE(focused(), field(3));

        // The second rate, then back to the button, which Space presses.
        press(Qt::Key_A, Qt::ControlModifier);
        typeKeys(QStringLiteral("4"));
        QCOMPARE(field(3)->text(), QStringLiteral("4"));
        press(Qt::Key_Tab, Qt::ShiftModifier);  // Text2 is locked: Command1 comes before Text3
        QCOMPARE(focused(), calculate());
        press(Qt::Key_Space);
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate third year"));
        QCOMPARE(calculate()->text(), QStringLiteral("Calculate"));
        QCOMPARE(focused(), calculate());

        // The last rate; the button that presses itself into the disabled
        // state hands the focus on instead of losing it.
        press(Qt::Key_Tab);
        QCOMPARE(focused(), field(3));
        press(Qt::Key_A, Qt::ControlModifier);
        typeKeys(QStringLiteral("3"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Return);
        QCOMPARE(field(4)->text(), QStringLiteral("112.48"));
        QVERIFY(!calculate()->isEnabled());
        QVERIFY(field(1)->isEnabled());
        QVERIFY(focused());
        QCOMPARE(focused()->window(), &window());
        QCOMPARE(pendingDialogs(), 0);
    }

    void languageSwitchByKeysOnly() {
        // Given mode 1 with a result on show, reached by keys
        // When the language group is entered with Tab and Down chooses
        // Deutsch, then Up English again
        // Then every text, the shown result and the fields' names follow
        tabTo(QStringLiteral("Text1"));
        typeKeys(QStringLiteral("1000"));
        press(Qt::Key_Tab);
        typeKeys(QStringLiteral("2000"));
        press(Qt::Key_Tab);
        typeKeys(QStringLiteral("5"));
        press(Qt::Key_Return);
        const QString english = field(4)->text();
        QVERIFY2(english.contains(QStringLiteral("years")), qPrintable(english));

        tabTo(QStringLiteral("Option7"));
        press(Qt::Key_Down);
        QVERIFY(option(6)->isChecked());
        QCOMPARE(focused(), option(6));
        QCOMPARE(calculate()->text(), QStringLiteral("Rechnen"));
        QCOMPARE(saveBox()->text(), QStringLiteral("Speichern"));
        QCOMPARE(label(4)->text(), QStringLiteral("Anlagezeit in Jahren:"));
        QCOMPARE(accessibleName(field(4)), QStringLiteral("Anlagezeit in Jahren:"));
        QCOMPARE(accessibleName(calculate()), QStringLiteral("Rechnen"));
        QVERIFY2(field(4)->text().contains(QStringLiteral("Jahre")), qPrintable(field(4)->text()));
        QCOMPARE(accessibleText(field(4), QAccessible::Value), field(4)->text());

        press(Qt::Key_Up);
        QVERIFY(option(7)->isChecked());
        QCOMPARE(calculate()->text(), QStringLiteral("Calculate"));
        QCOMPARE(label(1)->text(), QStringLiteral("Starting capital"));
        QCOMPARE(field(4)->text(), english);
        QCOMPARE(accessibleName(field(1)), QStringLiteral("Starting capital"));
    }

    void enterCalculatesOnlyWhenTheButtonIsEnabled_data() {
        QTest::addColumn<int>("fieldNumber");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Return in Text3") << 3 << int(Qt::Key_Return) << "10"
                                         << "1628.89";
        QTest::newRow("keypad Enter in Text1") << 1 << int(Qt::Key_Enter) << "10"
                                               << "1628.89";
        QTest::newRow("Return in Text2") << 2 << int(Qt::Key_Return) << "10"
                                         << "1628.89";
        QTest::newRow("Return with Text3 empty") << 3 << int(Qt::Key_Return) << ""
                                                 << "";
        QTest::newRow("keypad Enter with Text3 empty") << 1 << int(Qt::Key_Enter) << ""
                                                       << "";
    }
    void enterCalculatesOnlyWhenTheButtonIsEnabled() {
        // Given mode 2 with 1000 and 5 typed, and 10 or nothing in Text3
        // When Enter is pressed in an input field
        // Then the calculation runs if Command1 is enabled, else nothing happens
        QFETCH(int, fieldNumber);
        QFETCH(int, key);
        QFETCH(QString, third);
        QFETCH(QString, expected);
        chooseMode(2);
        type(1, QStringLiteral("1000"));
        type(2, QStringLiteral("5"));
        type(3, third);
        QCOMPARE(calculate()->isEnabled(), !third.isEmpty());
        field(fieldNumber)->setFocus(Qt::TabFocusReason);
        press(Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(field(4)->text(), expected);
        QVERIFY(!calculate()->isEnabled());
        QCOMPARE(field(1)->text(), QStringLiteral("1000"));
        QCOMPARE(pendingDialogs(), 0);
    }

    void enterAfterACalculationDoesNotRepeatIt() {
        // Given a final capital just calculated, which disabled Command1
        // When Text3 is edited and Enter is pressed twice
        // Then the edit allows one new calculation and the second Enter,
        // with Command1 disabled again, does nothing
        chooseMode(2);
        enterAndCalculate(QStringLiteral("1000"), QStringLiteral("5"), QStringLiteral("10"));
        QCOMPARE(field(4)->text(), QStringLiteral("1628.89"));
        field(3)->setFocus(Qt::TabFocusReason);
        retype(3, QStringLiteral("1"));  // 1000 at 5% for 1 year
        QVERIFY(calculate()->isEnabled());
        QCOMPARE(field(4)->text(), QStringLiteral("1628.89"));
        QSignalSpy presses(calculate(), &QPushButton::clicked);
        press(Qt::Key_Return);
        QCOMPARE(field(4)->text(), QStringLiteral("1050"));
        QCOMPARE(presses.count(), 1);
        press(Qt::Key_Return);
        QCOMPARE(presses.count(), 1);
        QCOMPARE(field(4)->text(), QStringLiteral("1050"));
        QVERIFY(!calculate()->isEnabled());
    }

    void keypadDecimalTypesTheLocalesSeparator_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<QString>("expected");
        QTest::newRow("English, keypad period") << kEnglish << int(Qt::Key_Period) << true << "2.5";
        QTest::newRow("English, keypad comma") << kEnglish << int(Qt::Key_Comma) << true << "2.5";
        QTest::newRow("German, keypad period") << kGerman << int(Qt::Key_Period) << true << "2,5";
        QTest::newRow("German, keypad comma") << kGerman << int(Qt::Key_Comma) << true << "2,5";
        QTest::newRow("German, main keyboard period")
            << kGerman << int(Qt::Key_Period) << false << "2.5";
        QTest::newRow("English, main keyboard comma")
            << kEnglish << int(Qt::Key_Comma) << false << "2,5";
    }
    void keypadDecimalTypesTheLocalesSeparator() {
        // Given a desktop locale
        // When 2, the decimal key and 5 are typed into each input field
        // Then the keypad's key gives the locale's separator and the main
        // keyboard's period and comma stay what they are
        QFETCH(QLocale, locale);
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(QString, expected);
        QLocale::setDefault(locale);
        const Qt::KeyboardModifiers modifiers = keypad ? Qt::KeypadModifier : Qt::NoModifier;
        for (int number = 1; number <= 3; ++number) {
            QLineEdit* input = field(number);
            QTest::keyClick(input, Qt::Key_2, modifiers);
            QTest::keyClick(input, Qt::Key(key), modifiers);
            QTest::keyClick(input, Qt::Key_5, modifiers);
            QCOMPARE(input->text(), expected);
        }
        QVERIFY(calculate()->isEnabled());
    }

    void keypadDecimalKeepsTheLengthLimitAndSelection() {
        // Given German number format, a full field and a field with a selection
        // When the keypad's decimal key is pressed in each
        // Then the full field refuses it and the selection is replaced by ","
        QLocale::setDefault(kGerman);
        type(1, QStringLiteral("1234567890123"));
        QTest::keyClick(field(1), Qt::Key_Period, Qt::KeypadModifier);
        QCOMPARE(field(1)->text(), QStringLiteral("1234567890123"));

        type(2, QStringLiteral("2x5"));
        field(2)->setSelection(1, 1);
        QTest::keyClick(field(2), Qt::Key_Period, Qt::KeypadModifier);
        QCOMPARE(field(2)->text(), QStringLiteral("2,5"));
        QTest::keyClick(field(2), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(field(2)->text(), QStringLiteral("2x5"));
    }

    void keypadDecimalCalculates() {
        // Given German number format and mode 2
        // When 1000, 2<keypad decimal>5 and 10 are typed on the keypad and
        // Enter is pressed
        // Then the rate is read as 2.5 % and the result has a decimal comma
        QLocale::setDefault(kGerman);
        chooseMode(2);
        field(1)->setFocus(Qt::TabFocusReason);
        keypadKeys(QStringLiteral("1000"));
        press(Qt::Key_Tab);
        keypadKeys(QStringLiteral("2.5"));
        press(Qt::Key_Tab);
        keypadKeys(QStringLiteral("10"));
        QCOMPARE(field(2)->text(), QStringLiteral("2,5"));
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(field(4)->text(), QStringLiteral("1280,08"));  // 1000 * 1.025^10 = 1280.0845
        QCOMPARE(pendingDialogs(), 0);
    }

    void accessibleNamesFollowTheCaptions_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");           // chosen with its button; 1 is the start
        QTest::addColumn<int>("stagedYears");    // rates noted in the staged mode
        QTest::addColumn<QStringList>("names");  // Text1 .. Text4
        QTest::newRow("English at start")
            << Language::English << 1 << 0
            << QStringList{"Starting capital", "Money at the end of investment",
                           "Interest rate in %", "Invest period in years:"};
        QTest::newRow("German at start") << Language::German << 1 << 0
                                         << QStringList{"Anfangskapital", "Endkapital",
                                                        "Zinssatz in %", "Anlagezeit in Jahren:"};
        QTest::newRow("Italian at start")
            << Language::Italian << 1 << 0
            << QStringList{"Capitale iniziale", "Capitale finale", "Tasso d'interesse in %",
                           "Durata dell'investimento in anni:"};
        QTest::newRow("French at start")
            << Language::French << 1 << 0
            << QStringList{"Capital initial", "Capital final", "Les\u00b4 intérêt des tas en %",
                           "Le durée des placements en ans:"};
        QTest::newRow("English mode 3") << Language::English << 3 << 0
                                        << QStringList{"Starting capital", "Interest rate in %",
                                                       "Invest period in days", "Interest:"};
        QTest::newRow("Italian mode 5")
            << Language::Italian << 5 << 0
            << QStringList{"Capitale iniziale", "Capitale finale",
                           "Durata dell'investimento in anni", "Tasso d'interesse in %:"};
        QTest::newRow("German staged, two rates noted")
            << Language::German << 4 << 2
            << QStringList{"Anfangskapital", "Anlagezeit in Jahren", "Zinssatz drittes Jahr",
                           "Endkapital:"};
        QTest::newRow("English staged, one rate noted")
            << Language::English << 4 << 1
            << QStringList{"Starting capital", "Invest period in years",
                           "Interest rate second year", "Money at the end of investment:"};
        QTest::newRow("Italian staged, two rates noted")
            << Language::Italian << 4 << 2
            << QStringList{"Capitale iniziale", "Durata dell'investimento in anni",
                           "Tasso d'interesse del terzo anno", "Capitale finale:"};
        QTest::newRow("French staged, two rates noted")
            << Language::French << 4 << 2
            << QStringList{"Capital initial", "Le durée des placements en ans",
                           "Les tas intérêt des troisième anner", "Capital final:"};
    }
    void accessibleNamesFollowTheCaptions() {
        // Given a language, a mode and, for the staged mode, some rates noted
        // of a five-year entry
        // When assistive technology asks for the controls' names
        // Then each field is named after its label's current caption and each
        // button after its caption; the names follow a later language switch
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(int, stagedYears);
        QFETCH(QStringList, names);
        // Names asked for before the change must not be stale afterwards.
        QCOMPARE(accessibleName(field(1)), QStringLiteral("Starting capital"));
        chooseLanguage(language);
        if (mode != 1)
            chooseMode(mode);
        if (stagedYears > 0) {
            enterAndCalculate(QStringLiteral("100"), QStringLiteral("5"), QStringLiteral("2"));
            for (int year = 2; year <= stagedYears; ++year)
                click(calculate());
            QCOMPARE(window().c, qint16(stagedYears));
        }
        for (int number = 1; number <= 4; ++number)
            QCOMPARE(accessibleName(field(number)), names[number - 1]);
        checkButtonNames();

        // A switch to another language renames everything at once.
        const Language other = language == Language::English ? Language::French : Language::English;
        chooseLanguage(other);
        for (int number = 1; number <= 4; ++number) {
            QVERIFY(!label(number)->text().isEmpty());
            QCOMPARE(accessibleName(field(number)), label(number)->text());
        }
        checkButtonNames();
    }

    void framesAndLabelsTakeNoFocus() {
        // Given a fresh start
        // When the focus is moved with Tab around the whole window
        // Then it never rests on a frame or a label, and every control that
        // takes it has a name
        QVERIFY(focused());
        QWidget* const first = focused();
        for (int step = 0; step < 20; ++step) {
            press(Qt::Key_Tab);
            QWidget* now = focused();
            QVERIFY(now);
            QVERIFY2(!qobject_cast<QLabel*>(now), qPrintable(now->objectName()));
            QVERIFY2(!qobject_cast<QGroupBox*>(now), qPrintable(now->objectName()));
            QVERIFY2(now->objectName() != QStringLiteral("Frame2"), "Frame2 has the focus");
            QVERIFY2(!accessibleName(now).isEmpty(), qPrintable(now->objectName()));
            if (now == first)
                return;
        }
        QFAIL("Tab never came back to where it started");
    }

private:
    static QWidget* focused() { return QApplication::focusWidget(); }

    // A key on whatever has the focus, as the keyboard delivers it.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = focused();
        QVERIFY2(target, "no control has the focus");
        QTest::keyClick(target, key, modifiers);
    }

    void typeKeys(const QString& text) {
        QWidget* target = focused();
        QVERIFY2(target, "no control has the focus");
        QTest::keyClicks(target, text);
    }

    // Digits and the decimal key of the numeric keypad.
    void keypadKeys(const QString& text) {
        for (QChar character : text) {
            QWidget* target = focused();
            QVERIFY2(target, "no control has the focus");
            const Qt::Key key = character == QLatin1Char('.')
                                    ? Qt::Key_Period
                                    : Qt::Key(Qt::Key_0 + character.digitValue());
            QTest::keyClick(target, key, Qt::KeypadModifier);
        }
    }

    // Tab until the control named `name` has the focus; once round the
    // window at most.
    void tabTo(const QString& name) {
        for (int step = 0; step < 16; ++step) {
            QWidget* now = focused();
            QVERIFY2(now, "no control has the focus");
            if (now->objectName() == name)
                return;
            QTest::keyClick(now, Qt::Key_Tab);
        }
        QFAIL(qPrintable(QStringLiteral("Tab never reaches %1").arg(name)));
    }

    void checkButtonNames() {
        for (int number = 1; number <= 9; ++number)
            QCOMPARE(accessibleName(option(number)), option(number)->text());
        QCOMPARE(accessibleName(calculate()), calculate()->text());
        QCOMPARE(accessibleName(saveBox()), saveBox()->text());
    }
};

TAVRIN_GUI_TEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
