// zentravo-cli thumbnail, as a file manager's thumbnailer runs it: frame 0 of a project fitted
// into a square, compared with the frame the render command writes (the export's frame 0).
#include "document/ProjectStore.h"
#include "tests/ProgramRun.h"
#include "tests/document/EditorTestSupport.h"

#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ProgramRun cli(const QStringList& arguments) {
    return ProgramRun::of(ZENTRAVO_CLI, arguments, 60000);
}

// Mean absolute difference per channel of two pictures of one size (-1 when they differ).
double meanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull())
        return -1;
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int k = 0; k < x.width() * 3; ++k)
            sum += std::abs(int(x.constScanLine(row)[k]) - int(y.constScanLine(row)[k]));
    return sum / (double(x.width()) * x.height() * 3);
}

class ThumbnailCommandTest : public ::testing::Test {
protected:
    ThumbnailCommandTest() {
        // A wide stage (300 x 40) with a red symbol on a blue ground.
        ProjectProperties properties;
        properties.name = "Wide";
        properties.width = 300;
        properties.height = 40;
        properties.backgroundColor = 0xC08020;
        editor.newProject(properties);
        QImage red(60, 30, QImage::Format_ARGB32);
        red.fill(qRgb(220, 30, 30));
        editor.insertLibrarySymbol(SymbolId::create(), {red});
        EXPECT_TRUE(ProjectStore::writeFile(wide.toStdString(), editor.project(), editor.symbols()));
    }
    QImage thumbnail(const QString& project, int size) {
        const QString out = folder.filePath(QStringLiteral("thumb-%1.png").arg(size));
        const ProgramRun run = cli({"thumbnail", project, out, QString::number(size)});
        EXPECT_TRUE(run.ok()) << run.err.toStdString();
        return QImage(out);
    }
    QImage frameZero(const QString& project) {
        const QString out = folder.filePath("frame0.png");
        EXPECT_TRUE(cli({"render", project, "0", out}).ok());
        return QImage(out);
    }

    TestEditor editor;
    QTemporaryDir folder;
    QString wide = folder.filePath("wide.vrn");
    QString sample = ZENTRAVO_BINARY_DIR "/bin/template/template_1.vrn";
};

TEST_F(ThumbnailCommandTest, FrameZeroFitsTheSquareWithItsAspectAndIsNeverEnlarged) {
    struct Row {
        QString project;
        int size;
        QSize expected;
    };
    const Row rows[] = {
        {sample, 256, {256, 192}}, // 640 x 480: the width meets the square
        {sample, 128, {128, 96}},
        {sample, 640, {640, 480}},  // fits exactly
        {sample, 1024, {640, 480}}, // never enlarged
        {wide, 128, {128, 17}},     // 40 * 128 / 300, truncated
        {wide, 5, {5, 1}},          // a sliver keeps a row
        {wide, 1, {1, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.size);
        EXPECT_EQ(thumbnail(row.project, row.size).size(), row.expected);
    }
}

TEST_F(ThumbnailCommandTest, ThePixelsAreTheExportsFrameZero) {
    for (const QString& project : {sample, wide}) {
        SCOPED_TRACE(project.toStdString());
        const QImage frame = frameZero(project);
        ASSERT_FALSE(frame.isNull());
        // At its own size, the very frame.
        EXPECT_EQ(thumbnail(project, 4096).convertToFormat(QImage::Format_RGB888),
                  frame.convertToFormat(QImage::Format_RGB888));
        // Shrunk, close to what ImageMagick makes of the frame at that size.
        const QImage small = thumbnail(project, 100);
        const QString reference = folder.filePath("reference.png");
        ASSERT_TRUE(ProgramRun::of("/usr/bin/convert",
                                   {folder.filePath("frame0.png"), "-resize",
                                    QStringLiteral("%1x%2!").arg(small.width()).arg(small.height()),
                                    reference})
                        .ok());
        const double difference = meanDifference(small, QImage(reference));
        EXPECT_GE(difference, 0);
        EXPECT_LT(difference, 6.0);
    }
}

TEST_F(ThumbnailCommandTest, AWrongCommandLineOrProjectIsRefused) {
    const QString out = folder.filePath("refused.png");
    struct Row {
        QStringList arguments;
        int exitCode;
        const char* message;
    };
    const Row rows[] = {
        {{"thumbnail", wide, out}, 2, "usage:"},
        {{"thumbnail", wide, out, "0"}, 2, "SIZE must be"},
        {{"thumbnail", wide, out, "4097"}, 2, "SIZE must be"},
        {{"thumbnail", wide, out, "12px"}, 2, "SIZE must be"},
        {{"thumbnail", wide, out, "64", "extra"}, 2, "usage:"},
        {{"thumbnail", wide, out, "64", "--zoom", "2"}, 2, "thumbnail:"},
        {{"thumbnail", folder.filePath("missing.vrn"), out, "64"}, 1, "Failed to load project"},
        {{"thumbnail", wide, folder.filePath("no folder/t.png"), "64"}, 1, "cannot write"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const ProgramRun run = cli(row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_TRUE(run.err.contains(row.message)) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));

    const ProgramRun version = cli({"--version"});
    EXPECT_TRUE(version.ok());
    EXPECT_TRUE(QRegularExpression("^zentravo-cli \\d+\\.\\d+\\.\\d+\\n$")
                    .match(QString::fromUtf8(version.out))
                    .hasMatch())
        << version.out.toStdString();
}

} // namespace
