// The window as it opens, checked as the user sees it: nothing overlaps by accident, the front
// control is on top, rows and columns line up, captions fit and sit where their alignment puts
// them; colours and a few places and styles typed from the layout.
#include "app/form1.h"
#include "host/label.h"
#include "label_fit.h"

#include <QFontInfo>
#include <QTest>
#include <memory>

namespace {

QString hex(QRgb colour) {
    return QString::number(colour & RGB_MASK, 16);
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void overlapsAreStackedOnPurpose();
    void linedUp_data();
    void linedUp();
    void spots_data();
    void spots();
    void colours_data();
    void colours();
    void labels_data();
    void labels();

private:
    [[nodiscard]] QWidget& named(const QString& name) const {
        return name == m_form->objectName() ? *m_form : m_form->control<QWidget>(qPrintable(name));
    }

    std::unique_ptr<Form1> m_form;
    // Every named control, the panels' inner surfaces left out.
    QList<QWidget*> m_controls;
};

void LayoutTest::initTestCase() {
    // Never shown: the window stays as built, before any activation draws on it.
    m_form = std::make_unique<Form1>();
    for (QWidget* widget : m_form->findChildren<QWidget*>()) {
        if (!widget->objectName().isEmpty() && !widget->objectName().endsWith(u"Surface")) {
            m_controls << widget;
        }
    }
    // 48 labels, 6 lines, 6 orbit buttons, 4 panels, the frame, the disc and the bitmap.
    QCOMPARE(m_controls.size(), 67);
}

// Controls of one area overlap only where the layout stacks them on purpose, the upper one later
// among its siblings and so drawn last.
void LayoutTest::overlapsAreStackedOnPurpose() {
    QStringList found;
    for (const QWidget* upper : std::as_const(m_controls)) {
        for (const QWidget* lower : std::as_const(m_controls)) {
            const QObjectList& order = upper->parentWidget()->children();
            if (upper->parentWidget() == lower->parentWidget() &&
                order.indexOf(upper) > order.indexOf(lower) &&
                upper->geometry().intersects(lower->geometry())) {
                found << upper->objectName() + QStringLiteral(" over ") + lower->objectName();
            }
        }
    }
    // The nucleus' plus over the disc; a mark through a patch; the unit beside a long speed.
    QStringList planned{"Line2 over Line1", "Line2 over Shape1", "Line1 over Shape1",
                        "Line4 over Label39", "Label18 over Label16"};
    // The white patches and the transition marks over the level diagram.
    for (const char* over :
         {"Label30", "Label31", "Label32", "Label33", "Label34", "Label35", "Label36", "Label37",
          "Label38", "Label40", "Label39", "Line3", "Line4", "Line5", "Line6"}) {
        planned << QString::fromUtf8(over) + QStringLiteral(" over Image1");
    }
    for (const QString& pair : found + planned) {
        QVERIFY2(found.contains(pair) && planned.contains(pair), qPrintable(pair));
    }
}

// Controls on one row share their top, those in one column their left edge. Label28 starts left
// of its column, clear of Label42: the overlaps check it.
void LayoutTest::linedUp_data() {
    QTest::addColumn<bool>("row");
    QTest::addColumn<QStringList>("members");
    for (const char* row :
         {"Label11 Label12 Label13", "Label14 Label16 Label18", "Label15 Label17 Label19",
          "Label3 Label41 Label27 Label45", "Label4 Label42 Label28 Label46",
          "Label5 Label43 Label29 Label47", "Label6 Label44 Label7 Label48",
          "Label21 Label22 Label23 Label24 Label25 Label26",
          "Option1 Option2 Option3 Option4 Option5 Option6", "Picture1 Picture3",
          "Picture2 Picture4"}) {
        QTest::addRow("row %s", row) << true << QString::fromUtf8(row).split(u' ');
    }
    for (const char* column :
         {"Label11 Label14 Label15", "Label13 Label18 Label19", "Label3 Label4 Label5 Label6",
          "Label41 Label42 Label43 Label44", "Label27 Label29 Label7",
          "Label45 Label46 Label47 Label48", "Label30 Label31 Label32 Label33 Label34",
          "Label35 Label36 Label37 Label38 Label40", "Image1 Label2", "Label21 Option1",
          "Label22 Option2", "Label23 Option3", "Label24 Option4", "Label25 Option5",
          "Label26 Option6", "Picture1 Picture2", "Picture3 Picture4"}) {
        QTest::addRow("column %s", column) << false << QString::fromUtf8(column).split(u' ');
    }
}

void LayoutTest::linedUp() {
    QFETCH(bool, row);
    QFETCH(QStringList, members);
    const auto edge = [&](const QString& name) {
        const QPoint at = named(name).mapTo(m_form.get(), QPoint());
        return row ? at.y() : at.x();
    };
    for (const QString& member : members) {
        QCOMPARE(QStringLiteral("%1 at %2").arg(member).arg(edge(member)),
                 QStringLiteral("%1 at %2").arg(member).arg(edge(members.first())));
    }
}

// A few controls as the user sees them: the place in pixels of their area, as the layout gives it
// in twips (15 to a pixel), and for one label of each font and alignment the text, font size,
// weight and colours.
void LayoutTest::spots_data() {
    QTest::addColumn<QString>("seen");
    QTest::newRow("Form1") << "0,0 469x374"; // restored; it opens maximised
    QTest::newRow("Picture3") << "504,104 452x452";
    QTest::newRow("Picture3Surface") << "2,2 448x448"; // within a 2-pixel sunken border
    QTest::newRow("Label1") << "240,24 609x73 «ЛЮМЕРА» 32 px bold ff0000 on 8da9d1 centred";
    QTest::newRow("Label2") << "16,312 337x17 «ДЛИНЫ ВОЛН ПРИ ПЕРЕХОДЕ НА ДАННЫЙ УРОВЕНЬ» 11 px "
                               "bold ff0000 on fbf9a8 centred";
    QTest::newRow("Label3") << "96,344 25x17 «λ =» 13 px bold 0 on fbf9a8 centred"; // symbol face
    QTest::newRow("Label11") << "24,16 145x17 «РАДИУС ВРАЩЕНИЯ =» 11 px bold 0 on fbf9a8";
    QTest::newRow("Label12") << "184,16 49x17 «5,28» 13 px bold 0 on fbf9a8";
    QTest::newRow("Label21") << "24,8 17x25 «1» 18 px bold 0 on fbf9a8 centred";
    QTest::newRow("Label22") << "96,8 17x25 «2» 18 px bold 0 on fbf9a8";
    QTest::newRow("Label27") << "200,344 40x17 «121» 13 px bold 0 on fbf9a8";
    QTest::newRow("Label30") << "24,32 25x17 «-0,54» 11 px 0 on ffffff";
    QTest::newRow("Option6") << "392,48 17x17";
    QTest::newRow("Line3") << "96,168 2x130"; // a 2-pixel pen from y 168 to 296
}

void LayoutTest::spots() {
    QFETCH(QString, seen);
    const QWidget& widget = named(QString::fromUtf8(QTest::currentDataTag()));
    const QRect rect = widget.isWindow() ? widget.rect() : widget.geometry();
    QString shown = QStringLiteral("%1,%2 %3x%4")
                        .arg(rect.x())
                        .arg(rect.y())
                        .arg(rect.width())
                        .arg(rect.height());
    if (const auto* label = qobject_cast<const host::Label*>(&widget)) {
        shown += QStringLiteral(" «%1» %2 px%3 %4 on %5%6")
                     .arg(label->shownText())
                     .arg(label->font().pixelSize())
                     .arg(label->font().bold() ? " bold" : "")
                     .arg(hex(host::toQColor(label->foreColor()).rgb()),
                          hex(host::toQColor(label->backColor()).rgb()))
                     .arg(label->alignment() == host::Alignment::Centre ? " centred" : "");
    }
    QCOMPARE(shown, seen);
}

// Pixels as drawn, at points of the window or of a panel's inside.
void LayoutTest::colours_data() {
    QTest::addColumn<QString>("area");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("colour");
    const auto add = [](const char* name, const char* area, QPoint at, const char* colour) {
        QTest::newRow(name) << QString::fromUtf8(area) << at << QString::fromUtf8(colour);
    };
    add("window ground", "Form1", {4, 4}, "8da9d1");
    add("Picture1 ground", "Picture1Surface", {376, 0}, "fbf9a8");
    add("Picture2 ground", "Picture2Surface", {380, 0}, "fbf9a8");
    add("Picture3 ground", "Picture3Surface", {447, 0}, "ffffff");
    add("Picture4 ground", "Picture4Surface", {444, 0}, "fbf9a8");
    add("Frame1 ground", "Frame1", {424, 64}, "fbf9a8");
    add("nucleus plus, centre", "Picture3Surface", {224, 224}, "0");
    add("nucleus plus, left arm", "Picture3Surface", {218, 224}, "0");
    add("nucleus disc", "Picture3Surface", {218, 218}, "ff0000");
    add("level patch over the diagram", "Picture1Surface", {48, 48}, "ffffff");
    add("Line4 through Label39", "Picture1Surface", {161, 256}, "ff");
    add("Line3 at its foot", "Picture1Surface", {97, 297}, "ff");
}

void LayoutTest::colours() {
    QFETCH(QString, area);
    QFETCH(QPoint, at);
    QFETCH(QString, colour);
    QCOMPARE(hex(named(area).grab().toImage().pixel(at)), colour);
}

void LayoutTest::labels_data() {
    QTest::addColumn<host::Label*>("label");
    for (host::Label* label : m_form->findChildren<host::Label*>()) {
        QTest::newRow(qPrintable(label->objectName())) << label;
    }
}

// Every caption in its real font, whole on one line, on an opaque ground, placed as its alignment
// says: the drawn ink within a pixel (antialiasing) of where the font puts it.
void LayoutTest::labels() {
    QFETCH(host::Label*, label);
    const QFontInfo font(label->font());
    QCOMPARE(font.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(font.pixelSize(), label->font().pixelSize());
    const QImage drawn = label->grab().toImage();
    const QRgb ground = drawn.pixel(drawn.width() - 1, drawn.height() - 1);
    QCOMPARE(hex(ground), hex(host::toQColor(label->backColor()).rgb()));
    int left = drawn.width();
    int right = -1;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) != ground) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    if (label->caption().isEmpty()) {
        QCOMPARE(right, -1);
        return;
    }
    const QString problem = captionFitProblem(*label);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const QRect ink = captionInk(*label);
    QCOMPARE_LE(std::abs(left - ink.left()), 1);
    QCOMPARE_LE(std::abs(right - ink.right()), 1);
}

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
