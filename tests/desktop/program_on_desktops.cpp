// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "program_on_desktops.h"

#include "series/series_table.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Some of the 25 lines of the window as a screen reader walks it before any choice, in their
// order: depth, role, name — description. The whole walk, in process: test_accessibility.
const QStringList readingOrder{
    u"0 frame: ЛЮМЕРА — Модель атома водорода по Бору"_s,
    u"1 panel: Схема энергетических уровней — Уровни энергии, переходы серии и длины волн её линий"_s,
    u"2 label: λ, 1 - 2 = %1 нм"_s.arg(series::seriesTable().front().wavelengths.front()),
    u"1 image: Атом водорода — Ядро, шесть орбит и электрон на орбите 1"_s,
    u"2 radio button: Орбита 6 — Серия Хэмфри: переходы на уровень 6"_s,
};

} // namespace

const desktop::DesktopType&
firstDesktop(const std::function<bool(const desktop::DesktopType&)>& property) {
    return *std::ranges::find_if(desktop::knownDesktops(), [&](const desktop::DesktopType& type) {
        return !property || property(type);
    });
}

void ProgramOnDesktops::addDesktopRows() {
    QTest::addColumn<QString>("desktopName");
    QTest::addColumn<QSize>("screenSize");
    const auto addRow = [](const desktop::DesktopType& type, const QString& size, QSize screen) {
        const QString name =
            type.title + size + (type.showsScreen() ? u""_s : u", no screenshot"_s);
        QTest::newRow(qPrintable(name)) << type.name << screen;
    };
    // The design's own size, on the default desktop; the README's picture is taken here.
    const QSize design(1024, 768);
    addRow(firstDesktop(), u", 1024x768"_s, design);
    if (sanitized) {
        // The sanitizer build's pass is about memory: each platform plugin once, as designed.
        addRow(firstDesktop(waylandAlone), u", 1024x768"_s, design);
        return;
    }
    for (const desktop::DesktopType& type : desktop::knownDesktops()) {
        addRow(type, {}, QSize(1920, 1080));
    }
}

void ProgramOnDesktops::initTestCase() {
    // The program as a desktop starts it: installed, by the command of its menu entry.
    QProcess install;
    install.start(QStringLiteral(LUMERA_CMAKE),
                  {"--install", LUMERA_BUILD_DIR, "--prefix", m_prefix.path()});
    QVERIFY(install.waitForFinished(60000) && install.exitCode() == 0);
    const QDir menu(m_prefix.filePath(u"share/applications"_s));
    const QStringList entries = menu.entryList({u"*.desktop"_s});
    QCOMPARE(entries.size(), 1);
    const QString exec = QSettings(menu.filePath(entries.front()), QSettings::IniFormat)
                             .value(u"Desktop Entry/Exec"_s)
                             .toString();
    m_program = m_prefix.filePath(u"bin/"_s + exec.section(u' ', 0, 0));
    QVERIFY2(QFileInfo(m_program).isExecutable(), "the menu entry starts no installed program");
}

// The program in `screen`, once it has loaded its platform plugin.
std::unique_ptr<QProcess> ProgramOnDesktops::start(const Desktop& screen, QProcessEnvironment extra,
                                                   QProcess::ProcessChannelMode channels,
                                                   const QStringList& unset) const {
    // In the sanitizer build, a leak of a GL driver unloaded before exit is traced whole, back to
    // the system library that its suppression names.
    if (sanitized && !extra.contains(u"LSAN_OPTIONS"_s)) {
        extra.insert(u"LSAN_OPTIONS"_s,
                     qEnvironmentVariable("LSAN_OPTIONS") + u":fast_unwind_on_malloc=0"_s);
    }
    // NAME=VALUE pairs the soak script adds (its heap profile's preloaded library).
    for (const QString& pair :
         qEnvironmentVariable("LUMERA_SOAK_ENV").split(u' ', Qt::SkipEmptyParts)) {
        extra.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    }
    desktop::Launch how;
    how.extra = extra;
    how.unset = unset;
    how.channels = channels;
    std::unique_ptr<QProcess> program = screen.launch(m_program, {}, how);
    const qint64 pid = program->processId();
    desktop::waitUntil([&] { return !loadedPlatform(pid).isEmpty(); }, 10000);
    return program;
}

std::unique_ptr<QProcess> ProgramOnDesktops::startWithReader(Desktop& screen) const {
    for (const QString& failed : {screen.start(), screen.startAccessibilityBus()}) {
        if (!failed.isEmpty()) {
            QTest::qFail(qPrintable(failed), __FILE__, __LINE__);
            return nullptr;
        }
    }
    QProcessEnvironment extra;
    extra.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
    extra.insert(u"LANG"_s, u"ru_RU.UTF-8"_s); // as a teacher runs it
    return start(screen, extra, QProcess::ForwardedErrorChannel);
}

// The design filling the window, once the window manager has given it a size other than
// `before`, as the screen shows it (where it shows anybody).
std::optional<SeenLayout> ProgramOnDesktops::checkLayout(const Desktop& screen, qint64 pid,
                                                         QSize before) {
    if (!screen.showsScreen()) {
        return std::nullopt;
    }
    std::optional<SeenLayout> seen;
    desktop::waitUntil(
        [&] {
            return (seen = seenLayout(screen.screenshot(pid))) && seen->client.size() != before &&
                   seen->fills();
        },
        30000, 200); // a compositor busy beside others shows a new size late
    const QString name = u"%1%2"_s.arg(QString::fromUtf8(QTest::currentDataTag()),
                                       before.isEmpty() ? u""_s : u" made smaller"_s);
    screen.screenshot(pid).save(QStringLiteral(LUMERA_BUILD_DIR "/desktop-%1.png")
                                    .arg(QString(name).remove(u',').replace(u' ', u'-')));
    if (!seen || seen->client.size() == before || !seen->fills()) {
        QTest::qFail(!seen ? "no window with the atom drawn whole on the screen"
                     : seen->client.size() == before
                         ? "the window keeps its size"
                         : "the design does not fill the window, centred",
                     __FILE__, __LINE__);
        return std::nullopt;
    }
    qInfo("client %dx%d, zoom %.3f, %.1f px off centre across, %.1f down", seen->client.width(),
          seen->client.height(), seen->zoom(), seen->offCentre().x(), seen->offCentre().y());
    return seen;
}

// Through the reader's bus: the window walked in reading order, orbit 6 pressed and its phrases
// told, the electron on orbit 6 and all four transition marks magenta.
void ProgramOnDesktops::chooseOrbit6(const Desktop& screen, qint64 pid,
                                     const std::optional<SeenLayout>& seen) {
    const auto walk = [&] {
        return screen.run(QStringLiteral(LUMERA_ATSPI), {QString::number(pid)}, 30000).out;
    };
    const QStringList walked = walk().split(u'\n');
    QCOMPARE(walked.size(), 25);
    for (qsizetype line = 0, at = 0; line < readingOrder.size(); ++line) {
        at = walked.indexOf(readingOrder[line], at);
        QVERIFY2(at >= 0, qPrintable(readingOrder[line]));
    }
    const desktop::ToolResult pressed =
        screen.run(QStringLiteral(LUMERA_ATSPI), {QString::number(pid), u"Орбита 6"_s}, 30000);
    QVERIFY2(pressed.exitCode == 0, qPrintable(pressed.err));
    // A reader following a phrase is told its new wording, not only the bare figure.
    for (const QString& told : {u"λ, 6 - 7 = 12363 нм"_s, u"λ, 6 - 10 = 5125 нм"_s}) {
        QVERIFY2(pressed.out.split(u'\n').contains(told), qPrintable(pressed.out));
    }
    // And told as fast as it asks: each of its questions is answered while the electron waits,
    // not at the electron's next step (7.5 ms on orbit 6, some 500 ms for the whole choice).
    QList<int> toldMs;
    for (const QString& line : pressed.err.split(u'\n')) {
        bool timed = false;
        const int ms = line.section(u' ', 0, 0).toInt(&timed);
        if (timed) {
            toldMs << ms;
        }
    }
    // The sanitizer build takes several times as long over each answer.
    const int spreadMs = sanitized ? 1000 : 300;
    QVERIFY2(toldMs.size() >= 2 && toldMs.back() - toldMs.front() < spreadMs,
             qPrintable(pressed.err));
    QVERIFY(
        walk().contains(u"1 image: Атом водорода — Ядро, шесть орбит и электрон на орбите 6"_s));
    if (!seen) {
        return;
    }
    // The revolution that was running when the press came ends on orbit 1 first.
    const Sightings electron = watch(screen, pid, seen->atom, 14, 40, 0, 2);
    QVERIFY2(electron.places.size() >= 2 && electron.faults.size() <= 2,
             qPrintable(describe(electron)));
    // The marks sampled midway down the shortest, at their places in the design times the zoom,
    // give or take the rounding of the two.
    const QImage shot = screen.screenshot(pid);
    for (const QPointF& mark : design().marks) {
        const QPoint at = onScreen(seen->atom, mark);
        bool magenta = false;
        for (int dx = -3; dx <= 3; ++dx) {
            magenta = magenta || shot.pixel(at.x() + dx, at.y()) == qRgb(255, 0, 255);
        }
        QVERIFY2(magenta, qPrintable(u"mark at x %1"_s.arg(mark.x())));
    }
}

// On X: the window titled, as wide as the screen it is maximised on, and the notice from a
// double-click on the heading, closed with Enter.
void ProgramOnDesktops::xWindowAndNotice(const Desktop& screen, qint64 pid,
                                         const atom::Area& area) {
    const auto xdotool = [&](const QStringList& args) { return screen.run(u"xdotool"_s, args); };
    const auto windowTitled = [&](const QString& title) {
        return xWindowTitled(screen, title, pid);
    };
    const QString window = windowTitled(u"ЛЮМЕРА"_s);
    QVERIFY2(!window.isEmpty(), "no window titled ЛЮМЕРА");
    const QString geometry = xdotool({"getwindowgeometry", "--shell", window}).out;
    QCOMPARE(geometry.section(u"WIDTH="_s, 1).section(u'\n', 0, 0).toInt(),
             screen.screenshot().width());
    // The heading, Label1, in the middle.
    const QPoint heading = onScreen(area, design().heading);
    QCOMPARE(xdotool({"mousemove", QString::number(heading.x()), QString::number(heading.y()),
                      "click", "--repeat", "2", "--delay", "80", "1"})
                 .exitCode,
             0);
    const QString notice = u"Прудупреждение"_s;
    QVERIFY2(desktop::waitUntil([&] { return !windowTitled(notice).isEmpty(); }, 5000),
             "no notice after a double-click on the heading");
    xdotool({"windowactivate", "--sync", windowTitled(notice)});
    xdotool({"key", "Return"});
    QVERIFY2(desktop::waitUntil([&] { return windowTitled(notice).isEmpty(); }, 5000),
             "Enter does not close the notice");
    xdotool({"windowactivate", "--sync", window});
}
