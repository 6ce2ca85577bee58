// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// desktop-run on every desktop it knows, and every way it can end: the status and line each gives,
// and nothing left behind: no process, no X socket or lock file, no runtime directory.
#include "desktops.h"
#include "family.h"

#include <QDir>
#include <QImage>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>

using namespace Qt::StringLiterals;

namespace {

// The caller's own session, which must not reach the command.
const QStringList callersSession{u"DISPLAY=:4242"_s, u"WAYLAND_DISPLAY=caller-wayland"_s,
                                 u"XDG_RUNTIME_DIR=/caller-runtime"_s,
                                 u"DBUS_SESSION_BUS_ADDRESS=unix:path=/caller-bus"_s};

// What desktops keep in /tmp: X sockets and lock files, and the scratch directories of the
// families whose programs may run as another user.
QStringList sharedFiles() {
    QStringList patterns{u".X*-lock"_s};
    for (const desktop::DesktopType& type : desktop::knownDesktops()) {
        if (type.family.sharesScratch()) {
            patterns << u"desktop-run-%1-*"_s.arg(type.family.name());
        }
    }
    return QDir(u"/tmp/.X11-unix"_s).entryList(QDir::System) +
           QDir(u"/tmp"_s).entryList(patterns, QDir::Hidden | QDir::AllEntries);
}

// Those of them made since `before` that nobody uses: other tests' X servers may come and go.
QStringList leftSince(const QStringList& before) {
    QStringList left;
    for (const QString& name : sharedFiles()) {
        QLocalSocket server;
        server.connectToServer(u"/tmp/.X11-unix/"_s + name);
        QFile lock(u"/tmp/"_s + name);
        const bool used = name.startsWith(u'X') ? server.waitForConnected(1000)
                          : name.endsWith(u"-lock"_s) && lock.open(QIODevice::ReadOnly)
                              ? ::kill(static_cast<pid_t>(lock.readAll().trimmed().toInt()), 0) == 0
                              : false;
        left << (before.contains(name) || used ? QStringList() : QStringList{name});
    }
    return left;
}

// The processes this one adopted, as their children's subreaper: left behind by desktop-run.
QStringList adoptedProcesses() {
    QStringList left;
    const QByteArray self = QByteArray::number(::getpid());
    for (const QString& entry : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile stat(u"/proc/%1/stat"_s.arg(entry));
        const QByteArray fields = stat.open(QIODevice::ReadOnly) ? stat.readAll() : "";
        if (fields.mid(fields.lastIndexOf(')') + 2).split(' ').value(1) == self) {
            left << QString::fromUtf8(fields.left(fields.lastIndexOf(')') + 1));
            ::kill(entry.toInt(), SIGKILL);
            ::waitpid(entry.toInt(), nullptr, 0);
        }
    }
    return left;
}

} // namespace

class DesktopRunTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void endsAndLeavesNothing_data();
    void endsAndLeavesNothing();
    void installsEveryPackage();

private:
    QTemporaryDir m_fakes;
};

void DesktopRunTest::initTestCase() {
    // Whatever desktop-run leaves running is adopted here, to be found.
    QVERIFY(::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0);
    // The default desktop's display server never coming up, a directory where nothing is
    // installed, and checks of a picture: one that accepts it the second time it is asked, one
    // that never does.
    QVERIFY(QDir().mkpath(m_fakes.filePath(u"slow"_s)) &&
            QDir().mkpath(m_fakes.filePath(u"empty"_s)));
    const QString server = u"slow/"_s + desktop::knownDesktops().front().programs().front();
    for (const auto& [name, text] :
         {std::pair{server, "echo \"fake ${0##*/}: waiting for nothing\" >&2\nexec sleep 60"},
          std::pair{u"second"_s, "[ -e \"$1.seen\" ] && exit 0\ntouch \"$1.seen\"; exit 1"},
          std::pair{u"never"_s, "echo \"not yet: $1\" >&2; exit 1"}}) {
        QFile script(m_fakes.filePath(name));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"_ba + text + '\n');
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
}

void DesktopRunTest::endsAndLeavesNothing_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("command"); // sh's, after it says "started"; empty: none can start
    QTest::addColumn<QString>("path");    // desktop-run's PATH: "slow", "empty" or the caller's
    QTest::addColumn<int>("signal");      // sent to desktop-run once the command has started
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("said"); // on standard error, a pattern
    for (const desktop::DesktopType& type : desktop::knownDesktops()) {
        QTest::addRow("%s, the command's own status", qPrintable(type.name))
            << QStringList{u"--desktop"_s, type.name} << u"exit 3"_s << u""_s << 0 << 3 << u"^$"_s;
    }
    // The default desktop, its display server first among its programs; the first with XWayland,
    // whose compositor has two X displays, and whose ready script and XWayland outlive it.
    const desktop::DesktopType& first = desktop::knownDesktops().front();
    const QStringList byDefault{u"--desktop"_s, first.name};
    const QString server = first.programs().front();
    const desktop::DesktopType& xwayland = *std::ranges::find(
        desktop::knownDesktops(), desktop::Session::XWayland, &desktop::DesktopType::session);
    QStringList known;
    for (const desktop::DesktopType& type : desktop::knownDesktops().first(3)) {
        known << type.name;
    }
    QTest::newRow("no such desktop")
        << QStringList{u"--desktop"_s, u"no-such-desktop"_s} << u"true"_s << u""_s << 0 << 2
        << u"'no-such-desktop'; known: "_s + known.join(u", "_s);
    QTest::newRow("programs missing") << byDefault << u"true"_s << u"empty"_s << 0 << 2
                                      << u"needs %1, .*: run scripts/install-deps"_s.arg(server);
    QTest::newRow("not up in time")
        << QStringList{u"--timeout"_s, u"2"_s} << u"true"_s << u"slow"_s << 0 << 2
        << u"%1 never .* in 2 s; .*\\n  fake %1: waiting for nothing"_s.arg(server);
    QTest::newRow("SIGTERM while it comes up")
        << QStringList{} << u"true"_s << u"slow"_s << SIGTERM << 128 + SIGTERM << u"given up"_s;
    QTest::newRow("the command cannot start")
        << byDefault << u""_s << u""_s << 0 << 127 << u"cannot start /nonexistent/command"_s;
    // sh ends on these where it waits; the child it started is left over, to be ended.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        QTest::addRow("signal %d, a child of the command left running", signal)
            << byDefault << u"sleep 60 & wait"_s << u""_s << signal << 128 + signal << u"^$"_s;
    }
    for (const desktop::DesktopType* type : {&first, &xwayland}) {
        const QString killed = type->programs().front();
        QTest::addRow("%s killed under the command", qPrintable(killed))
            << QStringList{u"--desktop"_s, type->name}
            << u"pkill -KILL -P $PPID -x %1; sleep 1; exit 7"_s.arg(killed) << u""_s << 0 << 7
            << u"%1 ended before the command did"_s.arg(type->name);
    }
    QTest::newRow("the accessibility bus")
        << QStringList{u"--bus"_s}
        << u"dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus "
           "org.a11y.Bus.GetAddress | grep -q unix:"_s
        << u""_s << 0 << 0 << u"^$"_s;
    QTest::newRow("a screenshot, then the command ended")
        << QStringList{u"--size"_s, u"800x600"_s, u"--shot"_s, u"shot.png"_s, u"--after"_s, u"1"_s}
        << u"trap 'exit 0' TERM; sleep 60 & wait"_s << u""_s << 0 << 0 << u"^$"_s;
    // The first picture refused, the second accepted; none accepted in 4 s, the bound.
    const QStringList shot{u"--size"_s,  u"800x600"_s, u"--shot"_s,    u"shot.png"_s,
                           u"--after"_s, u"1"_s,       u"--timeout"_s, u"4"_s};
    QTest::newRow("a screenshot retaken until the check accepts it")
        << shot + QStringList{u"--until"_s, m_fakes.filePath(u"second"_s)}
        << u"trap 'exit 0' TERM; sleep 60 & wait"_s << u""_s << 0 << 0 << u"^$"_s;
    QTest::newRow("a screenshot the check never accepts")
        << shot + QStringList{u"--until"_s, m_fakes.filePath(u"never"_s)}
        << u"trap 'exit 0' TERM; sleep 60 & wait"_s << u""_s << 0 << 2
        << u"/never accepted none of ([2-9]|\\d{2,}) screenshots in 4 s; .*: not yet: shot.png$"_s;
    const desktop::DesktopType& unseen =
        *std::ranges::find_if(desktop::knownDesktops(),
                              [](const desktop::DesktopType& type) { return !type.showsScreen(); });
    QTest::newRow("no screenshot where nobody sees the screen")
        << QStringList{u"--desktop"_s, unseen.name, u"--shot"_s, u"shot.png"_s} << u"true"_s
        << u""_s << 0 << 2 << u"shows its screen to nobody"_s;
}

void DesktopRunTest::endsAndLeavesNothing() {
    QFETCH(QStringList, options);
    QFETCH(QString, command);
    QFETCH(QString, path);
    QFETCH(int, signal);
    QFETCH(int, status);
    QFETCH(QString, said);
    if (const auto* type =
            desktop::desktopNamed(options.value(options.indexOf(u"--desktop"_s) + 1));
        type != nullptr && !desktop::missingPrograms(*type).isEmpty()) {
        QSKIP("that desktop is not installed here");
    }
    const QStringList xBefore = sharedFiles();
    QTemporaryDir scratch; // desktop-run's TMPDIR, and the command's working directory
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& variable : callersSession) {
        env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    }
    env.insert(u"TMPDIR"_s, scratch.filePath(u"tmp"_s));
    QDir().mkpath(env.value(u"TMPDIR"_s));
    if (!path.isEmpty()) {
        env.insert(u"PATH"_s,
                   m_fakes.filePath(path) + (path == u"slow"_s ? u":/usr/bin:/bin"_s : u""_s));
    }
    QProcess run;
    run.setProcessEnvironment(env);
    run.setWorkingDirectory(scratch.path());
    const QString script =
        u"env | grep -q caller && echo leaked: $(env | grep caller); echo started; %1"_s.arg(
            command);
    run.start(QStringLiteral(LUMERA_DESKTOP_RUN),
              options + QStringList{u"--"_s} +
                  (command.isEmpty() ? QStringList{u"/nonexistent/command"_s}
                                     : QStringList{u"sh"_s, u"-c"_s, script}));
    const auto pid = static_cast<pid_t>(run.processId());
    if (signal != 0) {
        const bool slow = path == u"slow"_s; // the signal comes while the desktop comes up
        const bool ready =
            slow ? QTest::qWaitFor([&] { return QDir(env.value(u"TMPDIR"_s)).count() > 2; })
                 : run.waitForReadyRead(60000);
        QTest::qWait(500);
        ::kill(pid, ready ? signal : SIGTERM);
        QVERIFY2(ready, qPrintable(u"never started; "_s + run.readAllStandardError()));
    }
    if (!run.waitForFinished(60000)) {
        ::kill(pid, SIGTERM); // ended as it promises, so that no other row finds what it left
        run.waitForFinished(30000);
        QFAIL("desktop-run does not end");
    }
    const QString out = QString::fromUtf8(run.readAllStandardOutput());
    const QString err = QString::fromUtf8(run.readAllStandardError()).trimmed();
    QVERIFY2(run.exitCode() == status, qPrintable(u"status %1; %2"_s.arg(run.exitCode()).arg(err)));
    QVERIFY2(QRegularExpression(said).match(err).hasMatch(), qPrintable(err));
    QVERIFY2(!out.contains(u"leaked"_s), qPrintable(out));
    // Status 2 says the command never ran, but for a picture the check never accepted.
    const bool ran =
        !command.isEmpty() && path.isEmpty() && (status != 2 || options.contains(u"--until"_s));
    QVERIFY2(out.startsWith(u"started"_s) == ran, qPrintable(out));
    const QStringList left = adoptedProcesses();
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u", "_s)));
    QCOMPARE(leftSince(xBefore), QStringList());
    QCOMPARE(QDir(env.value(u"TMPDIR"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    if (options.contains(u"shot.png"_s) && status == 0) {
        QCOMPARE(QImage(scratch.filePath(u"shot.png"_s)).size(), QSize(800, 600));
    }
}

// scripts/install-deps installs, in its desktops and test groups, every package a desktop needs.
void DesktopRunTest::installsEveryPackage() {
    const QString script = QStringLiteral(LUMERA_SOURCE_DIR "/scripts/install-deps");
    QFile text(script);
    // One that takes no groups yet would install instead of printing.
    if (!text.open(QIODevice::ReadOnly) || !text.readAll().contains("--print")) {
        QSKIP("scripts/install-deps prints no groups");
    }
    QStringList installed;
    for (const QString& group : {u"test"_s, u"desktops"_s}) {
        QProcess print;
        print.start(script, {u"--print"_s, group});
        QVERIFY(print.waitForFinished(10000));
        installed << QString::fromUtf8(print.readAllStandardOutput()).split(u'\n');
    }
    if (installed.join(QString()).trimmed().isEmpty()) {
        QSKIP("scripts/install-deps prints no groups");
    }
    for (const desktop::DesktopType& type : desktop::knownDesktops()) {
        for (const QString& package : type.packages()) {
            QVERIFY2(installed.contains(package), qPrintable(type.name + u" needs "_s + package));
        }
    }
}

QTEST_GUILESS_MAIN(DesktopRunTest)
#include "test_desktop_run.moc"
