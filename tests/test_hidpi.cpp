// The window on a screen of twice the pixel density (QT_SCALE_FACTOR=2) is laid out as at 96 dpi,
// only drawn twice as large: checked against a copy of itself started at 96 dpi.
#include "app/form1.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* dumpGeometry = "--dump-geometry";

// "name x y width height font-size" for the window and every widget in it, in pixels of 96 dpi
// from the window's corner.
QString geometry(const QWidget& form) {
    QString lines;
    for (const QWidget* widget :
         QList<const QWidget*>{&form} + form.findChildren<const QWidget*>()) {
        const QRect rect(widget->mapTo(&form, QPoint()), widget->size());
        lines += QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                     .arg(widget->objectName())
                     .arg(rect.x())
                     .arg(rect.y())
                     .arg(rect.width())
                     .arg(rect.height())
                     .arg(widget->font().pixelSize());
    }
    return lines;
}

} // namespace

class HiDpiTest : public QObject {
    Q_OBJECT

private slots:
    void laidOutAsAt96Dpi();
};

void HiDpiTest::laidOutAsAt96Dpi() {
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.devicePixelRatioF(), 2.0);
    QProcess plain;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    plain.setProcessEnvironment(environment);
    plain.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(dumpGeometry)});
    QVERIFY(plain.waitForFinished(60'000));
    const QStringList at96 = QString::fromUtf8(plain.readAllStandardOutput()).split(u'\n');
    QVERIFY(at96.size() > 70); // 48 labels, 4 panels and their insides, 6 lines, 6 buttons…
    QCOMPARE(geometry(form).split(u'\n'), at96);
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The 96-dpi copy: prints the geometry and leaves.
    if (argc == 2 && std::strcmp(argv[1], dumpGeometry) == 0) {
        std::printf("%s", qPrintable(geometry(Form1())));
        return 0;
    }
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hidpi.moc"
