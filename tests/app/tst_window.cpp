// The window without numbers: start-up state, focus order, field limits,
// captions and labels of every mode in every language, whether every caption
// fits its control, and the latch that keeps Command1 enabled.

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QStyle>
#include <QtTest>
#include <algorithm>

#include "guitest.h"
#include "language.h"

using tav::Language;

Q_DECLARE_METATYPE(tav::Language)

namespace {

QString englishContact() {
    return QStringLiteral("If you have questions, then write an e-mail to: tavrin@example.org");
}

}  // namespace

class TestWindow : public GuiTest {
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { finishTest(); }

    void startsInEnglishWithModeOne() {
        // Given a fresh start
        // When nothing has been done yet
        // Then English and mode 1 are selected and every start text is English
        QCOMPARE(window().windowTitle(), QStringLiteral("tavrin 1.05 (Freeware)"));
        QVERIFY(option(7)->isChecked());
        QVERIFY(option(1)->isChecked());
        QCOMPARE(option(1)->text(), QStringLiteral("Calculate the invest period in years"));
        QCOMPARE(option(2)->text(),
                 QStringLiteral("Calculate the money you get back in some years"));
        QCOMPARE(option(3)->text(), QStringLiteral("Calculate the interest for some days"));
        QCOMPARE(option(4)->text(), QStringLiteral("Calculate a varied interest rate"));
        QCOMPARE(option(5)->text(), QStringLiteral("Calculate the interest rate"));
        QCOMPARE(option(6)->text(), QStringLiteral("Deutsch"));
        QCOMPARE(option(7)->text(), QStringLiteral("English"));
        QCOMPARE(option(8)->text(), QStringLiteral("Italiano"));
        QCOMPARE(option(9)->text(), QStringLiteral("Français"));
        QCOMPARE(calculate()->text(), QStringLiteral("Calculate"));
        QVERIFY(!calculate()->isEnabled());
        QCOMPARE(saveBox()->text(), QStringLiteral("Save"));
        QVERIFY(!saveBox()->isChecked());
        QCOMPARE(label(1)->text(), QStringLiteral("Starting capital"));
        QCOMPARE(label(2)->text(), QStringLiteral("Money at the end of investment"));
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate in %"));
        QCOMPARE(label(4)->text(), QStringLiteral("Invest period in years:"));
        QCOMPARE(label(5)->text(), englishContact());
        for (int i = 1; i <= 4; ++i) {
            QVERIFY(field(i)->text().isEmpty());
            QVERIFY(field(i)->isEnabled());
        }
        QCOMPARE(window().Checktester, qint16(0));
        QCOMPARE(window().Textleer, qint16(0));
        QVERIFY(window().strFile.isEmpty());
    }

    void hasTheFixedLayout() {
        // Given a fresh start
        // When the window is shown
        // Then it has its fixed size, the result field is bold on light blue,
        // the status line is grey and centred, and no input can grow past 13
        QCOMPARE(window().size(), QSize(595, 362));
        QVERIFY(!window().windowIcon().isNull());
        QCOMPARE(QFontInfo(window().font()).family(), QStringLiteral("Liberation Sans Narrow"));
        QCOMPARE(window().font().pixelSize(), 11);
        QVERIFY(window().minimumSize() == window().maximumSize());
        QCOMPARE(field(1)->geometry(), QRect(392, 176, 193, 19));
        QCOMPARE(option(9)->geometry(), QRect(0, 72, 73, 17));
        QCOMPARE(option(9)->parentWidget()->objectName(), QStringLiteral("Frame2"));
        QCOMPARE(option(1)->parentWidget()->objectName(), QStringLiteral("Frame1"));
        QCOMPARE(label(4)->geometry(), QRect(16, 299, 209, 17));
        QVERIFY(label(4)->font().bold());
        QVERIFY(field(4)->font().bold());
        QVERIFY(!label(1)->font().bold());
        QCOMPARE(field(4)->palette().color(QPalette::Base), QColor(215, 235, 250));
        QVERIFY(field(4)->isReadOnly());
        QCOMPARE(label(5)->palette().color(QPalette::WindowText), QColor(128, 128, 128));
        QCOMPARE(label(5)->alignment(), Qt::AlignCenter);
        QCOMPARE(fieldColour(field(1)), windowBackground());
        QVERIFY(buttonFace() != windowBackground());
    }

    void refusesAFourteenthCharacter_data() {
        QTest::addColumn<int>("fieldNumber");
        QTest::newRow("Text1") << 1;
        QTest::newRow("Text2") << 2;
        QTest::newRow("Text3") << 3;
    }
    void refusesAFourteenthCharacter() {
        // Given an empty input field
        // When fourteen digits are typed into it
        // Then it holds the first thirteen
        QFETCH(int, fieldNumber);
        type(fieldNumber, QStringLiteral("12345678901234"));
        QCOMPARE(field(fieldNumber)->text(), QStringLiteral("1234567890123"));
    }

    void tabFollowsTheTabIndices() {
        // Given all three fields filled, so that Command1 takes focus
        // When Tab is pressed again and again from Text1
        // Then the focus visits the controls in the order of their tab
        // indices; a group of option buttons is one stop, at its selected button
        type(1, QStringLiteral("1"));
        type(2, QStringLiteral("2"));
        type(3, QStringLiteral("3"));
        QVERIFY(calculate()->isEnabled());
        QCOMPARE(tabWalk(), (QStringList{"Text1", "Text2", "Command1", "Text3", "Option1", "Text4",
                                         "Check1", "Option7", "Text1"}));

        // The chain lists every control that can take focus by tab index.
        QStringList chain;
        QWidget* next = option(6);
        do {
            if (next->focusPolicy() != Qt::NoFocus)
                chain << next->objectName();
            next = next->nextInFocusChain();
        } while (next != option(6));
        const QStringList expected{"Option6", "Option7", "Text1",   "Text2",   "Command1",
                                   "Text3",   "Option1", "Option2", "Option3", "Option4",
                                   "Option5", "Text4",   "Option8", "Option9", "Check1"};
        QCOMPARE(chain, expected);
        QCOMPARE(window().findChild<QGroupBox*>("Frame1")->focusPolicy(), Qt::NoFocus);
        QCOMPARE(window().findChild<QWidget*>("Frame2")->focusPolicy(), Qt::NoFocus);
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(label(i)->focusPolicy(), Qt::NoFocus);
    }

    void tabStopsAtTheSelectedOptions() {
        // Given mode 3 and French chosen
        // When Tab is pressed from Text1
        // Then the option stops are the selected buttons
        chooseMode(3);
        chooseLanguage(Language::French);
        QCOMPARE(tabWalk(), (QStringList{"Text1", "Text2", "Text3", "Option3", "Text4", "Option9",
                                         "Check1", "Text1", "Text2"}));
    }

    void modeButtonsWriteTheirLabels_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("caption");
        QTest::newRow("mode 1 English")
            << Language::English << 1
            << QStringList{"Starting capital", "Money at the end of investment",
                           "Interest rate in %", "Invest period in years:"}
            << "Calculate";
        QTest::newRow("mode 2 English")
            << Language::English << 2
            << QStringList{"Starting capital", "Interest rate in %", "Invest period in years",
                           "Money at the end of investment:"}
            << "Calculate";
        QTest::newRow("mode 3 English, the mode button's result label")
            << Language::English << 3
            << QStringList{"Starting capital", "Interest rate in %", "Invest period in days",
                           "Interest:"}
            << "Calculate";
        QTest::newRow("mode 4 German") << Language::German << 4
                                       << QStringList{"Anfangskapital", "Anlagezeit in Jahren",
                                                      "Zinssatz erstes Jahr", "Endkapital:"}
                                       << "Zinssatz merken";
        QTest::newRow("mode 4 French, the mode button's first year")
            << Language::French << 4
            << QStringList{"Capital initial", "Le durée des placements en ans",
                           "Les tas intérêt de premier anner", "Capital final:"}
            << "Contrôl les tas d\u00b4intérêt";
        QTest::newRow("mode 5 Italian")
            << Language::Italian << 5
            << QStringList{"Capitale iniziale", "Capitale finale",
                           "Durata dell'investimento in anni", "Tasso d'interesse in %:"}
            << "Calcolare";
        QTest::newRow("mode 1 French")
            << Language::French << 1
            << QStringList{"Capital initial", "Capital final", "Les\u00b4 intérêt des tas en %",
                           "Le durée des placements en ans:"}
            << "Calculer";
    }
    void modeButtonsWriteTheirLabels() {
        // Given a language
        // When a mode button is clicked
        // Then the four labels and Command1 read the mode's texts, the fields
        // are empty and usable and Command1 is disabled
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QStringList, labels);
        QFETCH(QString, caption);
        chooseLanguage(language);
        type(1, QStringLiteral("5"));
        chooseMode(mode);
        QVERIFY(option(mode)->isChecked());
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(label(i)->text(), labels[i - 1]);
        QCOMPARE(calculate()->text(), caption);
        QVERIFY(!calculate()->isEnabled());
        QVERIFY(field(1)->text().isEmpty());
        QVERIFY(field(1)->isEnabled());
        QCOMPARE(fieldColour(field(2)), windowBackground());
    }

    void languageButtonsRewriteEveryText_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QStringList>("texts");  // Check1, Command1, Option1, Label4, Label5
        QTest::newRow("German") << Language::German
                                << QStringList{"Speichern", "Rechnen", "Anlagezeit berechnen",
                                               "Anlagezeit in Jahren:",
                                               "Wenn Sie Fragen haben, dann schreiben Sie eine "
                                               "E-Mail an: tavrin@example.org"};
        QTest::newRow("Italian") << Language::Italian
                                 << QStringList{"Salva", "Calcolare",
                                                "Calcolare la durata dell'investimento in anni",
                                                "Durata dell'investimento in anni:", ""};
        QTest::newRow("French") << Language::French
                                << QStringList{"Enregistrer", "Calculer",
                                               "Calculer le durée des placement en ans",
                                               "Le durée des placements en ans:", ""};
        QTest::newRow("English") << Language::English
                                 << QStringList{"Save", "Calculate",
                                                "Calculate the invest period in years",
                                                "Invest period in years:", englishContact()};
    }
    void languageButtonsRewriteEveryText() {
        // Given a fresh start with some input typed
        // When a language button is clicked
        // Then captions, labels and the status line change, the input stays
        QFETCH(Language, language);
        QFETCH(QStringList, texts);
        type(1, QStringLiteral("100"));
        chooseLanguage(language);
        QCOMPARE(saveBox()->text(), texts[0]);
        QCOMPARE(calculate()->text(), texts[1]);
        QCOMPARE(option(1)->text(), texts[2]);
        QCOMPARE(label(4)->text(), texts[3]);
        QCOMPARE(label(5)->text(), texts[4]);
        QCOMPARE(field(1)->text(), QStringLiteral("100"));
        QCOMPARE(window().currentLanguage(), language);
    }

    void languageButtonWritesItsOwnVariants() {
        // Given mode 3 in English, whose result label the mode button wrote
        // When "English" is clicked although it is selected already
        // Then the language button's variant of the label is shown
        chooseMode(3);
        QCOMPARE(label(4)->text(), QStringLiteral("Interest:"));
        chooseLanguage(Language::English);
        QCOMPARE(label(4)->text(), QStringLiteral("Interest for some days:"));

        // and in the staged mode French gets its own first-year label
        chooseMode(4);
        chooseLanguage(Language::French);
        QCOMPARE(label(3)->text(), QStringLiteral("Le tas d'intérêt premier anner"));
        QCOMPARE(calculate()->text(), QStringLiteral("Contrôl les tas d\u00b4intérêt"));
    }

    void yearLabelsFollowTheLanguage_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("nummer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("French first") << Language::French << 0 << "Le tas d'intérêt premier anner";
        QTest::newRow("German sixteenth") << Language::German << 15 << "Zinssatz sechszehntes Jahr";
        QTest::newRow("Italian twenty-first")
            << Language::Italian << 20 << "Tasso d'interesse anno";
        QTest::newRow("English third") << Language::English << 2 << "Interest rate third year";
        QTest::newRow("past the table") << Language::English << 21 << "";
        QTest::newRow("negative") << Language::German << -1 << "";
    }
    void yearLabelsFollowTheLanguage() {
        QFETCH(Language, language);
        QFETCH(int, nummer);
        QFETCH(QString, expected);
        chooseLanguage(language);
        QCOMPARE(window().Texte(static_cast<qint16>(nummer)), expected);
    }

    void typingEnablesCalculateOnlyWhenAllThreeHoldText() {
        // Given a fresh start
        // When Text1 and Text2 are filled, then Text3, then a field is emptied
        // Then only the keystroke that fills the third enables Command1, and
        // emptying a field does not disable it
        type(1, QStringLiteral("1"));
        type(2, QStringLiteral("2"));
        QVERIFY(!calculate()->isEnabled());
        type(3, QStringLiteral("3"));
        QVERIFY(calculate()->isEnabled());
        retype(2, QString());
        QVERIFY(field(2)->text().isEmpty());
        QVERIFY(calculate()->isEnabled());
    }

    void clearingDisablesCalculateUntilTheLatchIsSet() {
        // Given all three fields filled in mode 1 at start
        // When mode 2 is chosen
        // Then the fields are emptied and Command1 is disabled
        type(1, QStringLiteral("1"));
        type(2, QStringLiteral("2"));
        type(3, QStringLiteral("3"));
        chooseMode(2);
        QVERIFY(field(1)->text().isEmpty());
        QVERIFY(!calculate()->isEnabled());

        // Given mode 5 chosen once, then mode 1 and all fields filled
        // When mode 2 is chosen
        // Then the fields are emptied but Command1 stays enabled
        chooseMode(5);
        QCOMPARE(window().Textleer, qint16(1));
        chooseMode(1);
        QCOMPARE(window().Textleer, qint16(1));
        type(1, QStringLiteral("1"));
        type(2, QStringLiteral("2"));
        type(3, QStringLiteral("3"));
        QVERIFY(calculate()->isEnabled());
        chooseMode(2);
        QVERIFY(field(1)->text().isEmpty());
        QVERIFY(field(3)->text().isEmpty());
        QVERIFY(calculate()->isEnabled());
    }

    void everyCaptionFits_data() {
        QTest::addColumn<Language>("language");
        for (Language language : tav::kAllLanguages)
            QTest::newRow(qPrintable(QStringLiteral("language %1").arg(static_cast<int>(language))))
                << language;
    }
    void everyCaptionFits() {
        // Given a language
        // When every mode is chosen, by its button and by the language button,
        // and every year label is shown
        // Then no caption is wider than its control
        QFETCH(Language, language);
        chooseLanguage(language);
        for (int mode = 1; mode <= 5; ++mode) {
            chooseMode(mode);
            checkCaptionsFit(QStringLiteral("mode %1 by its button").arg(mode));
            chooseLanguage(language);
            checkCaptionsFit(QStringLiteral("mode %1 by the language").arg(mode));
        }
        for (qint16 nummer = 0; nummer <= 20; ++nummer) {
            const QString text = window().Texte(nummer);
            QVERIFY(!text.isEmpty());
            QVERIFY2(label(3)->fontMetrics().horizontalAdvance(text) <= label(3)->width(),
                     qPrintable(text));
        }
        // The calculate caption a staged entry shows before its last year.
        chooseMode(1);
        QVERIFY(fits(calculate()));
    }

private:
    QStringList tabWalk() {
        field(1)->setFocus(Qt::TabFocusReason);
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        return visited;
    }

    static int textWidth(const QWidget* control, const QString& text) {
        return control->fontMetrics().horizontalAdvance(text);
    }

    // The room the style needs besides the text, per kind of control.
    static bool fits(const QAbstractButton* button) {
        const QStyle* style = button->style();
        int needed = textWidth(button, button->text());
        if (qobject_cast<const QRadioButton*>(button))
            needed += style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button) +
                      style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, button);
        else if (qobject_cast<const QCheckBox*>(button))
            needed += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button) +
                      style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
        else
            needed += 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                           style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
        // The style's own size hint adds the room of the focus frame.
        needed = std::max(needed, button->sizeHint().width());
        if (needed > button->width())
            qWarning("%s: \"%s\" needs %d of %d pixels", qPrintable(button->objectName()),
                     qPrintable(button->text()), needed, button->width());
        return needed <= button->width();
    }

    static bool fits(const QLabel* control) {
        const int needed = textWidth(control, control->text());
        if (needed > control->width())
            qWarning("%s: \"%s\" needs %d of %d pixels", qPrintable(control->objectName()),
                     qPrintable(control->text()), needed, control->width());
        return needed <= control->width();
    }

    void checkCaptionsFit(const QString& when) {
        for (int i = 1; i <= 9; ++i)
            QVERIFY2(fits(option(i)), qPrintable(when));
        QVERIFY2(fits(calculate()), qPrintable(when));
        QVERIFY2(fits(saveBox()), qPrintable(when));
        for (int i = 1; i <= 5; ++i)
            QVERIFY2(fits(label(i)), qPrintable(when));
    }
};

TAVRIN_GUI_TEST_MAIN(TestWindow)
#include "tst_window.moc"
