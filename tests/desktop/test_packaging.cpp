// SPDX-FileCopyrightText: 2026 Соколов А. В.
// SPDX-License-Identifier: LicenseRef-proprietary
// The installed program as a desktop sees it: the install tree, checked with the desktop's own
// validators, and the .deb and .rpm, each checked with its own distributions' tools.
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
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

// Packs the build with one CPack generator into dir and returns the one package made.
QString pack(const QString& generator, const QString& dir) {
    const QString config = QStringLiteral(LUMERA_BUILD_DIR) + u"/CPackConfig.cmake"_s;
    const Run cpack =
        run(QStringLiteral(LUMERA_CPACK), {"-G", generator, "--config", config, "-B", dir});
    const QStringList made = QDir(dir).entryList({u"*."_s + generator.toLower()});
    if (cpack.exitCode != 0 || made.size() != 1) {
        qWarning().noquote() << cpack.output;
        return {};
    }
    return QDir(dir).filePath(made.front());
}

// Both packages' rules forbid a search path of the binary's own: it would load whatever
// libraries lie beside it.
bool hasOwnSearchPath(const QString& tree) {
    const QString dynamic = run(u"readelf"_s, {"--dynamic", tree + u"/usr/bin/lumera"_s}).output;
    return !dynamic.contains(u"(NEEDED)"_s) || dynamic.contains(u"(RPATH)"_s) ||
           dynamic.contains(u"(RUNPATH)"_s);
}

// The files of an unpacked package, as paths from its root; the build-id links are rpm's own.
QStringList filesUnder(const QString& tree) {
    QStringList files;
    QDirIterator it(tree, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = QDir(tree).relativeFilePath(it.next());
        if (!file.startsWith(u"usr/lib/.build-id/"_s)) {
            files << file;
        }
    }
    files.sort();
    return files;
}

} // namespace

class PackagingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void installedTreeValidates();
    void debianPackagePassesLintian();
    void rpmPackagePassesRpmlint();
    void rpmSaysWhatTheDebSays();

private:
    void skipWithoutRpm() const;
    [[nodiscard]] QString rpmTag(const char* queryFormat) const;

    QTemporaryDir m_prefix;
    QTemporaryDir m_packageDir;
    QTemporaryDir m_debTree;
    QTemporaryDir m_rpmTree;
    QString m_deb;
    QString m_rpm;
};

// Both packages from the one build, each unpacked as its package manager would install it.
void PackagingTest::initTestCase() {
    m_deb = pack(u"DEB"_s, m_packageDir.path());
    QVERIFY(!m_deb.isEmpty());
    QCOMPARE(run(u"dpkg-deb"_s, {"--extract", m_deb, m_debTree.path()}).exitCode, 0);
    if (QStandardPaths::findExecutable(u"rpmbuild"_s).isEmpty()) {
        return;
    }
    m_rpm = pack(u"RPM"_s, m_packageDir.path());
    QVERIFY(!m_rpm.isEmpty());
    QProcess unpack;
    unpack.setWorkingDirectory(m_rpmTree.path());
    unpack.start(u"sh"_s,
                 {"-c", "rpm2cpio \"$0\" | cpio --extract --make-directories --quiet", m_rpm});
    QVERIFY(unpack.waitForFinished() && unpack.exitCode() == 0);
}

void PackagingTest::skipWithoutRpm() const {
    if (m_rpm.isEmpty()) {
        QSKIP("rpm is not installed: scripts/install-deps installs it");
    }
}

QString PackagingTest::rpmTag(const char* queryFormat) const {
    return run(u"rpm"_s, {"--query", "--package", "--queryformat", queryFormat, m_rpm}).output;
}

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
    // What lintian cannot know: the window asks for Liberation Sans by name; nothing links to it.
    QVERIFY(
        run(u"dpkg-deb"_s, {"--field", m_deb, "Depends"}).output.contains(u"fonts-liberation"_s));
    QVERIFY(!hasOwnSearchPath(m_debTree.path()));
    const Run lintian = run(u"lintian"_s, {"--fail-on", "error,warning", m_deb});
    QVERIFY2(lintian.exitCode == 0, qPrintable(lintian.output));
}

// The RPM distributions' checker, with the settings they build with. Only two findings are not
// faults: the signature is the distributor's to add, and Debian's rpmlint knows no licence list.
void PackagingTest::rpmPackagePassesRpmlint() {
    skipWithoutRpm();
    const Run rpmlint =
        run(u"rpmlint"_s, {"--config", LUMERA_SOURCE_DIR "/packaging/rpmlint.toml", m_rpm});
    QVERIFY2(rpmlint.output.contains(u"1 packages"_s), qPrintable(rpmlint.output));
    for (const QString& line : rpmlint.output.split(u'\n')) {
        const bool finding = line.contains(u": E: "_s) || line.contains(u": W: "_s);
        QVERIFY2(!finding || line.contains(u": E: no-signature"_s) ||
                     line.contains(u": W: invalid-license "_s),
                 qPrintable(rpmlint.output));
    }
    QVERIFY(!hasOwnSearchPath(m_rpmTree.path()));
    // Not relocatable: menus, icon themes and software centres look only under /usr.
    QCOMPARE(rpmTag("%{PREFIXES}"), u"(none)"_s);

    // Every requirement by a name all RPM distributions give: a library's soname, a font
    // family's capability, or rpm's own; never a package name of one distribution.
    const QStringList requirements = run(u"rpm"_s, {"--query", "--package", "--requires", m_rpm})
                                         .output.split(u'\n', Qt::SkipEmptyParts);
    static const QRegularExpression shared(
        uR"(^(lib[\w+.-]+\.so\.\d+\([\w.]*\)(\(64bit\))?|font\([a-z]+\)|rpmlib\(\w+\) <= [\d.-]+|rtld\(GNU_HASH\))$)"_s);
    for (const QString& requirement : requirements) {
        QVERIFY2(shared.match(requirement).hasMatch(), qPrintable(requirement));
    }
    // What rpmbuild cannot find: the font the window asks for by name, and the platform plugins
    // Qt loads at run time, by the library each comes with.
    QVERIFY(requirements.contains(u"font(liberationsans)"_s));
    QVERIFY(!requirements.filter(QRegularExpression(u"^libQt6XcbQpa\\.so\\.6\\(\\)"_s)).isEmpty());
    QVERIFY(run(u"rpm"_s, {"--query", "--package", "--recommends", m_rpm})
                .output.startsWith(u"libQt6WaylandClient.so.6()"_s));
}

// One install, two packages: the same files and the same facts about the program.
void PackagingTest::rpmSaysWhatTheDebSays() {
    skipWithoutRpm();
    QCOMPARE(filesUnder(m_rpmTree.path()), filesUnder(m_debTree.path()));

    const auto debField = [this](const char* field) {
        return run(u"dpkg-deb"_s, {"--field", m_deb, field}).output.trimmed();
    };
    // Debian's description: the summary, then the text a space in, an empty line as " .".
    QStringList description = debField("Description").split(u'\n');
    const QString summary = description.takeFirst();
    for (QString& line : description) {
        line = line.trimmed() == u"."_s ? QString() : line.trimmed();
    }
    QCOMPARE(rpmTag("%{SUMMARY}"), summary);
    QCOMPARE(rpmTag("%{DESCRIPTION}"), description.join(u'\n'));
    QCOMPARE(rpmTag("%{URL}"), debField("Homepage"));
    QCOMPARE(rpmTag("%{PACKAGER}"), debField("Maintainer"));
    // The licence as the software-centre entry names it.
    QFile metainfo(m_rpmTree.filePath(u"usr/share/metainfo/" LUMERA_APP_ID ".metainfo.xml"_s));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(metainfo.readAll())
                .contains(u"<project_license>"_s + rpmTag("%{LICENSE}") + u"</project_license>"_s));
}

QTEST_GUILESS_MAIN(PackagingTest)
#include "test_packaging.moc"
