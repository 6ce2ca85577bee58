// The window on a screen of twice the pixel density: laid out as at 96 dpi, only twice as large,
// and drawn at the screen's own resolution. Runs with QT_SCALE_FACTOR=2 and compares with a copy
// of itself started at 96 dpi.
#include "app/form1.h"
#include "host/image.h"
#include "host/label.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "series/series_table.h"

#include <QApplication>
#include <QPainter>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr const char* dumpGeometry = "--dump-geometry";

// "name x y width height" for every named widget, in device pixels from the window's corner.
QStringList deviceGeometry(const QWidget& form) {
    const qreal ratio = form.devicePixelRatioF();
    QStringList lines{QStringLiteral("%1 0 0 %2 %3")
                          .arg(form.objectName())
                          .arg(qRound(form.width() * ratio))
                          .arg(qRound(form.height() * ratio))};
    for (const QWidget* widget : form.findChildren<QWidget*>()) {
        if (widget->objectName().isEmpty()) {
            continue;
        }
        const QPoint at = widget->mapTo(&form, QPoint(0, 0));
        lines << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(widget->objectName())
                     .arg(qRound(at.x() * ratio))
                     .arg(qRound(at.y() * ratio))
                     .arg(qRound(widget->width() * ratio))
                     .arg(qRound(widget->height() * ratio));
    }
    return lines;
}

// Whether the caption, drawn as the label draws it but without any clip, keeps all its
// ink inside the label at this pixel ratio. Font metrics alone cannot tell: they are the same at
// every ratio, while the glyphs drawn at 2x are hinted to other widths.
bool captionFits(const host::Label& label, qreal ratio) {
    const QSize margin(label.width(), label.height() * 2);
    const QRect box(QPoint(margin.width(), margin.height()), label.size());
    QImage canvas((QSizeF(label.size() + margin * 2) * ratio).toSize(), QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setFont(label.font());
    painter.setPen(Qt::black);
    painter.drawText(box, label.textFlags() | Qt::TextDontClip, label.shownText());
    painter.end();
    const QRect inside((QPointF(box.topLeft()) * ratio).toPoint(),
                       (QSizeF(box.size()) * ratio).toSize());
    for (int y = 0; y < canvas.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (qGray(row[x]) < 160 && !inside.contains(x, y)) {
                return false;
            }
        }
    }
    return true;
}

// Lengths of the dark runs along one row of an image, left to right.
QList<int> inkRuns(const QImage& image, int y) {
    QList<int> runs;
    int length = 0;
    for (int x = 0; x <= image.width(); ++x) {
        if (x < image.width() && qGray(image.pixel(x, y)) < 128) {
            ++length;
        } else if (length > 0) {
            runs << length;
            length = 0;
        }
    }
    return runs;
}

} // namespace

class HiDpiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void screenHasTwiceTheDensity();
    void everyControlIsTwiceItsSizeAt96Dpi();
    void atomDrawingHasDevicePixels();
    void circlesAreOneDevicePixelWide();
    void diagramIsStretchedFromItsSource();
    void captionsFitWhereTheyFitAt96Dpi_data();
    void captionsFitWhereTheyFitAt96Dpi();

private:
    std::unique_ptr<Form1> m_form;
};

void HiDpiTest::initTestCase() {
    m_form = std::make_unique<Form1>();
    // No activation: the timer stays off and the picture stays as the tests draw it.
    QObject::disconnect(m_form.get(), &host::Window::Activate, nullptr, nullptr);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void HiDpiTest::screenHasTwiceTheDensity() {
    QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("2"));
    QCOMPARE(m_form->devicePixelRatioF(), 2.0);
}

void HiDpiTest::everyControlIsTwiceItsSizeAt96Dpi() {
    QProcess plain;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    plain.setProcessEnvironment(environment);
    plain.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(dumpGeometry)});
    QVERIFY(plain.waitForFinished(60'000));
    QCOMPARE(plain.exitCode(), 0);
    const QStringList at96 = QString::fromUtf8(plain.readAllStandardOutput())
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(at96.size() > 70); // 48 labels, 4 panels, their 4 surfaces, 6 lines, 6 buttons…

    QMap<QString, QRect> here;
    for (const QString& line : deviceGeometry(*m_form)) {
        const QStringList f = line.split(QLatin1Char(' '));
        here.insert(f[0], QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()));
    }
    for (const QString& line : at96) {
        const QStringList f = line.split(QLatin1Char(' '));
        const QRect twice(2 * f[1].toInt(), 2 * f[2].toInt(), 2 * f[3].toInt(), 2 * f[4].toInt());
        QVERIFY2(here.contains(f[0]), qPrintable(f[0] + QStringLiteral(" is missing at 2x")));
        QCOMPARE(here.value(f[0]), twice);
    }
    QCOMPARE(here.size(), at96.size());
}

void HiDpiTest::atomDrawingHasDevicePixels() {
    auto& picture = m_form->control<host::PictureBox>("Picture3");
    picture.Scale(-15, 15, 15, -15);
    picture.Circle(0, 0, 14);
    const QImage drawing = picture.drawing();
    QCOMPARE(drawing.devicePixelRatio(), 2.0);
    QCOMPARE(drawing.size(), picture.inner()->size() * 2);
}

void HiDpiTest::circlesAreOneDevicePixelWide() {
    auto& picture = m_form->control<host::PictureBox>("Picture3");
    picture.Scale(-15, 15, 15, -15);
    picture.Circle(0, 0, 10);
    // What the screen gets: the surface painted at the screen's density, without the nucleus.
    QImage drawing(picture.inner()->size() * 2, QImage::Format_RGB32);
    drawing.setDevicePixelRatio(2);
    picture.inner()->render(&drawing, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    // Along the middle row every orbit is crossed twice, each time by a single device pixel: a
    // circle drawn at 96 dpi and enlarged would be two pixels wide.
    const QList<int> runs = inkRuns(drawing, drawing.height() / 2);
    QVERIFY2(runs.size() >= 4, qPrintable(QStringLiteral("%1 crossings").arg(runs.size())));
    for (const int run : runs) {
        QCOMPARE(run, 1);
    }
    // Its radius is measured in device pixels too: 10 of the 30 units across the picture.
    int left = 0;
    while (qGray(drawing.pixel(left, drawing.height() / 2)) >= 128) {
        ++left;
    }
    const double expected = drawing.width() / 2.0 - 14.0 * drawing.width() / 30.0;
    QVERIFY2(std::abs(left - expected) <= 1.5,
             qPrintable(QStringLiteral("outer orbit at %1, expected %2").arg(left).arg(expected)));
}

void HiDpiTest::diagramIsStretchedFromItsSource() {
    auto& image = m_form->control<host::Image>("Image1");
    const QImage shown = image.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QSize device = image.size() * 2;
    QCOMPARE(shown.size(), device);
    const QImage fromSource =
        host::stretchKeepingInk(image.picture(), device).convertToFormat(QImage::Format_RGB32);
    // An enlarged copy of the 96-dpi stretch is a different picture: the check can tell them apart.
    const QImage enlarged = host::stretchKeepingInk(image.picture(), image.size())
                                .scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGB32);
    QVERIFY(enlarged != fromSource);
    QVERIFY(shown == fromSource);
}

void HiDpiTest::captionsFitWhereTheyFitAt96Dpi_data() {
    QTest::addColumn<int>("level");
    QTest::newRow("as designed") << 0;
    for (int level = 1; level <= series::levelCount; ++level) {
        QTest::newRow(qPrintable(QStringLiteral("series %1").arg(level))) << level;
    }
}

void HiDpiTest::captionsFitWhereTheyFitAt96Dpi() {
    QFETCH(int, level);
    Form1 form;
    if (level > 0) {
        // Series 1 is selected at opening: going there from another runs its handler too.
        form.control<host::OptionButton>(level == 1 ? "Option2" : "Option1").setChecked(true);
        form.control<host::OptionButton>(qPrintable(QStringLiteral("Option%1").arg(level)))
            .setChecked(true);
    }
    int fitting = 0;
    QStringList overflowing;
    for (const host::Label* label : form.findChildren<host::Label*>()) {
        if (label->caption().isEmpty() || !captionFits(*label, 1.0)) {
            continue;
        }
        ++fitting;
        if (!captionFits(*label, 2.0)) {
            overflowing << label->objectName() + QStringLiteral(" \"") + label->shownText() +
                               QLatin1Char('"');
        }
    }
    QVERIFY2(overflowing.isEmpty(), qPrintable(overflowing.join(QStringLiteral(", "))));
    QVERIFY2(fitting >= 40,
             qPrintable(QStringLiteral("only %1 captions fit at 96 dpi").arg(fitting)));
}

int main(int argc, char* argv[]) {
    // The 96-dpi copy: prints the geometry and leaves.
    if (argc == 2 && std::strcmp(argv[1], dumpGeometry) == 0) {
        QApplication app(argc, argv);
        const Form1 form;
        for (const QString& line : deviceGeometry(form)) {
            std::printf("%s\n", qPrintable(line));
        }
        return 0;
    }
    QApplication app(argc, argv);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"
