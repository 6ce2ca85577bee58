// End to end: the real program on its own Xvfb screen under openbox, seen through screenshots.
#include "atom_picture.h"
#include "desktop.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <memory>
#include <optional>
#include <sys/types.h>

#ifndef LUMERA_BUILD_DIR
#error "LUMERA_BUILD_DIR must name the build tree whose program is installed and tested"
#endif
#ifndef LUMERA_E2E_OUTPUT_DIR
#error "LUMERA_E2E_OUTPUT_DIR must name where the screenshots are kept"
#endif

namespace {

constexpr int screenWidth = 1024;
constexpr int screenHeight = 768;

const QString mainTitle = QStringLiteral("ЛЮМЕРА");
const QString noticeTitle = QStringLiteral("Прудупреждение");

constexpr QPoint headingCentre(544, 60); // Label1: (240, 24), 609 x 73
// Option n's centre: Picture4's inner area (506, 570), Frame1 at (8, 40), the button 17 px.
constexpr QPoint optionCentre(int leftPixels) {
    return {506 + 8 + leftPixels + 8, 570 + 40 + 48 + 8};
}
// The transition marks Line3 … Line6, two pixels wide, sampled above the bottom level line.
constexpr std::array markColumns{186, 250, 322, 394};
constexpr int markSampleRow = 390;
// Label27, the first wavelength, in Picture1's inner area at (90, 106).
constexpr QRect firstWavelength(90 + 200, 106 + 344, 40, 17);

const QColor windowBlue(141, 169, 209);
const QColor panelYellow(251, 249, 168);
const QColor pureRed(255, 0, 0);

bool isColour(const QImage& image, QPoint at, const QColor& colour) {
    return image.rect().contains(at) && image.pixelColor(at).rgb() == colour.rgb();
}

QString describe(const QColor& c) {
    return QStringLiteral("rgb(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// Everything wrong with the still parts of the window in one screenshot; empty when all is well.
QStringList layoutFaults(const QImage& shot) {
    const std::optional<atom::Area> atom = atom::findArea(shot);
    if (!atom) {
        return {QStringLiteral("no %1 x %1 white atom picture on the screen").arg(atom::innerSide)};
    }
    QStringList faults;
    const QPoint origin = atom->clientOrigin();
    // Maximised: the client starts at the screen's left edge, just under the title bar.
    if (origin.x() != 0 || origin.y() < 0 || origin.y() > 60) {
        faults << QStringLiteral("the atom picture puts the client origin at %1")
                      .arg(atom::describe(origin));
    }
    const auto expect = [&](QPoint client, const QColor& colour, const QString& what) {
        const QPoint at = origin + client;
        const QColor seen = shot.rect().contains(at) ? shot.pixelColor(at) : QColor();
        if (seen.rgb() != colour.rgb()) {
            faults << QStringLiteral("%1 at client %2: %3 expected, %4 seen")
                          .arg(what, atom::describe(client), describe(colour), describe(seen));
        }
    };
    const QString ground = QStringLiteral("window ground");
    expect({20, 300}, windowBlue, ground);
    expect({150, 60}, windowBlue, ground);
    expect({487, 300}, windowBlue, ground);
    expect({990, 300}, windowBlue, ground);
    expect({700, 562}, windowBlue, ground);
    expect({700, 730}, windowBlue, ground);
    expect({95, 111}, panelYellow, QStringLiteral("level panel"));
    expect({460, 545}, panelYellow, QStringLiteral("level panel"));
    expect({95, 575}, panelYellow, QStringLiteral("orbit panel"));
    expect({465, 690}, panelYellow, QStringLiteral("orbit panel"));
    expect({511, 575}, panelYellow, QStringLiteral("series panel"));
    expect({945, 690}, panelYellow, QStringLiteral("series panel"));

    int headingRed = 0;
    for (int y = 24; y < 24 + 73; ++y) {
        for (int x = 240; x < 240 + 609; ++x) {
            headingRed += isColour(shot, origin + QPoint(x, y), pureRed) ? 1 : 0;
        }
    }
    if (headingRed < 200) {
        faults << QStringLiteral("only %1 red pixels in the heading").arg(headingRed);
    }

    faults << atom::drawingFaults(shot, *atom);
    return faults;
}

// The state letter of /proc/<pid>/stat: 'T' once a stop signal has taken hold.
char processState(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return '?';
    }
    const QByteArray line = stat.readAll();
    const qsizetype afterName = line.lastIndexOf(')') + 2; // the name may hold spaces
    return afterName > 1 && afterName < line.size() ? line[afterName] : '?';
}

// Holds a process still for as long as it lives; it runs on again however the scope is left.
class Freeze {
public:
    explicit Freeze(qint64 pid) : m_pid(static_cast<pid_t>(pid)) { m_holds = stop(); }
    ~Freeze() { ::kill(m_pid, SIGCONT); }
    Freeze(const Freeze&) = delete;
    Freeze& operator=(const Freeze&) = delete;

    [[nodiscard]] bool holds() const { return m_holds; }

    // Lets the process run until its main thread has had about `cpuNs` on a processor (or for
    // `wallMs` at most, when the machine has no time for it) and holds it again. Returns how
    // long that thread ran in nanoseconds (no more than it was let go), or -1 when it will not
    // stop.
    qint64 runFor(qint64 cpuNs, int wallMs) {
        const std::optional<qint64> cpuBefore = desktop::cpuTimeNs(m_pid);
        QElapsedTimer clock;
        clock.start();
        ::kill(m_pid, SIGCONT);
        do {
            QThread::usleep(500);
        } while (clock.elapsed() < wallMs && cpuBefore &&
                 desktop::cpuTimeNs(m_pid).value_or(*cpuBefore) - *cpuBefore < cpuNs);
        m_holds = stop();
        const qint64 wall = clock.nsecsElapsed();
        const std::optional<qint64> cpuAfter = desktop::cpuTimeNs(m_pid);
        if (!m_holds) {
            return -1;
        }
        return cpuBefore && cpuAfter ? std::min(*cpuAfter - *cpuBefore, wall) : wall;
    }

private:
    bool stop() {
        ::kill(m_pid, SIGSTOP);
        return desktop::waitUntil([this] { return processState(m_pid) == 'T'; }, 2000, 1);
    }

    pid_t m_pid;
    bool m_holds = false;
};

// The program named by the Exec line of the menu entry installed under `prefix`, as a path.
QString menuCommand(const QString& prefix) {
    const QDir applications(prefix + QStringLiteral("/share/applications"));
    const QStringList entries = applications.entryList({QStringLiteral("*.desktop")});
    if (entries.size() != 1) {
        return QStringLiteral("(%1 menu entries installed)").arg(entries.size());
    }
    QFile entry(applications.filePath(entries.front()));
    if (!entry.open(QIODevice::ReadOnly)) {
        return {};
    }
    for (const QByteArray& line : entry.readAll().split('\n')) {
        if (line.startsWith("Exec=")) {
            const QString command = QString::fromUtf8(line.mid(5)).section(QLatin1Char(' '), 0, 0);
            return prefix + QStringLiteral("/bin/") + command;
        }
    }
    return {};
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void windowIsNamedAndMaximised();
    void screenShowsTheLayout();
    void electronCirclesOrbitOneClockwise();
    void choosingASeriesRecoloursAndMovesTheElectron_data();
    void choosingASeriesRecoloursAndMovesTheElectron();
    void headingDoubleClickShowsTheNotice();
    void closingTheWindowEndsTheProgram();

private:
    desktop::ToolResult tool(const QString& program, const QStringList& args) const {
        return m_desktop.run(program, args);
    }
    [[nodiscard]] QStringList visibleWindows() const;
    [[nodiscard]] QString windowName(const QString& id) const;
    [[nodiscard]] QSize windowSize(const QString& id) const;
    [[nodiscard]] QString findWindow(const QString& title) const;
    [[nodiscard]] QImage grab(const QString& window = {}, QRect area = {}) const {
        return window.isEmpty() ? m_desktop.screenshot(area) : m_desktop.windowShot(window);
    }
    QImage screenshot(const QString& name) const;
    void keep(const QImage& image, const QString& name) const;

    desktop::Desktop m_desktop{desktop::Desktop::Kind::XvfbOpenbox, {screenWidth, screenHeight}};
    QString m_outputDir = QStringLiteral(LUMERA_E2E_OUTPUT_DIR);
    std::unique_ptr<QProcess> m_program;
    QString m_mainWindow;
};

QStringList EndToEndTest::visibleWindows() const {
    const QString pid = QString::number(m_program->processId());
    const desktop::ToolResult found =
        tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--pid"), pid});
    return found.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString EndToEndTest::windowName(const QString& id) const {
    return tool(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id}).out;
}

QSize EndToEndTest::windowSize(const QString& id) const {
    const desktop::ToolResult shell =
        tool(QStringLiteral("xdotool"),
             {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
    QSize size;
    for (const QString& line : shell.out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("WIDTH="))) {
            size.setWidth(line.mid(6).toInt());
        } else if (line.startsWith(QLatin1String("HEIGHT="))) {
            size.setHeight(line.mid(7).toInt());
        }
    }
    return size;
}

// xdotool's own name search can miss Cyrillic titles, so names are compared here.
QString EndToEndTest::findWindow(const QString& title) const {
    for (const QString& id : visibleWindows()) {
        if (windowName(id) == title) {
            return id;
        }
    }
    return {};
}

void EndToEndTest::keep(const QImage& image, const QString& name) const {
    image.save(m_outputDir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QImage EndToEndTest::screenshot(const QString& name) const {
    QImage shot = grab();
    keep(shot, name);
    return shot;
}

void EndToEndTest::initTestCase() {
    QVERIFY(QDir().mkpath(m_outputDir));
    const QString failed = m_desktop.start();
    QVERIFY2(failed.isEmpty(), qPrintable(failed));

    // The program as a desktop starts it: installed, by the command of its menu entry.
    const QString prefix = m_desktop.scratchPath(QStringLiteral("prefix"));
    const desktop::ToolResult install =
        m_desktop.run(QStringLiteral(LUMERA_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(LUMERA_BUILD_DIR),
                       QStringLiteral("--prefix"), prefix},
                      60000);
    QVERIFY2(install.exitCode == 0, qPrintable(install.out + install.err));
    const QString program = menuCommand(prefix);
    QVERIFY2(QFileInfo(program).isExecutable(),
             qPrintable(
                 QStringLiteral("the menu entry starts %1, which is not installed").arg(program)));
    m_program = m_desktop.launch(program);
    QVERIFY2(m_program->state() == QProcess::Running, "lumera does not start");
}

void EndToEndTest::cleanupTestCase() {
    if (m_program) {
        desktop::stop(*m_program);
    }
}

void EndToEndTest::windowIsNamedAndMaximised() {
    QVERIFY2(desktop::waitUntil([&] { return !visibleWindows().isEmpty(); }, 10000),
             "lumera shows no window");
    const QStringList windows = visibleWindows();
    QCOMPARE(windows.size(), 1);
    m_mainWindow = windows.front();
    QCOMPARE(windowName(m_mainWindow), mainTitle);

    // The window manager maximises the window some time after it is mapped.
    QSize size;
    const bool maximised = desktop::waitUntil(
        [&] {
            size = windowSize(m_mainWindow);
            return size.width() == screenWidth && size.height() >= 700;
        },
        5000);
    QVERIFY2(maximised, qPrintable(QStringLiteral("window is %1 x %2, not maximised")
                                       .arg(size.width())
                                       .arg(size.height())));
    QVERIFY(size.height() < screenHeight); // openbox keeps its title bar
}

void EndToEndTest::screenShowsTheLayout() {
    QVERIFY(!m_mainWindow.isEmpty());
    // The orbits are drawn on activation, a moment after the window appears.
    QStringList faults;
    QImage shot;
    const bool clean = desktop::waitUntil(
        [&] {
            shot = screenshot(QStringLiteral("e2e-window"));
            faults =
                shot.isNull() ? QStringList{QStringLiteral("no screenshot")} : layoutFaults(shot);
            return faults.isEmpty();
        },
        8000);
    QVERIFY2(clean, qPrintable(faults.join(QStringLiteral("; "))));
    QCOMPARE(shot.size(), QSize(screenWidth, screenHeight));
    // `make screenshot` keeps this one for the README and the software-centre entry.
    const QString docs = qEnvironmentVariable("LUMERA_SCREENSHOT_DIR");
    if (!docs.isEmpty()) {
        QVERIFY(shot.save(docs + QStringLiteral("/lumera-window.png")));
    }
}

void EndToEndTest::electronCirclesOrbitOneClockwise() {
    QVERIFY(!m_mainWindow.isEmpty());
    const std::optional<atom::Area> atom = atom::findArea(grab());
    QVERIFY2(atom, "no atom picture to watch");
    for (const QFileInfo& old : QDir(m_outputDir).entryInfoList({"e2e-electron-*.png"})) {
        QFile::remove(old.filePath());
    }

    // The program stands still while each shot is taken and gets about 5 ms of processor time
    // in between. A step of the revolution takes over 0.06 ms (300000 passes of its idle loop,
    // even at 5 GHz), so in 8 ms it turns less than half a turn: two neighbouring shots show
    // which way it goes, however fast or busy the machine. Longer runs and shots without the
    // ring (it is on the screen for part of each step) link nothing.
    constexpr int maxShots = 80;
    constexpr int wantedSteps = 3;
    constexpr qint64 longestRunNs = 8'000'000;
    constexpr double samePlace = 2.0; // degrees: one step of the revolution is 1
    int bluePixels = 0;
    int clockwiseSteps = 0;
    int kept = 0;
    double previous = 0; // the angle in the shot before, when that shot saw the ring
    bool previousSeen = false;
    QStringList seenAt;
    QList<double> places; // the different angles the ring was seen at
    Freeze held(m_program->processId());
    QVERIFY2(held.holds(), "the program does not stop for the shots");
    for (int shot = 0; shot < maxShots && (clockwiseSteps < wantedSteps || places.size() < 3);
         ++shot) {
        const qint64 ranNs = held.runFor(5'000'000, 50);
        QVERIFY2(ranNs >= 0, "the program does not stop for the shot");
        const QRect atomRect(atom->topLeft, QSize(atom::innerSide, atom::innerSide));
        const QImage image = grab({}, atomRect);
        QVERIFY(!image.isNull());
        const atom::ElectronSighting seen =
            atom::findElectron(image, *atom, atom::orbitRadii.front());
        QVERIFY2(seen.fault.isEmpty(),
                 qPrintable(QStringLiteral("shot %1: %2").arg(shot).arg(seen.fault)));
        bluePixels += seen.bluePixels;
        previousSeen = previousSeen && ranNs <= longestRunNs && seen.angleDegrees.has_value();
        if (!seen.angleDegrees) {
            continue;
        }
        const double angle = *seen.angleDegrees;
        seenAt << QStringLiteral("shot %1: %2°").arg(shot).arg(angle, 0, 'f', 0);
        if (std::ranges::none_of(places,
                                 [&](double p) { return std::abs(p - angle) <= samePlace; })) {
            places << angle;
        }
        if (kept < 6) {
            keep(image.copy(atomRect), QStringLiteral("e2e-electron-%1").arg(kept++));
        }
        if (previousSeen) {
            // Signed, in (-180, 180]: positive is clockwise on the screen.
            const double turn = 180.0 - std::fmod(540.0 - (angle - previous), 360.0);
            QVERIFY2(turn > -samePlace,
                     qPrintable(QStringLiteral("the ring turns anticlockwise: %1")
                                    .arg(seenAt.join(QStringLiteral(", ")))));
            clockwiseSteps += turn > samePlace ? 1 : 0;
        }
        previous = angle;
        previousSeen = true;
    }
    QVERIFY2(bluePixels > 0, "no blue pixel in the atom picture in any shot: no electron");
    qInfo().noquote() << "electron seen at" << seenAt.join(QStringLiteral(", "));
    QVERIFY2(places.size() >= 3 && clockwiseSteps >= wantedSteps,
             qPrintable(QStringLiteral("the ring does not go round: %1")
                            .arg(seenAt.join(QStringLiteral(", ")))));
}

void EndToEndTest::choosingASeriesRecoloursAndMovesTheElectron_data() {
    QTest::addColumn<int>("optionLeft");
    QTest::addColumn<int>("orbit");
    QTest::addColumn<QList<QColor>>("marks");
    QTest::addColumn<int>("wavelengthDigits");
    QTest::newRow("level 2") << 96 << 6 << QList<QColor>{Qt::red, Qt::green, Qt::cyan, Qt::blue}
                             << 3;
    const QColor magenta(255, 0, 255);
    QTest::newRow("level 6") << 392 << 14 << QList<QColor>{magenta, magenta, magenta, magenta} << 5;
}

void EndToEndTest::choosingASeriesRecoloursAndMovesTheElectron() {
    QFETCH(int, optionLeft);
    QFETCH(int, orbit);
    QFETCH(QList<QColor>, marks);
    QFETCH(int, wavelengthDigits);
    QVERIFY(!m_mainWindow.isEmpty());
    const std::optional<atom::Area> atom = atom::findArea(grab());
    QVERIFY2(atom, "no atom picture");
    const QPoint origin = atom->clientOrigin();
    const QPoint option = optionCentre(optionLeft);
    const desktop::ToolResult clicked =
        tool(QStringLiteral("xdotool"),
             {QStringLiteral("mousemove"), QStringLiteral("--window"), m_mainWindow,
              QString::number(option.x()), QString::number(option.y()), QStringLiteral("click"),
              QStringLiteral("1")});
    QVERIFY2(clicked.exitCode == 0, qPrintable(clicked.err));

    // The click is handled when the running revolution ends.
    QImage shot;
    const auto marksShown = [&] {
        shot = grab();
        for (int i = 0; i < 4; ++i) {
            const QPoint at =
                origin + QPoint(markColumns[static_cast<std::size_t>(i)], markSampleRow);
            if (!isColour(shot, at, marks[i])) {
                return false;
            }
        }
        return true;
    };
    QVERIFY2(
        desktop::waitUntil(marksShown, 5000),
        qPrintable(
            QStringLiteral("marks at row %1 are %2, %3, %4, %5")
                .arg(markSampleRow)
                .arg(describe(shot.pixelColor(origin + QPoint(markColumns[0], markSampleRow))),
                     describe(shot.pixelColor(origin + QPoint(markColumns[1], markSampleRow))),
                     describe(shot.pixelColor(origin + QPoint(markColumns[2], markSampleRow))),
                     describe(shot.pixelColor(origin + QPoint(markColumns[3], markSampleRow))))));
    keep(shot, QStringLiteral("e2e-series-level-%1").arg(orbit / 2 - 1));

    // Every digit of the first wavelength is on the screen: separate groups of inked columns.
    const QRect digits = firstWavelength.translated(origin);
    int groups = 0;
    bool inGroup = false;
    for (int x = digits.left(); x <= digits.right() + 1; ++x) {
        bool ink = false;
        for (int y = digits.top(); y <= digits.bottom() && x <= digits.right(); ++y) {
            ink = ink || atom::isInk(shot.pixel(x, y));
        }
        groups += ink && !inGroup ? 1 : 0;
        inGroup = ink;
    }
    QCOMPARE(groups, wavelengthDigits);

    // The electron now circles the chosen orbit: every blue pixel lies on it.
    int sightings = 0;
    const double radius = orbit * atom::pixelsPerUnit;
    for (int attempt = 0; attempt < 60 && sightings < 2; ++attempt) {
        const QRect area(atom->topLeft, QSize(atom::innerSide, atom::innerSide));
        const QImage picture = grab({}, area);
        QVERIFY(!picture.isNull());
        bool seen = false;
        const QPoint centre = atom->centre();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (!atom::isElectronBlue(picture.pixel(x, y))) {
                    continue;
                }
                const double d = std::hypot(x - centre.x(), y - centre.y());
                QVERIFY2(std::abs(d - radius) < 0.3 * atom::pixelsPerUnit + 3,
                         qPrintable(QStringLiteral("blue pixel %1 px from the centre, orbit at %2")
                                        .arg(d)
                                        .arg(radius)));
                seen = true;
            }
        }
        sightings += seen ? 1 : 0;
    }
    QVERIFY2(sightings > 0, "no electron seen on the chosen orbit");
}

void EndToEndTest::headingDoubleClickShowsTheNotice() {
    QVERIFY(!m_mainWindow.isEmpty());
    QCOMPARE(findWindow(noticeTitle), QString());
    const desktop::ToolResult clicked =
        tool(QStringLiteral("xdotool"),
             {QStringLiteral("mousemove"), QStringLiteral("--window"), m_mainWindow,
              QString::number(headingCentre.x()), QString::number(headingCentre.y()),
              QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
              QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
    QVERIFY2(clicked.exitCode == 0, qPrintable(clicked.err));

    QString notice;
    QVERIFY2(
        desktop::waitUntil([&] { return !(notice = findWindow(noticeTitle)).isEmpty(); }, 5000),
        "no notice after a double-click on the heading");
    // The box's own pixels: a root screenshot shows Qt dialogs black under Xvfb.
    keep(grab(notice), QStringLiteral("e2e-notice"));

    QCOMPARE(tool(QStringLiteral("xdotool"),
                  {QStringLiteral("windowactivate"), QStringLiteral("--sync"), notice})
                 .exitCode,
             0);
    QCOMPARE(
        tool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")}).exitCode,
        0);
    QVERIFY2(desktop::waitUntil([&] { return findWindow(noticeTitle).isEmpty(); }, 5000),
             "Enter does not close the notice");
    // One double-click, one notice: none may follow the first.
    QTest::qWait(500);
    QCOMPARE(findWindow(noticeTitle), QString());
    QCOMPARE(m_program->state(), QProcess::Running);
}

void EndToEndTest::closingTheWindowEndsTheProgram() {
    QVERIFY(!m_mainWindow.isEmpty());
    QCOMPARE(m_program->state(), QProcess::Running);
    // Alt+F4 is openbox's close: the window gets the same request as from its close button.
    QCOMPARE(tool(QStringLiteral("xdotool"),
                  {QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_mainWindow})
                 .exitCode,
             0);
    QCOMPARE(
        tool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F4")}).exitCode,
        0);
    QVERIFY2(m_program->waitForFinished(5000), "lumera is still running after its window closed");
    QCOMPARE(m_program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program->exitCode(), 0);
}

QTEST_GUILESS_MAIN(EndToEndTest)
#include "test_e2e.moc"
