// The Variant values of the service classes: the kinds stay apart, which
// every comparison of results relies on. The conversions are tested through
// clsSysRegistry, which makes them on every write.

#include <QtTest>

#include "testsupport.h"
#include "variant.h"

using tav::Variant;
using tav::test::raisedBy;

class TestVariant : public QObject {
    Q_OBJECT

private slots:
    void kindsAreKeptApart() {
        QVERIFY(Variant().isEmpty());
        QVERIFY(!Variant("").isEmpty());
        QCOMPARE(Variant("").kind(), Variant::Kind::Text);
        QVERIFY(Variant::missing().isMissing());
        QVERIFY(!Variant::missing().isEmpty());
        QCOMPARE(Variant(QStringList{}).kind(), Variant::Kind::TextArray);
        QVERIFY(Variant("1") != Variant(1));
        QVERIFY(Variant(QStringList{"a"}) != Variant(Variant::TextTable{{"a", ""}}));
    }

    void tablesConvertOnlyFromTables() {
        const Variant::TextTable rows{{"a", "1"}};
        QCOMPARE(Variant(rows).toTextTable(), rows);
        QCOMPARE(raisedBy([] { Variant(QStringList{"a"}).toTextTable(); })->number, 13);
        QCOMPARE(raisedBy([] { Variant("a").toTextTable(); })->number, 13);
    }
};

QTEST_MAIN(TestVariant)
#include "tst_variant.moc"
