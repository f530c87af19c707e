// The Debian package `make package` builds, made here from this build tree with CPack: what it
// installs (dpkg-deb -c), what it depends on (dpkg-deb -f), and its programs run from a
// temporary root it was unpacked into (dpkg -x), the thumbnailer as its entry runs it.
#include "tests/ProgramRun.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new QTemporaryDir;
        const ProgramRun cpack =
            ProgramRun::of(ZENTRAVO_CPACK,
                           {"-G", "DEB", "-B", folder->path(), "--config",
                            ZENTRAVO_BINARY_DIR "/CPackConfig.cmake"},
                           600000);
        ASSERT_TRUE(cpack.ok()) << cpack.out.toStdString() << cpack.err.toStdString();
        const QStringList debs = QDir(folder->path()).entryList({"*.deb"}, QDir::Files);
        ASSERT_EQ(debs.size(), 1) << debs.join(' ').toStdString();
        deb = new QString(QDir(folder->path()).filePath(debs.front()));
    }
    static void TearDownTestSuite() {
        delete deb;
        delete folder;
        deb = nullptr;
        folder = nullptr;
    }
    void SetUp() override { ASSERT_NE(deb, nullptr) << "the package was not built"; }
    static ProgramRun dpkgDeb(const QStringList& arguments) {
        return ProgramRun::of("/usr/bin/dpkg-deb", arguments, 120000);
    }

    static QTemporaryDir* folder;
    static QString* deb;
};

QTemporaryDir* PackageTest::folder = nullptr;
QString* PackageTest::deb = nullptr;

TEST_F(PackageTest, ItInstallsEveryPartOfTheProgramUnderUsr) {
    EXPECT_TRUE(QFileInfo(*deb).fileName().startsWith("zentravo_" ZENTRAVO_VERSION "_"));
    const ProgramRun listing = dpkgDeb({"-c", *deb});
    ASSERT_TRUE(listing.ok()) << listing.err.toStdString();
    const QString files = QString::fromUtf8(listing.out);
    const char* const expected[] = {
        "./usr/bin/zentravo",
        "./usr/bin/zentravo-cli",
        "./usr/lib/libzentravo.so." ZENTRAVO_VERSION,
        "./usr/include/zentravo/CTavImage.h",
        "./usr/include/zentravo/CxImageGIF.h",
        "./usr/include/zentravo/gif/CxImage.h",
        "./usr/lib/cmake/Zentravo/ZentravoConfig.cmake",
        "./usr/lib/pkgconfig/zentravo.pc",
        "./usr/share/zentravo/template/template_1.vrn",
        "./usr/share/zentravo/help/index.html",
        "./usr/share/applications/zentravo.desktop",
        "./usr/share/icons/hicolor/scalable/apps/zentravo.svg",
        "./usr/share/mime/packages/zentravo.xml",
        "./usr/share/thumbnailers/zentravo.thumbnailer",
        "./usr/share/metainfo/" ZENTRAVO_APP_ID ".metainfo.xml",
    };
    for (const char* path : expected)
        EXPECT_TRUE(QRegularExpression(QRegularExpression::escape(path) + "( |$)",
                                       QRegularExpression::MultilineOption)
                        .match(files)
                        .hasMatch())
            << path;
    // Owned by root, and nothing outside /usr (no build folder, no /usr/local).
    for (const QString& line : files.split('\n', Qt::SkipEmptyParts)) {
        EXPECT_TRUE(line.contains(" root/root ")) << line.toStdString();
        EXPECT_TRUE(line.contains(" ./usr/") || line.endsWith(" ./")) << line.toStdString();
        EXPECT_FALSE(line.contains("/usr/local")) << line.toStdString();
    }

    // The libraries the programs link (found by dpkg-shlibdeps) and the plugins they load.
    const ProgramRun fields = dpkgDeb({"-f", *deb, "Package", "Version", "Depends", "Maintainer"});
    ASSERT_TRUE(fields.ok());
    const QString control = QString::fromUtf8(fields.out);
    EXPECT_TRUE(control.contains("Package: zentravo\n"));
    EXPECT_TRUE(control.contains("Version: " ZENTRAVO_VERSION "\n"));
    EXPECT_TRUE(control.contains("Maintainer: "));
    for (const char* dependency :
         {"libqt6widgets6", "libqt6svg6", "libqt6network6", "libavcodec", "libavformat",
          "libswscale", "libmagickcore-6.q16", "libimagequant", "qt6-image-formats-plugins"})
        EXPECT_TRUE(control.contains(dependency)) << dependency << "\n" << control.toStdString();
}

TEST_F(PackageTest, ItsProgramsRunFromTheUnpackedRoot) {
    QTemporaryDir root;
    const ProgramRun unpacked = ProgramRun::of("/usr/bin/dpkg", {"-x", *deb, root.path()}, 120000);
    ASSERT_TRUE(unpacked.ok()) << unpacked.err.toStdString();
    const QString bin = root.filePath("usr/bin");

    const ProgramRun version = ProgramRun::of(bin + "/zentravo-cli", {"--version"});
    ASSERT_TRUE(version.ok()) << version.err.toStdString();
    EXPECT_EQ(version.out, "zentravo-cli " ZENTRAVO_VERSION "\n");

    // The thumbnailer entry's command, as a file manager fills it in, with the installed
    // programs first on the path.
    QString command;
    QFile entry(root.filePath("usr/share/thumbnailers/zentravo.thumbnailer"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(entry.readAll()).split('\n'))
        if (line.startsWith("Exec="))
            command = line.mid(5);
    const QString sample = root.filePath("usr/share/zentravo/template/template_1.vrn");
    const QString out = root.filePath("thumbnail.png");
    QStringList words = command.split(' ');
    ASSERT_EQ(words.size(), 5);
    words.replaceInStrings("%i", sample).replaceInStrings("%o", out).replaceInStrings("%s", "128");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", bin + ":" + environment.value("PATH"));
    QProcess thumbnailer;
    thumbnailer.setProcessEnvironment(environment);
    thumbnailer.start(QStandardPaths::findExecutable(words.front(), {bin}), words.mid(1));
    ASSERT_TRUE(thumbnailer.waitForFinished(60000));
    EXPECT_EQ(thumbnailer.exitCode(), 0) << thumbnailer.readAllStandardError().toStdString();
    const QImage thumbnail(out);
    EXPECT_EQ(thumbnail.size(), QSize(128, 96)); // the 640 x 480 sample, fitted
}

} // namespace
