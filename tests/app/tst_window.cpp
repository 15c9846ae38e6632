// The window without numbers: start-up state, focus order, field limits,
// captions and labels of every mode in every language, whether every caption
// fits its control, and the latch that keeps Command1 enabled.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QScopeGuard>
#include <QtTest>

#include "guitest.h"
#include "language.h"

using tav::Language;

Q_DECLARE_METATYPE(tav::Language)

namespace {
enum class PasteBy { CtrlV, PasteCall, InsertCall };
enum class DarkFrom { Start, StagedEntry, AfterStagedEntry };

}  // namespace
Q_DECLARE_METATYPE(PasteBy)
Q_DECLARE_METATYPE(DarkFrom)

class TestWindow : public GuiTest {
    Q_OBJECT

private slots:
    void init() { startTest(); }
    void cleanup() { finishTest(); }

    void startsInEnglishWithModeOne() {
        // A fresh start: English, mode 1, the fixed layout, nothing to calculate
        QCOMPARE(window().windowTitle(), QStringLiteral("tavrin 1.05 (Freeware)"));
        QVERIFY(option(7)->isChecked() && option(1)->isChecked());
        QCOMPARE(
            texts({option(1), option(2), option(3), option(4), option(5), calculate(), saveBox(),
                   label(1), label(2), label(3), label(4)}),
            (QStringList{"Calculate the invest period in years",
                         "Calculate the money you get back in some years",
                         "Calculate the interest for some days", "Calculate a varied interest rate",
                         "Calculate the interest rate", "Calculate", "Save", "Starting capital",
                         "Money at the end of investment", "Interest rate in %",
                         "Invest period in years:"}));
        QCOMPARE(label(5)->text(),
                 "If you have questions, then write an e-mail to: tavrin@example.org");
        QVERIFY(!calculate()->isEnabled() && !saveBox()->isChecked());
        for (int i = 1; i <= 4; ++i)
            QVERIFY(field(i)->text().isEmpty() && field(i)->isEnabled());

        // The fourteenth character is refused in every input field.
        for (int i = 1; i <= 3; ++i) {
            type(i, QStringLiteral("12345678901234"));
            QCOMPARE(field(i)->text(), QStringLiteral("1234567890123"));
        }

        QCOMPARE(window().size(), QSize(595, 362));
        QVERIFY(window().minimumSize() == window().maximumSize());
        QVERIFY(!window().windowIcon().isNull());
#ifdef Q_OS_WIN
        // The classic dialog font where Windows has it, else its successor;
        // Wine has neither and gives the narrow face of the host.
        const QStringList installed = QFontDatabase::families();
        const QString expected = QStringLiteral("MS Sans Serif");
        const QStringList wanted{expected, QStringLiteral("Microsoft Sans Serif"),
                                 QStringLiteral("Liberation Sans Narrow")};
        const auto first = std::find_if(wanted.cbegin(), wanted.cend(), [&](const QString& family) {
            return installed.contains(family);
        });
        QVERIFY(first != wanted.cend());
        QCOMPARE(QFontInfo(window().font()).family(), *first);
        QCOMPARE(window().font().pointSizeF(), 8.25);
#else
        QCOMPARE(QFontInfo(window().font()).family(), QStringLiteral("Liberation Sans Narrow"));
#endif
        QVERIFY(field(4)->isReadOnly() && field(4)->font().bold() && label(4)->font().bold());
        QCOMPARE(field(4)->palette().color(QPalette::Base), QColor(215, 235, 250));
        QCOMPARE(label(5)->palette().color(QPalette::WindowText), QColor(128, 128, 128));
        QCOMPARE(label(5)->alignment(), Qt::AlignCenter);
        QCOMPARE(fieldColour(field(1)), windowBackground());
        QVERIFY(buttonFace() != windowBackground());  // locked fields must look different
    }

    void aPasteThatDoesNotFitIsRefusedWhole_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("selected");  // all of `before` is selected
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<PasteBy>("by");
        QTest::addColumn<QString>("after");
        QTest::newRow("fourteen digits, Ctrl+V")
            << "" << false << "12345678901234" << PasteBy::CtrlV << "";
        QTest::newRow("three more than fit, paste()")
            << "12345678901" << false << "234" << PasteBy::PasteCall << "12345678901";
        QTest::newRow("one more than fits, insert()")
            << "123456789012" << false << "34" << PasteBy::InsertCall << "123456789012";
        QTest::newRow("exactly to the limit")
            << "1234567890" << false << "123" << PasteBy::CtrlV << "1234567890123";
        QTest::newRow("over a selection that makes room")
            << "1234567890123" << true << "99" << PasteBy::CtrlV << "99";
    }
    void aPasteThatDoesNotFitIsRefusedWhole() {
        // Given a field holding `before`, when a text is pasted into it, then
        // a text that would make it longer than 13 characters is refused whole
        // and the field reports no change; one that fits goes in
        QFETCH(QString, before);
        QFETCH(bool, selected);
        QFETCH(QString, pasted);
        QFETCH(PasteBy, by);
        QFETCH(QString, after);
        QLineEdit* target = field(1);
        type(1, before);
        if (selected)
            target->selectAll();
        QApplication::clipboard()->setText(pasted);
        QSignalSpy changes(target, &QLineEdit::textChanged);
        if (by == PasteBy::CtrlV)
            QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        else if (by == PasteBy::PasteCall)
            target->paste();
        else
            target->insert(pasted);
        QCOMPARE(target->text(), after);
        QCOMPARE(changes.isEmpty(), after == before);
    }

    void resultAndFieldsReadOnADarkTheme_data() {
        QTest::addColumn<DarkFrom>("from");
        QTest::newRow("dark from the start") << DarkFrom::Start;
        QTest::newRow("switched during a staged entry") << DarkFrom::StagedEntry;
        QTest::newRow("switched after a staged entry") << DarkFrom::AfterStagedEntry;
    }
    void resultAndFieldsReadOnADarkTheme() {
        // Given a dark desktop theme, at start or switched to while the
        // program runs, then the result reads dark on its light blue and the
        // input fields take the theme's colours, whether locked or not
        QFETCH(DarkFrom, from);
        const QPalette dark(QColor(53, 53, 53));  // light text on dark grounds
        const auto restore =
            qScopeGuard([light = QApplication::palette()] { QApplication::setPalette(light); });
        if (from == DarkFrom::Start) {
            closeWindow();
            QApplication::setPalette(dark);
            openWindow();
        }
        chooseMode(4);
        enterAndCalculate("100", "2", "5");
        if (from == DarkFrom::AfterStagedEntry) {
            retype(3, "4");
            click(calculate());
            QCOMPARE(field(4)->text(), QStringLiteral("109.2"));
        }
        QApplication::setPalette(dark);
        // What a running event loop passes on to every widget; tests run none.
        for (QWidget* widget : QApplication::allWidgets()) {
            QEvent changed(QEvent::ApplicationPaletteChange);
            QCoreApplication::sendEvent(widget, &changed);
        }

        const QPalette result = field(4)->palette();
        QCOMPARE(result.color(QPalette::Base), QColor(215, 235, 250));
        const int ground = result.color(QPalette::Base).lightness();
        QVERIFY(ground - result.color(QPalette::Text).lightness() >= 160);  // dark on light blue
        const bool locked = from != DarkFrom::AfterStagedEntry;
        QCOMPARE(field(1)->isEnabled(), !locked);
        QCOMPARE(fieldColour(field(1)),
                 locked ? dark.color(QPalette::Button) : dark.color(QPalette::Base));
        QCOMPARE(fieldColour(field(3)), dark.color(QPalette::Base));
    }

    void tabFollowsTheTabIndices_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("start, all filled")
            << 1 << Language::English
            << QStringList{"Text1", "Text2",  "Command1", "Text3", "Option1",
                           "Text4", "Check1", "Option7",  "Text1"};
        QTest::newRow("mode 3, French, at the selected options")
            << 3 << Language::French
            << QStringList{"Text1",   "Text2",  "Text3", "Option3", "Text4",
                           "Option9", "Check1", "Text1", "Text2"};
    }
    void tabFollowsTheTabIndices() {
        // Tab from Text1 follows the tab indices (at start all fields filled,
        // so that Command1 takes focus); an option group is one stop, at its
        // selected button
        QFETCH(int, mode);
        QFETCH(Language, language);
        QFETCH(QStringList, stops);
        if (mode == 1) {
            for (int i = 1; i <= 3; ++i)
                type(i, QStringLiteral("1"));
        } else {
            chooseMode(mode);
            chooseLanguage(language);
        }
        field(1)->setFocus(Qt::TabFocusReason);
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, stops);
    }

    void modeButtonsWriteTheirLabels_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("expected");  // Label1 .. Label4, Command1
        QTest::newRow("mode 1 French")
            << Language::French << 1
            << QStringList{"Capital initial", "Capital final", "Les\u00b4 intérêt des tas en %",
                           "Le durée des placements en ans:", "Calculer"};
        QTest::newRow("mode 2 English")
            << Language::English << 2
            << QStringList{"Starting capital", "Interest rate in %", "Invest period in years",
                           "Money at the end of investment:", "Calculate"};
        QTest::newRow("mode 3 English, the mode button's result label")
            << Language::English << 3
            << QStringList{"Starting capital", "Interest rate in %", "Invest period in days",
                           "Interest:", "Calculate"};
        QTest::newRow("mode 4 French, the mode button's first year")
            << Language::French << 4
            << QStringList{"Capital initial", "Le durée des placements en ans",
                           "Les tas intérêt de premier anner",
                           "Capital final:", "Contrôl les tas d\u00b4intérêt"};
        QTest::newRow("mode 5 Italian") << Language::Italian << 5
                                        << QStringList{"Capitale iniziale", "Capitale finale",
                                                       "Durata dell'investimento in anni",
                                                       "Tasso d'interesse in %:", "Calcolare"};
    }
    void modeButtonsWriteTheirLabels() {
        // A mode button writes its labels and caption, empties the fields and
        // disables Command1
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QStringList, expected);
        chooseLanguage(language);
        type(1, QStringLiteral("5"));
        chooseMode(mode);
        QVERIFY(option(mode)->isChecked());
        QCOMPARE(texts({label(1), label(2), label(3), label(4), calculate()}), expected);
        QVERIFY(!calculate()->isEnabled());
        QVERIFY(field(1)->text().isEmpty() && field(1)->isEnabled());
        QCOMPARE(fieldColour(field(2)), windowBackground());
    }

    void languageButtonsRewriteEveryText_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QStringList>("expected");  // Check1, Command1, Option1, Label4, Label5
        QTest::newRow("German") << Language::German
                                << QStringList{"Speichern", "Rechnen", "Anlagezeit berechnen",
                                               "Anlagezeit in Jahren:",
                                               "Wenn Sie Fragen haben, dann schreiben Sie eine "
                                               "E-Mail an: tavrin@example.org"};
        QTest::newRow("French") << Language::French
                                << QStringList{"Enregistrer", "Calculer",
                                               "Calculer le durée des placement en ans",
                                               "Le durée des placements en ans:", ""};
    }
    void languageButtonsRewriteEveryText() {
        // Captions, labels and the status line change; the input stays
        QFETCH(Language, language);
        QFETCH(QStringList, expected);
        type(1, QStringLiteral("100"));
        chooseLanguage(language);
        QCOMPARE(texts({saveBox(), calculate(), option(1), label(4), label(5)}), expected);
        QCOMPARE(field(1)->text(), QStringLiteral("100"));
        QCOMPARE(window().currentLanguage(), language);
    }

    void languageButtonWritesItsOwnVariants() {
        // The language button has its own result label for mode 3, even when
        // its language is selected already, and its own first year in French.
        chooseMode(3);
        chooseLanguage(Language::English);
        QCOMPARE(label(4)->text(), QStringLiteral("Interest for some days:"));
        chooseMode(4);
        chooseLanguage(Language::French);
        QCOMPARE(label(3)->text(), QStringLiteral("Le tas d'intérêt premier anner"));
    }

    void calculateIsEnabledAndTheLatchKeepsIt() {
        // Only the keystroke that fills the third field enables Command1;
        // emptying a field does not disable it, but a mode change does
        type(1, QStringLiteral("1"));
        type(2, QStringLiteral("2"));
        QVERIFY(!calculate()->isEnabled());
        type(3, QStringLiteral("3"));
        QVERIFY(calculate()->isEnabled());
        retype(2, QString());
        QVERIFY(calculate()->isEnabled());
        chooseMode(2);
        QVERIFY(!calculate()->isEnabled());

        // once mode 5 has been chosen, the emptying keeps it enabled
        chooseMode(5);
        chooseMode(1);
        for (int i = 1; i <= 3; ++i)
            type(i, QStringLiteral("1"));
        chooseMode(2);
        QVERIFY(field(1)->text().isEmpty() && field(3)->text().isEmpty());
        QVERIFY(calculate()->isEnabled());
    }

    void everyCaptionFits_data() {
        QTest::addColumn<Language>("language");
        for (Language language : tav::kAllLanguages)
            QTest::newRow(qPrintable(QString::number(static_cast<int>(language)))) << language;
    }
    void everyCaptionFits() {
        // Every mode, chosen by its button and by the language button, and
        // every year label: no caption is wider than its control
        QFETCH(Language, language);
        chooseLanguage(language);
        for (int mode = 1; mode <= 5; ++mode) {
            chooseMode(mode);
            checkCaptionsFit(QStringLiteral("mode %1 by its button").arg(mode));
            chooseLanguage(language);
            checkCaptionsFit(QStringLiteral("mode %1 by the language").arg(mode));
        }
        for (qint16 nummer = 0; nummer <= 20; ++nummer) {
            label(3)->setText(window().Texte(nummer));
            QVERIFY(!label(3)->text().isEmpty() && fits(label(3)));
        }
    }

private:
    static QStringList texts(const QList<QWidget*>& controls) {
        QStringList result;
        for (const QWidget* control : controls) {
            const auto* button = qobject_cast<const QAbstractButton*>(control);
            result << (button ? button->text() : static_cast<const QLabel*>(control)->text());
        }
        return result;
    }

    // A button's size hint holds its text, indicator and focus frame.
    static bool fits(const QWidget* control) {
        const auto* button = qobject_cast<const QAbstractButton*>(control);
        const int needed = button ? button->sizeHint().width()
                                  : control->fontMetrics().horizontalAdvance(
                                        static_cast<const QLabel*>(control)->text());
        if (needed > control->width())
            qWarning("%s needs %d of %d pixels", qPrintable(control->objectName()), needed,
                     control->width());
        return needed <= control->width();
    }

    void checkCaptionsFit(const QString& when) {
        QList<QWidget*> controls{calculate(), saveBox()};
        for (int i = 1; i <= 9; ++i)
            controls << option(i);
        for (int i = 1; i <= 5; ++i)
            controls << label(i);
        for (QWidget* control : controls)
            QVERIFY2(fits(control), qPrintable(when));
    }
};

TAVRIN_GUI_TEST_MAIN(TestWindow)
#include "tst_window.moc"
