// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// desktop-run: a command in a private, headless desktop, which it ends with the command.
#include "desktop.h"
#include "family.h"
#include "host/platform/session_end.h"
#include "shooter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <variant>

using namespace Qt::StringLiterals;
using desktop::Desktop;

namespace {

const char* const usage =
    "usage: desktop-run [--desktop NAME] [--size WxH] [--bus]\n"
    "                   [--shot FILE [--after SECONDS] [--until CHECK]] [--timeout SECONDS]\n"
    "                   -- COMMAND [ARG...]\n"
    "       desktop-run --list [--tsv]\n"
    "Starts a private, headless desktop (default: openbox on X11, 1024x768), runs COMMAND in it\n"
    "and ends the desktop with it; exits with COMMAND's status. --bus gives COMMAND a session\n"
    "bus with the accessibility bus on it; --shot saves a picture of the screen SECONDS (5)\n"
    "after the start, then ends COMMAND; with --until, it retakes the picture every fraction\n"
    "of a second until `CHECK FILE` exits 0. Each desktop's programs get --timeout SECONDS (30)\n"
    "to come up, and CHECK as long to accept a picture. Status 2: bad input, a desktop that\n"
    "cannot start, or no picture CHECK accepted; 127: COMMAND cannot start.\n"
    "--list says which desktops can start here; --list --tsv prints, for scripts, a line a\n"
    "desktop, the default first, of tab-separated fields: name, title, session (x11, xwayland or\n"
    "wayland), family (xvfb, weston, mutter, kwin or sway); whether it draws its windows'\n"
    "title bars itself, shows its screen (for --shot) and is installed here (yes or no); its\n"
    "programs and their Debian packages (each a comma-separated list).\n";

// How long a command is given to end on its own once asked to, or once its desktop ended.
constexpr int graceMs = 10000;
constexpr int failed = 2;
constexpr int notStarted = 127;

// A signal handler can reach nothing but a static: the last signal caught, 0 for none.
volatile std::sig_atomic_t caughtSignal = 0;

void onSignal(int signal) {
    caughtSignal = signal;
}

void say(const QString& line) {
    std::fprintf(stderr, "desktop-run: %s\n", qPrintable(line));
}

struct Options {
    const desktop::DesktopType* desktop = &desktop::knownDesktops().front();
    QSize size{1024, 768};
    bool bus = false;
    QString shot;
    double afterSeconds = 5;
    QString until; // the check: a program, given the picture's file
    int timeoutSeconds = 30;
    QStringList command;
};

// The options, or what is wrong with them.
std::variant<Options, QString> parse(const QStringList& args) {
    Options options;
    for (qsizetype at = 0; at < args.size(); ++at) {
        const QString& arg = args[at];
        const QString value = args.value(at + 1);
        bool number = true;
        if (arg == u"--"_s) {
            options.command = args.mid(at + 1);
            break;
        }
        if (arg == u"--bus"_s) {
            options.bus = true;
            continue;
        }
        if (at + 1 >= args.size()) {
            return u"%1 wants a value"_s.arg(arg);
        }
        ++at;
        if (arg == u"--desktop"_s) {
            options.desktop = desktop::desktopNamed(value);
            if (options.desktop == nullptr) {
                QStringList known;
                for (const desktop::DesktopType& type : desktop::knownDesktops()) {
                    known << type.name;
                }
                return u"no desktop named '%1'; known: %2"_s.arg(value, known.join(u", "_s));
            }
        } else if (arg == u"--size"_s) {
            const QRegularExpressionMatch size =
                QRegularExpression(u"^([1-9]\\d{2,4})x([1-9]\\d{2,4})$"_s).match(value);
            options.size = {size.captured(1).toInt(), size.captured(2).toInt()};
            number =
                size.hasMatch() && options.size.width() <= 16384 && options.size.height() <= 16384;
        } else if (arg == u"--shot"_s) {
            options.shot = value;
        } else if (arg == u"--until"_s) {
            options.until = value;
        } else if (arg == u"--after"_s) {
            options.afterSeconds = value.toDouble(&number);
            number = number && options.afterSeconds >= 0 && options.afterSeconds < 86400;
        } else if (arg == u"--timeout"_s) {
            options.timeoutSeconds = value.toInt(&number);
            number = number && options.timeoutSeconds > 0;
        } else {
            return u"no option %1"_s.arg(arg);
        }
        if (!number) {
            return u"%1 %2: not a size or time it can take"_s.arg(arg, value);
        }
    }
    if (options.command.isEmpty()) {
        return u"no COMMAND after --"_s;
    }
    if (!options.until.isEmpty() && options.shot.isEmpty()) {
        return u"--until wants --shot"_s;
    }
    // QProcess finds a bare name on PATH and a path from here.
    if (!options.until.isEmpty() && QStandardPaths::findExecutable(options.until).isEmpty() &&
        !(options.until.contains(u'/') && QFileInfo(options.until).isExecutable())) {
        return u"--until %1: no such program"_s.arg(options.until);
    }
    if (!options.shot.isEmpty() && !options.desktop->showsScreen()) {
        return u"%1 shows its screen to nobody: no --shot there"_s.arg(options.desktop->name);
    }
    return options;
}

QString yesNo(bool yes) {
    return yes ? u"yes"_s : u"no"_s;
}

int list(bool tsv) {
    for (const desktop::DesktopType& type : desktop::knownDesktops()) {
        const QStringList missing = desktop::missingPrograms(type);
        if (tsv) {
            const QStringList fields{type.name,
                                     type.title,
                                     desktop::sessionName(type.session),
                                     type.family.name(),
                                     yesNo(type.decorates),
                                     yesNo(type.showsScreen()),
                                     yesNo(missing.isEmpty()),
                                     type.programs().join(u','),
                                     type.packages().join(u',')};
            std::printf("%s\n", qPrintable(fields.join(u'\t')));
            continue;
        }
        const QString here = !missing.isEmpty()
                                 ? u"cannot start: %1 missing"_s.arg(missing.join(u", "_s))
                             : type.showsScreen() ? u"can start"_s
                                                  : u"can start; shows its screen to nobody"_s;
        std::printf("%-16s %-32s %s\n", qPrintable(type.name), qPrintable(type.title),
                    qPrintable(here));
    }
    return 0;
}

// The processes left to this one as their adopter: what the command left running, or what a
// desktop program that died left of its own. Those in `keep` are the desktop's, ended by it.
QList<pid_t> adopted(const QList<qint64>& keep) {
    QList<pid_t> children;
    const QString self = QString::number(::getpid());
    for (const QString& entry : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile stat(u"/proc/%1/stat"_s.arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // pid (name) state ppid …; the name may hold spaces and brackets itself.
        const QByteArray fields = stat.readAll();
        const QList<QByteArray> after = fields.mid(fields.lastIndexOf(')') + 2).split(' ');
        const pid_t pid = entry.toInt();
        if (after.size() > 1 && after[1] == self.toLatin1() && !keep.contains(pid)) {
            children << pid;
        }
    }
    return children;
}

void endAdopted(const QList<qint64>& keep) {
    // A process ended may leave children of its own to be adopted in turn.
    for (int round = 0; round < 10; ++round) {
        const QList<pid_t> children = adopted(keep);
        if (children.isEmpty()) {
            return;
        }
        for (const pid_t child : children) {
            ::kill(child, SIGTERM);
        }
        for (const pid_t child : children) {
            const bool ended = desktop::waitUntil(
                [child] { return ::waitpid(child, nullptr, WNOHANG) != 0; }, 2000, 20);
            if (!ended) {
                ::kill(child, SIGKILL);
                ::waitpid(child, nullptr, 0);
            }
        }
    }
}

// The command's status as a shell gives it: its exit code, or 128 and the signal that ended it.
int statusOf(const QProcess& command) {
    return command.exitStatus() == QProcess::NormalExit ? command.exitCode()
                                                        : 128 + command.exitCode();
}

// Runs the command to its end in the desktop; the status desktop-run exits with.
int runCommand(const Options& options, Desktop& screen) {
    desktop::Launch how;
    how.channels = QProcess::ForwardedChannels;
    how.input = QProcess::ForwardedInputChannel;
    how.workingDirectory = QDir::currentPath();
    const std::unique_ptr<QProcess> command =
        screen.launch(options.command.front(), options.command.mid(1), how);
    if (command->error() == QProcess::FailedToStart) {
        say(u"cannot start %1: %2"_s.arg(options.command.front(), command->errorString()));
        return notStarted;
    }
    const auto pid = static_cast<pid_t>(command->processId());
    QElapsedTimer clock;
    clock.start();
    std::optional<qint64> endBy; // once asked to end, or once the desktop ended
    bool desktopEnded = false;
    int forwarded = 0;
    std::optional<QString> shotFault;
    std::optional<desktop::Shooter> shooter;
    if (!options.shot.isEmpty()) {
        shooter.emplace(options.shot, options.until, qint64(options.afterSeconds * 1000),
                        qint64{options.timeoutSeconds} * 1000);
    }
    while (command->state() != QProcess::NotRunning && !command->waitForFinished(100)) {
        const int signal = caughtSignal;
        if (signal != 0 && signal != forwarded) {
            ::kill(pid, signal);
            forwarded = signal;
            endBy = clock.elapsed() + graceMs;
        }
        if (!desktopEnded && !screen.running()) {
            desktopEnded = true;
            say(u"%1 ended before the command did"_s.arg(screen.type().name));
            endBy = clock.elapsed() + graceMs;
        }
        if (shooter && !shotFault && shooter->due(clock.elapsed())) {
            shotFault = shooter->take(screen, pid, clock.elapsed());
            if (shotFault) {
                ::kill(pid, SIGTERM);
                endBy = clock.elapsed() + graceMs;
            }
        }
        if (endBy && clock.elapsed() > *endBy) {
            ::kill(pid, clock.elapsed() > *endBy + graceMs ? SIGKILL : SIGTERM);
        }
    }
    const int status = statusOf(*command);
    if (shooter && !shotFault) {
        say(u"the command ended (status %1) before the screenshot"_s.arg(status));
        return status != 0 ? status : failed;
    }
    if (shotFault && !shotFault->isEmpty()) {
        say(*shotFault);
        return failed;
    }
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList args;
    for (int at = 1; at < argc; ++at) {
        args << QString::fromLocal8Bit(argv[at]);
    }
    if (args == QStringList{u"--list"_s} || args == QStringList{u"--list"_s, u"--tsv"_s}) {
        return list(args.size() == 2);
    }
    if (args.isEmpty() || args == QStringList{u"--help"_s}) {
        std::fputs(usage, args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? failed : 0;
    }
    const auto parsed = parse(args);
    const auto* given = std::get_if<Options>(&parsed);
    if (given == nullptr) {
        say(*std::get_if<QString>(&parsed));
        std::fputs(usage, stderr);
        return failed;
    }
    const Options& options = *given;
    const QCoreApplication application(argc, argv);
    host::catchSessionEnd(onSignal);
    // Whatever the command and the desktop leave running is adopted here, to be ended.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    int status = failed;
    {
        Desktop screen(*options.desktop, options.size);
        screen.setPatience(options.timeoutSeconds * 1000, [] { return caughtSignal != 0; });
        QString fault = screen.start();
        if (fault.isEmpty() && options.bus) {
            fault = screen.startAccessibilityBus();
        }
        if (!fault.isEmpty()) {
            say(fault);
            status = caughtSignal != 0 ? 128 + caughtSignal : failed;
        } else {
            status = runCommand(options, screen);
        }
        // Clients before their servers: what the command left, then the desktop.
        endAdopted(screen.processIds());
        screen.stop();
        endAdopted({});
    }
    return status;
}
