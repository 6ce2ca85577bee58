// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The installed program as a desktop sees it: the install tree, checked with the desktop's own
// validators, and the Debian package, checked with Debian's.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString desktopFile = u"share/applications/" LUMERA_APP_ID ".desktop"_s;

struct Run {
    int exitCode = -1;
    QString output;
};

Run run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(180'000)) {
        return {-1, program + u" is missing or hangs: scripts/install-deps installs it"_s};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

} // namespace

class PackagingTest : public QObject {
    Q_OBJECT

private slots:
    void installedTreeValidates();
    void debianPackagePassesLintian();

private:
    QTemporaryDir m_prefix;
    QTemporaryDir m_packageDir;
};

// The install tree as the desktop's validators see it: the menu entry, the software-centre entry
// with the program it launches, and the icon by the name the menu asks for.
void PackagingTest::installedTreeValidates() {
    const Run install = run(QStringLiteral(LUMERA_CMAKE),
                            {"--install", LUMERA_BUILD_DIR, "--prefix", m_prefix.path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));
    // Lintian does not look for these: the icons a desktop looks up, and the Russian manual page.
    for (const QString& file :
         {u"share/icons/hicolor/scalable/apps/lumera.svg"_s,
          u"share/icons/hicolor/16x16/apps/lumera.png"_s,
          u"share/icons/hicolor/256x256/apps/lumera.png"_s, u"share/man/ru/man1/lumera.1.gz"_s}) {
        QVERIFY2(QFile::exists(m_prefix.filePath(file)), qPrintable(file));
    }
    // Hints are advice (the three menu categories are wanted); errors and warnings are not.
    const Run menu = run(u"desktop-file-validate"_s, {m_prefix.filePath(desktopFile)});
    QVERIFY2(menu.exitCode == 0 && !menu.output.contains(u"error:"_s) &&
                 !menu.output.contains(u"warning:"_s),
             qPrintable(menu.output));
    // The software-centre entry with the menu entry it launches.
    const Run tree = run(u"appstreamcli"_s, {"validate-tree", m_prefix.path(), "--no-net"});
    QVERIFY2(tree.exitCode == 0, qPrintable(tree.output));
    // Neither validator looks the menu entry's icon up; a menu shows its own background around it.
    const QString icon = QSettings(m_prefix.filePath(desktopFile), QSettings::IniFormat)
                             .value(u"Desktop Entry/Icon"_s)
                             .toString();
    const QImage image(m_prefix.filePath(u"share/icons/hicolor/48x48/apps/%1.png"_s.arg(icon)));
    QVERIFY2(!image.isNull() && qAlpha(image.pixel(0, 0)) == 0, "no transparent icon by that name");
}

// Debian's own checker: its errors and warnings are faults; its notes are advice.
void PackagingTest::debianPackagePassesLintian() {
    const QString config = QStringLiteral(LUMERA_BUILD_DIR) + u"/CPackConfig.cmake"_s;
    const Run cpack = run(QStringLiteral(LUMERA_CPACK),
                          {"-G", "DEB", "--config", config, "-B", m_packageDir.path()});
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
    const QStringList debs = QDir(m_packageDir.path()).entryList({u"*.deb"_s});
    QCOMPARE(debs.size(), 1);
    const QString deb = m_packageDir.filePath(debs.front());
    // What lintian cannot know: the window asks for Liberation Sans by name; nothing links to it.
    QVERIFY(run(u"dpkg-deb"_s, {"--field", deb, "Depends"}).output.contains(u"fonts-liberation"_s));
    const Run lintian = run(u"lintian"_s, {"--fail-on", "error,warning", deb});
    QVERIFY2(lintian.exitCode == 0, qPrintable(lintian.output));
}

QTEST_GUILESS_MAIN(PackagingTest)
#include "test_packaging.moc"
