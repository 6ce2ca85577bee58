// The installed program as a desktop sees it: the install tree, the menu entry, the icons, the
// software-centre entry and the Debian package, checked with the desktop's own validators.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <memory>

#ifndef LUMERA_BUILD_DIR
#error "LUMERA_BUILD_DIR must name the build tree to install"
#endif

namespace {

const QString appId = QStringLiteral(LUMERA_APP_ID);
const QString desktopFile = QStringLiteral("share/applications/%1.desktop").arg(appId);
const QString metainfoFile = QStringLiteral("share/metainfo/%1.metainfo.xml").arg(appId);
constexpr std::array desktopIconSizes{16, 32, 48, 256};
// What Debian asks of every package: its copyright and changelog, and the program's manual page,
// here in both languages of the program.
const QStringList debianDocuments{
    QStringLiteral("share/doc/lumera/copyright"), QStringLiteral("share/doc/lumera/changelog.gz"),
    QStringLiteral("share/man/man1/lumera.1.gz"), QStringLiteral("share/man/ru/man1/lumera.1.gz")};

QString iconFile(int size) {
    return QStringLiteral("share/icons/hicolor/%1x%1/apps/lumera.png").arg(size);
}

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

// Every file under `root`, as paths relative to it.
QSet<QString> filesUnder(const QString& root) {
    QSet<QString> found;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        found.insert(QDir(root).relativeFilePath(it.next()));
    }
    return found;
}

// The keys of a desktop entry's main group; Qt's ini reader would mangle the lists and locales.
QMap<QString, QString> desktopEntryKeys(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QMap<QString, QString> keys;
    bool inMainGroup = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
        } else if (inMainGroup && line.contains(QLatin1Char('='))) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
        }
    }
    return keys;
}

// What the metainfo says, element by element: "tag" or "tag[lang]" for translated texts, with
// attributes as "tag@attribute".
QMultiMap<QString, QString> metainfoFields(const QString& path) {
    QFile file(path);
    QMultiMap<QString, QString> fields;
    if (!file.open(QIODevice::ReadOnly)) {
        return fields;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const QString tag = xml.name().toString();
        const QString lang = xml.attributes().value(QStringLiteral("xml:lang")).toString();
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            if (attribute.qualifiedName() != QStringLiteral("xml:lang")) {
                fields.insert(tag + QLatin1Char('@') + attribute.name().toString(),
                              attribute.value().toString());
            }
        }
        if (tag == QStringLiteral("description") || tag == QStringLiteral("component") ||
            tag == QStringLiteral("screenshots") || tag == QStringLiteral("screenshot") ||
            tag == QStringLiteral("releases") || tag == QStringLiteral("provides") ||
            tag == QStringLiteral("categories")) {
            continue;
        }
        const QString key = lang.isEmpty() ? tag : tag + QLatin1Char('[') + lang + QLatin1Char(']');
        fields.insert(key,
                      xml.readElementText(QXmlStreamReader::IncludeChildElements).simplified());
    }
    if (xml.hasError()) {
        fields.insert(QStringLiteral("error"), xml.errorString());
    }
    return fields;
}

// Package names of a Depends field, without versions or alternatives' punctuation.
QStringList dependencyNames(const QString& depends) {
    QStringList names;
    for (const QString& clause : depends.split(QRegularExpression(QStringLiteral("[,|]")))) {
        names << clause.trimmed().section(QLatin1Char(' '), 0, 0).section(QLatin1Char(':'), 0, 0);
    }
    return names;
}

bool dependsOn(const QStringList& names, const QString& package) {
    // Debian renames libraries for ABI transitions (libqt6core6t64): same package, new suffix.
    return std::ranges::any_of(names, [&](const QString& name) {
        return name == package || name == package + QStringLiteral("t64");
    });
}

// Which of four inks a pixel of the icon shows: clear, black, white or cyan; '?' for a blend.
char inkOf(QRgb pixel) {
    if (qAlpha(pixel) < 128) {
        return ' ';
    }
    const int r = qRed(pixel);
    const int g = qGreen(pixel);
    const int b = qBlue(pixel);
    const auto near = [](int value, int target) { return std::abs(value - target) < 64; };
    if (near(r, 0) && near(g, 0) && near(b, 0)) {
        return 'k';
    }
    if (near(r, 255) && near(g, 255) && near(b, 255)) {
        return 'w';
    }
    if (near(r, 0) && near(g, 255) && near(b, 255)) {
        return 'c';
    }
    return '?';
}

} // namespace

class PackagingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void installTree_data();
    void installTree();
    void nothingElseIsInstalled();

    void desktopEntryValidates();
    void desktopEntry_data();
    void desktopEntry();

    void metainfoValidates();
    void metainfo_data();
    void metainfo();
    void metainfoScreenshotIsTheCommittedOne();

    void iconSizes_data();
    void iconSizes();
    void smallIconsAreTheWindowIconsPixels_data();
    void smallIconsAreTheWindowIconsPixels();
    void largeIconsKeepTheDesign_data();
    void largeIconsKeepTheDesign();
    void scalableIconIsTheSameSheet();

    void debianPackageHoldsTheInstallTree();
    void debianPackageDependencies_data();
    void debianPackageDependencies();
    void debianPackagePassesLintian();

private:
    [[nodiscard]] QString installed(const QString& relative) const {
        return m_prefix->filePath(relative);
    }
    [[nodiscard]] QString debField(const QString& field) const;

    std::unique_ptr<QTemporaryDir> m_prefix;
    std::unique_ptr<QTemporaryDir> m_packageDir;
    QString m_deb;
    QString m_sourceDir;
};

void PackagingTest::initTestCase() {
    m_sourceDir = qEnvironmentVariable("LUMERA_SOURCE_DIR");
    QVERIFY2(!m_sourceDir.isEmpty(), "LUMERA_SOURCE_DIR is not set");
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

QString PackagingTest::debField(const QString& field) const {
    const Run info = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), m_deb, field});
    return info.exitCode == 0 ? info.output.simplified() : QString();
}

void PackagingTest::installTree_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::newRow("program") << QStringLiteral("bin/lumera") << true;
    QTest::newRow("menu entry") << desktopFile << false;
    QTest::newRow("software-centre entry") << metainfoFile << false;
    for (const int size : desktopIconSizes) {
        QTest::newRow(qPrintable(QStringLiteral("icon %1").arg(size))) << iconFile(size) << false;
    }
    QTest::newRow("scalable icon")
        << QStringLiteral("share/icons/hicolor/scalable/apps/lumera.svg") << false;
    for (const QString& document : debianDocuments) {
        QTest::newRow(qPrintable(document)) << document << false;
    }
}

void PackagingTest::installTree() {
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo file(installed(path));
    QVERIFY2(file.isFile(), qPrintable(path + QStringLiteral(" is not installed")));
    QVERIFY(file.size() > 0);
    QCOMPARE(file.isExecutable(), executable);
}

void PackagingTest::nothingElseIsInstalled() {
    QSet<QString> expected{QStringLiteral("bin/lumera"), desktopFile, metainfoFile,
                           QStringLiteral("share/icons/hicolor/scalable/apps/lumera.svg")};
    expected.unite(QSet<QString>(debianDocuments.begin(), debianDocuments.end()));
    for (const int size : desktopIconSizes) {
        expected.insert(iconFile(size));
    }
    const QSet<QString> found = filesUnder(m_prefix->path());
    QStringList extra = (found - expected).values();
    extra.sort();
    QVERIFY2(extra.isEmpty(), qPrintable(QStringLiteral("also installed: ") + extra.join(", ")));
    QCOMPARE(found.size(), expected.size());
}

void PackagingTest::desktopEntryValidates() {
    const Run validate = run(QStringLiteral("desktop-file-validate"), {installed(desktopFile)});
    QVERIFY2(validate.exitCode == 0, qPrintable(validate.output));
    // Hints are advice (the three menu categories are wanted); errors and warnings are not.
    for (const QString& line : validate.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QVERIFY2(line.contains(QStringLiteral(": hint: ")), qPrintable(line));
    }
}

void PackagingTest::desktopEntry_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const auto row = [](const char* key, const char* value) {
        QTest::newRow(key) << QString::fromUtf8(key) << QString::fromUtf8(value);
    };
    row("Type", "Application");
    row("Name", "ЛЮМЕРА");
    row("Comment", "Teaching demonstration of the Bohr model of the hydrogen atom and its "
                   "spectral series");
    row("Comment[ru]", "Учебная демонстрация модели атома водорода по Бору и его спектральных "
                       "серий");
    row("Exec", "lumera");
    row("Icon", "lumera");
    row("Terminal", "false");
    row("Categories", "Education;Science;Physics;");
    // Qt names the window's class after the program, which is how X11 desktops match it.
    row("StartupWMClass", "lumera");
}

void PackagingTest::desktopEntry() {
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QMap<QString, QString> keys = desktopEntryKeys(installed(desktopFile));
    QVERIFY2(keys.contains(key), qPrintable(key + QStringLiteral(" is missing")));
    QCOMPARE(keys.value(key), value);
}

void PackagingTest::metainfoValidates() {
    const Run file =
        run(QStringLiteral("appstreamcli"),
            {QStringLiteral("validate"), QStringLiteral("--no-net"), installed(metainfoFile)});
    QVERIFY2(file.exitCode == 0, qPrintable(file.output));
    // The whole tree: the entry, the menu entry it launches and the icon that goes with them.
    const Run tree =
        run(QStringLiteral("appstreamcli"),
            {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), m_prefix->path()});
    QVERIFY2(tree.exitCode == 0, qPrintable(tree.output));
}

void PackagingTest::metainfo_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    const auto row = [](const char* field, const QString& value) {
        QTest::newRow(field) << QString::fromUtf8(field) << value;
    };
    row("component@type", QStringLiteral("desktop-application"));
    row("id", appId);
    row("launchable", appId + QStringLiteral(".desktop"));
    row("launchable@type", QStringLiteral("desktop-id"));
    row("name", QStringLiteral("ЛЮМЕРА"));
    row("content_rating@type", QStringLiteral("oars-1.1"));
    row("project_license", QStringLiteral("LicenseRef-proprietary"));
    row("metadata_license", QStringLiteral("CC0-1.0"));
    row("release@version", QStringLiteral(LUMERA_VERSION));
    row("binary", QStringLiteral("lumera"));
    row("screenshot@type", QStringLiteral("default"));
}

void PackagingTest::metainfo() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    const QMultiMap<QString, QString> fields = metainfoFields(installed(metainfoFile));
    QVERIFY2(!fields.contains(QStringLiteral("error")),
             qPrintable(fields.value(QStringLiteral("error"))));
    QVERIFY2(fields.contains(field), qPrintable(field + QStringLiteral(" is missing")));
    QCOMPARE(fields.value(field), value);
}

void PackagingTest::metainfoScreenshotIsTheCommittedOne() {
    const QMultiMap<QString, QString> fields = metainfoFields(installed(metainfoFile));
    // Summaries and description in both languages of the program.
    for (const char* text : {"summary", "summary[ru]", "p", "p[ru]"}) {
        QVERIFY2(!fields.value(QString::fromUtf8(text)).isEmpty(), text);
    }
    const QString image = fields.value(QStringLiteral("image"));
    QVERIFY2(image.startsWith(QStringLiteral("https://")), qPrintable(image));
    const QString name = image.section(QLatin1Char('/'), -2);
    QCOMPARE(name, QStringLiteral("docs/lumera-window.png"));
    const QImage screenshot(QDir(m_sourceDir).filePath(name));
    QVERIFY2(!screenshot.isNull(), qPrintable(name + QStringLiteral(" is not in the source tree")));
    QVERIFY(screenshot.width() >= 1024 && screenshot.height() >= 700);
}

void PackagingTest::iconSizes_data() {
    QTest::addColumn<int>("size");
    for (const int size : desktopIconSizes) {
        QTest::newRow(qPrintable(QStringLiteral("%1x%1").arg(size))) << size;
    }
}

void PackagingTest::iconSizes() {
    QFETCH(int, size);
    QImageReader reader(installed(iconFile(size)));
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage icon = reader.read();
    QCOMPARE(icon.size(), QSize(size, size));
    QVERIFY(icon.hasAlphaChannel());
    // A sheet on a clear ground: the corners show the desktop behind it.
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(size - 1, size - 1)), 0);
}

void PackagingTest::smallIconsAreTheWindowIconsPixels_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("icoImage");
    QTest::newRow("16x16") << 16 << 2;
    QTest::newRow("32x32") << 32 << 1; // the 16-colour image; the other is its monochrome copy
}

void PackagingTest::smallIconsAreTheWindowIconsPixels() {
    QFETCH(int, size);
    QFETCH(int, icoImage);
    QImageReader ico(QDir(m_sourceDir).filePath(QStringLiteral("assets/lumera.ico")));
    QVERIFY(ico.jumpToImage(icoImage));
    const QImage window = ico.read().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(window.size(), QSize(size, size));
    const QImage desktop = QImage(installed(iconFile(size))).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const char expected = inkOf(window.pixel(x, y));
            const char got = inkOf(desktop.pixel(x, y));
            QVERIFY2(got == expected, qPrintable(QStringLiteral("(%1, %2) is '%3', the window "
                                                                "icon has '%4'")
                                                     .arg(x)
                                                     .arg(y)
                                                     .arg(QLatin1Char(got))
                                                     .arg(QLatin1Char(expected))));
        }
    }
}

void PackagingTest::largeIconsKeepTheDesign_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("48x48") << 48;
    QTest::newRow("256x256") << 256;
}

void PackagingTest::largeIconsKeepTheDesign() {
    QFETCH(int, size);
    const QImage pixels = QImage(installed(iconFile(32))).convertToFormat(QImage::Format_ARGB32);
    const QImage large = QImage(installed(iconFile(size))).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(large.size(), QSize(size, size));
    // Away from the outline, each 32-px pixel's ink is what the larger icon shows at its centre.
    int compared = 0;
    for (int y = 1; y < 31; ++y) {
        for (int x = 1; x < 31; ++x) {
            const char ink = inkOf(pixels.pixel(x, y));
            bool uniform = ink != 'k';
            for (int dy = -1; dy <= 1 && uniform; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    uniform = uniform && inkOf(pixels.pixel(x + dx, y + dy)) == ink;
                }
            }
            if (!uniform) {
                continue;
            }
            const QPoint centre(int((x + 0.5) * size / 32), int((y + 0.5) * size / 32));
            const char got = inkOf(large.pixel(centre));
            QVERIFY2(got == ink, qPrintable(QStringLiteral("(%1, %2) is '%3', expected '%4'")
                                                .arg(centre.x())
                                                .arg(centre.y())
                                                .arg(QLatin1Char(got))
                                                .arg(QLatin1Char(ink))));
            ++compared;
        }
    }
    QVERIFY(compared > 400);
    // The outline is there too, not just the fills: the sheet's left edge at mid-height is black.
    const int edge = int(2.5 * size / 32);
    QCOMPARE(inkOf(large.pixel(edge, size / 2)), 'k');
}

void PackagingTest::scalableIconIsTheSameSheet() {
    QFile file(installed(QStringLiteral("share/icons/hicolor/scalable/apps/lumera.svg")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader svg(&file);
    QVERIFY(svg.readNextStartElement());
    QCOMPARE(svg.name().toString(), QStringLiteral("svg"));
    QCOMPARE(svg.attributes().value(QStringLiteral("viewBox")).toString(),
             QStringLiteral("0 0 32 32"));
    QStringList fills;
    while (!svg.atEnd()) {
        if (svg.readNext() == QXmlStreamReader::StartElement) {
            fills << svg.attributes().value(QStringLiteral("fill")).toString() +
                         svg.attributes().value(QStringLiteral("stroke")).toString();
        }
    }
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    // White sheet, cyan caption band, black outline and divider: the window icon's four inks.
    QVERIFY(fills.contains(QStringLiteral("#ffffff")));
    QVERIFY(fills.contains(QStringLiteral("#00ffff")));
    QVERIFY(fills.contains(QStringLiteral("none#000000")));
}

void PackagingTest::debianPackageHoldsTheInstallTree() {
    QCOMPARE(debField(QStringLiteral("Package")), QStringLiteral("lumera"));
    QCOMPARE(debField(QStringLiteral("Version")), QStringLiteral(LUMERA_VERSION));
    QCOMPARE(debField(QStringLiteral("Section")), QStringLiteral("education"));
    const Run contents = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), m_deb});
    QVERIFY2(contents.exitCode == 0, qPrintable(contents.output));
    QSet<QString> packaged;
    for (const QString& line : contents.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('-'))) {
            packaged.insert(line.section(QLatin1Char(' '), -1).remove(0, 2));
        }
    }
    QSet<QString> expected;
    for (const QString& file : filesUnder(m_prefix->path())) {
        expected.insert(QStringLiteral("usr/") + file);
    }
    QCOMPARE(packaged, expected);
}

void PackagingTest::debianPackageDependencies_data() {
    QTest::addColumn<QString>("package");
    QTest::newRow("Qt core") << QStringLiteral("libqt6core6");
    QTest::newRow("Qt GUI") << QStringLiteral("libqt6gui6");
    QTest::newRow("Qt widgets") << QStringLiteral("libqt6widgets6");
    QTest::newRow("fonts") << QStringLiteral("fonts-liberation");
    // Whichever package holds the X11 platform plugin on this system: nothing links to it.
    const QString plugin =
        QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/libqxcb.so");
    const Run owner = run(QStringLiteral("dpkg-query"), {QStringLiteral("--search"), plugin});
    QTest::newRow("X11 platform plugin")
        << (owner.exitCode == 0 ? owner.output.section(QLatin1Char(':'), 0, 0).trimmed()
                                : QStringLiteral("(no package holds %1)").arg(plugin));
}

void PackagingTest::debianPackageDependencies() {
    QFETCH(QString, package);
    const QString depends = debField(QStringLiteral("Depends"));
    QVERIFY2(dependsOn(dependencyNames(depends), package),
             qPrintable(QStringLiteral("Depends: ") + depends));
}

// Debian's own checker: its errors and warnings are faults; its notes are advice.
void PackagingTest::debianPackagePassesLintian() {
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
