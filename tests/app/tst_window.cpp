// The window without numbers: start-up state, the texts of every mode and
// language, field limits, focus order, colours, whether every caption fits,
// and the latch that keeps Command1 enabled.

#include <QClipboard>
#include <QFontDatabase>
#include <QScopeGuard>

#include "guitest.h"

namespace {
struct Texts {
    int language;  // -1: none chosen, the start
    int mode;      // 0: none chosen
    bool languageAgain;
    const char* expected;
};
enum class PasteBy { CtrlV, PasteCall, InsertCall };
struct Paste {
    const char* before;
    bool selected;  // all of `before` is selected
    const char* pasted;
    PasteBy by;
    const char* after;
};
enum class DarkFrom { Start, StagedEntry, AfterStagedEntry };
}  // namespace
Q_DECLARE_METATYPE(Texts)
Q_DECLARE_METATYPE(Paste)
Q_DECLARE_METATYPE(DarkFrom)

class TestWindow : public GuiTest {
    Q_OBJECT

private slots:
    void startsInEnglishWithModeOne() {
        QCOMPARE(window().windowTitle(), QStringLiteral("tavrin 1.05 (Freeware)"));
        QVERIFY(option(7)->isChecked() && option(1)->isChecked());
        QVERIFY(!calculate()->isEnabled() && !saveBox()->isChecked());
        QCOMPARE(fieldTexts(), QStringList(4));
        for (int i = 1; i <= 3; ++i) {  // the fourteenth character is refused
            QVERIFY(field(i)->isEnabled());
            type(i, QStringLiteral("12345678901234"));
            QCOMPARE(field(i)->text(), QStringLiteral("1234567890123"));
        }
        QCOMPARE(window().size(), QSize(595, 362));
        QVERIFY(window().minimumSize() == window().maximumSize());
        QVERIFY(!window().windowIcon().isNull());
#ifdef Q_OS_WIN
        // The classic dialog font where Windows has it, else its successor;
        // Wine has neither and gives the narrow face of the host.
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
        QCOMPARE(field(4)->palette().color(QPalette::Base), QColor(215, 235, 250));
        QCOMPARE(label(5)->palette().color(QPalette::WindowText), QColor(128, 128, 128));
        QCOMPARE(label(5)->alignment(), Qt::AlignCenter);
        QCOMPARE(fieldColour(field(1)), windowBackground());
        QVERIFY(buttonFace() != windowBackground());  // locked fields must look different
    }

    void everyTextFollowsTheLanguage_data() {
        QTest::addColumn<Texts>("row");  // Option1..5, Command1, Check1, Label1..5
        QTest::newRow("English at start")
            << Texts{-1, 0, false,
                     "Calculate the invest period in years|Calculate the money you get back in "
                     "some years|Calculate the interest for some days|Calculate a varied interest "
                     "rate|Calculate the interest rate|Calculate|Save|Starting capital|Money at "
                     "the end of investment|Interest rate in %|Invest period in years:|If you "
                     "have questions, then write an e-mail to: tavrin@example.org"};
        QTest::newRow("German") << Texts{
            0, 0, false,
            "Anlagezeit berechnen|Endkapital nach einigen Jahren berechnen|Zinsen für "
            "einige Tage berechnen|Stufenmodel berechnen|Zinssatz berechnen|Rechnen|"
            "Speichern|Anfangskapital|Endkapital|Zinssatz in %|Anlagezeit in Jahren:|"
            "Wenn Sie Fragen haben, dann schreiben Sie eine E-Mail an: tavrin@example.org"};
        QTest::newRow("French, no contact line")
            << Texts{3, 0, false,
                     "Calculer le durée des placement en ans|Calculer le capital final dons une "
                     "période de quelue année|Calculer les tas dons un période des quelques jour|"
                     "Tas des intérêt variable|Calculer les tas des intérêt|Calculer|Enregistrer|"
                     "Capital initial|Capital final|Les´ intérêt des tas en %|Le durée des "
                     "placements en ans:|"};
    }
    void everyTextFollowsTheLanguage() {  // the input stays
        QFETCH(Texts, row);
        type(1, QStringLiteral("100"));
        if (row.language >= 0)
            chooseLanguage(Language(row.language));
        QCOMPARE(texts({option(1), option(2), option(3), option(4), option(5), calculate(),
                        saveBox(), label(1), label(2), label(3), label(4), label(5)}),
                 split(row.expected));
        QCOMPARE(field(1)->text(), QStringLiteral("100"));
        QCOMPARE(window().currentLanguage(), Language(row.language < 0 ? 1 : row.language));
    }

    void modeButtonsWriteTheirLabels_data() {
        QTest::addColumn<Texts>("row");  // Label1 .. Label4, Command1
        QTest::newRow("mode 1 French")
            << Texts{3, 1, false,
                     "Capital initial|Capital final|Les´ intérêt des tas en %|Le durée des "
                     "placements en ans:|Calculer"};
        QTest::newRow("mode 2 English")
            << Texts{1, 2, false,
                     "Starting capital|Interest rate in %|Invest period in years|Money at the end "
                     "of investment:|Calculate"};
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
        QTest::newRow("mode 5 Italian")
            << Texts{2, 5, false,
                     "Capitale iniziale|Capitale finale|Durata dell'investimento in anni|Tasso "
                     "d'interesse in %:|Calcolare"};
    }
    void modeButtonsWriteTheirLabels() {  // and empty the fields and disable Command1
        QFETCH(Texts, row);
        chooseLanguage(Language(row.language));
        type(1, QStringLiteral("5"));
        chooseMode(row.mode);
        if (row.languageAgain)
            chooseLanguage(Language(row.language));
        QVERIFY(option(row.mode)->isChecked());
        QCOMPARE(texts({label(1), label(2), label(3), label(4), calculate()}), split(row.expected));
        QVERIFY(!calculate()->isEnabled());
        QVERIFY(field(1)->text().isEmpty() && field(1)->isEnabled());
        QCOMPARE(fieldColour(field(2)), windowBackground());
    }

    void aPasteThatDoesNotFitIsRefusedWhole_data() {
        QTest::addColumn<Paste>("row");
        QTest::newRow("fourteen digits, Ctrl+V")
            << Paste{"", false, "12345678901234", PasteBy::CtrlV, ""};
        QTest::newRow("three more than fit, paste()")
            << Paste{"12345678901", false, "234", PasteBy::PasteCall, "12345678901"};
        QTest::newRow("one more than fits, insert()")
            << Paste{"123456789012", false, "34", PasteBy::InsertCall, "123456789012"};
        QTest::newRow("exactly to the limit")
            << Paste{"1234567890", false, "123", PasteBy::CtrlV, "1234567890123"};
        QTest::newRow("over a selection that makes room")
            << Paste{"1234567890123", true, "99", PasteBy::CtrlV, "99"};
    }
    void aPasteThatDoesNotFitIsRefusedWhole() {  // and the field reports no change
        QFETCH(Paste, row);
        QLineEdit* target = field(1);
        type(1, row.before);
        if (row.selected)
            target->selectAll();
        QApplication::clipboard()->setText(row.pasted);
        QSignalSpy changes(target, &QLineEdit::textChanged);
        if (row.by == PasteBy::CtrlV)
            QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        else if (row.by == PasteBy::PasteCall)
            target->paste();
        else
            target->insert(row.pasted);
        QCOMPARE(target->text(), row.after);
        QCOMPARE(changes.isEmpty(), target->text() == row.before);
    }

    void resultAndFieldsReadOnADarkTheme_data() {
        QTest::addColumn<DarkFrom>("from");
        QTest::newRow("dark from the start") << DarkFrom::Start;
        QTest::newRow("switched during a staged entry") << DarkFrom::StagedEntry;
        QTest::newRow("switched after a staged entry") << DarkFrom::AfterStagedEntry;
    }
    void resultAndFieldsReadOnADarkTheme() {
        // The result reads dark on its light blue, the input fields take the
        // theme's colours, whether locked or not
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
        enter({"100", "2", "5"});
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
        QVERIFY(result.color(QPalette::Base).lightness() -
                    result.color(QPalette::Text).lightness() >=
                160);
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
        if (mode == 1) {
            for (int i = 1; i <= 3; ++i)
                type(i, QStringLiteral("1"));
        } else {
            chooseLanguage(Language::French);
        }
        field(1)->setFocus(Qt::TabFocusReason);
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited.join(u'|'), stops);
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
            QTest::newRow(qPrintable(QString::number(int(language)))) << language;
    }
    void everyCaptionFits() {
        // Every mode, chosen by its button and by the language button, and
        // every year label: no caption is wider than its control
        QFETCH(Language, language);
        chooseLanguage(language);
        QList<QWidget*> controls{calculate(), saveBox()};
        for (int i = 1; i <= 9; ++i)
            controls << option(i) << label(qMin(i, 5));
        for (int mode = 1; mode <= 5; ++mode) {
            for (bool byLanguage : {false, true}) {
                byLanguage ? chooseLanguage(language) : chooseMode(mode);
                for (QWidget* control : controls)
                    QVERIFY2(fits(control), qPrintable(QStringLiteral("mode %1").arg(mode)));
            }
        }
        for (qint16 nummer = 0; nummer <= 20; ++nummer) {
            label(3)->setText(window().Texte(nummer));
            QVERIFY(!label(3)->text().isEmpty() && fits(label(3)));
        }
    }

private:
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
};

TAVRIN_GUI_TEST_MAIN(TestWindow)
#include "tst_window.moc"
