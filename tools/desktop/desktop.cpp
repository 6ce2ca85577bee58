// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
#include "desktop.h"

#include "family.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace desktop {

namespace {

// What names the caller's own session: none of it reaches a program started in the desktop.
const QStringList callersSession{
    u"DISPLAY"_s,
    u"WAYLAND_DISPLAY"_s,
    u"WAYLAND_SOCKET"_s,
    u"XAUTHORITY"_s,
    u"XDG_RUNTIME_DIR"_s,
    u"DBUS_SESSION_BUS_ADDRESS"_s,
    u"AT_SPI_BUS_ADDRESS"_s,
    u"SWAYSOCK"_s,
    u"I3SOCK"_s,
    u"XDG_SESSION_TYPE"_s,
    u"XDG_SESSION_DESKTOP"_s,
    u"XDG_CURRENT_DESKTOP"_s,
    u"XDG_SESSION_ID"_s,
    u"XDG_SEAT"_s,
    u"XDG_VTNR"_s,
    u"DESKTOP_SESSION"_s,
    u"SESSION_MANAGER"_s,
    u"KDE_FULL_SESSION"_s,
    u"GNOME_SETUP_DISPLAY"_s,
    u"QT_QPA_PLATFORM"_s,
    u"GDK_BACKEND"_s,
};

// XWayland's socket lives here whoever starts it; Xvfb makes it, the compositors expect it.
void makeXSocketDirectory() {
    const QString xSockets = u"/tmp/.X11-unix"_s;
    if (!QFileInfo::exists(xSockets)) {
        QDir().mkpath(xSockets);
        ::chmod(qPrintable(xSockets), 01777);
    }
}

// The X displays in use here, by number.
QSet<int> xDisplaysInUse() {
    QSet<int> numbers;
    const QStringList names =
        QDir(u"/tmp/.X11-unix"_s).entryList(QDir::System) +
        QDir(u"/tmp"_s).entryList({u".X*-lock"_s}, QDir::Hidden | QDir::Files);
    for (const QString& name : names) {
        bool numbered = false;
        const int number =
            QString(name).remove(u".X"_s).remove(u"-lock"_s).remove(u'X').toInt(&numbered);
        if (numbered) {
            numbers << number;
        }
    }
    return numbers;
}

// An X server killed outright leaves its socket (and lock file, where it made one), and so does a
// compositor killed under its XWayland (mutter has two displays): nobody would take them again.
void removeIfStale(int number) {
    QFile lock(u"/tmp/.X%1-lock"_s.arg(number));
    if (lock.open(QIODevice::ReadOnly)) {
        const auto owner = static_cast<pid_t>(lock.readAll().trimmed().toInt());
        lock.close();
        if (owner > 0 && (::kill(owner, 0) == 0 || errno != ESRCH)) {
            return;
        }
        QFile::remove(lock.fileName());
    }
    const QByteArray socketPath = u"/tmp/.X11-unix/X%1"_s.arg(number).toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.constData(),
                std::min(sizeof address.sun_path - 1, size_t(socketPath.size())));
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        errno == ECONNREFUSED) {
        ::unlink(socketPath.constData());
    }
    ::close(probe);
}

// A desktop whose programs run as another user (sway as nobody) keeps its files in /tmp, whatever
// the caller's own temporary directory (which may be private to the caller).
QString scratchTemplate(const Family& family) {
    const bool shared = family.sharesScratch();
    const QString name = QCoreApplication::applicationName();
    return (shared ? u"/tmp"_s : QDir::tempPath()) + u'/' + (name.isEmpty() ? u"desktop"_s : name) +
           (shared ? u"-%1-XXXXXX"_s.arg(family.name()) : u"-XXXXXX"_s);
}

} // namespace

Desktop::Desktop(const DesktopType& type, QSize screen)
    : m_type(type), m_screen(screen), m_servers(scratchTemplate(type.family)) {
    for (const QString& name : callersSession) {
        m_servers.env().remove(name);
    }
    // Nobody's own settings (key bindings, decorations, themes) may change what the desktop shows.
    m_servers.env().insert(u"XDG_CONFIG_HOME"_s, m_servers.scratch().filePath(u"config"_s));
}

Desktop::~Desktop() {
    stop();
}

void Desktop::setPatience(int timeoutMs, std::function<bool()> givenUp) {
    m_servers.setPatience(timeoutMs, std::move(givenUp));
}

void Desktop::stop() {
    m_servers.stop();
    for (const int number : m_xDisplays) {
        removeIfStale(number);
    }
}

QString Desktop::displayName() const {
    return m_servers.env().value(waylandAlone() ? u"WAYLAND_DISPLAY"_s : u"DISPLAY"_s);
}

void Desktop::killDisplayServer() {
    m_servers.displayServer()->kill();
    m_servers.displayServer()->waitForFinished(5000);
}

void Desktop::freezeDisplayServer(int ms) const {
    const auto server = static_cast<pid_t>(m_servers.displayServer()->processId());
    ::kill(server, SIGSTOP);
    QThread::msleep(static_cast<unsigned long>(ms));
    ::kill(server, SIGCONT);
}

void Desktop::killAccessibilityBus() {
    // The launcher is the last server kept; the bus it runs is its child.
    QProcess& launcher = m_servers.newest();
    run(u"pkill"_s, {"-KILL", "-P", QString::number(launcher.processId())});
    launcher.kill();
    launcher.waitForFinished(5000);
}

std::unique_ptr<QProcess> Desktop::launch(const QString& program, const QStringList& args,
                                          const Launch& how) const {
    auto process = std::make_unique<QProcess>();
    // Children die with their starter, even when a timeout kills it before any cleanup runs.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QProcessEnvironment env = m_servers.env();
    env.insert(how.extra);
    for (const QString& name : how.unset) {
        env.remove(name);
    }
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(how.workingDirectory.isEmpty() ? m_servers.scratch().path()
                                                                : how.workingDirectory);
    process->setProcessChannelMode(how.channels);
    process->setInputChannelMode(how.input);
    process->start(program, args);
    process->waitForStarted(5000);
    return process;
}

QString Desktop::start() {
    if (!m_servers.scratch().isValid()) {
        return u"no scratch directory"_s;
    }
    if (const QStringList missing = missingPrograms(m_type); !missing.isEmpty()) {
        return u"%1 needs %2, not installed here: run scripts/install-deps"_s.arg(
            m_type.name, missing.join(u", "_s));
    }
    // Every login session has a runtime directory of its own, X11 ones included.
    const QString runtime = m_servers.scratch().filePath(u"runtime"_s);
    QDir().mkpath(runtime);
    ::chmod(qPrintable(runtime), 0700);
    QProcessEnvironment& env = m_servers.env();
    env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    env.insert(u"XDG_SESSION_TYPE"_s, m_type.session == Session::X11 ? u"x11"_s : u"wayland"_s);
    if (m_type.session == Session::XWayland) {
        makeXSocketDirectory();
    }
    const QSet<int> before = xDisplaysInUse();
    QString failed = m_type.family.start(m_servers, m_type, m_screen);
    // Displays that came up meanwhile are taken to be ours, to be cleared if they go stale.
    m_xDisplays = xDisplaysInUse() - before;
    return failed;
}

QString Desktop::startAccessibilityBus() {
    QString launcher = u"/usr/libexec/at-spi-bus-launcher"_s;
    if (!QFileInfo(launcher).isExecutable()) {
        launcher = u"/usr/lib/at-spi2-core/at-spi-bus-launcher"_s;
    }
    if (!QFileInfo(launcher).isExecutable() ||
        QStandardPaths::findExecutable(u"dbus-daemon"_s).isEmpty()) {
        return u"the accessibility bus needs at-spi-bus-launcher and dbus-daemon, not installed "
               "here: run scripts/install-deps"_s;
    }
    if (QString failed = m_servers.startSessionBus(); !failed.isEmpty()) {
        return failed;
    }
    m_busLauncher = launcher;
    restartAccessibilityBus();
    return {};
}

void Desktop::restartAccessibilityBus() {
    m_servers.start(m_busLauncher, {"--launch-immediately"}, u"at-spi-bus-launcher"_s);
}

QImage Desktop::screenshot(qint64 pid) const {
    return m_type.shoot == nullptr ? QImage() : m_type.shoot(m_servers, m_screen, pid);
}

bool Desktop::resizeWindow(qint64 pid, QSize size) const {
    return m_type.resize != nullptr && m_type.resize(m_servers, pid, size);
}

} // namespace desktop
