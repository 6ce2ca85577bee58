// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The window as it opens, as the user sees it: a few places, colours and styles typed from the
// layout. All of its pixels at the design's size, and captions that fit at every zoom: test_zoom.
#include "app/form1.h"
#include "host/controls/label.h"

#include <QTest>

class LayoutTest : public QObject {
    Q_OBJECT

    // Never shown: the window stays as built, before any activation draws on it.
    Form1 m_form;

private slots:
    // A few controls as the user sees them: the place in pixels of their area, as the layout
    // gives it in twips (15 to a pixel); the colour drawn at a point, the front control's where
    // controls are stacked; for a label also its text, font and text colour.
    void spots_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("seen");
        QTest::newRow("Form1") << QPoint(4, 4) << "0,0 469x374 8da9d1";           // restored
        QTest::newRow("Picture1Surface") << QPoint(161, 256) << "2,2 377x445 ff"; // Line4, Label39
        QTest::newRow("Picture3Surface") << QPoint(218, 224) << "2,2 448x448 0";  // plus on disc
        QTest::newRow("Picture4Surface") << QPoint(444, 0) << "2,2 445x125 fbf9a8";
        QTest::newRow("Shape1") << QPoint(12, 12) << "212,212 25x25 ff0000";
        QTest::newRow("Label1") << QPoint(0, 0)
                                << "240,24 609x73 8da9d1 «ЛЮМЕРА» 32 px 700 ff0000 centred";
        QTest::newRow("Label3") << QPoint(0, 0) << "96,344 25x17 fbf9a8 «λ =» 13 px 700 0 centred";
        QTest::newRow("Label12") << QPoint(0, 0) << "184,16 49x17 fbf9a8 «5,28» 13 px 700 0";
        QTest::newRow("Label21") << QPoint(0, 0) << "24,8 17x25 fbf9a8 «1» 18 px 700 0 centred";
        QTest::newRow("Label30") << QPoint(0, 0) << "24,32 25x17 ffffff «-0,54» 11 px 400 0";
        QTest::newRow("Line3") << QPoint(0, 0) << "96,168 2x130 ff"; // a 2-pixel pen, y 168 to 296
    }

    void spots() {
        QFETCH(QPoint, at);
        QFETCH(QString, seen);
        const QString name = QString::fromUtf8(QTest::currentDataTag());
        QWidget& widget = name == "Form1" ? m_form : m_form.control<QWidget>(qPrintable(name));
        const QRect r = widget.isWindow() ? widget.rect() : widget.geometry();
        QString shown = QString::asprintf("%d,%d %dx%d %x", r.x(), r.y(), r.width(), r.height(),
                                          widget.grab().toImage().pixel(at) & RGB_MASK);
        if (const auto* label = qobject_cast<const host::Label*>(&widget)) {
            shown +=
                QString::asprintf(" «%s» %d px %d %x%s", qUtf8Printable(label->shownText()),
                                  label->font().pixelSize(), label->fontSpec().weight,
                                  host::toQColor(label->foreColor()).rgb() & RGB_MASK,
                                  label->alignment() == host::Alignment::Centre ? " centred" : "");
        }
        QCOMPARE(shown, seen);
    }
};

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
