// The window without numbers: start state, texts, limits, focus order, colours, captions, the
// latch, and use by keys only with the names assistive technology reads.

#include "guitest.h"
#include "statusline.h"

using namespace tav::test;

// What assistive technology reads as the control's name.
static QString accessibleName(QWidget* control) {
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
}

class TestWindow : public GuiTest {
    Q_OBJECT

private slots:
    void startsInEnglishWithModeOne() {
        QCOMPARE(window().windowTitle(), QStringLiteral("tavrin 1.05 (Freeware)"));
        QVERIFY(option(7)->isChecked() && option(1)->isChecked() && !saveBox()->isChecked() &&
                !calculate()->isEnabled());
        QCOMPARE(fieldTexts(), QStringList(4));
        QCOMPARE(
            texts({option(1), option(2), option(3), option(4), option(5), calculate(), saveBox(),
                   label(1), label(2), label(3), label(4), label(5)}),
            QStringList({"Calculate the invest period in years",
                         "Calculate the money you get back in some years",
                         "Calculate the interest for some days", "Calculate a varied interest rate",
                         "Calculate the interest rate", "Calculate", "Save", "Starting capital",
                         "Money at the end of investment", "Interest rate in %",
                         "Invest period in years:",
                         "If you have questions, then write an e-mail to: tavrin@example.org"}));
        QVERIFY(window().minimumSize() == QSize(595, 362) &&
                window().maximumSize() == QSize(595, 362));
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
        QCOMPARE(label(5)->palette().color(QPalette::WindowText), QColor(128, 128, 128));
        QCOMPARE(label(5)->alignment(), Qt::AlignCenter);
    }

    void aModeButtonShowsItsLabels() {
        // French chosen, then the staged mode: its labels, the first year's as the mode button
        // writes it (that the fields are emptied: aModeChosenDuringAStagedEntryEndsIt)
        chooseLanguage(Language::French);
        chooseMode(4);
        QCOMPARE(texts({label(1), label(2), label(3), label(4), calculate()}),
                 QStringList({"Capital initial", "Le durée des placements en ans",
                              "Les tas intérêt de premier anner",
                              "Capital final:", "Contrôl les tas d´intérêt"}));
    }

    void aLanguageButtonRelabelsTheMode() {
        // Mode 3 chosen, then English: the result label as the language button writes it (that
        // the fields keep their texts: showsAndSavesTheResultOfEachMode)
        chooseMode(3);
        chooseLanguage(Language::English);
        QCOMPARE(texts({label(1), label(2), label(3), label(4), calculate()}),
                 QStringList({"Starting capital", "Interest rate in %", "Invest period in days",
                              "Interest for some days:", "Calculate"}));
    }

    void resultAndFieldsReadOnADarkTheme_data() {
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<bool>("locked");
        QTest::newRow("during a staged entry") << u"100 2 5"_s << true;
        QTest::newRow("after a staged entry") << u"100 2 5 4"_s << false;
    }
    void resultAndFieldsReadOnADarkTheme() {  // dark on its light blue; fields in the theme's
        QFETCH(QString, inputs);
        QFETCH(bool, locked);
        const auto restore =
            qScopeGuard([l = QApplication::palette()] { QApplication::setPalette(l); });
        chooseMode(4);
        enter(inputs);
        QApplication::setPalette(QPalette(QColor(53, 53, 53)));  // light text on dark grounds
        // What a running event loop passes on to every widget; tests run none.
        for (QWidget* widget : QApplication::allWidgets()) {
            QEvent changed(QEvent::ApplicationPaletteChange);
            QCoreApplication::sendEvent(widget, &changed);
        }
        QCOMPARE(field(4)->palette().color(QPalette::Base), QColor(215, 235, 250));
        QVERIFY(field(4)->palette().color(QPalette::Text).lightness() <= 72);  // 160 below 232
        expectLocked(locked);
    }

    void tabFollowsTheTabIndices() {
        // A mode and language chosen, the fields typed; Tab pressed from Text1: the focus visits
        // the controls in the order of their tab indices
        const auto check = [&](int mode, Language language, const QString& typed,
                               const QString& stops) {
            chooseMode(mode);
            chooseLanguage(language);
            for (int i = 1; i <= 3; ++i)
                type(i, typed);
            field(1)->setFocus(Qt::TabFocusReason);
            QStringList visited{focused()->objectName()};
            for (int i = 0; i < 8; ++i) {
                QTest::keyClick(focused(), Qt::Key_Tab);
                visited << focused()->objectName();
            }
            QCOMPARE(visited.join(u' '), stops);
        };
        // all filled, so that Command1 takes focus
        check(1, Language::English, "1",
              "Text1 Text2 Command1 Text3 Option1 Text4 Check1 Option7 Text1");
        // a group stops at its selected button
        check(3, Language::French, "",
              "Text1 Text2 Text3 Option3 Text4 Option9 Check1 Text1 Text2");
    }

    void calculateIsEnabledByTheLastFieldFilled() {
        // Only the keystroke that fills the last empty field enables Command1; emptying one does
        // not disable it, a mode change does until mode 3 or 5 has been chosen once (which
        // always does)
        for (int last = 1; last <= 3; ++last) {
            chooseMode(1);
            for (int i = 1; i <= 3; ++i)
                type(i, i == last ? "" : "1");  // all but the last
            QVERIFY(!calculate()->isEnabled());
            type(last, QStringLiteral("1"));
            QVERIFY(calculate()->isEnabled());
        }
        retype(2, QString());
        QVERIFY(calculate()->isEnabled());
        chooseMode(5);
        QVERIFY(!calculate()->isEnabled());
        chooseMode(1);
        for (int i = 1; i <= 3; ++i)
            type(i, QStringLiteral("1"));
        chooseMode(2);
        QVERIFY(field(1)->text().isEmpty() && field(3)->text().isEmpty() &&
                calculate()->isEnabled());
    }

    void everyCaptionFitsAndNamesItsControl() {  // in every mode, by its button and the language's
        QList<QWidget*> controls{calculate(), saveBox()};
        for (int i = 1; i <= 9; ++i)
            controls << option(i) << label(qMin(i, 5));
        for (Language language : tav::kAllLanguages) {
            chooseLanguage(language);
            for (int mode = 1; mode <= 5; ++mode) {
                for (bool byLanguage : {false, true}) {
                    byLanguage ? chooseLanguage(language) : chooseMode(mode);
                    for (QWidget* control : controls)
                        QVERIFY2(fits(control), qPrintable(control->objectName()));
                    // fields are named after their labels, never stale
                    for (int i = 1; i <= 4; ++i)
                        QCOMPARE(accessibleName(field(i)), label(i)->text());
                }
            }
            for (qint16 year = 0; year <= 20; ++year) {  // and every year's label
                label(3)->setText(window().Texte(year));
                QVERIFY(!label(3)->text().isEmpty() && fits(label(3)));
                QCOMPARE(accessibleName(field(3)), label(3)->text());
            }
        }
    }

    void stagedEntryInGermanByKeysOnly() {
        // Deutsch chosen with an arrow key in the language group: texts and the fields' names
        // follow; the staged mode chosen with arrow keys, its rates noted with keypad Enter in
        // Text3, Space and Return on the button. Enter presses Command1 only once Text3 holds
        // text, not again after. (The tab stops between: tabFollowsTheTabIndices.)
        QCOMPARE(focused(), option(7));  // where the window opens: its first tab stop
        press(Qt::Key_Down);
        QCOMPARE(calculate()->text(), QStringLiteral("Rechnen"));
        QCOMPARE(accessibleName(field(4)), QStringLiteral("Anlagezeit in Jahren:"));
        option(1)->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Down);
        field(1)->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(focused(), QStringLiteral("100"));
        press(Qt::Key_Tab);
        QTest::keyClicks(focused(), QStringLiteral("3"));
        QSignalSpy presses(calculate(), &QPushButton::clicked);
        press(Qt::Key_Return);
        QCOMPARE(presses.count(), 0);
        press(Qt::Key_Tab);
        QTest::keyClicks(focused(), QStringLiteral("5"));
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(label(3)->text(), QStringLiteral("Zinssatz zweites Jahr"));
        QCOMPARE(focused(), field(3));
        press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focused(), QStringLiteral("4"));
        press(Qt::Key_Tab, Qt::ShiftModifier);  // Text2 is locked: Command1 comes before Text3
        QCOMPARE(focused(), calculate());
        press(Qt::Key_Space);
        QCOMPARE(label(3)->text(), QStringLiteral("Zinssatz drittes Jahr"));
        // The button that presses itself into the disabled state hands the focus on
        press(Qt::Key_Tab);
        press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(focused(), QStringLiteral("3"));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        press(Qt::Key_Return);
        QCOMPARE(field(4)->text(), QStringLiteral("112.48"));
        QVERIFY(focused() && focused()->window() == &window());
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(presses.count(), 3);
    }

    void keypadDecimalTypesTheLocalesSeparator() {
        // In every field over a selection, undone in one step; a full field refuses it as it
        // refuses any typed character. `made` is what the key makes of the selected x in "2x5".
        const auto check = [&](const QLocale& locale, QKeyCombination key, const QString& made) {
            QLocale::setDefault(locale);
            for (int number = 1; number <= 3; ++number) {
                retype(number, "2x5");
                field(number)->setSelection(1, 1);
                QTest::keyClick(field(number), key.key(), key.keyboardModifiers());
                QCOMPARE(field(number)->text(), made);
                QTest::keyClick(field(number), Qt::Key_Z, Qt::ControlModifier);
                QCOMPARE(field(number)->text(), QStringLiteral("2x5"));
                retype(number, "12345678901234");  // the typed fourteenth is refused
                QTest::keyClick(field(number), key.key(), key.keyboardModifiers());
                QCOMPARE(field(number)->text(), QStringLiteral("1234567890123"));
            }
        };
        check(kGerman, Qt::KeypadModifier | Qt::Key_Period, u"2,5"_s);
        check(kEnglish, Qt::KeypadModifier | Qt::Key_Comma, u"2.5"_s);
        check(kGerman, Qt::Key_Period, u"2.5"_s);  // the main keyboard's
    }

    void aPasteKeepsOnlyTheValue_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("kept");
        QTest::newRow("tabs and blanks around") << u""_s << u"\t 3,5 \t"_s << u"3,5"_s;
        QTest::newRow("behind a typed blank") << u"1 "_s << u"34\n"_s << u"1 34"_s;
        QTest::newRow("a line break alone adds nothing") << u"12"_s << u"\r\n"_s << u"12"_s;
        // two cells copied as one: the calculation refuses them as it refuses letters
        QTest::newRow("a line break inside stays") << u""_s << u"10\r\n20\r\n"_s << u"10\r\n20"_s;
        QTest::newRow("thirteen digits") << u""_s << u"1234567890123\r\n"_s << u"1234567890123"_s;
        QTest::newRow("fourteen in all: refused whole") << u"5"_s << u"1234567890123\n"_s << u"5"_s;
    }
    void aPasteKeepsOnlyTheValue() {
        // A field holds `typed`, as typed; the clipboard's text pasted behind it with Ctrl+V: the
        // field keeps the value without the blanks, tabs and line breaks around it
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, kept);
        for (int number = 1; number <= 3; ++number) {
            retype(number, typed);
            QApplication::clipboard()->setText(pasted);
            QTest::keyClick(field(number), Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(field(number)->text(), kept);
            QCOMPARE(field(number)->cursorPosition(), kept.size());
        }
    }

    void theStatusLineKeepsTheFileNameInView_data() {
        QTest::addColumn<QString>("folders");
        QTest::addColumn<bool>("shortened");
        QTest::newRow("a path that fits is shown as it is") << "results" << false;
        QTest::newRow("a long path loses folders in the middle")
            << QString("Sparen und Anlegen/") + QString(60, u'k') + "/Zinsen " + QString(60, u'z')
            << true;
    }
    void theStatusLineKeepsTheFileNameInView() {
        // The result file is chosen in a folder of the given depth; the status line shows the
        // path, shortened in the middle when it does not fit, with the whole path as tool tip
        QFETCH(QString, folders);
        QFETCH(bool, shortened);
        const QString path = pathIn(folders + "/tavrin.txt");
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        tickSaveBox(folders + "/tavrin.txt");
        auto* status = qobject_cast<tav::StatusLine*>(label(5));
        QVERIFY(status);
        QCOMPARE(status->text(), path);
        const QString shown = status->shownText();
        QVERIFY2(shown.endsWith("tavrin.txt") && shown.startsWith(path.left(4)), qPrintable(shown));
        QVERIFY(status->fontMetrics().horizontalAdvance(shown) <= status->contentsRect().width());
        QCOMPARE(shown.contains(QChar(0x2026)), shortened);
        QCOMPARE(status->toolTip(), shortened ? path : QString());
        // The contact line that a language change writes has no tool tip
        chooseLanguage(Language::German);
        QCOMPARE(status->toolTip(), QString());
    }

private:
    // A size hint holds the text, and a button's indicator and focus frame.
    static bool fits(const QWidget* control) {
        return control->sizeHint().width() <= control->width();
    }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focused(), key, modifiers);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
