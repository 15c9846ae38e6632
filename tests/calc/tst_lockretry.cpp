// Waiting for a lock that another writer holds for a moment.

#include <QtTest>

#include "lockretry.h"

using namespace std::chrono_literals;
using tav::LockAttempt;

class TestLockRetry : public QObject {
    Q_OBJECT

private slots:
    // The answers of the tries in turn, the last one repeated.
    void triesAgainOnlyWhileBusy() {
        using enum LockAttempt;
        const auto check = [](const QList<LockAttempt>& answers, LockAttempt result, int tries) {
            int tried = 0;
            const LockAttempt outcome = tav::retryLock(
                5s, [&] { return answers.at(std::min<qsizetype>(tried++, answers.size() - 1)); });
            QCOMPARE(outcome, result);
            QCOMPARE(tried, tries);
        };
        check({Taken}, Taken, 1);
        check({Busy, Busy, Taken}, Taken, 3);
        check({Failed, Taken}, Failed, 1);  // not tried again
        check({Busy, Failed}, Failed, 2);
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
        QCOMPARE(outcome, LockAttempt::Busy);
        QVERIFY2(waited >= 200 && waited < 1500, qPrintable(QString::number(waited)));
        QVERIFY(tried > 2);
    }
};

QTEST_GUILESS_MAIN(TestLockRetry)
#include "tst_lockretry.moc"
