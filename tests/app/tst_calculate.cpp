// The calculate button and the result file, through the real window and the
// real save dialog: the result and the appended block of every mode, rejected
// input, the mouse cursor, the staged model press by press, choosing the file,
// and what a fault on the way leaves behind.

#include <QtGlobal>
#ifdef Q_OS_LINUX
#include <sys/stat.h>  // mkfifo
#endif

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "errornumbers.h"
#include "guitest.h"
#include "runtimeerror.h"

namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kErrorTitles[] = {"Fehlermeldung", "Error message", "Messaggio di errore",
                                "Faus message"};
const QString kLettersEnglish = "Error: 13 Only type in numbers, do not type in letters!";
const QByteArray kTwoYears =
    "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
    "Invest period in years: 2\r\nMoney at the end of investment: 1102.5\r\n";
const QByteArray kNinetyDays =
    "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
    "Invest period in days: 90\r\nInterest: 12.5\r\n";

struct Result {
    bool decimalComma;
    Language language;
    int mode;
    const char* inputs;          // staged: the rates of the later years follow
    const char* block;           // the lines appended to the result file
    const char* file = nullptr;  // set instead of the one chosen in the dialog
};

}  // namespace
Q_DECLARE_METATYPE(Result)

class TestCalculate : public GuiTest {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;  // a fresh folder for every test

    // As the save dialog gives it back, with the system's separators.
    QString pathIn(const QString& name) const {
        return QDir::toNativeSeparators(m_dir->filePath(name));
    }

    // Ticks the save box and confirms `name` (in the test's folder) in the dialog.
    void chooseResultFile(const QString& name) {
        answerNextFileDialog(pathIn(name));
        click(saveBox());
        QCOMPARE(takeDialogs().size(), 1);
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        startTest();
    }

    void showsAndSavesTheResultOfEachMode_data() {
        QTest::addColumn<Result>("row");
        const Language en = Language::English;
        QTest::newRow("period, decimal comma")
            << Result{true, en, 1, "1000|2000|5",
                      "\r\nStarting capital: 1000\r\nMoney at the end of investment: 2000\r\n"
                      "Interest rate in %: 5\r\nInvest period in years: 14,2066990828905 "
                      "(14 years, 2 months and 14 days)\r\n"};
        QTest::newRow("period, German") << Result{
            false, Language::German, 1, "1000|2000|5",
            "\r\nAnfangskapital: 1000\r\nEndkapital: 2000\r\nZinssatz in %: 5\r\n"
            "Anlagezeit in Jahren: 14.2066990828905 (14 Jahre, 2 Monate und 14 Tage)\r\n"};
        QTest::newRow("final capital")
            << Result{false, en, 2, "1000|5|10",
                      "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
                      "Invest period in years: 10\r\nMoney at the end of investment: 1628.89\r\n"};
        QTest::newRow("final capital half a year, decimal comma, French")
            << Result{true, Language::French, 2, "1000|5|0,5",
                      "\r\nCapital initial: 1000\r\nLes\u00b4 intérêt des tas en %: 5\r\n"
                      "Le durée des placements en ans: 0,5\r\nCapital final: 1024,7\r\n"};
        QTest::newRow("interest for 90 days, a path of 300 characters") << Result{
            false,
            en,
            3,
            "1000|5|90",
            "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
            "Invest period in days: 90\r\nInterest: 12.5\r\n",
            "ddddd/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"
            "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa/bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"
            "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb/"
            "cccccccccccccccccccccccccccccccccccccccc.txt"};
        QTest::newRow("interest, decimal comma, Italian")
            << Result{true, Language::Italian, 3, "10000|3,5|30",
                      "\r\nCapitale iniziale: 10000\r\nTasso d'interesse in %: 3,5\r\n"
                      "Durata dell'investimento in giorni: 30\r\nInteresse: 29,17\r\n"};
        QTest::newRow("rate, decimal comma")
            << Result{true, en, 5, "1000|2000|10",
                      "\r\nStarting capital: 1000\r\nMoney at the end of investment: 2000\r\n"
                      "Invest period in years: 10\r\nInterest rate in %: 7,17734625362\r\n"};
        QTest::newRow("staged, two years, decimal comma")
            << Result{true, en, 4, "100|2|2,5|2,5",
                      "\r\nStarting capital: 100\r\nInvest period in years: 2\r\n"
                      "Interest rate first year: 2,50000                    (102,50)\r\n"
                      "Interest rate second year: 2,50000                   (105,06)\r\n"
                      "Money at the end of investment: 105,06\r\n"};
        QTest::newRow("staged, one year")
            << Result{false, en, 4, "100|1|5",
                      "\r\nStarting capital: 100\r\nInvest period in years: 1\r\n"
                      "Interest rate first year: 5.00000                    (105.00)\r\n"
                      "Money at the end of investment: 105\r\n"};
        // The capitals close in column 61.
        QTest::newRow("staged, three years, French")
            << Result{false, Language::French, 4, "100|3|5|4|3",
                      "\r\nCapital initial: 100\r\nLe durée des placements en ans: 3\r\n"
                      "Le tas d'intérêt premier anner: 5.00000              (105.00)\r\n"
                      "Les tas intérêt des deuxième anner: 4.00000          (109.20)\r\n"
                      "Les tas intérêt des troisième anner: 3.00000         (112.48)\r\n"
                      "Capital final: 112.48\r\n"};
    }
    void showsAndSavesTheResultOfEachMode() {
        // Text4 shows the result, Command1 is disabled, the inputs stay, and
        // exactly the block is appended, captions as the window shows them
        QFETCH(Result, row);
        if (row.decimalComma)
            QLocale::setDefault(kGerman);
        chooseResultFile("block.txt");
        if (row.file) {
            window().strFile = pathIn(row.file);
            QVERIFY(QDir().mkpath(QFileInfo(window().strFile).absolutePath()));
        }
        chooseLanguage(row.language);
        chooseMode(row.mode);
        const QStringList inputs = split(row.inputs);
        enter(inputs);
        for (const QString& rate : inputs.mid(3)) {
            retype(3, rate);
            click(calculate());
        }
        QCOMPARE(fieldTexts().mid(0, 3), QStringList({inputs[0], inputs[1], inputs.last()}));
        QVERIFY(!field(4)->text().isEmpty() && !calculate()->isEnabled());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QByteArray block =
            QString::fromUtf8(row.block)
#ifdef Q_OS_WIN
                .toLatin1();  // the ANSI code page of Western Europe has these letters
#else
                .toUtf8();
#endif
        QCOMPARE(contentsOf(window().strFile), block);
        QVERIFY(block.endsWith(" " + field(4)->text().toUtf8() + "\r\n"));
        QCOMPARE(pendingDialogs(), 0);
    }

    void aRejectedInputEmptiesTheFields_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QString>("prompt");  // empty: rejected silently
        QTest::newRow("letters, German")
            << Language::German << 1 << QStringList{"abc", "5", "10"}
            << "Fehler: 13 Nur Zahlen eingeben, keine Buchstaben eingeben!";
        QTest::newRow("letters, English")
            << Language::English << 2 << QStringList{"1000", "5x", "10"} << kLettersEnglish;
        QTest::newRow("letters, Italian")
            << Language::Italian << 3 << QStringList{"1000", "5", "abc"}
            << "Errore: 13 Inserire solo valori numerici, non lettere!";
        QTest::newRow("letters, French")
            << Language::French << 5 << QStringList{"abc", "5", "10"}
            << "Erreur: 13 Donner seulement L\u00b4addition pas de lettre";
        QTest::newRow("a field emptied after all were filled")
            << Language::English << 1 << QStringList{"1000", "2000", ""} << kLettersEnglish;
        QTest::newRow("ratio too large for the rate search, German")
            << Language::German << 5 << QStringList{"1", "1000000000000", "1"}
            << "Fehler: 1001 " +
                   tav::errorDescription(tav::ErrorNumber::RateOutOfRange, Language::German);
        const Language en = Language::English;
        QTest::newRow("zero rate") << en << 2 << QStringList{"1000", "0", "10"} << "";
        QTest::newRow("negative days") << en << 3 << QStringList{"1000", "5", "-90"} << "";
        QTest::newRow("zero years, staged") << en << 4 << QStringList{"1000", "0", "5"} << "";
        QTest::newRow("equal capitals") << en << 1 << QStringList{"1000", "1000", "5"} << "";
        QTest::newRow("part years, staged") << en << 4 << QStringList{"100", "2.5", "5"} << "";
    }
    void aRejectedInputEmptiesTheFields() {
        // All four fields are emptied, and where the input is not a number one
        // error box says so in the current language
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QStringList, inputs);
        QFETCH(QString, prompt);
        chooseLanguage(language);
        chooseMode(mode);
        enter(inputs);
        if (prompt.isEmpty())
            QCOMPARE(pendingDialogs(), 0);
        else
            expectError(kErrorTitles[static_cast<int>(language)], prompt);
        QCOMPARE(fieldTexts(), QStringList(4));
        QVERIFY(field(1)->isEnabled() && field(2)->isEnabled());
    }

    void theCursorIsTheDefaultAfterARateSearch() {  // even with a wait cursor left by others
        chooseMode(5);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        type(1, "1000");
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);  // typing resets it
        type(2, "2000");
        type(3, "10");
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("7.17734625362"));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void aLanguageChangeTranslatesOnlyAShownPeriod() {
        const QString english = QStringLiteral("14.2066990828905 (14 years, 2 months and 14 days)");
        enter({"1000", "2000", "5"});
        QCOMPARE(field(4)->text(), english);
        chooseLanguage(Language::German);
        QCOMPARE(field(4)->text(),
                 QStringLiteral("14.2066990828905 (14 Jahre, 2 Monate und 14 Tage)"));
        chooseLanguage(Language::English);
        QCOMPARE(field(4)->text(), english);
        // but a final capital, or an empty result in mode 1, is left alone
        chooseMode(2);
        enter({"1000", "5", "10"});
        chooseLanguage(Language::German);
        QCOMPARE(field(4)->text(), QStringLiteral("1628.89"));
        chooseMode(1);
        chooseLanguage(Language::Italian);
        QVERIFY(field(4)->text().isEmpty());
    }

    void stagedThreeYearsPressByPress() {
        chooseMode(4);
        expectDue("Interest rate first year", "Notice interest rate");
        QVERIFY(!calculate()->isEnabled());
        enter({"100", "3", "5"});
        // The first rate noted: the second year is due, the fixed inputs locked
        expectDue("Interest rate second year", "Notice interest rate");
        QVERIFY(calculate()->isEnabled());
        expectLocked(true);
        QCOMPARE(fieldTexts(), (QStringList{"100", "3", "5", ""}));
        retype(3, "4");
        click(calculate());
        expectDue("Interest rate third year", "Calculate");  // the last year is due
        expectLocked(true);
        // The third noted: the final capital in cents, the inputs unlocked
        retype(3, "3");
        click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("112.48"));
        QVERIFY(!calculate()->isEnabled());
        expectLocked(false);
        expectDue("Interest rate third year", "Calculate");
        QCOMPARE(pendingDialogs(), 0);
    }

    void stagedTwentyYearsAreTheLimit() {
        // More than twenty: the fields keep their text and no year is noted
        chooseMode(4);
        enter({"100", "21", "1"});
        expectError("Error", "Only 20 years possible");
        QCOMPARE(field(2)->text(), QStringLiteral("21"));
        QCOMPARE(window().c, qint16(0));
        expectLocked(false);
        // Twenty: the same rate noted twenty times names every year in turn
        retype(2, "20");
        click(calculate());
        for (qint16 year = 1; year < 20; ++year) {
            QCOMPARE(label(3)->text(), window().Texte(year));
            click(calculate());
        }
        QCOMPARE(label(3)->text(), QStringLiteral("Interest rate twentieth year"));
        QCOMPARE(field(4)->text(), QStringLiteral("122.02"));  // 100 * 1.01^20
        QCOMPARE(pendingDialogs(), 0);
    }

    void stagedLanguageChangeInEachState_data() {
        QTest::addColumn<int>("presses");  // rates noted of a five-year entry
        QTest::addColumn<Language>("language");
        QTest::addColumn<QStringList>("expected");  // Label1 .. Label4, Command1
        QTest::newRow("ready, German")
            << 0 << Language::German
            << QStringList{"Anfangskapital", "Anlagezeit in Jahren", "Zinssatz erstes Jahr",
                           "Endkapital:", "Zinssatz merken"};
        QTest::newRow("one noted, Italian")
            << 1 << Language::Italian
            << QStringList{"Capitale iniziale", "Durata dell'investimento in anni",
                           "Tasso d'interesse del secondo anno",
                           "Capitale finale:", "Controllare il tasso d'interesse"};
        QTest::newRow("last due, French")
            << 4 << Language::French
            << QStringList{"Capital initial", "Le durée des placements en ans",
                           "Les tas intérêt des cinquième anner", "Capital final:", "Calculer"};
    }
    void stagedLanguageChangeInEachState() {
        // The state's texts are in the new language and the entry goes on
        QFETCH(int, presses);
        QFETCH(Language, language);
        QFETCH(QStringList, expected);
        chooseMode(4);
        for (int i = 1; i <= 3; ++i)
            type(i, QStringList{"100", "5", "10"}[i - 1]);
        for (int i = 0; i < presses; ++i)
            click(calculate());
        chooseLanguage(language);
        QCOMPARE(texts({label(1), label(2), label(3), label(4), calculate()}), expected);
        expectLocked(presses > 0);
        for (int i = presses; i < 5; ++i)
            click(calculate());
        QCOMPARE(field(4)->text(), QStringLiteral("161.05"));
    }

    void anUnfinishedStagedEntryUnlocksTheInputs_data() {
        QTest::addColumn<QString>("ending");  // a rate, or empty: a mode is chosen
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("messages");
        QTest::newRow("zero rate") << "0" << 0 << 0;
        QTest::newRow("letters as rate") << "x" << 0 << 1;
        QTest::newRow("rate that overflows the capital") << "1E308" << 0 << 1;
        QTest::newRow("staged mode chosen again") << "" << 4 << 0;
        QTest::newRow("mode 2 chosen") << "" << 2 << 0;
    }
    void anUnfinishedStagedEntryUnlocksTheInputs() {
        // An entry that ends without a final capital leaves the fields empty
        // and editable, and no year noted; a new entry completes normally
        QFETCH(QString, ending);
        QFETCH(int, mode);
        QFETCH(int, messages);
        chooseMode(4);
        enter({"1000", "3", "5"});
        expectLocked(true);
        if (mode != 0) {
            chooseMode(mode);
        } else {
            retype(3, ending);
            click(calculate());
        }
        QCOMPARE(takeDialogs().size(), messages);
        QCOMPARE(fieldTexts(), QStringList(4));
        expectLocked(false);
        QCOMPARE(window().c, qint16(0));
        if (mode == 2)
            chooseMode(4);
        enter({"200", "1", "10"});
        QCOMPARE(field(4)->text(), QStringLiteral("220"));
    }

    void theDialogChoosesTheFile_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("no extension") << "report"
                                      << "report.txt";
        QTest::newRow("upper-case extension") << "DATA.TXT"
                                              << "DATA.TXT.txt";
        QTest::newRow("txt extension") << "zins.txt"
                                       << "zins.txt";
        QTest::newRow("letters beyond ASCII") << QString::fromUtf8("Zinsen für Ärger €")
                                              << QString::fromUtf8("Zinsen für Ärger €.txt");
#ifndef Q_OS_WIN  // Windows allows no "<" or ">" in a name
        QTest::newRow("markup in the name") << "<b>x"
                                            << "<b>x.txt";
#endif
    }
    void theDialogChoosesTheFile() {
        // The dialog offers text files; the name, with ".txt" where it lacks
        // exactly that ending, is the result file shown in the status line,
        // and results are appended to it
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        answerNextFileDialog(pathIn(typed));
        click(saveBox());
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY2(dialogs[0].text.contains(QStringLiteral("(*.txt)")), qPrintable(dialogs[0].text));
        const QString expected = pathIn(chosen);
        QCOMPARE(window().strFile, expected);
        QCOMPARE(label(5)->text(), expected);
        QVERIFY(showsLiterally(label(5)->textFormat(), label(5)->text()));
        QCOMPARE(window().Checktester, qint16(1));
        chooseMode(2);
        enter({"1000", "5", "10"});
        QVERIFY(contentsOf(expected).endsWith("Money at the end of investment: 1628.89\r\n"));
    }

    void cancellingKeepsTheProposedName() {  // in the current folder
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
#ifdef Q_OS_WIN
        // (on Windows the name is kept in the user's documents instead)
        const QString expected = QDir::toNativeSeparators(
            QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                .filePath(QStringLiteral("tavrin.txt")));
        QFile::remove(expected);
#else
        const QString expected = QStringLiteral("tavrin.txt");
#endif
        answerNextFileDialog(QString());
        click(saveBox());
        QCOMPARE(takeDialogs().size(), 1);
        QCOMPARE(window().strFile, expected);
        QCOMPARE(label(5)->text(), expected);
        QCOMPARE(window().Checktester, qint16(1));
        chooseMode(3);
        enter({"1000", "5", "90"});
        QDir::setCurrent(before);
        QCOMPARE(contentsOf(QDir(m_dir->path()).absoluteFilePath(expected)), kNinetyDays);
    }

    void untickingNeverAsksAndKeepsTheFile() {  // and nothing is written
        chooseResultFile("kept.txt");
        click(saveBox());
        QCOMPARE(pendingDialogs(), 0);
        QCOMPARE(window().strFile, pathIn("kept.txt"));
        chooseMode(2);
        enter({"1000", "5", "10"});
        QVERIFY(!QFile::exists(window().strFile));
    }

    void aFaultIsReportedAndNothingIsLost_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        const QString notFound = "Error: 76 Path not found: %1";
        const QString noAccess = "Error: 75 Path/File access error: %1";
        QTest::newRow("missing folder") << "missing/results.txt" << notFound;
#ifndef Q_OS_WIN
        QTest::newRow("markup in the name") << "<b>missing/results.txt" << notFound;
#endif
        QTest::newRow("a folder") << "folder" << noAccess;
        QTest::newRow("a name longer than the system allows")
            << QString(300, u'n') + ".txt" << noAccess;
#ifdef Q_OS_LINUX  // an always full device and named pipes: Linux only
        QTest::newRow("full disk") << "/dev/full"
                                   << "Error: 61 Disk full: %1";
        QTest::newRow("a pipe without a reader") << "pipe" << noAccess;
#endif
    }
    void aFaultIsReportedAndNothingIsLost() {
        // The message names the fault, the fields are cleared, the earlier
        // block is intact, and once the cause is gone the next is written
        QFETCH(QString, target);
        QFETCH(QString, message);
        QVERIFY(QDir(m_dir->path()).mkpath("folder"));
#ifdef Q_OS_LINUX
        QCOMPARE(mkfifo(QFile::encodeName(pathIn("pipe")).constData(), 0600), 0);
#endif
        const QString bad = target.startsWith(u'/') ? target : pathIn(target);
        chooseResultFile("good.txt");
        const QString good = window().strFile;
        chooseMode(2);
        enter({"1000", "5", "10"});
        const QByteArray firstBlock = contentsOf(good);
        QVERIFY(!firstBlock.isEmpty());

        window().strFile = bad;
        retype(3, "2");
        click(calculate());
        expectError("Error message", message.arg(QDir::toNativeSeparators(bad)));
        QCOMPARE(fieldTexts(), QStringList(4));
        QVERIFY(!QFileInfo(bad).isFile() || bad == QStringLiteral("/dev/full"));
        QCOMPARE(contentsOf(good), firstBlock);

        window().strFile = good;
        enter({"1000", "5", "2"});
        QCOMPARE(contentsOf(good), firstBlock + kTwoYears);
    }

    // Faults that come and go while the program runs: each gives the message
    // or a correct append, and whole blocks only.
    void theFileChangesBetweenTwoBlocks() {
        chooseResultFile("moving.txt");
        const QString path = window().strFile;
        chooseMode(2);
        enter({"1000", "5", "10"});
        const QByteArray firstBlock = contentsOf(path);
        // Replaced by a folder: the next result is refused
        QVERIFY(QFile::rename(path, pathIn("aside.txt")));
        QVERIFY(QDir().mkdir(path));
        enter({"1000", "5", "2"});
        expectError("Error message", "Error: 75 Path/File access error: " + path);
        QVERIFY(QDir(path).isEmpty());
        // Back again: the next one is appended to the first
        QVERIFY(QDir().rmdir(path));
        QVERIFY(QFile::rename(pathIn("aside.txt"), path));
        enter({"1000", "5", "2"});
        QCOMPARE(contentsOf(path), firstBlock + kTwoYears);
        // Deleted: it is created again with the next block
        QVERIFY(QFile::remove(path));
        retype(3, "2");
        click(calculate());
        QCOMPARE(contentsOf(path), kTwoYears);
    }

private:
    void expectDue(const QString& label3, const QString& caption) {
        QCOMPARE(label(3)->text(), label3);
        QCOMPARE(calculate()->text(), caption);
    }

    // Locked fixed inputs are disabled and painted in the button face.
    void expectLocked(bool locked) {
        for (int i = 1; i <= 2; ++i) {
            QCOMPARE(field(i)->isEnabled(), !locked);
            QCOMPARE(fieldColour(field(i)), locked ? buttonFace() : windowBackground());
        }
        QVERIFY(field(3)->isEnabled());
    }
};

TAVRIN_GUI_TEST_MAIN(TestCalculate)
#include "tst_calculate.moc"
