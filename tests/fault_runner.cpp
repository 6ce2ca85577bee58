// Test-only program: the real window with one host call made to fail, run to its end as the
// program runs, for test_faults to watch from outside.
//
//   fault_runner [--operation OP] [--control NAME] [--skip N] [--code N]
//                [--click OptionN]... [--heading]
//
// After the window's activation it clicks the options and double-clicks the heading as asked,
// in that order. It closes every box itself: when the error box shows, it first prints what the
// window shows at that moment (key=value lines on standard output). Without an error it prints
// the same and closes the window. Its exit status is the event loop's.
#include "app/form1.h"
#include "host/label.h"
#include "host/line.h"
#include "host/option_button.h"
#include "host/picture_box.h"
#include "host/timer.h"
#include "host/toolkit_setup.h"
#include "series/series_selection.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <array>
#include <cstdio>

namespace {

// Long enough for the slowest build to reach the failing call; a missed fault ends with 3.
constexpr int timeLimitMs = 60000;
constexpr int timedOutStatus = 3;
constexpr int errorBoxReadMs = 200;

void print(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

std::optional<host::Operation> operationNamed(const QString& name) {
    using host::Operation;
    for (Operation op :
         {Operation::Scale, Operation::Circle, Operation::Caption, Operation::BorderColor,
          Operation::Value, Operation::Enabled, Operation::MessageBox}) {
        if (host::operationName(op) == name) {
            return op;
        }
    }
    return std::nullopt;
}

// Black runs met going right from the nucleus along the centre line: one per orbit shown.
int orbitsShown(const QImage& picture) {
    const int y = picture.height() / 2;
    int orbits = 0;
    bool inInk = false;
    for (int x = picture.width() / 2 + 20; x < picture.width(); ++x) {
        const bool ink = qGray(picture.pixel(x, y)) < 100;
        orbits += ink && !inInk ? 1 : 0;
        inInk = ink;
    }
    return orbits;
}

bool electronShown(const QImage& picture) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if ((picture.pixel(x, y) & 0xFFFFFF) == 0x0000FF) {
                return true;
            }
        }
    }
    return false;
}

// What the user sees now: the atom picture as it is on the screen, and every written field.
void printWindow(Form1& form) {
    const auto& picture = form.control<host::PictureBox>("Picture3");
    const QRect inner(picture.inner()->mapTo(&form, QPoint(0, 0)), picture.inner()->size());
    const QImage shown = form.screen()->grabWindow(form.winId()).toImage().copy(inner);
    print(QStringLiteral("orbits=%1").arg(orbitsShown(shown)));
    print(QStringLiteral("electron=%1").arg(electronShown(shown) ? "shown" : "none"));
    const AnimationState& state = form.animation();
    print(QStringLiteral("state=%1,%2,%3")
              .arg(state.pathRadius)
              .arg(state.orbitRadius)
              .arg(static_cast<double>(state.delayCount), 0, 'f', 0));
    print(QStringLiteral("timer=%1")
              .arg(form.control<host::Timer>("Timer1").isEnabled() ? "on" : "off"));
    for (int n = 1; n <= 6; ++n) {
        const QString name = QStringLiteral("Option%1").arg(n);
        if (form.control<host::OptionButton>(qPrintable(name)).isChecked()) {
            print(QStringLiteral("selected=") + name);
        }
    }
    const auto fields = series::SeriesFields::of(form);
    const auto printCaptions = [](const auto& labels) {
        for (const host::Label* label : labels) {
            print(label->objectName() + QLatin1Char('=') + label->caption());
        }
    };
    printCaptions(fields.wavelengths);
    printCaptions(std::array{fields.radius, fields.speed, fields.energy});
    printCaptions(fields.levelEnergies);
    printCaptions(fields.levelNumbers);
    printCaptions(fields.transitions);
    for (const host::Line* mark : fields.marks) {
        print(mark->objectName() +
              QStringLiteral("=%1").arg(mark->borderColor().value, 6, 16, QLatin1Char('0')));
    }
}

} // namespace

int main(int argc, char* argv[]) {
    host::prepareToolkit();
    QApplication app(argc, argv);

    QCommandLineParser parser;
    const QCommandLineOption operation(QStringLiteral("operation"), QStringLiteral("call to fail"),
                                       QStringLiteral("op"));
    const QCommandLineOption control(QStringLiteral("control"), QStringLiteral("its control"),
                                     QStringLiteral("name"));
    const QCommandLineOption skip(QStringLiteral("skip"), QStringLiteral("matching calls let by"),
                                  QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption code(QStringLiteral("code"), QStringLiteral("error number"),
                                  QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption click(QStringLiteral("click"), QStringLiteral("option to click"),
                                   QStringLiteral("name"));
    const QCommandLineOption heading(QStringLiteral("heading"),
                                     QStringLiteral("double-click the heading"));
    parser.addOptions({operation, control, skip, code, click, heading});
    parser.process(app);

    Form1 form;
    if (parser.isSet(operation)) {
        const auto op = operationNamed(parser.value(operation));
        if (!op) {
            std::fprintf(stderr, "fault_runner: no operation %s\n",
                         qPrintable(parser.value(operation)));
            return 2;
        }
        host::FaultPlan plan{.operation = op, .skip = parser.value(skip).toInt()};
        if (parser.isSet(control)) {
            plan.control = parser.value(control);
        }
        plan.code = static_cast<host::ErrorCode>(parser.value(code).toInt());
        form.gate().failWhen(plan);
    }

    int boxes = 0;
    int notices = 0;
    // The error box is read once it has been up a while: the user sees the window behind it
    // as the box's own event loop has painted it.
    QPointer<QMessageBox> errorBox;
    QElapsedTimer errorBoxUp;
    QTimer boxWatch;
    QObject::connect(&boxWatch, &QTimer::timeout, &form, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        if (box->objectName() == QStringLiteral("MsgBox")) {
            ++notices;
            box->accept();
            return;
        }
        if (box != errorBox) {
            errorBox = box;
            errorBoxUp.start();
            ++boxes;
            return;
        }
        if (errorBoxUp.elapsed() >= errorBoxReadMs) {
            print(QStringLiteral("box=") + box->text());
            printWindow(form);
            box->accept();
        }
    });
    boxWatch.start(10);

    // Once the window is up, the user's actions in order, a little apart.
    const QStringList clicks = parser.values(click);
    const bool doubleClickHeading = parser.isSet(heading);
    QObject::connect(&form, &host::Window::Activate, &form, [&] {
        int at = 50;
        for (const QString& name : clicks) {
            QTimer::singleShot(at, &form, [&form, name] {
                QTest::mouseClick(&form.control<host::OptionButton>(qPrintable(name)),
                                  Qt::LeftButton, {}, QPoint(8, 8));
            });
            at += 50;
        }
        if (doubleClickHeading) {
            QTimer::singleShot(at, &form, [&form] {
                QTest::mouseDClick(&form.control<host::Label>("Label1"), Qt::LeftButton);
            });
            at += 50;
        }
        // Nothing failed by then: show what the window holds and end as a user would.
        QTimer::singleShot(at + 300, &form, [&form] {
            if (form.dispatcher().stopped() || QApplication::activeModalWidget() != nullptr) {
                return; // the error box is up and has the word
            }
            printWindow(form);
            form.close();
        });
    });
    QTimer::singleShot(timeLimitMs, &form, [] {
        std::fputs("fault_runner: time limit reached\n", stderr);
        QCoreApplication::exit(timedOutStatus);
    });

    form.showMaximized();
    const int status = QApplication::exec();
    print(QStringLiteral("boxes=%1").arg(boxes));
    print(QStringLiteral("notices=%1").arg(notices));
    return status;
}
