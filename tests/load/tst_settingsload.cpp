// The settings store under load: several copies of the program writing at
// once, and a copy killed in the middle of a write. The test runs its own
// binary as those copies ("--writer").
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <csignal>
#include <cstdio>

#include "../services/testsupport.h"

using tav::Variant;

namespace {

const QString kApp = QStringLiteral("tavrin-load");

QString valueName(const QString& prefix, int n) {
    return prefix + QStringLiteral("%1").arg(n, 6, 10, QLatin1Char('0'));
}

QString valueText(const QString& prefix, int n) {
    return QStringLiteral("%1 setting %2 \u00e4\"\\").arg(prefix).arg(n);
}

// Child: after a line on stdin, so that writers can begin together, saves
// `count` settings (-1: until killed) and tells on stdout the number of each
// save that has returned. Exit code 0 when every save succeeded.
int runWriter(const QString& section, const QString& prefix, int count) {
    std::getchar();
    const tav::clsSysRegistry registry = tav::test::settings(kApp, section);
    for (int n = 0; n != count; ++n) {
        try {
            registry.SaveSetting(valueName(prefix, n), valueText(prefix, n));
        } catch (const tav::RuntimeError& error) {
            std::fprintf(stderr, "save %d: %d %s\n", n, error.number(), error.what());
            return 1;
        }
        std::printf("%d\n", n);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

class TestSettingsLoad : public QObject {
    Q_OBJECT

private:
    tav::test::ConfigHome m_home;  // the children inherit it
    QList<QProcess*> m_children;

    QProcess* startWriter(const QString& section, const QString& prefix, int count) {
        auto* child = new QProcess(this);
        m_children.append(child);
        child->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--writer"), section, prefix, QString::number(count)});
        return child;
    }

private slots:
    // A failed check leaves children running; none outlives its test.
    void cleanup() {
        for (QProcess* child : std::as_const(m_children)) {
            child->kill();
            child->waitForFinished(10000);
            delete child;
        }
        m_children.clear();
    }

    void concurrentWritersLoseNothing() {
        // Given four copies of the program saving 200 settings each at once
        // into one section,
        QList<QProcess*> writers;
        for (int w = 0; w < 4; ++w) {
            writers.append(
                startWriter(QStringLiteral("shared"), QStringLiteral("w%1-").arg(w), 200));
        }
        for (QProcess* writer : writers) {
            QVERIFY(writer->waitForStarted());
        }
        for (QProcess* writer : writers) {
            writer->write("go\n");
        }
        // when all of them have finished,
        for (QProcess* writer : writers) {
            QVERIFY2(writer->waitForFinished(120000), "a writer did not finish");
            QVERIFY2(writer->exitStatus() == QProcess::NormalExit && writer->exitCode() == 0,
                     writer->readAllStandardError().constData());
        }
        // then every setting of every writer is there with its value.
        const tav::clsSysRegistry registry = tav::test::settings(kApp, QStringLiteral("shared"));
        for (int w = 0; w < 4; ++w) {
            const QString prefix = QStringLiteral("w%1-").arg(w);
            for (int n = 0; n < 200; ++n) {
                QCOMPARE(registry.GetSetting(valueName(prefix, n)), Variant(valueText(prefix, n)));
            }
        }
        QCOMPARE(registry
                     .EnumValues(tav::RegistryRoot::CurrentUser,
                                 QStringLiteral("Software\\tavrin-load\\shared"))
                     .toTextTable()
                     .size(),
                 800);
    }

    void killedWriterLeavesTheFileReadable_data() {
        QTest::addColumn<QString>("prefix");
        for (int round = 1; round <= 6; ++round) {
            QTest::newRow(qPrintable(QStringLiteral("kill %1").arg(round)))
                << QStringLiteral("k%1-").arg(round);
        }
    }
    void killedWriterLeavesTheFileReadable() {
        QFETCH(QString, prefix);
        const QString section = QStringLiteral("killed");
        // Given a copy of the program saving settings as fast as it can,
        QProcess* writer = startWriter(section, prefix, -1);
        QVERIFY(writer->waitForStarted());
        writer->write("go\n");
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
        int lastDone = -1;
        for (const QByteArray& line : writer->readAllStandardOutput().split('\n')) {
            bool ok = false;
            const int n = line.toInt(&ok);
            lastDone = ok ? n : lastDone;  // the last line may be cut
        }
        QVERIFY2(lastDone >= 0,
                 qPrintable(QStringLiteral("no save completed in %1 ms").arg(delay)));

        // then every save that returned before the kill is in the file, at
        // most the one under way besides, and the next copy saves at once,
        // the killed one's lock notwithstanding.
        const tav::clsSysRegistry registry = tav::test::settings(kApp, section);
        for (int n = 0; n <= lastDone; ++n) {
            QCOMPARE(registry.GetSetting(valueName(prefix, n)), Variant(valueText(prefix, n)));
        }
        QCOMPARE(registry.GetSetting(valueName(prefix, lastDone + 2), QString()),
                 Variant(QString()));
        registry.SaveSetting(QStringLiteral("after-kill"), prefix);
        QCOMPARE(registry.GetSetting(QStringLiteral("after-kill")), Variant(prefix));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 5 && arguments.at(1) == QLatin1String("--writer")) {
        return runWriter(arguments.at(2), arguments.at(3), arguments.at(4).toInt());
    }
    TestSettingsLoad test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsload.moc"
