// The settings store under load: copies of the program (this binary, run with
// "--writer") saving at once, and a copy killed in the middle of a save.
#include <csignal>
#include <cstdio>

#include "../services/testsupport.h"

using namespace tav;

namespace {

QString name(const QString& prefix, int n) {
    return prefix + QString::number(n).rightJustified(6, '0');
}
Variant text(const QString& prefix, int n) {
    return QStringLiteral("%1 setting %2 \u00e4\"\\").arg(prefix).arg(n);
}
clsSysRegistry store(const QString& section) {
    return test::settings("tavrin-load", section);
}

// After a line on stdin, so that copies can begin together, saves `count`
// settings (-1: until killed) and prints the number of each save done.
int runWriter(const QString& section, const QString& prefix, int count) {
    std::getchar();
    const clsSysRegistry registry = store(section);
    for (int n = 0; n != count; ++n) {
        try {
            registry.SaveSetting(name(prefix, n), text(prefix, n));
        } catch (const RuntimeError& error) {
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

    test::ConfigHome m_home;  // the copies inherit it
    QList<QProcess*> m_copies;

    QProcess* start(const QString& section, const QString& prefix, int count) {
        auto* copy = new QProcess(this);
        m_copies.append(copy);
        copy->start(QCoreApplication::applicationFilePath(),
                    {"--writer", section, prefix, QString::number(count)});
        return copy->waitForStarted() ? copy : nullptr;
    }

private slots:
    void cleanup() {  // no copy outlives a failed test
        for (QProcess* copy : std::as_const(m_copies)) {
            copy->kill();
            copy->waitForFinished(10000);
            delete copy;
        }
        m_copies.clear();
    }

    // Four copies save 200 settings each into one section at once; none is lost.
    void concurrentWritersLoseNothing() {
        for (int w = 0; w < 4; ++w) {
            QVERIFY(start("shared", QStringLiteral("w%1-").arg(w), 200));
        }
        for (QProcess* copy : std::as_const(m_copies)) {
            copy->write("go\n");
        }
        for (QProcess* copy : std::as_const(m_copies)) {
            QVERIFY2(copy->waitForFinished(120000) && copy->exitStatus() == QProcess::NormalExit &&
                         copy->exitCode() == 0,
                     copy->readAllStandardError().constData());
        }
        for (int n = 0; n < 800; ++n) {
            const QString prefix = QStringLiteral("w%1-").arg(n / 200);
            QCOMPARE(store("shared").GetSetting(name(prefix, n % 200)), text(prefix, n % 200));
        }
        const Variant all =
            store("shared").EnumValues(RegistryRoot::CurrentUser, "Software\\tavrin-load\\shared");
        QCOMPARE(all.toTextTable().size(), 800);
    }

    void killedWriterLeavesTheFileReadable_data() {
        QTest::addColumn<QString>("prefix");
        for (int round = 1; round <= 6; ++round) {
            QTest::addRow("kill %d", round) << QStringLiteral("k%1-").arg(round);
        }
    }
    // Killed at a random moment, most likely inside a save: every save done is in the
    // file, at most the one under way besides, and the next copy saves at once.
    void killedWriterLeavesTheFileReadable() {
        QFETCH(QString, prefix);
        QProcess* copy = start("killed", prefix, -1);
        QVERIFY(copy && copy->write("go\n") == 3);
        QTRY_VERIFY_WITH_TIMEOUT(copy->canReadLine() || copy->state() != QProcess::Running, 20000);
        QCOMPARE(copy->state(), QProcess::Running);
        const int delay = QRandomGenerator::global()->bounded(20, 400);
        QTest::qWait(delay);
        ::kill(static_cast<pid_t>(copy->processId()), SIGKILL);
        QVERIFY(copy->waitForFinished(10000) && copy->exitStatus() == QProcess::CrashExit);
        int done = -1;
        for (const QByteArray& line : copy->readAllStandardOutput().split('\n')) {
            bool ok = false;
            const int n = line.toInt(&ok);
            done = ok ? n : done;  // the last line may be cut
        }
        QVERIFY2(done >= 0, qPrintable(QStringLiteral("no save done in %1 ms").arg(delay)));
        const clsSysRegistry registry = store("killed");
        for (int n = 0; n <= done; ++n) {
            QCOMPARE(registry.GetSetting(name(prefix, n)), text(prefix, n));
        }
        QCOMPARE(registry.GetSetting(name(prefix, done + 2), QString()), Variant(QString()));
        registry.SaveSetting("after-kill", prefix);
        QCOMPARE(registry.GetSetting("after-kill"), Variant(prefix));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args.at(1) == "--writer") {
        return runWriter(args.at(2), args.at(3), args.at(4).toInt());
    }
    TestSettingsLoad test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsload.moc"
