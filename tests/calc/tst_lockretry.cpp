// Waiting for a lock that another writer holds for a moment.

#include <QtTest>

#include "lockretry.h"

using namespace std::chrono_literals;
using tav::LockAttempt;
using namespace Qt::StringLiterals;
Q_DECLARE_METATYPE(tav::LockAttempt)

class TestLockRetry : public QObject {
    Q_OBJECT

private slots:
    // Each letter is one try's answer: t taken, b busy, f failed.
    void triesAgainOnlyWhileBusy_data() {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<LockAttempt>("result");
        QTest::addColumn<int>("tries");
        QTest::newRow("taken at once") << u"t"_s << LockAttempt::Taken << 1;
        QTest::newRow("busy twice, then taken") << u"bbt"_s << LockAttempt::Taken << 3;
        QTest::newRow("failed at once, not tried again") << u"ft"_s << LockAttempt::Failed << 1;
        QTest::newRow("busy, then failed") << u"bf"_s << LockAttempt::Failed << 2;
    }
    void triesAgainOnlyWhileBusy() {
        QFETCH(QString, answers);
        QFETCH(LockAttempt, result);
        QFETCH(int, tries);
        int tried = 0;
        const LockAttempt outcome = tav::retryLock(5s, [&] {
            const QChar answer = answers.at(std::min<qsizetype>(tried++, answers.size() - 1));
            return answer == u't'   ? LockAttempt::Taken
                   : answer == u'b' ? LockAttempt::Busy
                                    : LockAttempt::Failed;
        });
        QCOMPARE(outcome, result);
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
        QCOMPARE(outcome, LockAttempt::Busy);
        QVERIFY2(waited >= 200 && waited < 1500, qPrintable(QString::number(waited)));
        QVERIFY(tried > 2);
    }
};

QTEST_GUILESS_MAIN(TestLockRetry)
#include "tst_lockretry.moc"
