// The calculate button and the result file, through the real window and save dialog.

#include "errornumbers.h"
#include "guitest.h"
#include "runtimeerror.h"
#ifdef Q_OS_LINUX
#include <sys/stat.h>  // mkfifo
#endif

using namespace tav::test;

const QByteArray kYears =
    "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\nInvest period in years: ";
const QByteArray kTenYears = kYears + "10\r\nMoney at the end of investment: 1628.89\r\n";
const QByteArray kTwoYears = kYears + "2\r\nMoney at the end of investment: 1102.5\r\n";
#ifdef Q_OS_WIN  // Windows allows no "<" or ">" in a name
const char* const kMarkupName = "b x|b x.txt";
#else
const char* const kMarkupName = "<b>x|<b>x.txt";
#endif
const Language de = Language::German, en = Language::English, fr = Language::French;

class TestCalculate : public GuiTest {
    Q_OBJECT

private slots:
    void showsAndSavesTheResultOfEachMode_data() {
        // Inputs (staged: the rates of the later years follow), the name typed in the save dialog
        // and the file it gives, saved to a path of 300 characters instead, Text4 after a
        // language change if not kept, the block appended (a year's capital closes in column 61)
        columns<Language, int, QString, QString, bool, QString, QString>();
        row("period, German", de, 1, "1000|2000|5", "report|report.txt", false,
            "14,2066990828905 (14 years, 2 months and 14 days)",
            "\r\nAnfangskapital: 1000\r\nEndkapital: 2000\r\nZinssatz in %: 5\r\n"
            "Anlagezeit in Jahren: 14,2066990828905 (14 Jahre, 2 Monate und 14 Tage)\r\n");
        row("final capital half a year, French", fr, 2, "1000|5|0,5", "DATA.TXT|DATA.TXT.txt",
            false, "",
            "\r\nCapital initial: 1000\r\nLes\u00b4 intérêt des tas en %: 5\r\n"
            "Le durée des placements en ans: 0,5\r\nCapital final: 1024,7\r\n");
        row("interest, Italian, a path of 300 characters", Language::Italian, 3, "10000|3,5|30",
            "zins.txt|zins.txt", true, "",
            "\r\nCapitale iniziale: 10000\r\nTasso d'interesse in %: 3,5\r\n"
            "Durata dell'investimento in giorni: 30\r\nInteresse: 29,17\r\n");
        row("rate, letters beyond ASCII in the name", en, 5, "1000|2000|10",
            "Zinsen für Ärger €|Zinsen für Ärger €.txt", false, "",
            "\r\nStarting capital: 1000\r\nMoney at the end of investment: 2000\r\n"
            "Invest period in years: 10\r\nInterest rate in %: 7,17734625362\r\n");
        row("staged, one year, markup in the name", en, 4, "100|1|5", kMarkupName, false, "",
            "\r\nStarting capital: 100\r\nInvest period in years: 1\r\n"
            "Interest rate first year: 5,00000                    (105,00)\r\n"
            "Money at the end of investment: 105\r\n");
        row("staged, three years, French, dialog cancelled", fr, 4, "100|3|5|4|3", "|tavrin.txt",
            false, "",
            "\r\nCapital initial: 100\r\nLe durée des placements en ans: 3\r\n"
            "Le tas d'intérêt premier anner: 5,00000              (105,00)\r\n"
            "Les tas intérêt des deuxième anner: 4,00000          (109,20)\r\n"
            "Les tas intérêt des troisième anner: 3,00000         (112,48)\r\n"
            "Capital final: 112,48\r\n");
    }
    void showsAndSavesTheResultOfEachMode() {
        // ".txt" added where the name lacks exactly that; a language change translates a period
        const auto [language, mode, typedInputs, typedNames, longPath, translated, block] =
            fetch<Language, int, QString, QString, bool, QString, QString>();
        QLocale::setDefault(kGerman);                 // numbers with a decimal comma
        const QStringList names = split(typedNames);  // none typed: cancelled
        const auto back = qScopeGuard([dir = QDir::currentPath()] { QDir::setCurrent(dir); });
        QVERIFY(QDir::setCurrent(pathIn(".")));  // where a name without a folder is kept
        QString chosen = names[0].isEmpty() ? names[1] : pathIn(names[1]);
#ifdef Q_OS_WIN  // on Windows in the user's documents instead
        if (names[0].isEmpty())
            chosen = QDir::toNativeSeparators(
                QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                    .filePath(names[1]));
        QFile::remove(chosen);  // left by an earlier run
#endif
        answerNextFileDialog(names[0].isEmpty() ? QString() : pathIn(names[0]));
        click(saveBox());
        const QList<SeenDialog> dialogs = takeDialogs();
        QVERIFY(dialogs.size() == 1 && dialogs[0].text.contains(QStringLiteral("(*.txt)")));
        QCOMPARE(window().strFile, chosen);
        QCOMPARE(label(5)->text(), window().strFile);
        QVERIFY(showsLiterally(label(5)->textFormat(), label(5)->text()));
        if (longPath) {
            window().strFile = pathIn("ddddd/" + QString(116, u'a') + "/" + QString(124, u'b') +
                                      "/" + QString(40, u'c') + ".txt");
            QVERIFY(QDir().mkpath(QFileInfo(window().strFile).absolutePath()));
        }
        chooseLanguage(language);
        chooseMode(mode);
        const QStringList inputs = split(typedInputs);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);  // left by others: typing resets it
        enter(inputs);
        QCOMPARE(fieldTexts().mid(0, 3), QStringList({inputs[0], inputs[1], inputs.last()}));
        QVERIFY(!calculate()->isEnabled());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
#ifdef Q_OS_WIN
        const QByteArray bytes = block.toLatin1();  // the ANSI code page of Western Europe
#else
        const QByteArray bytes = block.toUtf8();
#endif
        QCOMPARE(fileBytes(window().strFile), bytes);
        const QString shown = field(4)->text();
        QVERIFY(!shown.isEmpty() && block.endsWith(" " + shown + "\r\n"));
        chooseLanguage(language == de ? en : de);
        QCOMPARE(field(4)->text(), translated.isEmpty() ? shown : translated);
    }

    void aRejectedInputEmptiesTheFields_data() {
        // Inputs (staged: a later rate may follow), a mode chosen during a staged entry, the
        // prompt (empty: rejected silently)
        columns<Language, int, QString, int, QString>();
        row("letters, German", de, 1, "abc|5|10", 0,
            "Fehler: 13 Nur Zahlen eingeben, keine Buchstaben eingeben!");
        row("ratio too large for the rate search, German", de, 5, "1|1000000000000|1", 0,
            "Fehler: 1001 " + tav::errorDescription(tav::ErrorNumber::RateOutOfRange, de));
        row("zero rate", en, 2, "1000|0|10", 0, "");
        row("equal capitals", en, 1, "1000|1000|5", 0, "");
        row("part years, staged", en, 4, "100|2.5|5", 0, "");
        row("staged, a zero rate later", en, 4, "1000|3|5|0", 0, "");
        row("staged, a rate that overflows the capital", en, 4, "1000|3|5|1E308", 0,
            "Error: 6 " + tav::errorDescription(tav::ErrorNumber::Overflow, en));
        row("staged, the staged mode chosen again", en, 4, "1000|3|5", 4, "");
        row("staged, mode 2 chosen", en, 4, "1000|3|5", 2, "");
    }
    void aRejectedInputEmptiesTheFields() {
        // The fields are emptied and editable, no year is noted, and no number is reported
        const auto [language, mode, inputs, chosen, prompt] =
            fetch<Language, int, QString, int, QString>();
        chooseLanguage(language);
        chooseMode(mode);
        enter(split(inputs));
        if (chosen != 0) {
            expectLocked(true);  // an entry under way
            chooseMode(chosen);
        }
        if (!prompt.isEmpty())  // any other dialog fails the test
            expectError(language == Language::German ? "Fehlermeldung" : "Error message", prompt);
        chooseLanguage(Language::Italian);  // which puts no period into Text4
        QCOMPARE(fieldTexts(), QStringList(4));
        expectLocked(false);
        QCOMPARE(window().staged.c, qint16(0));
        if (mode == 4 && chosen != 2) {
            enter({"200", "1", "10"});
            QCOMPARE(field(4)->text(), QStringLiteral("220"));
        }
    }

    void stagedEntryOfTwentyYears_data() {
        // Rates noted when the language changes; Label1..4, Command1, and it at the last year
        columns<int, Language, QString>();
        row("ready, German", 0, de,
            "Anfangskapital|Anlagezeit in Jahren|Zinssatz erstes Jahr|Endkapital:|Zinssatz "
            "merken|Rechnen");
        row("one noted, Italian", 1, Language::Italian,
            "Capitale iniziale|Durata dell'investimento in anni|Tasso d'interesse del secondo "
            "anno|Capitale finale:|Controllare il tasso d'interesse|Calcolare");
        row("last due, French", 19, fr,
            "Capital initial|Le durée des placements en ans|Les tas intérêt des vingtième "
            "anner|Capital final:|Calculer|Calculer");
    }
    void stagedEntryOfTwentyYears() {
        // Over twenty years refused, fields kept; then each press notes a rate, names the next year
        const auto [presses, language, captions] = fetch<int, Language, QString>();
        const QStringList expected = split(captions);
        chooseMode(4);
        enter({"100", "21", "1"});
        expectError("Error", "Only 20 years possible");
        QCOMPARE(field(2)->text(), QStringLiteral("21"));
        QCOMPARE(window().staged.c, qint16(0));
        expectLocked(false);
        retype(2, "20");
        for (qint16 year = 0; year < 20; ++year) {
            if (year == presses) {
                chooseLanguage(language);
                QCOMPARE(texts({label(1), label(2), label(3), label(4)}), expected.mid(0, 4));
            }
            if (year > 0)
                QCOMPARE(label(3)->text(), window().Texte(year));
            if (year >= presses)
                QCOMPARE(calculate()->text(), expected[year == 19 ? 5 : 4]);
            QVERIFY(calculate()->isEnabled());
            expectLocked(year > 0);
            click(calculate());
        }
        QCOMPARE(label(3)->text(), window().Texte(19));
        QCOMPARE(field(4)->text(), QStringLiteral("122.02"));  // 100 * 1.01^20
        QVERIFY(!calculate()->isEnabled());
        expectLocked(false);
    }

    void aFaultIsReportedAndNothingIsLost_data() {
        columns<QString, QString>();  // the result file, the prompt
        const QString notFound = "Error: 76 Path not found: %1";
        const QString noAccess = "Error: 75 Path/File access error: %1";
        row("missing folder", "missing/results.txt", notFound);
#ifndef Q_OS_WIN
        row("markup in the name", "<b>missing/results.txt", notFound);
#endif
        row("a folder", "folder", noAccess);
        row("the result file replaced by a folder", "good.txt", noAccess);
        row("a name longer than the system allows", QString(300, u'n') + ".txt", noAccess);
#ifdef Q_OS_LINUX  // an always full device and named pipes: Linux only
        row("full disk", "/dev/full", "Error: 61 Disk full: %1");
        row("a pipe without a reader", "pipe", noAccess);
#endif
    }
    void aFaultIsReportedAndNothingIsLost() {
        // The fault is named, the earlier block stays, and once the cause is gone the next is
        // written
        const auto [target, message] = fetch<QString, QString>();
        QVERIFY(QDir().mkpath(pathIn("folder")));
#ifdef Q_OS_LINUX
        QCOMPARE(mkfifo(QFile::encodeName(pathIn("pipe")).constData(), 0600), 0);
#endif
        answerNextFileDialog(pathIn("good.txt"));
        click(saveBox());
        QCOMPARE(takeDialogs().size(), 1);
        chooseMode(2);
        enter({"1000", "5", "10"});
        const QString good = window().strFile;
        QCOMPARE(fileBytes(good), kTenYears);
        const QString bad = target.startsWith(u'/') ? target : pathIn(target);
        if (bad == good)
            QVERIFY(QFile::rename(good, pathIn("aside.txt")) && QDir().mkdir(good));
        window().strFile = bad;
        retype(3, "2");
        click(calculate());
        expectError("Error message", message.arg(QDir::toNativeSeparators(bad)));
        QCOMPARE(fieldTexts(), QStringList(4));
        QVERIFY(!QFileInfo(bad).isFile() || bad == QStringLiteral("/dev/full"));
        if (bad == good)  // nothing was put into the folder
            QVERIFY(QDir().rmdir(good) && QFile::rename(pathIn("aside.txt"), good));
        QCOMPARE(fileBytes(good), kTenYears);
        window().strFile = good;
        enter({"1000", "5", "2"});
        QCOMPARE(fileBytes(good), kTenYears + kTwoYears);
        click(saveBox());  // unticked: no dialog, the file kept, nothing more written
        retype(3, "10");
        click(calculate());
        QCOMPARE(window().strFile, good);
        QCOMPARE(fileBytes(good), kTenYears + kTwoYears);
    }

    void pastedValuesReachTheFileWithoutTheirLineBreaks() {
        // Values copied from a spreadsheet, with the line breaks and tabs around them, are
        // pasted into the three fields and calculated; the file gets the plain block
        answerNextFileDialog(pathIn("pasted.txt"));
        click(saveBox());
        QCOMPARE(takeDialogs().size(), 1);
        chooseMode(2);
        const QStringList copied{"1000\r\n", "\t5\t", " 10\n"};
        for (int number = 1; number <= 3; ++number) {
            QApplication::clipboard()->setText(copied[number - 1]);
            field(number)->setFocus();
            QTest::keyClick(field(number), Qt::Key_V, Qt::ControlModifier);
        }
        QCOMPARE(fieldTexts().mid(0, 3), QStringList({"1000", "5", "10"}));
        click(calculate());
        QCOMPARE(fileBytes(pathIn("pasted.txt")), kTenYears);
    }

    void aLineBreakInsideAPastedValueIsRefused() {
        // Two cells copied as one are no number: the request is refused as letters are
        answerNextFileDialog(pathIn("pasted.txt"));
        click(saveBox());
        QCOMPARE(takeDialogs().size(), 1);
        chooseMode(2);
        type(1, "1000");
        type(2, "5");
        QApplication::clipboard()->setText("10\r\n20\r\n");
        field(3)->setFocus();
        QTest::keyClick(field(3), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field(3)->text(), QStringLiteral("10\r\n20"));
        click(calculate());
        expectError("Error message", "Error: 13 Only type in numbers, do not type in letters!");
        QVERIFY(!QFile::exists(pathIn("pasted.txt")));
    }
};

QTEST_MAIN(TestCalculate)
#include "tst_calculate.moc"
