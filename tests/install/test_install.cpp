// The program as a user gets it: installed from the build tree into a folder, and as the Debian
// package, checked by Debian's own tools, installed with apt, used from the PATH and removed
// without a trace.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
const QString buildDir = QStringLiteral(QUORVEL_BUILD_DIR);
const QString sourceDir = QStringLiteral(QUORVEL_SOURCE_DIR);
const QString version = QStringLiteral(QUORVEL_VERSION);
const QString appId = QStringLiteral("org.quorvel.ToolBox");

struct Run {
    bool started = false;
    int exit = -1;
    QByteArray out;
    QByteArray err;
    QString text() const { return QString::fromLocal8Bit(out + err); }
};

Run run(const QString& program, const QStringList& arguments, int timeoutMs = 300000,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Run result;
    result.started = process.waitForStarted(10000);
    if (!result.started)
        return result;
    if (!process.waitForFinished(timeoutMs))
        process.kill(), process.waitForFinished();
    result.exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

bool have(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// A check whose tool is missing is skipped, naming the Debian package that brings it.
#define REQUIRE_TOOL(program, package)                                                             \
    do {                                                                                           \
        if (!have(QStringLiteral(program)))                                                        \
            QSKIP(program " not found (Debian package " package ")");                              \
    } while (false)

QString architecture() {
    return QString::fromLatin1(
        run(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed());
}

QString packagePath() {
    return buildDir + QStringLiteral("/quorvel_%1_%2.deb").arg(version, architecture());
}

bool packageInstalled() {
    const Run status =
        run(QStringLiteral("dpkg-query"),
            {QStringLiteral("-W"), QStringLiteral("-f=${Status}"), QStringLiteral("quorvel")});
    return status.exit == 0 && status.out.contains("install ok installed");
}

// The lintian tags the README's Packaging section names, each with its reason.
QSet<QString> explainedTags() {
    QFile readme(sourceDir + QStringLiteral("/README.md"));
    if (!readme.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("\n## Packaging"));
    if (start < 0)
        return {};
    const qsizetype end = text.indexOf(QStringLiteral("\n## "), start + 1);
    const QString section = text.mid(start, end < 0 ? -1 : end - start);
    QSet<QString> tags;
    const QRegularExpression tag(QStringLiteral("`([a-z0-9][a-z0-9+.-]+)`"));
    for (auto it = tag.globalMatch(section); it.hasNext();)
        tags.insert(it.next().captured(1));
    return tags;
}

// The pseudo-terminal a virtual PIC prints on its first line, opened raw; its greeting.
QByteArray greeting(const QString& device) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return {};
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw); // TCSAFLUSH would throw the greeting away
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    while (!bytes.contains("\r\n") && clock.elapsed() < 10000) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            bytes.append(buffer, int(n));
    }
    ::close(fd);
    return bytes;
}
} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void installTreeHoldsTheProgram();
    void metadataPassesTheValidators_data();
    void metadataPassesTheValidators();
    void manualPagesRenderWithoutWarnings();

    void buildPackage();
    void packageHoldsWhatDebianExpects_data();
    void packageHoldsWhatDebianExpects();
    void packageCarriesTheFirmwareThatWasBuilt();
    void controlFields();
    void lintianReportsNoError();
    void installedPackageWorksFromThePath();
};

// `cmake --install` into a scratch prefix: what `make install` puts in /usr/local.
void TestInstall::installTreeHoldsTheProgram() {
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const Run install = run(QStringLiteral("cmake"), {QStringLiteral("--install"), buildDir,
                                                      QStringLiteral("--prefix"), prefix.path()});
    QVERIFY2(install.exit == 0, qPrintable(install.text()));
    const QStringList files{
        QStringLiteral("bin/quorvel"),
        QStringLiteral("bin/quorvel-convert"),
        QStringLiteral("share/applications/quorvel.desktop"),
        QStringLiteral("share/icons/hicolor/scalable/apps/quorvel.svg"),
        QStringLiteral("share/metainfo/%1.metainfo.xml").arg(appId),
        QStringLiteral("share/man/man1/quorvel.1.gz"),
        QStringLiteral("share/man/man1/quorvel-convert.1.gz"),
        QStringLiteral("share/man/man1/quorvel-picsim.1.gz"),
        QStringLiteral("share/doc/quorvel/copyright"),
        QStringLiteral("share/doc/quorvel/changelog.gz"),
    };
    for (const QString& file : files)
        QVERIFY2(QFileInfo::exists(prefix.filePath(file)), qPrintable(file + " is missing"));
    for (const QString& program :
         {QStringLiteral("bin/quorvel"), QStringLiteral("bin/quorvel-convert")})
        QVERIFY2(QFileInfo(prefix.filePath(program)).isExecutable(), qPrintable(program));
#ifdef QUORVEL_PICSIM_BUILT
    QVERIFY(QFileInfo(prefix.filePath(QStringLiteral("bin/quorvel-picsim"))).isExecutable());
#endif
    QFile desktop(prefix.filePath(QStringLiteral("share/applications/quorvel.desktop")));
    QVERIFY(desktop.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = desktop.readAll().split('\n');
    QVERIFY2(lines.contains("Exec=quorvel"), "the menu entry does not start quorvel");
    QVERIFY2(lines.contains("Icon=quorvel"), "the menu entry names no quorvel icon");
}

void TestInstall::metadataPassesTheValidators_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("menu entry") << "desktop-file-validate"
                                << "desktop-file-utils"
                                << QStringList{sourceDir + QStringLiteral("/dist/quorvel.desktop")};
    QTest::newRow("AppStream")
        << "appstreamcli"
        << "appstream"
        << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"),
                       QStringLiteral("--explain"),
                       sourceDir + QStringLiteral("/dist/%1.metainfo.xml").arg(appId)};
}

void TestInstall::metadataPassesTheValidators() {
    QFETCH(QString, tool);
    QFETCH(QString, package);
    QFETCH(QStringList, arguments);
    if (!have(tool))
        QSKIP(qPrintable(QStringLiteral("%1 not found (Debian package %2)").arg(tool, package)));
    const Run check = run(tool, arguments);
    QVERIFY2(check.exit == 0, qPrintable(check.text()));
}

// As lintian reads them: man --warnings prints every complaint of groff.
void TestInstall::manualPagesRenderWithoutWarnings() {
    REQUIRE_TOOL("man", "man-db");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (const QString& page : {QStringLiteral("quorvel"), QStringLiteral("quorvel-convert"),
                                QStringLiteral("quorvel-picsim")}) {
        const QString source = sourceDir + QStringLiteral("/dist/man/%1.1").arg(page);
        const Run render = run(QStringLiteral("man"),
                               {QStringLiteral("--warnings"), QStringLiteral("-E"),
                                QStringLiteral("UTF-8"), QStringLiteral("-l"), source},
                               60000, environment);
        QVERIFY2(render.exit == 0 && render.err.isEmpty(), qPrintable(page + ": " + render.text()));
        QVERIFY2(render.out.contains("NAME"), qPrintable(page));
    }
}

// The fixture of the package checks: one `cpack -G DEB` per run, as `make package` does.
void TestInstall::buildPackage() {
    REQUIRE_TOOL("dpkg-shlibdeps", "dpkg-dev");
    REQUIRE_TOOL("dpkg-deb", "dpkg");
    QDir build(buildDir);
    const QStringList old = build.entryList({QStringLiteral("quorvel_*.deb")}, QDir::Files);
    for (const QString& file : old)
        QVERIFY(build.remove(file));
    QProcess cpack;
    cpack.setWorkingDirectory(buildDir);
    cpack.start(QStringLiteral(QUORVEL_CPACK),
                {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                 buildDir + QStringLiteral("/CPackConfig.cmake")});
    QVERIFY(cpack.waitForStarted());
    QVERIFY(cpack.waitForFinished(600000));
    const QString said = QString::fromLocal8Bit(cpack.readAll());
    QVERIFY2(cpack.exitCode() == 0, qPrintable(said));
    QVERIFY2(QFileInfo::exists(packagePath()), qPrintable(packagePath() + " missing\n" + said));
}

// Path in the package, its mode, and whether it is the program (stripped, no RPATH).
void TestInstall::packageHoldsWhatDebianExpects_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("program");
    const auto row = [](const QString& path, const char* mode, bool program = false) {
        QTest::newRow(qPrintable(path)) << path << QString::fromLatin1(mode) << program;
    };
    row(QStringLiteral("./usr/bin/quorvel"), "-rwxr-xr-x", true);
    row(QStringLiteral("./usr/bin/quorvel-convert"), "-rwxr-xr-x", true);
#ifdef QUORVEL_PICSIM_BUILT
    row(QStringLiteral("./usr/bin/quorvel-picsim"), "-rwxr-xr-x", true);
#endif
    row(QStringLiteral("./usr/share/applications/quorvel.desktop"), "-rw-r--r--");
    row(QStringLiteral("./usr/share/icons/hicolor/scalable/apps/quorvel.svg"), "-rw-r--r--");
    row(QStringLiteral("./usr/share/metainfo/%1.metainfo.xml").arg(appId), "-rw-r--r--");
    row(QStringLiteral("./usr/share/man/man1/quorvel.1.gz"), "-rw-r--r--");
    row(QStringLiteral("./usr/share/man/man1/quorvel-convert.1.gz"), "-rw-r--r--");
    row(QStringLiteral("./usr/share/man/man1/quorvel-picsim.1.gz"), "-rw-r--r--");
    row(QStringLiteral("./usr/share/doc/quorvel/copyright"), "-rw-r--r--");
    row(QStringLiteral("./usr/share/doc/quorvel/changelog.gz"), "-rw-r--r--");
    row(QStringLiteral("./usr/share/doc/quorvel/"), "drwxr-xr-x");
}

void TestInstall::packageHoldsWhatDebianExpects() {
    QFETCH(QString, path);
    QFETCH(QString, mode);
    QFETCH(bool, program);
    if (!QFileInfo::exists(packagePath()))
        QSKIP("no package: buildPackage was skipped");
    const Run listing = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), packagePath()});
    QCOMPARE(listing.exit, 0);
    QString line;
    for (const QString& entry : QString::fromLocal8Bit(listing.out).split(QLatin1Char('\n')))
        if (entry.endsWith(QLatin1Char(' ') + path))
            line = entry;
    QVERIFY2(!line.isEmpty(), qPrintable(path + " is not in the package"));
    QCOMPARE(line.section(QLatin1Char(' '), 0, 0), mode);
    QVERIFY2(line.contains(QStringLiteral(" root/root ")), qPrintable(line));
    if (!program)
        return;
    QTemporaryDir unpacked;
    QVERIFY(unpacked.isValid());
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), packagePath(), unpacked.path()})
                 .exit,
             0);
    const QString file = unpacked.filePath(path);
    if (have(QStringLiteral("readelf"))) {
        const Run sections = run(QStringLiteral("readelf"), {QStringLiteral("-S"), file});
        QVERIFY2(!sections.out.contains(".debug_info"), "the program is not stripped");
        QVERIFY2(!sections.out.contains(".symtab"), "the program keeps its symbol table");
        const Run dynamic = run(QStringLiteral("readelf"), {QStringLiteral("-d"), file});
        QVERIFY2(!dynamic.out.contains("RPATH") && !dynamic.out.contains("RUNPATH"),
                 qPrintable(dynamic.text()));
    }
}

// Whatever firmware the build made is in the package, where the manual page says.
void TestInstall::packageCarriesTheFirmwareThatWasBuilt() {
    if (!QFileInfo::exists(packagePath()))
        QSKIP("no package: buildPackage was skipped");
    QDirIterator hexFiles(buildDir + QStringLiteral("/firmware"), {QStringLiteral("*.hex")},
                          QDir::Files);
    QStringList built;
    while (hexFiles.hasNext())
        built << QFileInfo(hexFiles.next()).fileName();
    if (built.isEmpty())
        QSKIP("this build made no firmware (gpasm, Debian package gputils)");
    const Run listing = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), packagePath()});
    for (const QString& hex : std::as_const(built))
        QVERIFY2(listing.out.contains("./usr/share/quorvel/firmware/" + hex.toLatin1()),
                 qPrintable(hex + " is not in the package"));
}

void TestInstall::controlFields() {
    if (!QFileInfo::exists(packagePath()))
        QSKIP("no package: buildPackage was skipped");
    const Run info = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), packagePath()});
    QCOMPARE(info.exit, 0);
    const QString control = QString::fromUtf8(info.out);
    const auto field = [&](const QString& name) {
        const QRegularExpression line(QStringLiteral("^%1: (.*)$").arg(name),
                                      QRegularExpression::MultilineOption);
        return line.match(control).captured(1);
    };
    QCOMPARE(field(QStringLiteral("Package")), QStringLiteral("quorvel"));
    QCOMPARE(field(QStringLiteral("Version")), version);
    QCOMPARE(field(QStringLiteral("Architecture")), architecture());
    QCOMPARE(field(QStringLiteral("Section")), QStringLiteral("electronics"));
    QVERIFY(field(QStringLiteral("Maintainer")).contains(QLatin1Char('@')));
    // Found by dpkg-shlibdeps from the programs themselves.
    QVERIFY2(field(QStringLiteral("Depends")).contains(QStringLiteral("libqt6serialport6")),
             qPrintable(control));
    QVERIFY2(field(QStringLiteral("Depends")).contains(QStringLiteral("libqt6widgets6")),
             qPrintable(control));
    // A synopsis and a description of several lines under it.
    QVERIFY(!field(QStringLiteral("Description")).isEmpty());
    const qsizetype description = control.indexOf(QStringLiteral("\nDescription: "));
    QVERIFY(control.mid(description).count(QStringLiteral("\n ")) >= 4);
}

// Errors fail; every warning must be named in the README's Packaging section with its reason.
void TestInstall::lintianReportsNoError() {
    REQUIRE_TOOL("lintian", "lintian");
    if (!QFileInfo::exists(packagePath()))
        QSKIP("no package: buildPackage was skipped");
    const Run lintian = run(QStringLiteral("lintian"), {QStringLiteral("--tag-display-limit"),
                                                        QStringLiteral("0"), packagePath()});
    QVERIFY2(lintian.started, "lintian did not start");
    const QSet<QString> explained = explainedTags();
    QStringList errors;
    QStringList unexplained;
    const QRegularExpression tagLine(QStringLiteral("^([EW]): quorvel[^:]*: (\\S+)"));
    for (const QString& line : QString::fromLocal8Bit(lintian.out).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = tagLine.match(line);
        if (!match.hasMatch())
            continue;
        if (match.captured(1) == QLatin1String("E"))
            errors << line;
        else if (!explained.contains(match.captured(2)))
            unexplained << line;
    }
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    QVERIFY2(unexplained.isEmpty(),
             qPrintable(QStringLiteral("warnings the README's Packaging section does not "
                                       "explain:\n") +
                        unexplained.join(QLatin1Char('\n'))));
    QVERIFY2(lintian.exit == 0, qPrintable(lintian.text())); // 2: lintian itself failed
}

// As a user gets it: apt installs the package with what it depends on, the programs and the
// manual pages are found from the PATH, and a purge leaves none of its files behind.
void TestInstall::installedPackageWorksFromThePath() {
    if (::geteuid() != 0)
        QSKIP("installing the package needs root (CI runs as root on a machine of its own)");
    REQUIRE_TOOL("apt-get", "apt");
    REQUIRE_TOOL("man", "man-db");
    if (!QFileInfo::exists(packagePath()))
        QSKIP("no package: buildPackage was skipped");
    if (packageInstalled())
        QSKIP("a quorvel package is installed already; remove it first "
              "(apt-get remove --purge quorvel)");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DEBIAN_FRONTEND"), QStringLiteral("noninteractive"));
    const QStringList lockWait{QStringLiteral("-o"), QStringLiteral("DPkg::Lock::Timeout=300")};
    const Run install =
        run(QStringLiteral("apt-get"),
            lockWait + QStringList{QStringLiteral("install"), QStringLiteral("-y"), packagePath()},
            600000, environment);
    QVERIFY2(install.exit == 0, qPrintable(install.text()));
    const Run listed =
        run(QStringLiteral("dpkg-query"), {QStringLiteral("-L"), QStringLiteral("quorvel")});
    QStringList files;
    for (const QString& path : QString::fromLocal8Bit(listed.out).split(QLatin1Char('\n')))
        if (!path.isEmpty() && !QFileInfo(path).isDir())
            files << path;
    const auto purge = [&] {
        return run(QStringLiteral("apt-get"),
                   lockWait + QStringList{QStringLiteral("remove"), QStringLiteral("--purge"),
                                          QStringLiteral("-y"), QStringLiteral("quorvel")},
                   600000, environment);
    };
    // Whatever fails below, the machine does not keep the package.
    struct PurgeAtEnd {
        std::function<Run()> purge;
        bool done = false;
        ~PurgeAtEnd() {
            if (!done)
                purge();
        }
    } purgeAtEnd{purge};

    QVERIFY2(files.contains(QStringLiteral("/usr/bin/quorvel-convert")), qPrintable(listed.text()));
    QCOMPARE(QStandardPaths::findExecutable(QStringLiteral("quorvel-convert")),
             QStringLiteral("/usr/bin/quorvel-convert"));

    // No display for the command-line converter.
    QProcessEnvironment bare = environment;
    bare.remove(QStringLiteral("QT_QPA_PLATFORM"));
    bare.remove(QStringLiteral("DISPLAY"));
    const Run versionRun =
        run(QStringLiteral("quorvel-convert"), {QStringLiteral("--version")}, 30000, bare);
    QVERIFY2(versionRun.exit == 0 && versionRun.out.contains(version.toLatin1()),
             qPrintable(versionRun.text()));

    QTemporaryDir work;
    QVERIFY(work.isValid());
    QImage picture(128, 64, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(0, 0, 8, 8, Qt::black);
    QVERIFY(picture.save(work.filePath(QStringLiteral("block.png"))));
    const Run convert = run(QStringLiteral("quorvel-convert"),
                            {work.filePath(QStringLiteral("block.png"))}, 30000, bare);
    QVERIFY2(convert.exit == 0, qPrintable(convert.text()));
    // Vertical bytes, page by page: the 8x8 block is the first eight columns of page 0.
    const QByteArray hex = convert.out.trimmed();
    QCOMPARE(hex.size(), 128 * 64 / 8 * 2);
    QCOMPARE(hex.left(18), QByteArray("ffffffffffffffff00"));
    QCOMPARE(hex.count('f'), 16);

    const Run pages = run(QStringLiteral("man"),
                          {QStringLiteral("-w"), QStringLiteral("quorvel"),
                           QStringLiteral("quorvel-convert"), QStringLiteral("quorvel-picsim")},
                          30000, environment);
    QVERIFY2(pages.exit == 0, qPrintable(pages.text()));
    QCOMPARE(pages.out.trimmed().split('\n').size(), 3);

#ifdef QUORVEL_PICSIM_BUILT
    QProcessEnvironment headless = environment;
    headless.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess picsim;
    picsim.setProcessEnvironment(headless);
    picsim.start(QStringLiteral("quorvel-picsim"),
                 {QStringLiteral("--no-window"), QStringLiteral("--quiet")});
    QVERIFY2(picsim.waitForStarted(10000), "quorvel-picsim is not on the PATH");
    QElapsedTimer clock;
    clock.start();
    while (!picsim.canReadLine() && clock.elapsed() < 10000)
        picsim.waitForReadyRead(100);
    const QString device = QString::fromLocal8Bit(picsim.readLine()).trimmed();
    QVERIFY2(device.startsWith(QStringLiteral("/dev/")), qPrintable(device));
    QCOMPARE(greeting(device), QByteArray("READY\r\n"));
    picsim.terminate();
    QVERIFY(picsim.waitForFinished(10000));
#endif

    const Run removed = purge();
    purgeAtEnd.done = true;
    QVERIFY2(removed.exit == 0, qPrintable(removed.text()));
    QVERIFY(!packageInstalled());
    QStringList left;
    for (const QString& file : std::as_const(files))
        if (QFileInfo::exists(file) || QFileInfo(file).isSymLink())
            left << file;
    QVERIFY2(left.isEmpty(),
             qPrintable(QStringLiteral("left behind: ") + left.join(QLatin1Char(' '))));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/usr/share/doc/quorvel")));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
