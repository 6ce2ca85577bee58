// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The checked-in window icon as the desktop shows it (the level diagram is in the window as
// drawn at the design size: test_zoom).
#include <QImageReader>
#include <QTest>

class TestAssets : public QObject {
    Q_OBJECT

    static QString asset(const char* name) {
        return qEnvironmentVariable("LUMERA_SOURCE_DIR") + QStringLiteral("/assets/") + name;
    }

private slots:
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
