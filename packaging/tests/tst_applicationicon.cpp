// The icon resource as the window uses it: reachable by path just by linking
// tavrin_icon (no Q_INIT_RESOURCE anywhere), one exact-size PNG per size, and
// nothing that needs an image plugin to load.
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QtTest>

#include "applicationicon.h"

class TestApplicationIcon : public QObject {
    Q_OBJECT

private slots:
    void resourceHoldsOnlyPngs() {
        // An SVG here would need the SVG image plugin loaded at start.
        QCOMPARE(QDir(QStringLiteral(":/icons")).entryList(QDir::Files, QDir::Name),
                 QStringList({"tavrin-128.png", "tavrin-16.png", "tavrin-256.png", "tavrin-32.png",
                              "tavrin-48.png", "tavrin-64.png"}));
    }

    void sizes_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("inWindowIcon");
        QTest::newRow("16x16 title bar") << 16 << true;
        QTest::newRow("32x32 task bar") << 32 << true;
        QTest::newRow("48x48 task switcher") << 48 << true;
        // Larger sizes slow the start; launchers take them from the icon theme.
        QTest::newRow("64x64 left out") << 64 << false;
        QTest::newRow("128x128 left out") << 128 << false;
        QTest::newRow("256x256 left out") << 256 << false;
    }

    void sizes() {
        QFETCH(int, size);
        QFETCH(bool, inWindowIcon);
        const QImage image(QStringLiteral(":/icons/tavrin-%1.png").arg(size));
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);  // the coin
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);                  // a rounded corner

        const QIcon icon = tav::applicationIcon();
        QCOMPARE(icon.availableSizes().contains(QSize(size, size)), inWindowIcon);
        if (inWindowIcon) {  // the resource's own image, unscaled
            const auto format = QImage::Format_ARGB32_Premultiplied;
            QCOMPARE(icon.pixmap(QSize(size, size)).toImage().convertToFormat(format),
                     image.convertToFormat(format));
        }
    }
};

QTEST_MAIN(TestApplicationIcon)
#include "tst_applicationicon.moc"
