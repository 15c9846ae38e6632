// The window without a mouse: a calculation and a staged entry with keys only,
// Enter in the input fields, the keypad's decimal key, and the names
// assistive technology reads for the controls.

#include <QAccessible>

#include "guitest.h"

namespace {
QString accessibleText(QWidget* control, QAccessible::Text kind = QAccessible::Name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(kind) : QStringLiteral("<no accessible interface>");
}
QWidget* focused() {
    return QApplication::focusWidget();
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

    void finalCapitalByKeysOnly() {
        // Mode 2 by Tab and Down; Enter presses Command1 only once Text3 holds
        // text and not again after the calculation; the result can be copied
        tabTo(QStringLiteral("Option1"));
        press(Qt::Key_Down);
        QVERIFY(option(2)->isChecked());
        typeFromText1({"1000", "5"});
        QSignalSpy presses(calculate(), &QPushButton::clicked);
        press(Qt::Key_Return);
        QCOMPARE(presses.count(), 0);
        press(Qt::Key_Tab);
        QTest::keyClicks(focused(), QStringLiteral("10"));
        press(Qt::Key_Return);
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(presses.count(), 1);
        QCOMPARE(field(4)->text(), QStringLiteral("1628.89"));
        QCOMPARE(focused(), field(3));
        tabTo(QStringLiteral("Text4"));
        QCOMPARE(accessibleText(field(4), QAccessible::Value), QStringLiteral("1628.89"));
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("1628.89"));
        QCOMPARE(pendingDialogs(), 0);
    }

    void stagedEntryByKeysOnly() {
        // Rates noted with keypad Enter in Text3, with Space and Return on the
        // button; each press names the next year
        tabTo(QStringLiteral("Option1"));
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Down);
        QVERIFY(option(4)->isChecked());
        typeFromText1({"100", "3", "5"});
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate second year"));
        QCOMPARE(focused(), field(3));
        retypeFocused(QStringLiteral("4"));
        press(Qt::Key_Tab, Qt::ShiftModifier);  // Text2 is locked: Command1 comes before Text3
        QCOMPARE(focused(), calculate());
        press(Qt::Key_Space);
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate third year"));
        // The button that presses itself into the disabled state hands the
        // focus on instead of losing it.
        press(Qt::Key_Tab);
        retypeFocused(QStringLiteral("3"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Return);
        QCOMPARE(field(4)->text(), QStringLiteral("112.48"));
        QVERIFY(focused() && focused()->window() == &window());
        QCOMPARE(pendingDialogs(), 0);
    }

    void keypadDecimalTypesTheLocalesSeparator_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<QString>("expected");
        QTest::newRow("German, keypad period") << kGerman << int(Qt::Key_Period) << true << "2,5";
        QTest::newRow("English, keypad comma") << kEnglish << int(Qt::Key_Comma) << true << "2.5";
        QTest::newRow("German, main keyboard period")
            << kGerman << int(Qt::Key_Period) << false << "2.5";
    }
    void keypadDecimalTypesTheLocalesSeparator() {
        // in every input field; the main keyboard's keys stay what they are
        QFETCH(QLocale, locale);
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(QString, expected);
        QLocale::setDefault(locale);
        for (int number = 1; number <= 3; ++number) {
            for (Qt::Key typed : {Qt::Key_2, Qt::Key(key), Qt::Key_5})
                QTest::keyClick(field(number), typed, keypad ? Qt::KeypadModifier : Qt::NoModifier);
            QCOMPARE(field(number)->text(), expected);
        }
    }

    void keypadDecimalKeepsTheLengthLimitAndSelection() {
        // A full field refuses the key, a selection is replaced and undone
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

    void accessibleNamesFollowTheCaptions() {
        // Each field is named after its label and each button after its
        // caption, never with a name asked for earlier: at the start, in a
        // staged state of another language, and after a switch back
        checkNames();
        chooseLanguage(Language::French);
        chooseMode(4);
        enter({"100", "5", "2"});
        click(calculate());
        QCOMPARE(accessibleText(field(3)), QStringLiteral("Les tas intérêt des troisième anner"));
        checkNames();
        chooseLanguage(Language::German);
        checkNames();
    }

private:
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QVERIFY2(focused(), "no control has the focus");
        QTest::keyClick(focused(), key, modifiers);
    }
    void retypeFocused(const QString& text) {
        press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focused(), text);
    }

    // Tabs to Text1 and types the inputs with Tab between them.
    void typeFromText1(const QStringList& inputs) {
        tabTo(QStringLiteral("Text1"));
        for (int i = 0; i < inputs.size(); ++i) {
            if (i > 0)
                press(Qt::Key_Tab);
            QTest::keyClicks(focused(), inputs[i]);
        }
    }

    // Tab until `name` has the focus; once round the window at most.
    void tabTo(const QString& name) {
        for (int step = 0; step < 16 && focused(); ++step) {
            if (focused()->objectName() == name)
                return;
            QTest::keyClick(focused(), Qt::Key_Tab);
        }
        QFAIL(qPrintable(QStringLiteral("Tab never reaches %1").arg(name)));
    }

    void checkNames() {
        for (int number = 1; number <= 4; ++number) {
            QVERIFY(!label(number)->text().isEmpty());
            QCOMPARE(accessibleText(field(number)), label(number)->text());
        }
        QList<QWidget*> buttons{calculate(), saveBox()};
        for (int number = 1; number <= 9; ++number)
            buttons << option(number);
        for (QWidget* button : buttons)
            QCOMPARE(accessibleText(button), texts({button}).first());
    }
};

TAVRIN_GUI_TEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
