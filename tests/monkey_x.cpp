// The random-input run against the real program: its own Xvfb screen under openbox, the events
// sent with xdotool, the window read back from screenshots. `make monkey-x` runs it:
//
//   monkey_x PROGRAM
//
// LUMERA_MONKEY_EVENTS (10000 unless set) and LUMERA_MONKEY_START work as in test_monkey. It first
// chooses every series once to learn how the fields and the option buttons look for each, then
// sends random bursts and after each one checks the screen: one option selected, the fields of its
// column, any electron alone and on the selected orbit, the program running, answering and silent
// on standard error. Exits 0 when every check held, 1 with the broken rule and the last events
// otherwise.
#include "host/units.h"
#include "ui/form1_description.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sys/prctl.h>

namespace {

constexpr int screenWidth = 1280;
constexpr int screenHeight = 1024;
const QString mainTitle = QStringLiteral("^ЛЮМЕРА$");
const QString noticeTitle = QStringLiteral("^Прудупреждение$");
constexpr std::array<const char*, 21> writtenFields{
    "Label27", "Label28", "Label29", "Label7",  "Label12", "Label16", "Label17",
    "Label30", "Label31", "Label32", "Label33", "Label34", "Label35", "Label36",
    "Label37", "Label38", "Label40", "Label41", "Label42", "Label43", "Label44"};
constexpr std::array<const char*, 4> marks{"Line3", "Line4", "Line5", "Line6"};
constexpr int optionCount = 6;

// Where a control lies in the window's client area, from the window description.
QRect placed(const char* name) {
    const ui::FormSpec& form = ui::form1Description();
    const ui::ControlSpec* row = ui::findControl(form, name);
    QRect rect;
    if (row->kind == ui::Kind::Line) {
        const QPoint from(host::twipsToPixels(row->x1), host::twipsToPixels(row->y1));
        const QPoint to(host::twipsToPixels(row->x2), host::twipsToPixels(row->y2));
        rect =
            QRect(from, to).normalized().adjusted(0, 0, row->borderWidth - 1, row->borderWidth - 1);
    } else {
        rect = host::twipsRect(row->left, row->top, row->width, row->height);
    }
    for (const char* in = row->container; *in != '\0';) {
        const ui::ControlSpec* box = ui::findControl(form, in);
        rect.translate(host::twipsRect(box->left, box->top, 0, 0).topLeft());
        if (box->kind == ui::Kind::PictureBox) {
            rect.translate(2, 2); // the picture box's sunken border
        }
        in = box->container;
    }
    return rect;
}

QRect atomPicture() {
    return placed("Picture3").adjusted(2, 2, -2, -2);
}

struct ToolResult {
    int status = -1;
    QByteArray out;
};

// Xvfb, openbox and the program, each ended with this process.
class Desk {
public:
    Desk() = default;
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;
    ~Desk() {
        for (auto* process : {m_program.get(), m_openbox.get(), m_xvfb.get()}) {
            if (process != nullptr && process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(3000);
            }
        }
    }

    // Empty when all three are up, else why not.
    QString start(const QString& program) {
        m_xvfb = child();
        m_xvfb->setStandardErrorFile(m_scratch.filePath(QStringLiteral("Xvfb.log")));
        m_xvfb->start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"),
                       QStringLiteral("%1x%2x24").arg(screenWidth).arg(screenHeight),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray number;
        QElapsedTimer clock;
        clock.start();
        while (!number.contains('\n') && clock.elapsed() < 10000 &&
               m_xvfb->state() != QProcess::NotRunning) {
            m_xvfb->waitForReadyRead(100);
            number += m_xvfb->readAllStandardOutput();
        }
        if (!number.contains('\n')) {
            return QStringLiteral("Xvfb never says which display it took");
        }
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("DISPLAY"),
                     QLatin1Char(':') + QString::fromLatin1(number.trimmed()));
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // Nobody's own openbox settings may change what the run meets.
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"),
                     m_scratch.filePath(QStringLiteral("config")));

        if (!writeOpenboxSettings()) {
            return QStringLiteral("cannot write the openbox settings");
        }
        m_openbox = child();
        m_openbox->setProcessChannelMode(QProcess::ForwardedChannels);
        m_openbox->start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        if (!waitFor([&] { return run({"search", "--classname", "openbox"}).status == 0; })) {
            return QStringLiteral("openbox never manages the screen");
        }
        m_program = child();
        m_program->start(program, {});
        if (!m_program->waitForStarted(5000)) {
            return QStringLiteral("the program does not start");
        }
        return {};
    }

    ToolResult run(std::initializer_list<const char*> args, int timeoutMs = 20000) {
        QStringList list;
        for (const char* arg : args) {
            list << QString::fromUtf8(arg);
        }
        return xdotool(list, timeoutMs);
    }

    ToolResult xdotool(const QStringList& args, int timeoutMs = 60000) {
        return tool(QStringLiteral("xdotool"), args, timeoutMs);
    }

    ToolResult tool(const QString& name, const QStringList& args, int timeoutMs) {
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.start(name, args);
        ToolResult result;
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = process.readAllStandardOutput();
        return result;
    }

    QImage screenshot() {
        const ToolResult shot = tool(QStringLiteral("import"),
                                     {QStringLiteral("-silent"), QStringLiteral("-window"),
                                      QStringLiteral("root"), QStringLiteral("ppm:-")},
                                     20000);
        return QImage::fromData(shot.out, "PPM").convertToFormat(QImage::Format_RGB32);
    }

    QProcess& program() { return *m_program; }

    template <class Condition> static bool waitFor(Condition done, int timeoutMs = 10000) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > timeoutMs) {
                return false;
            }
            QThread::msleep(100);
        }
        return true;
    }

private:
    // Only what a user of this window needs: focus on click and maximise on a double-click of
    // the title bar. No menus and no keys of openbox's own: a right-click on the desktop must not
    // open a menu whose items a random click could pick (one ends openbox).
    bool writeOpenboxSettings() {
        const QString dir = m_scratch.filePath(QStringLiteral("config/openbox"));
        if (!QDir().mkpath(dir)) {
            return false;
        }
        QFile rc(dir + QStringLiteral("/rc.xml"));
        if (!rc.open(QIODevice::WriteOnly)) {
            return false;
        }
        rc.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <desktops><number>1</number></desktops>
  <keyboard/>
  <mouse>
    <doubleClickTime>500</doubleClickTime>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="DoubleClick"><action name="ToggleMaximize"/></mousebind>
    </context>
  </mouse>
</openbox_config>
)");
        return true;
    }

    std::unique_ptr<QProcess> child() {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(m_env);
        // Whatever way this run ends, the X server and the program end with it.
        process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        return process;
    }

    QTemporaryDir m_scratch;
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_openbox;
    std::unique_ptr<QProcess> m_program;
};

// The atom picture's white drawing area: the only white square of its size on the screen.
std::optional<QPoint> findAtomPicture(const QImage& shot) {
    const int side = atomPicture().width();
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y + side <= shot.height(); ++y) {
        int run = 0;
        for (int x = 0; x < shot.width(); ++x) {
            run = shot.pixel(x, y) == white ? run + 1 : 0;
            const int left = x - side + 1;
            const bool ends = x + 1 == shot.width() || shot.pixel(x + 1, y) != white;
            if (run == side && ends && shot.pixel(left, y + side - 1) == white &&
                (y + side == shot.height() || shot.pixel(left, y + side) != white) &&
                (y == 0 || shot.pixel(left, y - 1) != white)) {
                return QPoint(left, y);
            }
        }
    }
    return std::nullopt;
}

bool electronBlue(QRgb pixel) {
    return qBlue(pixel) >= 200 && qRed(pixel) <= 60 && qGreen(pixel) <= 60;
}

// The dark dot of a selected option button; hover and focus only tint its ring.
int darkPixels(const QImage& button) {
    int dark = 0;
    for (int y = 0; y < button.height(); ++y) {
        for (int x = 0; x < button.width(); ++x) {
            dark += qGray(button.pixel(x, y)) < 80 ? 1 : 0;
        }
    }
    return dark;
}

class MonkeyX {
public:
    MonkeyX(Desk& desk, quint64 start, int events)
        : m_desk(desk), m_random(start), m_target(events) {
        for (const ui::ControlSpec& row : ui::form1Description().controls) {
            if (row.kind != ui::Kind::Timer) {
                m_targets.push_back(row.name);
            }
        }
    }

    // Empty when every check held.
    QString run() {
        if (QString why = learn(); !why.isEmpty()) {
            return QStringLiteral("learning the window: ") + why;
        }
        while (m_done < m_target) {
            burst();
            if (QString why = check(); !why.isEmpty()) {
                return QStringLiteral("after event %1: %2").arg(m_done).arg(why);
            }
            ++m_checks;
        }
        return {};
    }

    [[nodiscard]] int eventsDone() const { return m_done; }
    [[nodiscard]] int checks() const { return m_checks; }
    [[nodiscard]] int electronsSeen() const { return m_electronsSeen; }
    [[nodiscard]] QStringList recent() const { return {m_recent.begin(), m_recent.end()}; }
    [[nodiscard]] const QImage& lastScreenshot() const { return m_lastShot; }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    // The client area's corner on the screen, and its size.
    std::optional<QRect> client() {
        const ToolResult found =
            m_desk.xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                            QStringLiteral("--name"), mainTitle});
        if (found.status != 0) {
            return std::nullopt;
        }
        m_window = QString::fromLatin1(found.out.split('\n').value(0));
        const ToolResult geometry = m_desk.xdotool(
            {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), m_window});
        std::map<QString, int> values;
        for (const QByteArray& line : geometry.out.split('\n')) {
            const QList<QByteArray> pair = line.split('=');
            if (pair.size() == 2) {
                values[QString::fromLatin1(pair[0])] = pair[1].toInt();
            }
        }
        // xdotool counts openbox's decoration twice for a reparented window: corrected by what
        // the first screenshot showed.
        return QRect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"])
            .translated(m_reportedOffset);
    }

    QString programTrouble() {
        if (m_desk.program().state() != QProcess::Running) {
            return QStringLiteral("the program has ended, status %1")
                .arg(m_desk.program().exitCode());
        }
        m_stderr += m_desk.program().readAllStandardError();
        if (m_stderr.contains("lumera:")) {
            return QStringLiteral("the program reported: ") + QString::fromUtf8(m_stderr).trimmed();
        }
        return {};
    }

    // Screenshots until the fields and the buttons hold still: the program has caught up.
    std::optional<QImage> settled(const QRect& client) {
        QList<QImage> previous;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000) {
            const QImage shot = m_desk.screenshot();
            const QList<QImage> now = fieldsAndButtons(shot, client);
            if (!previous.isEmpty() && now == previous) {
                return shot;
            }
            previous = now;
            // Longer than the slowest revolution: input still queued would show by then.
            QThread::msleep(700);
        }
        return std::nullopt;
    }

    static QImage crop(const QImage& shot, const QRect& client, const char* name) {
        return shot.copy(placed(name).translated(client.topLeft()));
    }

    // Everything a choice changes, control by control (the electron moves in between).
    static QList<QImage> fieldsAndButtons(const QImage& shot, const QRect& client) {
        QList<QImage> crops;
        for (const char* name : writtenFields) {
            crops << crop(shot, client, name);
        }
        for (const char* name : marks) {
            crops << crop(shot, client, name);
        }
        for (int n = 1; n <= optionCount; ++n) {
            crops << crop(shot, client, qPrintable(QStringLiteral("Option%1").arg(n)));
        }
        return crops;
    }

    void clickOption(const QRect& client, int level) {
        const QPoint at =
            client.topLeft() + placed(qPrintable(QStringLiteral("Option%1").arg(level))).center();
        m_desk.xdotool({QStringLiteral("mousemove"), QString::number(at.x()),
                        QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1"),
                        QStringLiteral("mousemove"), QString::number(client.x() + 20),
                        QString::number(client.y() + 300)});
    }

    // Chooses every series once and keeps how the window shows each.
    QString learn() {
        if (!Desk::waitFor([&] { return client().has_value(); }, 20000)) {
            return QStringLiteral("no window named ЛЮМЕРА");
        }
        m_maximised = *client();
        const std::optional<QPoint> atom = findAtomPicture(m_desk.screenshot());
        if (!atom) {
            return QStringLiteral("no atom picture on the screen");
        }
        m_reportedOffset = *atom - atomPicture().topLeft() - m_maximised.topLeft();
        m_maximised.translate(m_reportedOffset);
        std::map<int, std::map<int, QImage>> buttons; // [selected level][button] = its look
        QImage before = crop(m_desk.screenshot(), m_maximised, "Label27");
        for (int level : {2, 3, 4, 5, 6, 1}) {
            clickOption(m_maximised, level);
            // Every level has its own first wavelength: wait until the new one shows.
            if (!Desk::waitFor(
                    [&] { return crop(m_desk.screenshot(), m_maximised, "Label27") != before; },
                    20000)) {
                return QStringLiteral("choosing level %1 changes nothing").arg(level);
            }
            const auto shot = settled(m_maximised);
            if (!shot) {
                return QStringLiteral("the window never settles after choosing level %1")
                    .arg(level);
            }
            for (const char* name : writtenFields) {
                m_columns[level][name] = crop(*shot, m_maximised, name);
            }
            before = m_columns[level]["Label27"];
            for (const char* name : marks) {
                m_columns[level][name] = crop(*shot, m_maximised, name);
            }
            for (int n = 1; n <= optionCount; ++n) {
                buttons[level][n] =
                    crop(*shot, m_maximised, qPrintable(QStringLiteral("Option%1").arg(n)));
            }
        }
        for (int n = 1; n <= optionCount; ++n) {
            const int dot = darkPixels(buttons[n][n]);
            if (dot == 0 || darkPixels(buttons[n == 1 ? 2 : 1][n]) != 0) {
                return QStringLiteral("Option%1 shows no dot of its own when selected").arg(n);
            }
            m_dot = m_dot == 0 ? dot : std::min(m_dot, dot);
        }
        for (int level = 1; level < optionCount; ++level) {
            if (m_columns[level]["Label27"] == m_columns[level + 1]["Label27"]) {
                return QStringLiteral("levels %1 and %2 show the same wavelength")
                    .arg(level)
                    .arg(level + 1);
            }
        }
        return {};
    }

    void note(const QString& what) {
        m_recent.push_back(QStringLiteral("%1: %2").arg(m_done).arg(what));
        if (m_recent.size() > 40) {
            m_recent.pop_front();
        }
        ++m_done;
    }

    void burst() {
        const QRect now = client().value_or(m_maximised);
        const int count = std::min(20 + pick(81), m_target - m_done);
        QStringList args;
        static constexpr std::array<const char*, 10> keys{
            "Tab",  "shift+Tab", "Left",   "Right",    "Up",
            "Down", "space",     "Return", "KP_Enter", "Escape"};
        for (int i = 0; i < count; ++i) {
            const int roll = pick(100);
            if (roll < 43) {
                const bool twice = roll >= 35;
                const char* name = twice && pick(3) == 0
                                       ? "Label1"
                                       : m_targets[static_cast<std::size_t>(
                                             pick(static_cast<int>(m_targets.size())))];
                const QRect area = placed(name) & QRect(QPoint(0, 0), now.size());
                const QRect where = area.isEmpty() ? QRect(QPoint(0, 0), now.size()) : area;
                const QPoint at =
                    now.topLeft() + where.topLeft() +
                    QPoint(pick(std::max(1, where.width())), pick(std::max(1, where.height())));
                const QString button = pick(10) == 0 ? QStringLiteral("3") : QStringLiteral("1");
                args << QStringLiteral("mousemove") << QString::number(at.x())
                     << QString::number(at.y()) << QStringLiteral("click");
                if (twice) {
                    args << QStringLiteral("--repeat") << QStringLiteral("2")
                         << QStringLiteral("--delay") << QStringLiteral("60");
                }
                args << button;
                note(QStringLiteral("%1 %2 on %3")
                         .arg(twice ? QStringLiteral("double-click") : QStringLiteral("click"),
                              button, QString::fromLatin1(name)));
            } else if (roll < 78) {
                const char* key = keys.at(static_cast<std::size_t>(pick(keys.size())));
                args << QStringLiteral("key") << QString::fromLatin1(key);
                note(QStringLiteral("key %1").arg(QString::fromLatin1(key)));
            } else if (roll < 84) {
                // openbox maximises and restores on a double-click of the title bar.
                args << QStringLiteral("mousemove") << QString::number(now.x() + 200)
                     << QString::number(now.y() - 8) << QStringLiteral("click")
                     << QStringLiteral("--repeat") << QStringLiteral("2")
                     << QStringLiteral("--delay") << QStringLiteral("60") << QStringLiteral("1");
                note(QStringLiteral("double-click on the title bar"));
            } else if (roll < 88) {
                const int width = 300 + pick(900);
                const int height = 250 + pick(700);
                args << QStringLiteral("windowsize") << m_window << QString::number(width)
                     << QString::number(height);
                note(QStringLiteral("resize to %1 x %2").arg(width).arg(height));
            } else if (roll < 91) {
                args << QStringLiteral("windowminimize") << m_window;
                note(QStringLiteral("minimise"));
            } else if (roll < 94) {
                args << QStringLiteral("windowactivate") << m_window;
                note(QStringLiteral("restore"));
            } else {
                const int ms = 10 + pick(300);
                args << QStringLiteral("sleep") << QString::number(ms / 1000.0, 'f', 3);
                note(QStringLiteral("wait %1 ms").arg(ms));
            }
        }
        m_desk.xdotool(args);
    }

    // Closes the notice and brings the window back maximised, so the checks can see everything.
    QString tidy() {
        // Input still queued behind a revolution is handled by then, the notice included.
        QThread::msleep(1500);
        int clean = 0;
        for (int tries = 0; tries < 20 && clean < 2; ++tries) {
            const ToolResult notice =
                m_desk.xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--name"), noticeTitle});
            const std::optional<QRect> now = client();
            if (notice.status == 0) {
                clean = 0;
                const QString box = QString::fromLatin1(notice.out.split('\n').value(0));
                m_desk.xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), box,
                                QStringLiteral("key"), QStringLiteral("Escape")});
            } else if (!now || *now != m_maximised) {
                clean = 0;
                m_desk.xdotool(
                    {QStringLiteral("windowactivate"), QStringLiteral("--sync"), m_window});
                if (now) {
                    m_desk.xdotool({QStringLiteral("mousemove"), QString::number(now->x() + 200),
                                    QString::number(now->y() - 8), QStringLiteral("click"),
                                    QStringLiteral("--repeat"), QStringLiteral("2"),
                                    QStringLiteral("--delay"), QStringLiteral("60"),
                                    QStringLiteral("1")});
                }
            } else {
                ++clean;
            }
            QThread::msleep(700);
        }
        return clean >= 2 ? QString()
                          : QStringLiteral("neither the notice closes nor the window maximises");
    }

    QString check() {
        if (QString why = programTrouble(); !why.isEmpty()) {
            return why;
        }
        if (QString why = tidy(); !why.isEmpty()) {
            return why;
        }
        const QRect at = m_maximised;
        m_desk.xdotool({QStringLiteral("mousemove"), QString::number(at.x() + 20),
                        QString::number(at.y() + 300)});
        const auto shot = settled(at);
        if (!shot) {
            return QStringLiteral("the window never settles: the program does not answer");
        }
        m_lastShot = *shot;
        QList<int> selected;
        for (int n = 1; n <= optionCount; ++n) {
            const int dark =
                darkPixels(crop(*shot, at, qPrintable(QStringLiteral("Option%1").arg(n))));
            if (dark * 2 >= m_dot) {
                selected << n;
            }
        }
        if (selected.size() != 1) {
            return QStringLiteral("%1 options selected").arg(selected.size());
        }
        const int level = selected.front();
        QStringList wrong;
        for (const auto& [name, look] : m_columns[level]) {
            if (crop(*shot, at, qPrintable(name)) != look) {
                wrong << name;
            }
        }
        if (!wrong.isEmpty()) {
            return QStringLiteral("with Option%1 selected, %2 show another column")
                .arg(level)
                .arg(wrong.join(QStringLiteral(", ")));
        }
        return electronOn(level, at);
    }

    // Any electron on the screen is alone and on the selected level's orbit. The real program
    // shows each ring only for its idle wait, a fraction of a millisecond on a fast machine at
    // the low levels, so a few screenshots may well see none: that alone is no fault.
    QString electronOn(int level, const QRect& at) {
        const QRect picture = atomPicture().translated(at.topLeft());
        const double radius = (2 * level + 2) * picture.width() / 30.0;
        for (int tries = 0; tries < 6; ++tries) {
            m_lastShot = m_desk.screenshot();
            if (m_lastShot.isNull()) {
                return QStringLiteral("no screenshot to be had");
            }
            const QImage shot = m_lastShot.copy(picture);
            QRect blue;
            for (int y = 0; y < shot.height(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    if (electronBlue(shot.pixel(x, y))) {
                        blue |= QRect(x, y, 1, 1);
                    }
                }
            }
            if (blue.isEmpty()) {
                continue;
            }
            ++m_electronsSeen;
            if (blue.width() > 16 || blue.height() > 16) {
                return QStringLiteral("blue over %1 x %2 pixels: more than one electron")
                    .arg(blue.width())
                    .arg(blue.height());
            }
            const QPointF centre = QRectF(blue).center() - QPointF(shot.width(), shot.height()) / 2;
            const double distance = std::hypot(centre.x(), centre.y());
            if (std::abs(distance - radius) > 4) {
                return QStringLiteral("electron %1 px from the centre, orbit %2 is at %3")
                    .arg(distance, 0, 'f', 1)
                    .arg(level)
                    .arg(radius, 0, 'f', 1);
            }
        }
        return {};
    }

    Desk& m_desk;
    std::mt19937_64 m_random;
    int m_target;
    int m_done = 0;
    int m_checks = 0;
    int m_electronsSeen = 0;
    std::vector<const char*> m_targets;
    QString m_window;
    QRect m_maximised;
    QPoint m_reportedOffset;
    QImage m_lastShot;
    QByteArray m_stderr;
    std::map<int, std::map<QString, QImage>> m_columns;
    int m_dot = 0; // dark pixels of the smallest dot seen while learning
    std::deque<QString> m_recent;
};

std::optional<quint64> numberFromEnvironment(const char* name) {
    bool ok = false;
    const quint64 value = qEnvironmentVariable(name).toULongLong(&ok);
    return ok ? std::optional<quint64>(value) : std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: monkey_x PROGRAM\n", stderr);
        return 2;
    }
    const quint64 start = numberFromEnvironment("LUMERA_MONKEY_START")
                              .value_or(QRandomGenerator::system()->generate64());
    const int events =
        static_cast<int>(numberFromEnvironment("LUMERA_MONKEY_EVENTS").value_or(10000));
    std::fprintf(
        stderr, "monkey-x: random start value %llu, %d events (replay: LUMERA_MONKEY_START=%llu)\n",
        static_cast<unsigned long long>(start), events, static_cast<unsigned long long>(start));
    Desk desk;
    if (const QString why = desk.start(QString::fromLocal8Bit(argv[1])); !why.isEmpty()) {
        std::fprintf(stderr, "monkey-x: %s\n", qPrintable(why));
        return 1;
    }
    MonkeyX monkey(desk, start, events);
    QElapsedTimer clock;
    clock.start();
    const QString fault = monkey.run();
    std::fprintf(stderr, "monkey-x: %d events, %d checks, the electron seen %d times, %lld s\n",
                 monkey.eventsDone(), monkey.checks(), monkey.electronsSeen(),
                 clock.elapsed() / 1000);
    if (!fault.isEmpty()) {
        std::fprintf(stderr, "monkey-x: random start value %llu: %s\nlast events:\n  %s\n",
                     static_cast<unsigned long long>(start), qPrintable(fault),
                     qPrintable(monkey.recent().join(QStringLiteral("\n  "))));
        if (monkey.lastScreenshot().save(QStringLiteral("monkey-x-failure.png"))) {
            std::fputs("monkey-x: the screen then is in monkey-x-failure.png\n", stderr);
        }
        return 1;
    }
    std::fputs("monkey-x: every check held\n", stderr);
    return 0;
}
