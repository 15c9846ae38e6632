// The Variant values of the service classes: what each kind converts to,
// and the errors of conversions that cannot be made.

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

    void toText_data() {
        QTest::addColumn<Variant>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("error");
        QTest::newRow("empty") << Variant() << QString() << 0;
        QTest::newRow("text") << Variant("Zins") << QStringLiteral("Zins") << 0;
        QTest::newRow("negative number") << Variant(-5) << QStringLiteral("-5") << 0;
        QTest::newRow("array") << Variant(QStringList{"a"}) << QString() << 13;
        QTest::newRow("table") << Variant(Variant::TextTable{{"a", "1"}}) << QString() << 13;
        QTest::newRow("missing") << Variant::missing() << QString() << 13;
    }
    void toText() {
        QFETCH(Variant, value);
        QFETCH(QString, text);
        QFETCH(int, error);
        QString converted;
        const auto raised = raisedBy([&] { converted = value.toText(); });
        QCOMPARE(raised ? raised->number : 0, error);
        QCOMPARE(converted, text);
    }

    void toInt32_data() {
        QTest::addColumn<Variant>("value");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("error");
        QTest::newRow("empty is 0") << Variant() << 0 << 0;
        QTest::newRow("number") << Variant(42) << 42 << 0;
        QTest::newRow("digits with blanks") << Variant(" 12 ") << 12 << 0;
        QTest::newRow("plus sign") << Variant("+7") << 7 << 0;
        QTest::newRow("smallest") << Variant("-2147483648") << int(-2147483648LL) << 0;
        QTest::newRow("largest") << Variant("2147483647") << 2147483647 << 0;
        QTest::newRow("one above") << Variant("2147483648") << 0 << 6;
        QTest::newRow("one below") << Variant("-2147483649") << 0 << 6;
        QTest::newRow("far too many digits") << Variant("99999999999999999999") << 0 << 6;
        QTest::newRow("empty text") << Variant("") << 0 << 13;
        QTest::newRow("sign alone") << Variant("-") << 0 << 13;
        QTest::newRow("fraction") << Variant("1.5") << 0 << 13;
        QTest::newRow("exponent") << Variant("1e3") << 0 << 13;
        QTest::newRow("hex") << Variant("0x10") << 0 << 13;
        QTest::newRow("letters") << Variant("abc") << 0 << 13;
        QTest::newRow("array") << Variant(QStringList{"1"}) << 0 << 13;
        QTest::newRow("missing") << Variant::missing() << 0 << 13;
    }
    void toInt32() {
        QFETCH(Variant, value);
        QFETCH(int, number);
        QFETCH(int, error);
        qint32 converted = 0;
        const auto raised = raisedBy([&] { converted = value.toInt32(); });
        QCOMPARE(raised ? raised->number : 0, error);
        QCOMPARE(converted, number);
    }

    void arraysConvertOnlyFromTheirOwnKind() {
        const QStringList texts{"a", "b"};
        const Variant::TextTable rows{{"a", "1"}};
        QCOMPARE(Variant(texts).toTextArray(), texts);
        QCOMPARE(Variant(rows).toTextTable(), rows);
        QCOMPARE(raisedBy([] { Variant("a").toTextArray(); })->number, 13);
        QCOMPARE(raisedBy([&] { Variant(rows).toTextArray(); })->number, 13);
        QCOMPARE(raisedBy([&] { Variant(texts).toTextTable(); })->number, 13);
    }
};

QTEST_MAIN(TestVariant)
#include "tst_variant.moc"
