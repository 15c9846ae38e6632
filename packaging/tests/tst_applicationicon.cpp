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
    void applicationIconOffersEverySize_data();
    void applicationIconOffersEverySize();
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

void TestApplicationIcon::applicationIconOffersEverySize_data() {
    addSizeRows();
}

void TestApplicationIcon::applicationIconOffersEverySize() {
    // Given the assembled application icon, when a size is asked for,
    // then it is one of the icon's own sizes, delivered without scaling.
    QFETCH(int, size);
    const QIcon icon = tavrin::applicationIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QPixmap pixmap = icon.pixmap(QSize(size, size));
    QCOMPARE(pixmap.size(), QSize(size, size));
    QCOMPARE(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             QImage(QStringLiteral(":/icons/tavrin-%1.png").arg(size))
                 .convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

QTEST_MAIN(TestApplicationIcon)
#include "tst_applicationicon.moc"
