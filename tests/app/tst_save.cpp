// The save box and the result file, through the real window and the real
// save dialog: choosing the file, what each calculation appends, and what a
// fault on the way leaves behind.

#include <QtGlobal>
#ifdef Q_OS_LINUX
#include <sys/stat.h>  // mkfifo
#endif

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "guitest.h"

using tav::Language;

Q_DECLARE_METATYPE(tav::Language)

namespace {

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestSave : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;  // a fresh folder for every test
    // As the save dialog gives it back, with the system's separators.
    QString pathIn(const QString& name) const {
        return QDir::toNativeSeparators(m_dir->filePath(name));
    }

    // Ticks the save box and confirms `name` (in the test's folder) in the dialog.
    void chooseResultFile(const QString& name) {
        answerNextFileDialog(pathIn(name));
        click(saveBox());
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        startTest();
    }
    void cleanup() { finishTest(); }

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
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        // Given a fresh window
        // When the save box is ticked and a name is confirmed in the dialog
        answerNextFileDialog(pathIn(typed));
        click(saveBox());
        // Then the dialog offered text files, and the name, with ".txt" where it
        // lacked exactly that ending, is the result file shown in the status line
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY2(dialogs[0].text.contains(QStringLiteral("(*.txt)")), qPrintable(dialogs[0].text));
        const QString expected = pathIn(chosen);
        QCOMPARE(window().strFile, expected);
        QCOMPARE(label(5)->text(), expected);
        QVERIFY(showsLiterally(label(5)->textFormat(), label(5)->text()));
        QCOMPARE(window().Checktester, qint16(1));

        // and results are appended to it.
        chooseMode(2);
        enterAndCalculate("1000", "5", "10");
        QVERIFY(contentsOf(expected).endsWith("Money at the end of investment: 1628.89\r\n"));
    }

    void cancellingKeepsTheProposedName() {
        // Given the current folder is the test's folder
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
        // When the dialog is cancelled
        answerNextFileDialog(QString());
        click(saveBox());
        QCOMPARE(takeDialogs().size(), 1);
        // Then the proposed name becomes the result file, in the current folder
        QCOMPARE(window().strFile, expected);
        QCOMPARE(label(5)->text(), expected);
        QCOMPARE(window().Checktester, qint16(1));
        chooseMode(3);
        enterAndCalculate("1000", "5", "90");
        QDir::setCurrent(before);
        QCOMPARE(contentsOf(QDir(m_dir->path()).absoluteFilePath(expected)),
                 QByteArray("\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
                            "Invest period in days: 90\r\nInterest: 12.5\r\n"));
    }

    void untickingNeverAsksAndKeepsTheFile() {
        chooseResultFile("kept.txt");
        // When the box is unticked, no dialog comes, and nothing is written
        click(saveBox());
        QCOMPARE(pendingDialogs(), 0);
        QCOMPARE(window().strFile, pathIn("kept.txt"));
        chooseMode(2);
        enterAndCalculate("1000", "5", "10");
        QVERIFY(!QFile::exists(window().strFile));
    }

    void eachCalculationAppendsItsBlock_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("final capital, English")
            << Language::English << 2 << QStringList{"1000", "5", "10"}
            << QByteArray(
                   "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
                   "Invest period in years: 10\r\nMoney at the end of investment: 1628.89\r\n");
        QTest::newRow("investment period, German")
            << Language::German << 1 << QStringList{"1000", "2000", "5"}
            << QByteArray(
                   "\r\nAnfangskapital: 1000\r\nEndkapital: 2000\r\nZinssatz in %: 5\r\n"
                   "Anlagezeit in Jahren: 14.2066990828905 "
                   "(14 Jahre, 2 Monate und 14 Tage)\r\n");
        QTest::newRow("interest rate, English")
            << Language::English << 5 << QStringList{"1000", "2000", "10"}
            << QByteArray(
                   "\r\nStarting capital: 1000\r\nMoney at the end of investment: 2000\r\n"
                   "Invest period in years: 10\r\nInterest rate in %: 7.17734625362\r\n");
        QTest::newRow("interest for days, Italian")
            << Language::Italian << 3 << QStringList{"10000", "3.5", "30"}
            << QByteArray(
                   "\r\nCapitale iniziale: 10000\r\nTasso d'interesse in %: 3.5\r\n"
                   "Durata dell'investimento in giorni: 30\r\nInteresse: 29.17\r\n");
    }
    void eachCalculationAppendsItsBlock() {
        QFETCH(Language, language);
        QFETCH(int, mode);
        QFETCH(QStringList, inputs);
        QFETCH(QByteArray, block);
        // Given a result file, the language and the mode
        chooseResultFile("block.txt");
        chooseLanguage(language);
        chooseMode(mode);
        // When a result is calculated
        enterAndCalculate(inputs[0], inputs[1], inputs[2]);
        // Then exactly its block is appended, captions as the window shows them
        QCOMPARE(contentsOf(window().strFile), block);
    }

    void aStagedEntryAppendsAlignedYears() {
        // Given a result file, French, and the three-year example
        chooseResultFile("stufen.txt");
        chooseLanguage(Language::French);
        chooseMode(4);
        enterAndCalculate("100", "3", "5");
        retype(3, "4");
        click(calculate());
        retype(3, "3");
        click(calculate());
        // Then the block lists every year with its rate and capital, the
        // capitals closing in column 61
        const QByteArray expected =
            QStringLiteral(
                "\r\nCapital initial: 100\r\n"
                "Le durée des placements en ans: 3\r\n"
                "Le tas d'intérêt premier anner: 5.00000              (105.00)\r\n"
                "Les tas intérêt des deuxième anner: 4.00000          (109.20)\r\n"
                "Les tas intérêt des troisième anner: 3.00000         (112.48)\r\n"
                "Capital final: 112.48\r\n")
#ifdef Q_OS_WIN
                .toLatin1();  // the ANSI code page of Western Europe has these letters alike
#else
                .toUtf8();
#endif
        QCOMPARE(contentsOf(window().strFile), expected);
        for (const QString& line : QString::fromUtf8(expected).split(QStringLiteral("\r\n")))
            QVERIFY(!line.endsWith(u')') || line.size() == 61);
    }

    void aLanguageSwitchKeepsSaving_data() {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("statusLine");
        QTest::addColumn<QByteArray>("resultLine");
        QTest::newRow("Italian") << Language::Italian << QString()
                                 << QByteArray("Capitale finale: 1102.5");
        QTest::newRow("French") << Language::French << QString()
                                << QByteArray("Capital final: 1102.5");
        QTest::newRow("German") << Language::German
                                << "Wenn Sie Fragen haben, dann schreiben Sie eine E-Mail an: "
                                   "tavrin@example.org"
                                << QByteArray("Endkapital: 1102.5");
    }
    void aLanguageSwitchKeepsSaving() {
        QFETCH(Language, language);
        QFETCH(QString, statusLine);
        QFETCH(QByteArray, resultLine);
        // Given a chosen result file shown in the status line
        chooseResultFile("lang.txt");
        // When the language changes
        chooseLanguage(language);
        // Then the status line shows the language's contact line (or nothing),
        QCOMPARE(label(5)->text(), statusLine);
        // and results still go to the file, in the new language
        chooseMode(2);
        enterAndCalculate("1000", "5", "2");
        QVERIFY(contentsOf(window().strFile).endsWith(resultLine + "\r\n"));
    }

    // A target that cannot take the block: a folder that does not exist, a
    // folder, a full disk, a pipe nobody reads.
    void aFaultIsReportedAndNothingIsLost_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << "missing/results.txt"
                                        << "Error: 76 Path not found: %1";
#ifndef Q_OS_WIN
        QTest::newRow("markup in the name") << "<b>missing/results.txt"
                                            << "Error: 76 Path not found: %1";
#endif
        QTest::newRow("a folder") << "folder"
                                  << "Error: 75 Path/File access error: %1";
#ifdef Q_OS_LINUX  // an always full device and named pipes: Linux only
        QTest::newRow("full disk") << "/dev/full"
                                   << "Error: 61 Disk full: %1";
        QTest::newRow("a pipe without a reader") << "pipe"
                                                 << "Error: 75 Path/File access error: %1";
#endif
    }
    void aFaultIsReportedAndNothingIsLost() {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QVERIFY(QDir(m_dir->path()).mkpath("folder"));
#ifdef Q_OS_LINUX
        QCOMPARE(mkfifo(QFile::encodeName(pathIn("pipe")).constData(), 0600), 0);
#endif
        const QString bad = target.startsWith(u'/') ? target : pathIn(target);
        // Given a result file with one block
        chooseResultFile("good.txt");
        const QString good = window().strFile;
        chooseMode(2);
        enterAndCalculate("1000", "5", "10");
        const QByteArray firstBlock = contentsOf(good);
        QVERIFY(!firstBlock.isEmpty());

        // When the next result goes to a target that cannot take it
        window().strFile = bad;
        retype(3, "2");
        click(calculate());

        // Then the message names the fault, the fields are cleared,
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QCOMPARE(dialogs[0].text, message.arg(QDir::toNativeSeparators(bad)));
        QVERIFY(dialogs[0].literal);
        QCOMPARE(dialogs[0].title, QStringLiteral("Error message"));
        QCOMPARE(dialogs[0].icon, QMessageBox::Critical);
        for (int i = 1; i <= 4; ++i)
            QVERIFY(field(i)->text().isEmpty());
        QVERIFY(!QFileInfo(bad).isFile() || bad == QStringLiteral("/dev/full"));
        // the earlier block is intact,
        QCOMPARE(contentsOf(good), firstBlock);

        // and once the cause is gone the next result is written normally.
        window().strFile = good;
        enterAndCalculate("1000", "5", "2");
        QCOMPARE(contentsOf(good),
                 firstBlock +
                     "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
                     "Invest period in years: 2\r\nMoney at the end of investment: 1102.5\r\n");
    }

    // Faults that come and go while the program runs: each gives the message
    // or a correct append, and whole blocks only.
    void theFileChangesBetweenTwoBlocks() {
        chooseResultFile("moving.txt");
        const QString path = window().strFile;
        chooseMode(2);
        enterAndCalculate("1000", "5", "10");
        const QByteArray firstBlock = contentsOf(path);
        const QByteArray secondBlock =
            "\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
            "Invest period in years: 2\r\nMoney at the end of investment: 1102.5\r\n";

        // Given the file was replaced by a folder, the next result is refused
        QVERIFY(QFile::rename(path, pathIn("aside.txt")));
        QVERIFY(QDir().mkdir(path));
        enterAndCalculate("1000", "5", "2");
        const QList<SeenDialog> dialogs = takeDialogs();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY(dialogs[0].text.startsWith(QStringLiteral("Error: 75 ")));
        QVERIFY(QDir(path).isEmpty());

        // and once the file is back the next one is appended to the first.
        QVERIFY(QDir().rmdir(path));
        QVERIFY(QFile::rename(pathIn("aside.txt"), path));
        enterAndCalculate("1000", "5", "2");
        QCOMPARE(contentsOf(path), firstBlock + secondBlock);

        // Given the file was deleted, it is created again with the next block.
        QVERIFY(QFile::remove(path));
        retype(3, "2");
        click(calculate());
        QCOMPARE(contentsOf(path), secondBlock);
    }

    void unusualNames_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<bool>("writable");
        QTest::newRow("a path of 300 characters")
            << QStringLiteral("ddddd/") + QString(120, u'a') + u'/' + QString(120, u'b') + u'/' +
                   QString(40, u'c') + QStringLiteral(".txt")
            << true;
        QTest::newRow("a name longer than the system allows")
            << QString(300, u'n') + QStringLiteral(".txt") << false;
    }
    void unusualNames() {
        QFETCH(QString, relativePath);
        QFETCH(bool, writable);
        const QString path = pathIn(relativePath);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        chooseResultFile("first.txt");
        window().strFile = path;
        chooseMode(3);
        enterAndCalculate("1000", "5", "90");
        if (writable) {
            QCOMPARE(contentsOf(path),
                     QByteArray("\r\nStarting capital: 1000\r\nInterest rate in %: 5\r\n"
                                "Invest period in days: 90\r\nInterest: 12.5\r\n"));
            QCOMPARE(pendingDialogs(), 0);
        } else {
            const QList<SeenDialog> dialogs = takeDialogs();
            QCOMPARE(dialogs.size(), 1);
            QVERIFY2(dialogs[0].text.startsWith(QStringLiteral("Error: 75 ")),
                     qPrintable(dialogs[0].text));
            QVERIFY(!QFile::exists(path));
        }
    }
};

TAVRIN_GUI_TEST_MAIN(TestSave)
#include "tst_save.moc"
