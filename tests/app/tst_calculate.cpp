// The calculate button and the result file, through the real window and save dialog.

#include "guitest.h"

using namespace tav::test;

const QByteArray kTenYears =
    "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
    "Invest period in years: 10\r\nMoney at the end of investment: 1628.89\r\n";
#ifdef Q_OS_WIN  // Windows allows no "<" or ">" in a name
const char* const kMarkupName = "b x";
#else
const char* const kMarkupName = "<b>x";
#endif
const Language de = Language::German, en = Language::English, fr = Language::French;

class TestCalculate : public GuiTest {
    Q_OBJECT

private slots:
    void theSaveDialogNamesTheResultFile() {  // ".txt" added where the name lacks exactly that
        // (a name with it is kept: showsAndSavesTheResultOfEachMode)
        tickSaveBox("report");
        QCOMPARE(window().strFile, pathIn("report.txt"));
        click(saveBox());  // unticked, to be ticked again
        tickSaveBox("DATA.TXT");
        QCOMPARE(window().strFile, pathIn("DATA.TXT.txt"));
    }

    void aCancelledSaveDialogSavesToTavrinTxt() {
        // The save dialog cancelled; a result calculated: it goes to tavrin.txt in the current
        // folder (on Windows in the user's documents)
        const auto back = qScopeGuard([dir = QDir::currentPath()] { QDir::setCurrent(dir); });
        QVERIFY(QDir::setCurrent(pathIn(".")));
#ifdef Q_OS_WIN
        const QString expected = QDir::toNativeSeparators(
            QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                .filePath("tavrin.txt"));
        QFile::remove(expected);  // left by an earlier run
#else
        const QString expected = QStringLiteral("tavrin.txt");
#endif
        tickSaveBox(QString());
        QCOMPARE(window().strFile, expected);
        chooseMode(2);
        enter("1000 5 10");
        QCOMPARE(fileBytes(expected), kTenYears);
    }

    void showsAndSavesTheResultOfEachMode_data() {
        // Inputs (staged: the rates of the later years follow), the result shown, the block
        // appended (a year's capital closes in column 61)
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("block");
        QTest::newRow("period, German")
            << de << 1 << u"1000 2000 5"_s << u"report.txt"_s
            << u"14,2066990828905 (14 Jahre, 2 Monate und 14 Tage)"_s
            << "\r\nAnfangskapital: 1000\r\nEndkapital: 2000\r\nZinssatz in %: 5\r\n"
               "Anlagezeit in Jahren: 14,2066990828905 (14 Jahre, 2 Monate und 14 Tage)\r\n";
        QTest::newRow("half a year, French")
            << fr << 2 << u"1000 5 0,5"_s << u"DATA.TXT.txt"_s << u"1024,7"_s
            << "\r\nCapital initial: 1000\r\nLes\u00b4 intérêt des tas en %: 5\r\n"
               "Le durée des placements en ans: 0,5\r\nCapital final: 1024,7\r\n";
        QTest::newRow("interest, Italian")
            << Language::Italian << 3 << u"10000 3,5 30"_s << u"zins.txt"_s << u"29,17"_s
            << "\r\nCapitale iniziale: 10000\r\nTasso d'interesse in %: 3,5\r\n"
               "Durata dell'investimento in giorni: 30\r\nInteresse: 29,17\r\n";
        QTest::newRow("rate, non-ASCII name")
            << en << 5 << u"1000 2000 10"_s << u"Zinsen für Ärger €.txt"_s << u"7,17734625362"_s
            << "\r\nStarting capital: 1000\r\nMoney at the end of investment: 2000\r\n"
               "Invest period in years: 10\r\nInterest rate in %: 7,17734625362\r\n";
        QTest::newRow("staged, one year, markup in the name")
            << en << 4 << u"100 1 5"_s << QString(kMarkupName) + ".txt" << u"105"_s
            << "\r\nStarting capital: 100\r\nInvest period in years: 1\r\n"
               "Interest rate first year: 5,00000                    (105,00)\r\n"
               "Money at the end of investment: 105\r\n";
        QTest::newRow("staged, three years, French")
            << fr << 4 << u"100 3 5 4 3"_s << u"tavrin.txt"_s << u"112,48"_s
            << "\r\nCapital initial: 100\r\nLe durée des placements en ans: 3\r\n"
               "Le tas d'intérêt premier anner: 5,00000              (105,00)\r\n"
               "Les tas intérêt des deuxième anner: 4,00000          (109,20)\r\n"
               "Les tas intérêt des troisième anner: 3,00000         (112,48)\r\n"
               "Capital final: 112,48\r\n";
    }
    void showsAndSavesTheResultOfEachMode() {
        // Saving to a file, in a language and mode; the inputs entered, the wait cursor left by
        // others: the result is shown and appended, the cursor reset; the language button pressed
        // again, which runs the whole language change, keeps the inputs and the result
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QString, inputs);
        QFETCH(QString, file);
        QFETCH(QString, result);
        QFETCH(QString, block);
        QLocale::setDefault(kGerman);  // numbers with a decimal comma
        tickSaveBox(file);
        chooseLanguage(language);
        chooseMode(mode);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        enter(inputs);
        const QStringList typed = inputs.split(u' ');
        const QStringList shown{typed[0], typed[1], typed.last(), result};
        QCOMPARE(fieldTexts(), shown);
        QVERIFY(!calculate()->isEnabled());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
#ifdef Q_OS_WIN
        const QByteArray bytes = block.toLatin1();  // the ANSI code page of Western Europe
#else
        const QByteArray bytes = block.toUtf8();
#endif
        QCOMPARE(fileBytes(pathIn(file)), bytes);
        chooseLanguage(language);
        QCOMPARE(fieldTexts(), shown);
    }

    void aLanguageChangeTranslatesTheShownPeriod() {
        // A period shown in German words; English chosen: the same period in English words
        chooseLanguage(de);
        enter("1000 2000 5");
        chooseLanguage(en);
        QCOMPARE(field(4)->text(), u"14.2066990828905 (14 years, 2 months and 14 days)"_s);
    }

    void savesToAPathOf300Characters() {
        // A result file whose path is longer than the classic limit of 260: the block is written
        tickSaveBox("zins.txt");
        window().strFile = pathIn("ddddd/" + QString(116, u'a') + "/" + QString(124, u'b') + "/" +
                                  QString(40, u'c') + ".txt");
        QVERIFY(QDir().mkpath(QFileInfo(window().strFile).absolutePath()));
        chooseMode(2);
        enter("1000 5 10");
        QCOMPARE(fileBytes(window().strFile), kTenYears);
    }

    void aRefusedInputEmptiesTheFields_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<QString>("title");  // none for numbers refused without a message
        QTest::addColumn<QString>("prompt");
        QTest::newRow("letters, German")
            << de << 1 << u"abc 5 10"_s << u"Fehlermeldung"_s
            << u"Fehler: 13 Nur Zahlen eingeben, keine Buchstaben eingeben!"_s;
        QTest::newRow("letters, English")
            << en << 2 << u"1000 5 ten"_s << u"Error message"_s
            << u"Error: 13 Only type in numbers, do not type in letters!"_s;
        QTest::newRow("ratio beyond the rate search")
            << de << 5 << u"1 1000000000000 1"_s << u"Fehlermeldung"_s
            << u"Fehler: 1001 Der Zinssatz läge über 99900 % im Jahr und wird nicht gesucht"_s;
        QTest::newRow("staged, a rate that overflows")
            << en << 4 << u"1000 3 5 1E308"_s << u"Error message"_s << u"Error: 6 Overflow"_s;
        QTest::newRow("zero rate") << en << 2 << u"1000 0 10"_s << u""_s << u""_s;
        QTest::newRow("equal capitals") << en << 1 << u"1000 1000 5"_s << u""_s << u""_s;
        QTest::newRow("part years, staged") << en << 4 << u"100 2.5 5"_s << u""_s << u""_s;
        QTest::newRow("a later zero rate") << en << 4 << u"1000 3 5 0"_s << u""_s << u""_s;
    }
    void aRefusedInputEmptiesTheFields() {
        // In a language and mode, inputs entered that no calculation takes: the error box names
        // the error, where there is one (any other dialog fails the test); the fields are emptied
        // and editable, and no year is noted
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QString, inputs);
        QFETCH(QString, title);
        QFETCH(QString, prompt);
        chooseLanguage(language);
        chooseMode(mode);
        enter(inputs);
        if (!title.isEmpty()) {
            expectError(title, prompt);
        }
        expectEmptiedAndEditable();
    }

    void aModeChosenDuringAStagedEntryEndsIt() {
        // A staged entry under way; the staged mode chosen again, or mode 2: the fields are
        // emptied and editable, and no year is noted
        for (int mode : {4, 2}) {
            chooseMode(4);
            enter("1000 3 5");
            chooseMode(mode);
            expectEmptiedAndEditable();
        }
    }

    void moreThanTwentyYearsAreRefused() {
        // A staged entry of 21 years: refused with a message, the fields kept, no year noted;
        // once corrected, the entry goes on
        chooseMode(4);
        enter("100 21 1");
        expectError("Error", "Only 20 years possible");
        QCOMPARE(fieldTexts(), QStringList({"100", "21", "1", ""}));
        QCOMPARE(window().staged.c, qint16(0));
        expectLocked(false);
        retype(2, "20");
        click(calculate());
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate second year"));
    }

    void stagedEntryOfTwentyYears_data() {
        // Rates noted when the language changes; Command1's caption for the last year; the texts
        // of Label1 .. Label4 and Command1 then, whose caption stays until the last year
        QTest::addColumn<int>("presses");
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("ready, German")
            << 0 << de << u"Rechnen"_s
            << QStringList({"Anfangskapital", "Anlagezeit in Jahren", "Zinssatz erstes Jahr",
                            "Endkapital:", "Zinssatz merken"});
        QTest::newRow("one noted, Italian")
            << 1 << Language::Italian << u"Calcolare"_s
            << QStringList({"Capitale iniziale", "Durata dell'investimento in anni",
                            "Tasso d'interesse del secondo anno",
                            "Capitale finale:", "Controllare il tasso d'interesse"});
        QTest::newRow("last due, French")
            << 19 << fr << u"Calculer"_s
            << QStringList({"Capital initial", "Le durée des placements en ans",
                            "Les tas intérêt des vingtième anner", "Capital final:", "Calculer"});
    }
    void stagedEntryOfTwentyYears() {
        // Each press notes a rate and names the next year, with the first two fields locked
        QFETCH(int, presses);
        QFETCH(Language, language);
        QFETCH(QStringList, shown);
        QFETCH(QString, last);
        chooseMode(4);
        type(1, "100");
        type(2, "20");
        type(3, "1");
        for (qint16 year = 0; year < 20; ++year) {
            if (year == presses) {
                chooseLanguage(language);
                QCOMPARE(texts({label(1), label(2), label(3), label(4), calculate()}), shown);
            }
            if (year > 0)
                QCOMPARE(label(3)->text(), window().Texte(year));
            if (year >= presses)
                QCOMPARE(calculate()->text(), year == 19 ? last : shown[4]);
            QVERIFY(calculate()->isEnabled());
            expectLocked(year > 0);
            click(calculate());
        }
        QCOMPARE(label(3)->text(), window().Texte(19));
        QCOMPARE(field(4)->text(), QStringLiteral("122.02"));  // 100 * 1.01^20
        QVERIFY(!calculate()->isEnabled());
        expectLocked(false);
    }

#ifdef Q_OS_WIN  // the system's dialog fails on such a path; Qt's own refuses it while open
    void aPathTooLongForTheDialogKeepsTheSaveTarget() {
        // A result file is chosen, then the box is ticked again and a path of 259 characters,
        // one more than the dialog's buffer takes, is typed: the user is told, and the result
        // file stays the one chosen before
        tickSaveBox("good.txt");
        const QString good = window().strFile;
        click(saveBox());
        const QString folder = pathIn("") + u'\\';
        answerNextFileDialog(folder + QString(259 - folder.size(), u'n'));
        click(saveBox());
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 2);  // the save dialog, then the message
        QCOMPARE(dialogs[1].text,
                 "Error: 52 The path is longer than this program can take. Please choose a "
                 "shorter name or another folder.");
        QCOMPARE(dialogs[1].icon, QMessageBox::Critical);
        QCOMPARE(window().strFile, good);
        QCOMPARE(label(5)->text(), good);
        QCOMPARE(window().Checktester, 1);
        // nothing was written, under either name
        QCOMPARE(QDir(pathIn("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
    }
#endif

    void aFaultIsReportedAndNothingIsLost_data() {
        QTest::addColumn<QString>("target");  // in the test's folder unless absolute
        QTest::addColumn<QString>("prompt");  // before the path
        const QString notFound = u"Error: 76 Path not found: "_s;
        const QString refused = u"Error: 75 Path/File access error: "_s;
        QTest::newRow("missing folder") << u"missing/results.txt"_s << notFound;
#ifndef Q_OS_WIN
        QTest::newRow("markup in the name") << u"<b>missing/results.txt"_s << notFound;
#endif
        QTest::newRow("a folder") << u"folder"_s << refused;
        QTest::newRow("a name too long for the system") << QString(300, u'n') + ".txt" << refused;
#ifdef Q_OS_LINUX  // an always full device: Linux only
        QTest::newRow("full disk") << u"/dev/full"_s << u"Error: 61 Disk full: "_s;
#endif
    }
    void aFaultIsReportedAndNothingIsLost() {
        // A result saved to a good file, then the target changed to one that cannot take the
        // next: the fault is named with the path, nothing is written there, the earlier block
        // stays, and once the good file is the target again the next is written
        QFETCH(QString, target);
        QFETCH(QString, prompt);
        QVERIFY(QDir().mkpath(pathIn("folder")));
        tickSaveBox("good.txt");
        chooseMode(2);
        enter("1000 5 10");
        const QString bad = target.startsWith(u'/') ? target : pathIn(target);
        window().strFile = bad;
        retype(3, "2");
        click(calculate());
        expectError("Error message", prompt + QDir::toNativeSeparators(bad));
        QCOMPARE(fieldTexts(), QStringList(4));
        QVERIFY(!QFileInfo(bad).isFile() || bad == QStringLiteral("/dev/full"));
        window().strFile = pathIn("good.txt");
        enter("1000 5 2");
        QCOMPARE(fileBytes(pathIn("good.txt")),
                 kTenYears +
                     "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
                     "Invest period in years: 2\r\nMoney at the end of investment: 1102.5\r\n");
    }

    void untickingTheSaveBoxStopsSaving() {
        // A result saved; the save box unticked: no dialog, the file kept, nothing more written
        tickSaveBox("good.txt");
        chooseMode(2);
        enter("1000 5 10");
        click(saveBox());
        retype(3, "2");
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("1102.5"));
        QCOMPARE(window().strFile, pathIn("good.txt"));
        QCOMPARE(fileBytes(pathIn("good.txt")), kTenYears);
    }

private:
    // After a rejected input: the fields empty and editable, no year noted.
    void expectEmptiedAndEditable() {
        chooseLanguage(Language::Italian);  // which puts no period into Text4
        QCOMPARE(fieldTexts(), QStringList(4));
        expectLocked(false);
        QCOMPARE(window().staged.c, qint16(0));
    }
};

QTEST_MAIN(TestCalculate)
#include "tst_calculate.moc"
