// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The checked-in bitmaps as the window shows them: the energy-level diagram and the window icon.
#include <QFileInfo>
#include <QImageReader>
#include <QTest>

class TestAssets : public QObject {
    Q_OBJECT

    static QString asset(const char* name) {
        return qEnvironmentVariable("LUMERA_SOURCE_DIR") + QStringLiteral("/assets/") + name;
    }

private slots:
    // The level labels and marks are placed on this picture as it is: 338 × 311, 24 bits a pixel
    // uncompressed, black on white, its five level lines from the axis (x 43) to x 324.
    void diagram() {
        QCOMPARE(QFileInfo(asset("diagram.bmp")).size(), qint64{54 + 311 * 1016});
        const QImage image(asset("diagram.bmp"));
        QCOMPARE(image.size(), QSize(338, 311));
        QCOMPARE(image.convertToFormat(QImage::Format_Indexed8).colorCount(), 2);
        QImage line(282, 1, image.format());
        line.fill(Qt::black);
        for (int y : {25, 49, 95, 163, 307}) {
            QCOMPARE(image.copy(43, y, 282, 1), line);
        }
    }

    // 32 × 32 in two colours and in 16, 16 × 16 in 16: a white sheet on a clear ground, its
    // caption band black or cyan.
    void icon() {
        QImageReader reader(asset("lumera.ico"), "ico");
        for (int i = 0; i < 3; ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), i < 2 ? QSize(32, 32) : QSize(16, 16));
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(image.pixel(image.width() / 2, image.height() * 5 / 8), qRgb(255, 255, 255));
            QCOMPARE(image.pixel(i < 2 ? QPoint(10, 7) : QPoint(5, 4)),
                     i == 0 ? qRgb(0, 0, 0) : qRgb(0, 255, 255));
        }
    }
};

QTEST_GUILESS_MAIN(TestAssets)
#include "test_assets.moc"
