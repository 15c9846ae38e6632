// The window without numbers: start state, texts, limits, focus order, colours, captions, the
// latch, and use by keys only with the names assistive technology reads.

#include "guitest.h"

namespace {
struct Texts {
    int language;        // -1: none chosen, the start
    int mode;            // 0: none chosen
    bool languageAgain;  // the language button pressed after the mode button
    const char* expected;
};
enum class DarkFrom { Start, StagedEntry, AfterStagedEntry };
}  // namespace
Q_DECLARE_METATYPE(Texts)
Q_DECLARE_METATYPE(DarkFrom)

static QString accessibleText(QWidget* control, QAccessible::Text kind = QAccessible::Name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(kind) : QStringLiteral("<no accessible interface>");
}

class TestWindow : public GuiTest {
    Q_OBJECT

private slots:
    void startsInEnglishWithModeOne() {
        QCOMPARE(window().windowTitle(), QStringLiteral("tavrin 1.05 (Freeware)"));
        QVERIFY(option(7)->isChecked() && option(1)->isChecked() && !saveBox()->isChecked());
        QVERIFY(!calculate()->isEnabled());
        QCOMPARE(fieldTexts(), QStringList(4));
        for (int i = 1; i <= 3; ++i) {  // the fourteenth character is refused
            type(i, QStringLiteral("12345678901234"));
            QCOMPARE(field(i)->text(), QStringLiteral("1234567890123"));
        }
        QCOMPARE(window().size(), QSize(595, 362));
        QVERIFY(window().minimumSize() == window().maximumSize());
        QVERIFY(!window().windowIcon().isNull());
#ifdef Q_OS_WIN
        // The classic dialog font where Windows has it, else its successor; Wine: the host's narrow
        const QStringList wanted{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans Narrow"};
        const auto first = std::find_if(wanted.cbegin(), wanted.cend(), [](const QString& name) {
            return QFontDatabase::families().contains(name);
        });
        QVERIFY(first != wanted.cend());
        QCOMPARE(QFontInfo(window().font()).family(), *first);
        QCOMPARE(window().font().pointSizeF(), 8.25);
#else
        QCOMPARE(QFontInfo(window().font()).family(), QStringLiteral("Liberation Sans Narrow"));
#endif
        QVERIFY(field(4)->isReadOnly() && field(4)->font().bold() && label(4)->font().bold());
        QVERIFY(label(5)->palette().color(QPalette::WindowText) == QColor(128, 128, 128));
        QCOMPARE(label(5)->alignment(), Qt::AlignCenter);
        QVERIFY(buttonFace() != windowBackground());  // locked fields must look different
    }

    void textsFollowLanguageAndMode_data() {
        // Without a mode: Option1..5, Command1, Check1, Label1..5; with one: Label1..4, Command1.
        QTest::addColumn<Texts>("row");
        QTest::newRow("English at start")
            << Texts{-1, 0, false,
                     "Calculate the invest period in years|Calculate the money you get back in "
                     "some years|Calculate the interest for some days|Calculate a varied interest "
                     "rate|Calculate the interest rate|Calculate|Save|Starting capital|Money at "
                     "the end of investment|Interest rate in %|Invest period in years:|If you "
                     "have questions, then write an e-mail to: tavrin@example.org"};
        QTest::newRow("French, no contact line")
            << Texts{3, 0, false,
                     "Calculer le durée des placement en ans|Calculer le capital final dons une "
                     "période de quelue année|Calculer les tas dons un période des quelques jour|"
                     "Tas des intérêt variable|Calculer les tas des intérêt|Calculer|Enregistrer|"
                     "Capital initial|Capital final|Les´ intérêt des tas en %|Le durée des "
                     "placements en ans:|"};
        QTest::newRow("mode 3 English")
            << Texts{1, 3, false,
                     "Starting capital|Interest rate in %|Invest period in days|Interest:|"
                     "Calculate"};
        QTest::newRow("mode 3 English, the language button's result label")
            << Texts{1, 3, true,
                     "Starting capital|Interest rate in %|Invest period in days|Interest for "
                     "some days:|Calculate"};
        QTest::newRow("mode 4 French")
            << Texts{3, 4, false,
                     "Capital initial|Le durée des placements en ans|Les tas intérêt de premier "
                     "anner|Capital final:|Contrôl les tas d´intérêt"};
        QTest::newRow("mode 4 French, the language button's first year")
            << Texts{3, 4, true,
                     "Capital initial|Le durée des placements en ans|Le tas d'intérêt premier "
                     "anner|Capital final:|Contrôl les tas d´intérêt"};
    }
    void textsFollowLanguageAndMode() {  // a language change keeps the input, a mode change not
        QFETCH(Texts, row);
        type(1, QStringLiteral("100"));
        if (row.language >= 0)
            chooseLanguage(Language(row.language));
        if (row.mode)
            chooseMode(row.mode);
        if (row.languageAgain)
            chooseLanguage(Language(row.language));
        QList<QWidget*> shown = labels() << calculate();
        if (!row.mode)
            shown = QList<QWidget*>{option(1), option(2),   option(3), option(4),
                                    option(5), calculate(), saveBox()} +
                    labels(5);
        QCOMPARE(texts(shown), split(row.expected));
        QCOMPARE(field(1)->text(), row.mode ? QString() : QStringLiteral("100"));
        QCOMPARE(window().currentLanguage(),
                 row.language < 0 ? Language::English : Language(row.language));
    }

    void aPasteThatDoesNotFitIsRefusedWhole_data() {  // before|pasted|after; '*' selects all
        QTest::addColumn<QString>("row");
        QTest::newRow("one more than fits") << "123456789012|34|123456789012";
        QTest::newRow("exactly to the limit") << "1234567890|123|1234567890123";
        QTest::newRow("over a selection that makes room") << "*1234567890123|99|99";
    }
    void aPasteThatDoesNotFitIsRefusedWhole() {  // and the field reports no change
        QFETCH(QString, row);
        QStringList parts = split(row);
        const bool selected = parts[0].startsWith(u'*');
        type(1, parts[0].remove(u'*'));
        if (selected)
            field(1)->selectAll();
        QApplication::clipboard()->setText(parts[1]);
        QSignalSpy changes(field(1), &QLineEdit::textChanged);
        QTest::keyClick(field(1), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field(1)->text(), parts[2]);
        QCOMPARE(changes.isEmpty(), parts[2] == parts[0]);
    }

    void resultAndFieldsReadOnADarkTheme_data() {
        QTest::addColumn<DarkFrom>("from");
        QTest::newRow("dark from the start") << DarkFrom::Start;
        QTest::newRow("switched during a staged entry") << DarkFrom::StagedEntry;
        QTest::newRow("switched after a staged entry") << DarkFrom::AfterStagedEntry;
    }
    void resultAndFieldsReadOnADarkTheme() {  // dark on its light blue; fields in the theme's
        QFETCH(DarkFrom, from);
        const QPalette dark(QColor(53, 53, 53));  // light text on dark grounds
        const auto restore =
            qScopeGuard([l = QApplication::palette()] { QApplication::setPalette(l); });
        if (from == DarkFrom::Start) {
            closeWindow();
            QApplication::setPalette(dark);
            openWindow();
        }
        chooseMode(4);
        enter(from == DarkFrom::AfterStagedEntry ? split("100|2|5|4") : split("100|2|5"));
        QApplication::setPalette(dark);
        // What a running event loop passes on to every widget; tests run none.
        for (QWidget* widget : QApplication::allWidgets()) {
            QEvent changed(QEvent::ApplicationPaletteChange);
            QCoreApplication::sendEvent(widget, &changed);
        }
        QCOMPARE(field(4)->palette().color(QPalette::Base), QColor(215, 235, 250));
        QVERIFY(field(4)->palette().color(QPalette::Text).lightness() <= 72);  // 160 below 232
        const bool locked = from != DarkFrom::AfterStagedEntry;
        QCOMPARE(field(1)->isEnabled(), !locked);
        QCOMPARE(fieldColour(field(1)), dark.color(locked ? QPalette::Button : QPalette::Base));
        QCOMPARE(fieldColour(field(3)), dark.color(QPalette::Base));
    }

    void tabFollowsTheTabIndices_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("stops");
        QTest::newRow("all filled at start, so that Command1 takes focus")
            << 1 << "Text1|Text2|Command1|Text3|Option1|Text4|Check1|Option7|Text1";
        QTest::newRow("mode 3, French: a group stops at its selected button")
            << 3 << "Text1|Text2|Text3|Option3|Text4|Option9|Check1|Text1|Text2";
    }
    void tabFollowsTheTabIndices() {
        QFETCH(int, mode);
        QFETCH(QString, stops);
        chooseMode(mode);
        for (int i = 1; i <= 3 && mode == 1; ++i)
            type(i, QStringLiteral("1"));
        if (mode != 1)
            chooseLanguage(Language::French);
        field(1)->setFocus(Qt::TabFocusReason);
        QStringList visited{focused()->objectName()};
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(focused(), Qt::Key_Tab);
            visited << focused()->objectName();
        }
        QCOMPARE(visited.join(u'|'), stops);
    }

    void calculateIsEnabledAndTheLatchKeepsIt() {
        // Only the keystroke that fills the last empty field enables Command1; emptying one does
        // not disable it, a mode change does, unless mode 5 was chosen before
        for (int last = 1; last <= 3; ++last) {
            chooseMode(1);
            for (int i = 1; i <= 3; ++i) {
                if (i != last)
                    type(i, QStringLiteral("1"));
            }
            QVERIFY(!calculate()->isEnabled());
            type(last, QStringLiteral("1"));
            QVERIFY(calculate()->isEnabled());
        }
        retype(2, QString());
        QVERIFY(calculate()->isEnabled());
        chooseMode(2);
        QVERIFY(!calculate()->isEnabled());
        chooseMode(5);
        chooseMode(1);
        for (int i = 1; i <= 3; ++i)
            type(i, QStringLiteral("1"));
        chooseMode(2);
        QVERIFY(field(1)->text().isEmpty() && field(3)->text().isEmpty());
        QVERIFY(calculate()->isEnabled());
    }

    void everyCaptionFitsAndNamesItsControl_data() {
        QTest::addColumn<Language>("language");
        for (Language language : tav::kAllLanguages)
            QTest::newRow(qPrintable(QString::number(int(language)))) << language;
    }
    void everyCaptionFitsAndNamesItsControl() {  // in every mode, by its button and the language's
        QFETCH(Language, language);
        chooseLanguage(language);
        QList<QWidget*> controls{calculate(), saveBox()};
        for (int i = 1; i <= 9; ++i)
            controls << option(i) << label(qMin(i, 5));
        for (int mode = 1; mode <= 5; ++mode) {
            for (bool byLanguage : {false, true}) {
                byLanguage ? chooseLanguage(language) : chooseMode(mode);
                for (QWidget* control : controls)
                    QVERIFY2(fits(control), qPrintable(control->objectName()));
                checkNames();
            }
        }
        for (qint16 year = 0; year <= 20; ++year) {  // and every year's label
            label(3)->setText(window().Texte(year));
            QVERIFY(!label(3)->text().isEmpty() && fits(label(3)));
            QCOMPARE(accessibleText(field(3)), label(3)->text());
        }
    }

    void finalCapitalByKeysOnly() {
        // Enter presses Command1 only once Text3 holds text, not again after; the result copies
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
    }

    void stagedEntryByKeysOnly() {
        // Rates noted with keypad Enter in Text3, Space and Return on the button
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
        // The button that presses itself into the disabled state hands the focus on
        press(Qt::Key_Tab);
        retypeFocused(QStringLiteral("3"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Return);
        QCOMPARE(field(4)->text(), QStringLiteral("112.48"));
        QVERIFY(focused() && focused()->window() == &window());
    }

    void keypadDecimalTypesTheLocalesSeparator_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<QString>("expected");
        QTest::newRow("German, keypad period") << kGerman << int(Qt::Key_Period) << true << "2,5";
        QTest::newRow("English, keypad comma") << kEnglish << int(Qt::Key_Comma) << true << "2.5";
        QTest::newRow("German, main keyboard") << kGerman << int(Qt::Key_Period) << false << "2.5";
    }
    void keypadDecimalTypesTheLocalesSeparator() {  // in every field; the main keyboard's not
        QFETCH(QLocale, locale);
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(QString, expected);
        QLocale::setDefault(locale);
        for (int number = 1; number <= 3; ++number) {
            for (int typed : {int(Qt::Key_2), key, int(Qt::Key_5)})
                QTest::keyClick(field(number), Qt::Key(typed),
                                keypad ? Qt::KeypadModifier : Qt::NoModifier);
            QCOMPARE(field(number)->text(), expected);
        }
    }

    void keypadDecimalKeepsTheLengthLimitAndSelection() {
        // A full field refuses it, a selection is replaced and undone
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

private:
    // A button's size hint holds its text, indicator and focus frame.
    static bool fits(const QWidget* control) {
        const auto* button = qobject_cast<const QAbstractButton*>(control);
        const int needed =
            button ? button->sizeHint().width()
                   : control->fontMetrics().horizontalAdvance(control->property("text").toString());
        return needed <= control->width();
    }
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

    // Fields are named after their labels, buttons after their captions, never with a stale name.
    void checkNames() {
        QList<QWidget*> buttons{calculate(), saveBox()};
        for (int number = 1; number <= 9; ++number) {
            buttons << option(number);
            if (number <= 4)
                QCOMPARE(accessibleText(field(number)), label(number)->text());
        }
        for (QWidget* button : buttons)
            QCOMPARE(accessibleText(button), texts({button}).first());
    }
};

TAVRIN_GUI_TEST_MAIN(TestWindow)
#include "tst_window.moc"
