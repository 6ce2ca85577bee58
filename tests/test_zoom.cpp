// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The window at any screen size: one zoom chosen before it is first drawn, the design centred and
// never shrunk, every caption still whole, the whole cell of an orbit button taking the click, and
// at the design's own size the very same pixels as ever.
#include "app/form1.h"
#include "host/controls/label.h"
#include "host/controls/option_button.h"
#include "host/controls/picture_box.h"
#include "host/controls/shape.h"
#include "label_fit.h"

#include <QAbstractButton>
#include <QTest>

class ZoomTest : public QObject {
    Q_OBJECT

private slots:
    void designSizeKeepsEveryPixel();
    void zoomedWindow_data();
    void zoomedWindow();
    void captionsFitAtEveryZoom();
};

// At the size the design was made for, the window is drawn exactly as before there was a zoom.
void ZoomTest::designSizeKeepsEveryPixel() {
    Form1 form;
    form.resize(1024, 745);
    const QImage drawn = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString file = qEnvironmentVariable("LUMERA_SOURCE_DIR") + "/tests/window-1024x745.png";
    if (qEnvironmentVariableIsSet("LUMERA_WRITE_REFERENCE")) {
        QVERIFY(drawn.save(file));
    }
    const QImage reference = QImage(file).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(drawn.size(), reference.size());
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            differing += drawn.pixel(x, y) != reference.pixel(x, y) ? 1 : 0;
        }
    }
    QCOMPARE(differing, 0);
}

// The heading's 24 points and the transition marks' two pixels, grown with the zoom.
void ZoomTest::zoomedWindow_data() {
    QTest::addColumn<QSize>("client");
    QTest::addColumn<int>("headingPixels");
    QTest::addColumn<int>("markWidth");
    QTest::newRow("1024x768") << QSize(1024, 745) << 32 << 2;
    QTest::newRow("1366x768") << QSize(1366, 745) << 32 << 2;
    QTest::newRow("1920x1080") << QSize(1920, 1061) << 46 << 3;
    QTest::newRow("2560x1440") << QSize(2560, 1421) << 62 << 4;
}

void ZoomTest::zoomedWindow() {
    QFETCH(QSize, client);
    QFETCH(int, headingPixels);
    QFETCH(int, markWidth);
    Form1 form;
    form.resize(client);
    form.show();
    QVERIFY(QTest::qWaitFor([&] { return form.hasBeenActivated(); }, 5000));
    const double zoom = std::max(1.0, std::min(client.width() / 1043.667, client.height() / 721.0));
    QVERIFY2(qAbs(form.zoom().factor - zoom) < 1e-4,
             qPrintable(QString::number(form.zoom().factor)));
    // Centred across: the panels leave the same margin on either side, and all of them fit.
    const QRect left = form.control<QWidget>("Picture1").geometry();
    const QRect right = form.control<QWidget>("Picture3").geometry();
    if (zoom > 1) {
        QVERIFY(qAbs(left.left() - (client.width() - 1 - right.right())) <= 1);
    }
    QVERIFY(form.rect().contains(form.control<QWidget>("Picture4").geometry()));
    QCOMPARE(form.control<QWidget>("Label1").font().pixelSize(), headingPixels);
    QCOMPARE(form.control<QWidget>("Line3").width(), markWidth);
    // The atom picture stays square with the nucleus at its centre.
    const auto& atom = form.control<host::PictureBox>("Picture3");
    QCOMPARE(atom.inner()->width(), atom.inner()->height());
    const QPoint nucleus = form.control<host::Shape>("Shape1").geometry().center();
    const QPoint off = nucleus - atom.inner()->rect().center();
    QVERIFY(std::max(qAbs(off.x()), qAbs(off.y())) <= std::ceil(zoom));
    // Chosen once: a later change of the window's size moves nothing.
    form.resize(client / 2);
    QTest::qWait(20);
    QCOMPARE(form.control<QWidget>("Picture3").geometry(), right);
    // A click anywhere in a button's cell chooses it.
    auto& corner = form.control<host::OptionButton>("Option4");
    QTest::mouseClick(&corner, Qt::LeftButton, {}, QPoint(1, corner.height() - 2));
    QVERIFY(corner.isChecked());
}

// Fonts round down to whole pixels, and hinting is not linear: at every zoom from 1 to 3, every
// caption of every series shows whole.
void ZoomTest::captionsFitAtEveryZoom() {
    for (int height = 721; height <= 2163; height += 13) {
        Form1 form;
        QObject::disconnect(&form, &host::Window::Activate, nullptr, nullptr);
        form.resize(3 * height, height);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (int level = 6; level >= 1; --level) {
            form.control<QAbstractButton>(qPrintable(QStringLiteral("Option%1").arg(level)))
                .click();
            for (const host::Label* label : form.findChildren<host::Label*>()) {
                const QString problem = captionFitProblem(*label);
                QVERIFY2(label->caption().isEmpty() || !label->isVisibleTo(&form) ||
                             problem.isEmpty(),
                         qPrintable(QStringLiteral("zoom %1: ").arg(form.zoom().factor) + problem));
            }
        }
    }
}

QTEST_MAIN(ZoomTest)
#include "test_zoom.moc"
