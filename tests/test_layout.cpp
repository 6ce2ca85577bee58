// The built Form1 checked against the window layout: places, captions, fonts, colours, stacking
// and tab order, with every expected value typed here from the design tables.
#include "app/form1.h"
#include "host/label.h"
#include "host/line.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/shape.h"
#include "host/timer.h"
#include "label_fit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>
#include <memory>

namespace {

// Named colours of the layout, 0xBBGGRR.
constexpr uint windowBlue = 0xD1A98D;
constexpr uint yellow = 0xA8F9FB;
constexpr uint white = 0xFFFFFF;
constexpr uint red = 0x0000FF;
constexpr uint blue = 0xFF0000;
constexpr uint black = 0x000000;

// The fonts as 96-dpi pixel sizes and weight.
struct Font {
    int pixels;
    bool bold;
};
constexpr Font title{32, true};     // 24 pt
constexpr Font digit{18, true};     // 13.5 pt
constexpr Font value{13, true};     // 9.75 pt
constexpr Font heading{11, true};   // 8.25 pt
constexpr Font lambda{13, true};    // Symbol 9.75 pt
constexpr Font standard{11, false}; // the window's default font

int pixels(int twips) {
    return qRound(twips / 15.0);
}

QRect twips(int left, int top, int width, int height) {
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

uint bgr(const QColor& c) {
    return static_cast<uint>(c.red()) | static_cast<uint>(c.green()) << 8 |
           static_cast<uint>(c.blue()) << 16;
}

QString hex(uint colour) {
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(colour, 6, 16, QLatin1Char('0')).toUpper();
}

// Index in the parent's children: the later one is drawn on top.
qsizetype stackIndex(const QWidget& widget) {
    return widget.parentWidget()->children().indexOf(&widget);
}

// The widget a container's controls are placed in.
QWidget* containerOf(Form1& form, const QString& container) {
    if (container.isEmpty()) {
        return &form;
    }
    if (auto* picture = form.findChild<host::PictureBox*>(container)) {
        return picture->inner();
    }
    return form.findChild<QWidget*>(container);
}

void addLabel(const char* name, const char* caption, Font font, uint fore, uint back,
              bool centred = false) {
    QTest::newRow(name) << QString::fromUtf8(caption) << font.pixels << font.bold << fore << back
                        << centred;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void window();
    void timerIsOffAtOpening();

    void placement_data();
    void placement();
    void pictureBoxes_data();
    void pictureBoxes();
    void lines_data();
    void lines();
    void optionButtons_data();
    void optionButtons();
    void nucleusDisc();

    void labelCaptions_data() { labelTable(); }
    void labelCaptions();
    void labelFonts_data() { labelTable(); }
    void labelFonts();
    void labelColoursAndAlignment_data() { labelTable(); }
    void labelColoursAndAlignment();
    void designCaptionsFit_data() { labelTable(); }
    void designCaptionsFit();
    void labelsBelowPicture1AreClipped();

    void stacking_data();
    void stacking();
    void nucleusPlusLiesOverTheDisc();
    void transitionMarksLieOverTheDiagram();

    void tabOrder();
    void onlyPanelsAndOptionsTakeFocus();

private:
    static void labelTable();
    [[nodiscard]] host::Label* label() const {
        return m_form->findChild<host::Label*>(QString::fromUtf8(QTest::currentDataTag()));
    }

    std::unique_ptr<Form1> m_form;
};

void LayoutTest::initTestCase() {
    // Never shown: the window stays as built, before any activation draws on it.
    m_form = std::make_unique<Form1>();
}

void LayoutTest::window() {
    QCOMPARE(m_form->objectName(), QStringLiteral("Form1"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("ЛЮМЕРА"));
    QCOMPARE(m_form->backColor().value, windowBlue);
    QCOMPARE(hex(bgr(m_form->palette().color(QPalette::Window))), hex(windowBlue));
    QVERIFY(m_form->autoFillBackground());
    QCOMPARE(m_form->size(), QSize(469, 374));
    QCOMPARE(m_form->font().pixelSize(), standard.pixels);
    QVERIFY(!m_form->font().bold());
}

void LayoutTest::timerIsOffAtOpening() {
    const auto& timer = m_form->control<host::Timer>("Timer1");
    QVERIFY(!timer.isEnabled());
    QCOMPARE(timer.interval(), 10);
}

// Every control with a rectangle: its container and its twips rectangle.
void LayoutTest::placement_data() {
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("rect");
    const auto row = [](const char* name, const char* in, int l, int t, int w, int h) {
        QTest::newRow(name) << QString::fromUtf8(in) << twips(l, t, w, h);
    };
    // On the window.
    row("Picture4", "", 7560, 8520, 6735, 1935);
    row("Picture3", "", 7560, 1560, 6775, 6775);
    row("Picture2", "", 1320, 8520, 5775, 1935);
    row("Picture1", "", 1320, 1560, 5715, 6735);
    row("Label1", "", 3600, 360, 9135, 1095);
    // The nucleus.
    row("Shape1", "Picture3", 3174, 3180, 375, 375);
    // The series panel.
    row("Frame1", "Picture4", 120, 600, 6375, 975);
    row("Label20", "Picture4", 2280, 240, 1695, 255);
    const int columns[] = {360, 1440, 2520, 3720, 4800, 5880};
    const int digitWidths[] = {255, 255, 495, 255, 495, 495};
    for (int n = 1; n <= 6; ++n) {
        const QByteArray digitLabel = "Label" + QByteArray::number(20 + n);
        const QByteArray option = "Option" + QByteArray::number(n);
        row(digitLabel.constData(), "Frame1", columns[n - 1], 120, digitWidths[n - 1], 375);
        row(option.constData(), "Frame1", columns[n - 1], 720, 255, 255);
    }
    // The orbit fields.
    row("Label11", "Picture2", 360, 240, 2175, 255);
    row("Label12", "Picture2", 2760, 240, 735, 255);
    row("Label13", "Picture2", 3840, 240, 495, 255);
    row("Label14", "Picture2", 360, 840, 2415, 255);
    row("Label16", "Picture2", 3120, 840, 735, 255);
    row("Label18", "Picture2", 3840, 840, 495, 255);
    row("Label15", "Picture2", 360, 1440, 1935, 255);
    row("Label17", "Picture2", 2400, 1440, 735, 255);
    row("Label19", "Picture2", 3840, 1440, 375, 255);
    // The level diagram.
    row("Image1", "Picture1", 240, 240, 5175, 4305);
    row("Label30", "Picture1", 360, 480, 375, 255);
    row("Label31", "Picture1", 360, 840, 375, 255);
    row("Label32", "Picture1", 360, 1440, 375, 255);
    row("Label33", "Picture1", 360, 2400, 375, 255);
    row("Label34", "Picture1", 360, 4320, 495, 255);
    row("Label35", "Picture1", 4920, 240, 255, 255);
    row("Label36", "Picture1", 4920, 600, 375, 255);
    row("Label37", "Picture1", 4920, 1200, 255, 255);
    row("Label38", "Picture1", 4920, 2160, 255, 255);
    row("Label40", "Picture1", 4920, 4200, 255, 255);
    row("Label39", "Picture1", 1920, 3720, 615, 255);
    // The wavelength list: one row per line of the series.
    row("Label2", "Picture1", 240, 4680, 5055, 255);
    const int tops[] = {5160, 5520, 5880, 6240};
    const char* const lambdas[] = {"Label3", "Label4", "Label5", "Label6"};
    const char* const transitions[] = {"Label41", "Label42", "Label43", "Label44"};
    const char* const wavelengths[] = {"Label27", "Label28", "Label29", "Label7"};
    // Wide enough for five digits (12363), and Label28 clear of Label42.
    const int wavelengthLefts[] = {3000, 2895, 3000, 3000};
    const int wavelengthWidths[] = {600, 705, 600, 600};
    const char* const units[] = {"Label45", "Label46", "Label47", "Label48"};
    for (int i = 0; i < 4; ++i) {
        row(lambdas[i], "Picture1", 1440, tops[i], 375, 255);
        row(transitions[i], "Picture1", 2040, tops[i], 855, 255);
        row(wavelengths[i], "Picture1", wavelengthLefts[i], tops[i], wavelengthWidths[i], 255);
        // Moved right to make room for the wider wavelengths.
        row(units[i], "Picture1", 3600, tops[i], 375, 255);
    }
    row("Label8", "Picture1", 600, 6600, 975, 255);
    row("Label9", "Picture1", 600, 6960, 975, 255);
    row("Label10", "Picture1", 600, 7320, 975, 255);
}

void LayoutTest::placement() {
    QFETCH(QString, container);
    QFETCH(QRect, rect);
    auto* widget = m_form->findChild<QWidget*>(QString::fromUtf8(QTest::currentDataTag()));
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget(), containerOf(*m_form, container));
    QCOMPARE(widget->geometry(), rect);
    QVERIFY(!widget->isHidden());
}

// The inner area is the panel less its two-pixel sunken border on every side.
void LayoutTest::pictureBoxes_data() {
    QTest::addColumn<uint>("background");
    QTest::newRow("Picture1") << yellow;
    QTest::newRow("Picture2") << yellow;
    QTest::newRow("Picture3") << white;
    QTest::newRow("Picture4") << yellow;
}

void LayoutTest::pictureBoxes() {
    QFETCH(uint, background);
    const auto& picture = m_form->control<host::PictureBox>(QTest::currentDataTag());
    QCOMPARE(hex(picture.backColor().value), hex(background));
    QCOMPARE(picture.inner()->geometry(), picture.rect().adjusted(2, 2, -2, -2));
    const QImage inside = picture.inner()->grab().toImage();
    QCOMPARE(hex(bgr(inside.pixelColor(inside.width() - 1, 0))), hex(background));
}

// End points in twips; the widget covers the pen, whose extra pixels go right and down.
void LayoutTest::lines_data() {
    QTest::addColumn<QString>("container");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("width");
    QTest::addColumn<uint>("colour");
    const auto row = [](const char* name, const char* in, int x1, int y1, int x2, int y2, int w,
                        uint colour) {
        QTest::newRow(name) << QString::fromUtf8(in) << QPoint(pixels(x1), pixels(y1))
                            << QPoint(pixels(x2), pixels(y2)) << w << colour;
    };
    row("Line1", "Picture3", 3360, 3240, 3360, 3480, 1, black);
    row("Line2", "Picture3", 3240, 3360, 3480, 3360, 1, black);
    row("Line3", "Picture1", 1440, 2520, 1440, 4440, 2, blue);
    row("Line4", "Picture1", 2400, 1560, 2400, 4440, 2, blue);
    row("Line5", "Picture1", 3480, 960, 3480, 4440, 2, blue);
    row("Line6", "Picture1", 4560, 600, 4560, 4440, 2, blue);
}

void LayoutTest::lines() {
    QFETCH(QString, container);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, width);
    QFETCH(uint, colour);
    const auto& line = m_form->control<host::Line>(QTest::currentDataTag());
    QCOMPARE(line.parentWidget(), containerOf(*m_form, container));
    QCOMPARE(line.geometry(), QRect(from, to + QPoint(width - 1, width - 1)));
    QCOMPARE(line.borderWidth(), width);
    QCOMPARE(hex(line.borderColor().value), hex(colour));
}

void LayoutTest::optionButtons_data() {
    QTest::addColumn<bool>("selected");
    QTest::newRow("Option1") << true;
    for (const char* name : {"Option2", "Option3", "Option4", "Option5", "Option6"}) {
        QTest::newRow(name) << false;
    }
}

void LayoutTest::optionButtons() {
    QFETCH(bool, selected);
    const auto& frame = m_form->control<host::Frame>("Frame1");
    const auto& button = m_form->control<host::OptionButton>(QTest::currentDataTag());
    QCOMPARE(button.isChecked(), selected);
    QVERIFY2(button.text().isEmpty(), "the digits are labels; the buttons show no text");
    QCOMPARE(button.group(), frame.group());
    QVERIFY(frame.group()->exclusive());
    QCOMPARE(hex(bgr(button.palette().color(button.backgroundRole()))), hex(yellow));
    QVERIFY(button.autoFillBackground());
    QCOMPARE(hex(bgr(frame.palette().color(frame.backgroundRole()))), hex(yellow));
}

void LayoutTest::nucleusDisc() {
    auto& shape = m_form->control<host::Shape>("Shape1");
    QCOMPARE(hex(shape.fillColor().value), hex(red));
    const QImage disc = shape.grab().toImage();
    QCOMPARE(hex(bgr(disc.pixelColor(disc.rect().center()))), hex(red));
}

// Caption, font, colours and alignment of every label as the window opens.
void LayoutTest::labelTable() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("fontPixels");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<uint>("fore");
    QTest::addColumn<uint>("back");
    QTest::addColumn<bool>("centred");

    addLabel("Label1", "ЛЮМЕРА", title, red, windowBlue, true);
    // The series panel.
    addLabel("Label20", "НОМЕР ОРБИТЫ ", heading, red, yellow);
    addLabel("Label21", "1", digit, black, yellow, true);
    addLabel("Label22", "2", digit, black, yellow);
    addLabel("Label23", "3", digit, black, yellow);
    addLabel("Label24", "4", digit, black, yellow);
    addLabel("Label25", "5", digit, black, yellow);
    addLabel("Label26", "6", digit, black, yellow);
    // The orbit fields.
    addLabel("Label11", "РАДИУС ВРАЩЕНИЯ =", heading, black, yellow);
    addLabel("Label12", "5,28", value, black, yellow);
    addLabel("Label13", "нм", heading, black, yellow);
    addLabel("Label14", "СКОРОСТЬ ЭЛЕКТРОНА =", heading, black, yellow);
    addLabel("Label16", "2,18", value, black, yellow);
    addLabel("Label18", "Мм/с", heading, black, yellow);
    addLabel("Label15", "ПОЛНАЯ ЭНЕРГИЯ =", heading, black, yellow);
    addLabel("Label17", "- 13,55", value, black, yellow);
    addLabel("Label19", "эВ", heading, black, yellow);
    // The level diagram: white patches over the bitmap.
    addLabel("Label30", "-0,54", standard, black, white);
    addLabel("Label31", "-0,85", standard, black, white);
    addLabel("Label32", "-1,51", standard, black, white);
    addLabel("Label33", "-3,39", standard, black, white);
    addLabel("Label34", "-13,55", standard, black, white);
    addLabel("Label35", "5", standard, black, white);
    addLabel("Label36", "4", standard, black, white);
    addLabel("Label37", "3", standard, black, white);
    addLabel("Label38", "2", standard, black, white);
    addLabel("Label40", "1", standard, black, white);
    addLabel("Label39", "", standard, black, white);
    // The wavelength list.
    addLabel("Label2", "ДЛИНЫ ВОЛН ПРИ ПЕРЕХОДЕ НА ДАННЫЙ УРОВЕНЬ", heading, red, yellow, true);
    for (const char* name : {"Label3", "Label4", "Label5", "Label6"}) {
        addLabel(name, "l =", lambda, black, yellow, true);
    }
    addLabel("Label41", "1  -  2 =", value, black, yellow);
    addLabel("Label42", "1  -  3 =", value, black, yellow);
    addLabel("Label43", "1  -  4 =", value, black, yellow);
    addLabel("Label44", "1  -  5 =", value, black, yellow);
    addLabel("Label27", "121", value, black, yellow);
    addLabel("Label28", "102", value, black, yellow);
    addLabel("Label29", "97", value, black, yellow);
    addLabel("Label7", "95", value, black, yellow);
    for (const char* name : {"Label45", "Label46", "Label47", "Label48"}) {
        addLabel(name, "нм", value, black, yellow);
    }
    for (const char* name : {"Label8", "Label9", "Label10"}) {
        addLabel(name, "", heading, black, yellow);
    }
}

void LayoutTest::labelCaptions() {
    QFETCH(QString, caption);
    host::Label* shown = label();
    QVERIFY(shown);
    QCOMPARE(shown->caption(), caption);
    // Only the symbol face turns Latin letters into Greek ones.
    const QString read = caption == QStringLiteral("l =") ? QStringLiteral("λ =") : caption;
    QCOMPARE(shown->shownText(), read);
}

void LayoutTest::labelFonts() {
    QFETCH(int, fontPixels);
    QFETCH(bool, bold);
    host::Label* shown = label();
    QVERIFY(shown);
    QCOMPARE(shown->font().pixelSize(), fontPixels);
    QCOMPARE(shown->font().bold(), bold);
    QVERIFY(!shown->font().italic());
    const QFontInfo resolved(shown->font());
    QCOMPARE(resolved.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(resolved.pixelSize(), fontPixels);
    QCOMPARE(resolved.bold(), bold);
}

void LayoutTest::labelColoursAndAlignment() {
    QFETCH(uint, fore);
    QFETCH(uint, back);
    QFETCH(bool, centred);
    host::Label* shown = label();
    QVERIFY(shown);
    QCOMPARE(hex(shown->foreColor().value), hex(fore));
    QCOMPARE(hex(shown->backColor().value), hex(back));
    QCOMPARE(shown->alignment() == host::Alignment::Centre, centred);
    QCOMPARE((shown->textFlags() & Qt::AlignHCenter) != 0, centred);
    // Opaque: the corner pixel is the background even where no text is drawn.
    const QImage drawn = shown->grab().toImage();
    QCOMPARE(hex(bgr(drawn.pixelColor(drawn.width() - 1, drawn.height() - 1))), hex(back));
}

// A design caption that wraps or overflows would lose letters on the screen.
void LayoutTest::designCaptionsFit() {
    QFETCH(QString, caption);
    if (caption.isEmpty()) {
        QSKIP("no caption");
    }
    host::Label* shown = label();
    QVERIFY(shown);
    const QString problem = captionFitProblem(*shown);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void LayoutTest::labelsBelowPicture1AreClipped() {
    const QWidget* inner = m_form->control<host::PictureBox>("Picture1").inner();
    QCOMPARE(inner->height(), 445);
    const auto seen = [&](const char* name) {
        return inner->rect().intersected(m_form->control<QWidget>(name).geometry());
    };
    QCOMPARE(seen("Label8").height(), 5);
    QVERIFY(seen("Label9").isEmpty());
    QVERIFY(seen("Label10").isEmpty());
}

// Where two controls overlap, the one listed first lies on top.
void LayoutTest::stacking_data() {
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    const auto row = [](const char* upper, const char* lower) {
        QTest::addRow("%s over %s", upper, lower)
            << QString::fromUtf8(upper) << QString::fromUtf8(lower);
    };
    row("Line1", "Shape1");
    row("Line2", "Shape1");
    for (const char* level : {"Label30", "Label31", "Label32", "Label33", "Label34", "Label35",
                              "Label36", "Label37", "Label38", "Label40", "Label39"}) {
        row(level, "Image1");
    }
    for (const char* mark : {"Line3", "Line4", "Line5", "Line6"}) {
        row(mark, "Image1");
    }
    row("Line4", "Label39");
    row("Label18", "Label16");
    for (const char* transition : {"Label41", "Label42", "Label43", "Label44"}) {
        row(transition, "Label28");
    }
}

void LayoutTest::stacking() {
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    const auto* top = m_form->findChild<QWidget*>(upper);
    const auto* bottom = m_form->findChild<QWidget*>(lower);
    QVERIFY(top && bottom);
    QCOMPARE(top->parentWidget(), bottom->parentWidget());
    QVERIFY2(stackIndex(*top) > stackIndex(*bottom), qPrintable(QStringLiteral("%1 at %2, %3 at %4")
                                                                    .arg(upper)
                                                                    .arg(stackIndex(*top))
                                                                    .arg(lower)
                                                                    .arg(stackIndex(*bottom))));
}

// The black plus shows whole over the red disc at the centre of the atom picture.
void LayoutTest::nucleusPlusLiesOverTheDisc() {
    const QImage atom = m_form->control<host::PictureBox>("Picture3").inner()->grab().toImage();
    const QPoint centre(pixels(3360), pixels(3360));
    for (const QPoint step :
         {QPoint(0, 0), QPoint(-6, 0), QPoint(6, 0), QPoint(0, -6), QPoint(0, 6)}) {
        const QPoint at = centre + step;
        QVERIFY2(bgr(atom.pixelColor(at)) == black,
                 qPrintable(QStringLiteral("(%1, %2) is %3")
                                .arg(at.x())
                                .arg(at.y())
                                .arg(hex(bgr(atom.pixelColor(at))))));
    }
    QCOMPARE(hex(bgr(atom.pixelColor(centre + QPoint(-6, -6)))), hex(red));
    QCOMPARE(hex(bgr(atom.pixelColor(centre + QPoint(6, 6)))), hex(red));
}

// The blue marks run unbroken down the bitmap, through the white patch of Label39.
void LayoutTest::transitionMarksLieOverTheDiagram() {
    const QImage diagram = m_form->control<host::PictureBox>("Picture1").inner()->grab().toImage();
    // X and upper end in twips; all four end on the bottom level line.
    const QPoint marks[] = {{1440, 2520}, {2400, 1560}, {3480, 960}, {4560, 600}};
    const int bottom = pixels(4440) + 1;
    for (const QPoint mark : marks) {
        for (int y = pixels(mark.y()); y <= bottom; ++y) {
            for (int x = pixels(mark.x()); x <= pixels(mark.x()) + 1; ++x) {
                const uint colour = bgr(diagram.pixelColor(x, y));
                QVERIFY2(
                    colour == blue,
                    qPrintable(QStringLiteral("(%1, %2) is %3").arg(x).arg(y).arg(hex(colour))));
            }
        }
    }
}

// Tab walks the four panels and then the option group, whose stop is the selected button.
void LayoutTest::tabOrder() {
    Form1 form;
    // Keep the electron still: a revolution would hold the event loop.
    QObject::disconnect(&form, &host::Window::Activate, nullptr, nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    auto& first = form.control<QWidget>("Picture1");
    first.setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), &first);
    for (const char* next : {"Picture2", "Picture3", "Picture4", "Option1", "Picture1"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget());
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromUtf8(next));
    }
    for (const char* previous : {"Option1", "Picture4", "Picture3", "Picture2", "Picture1"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromUtf8(previous));
    }
}

void LayoutTest::onlyPanelsAndOptionsTakeFocus() {
    for (QWidget* widget : m_form->findChildren<QWidget*>()) {
        const bool takesFocus = qobject_cast<host::PictureBox*>(widget) != nullptr ||
                                qobject_cast<host::OptionButton*>(widget) != nullptr;
        QVERIFY2((widget->focusPolicy() != Qt::NoFocus) == takesFocus,
                 qPrintable(widget->objectName()));
        if (takesFocus) {
            QVERIFY2((widget->focusPolicy() & Qt::TabFocus) != 0, qPrintable(widget->objectName()));
        }
    }
}

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
