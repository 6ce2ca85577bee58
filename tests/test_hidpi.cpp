// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// On a screen of twice the pixel density (QT_SCALE_FACTOR=2), zoomed for a large screen as well,
// the window is laid out as at 96 dpi, in the same logical pixels and fonts, only drawn with twice
// the pixels: the atom picture too.
#include "app/form1.h"
#include "host/controls/picture_box.h"

#include <QTest>

class HiDpiTest : public QObject {
    Q_OBJECT

private slots:
    // Zoomed on such a screen, the layout grows in logical pixels and an orbit stays one device
    // pixel wide: across the middle, six orbits on either side, each crossed in one pixel.
    void zoomedAsWell() {
        Form1 form;
        form.resize(1920, 1061);
        form.show();
        QVERIFY(QTest::qWaitFor([&] { return form.hasBeenActivated(); }, 5000));
        QCOMPARE(form.devicePixelRatioF(), 2.0);
        QVERIFY(form.zoom().factor > 1.4);
        QCOMPARE(form.control<QWidget>("Label1").fontInfo().pixelSize(), 46); // as at 96 dpi
        const auto& atom = form.control<host::PictureBox>("Picture3");
        const QImage drawing = atom.drawing();
        QCOMPARE(drawing.size(), atom.inner()->size() * 2);
        QList<int> runs{0};
        for (int x = 0; x < drawing.width(); ++x) {
            const bool black = (drawing.pixel(x, drawing.height() / 2) & 0xFFFFFF) == 0;
            runs.back() += black ? 1 : 0;
            if (!black && runs.back() > 0) {
                runs << 0;
            }
        }
        runs.removeAll(0);
        QCOMPARE(runs, QList<int>(12, 1));
    }
};

QTEST_MAIN(HiDpiTest)
#include "test_hidpi.moc"
