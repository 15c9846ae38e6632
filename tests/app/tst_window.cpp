// The window without numbers: start-up state, the texts of every mode and
// language, field limits, focus order, colours, whether every caption fits,
// and the latch that keeps Command1 enabled.

#include "guitest.h"

namespace {
struct Texts {
    int language;        // -1: none chosen, the start
    int mode;            // 0: none chosen
    bool languageAgain;  // the language button pressed after the mode button
    const char* expected;
};
struct Paste {
    const char* before;
    bool selected;  // all of `before` is selected
    const char* pasted;
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
        QVERIFY(label(5)->palette().color(QPalette::WindowText) == QColor(128, 128, 128) &&
                label(5)->alignment() == Qt::AlignCenter);
        QVERIFY(buttonFace() != windowBackground());  // locked fields must look different
    }

    void textsFollowLanguageAndMode_data() {
        // Without a mode: Option1..5, Command1, Check1, Label1..5; with one:
        // Label1..4, Command1.
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
        QList<QWidget*> shown{label(1), label(2), label(3), label(4), calculate()};
        if (!row.mode)
            shown = {option(1), option(2), option(3), option(4), option(5), calculate(),
                     saveBox(), label(1),  label(2),  label(3),  label(4),  label(5)};
        QCOMPARE(texts(shown), split(row.expected));
        QCOMPARE(field(1)->text(), row.mode ? QString() : QStringLiteral("100"));
        QCOMPARE(window().currentLanguage(),
                 row.language < 0 ? Language::English : Language(row.language));
    }

    void aPasteThatDoesNotFitIsRefusedWhole_data() {
        QTest::addColumn<Paste>("row");
        QTest::newRow("one more than fits") << Paste{"123456789012", false, "34", "123456789012"};
        QTest::newRow("exactly to the limit") << Paste{"1234567890", false, "123", "1234567890123"};
        QTest::newRow("over a selection that makes room")
            << Paste{"1234567890123", true, "99", "99"};
    }
    void aPasteThatDoesNotFitIsRefusedWhole() {  // and the field reports no change
        QFETCH(Paste, row);
        QLineEdit* target = field(1);
        type(1, row.before);
        if (row.selected)
            target->selectAll();
        QApplication::clipboard()->setText(row.pasted);
        QSignalSpy changes(target, &QLineEdit::textChanged);
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(target->text(), row.after);
        QCOMPARE(changes.isEmpty(), target->text() == row.before);
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
        QCOMPARE(field(4)->palette().color(QPalette::Base), QColor(215, 235, 250));
        // its text at least 160 below the blue's lightness of 232
        QVERIFY(field(4)->palette().color(QPalette::Text).lightness() <= 72);
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
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited.join(u'|'), stops);
    }

    void calculateIsEnabledAndTheLatchKeepsIt() {
        // Only the keystroke that fills the last empty field, whichever it is,
        // enables Command1; emptying a field does not disable it, a mode change does
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
    void everyCaptionFits() {  // in every mode, chosen by its button and the language's
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
            }
        }
        for (qint16 year = 0; year <= 20; ++year) {  // and every year's label
            label(3)->setText(window().Texte(year));
            QVERIFY(!label(3)->text().isEmpty() && fits(label(3)));
        }
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
};

TAVRIN_GUI_TEST_MAIN(TestWindow)
#include "tst_window.moc"
