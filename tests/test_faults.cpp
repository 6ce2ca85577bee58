// Every host call the program makes, made to fail in a real process: one error box, one line on
// standard error naming the handler and the error, a non-zero status, and what the handler did
// before the failing call still on the window while the box shows.
#include <QProcess>
#include <QTest>

#ifndef LUMERA_FAULT_RUNNER
#error "LUMERA_FAULT_RUNNER must name the fault runner"
#endif
#ifndef LUMERA_OFFSCREEN_SCREEN
#error "LUMERA_OFFSCREEN_SCREEN must name the offscreen screen settings"
#endif

namespace {

struct Run {
    int status = -1;
    QStringList stderrLines;
    QStringList stdoutLines;
};

Run runWithFault(const QStringList& arguments) {
    QProcess process;
    // A screen the maximised window fits on, so that the runner sees all of it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       QStringLiteral("offscreen:configfile=" LUMERA_OFFSCREEN_SCREEN));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LUMERA_FAULT_RUNNER), arguments);
    Run run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit) {
        run.status = process.exitCode();
    }
    const auto lines = [](const QByteArray& bytes) {
        return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    // The platform's notes about its own set-up are not the program's output.
    for (const QString& line : lines(process.readAllStandardError())) {
        if (!line.startsWith(QLatin1String("QStandardPaths:")) &&
            !line.contains(QLatin1String("propagateSizeHints"))) {
            run.stderrLines << line;
        }
    }
    run.stdoutLines = lines(process.readAllStandardOutput());
    return run;
}

// The report as the user must read it, written out rather than taken from the program.
QString report(int number, const QString& call, const QString& handler) {
    const QString description = number == 6
                                    ? QStringLiteral("Переполнение")
                                    : QStringLiteral("Недопустимый вызов процедуры или аргумент");
    return QStringLiteral("Ошибка выполнения %1: %2 (%3) (обработчик %4)")
        .arg(number)
        .arg(description, call, handler);
}

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT

private slots:
    void failingCallEndsTheProgramOnce_data();
    void failingCallEndsTheProgramOnce();
    void withoutAFaultTheProgramEndsCleanly();
};

void FaultsTest::failingCallEndsTheProgramOnce_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("handler");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("call");
    // Lines the runner must print while the error box shows.
    QTest::addColumn<QStringList>("shown");

    const auto args = [](const char* spaced) {
        return QString::fromUtf8(spaced).split(QLatin1Char(' '));
    };
    const QStringList level1Design{"Label27=121", "Label17=- 13,55",
                                   "Label41=1  -  2 =", "Line3=ff0000", "selected=Option1"};

    QTest::newRow("Scale, at activation")
        << args("--operation Scale") << "Form_Activate" << 5 << QStringLiteral("Picture3.Scale")
        << QStringList{"orbits=0", "state=0,0,0", "timer=off"};
    QTest::newRow("Circle, fourth orbit at activation")
        << args("--operation Circle --skip 3") << "Form_Activate" << 5
        << QStringLiteral("Picture3.Circle") << QStringList{"orbits=3", "state=0,0,0", "timer=off"};
    QTest::newRow("Value of Option1, at activation")
        << args("--operation Value --control Option1") << "Form_Activate" << 5
        << QStringLiteral("Option1.Value")
        << QStringList{"orbits=6", "state=4,4,300000", "timer=off"};
    QTest::newRow("Enabled, overflow at activation")
        << args("--operation Enabled --code 6") << "Form_Activate" << 6
        << QStringLiteral("Timer1.Enabled")
        << QStringList{"orbits=6", "state=4,4,300000", "timer=off"};
    QTest::newRow("Circle, orbit of the first step")
        << args("--operation Circle --skip 6") << "Timer1_Timer" << 5
        << QStringLiteral("Picture3.Circle")
        << QStringList{"orbits=6", "electron=none", "timer=on"};
    QTest::newRow("Circle, electron of the first step")
        << args("--operation Circle --skip 7") << "Timer1_Timer" << 5
        << QStringLiteral("Picture3.Circle")
        << QStringList{"orbits=6", "electron=none", "timer=on"};
    // The erase of step 5 fails: 6 orbits, then 4 whole steps of 3 calls and the 5th's two.
    QTest::newRow("Circle, erasing the fifth step's electron")
        << args("--operation Circle --skip 20") << "Timer1_Timer" << 5
        << QStringLiteral("Picture3.Circle")
        << QStringList{"orbits=6", "electron=shown", "state=4,4,300000"};
    QTest::newRow("Value, in an option handler")
        << args("--operation Value --control Option4 --click Option4") << "Option4_Click" << 5
        << QStringLiteral("Option4.Value")
        << QStringList{"selected=Option4", "state=4,4,300000", "Label27=121", "timer=on"};
    QTest::newRow("Caption, third wavelength")
        << args("--operation Caption --control Label29 --click Option3") << "Option3_Click" << 5
        << QStringLiteral("Label29.Caption")
        << QStringList{"selected=Option3", "state=8,8,800000", "Label27=1874",    "Label28=1281",
                       "Label29=97",       "Label7=95",        "Label17=- 13,55", "Line3=ff0000"};
    QTest::newRow("BorderColor, third mark")
        << args("--operation BorderColor --control Line5 --click Option2") << "Option2_Click" << 5
        << QStringLiteral("Line5.BorderColor")
        << QStringList{"state=6,6,500000", "Label40=2",    "Line3=0000ff",     "Line4=00ff00",
                       "Line5=ff0000",     "Line6=ff0000", "Label41=1  -  2 ="};
    QTest::newRow("message box, the notice")
        << args("--operation MsgBox --heading") << "Label1_DblClick" << 5
        << QStringLiteral("Прудупреждение.MsgBox")
        << level1Design + QStringList{"state=4,4,300000"};
}

void FaultsTest::failingCallEndsTheProgramOnce() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, handler);
    QFETCH(int, number);
    QFETCH(QString, call);
    QFETCH(QStringList, shown);
    const Run run = runWithFault(arguments);

    const QString expected = report(number, call, handler);
    QCOMPARE(run.stderrLines, QStringList{QStringLiteral("lumera: ") + expected});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.stdoutLines.count(QStringLiteral("box=") + expected), 1);
    QVERIFY(run.stdoutLines.contains(QStringLiteral("boxes=1")));
    QVERIFY(run.stdoutLines.contains(QStringLiteral("notices=0")));
    // The box's own snapshot comes first; nothing is printed after the program stopped.
    const QStringList atTheBox =
        run.stdoutLines.mid(0, run.stdoutLines.indexOf(QStringLiteral("boxes=1")));
    for (const QString& line : shown) {
        QVERIFY2(atTheBox.contains(line),
                 qPrintable(line + QStringLiteral(" not in:\n") + atTheBox.join('\n')));
    }
}

void FaultsTest::withoutAFaultTheProgramEndsCleanly() {
    const Run run = runWithFault(
        {QStringLiteral("--click"), QStringLiteral("Option6"), QStringLiteral("--heading")});
    QCOMPARE(run.stderrLines, QStringList{});
    QCOMPARE(run.status, 0);
    for (const char* line : {"boxes=0", "notices=1", "orbits=6", "electron=none", "timer=on",
                             "selected=Option6", "state=14,14,1500000", "Label44=6  -  10 ="}) {
        QVERIFY2(run.stdoutLines.contains(QString::fromUtf8(line)), line);
    }
}

QTEST_MAIN(FaultsTest)
#include "test_faults.moc"
