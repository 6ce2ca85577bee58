// The checked-in bitmaps as the window shows them: the energy-level diagram and the window icon.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QTest>

namespace {

QString asset(const char* name) {
    return qEnvironmentVariable("LUMERA_SOURCE_DIR") + QStringLiteral("/assets/") +
           QLatin1String(name);
}

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

private slots:
    // The level labels, transition lines and patches of the window are placed on this picture as
    // it is, so its size and the rows of its lines are fixed; it stays two-colour, 24-bit.
    void diagramFormat() {
        QCOMPARE(QImage(asset("diagram.bmp")).size(), QSize(338, 311));
        QFile file(asset("diagram.bmp"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(30).mid(28), QByteArray("\x18\x00", 2)); // 24 bits per pixel
    }

    void diagram_data() {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("minBlack");
        QTest::addColumn<int>("maxBlack");
        QTest::newRow("level n=5") << QRect(43, 25, 282, 1) << 282 << 282;
        QTest::newRow("level n=4") << QRect(43, 49, 282, 1) << 282 << 282;
        QTest::newRow("level n=3") << QRect(43, 95, 282, 1) << 282 << 282;
        QTest::newRow("level n=2") << QRect(43, 163, 282, 1) << 282 << 282;
        QTest::newRow("level n=1") << QRect(43, 307, 282, 1) << 282 << 282;
        QTest::newRow("energy axis") << QRect(43, 16, 1, 292) << 292 << 292;
        QTest::newRow("between n=5 and n=4") << QRect(44, 26, 281, 23) << 0 << 0;
        QTest::newRow("between n=4 and n=3") << QRect(44, 50, 281, 45) << 0 << 0;
        QTest::newRow("between n=3 and n=2") << QRect(44, 96, 281, 67) << 0 << 0;
        QTest::newRow("between n=2 and n=1") << QRect(44, 164, 281, 143) << 0 << 0;
        QTest::newRow("left of the axis") << QRect(0, 13, 43, 298) << 0 << 0;
        QTest::newRow("right of the levels") << QRect(325, 0, 13, 311) << 0 << 0;
        QTest::newRow("below level n=1") << QRect(0, 308, 338, 3) << 0 << 0;
        QTest::newRow("unit label") << QRect(40, 4, 12, 9) << 20 << 80;
        QTest::newRow("heading") << QRect(74, 8, 158, 11) << 175 << 700;
    }

    void diagram() {
        QFETCH(QRect, area);
        QFETCH(int, minBlack);
        QFETCH(int, maxBlack);
        const QImage image(asset("diagram.bmp"));
        int black = 0;
        int white = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                black += image.pixel(x, y) == qRgb(0, 0, 0) ? 1 : 0;
                white += image.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
            }
        }
        QCOMPARE(black + white, area.width() * area.height()); // nothing grey
        QVERIFY2(black >= minBlack && black <= maxBlack, qPrintable(QString::number(black)));
    }

    // The window icon's three images, each a white sheet on a clear ground with its caption band
    // in cyan, or in black where there are two colours.
    void icon_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("colours");
        QTest::addColumn<QPoint>("caption");
        QTest::newRow("32x32, 2 colours") << 0 << 32 << 2 << QPoint(10, 7);
        QTest::newRow("32x32, 16 colours") << 1 << 32 << 16 << QPoint(10, 7);
        QTest::newRow("16x16, 16 colours") << 2 << 16 << 16 << QPoint(5, 4);
    }

    void icon() {
        QFETCH(int, index);
        QFETCH(int, size);
        QFETCH(int, colours);
        QFETCH(QPoint, caption);
        QImageReader reader(asset("lumera.ico"), "ico");
        QCOMPARE(reader.imageCount(), 3);
        QVERIFY(reader.jumpToImage(index));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(size, size));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0); // the corner shows what is behind the icon
        QCOMPARE(image.pixel(size / 2, size * 5 / 8), qRgb(255, 255, 255)); // the sheet's body
        QCOMPARE(image.pixel(caption), colours == 2 ? qRgb(0, 0, 0) : qRgb(0, 255, 255));
    }
};

QTEST_GUILESS_MAIN(TestAssets)
#include "test_assets.moc"
