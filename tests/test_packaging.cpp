// The installed program as a desktop sees it: the install tree, checked with the desktop's own
// validators, and the Debian package, checked with Debian's.
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString desktopFile = QStringLiteral("share/applications/" LUMERA_APP_ID ".desktop");
const QString metainfoFile = QStringLiteral("share/metainfo/" LUMERA_APP_ID ".metainfo.xml");

struct Run {
    int exitCode = -1;
    QString output;
};

// Runs a tool to its end; a tool that is missing fails the test with the name of the fix.
Run run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        return {-1, program + QStringLiteral(" is missing: scripts/install-deps installs it")};
    }
    process.waitForFinished(180'000);
    const int code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {code, QString::fromUtf8(process.readAll())};
}

} // namespace

class PackagingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void installTreeHoldsExactlyTheProgramsFiles();
    void menuAndSoftwareCentreEntriesValidate();
    void debianPackagePassesLintian();

private:
    std::unique_ptr<QTemporaryDir> m_prefix;
    std::unique_ptr<QTemporaryDir> m_packageDir;
    QString m_deb;
};

void PackagingTest::initTestCase() {
    m_prefix = std::make_unique<QTemporaryDir>();
    QVERIFY(m_prefix->isValid());
    const Run install = run(QStringLiteral(LUMERA_CMAKE),
                            {QStringLiteral("--install"), QStringLiteral(LUMERA_BUILD_DIR),
                             QStringLiteral("--prefix"), m_prefix->path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));
    m_packageDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_packageDir->isValid());
    const Run cpack = run(QStringLiteral(LUMERA_CPACK),
                          {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                           QStringLiteral(LUMERA_BUILD_DIR "/CPackConfig.cmake"),
                           QStringLiteral("-B"), m_packageDir->path()});
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
    const QStringList debs = QDir(m_packageDir->path()).entryList({QStringLiteral("*.deb")});
    QCOMPARE(debs.size(), 1);
    m_deb = m_packageDir->filePath(debs.first());
}

// The program, its menu and software-centre entries, its icons, and the copyright, changelog and
// manual pages (English and Russian) Debian asks for; nothing else.
void PackagingTest::installTreeHoldsExactlyTheProgramsFiles() {
    QSet<QString> expected{QStringLiteral("bin/lumera"),
                           desktopFile,
                           metainfoFile,
                           QStringLiteral("share/icons/hicolor/scalable/apps/lumera.svg"),
                           QStringLiteral("share/doc/lumera/copyright"),
                           QStringLiteral("share/doc/lumera/changelog.gz"),
                           QStringLiteral("share/man/man1/lumera.1.gz"),
                           QStringLiteral("share/man/ru/man1/lumera.1.gz")};
    for (const int size : {16, 32, 48, 256}) {
        expected << QStringLiteral("share/icons/hicolor/%1x%1/apps/lumera.png").arg(size);
    }
    QSet<QString> found;
    QDirIterator it(m_prefix->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found << QDir(m_prefix->path()).relativeFilePath(it.next());
    }
    QVERIFY2(found == expected, qPrintable(QStringLiteral("not installed: %1; also installed: %2")
                                               .arg((expected - found).values().join(", "),
                                                    (found - expected).values().join(", "))));
}

void PackagingTest::menuAndSoftwareCentreEntriesValidate() {
    const Run desktop =
        run(QStringLiteral("desktop-file-validate"), {m_prefix->filePath(desktopFile)});
    QVERIFY2(desktop.exitCode == 0, qPrintable(desktop.output));
    // Hints are advice (the three menu categories are wanted); errors and warnings are not.
    for (const QString& line : desktop.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QVERIFY2(line.contains(QStringLiteral(": hint: ")), qPrintable(line));
    }
    // The software-centre entry, then the whole tree: the entry with the menu entry it launches.
    for (const QStringList& check :
         {QStringList{QStringLiteral("validate"), metainfoFile},
          QStringList{QStringLiteral("validate-tree"), QStringLiteral(".")}}) {
        const Run appstream =
            run(QStringLiteral("appstreamcli"),
                {check[0], m_prefix->filePath(check[1]), QStringLiteral("--no-net")});
        QVERIFY2(appstream.exitCode == 0, qPrintable(appstream.output));
    }
    // Neither validator looks the menu entry's icon up; a menu shows its own background around it.
    const QString icon = QSettings(m_prefix->filePath(desktopFile), QSettings::IniFormat)
                             .value(QStringLiteral("Desktop Entry/Icon"))
                             .toString();
    for (const int size : {16, 32, 48, 256}) {
        const QString file =
            QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(icon);
        const QImage image(m_prefix->filePath(file));
        QVERIFY2(!image.isNull(), qPrintable(file + QStringLiteral(" is not an installed icon")));
        QVERIFY2(qAlpha(image.pixel(0, 0)) == 0, qPrintable(file + QStringLiteral(" is opaque")));
    }
}

// Debian's own checker: its errors and warnings are faults; its notes are advice.
void PackagingTest::debianPackagePassesLintian() {
    // What lintian cannot know: the window asks for Liberation Sans by name; nothing links to it.
    const QString depends = run(QStringLiteral("dpkg-deb"),
                                {QStringLiteral("--field"), m_deb, QStringLiteral("Depends")})
                                .output;
    QVERIFY2(depends.contains(QStringLiteral("fonts-liberation")), qPrintable(depends));
    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty()) {
        QSKIP("lintian is missing: scripts/install-deps installs it");
    }
    const Run lintian = run(QStringLiteral("lintian"),
                            {QStringLiteral("--fail-on"), QStringLiteral("error,warning"), m_deb});
    const QStringList faults = lintian.output.split(QLatin1Char('\n'))
                                   .filter(QRegularExpression(QStringLiteral("^[EW]: ")));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    QVERIFY2(lintian.exitCode == 0, qPrintable(lintian.output));
}

QTEST_GUILESS_MAIN(PackagingTest)
#include "test_packaging.moc"
