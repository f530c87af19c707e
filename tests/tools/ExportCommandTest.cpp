// zentravo-cli export: the real executable on saved projects. Its GIF has the same bytes as
// the export the stage worker runs; SWF and AVI outputs are read by ffprobe.
#include "document/ProjectReader.h"
#include "document/ProjectStore.h"
#include "export/GifExporter.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/export/ExportFrames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "tests/ProgramRun.h"

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ExportCommandTest : public ::testing::Test {
protected:
    ExportCommandTest() {
        ProjectProperties properties;
        properties.name = "Cli";
        properties.width = 75; // not a multiple of 4
        properties.height = 40;
        properties.duration = 7;
        editor.newProject(properties);
        std::vector<QImage> frames = solidFrames(3, 16, 16);
        frames[1].fill(qRgb(250, 200, 0));
        frames[2].fill(qRgb(0, 120, 250));
        editor.insertLibrarySymbol(SymbolId::create(), frames);
        ObjectRecord& r = editor.project().objects[0].record;
        r.motionKind = kLinerMotion;
        r.startX = 0;
        r.endX = 60;
        r.endAngle = 45;
        // Saved after the stage showed a later frame: the symbol's picture index is not 0, so
        // the first exported frame depends on every draw made before it.
        editor.symbols().records[0].currentFrame = 2;
        project = dir.filePath("cli.vrn");
        EXPECT_TRUE(
            ProjectStore::writeFile(project.toStdString(), editor.project(), editor.symbols()));
    }

    QTemporaryDir dir;
    TestEditor editor;
    QString project;
};

TEST_F(ExportCommandTest, GifBytesMatchTheFrameByFrameExport) {
    const ProgramRun cli =
        ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("cli"), "--loops", "3"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    EXPECT_EQ(cli.out.trimmed(), dir.filePath("cli.gif").toUtf8()); // ".gif" appended
    EXPECT_TRUE(cli.err.isEmpty()); // no progress bar when stderr is not a terminal

    // The same saved project through the stage worker: its redraw, then a frame per pass.
    std::optional<LoadedProject> saved = ProjectReader::readFile(project.toStdString());
    ASSERT_TRUE(saved.has_value());
    Document document;
    ProjectEditor(document).openLoaded(std::move(saved->project), std::move(saved->symbols));
    const std::string path = dir.filePath("worker.gif").toStdString();
    ASSERT_TRUE(exportAsTheApplicationDoes(document, path, std::make_unique<GifExporter>(3)));
    const QByteArray fromWorker = readAll(QString::fromStdString(path));
    ASSERT_FALSE(fromWorker.isEmpty());
    EXPECT_EQ(readAll(dir.filePath("cli.gif")), fromWorker);
}

TEST_F(ExportCommandTest, SwfAndAviFollowTheExtension) {
    ProgramRun cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("movie.SWF")});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    ProgramRun probe =
        ProgramRun::of("/usr/bin/ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                                            "stream=codec_name,nb_read_frames,width,height", "-of",
                                            "csv=p=0", dir.filePath("movie.SWF")});
    EXPECT_EQ(probe.out.trimmed(), "flv1,75,40,7");

    cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("clip.avi"), "--codec",
                                        "mjpeg", "--quality", "9000", "--keyframes", "2"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    probe = ProgramRun::of("/usr/bin/ffprobe", {"-v", "error", "-count_frames", "-show_entries",
                                                "stream=codec_name,r_frame_rate,nb_read_frames",
                                                "-of", "csv=p=0", dir.filePath("clip.avi")});
    EXPECT_EQ(probe.out.trimmed(), "mjpeg,12/1,7");

    cli = ProgramRun::of(ZENTRAVO_CLI,
                         {"export", project, dir.filePath("bad.avi"), "--codec", "nope"});
    EXPECT_EQ(cli.exitCode, 1);
    EXPECT_TRUE(cli.err.contains("Write AVI error.")) << cli.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("bad.avi")));
}

TEST_F(ExportCommandTest, FailuresSayWhyAndLeaveNoFile) {
    Project empty = Project::unnamed("Empty");
    const QString emptyPath = dir.filePath("empty.vrn");
    ASSERT_TRUE(ProjectStore::writeFile(emptyPath.toStdString(), empty, EmbeddedSymbolList()));
    ProgramRun cli = ProgramRun::of(ZENTRAVO_CLI, {"export", emptyPath, dir.filePath("e.gif")});
    EXPECT_EQ(cli.exitCode, 1);
    EXPECT_TRUE(cli.err.contains("No animation to export.")) << cli.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("e.gif")));

    cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("missing/x.gif")});
    EXPECT_EQ(cli.exitCode, 1);
    EXPECT_FALSE(cli.err.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/x.gif")));

    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.gif"));
    cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("taken.gif")});
    EXPECT_EQ(cli.exitCode, 1);
    EXPECT_TRUE(cli.err.contains("Overite failed.")) << cli.err.toStdString();

    cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project});
    EXPECT_EQ(cli.exitCode, 2);
}

TEST_F(ExportCommandTest, QualityChoosesTheGifModeAndBestEqualsTheWorkerExport) {
    // Classic is the default; best writes frames over the ones before them (disposal 1).
    ProgramRun cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("plain.gif")});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    cli = ProgramRun::of(ZENTRAVO_CLI,
                         {"export", project, dir.filePath("classic.gif"), "--quality", "classic"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    EXPECT_EQ(readAll(dir.filePath("classic.gif")), readAll(dir.filePath("plain.gif")));
    cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("best.gif"), "--quality",
                                        "best", "--loops", "3"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    const QByteArray best = readAll(dir.filePath("best.gif"));
    EXPECT_TRUE(best.contains(QByteArray("\x21\xF9\x04\x04", 4))); // graphic control, disposal 1
    EXPECT_LT(best.size(), readAll(dir.filePath("classic.gif")).size());

    // The application's export of the same saved project writes the same bytes.
    std::optional<LoadedProject> saved = ProjectReader::readFile(project.toStdString());
    ASSERT_TRUE(saved.has_value());
    Document document;
    ProjectEditor(document).openLoaded(std::move(saved->project), std::move(saved->symbols));
    const std::string path = dir.filePath("worker.gif").toStdString();
    ASSERT_TRUE(exportAsTheApplicationDoes(document, path,
                                           std::make_unique<GifExporter>(3, GifQuality::Best)));
    EXPECT_EQ(readAll(QString::fromStdString(path)), best);

    // A GIF's quality is a mode, an AVI's a number.
    struct Row {
        const char* output;
        const char* quality;
        const char* message;
    };
    const Row rows[] = {{"q.gif", "7", "--quality of a GIF takes classic or best"},
                        {"q.gif", "Best", "--quality of a GIF takes classic or best"},
                        {"q.avi", "best", "--quality takes 0 (worst) to 10000 (best)"}};
    for (const Row& row : rows) {
        cli = ProgramRun::of(
            ZENTRAVO_CLI, {"export", project, dir.filePath(row.output), "--quality", row.quality});
        EXPECT_EQ(cli.exitCode, 2) << row.quality;
        EXPECT_TRUE(cli.err.contains(row.message)) << cli.err.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(row.output)));
    }
}

// The share formats through the command line: the table as JSON, the format from the extension
// or --format, the options a format takes, the scale, and a size budget met or not.
TEST_F(ExportCommandTest, ShareFormatsTakeTheirOptionsAndABudget) {
    ProgramRun cli = ProgramRun::of(ZENTRAVO_CLI, {"formats"});
    ASSERT_EQ(cli.exitCode, 0);
    const QJsonArray table = QJsonDocument::fromJson(cli.out).array();
    QStringList ids;
    for (const QJsonValue& row : table)
        ids << row["id"].toString();
    EXPECT_EQ(ids, QStringList({"gif", "swf", "avi", "gif-best", "mp4", "webm", "webp", "apng",
                                "png-frames"}));
    EXPECT_TRUE(table[6]["takes"].toArray().contains("lossless"));

    auto probe = [this](const QString& file) {
        return ProgramRun::of("/usr/bin/ffprobe",
                              {"-v", "error", "-count_frames", "-show_entries",
                               "stream=codec_name,width,height,nb_read_frames", "-of", "csv=p=0",
                               dir.filePath(file)})
            .out.trimmed();
    };
    // 75 x 40 at 200 %: 150 x 80.
    cli = ProgramRun::of(ZENTRAVO_CLI,
                         {"export", project, dir.filePath("big.mp4"), "--scale", "200%"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    EXPECT_EQ(probe("big.mp4"), "h264,150,80,7");
    cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("clear"), "--format",
                                        "webm", "--transparent", "--quality", "20"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    EXPECT_EQ(cli.out.trimmed(), dir.filePath("clear.webm").toUtf8());
    EXPECT_EQ(probe("clear.webm"), "vp9,75,40,7");
    cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("frames/f"), "--format",
                                        "png-frames", "--scale", "fit:30x30"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    EXPECT_EQ(QDir(dir.filePath("frames")).entryList(QDir::Files).size(), 7);
    EXPECT_EQ(QImage(dir.filePath("frames/f_0006.png")).size(), QSize(30, 16));

    // A budget that can be met is met; one that cannot says so and keeps the closest file
    // unless told not to.
    cli = ProgramRun::of(ZENTRAVO_CLI,
                         {"export", project, dir.filePath("fits.webp"), "--max-size", "2k"});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    EXPECT_LE(QFileInfo(dir.filePath("fits.webp")).size(), 2048);
    cli = ProgramRun::of(ZENTRAVO_CLI,
                         {"export", project, dir.filePath("tiny.gif"), "--max-size", "0k"});
    EXPECT_EQ(cli.exitCode, 2);
    EXPECT_TRUE(cli.err.contains("--max-size takes a size")) << cli.err.toStdString();
    cli = ProgramRun::of(ZENTRAVO_CLI,
                         {"export", project, dir.filePath("tiny.mp4"), "--max-size", "1k"});
    EXPECT_EQ(cli.exitCode, 1);
    EXPECT_TRUE(cli.err.contains("The file cannot be made within 1 KB")) << cli.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("tiny.mp4")));
    cli = ProgramRun::of(ZENTRAVO_CLI, {"export", project, dir.filePath("none.mp4"),
                                        "--max-size", "1k", "--no-closest"});
    EXPECT_EQ(cli.exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("none.mp4")));

    // Options a format does not take are refused before anything is written.
    const QStringList refused[] = {{"x.mp4", "--transparent"},
                                   {"x.apng.png", "--max-size", "9k"},
                                   {"x.webm", "--lossless"},
                                   {"x.webm", "--scale", "10%"},
                                   {"x.png", "--quality", "50"}};
    for (const QStringList& args : refused) {
        cli = ProgramRun::of(ZENTRAVO_CLI,
                             QStringList({"export", project, dir.filePath(args[0])}) +
                                 args.mid(1));
        EXPECT_EQ(cli.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath(args[0])));
    }
}

} // namespace
