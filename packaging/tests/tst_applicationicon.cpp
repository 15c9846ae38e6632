// The icon resource as the window uses it: reachable by path just by linking
// tavrin_icon, one exact-size PNG per size, and nothing that needs an image
// plugin to load.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include "applicationicon.h"

class TestApplicationIcon : public QObject {
    Q_OBJECT

private slots:
    void resourcePng_data();
    void resourcePng();
    void resourceHoldsOnlyPngs();
    void applicationIconHasTheWindowSizes_data();
    void applicationIconHasTheWindowSizes();
};

static void addSizeRows() {
    QTest::addColumn<int>("size");
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        QTest::addRow("%dx%d", size, size) << size;
    }
}

void TestApplicationIcon::resourcePng_data() {
    addSizeRows();
}

void TestApplicationIcon::resourcePng() {
    // Given only a link against tavrin_icon (no Q_INIT_RESOURCE anywhere),
    // when the window asks for :/icons/tavrin-N.png,
    // then it gets an N x N image whose centre, the coin, is opaque.
    QFETCH(int, size);
    const QString path = QStringLiteral(":/icons/tavrin-%1.png").arg(size);
    QVERIFY2(QFile::exists(path), qPrintable(path));

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(size, size));
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    // Rounded corners of the tile stay see-through.
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

void TestApplicationIcon::resourceHoldsOnlyPngs() {
    // Given the icon resource, when it is listed,
    // then it holds the six PNGs and nothing else (an SVG there would need
    // the SVG image plugin loaded at start).
    const QStringList entries = QDir(QStringLiteral(":/icons")).entryList(QDir::Files, QDir::Name);
    QCOMPARE(entries, QStringList({"tavrin-128.png", "tavrin-16.png", "tavrin-256.png",
                                   "tavrin-32.png", "tavrin-48.png", "tavrin-64.png"}));
}

void TestApplicationIcon::applicationIconHasTheWindowSizes_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("offered");
    QTest::newRow("16x16 title bar") << 16 << true;
    QTest::newRow("32x32 task bar") << 32 << true;
    QTest::newRow("48x48 task switcher") << 48 << true;
    // Larger sizes slow the start; launchers take them from the icon theme.
    QTest::newRow("64x64 left out") << 64 << false;
    QTest::newRow("128x128 left out") << 128 << false;
    QTest::newRow("256x256 left out") << 256 << false;
}

void TestApplicationIcon::applicationIconHasTheWindowSizes() {
    // Given the window's icon, when a size is asked for,
    // then a title-bar or task-bar size is the resource's own image, unscaled,
    // and the large sizes are not part of it.
    QFETCH(int, size);
    QFETCH(bool, offered);
    const QIcon icon = tav::applicationIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.availableSizes().contains(QSize(size, size)), offered);
    if (offered) {
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        QCOMPARE(pixmap.size(), QSize(size, size));
        QCOMPARE(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 QImage(QStringLiteral(":/icons/tavrin-%1.png").arg(size))
                     .convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

QTEST_MAIN(TestApplicationIcon)
#include "tst_applicationicon.moc"
