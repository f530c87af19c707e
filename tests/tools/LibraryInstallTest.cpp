// libzentravo as another program sees it: installed into a temporary prefix, then a small
// program is built against it, once with its CMake package and once with pkg-config, and run.
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "tests/ProgramRun.h"

#include <gtest/gtest.h>

namespace {

// Runs a program to its end; the exit code, with its output on failure.
int run(const QString& program, const QStringList& arguments, QString* output = nullptr,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    const ProgramRun result = ProgramRun::of(program, arguments, 600000, environment);
    if (output)
        *output = QString::fromUtf8(result.out).trimmed();
    if (!result.ok())
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString() << "\n"
                      << result.out.toStdString() << result.err.toStdString();
    return result.exitCode;
}

TEST(LibraryInstallTest, OutsideProgramBuildsAgainstTheInstalledLibraryAndUsesIt) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("prefix");
    ASSERT_EQ(run(ZENTRAVO_CMAKE, {"--install", ZENTRAVO_BINARY_DIR, "--prefix", prefix}), 0);
    for (const char* header : {"CTavImage.h", "CTavImageEncoder.h", "CxImageGIF.h", "CxImage.h",
                               "CxFile.h", "CxIOFile.h"})
        EXPECT_TRUE(QFile::exists(prefix + "/include/zentravo/" + header)) << header;

    // Pictures made by Pillow: a PCX (read by the picture library) and a GIF.
    ASSERT_EQ(
        run("/usr/bin/python3",
            {"-c",
             "import sys; from PIL import Image; im = Image.new('RGB', (7, 5), (9, 99, 199)); "
             "im.save(sys.argv[1]); im.save(sys.argv[2])",
             dir.filePath("in.pcx"), dir.filePath("in.gif")}),
        0);

    // 1. CMake package.
    const QString build = dir.filePath("build");
    ASSERT_EQ(run(ZENTRAVO_CMAKE,
                  {"-S", ZENTRAVO_SOURCE_DIR "/tests/tools/outside", "-B", build, "-G", "Ninja",
                   "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_PREFIX_PATH=" + prefix}),
              0);
    ASSERT_EQ(run(ZENTRAVO_CMAKE, {"--build", build}), 0);

    // 2. pkg-config and the compiler alone.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString libDir = QDir(prefix).entryList({"lib*"}, QDir::Dirs).value(0);
    environment.insert("PKG_CONFIG_PATH", prefix + "/" + libDir + "/pkgconfig");
    QString flags;
    ASSERT_EQ(run("/usr/bin/pkg-config", {"--cflags", "--libs", "zentravo"}, &flags, environment),
              0);
    const QString pcProgram = dir.filePath("outside-pc");
    QStringList compile = {
        "-std=c++20", "-fPIC",   ZENTRAVO_SOURCE_DIR "/tests/tools/outside/main.cpp",
        "-o",         pcProgram, "-Wl,-rpath," + prefix + "/" + libDir};
    compile += flags.split(' ', Qt::SkipEmptyParts);
    ASSERT_EQ(run(ZENTRAVO_CXX, compile), 0);

    for (const QString& program : {build + "/outside", pcProgram}) {
        SCOPED_TRACE(program.toStdString());
        const QString out = dir.filePath(QFileInfo(program).fileName());
        QString printed;
        ASSERT_EQ(run(program, {dir.filePath("in.pcx"), dir.filePath("in.gif"), out}, &printed), 0);
        EXPECT_EQ(printed, "7x5 type 8 gif 7x5");
        // Pillow reads back what the program saved.
        QString seen;
        run("/usr/bin/python3",
            {"-c",
             "import sys; from PIL import Image; a = Image.open(sys.argv[1]); "
             "b = Image.open(sys.argv[2]); print(a.format, a.size, a.convert('RGB').getpixel((3, "
             "2)), "
             "b.format, b.size)",
             out + ".png", out + ".jpg"},
            &seen);
        EXPECT_EQ(seen, "PNG (7, 5) (9, 99, 199) JPEG (7, 5)");
    }
}

TEST(LibraryInstallTest, TheApplicationInstallsWithItsMenuEntryIconHelpAndSamples) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("prefix");
    ASSERT_EQ(run(ZENTRAVO_CMAKE, {"--install", ZENTRAVO_BINARY_DIR, "--prefix", prefix}), 0);
    for (const char* file :
         {"bin/zentravo", "bin/zentravo-cli", "share/applications/zentravo.desktop",
          "share/icons/hicolor/scalable/apps/zentravo.svg", "share/zentravo/help/index.html",
          "share/zentravo/template/template_1.vrn", "share/zentravo/template/template_1.gif"})
        EXPECT_TRUE(QFileInfo::exists(prefix + "/" + file)) << file;
    QFile entry(prefix + "/share/applications/zentravo.desktop");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    EXPECT_TRUE(text.contains("Exec=zentravo %f"));
    EXPECT_TRUE(text.contains("Icon=zentravo"));
    // The installed command-line program works from its own folder.
    QString out;
    EXPECT_EQ(run(prefix + "/bin/zentravo-cli",
                  {"info", prefix + "/share/zentravo/template/template_1.vrn"}, &out),
              0);
    EXPECT_TRUE(out.contains("\"layers\"")) << out.toStdString();
}

} // namespace
