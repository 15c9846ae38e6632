// Waiting for a lock that another writer holds for a moment.

#include <QtTest>

#include "lockretry.h"

using namespace std::chrono_literals;
using tav::LockAttempt;

namespace {

LockAttempt attemptFrom(QChar answer) {
    return answer == u't'   ? LockAttempt::Taken
           : answer == u'b' ? LockAttempt::Busy
                            : LockAttempt::Failed;
}

QString nameOf(LockAttempt attempt) {
    switch (attempt) {
        case LockAttempt::Taken:
            return QStringLiteral("taken");
        case LockAttempt::Busy:
            return QStringLiteral("busy");
        case LockAttempt::Failed:
            return QStringLiteral("failed");
    }
    return {};
}

}  // namespace

class TestLockRetry : public QObject {
    Q_OBJECT

private slots:
    // Each letter is one try's answer: t taken, b busy, f failed.
    void triesAgainOnlyWhileBusy_data() {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("tries");
        QTest::newRow("taken at once") << "t"
                                       << "taken" << 1;
        QTest::newRow("busy twice, then taken") << "bbt"
                                                << "taken" << 3;
        QTest::newRow("failed at once, not tried again") << "ft"
                                                         << "failed" << 1;
        QTest::newRow("busy, then failed") << "bf"
                                           << "failed" << 2;
    }
    void triesAgainOnlyWhileBusy() {
        QFETCH(QString, answers);
        QFETCH(QString, result);
        QFETCH(int, tries);
        int tried = 0;
        const LockAttempt outcome = tav::retryLock(5s, [&] {
            return attemptFrom(answers.at(std::min<qsizetype>(tried++, answers.size() - 1)));
        });
        QCOMPARE(nameOf(outcome), result);
        QCOMPARE(tried, tries);
    }

    // A lock that stays taken is given up once the wait is over, not before, and not much later.
    void givesUpWhenTheWaitIsOver() {
        int tried = 0;
        QElapsedTimer clock;
        clock.start();
        const LockAttempt outcome = tav::retryLock(200ms, [&] {
            ++tried;
            return LockAttempt::Busy;
        });
        const qint64 waited = clock.elapsed();
        QCOMPARE(nameOf(outcome), QStringLiteral("busy"));
        QVERIFY2(waited >= 200 && waited < 1500, qPrintable(QString::number(waited)));
        QVERIFY(tried > 2);
    }
};

QTEST_GUILESS_MAIN(TestLockRetry)
#include "tst_lockretry.moc"
