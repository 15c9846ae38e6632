// The settings store under load: several copies of the program writing at
// once, and a copy killed in the middle of a write. The test runs its own
// binary as those copies ("--writer", "--endless-writer").
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>

#include "clssysregistry.h"
#include "runtimeerror.h"
#include "variant.h"

using tav::clsSysRegistry;
using tav::Variant;
using tav::RegistryType::String;

namespace {

const QString kApp = QStringLiteral("tavrin-load");
constexpr int kSettingsPerWriter = 200;

clsSysRegistry settingsOf(const QString& section, qint32 type = String) {
    clsSysRegistry registry;
    registry.AppName(kApp);
    registry.Section(section);
    registry.DataType(type);
    return registry;
}

QString valueName(int writer, int n) {
    return QStringLiteral("w%1-%2").arg(writer).arg(n, 3, 10, QLatin1Char('0'));
}

QString valueText(int writer, int n) {
    return QStringLiteral("writer %1 setting %2 \u00e4\"\\").arg(writer).arg(n);
}

// Child: waits for the start file so that all writers begin together, then
// saves its settings one by one. Exit code 0 when every save succeeded.
int runWriter(int writer, const QString& section, const QString& startFile) {
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(startFile) && !deadline.hasExpired()) {
        QThread::msleep(1);
    }
    const clsSysRegistry registry = settingsOf(section);
    try {
        for (int n = 0; n < kSettingsPerWriter; ++n) {
            registry.SaveSetting(valueName(writer, n), valueText(writer, n));
        }
    } catch (const tav::RuntimeError& error) {
        std::fprintf(stderr, "writer %d: %d %s\n", writer, error.number(), error.what());
        return 1;
    }
    return 0;
}

// Child: saves setting after setting until it is killed, and tells on stdout
// the number of each save that has returned.
int runEndlessWriter(const QString& section, int first) {
    const clsSysRegistry registry = settingsOf(section);
    for (int n = first;; ++n) {
        try {
            registry.SaveSetting(QStringLiteral("n%1").arg(n, 6, 10, QLatin1Char('0')),
                                 QString::number(n));
        } catch (const tav::RuntimeError& error) {
            std::fprintf(stderr, "save %d: %d %s\n", n, error.number(), error.what());
            return 1;
        }
        std::printf("%d\n", n);
        std::fflush(stdout);
    }
}

}  // namespace

class TestSettingsLoad : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_config;
    QList<QProcess*> m_children;

    QProcess* startChild(const QStringList& arguments) {
        auto* child = new QProcess(this);
        m_children.append(child);
        child->setProcessChannelMode(QProcess::SeparateChannels);
        child->start(QCoreApplication::applicationFilePath(), arguments);
        return child;
    }

private slots:
    void initTestCase() {
        // The store lives below XDG_CONFIG_HOME; the children inherit it.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }

    // A failed check leaves children running; none outlives its test.
    void cleanup() {
        for (QProcess* child : std::as_const(m_children)) {
            if (child->state() != QProcess::NotRunning) {
                child->kill();
                child->waitForFinished(10000);
            }
            delete child;
        }
        m_children.clear();
    }

    void concurrentWritersLoseNothing_data() {
        QTest::addColumn<bool>("sharedSection");
        QTest::newRow("a section per writer") << false;
        QTest::newRow("one section, a value name per writer") << true;
    }
    void concurrentWritersLoseNothing() {
        QFETCH(bool, sharedSection);
        const auto sectionOf = [&](int writer) {
            return sharedSection ? QStringLiteral("shared")
                                 : QStringLiteral("writer%1").arg(writer);
        };

        // Given four copies of the program saving 200 settings each at once,
        const QString startFile =
            m_config.filePath(QStringLiteral("start-") + QString::number(sharedSection));
        QList<QProcess*> writers;
        for (int w = 0; w < 4; ++w) {
            writers.append(startChild(
                {QStringLiteral("--writer"), QString::number(w), sectionOf(w), startFile}));
        }
        for (QProcess* writer : writers) {
            QVERIFY(writer->waitForStarted());
        }
        QVERIFY(QFile(startFile).open(QIODevice::WriteOnly));

        // when all of them have finished,
        for (QProcess* writer : writers) {
            QVERIFY2(writer->waitForFinished(120000), "a writer did not finish");
            QVERIFY2(writer->exitStatus() == QProcess::NormalExit && writer->exitCode() == 0,
                     writer->readAllStandardError().constData());
        }

        // then every setting of every writer is there with its value.
        for (int w = 0; w < 4; ++w) {
            const clsSysRegistry registry = settingsOf(sectionOf(w));
            for (int n = 0; n < kSettingsPerWriter; ++n) {
                QCOMPARE(registry.GetSetting(valueName(w, n), QString()), Variant(valueText(w, n)));
            }
        }
        const Variant listed =
            clsSysRegistry().EnumValues(tav::RegistryRoot::CurrentUser,
                                        QStringLiteral("Software\\%1\\%2").arg(kApp, sectionOf(0)));
        QCOMPARE(listed.toTextTable().size(),
                 sharedSection ? 4 * kSettingsPerWriter : kSettingsPerWriter);
    }

    void killedWriterLeavesTheFileReadable_data() {
        QTest::addColumn<int>("round");
        for (int round = 1; round <= 6; ++round) {
            QTest::newRow(qPrintable(QStringLiteral("kill %1").arg(round))) << round;
        }
    }
    void killedWriterLeavesTheFileReadable() {
        QFETCH(int, round);
        const QString section = QStringLiteral("killed");
        const int first = (round - 1) * 100000;

        // Given a copy of the program saving settings as fast as it can,
        QProcess* writer =
            startChild({QStringLiteral("--endless-writer"), section, QString::number(first)});
        QVERIFY(writer->waitForStarted());
        // a moment into its work, so that the file has grown a little,
        QTRY_VERIFY_WITH_TIMEOUT(writer->canReadLine() || writer->state() != QProcess::Running,
                                 20000);
        QCOMPARE(writer->state(), QProcess::Running);
        const int delay = QRandomGenerator::global()->bounded(20, 400);
        QTest::qWait(delay);

        // when it is killed at that random moment (in all likelihood inside a save),
        ::kill(static_cast<pid_t>(writer->processId()), SIGKILL);
        QVERIFY(writer->waitForFinished(10000));
        QCOMPARE(writer->exitStatus(), QProcess::CrashExit);
        int lastDone = first - 1;
        const QList<QByteArray> lines = writer->readAllStandardOutput().split('\n');
        for (const QByteArray& line : lines) {
            bool ok = false;
            const int n = line.toInt(&ok);
            if (ok) {  // the last line may be cut; each full one is a save that returned
                lastDone = n;
            }
        }
        QVERIFY2(lastDone >= first,
                 qPrintable(QStringLiteral("no save completed in %1 ms").arg(delay)));

        // then every save that returned before the kill is in the file, at
        // most the one under way besides, and the next copy saves at once,
        // the killed one's lock notwithstanding.
        const clsSysRegistry registry = settingsOf(section);
        const auto name = [](int n) {
            return QStringLiteral("n%1").arg(n, 6, 10, QLatin1Char('0'));
        };
        for (int n = first; n <= lastDone; ++n) {
            QCOMPARE(registry.GetSetting(name(n), QString()), Variant(QString::number(n)));
        }
        QCOMPARE(registry.GetSetting(name(lastDone + 2), QString()), Variant(QString()));
        registry.SaveSetting(QStringLiteral("after-kill"), round);
        QCOMPARE(registry.GetSetting(QStringLiteral("after-kill")),
                 Variant(QString::number(round)));
        qInfo("killed after %d ms, %d saves completed", delay, lastDone - first + 1);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 5 && arguments.at(1) == QLatin1String("--writer")) {
        return runWriter(arguments.at(2).toInt(), arguments.at(3), arguments.at(4));
    }
    if (arguments.size() == 4 && arguments.at(1) == QLatin1String("--endless-writer")) {
        return runEndlessWriter(arguments.at(2), arguments.at(3).toInt());
    }
    TestSettingsLoad test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsload.moc"
