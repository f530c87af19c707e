// GIF export: whole exports of small projects read back by Pillow (frames, delays, loop
// extension, disposal, comment, colour tables, pixels), the export run on the stage worker
// with its cancel, and the pipeline's checks and messages.
#include "export/BatchExport.h"
#include "export/ExportPipeline.h"
#include "export/GifExporter.h"

#include "document/MessageTarget.h"
#include "tests/document/EditorTestSupport.h"
#include "stage/StageCanvas.h"
#include "stage/StageWorker.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/document/RecordingMessageSink.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include "tests/ProgramRun.h"
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A project with a gradient symbol moving and turning over a coloured stage, and a second,
// fading symbol on another layer: many colours, and every frame differs.
void makeProject(TestEditor& editor, int duration, int frameRate) {
    ProjectProperties properties;
    properties.name = "Gif";
    properties.width = 90;
    properties.height = 50;
    properties.duration = duration;
    properties.frameRate = frameRate;
    properties.backgroundColor = 0xC0E0F0;
    editor.newProject(properties);
    QImage gradient(30, 20, QImage::Format_ARGB32);
    QPainter painter(&gradient);
    QLinearGradient fill(0, 0, 30, 20);
    fill.setColorAt(0, Qt::red);
    fill.setColorAt(1, Qt::blue);
    painter.fillRect(gradient.rect(), fill);
    painter.end();
    editor.insertLibrarySymbol(SymbolId::create(), {gradient});
    ObjectRecord& mover = editor.project().objects[0].record;
    mover.startX = 0;
    mover.endX = 60;
    mover.endAngle = 90;
    mover.motionKind = kLinerMotion;
    mover.motionEndFrame = duration - 1;
    editor.insertLibrarySymbol(SymbolId::create(), solidFrames(2, 12, 12));
    ObjectRecord& fader = editor.project().objects[1].record;
    fader.endOpacity = 40;
    fader.motionKind = kLinerMotion;
}

// The frames an export draws, saved as PNG for the comparison in Python.
void saveRenderedFrames(TestEditor& editor, const QString& folder) {
    BatchExport::drawExportFrames(editor.document(), 1.0f, [&](QImage frame, int f) {
        return frame.save(QDir(folder).filePath(QString::asprintf("frame_%03d.png", f)));
    });
    for (EmbeddedSymbol& symbol : editor.symbols().records)
        symbol.currentFrame = 0; // the export that follows starts from the same state
}

QJsonObject pillowReport(const QString& gif, const QString& rendered) {
    const ProgramRun run = ProgramRun::of(
        "/usr/bin/python3", {ZENTRAVO_SOURCE_DIR "/tests/export/gif_report.py", gif, rendered});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    return QJsonDocument::fromJson(run.out).object();
}

std::vector<int> ints(const QJsonValue& value) {
    std::vector<int> out;
    for (const QJsonValue& v : value.toArray())
        out.push_back(v.toInt());
    return out;
}

TEST(GifExportTest, PillowSeesTheFramesDelaysLoopDisposalCommentAndTables) {
    struct Row {
        int frameRate, loops;
        int delayMs;
        QJsonValue loop; // what Pillow reports: null without a loop extension
    };
    const Row rows[] = {{12, 0, 80, 0}, {25, 1, 40, QJsonValue()}, {30, 3, 30, 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.frameRate);
        QTemporaryDir dir;
        TestEditor editor;
        makeProject(editor, 5, row.frameRate);
        saveRenderedFrames(editor, dir.path());
        const QString gif = dir.filePath("out.gif");
        GifExporter exporter(row.loops);
        std::string error;
        ASSERT_TRUE(BatchExport::run(editor.document(), exporter, gif.toStdString(), {}, error))
            << error;
        const QJsonObject report = pillowReport(gif, dir.path());
        EXPECT_EQ(report["frames"].toInt(), 5);
        EXPECT_EQ(ints(report["delays"]), std::vector<int>(5, row.delayMs));
        EXPECT_EQ(report["loop"], row.loop);
        EXPECT_EQ(ints(report["disposal"]), std::vector<int>(5, 2));
        EXPECT_EQ(report["comment"].toString(), "Zentravo");
        EXPECT_TRUE(report["globalTable"].toBool());
        const QJsonArray local = report["local"].toArray();
        ASSERT_EQ(local.size(), 5);
        EXPECT_FALSE(local[0].toBool()); // frame 0 uses the global table
        for (int f = 1; f < 5; ++f)
            EXPECT_TRUE(local[f].toBool()) << f;
        for (const QJsonValue& difference : report["meanDifference"].toArray())
            EXPECT_LT(difference.toDouble(), 4.0); // 256 colours with dithering
    }
}

TEST(GifExportTest, OneFrameProjectHasOneImageTheCommentAndTheTrailer) {
    QTemporaryDir dir;
    TestEditor editor;
    makeProject(editor, 1, 12);
    const QString gif = dir.filePath("single.gif");
    GifExporter exporter(0);
    std::string error;
    ASSERT_TRUE(BatchExport::run(editor.document(), exporter, gif.toStdString(), {}, error));
    QFile file(gif);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.right(1), QByteArray(";"));
    EXPECT_TRUE(bytes.contains(QByteArray("\x21\xFE\x08Zentravo\x00", 12)));
    EXPECT_EQ(bytes.count(QByteArray("\x21\xF9\x04", 3)), 1); // one graphic control block
    EXPECT_EQ(pillowReport(gif, dir.path())["frames"].toInt(), 1);
}

class RecordingTarget : public MessageTarget {
public:
    void post(MainMessage message, std::intptr_t, std::intptr_t lparam) override {
        if (message == MainMessage::CurrentFrame)
            frames.push_back(static_cast<int>(lparam));
    }
    std::vector<int> frames;
};

class GifPipelineTest : public ::testing::Test {
protected:
    GifPipelineTest()
        : canvas(editor.document()), worker(canvas, &target),
          pipeline(canvas, worker, sink, &target) {
        makeProject(editor, 6, 12);
        canvas.setStageSize(90, 50);
        canvas.setZoom(2.0f);
    }
    TestEditor editor;
    StageCanvas canvas;
    RecordingTarget target;
    RecordingMessageSink sink;
    StageWorker worker;
    ExportPipeline pipeline;
    QTemporaryDir dir;
};

TEST_F(GifPipelineTest, TheWorkerWritesOneFramePerPassAndRestoresTheView) {
    const std::string path = dir.filePath("worker.gif").toStdString();
    ASSERT_TRUE(pipeline.start(path, std::make_unique<GifExporter>(0), 0));
    EXPECT_TRUE(canvas.isExporting());
    EXPECT_FALSE(canvas.editView());
    EXPECT_EQ(canvas.zoom(), 1.0f);
    std::vector<int> progress;
    for (int pass = 0; pass < 20 && canvas.isExporting(); ++pass) {
        worker.frameStep();
        progress.push_back(pipeline.progress().percent);
    }
    EXPECT_EQ(progress, (std::vector<int>{16, 33, 50, 66, 83, 100}));
    EXPECT_TRUE(pipeline.progress().done);
    EXPECT_TRUE(pipeline.lastRun()->succeeded());
    EXPECT_EQ(target.frames, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(canvas.zoom(), 2.0f); // the view comes back as it was
    EXPECT_EQ(canvas.backBuffer().width(), 90 * 2 + 20);
    EXPECT_EQ(pillowReport(QString::fromStdString(path), dir.path())["frames"].toInt(), 6);
}

TEST_F(GifPipelineTest, CancelAfterAFewFramesLeavesNoFile) {
    const std::string path = dir.filePath("cancelled.gif").toStdString();
    ASSERT_TRUE(pipeline.start(path, std::make_unique<GifExporter>(0), 0));
    worker.frameStep();
    worker.frameStep();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
    pipeline.cancel();
    EXPECT_FALSE(canvas.isExporting());
    EXPECT_TRUE(canvas.editView());
    EXPECT_EQ(canvas.zoom(), 2.0f);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    worker.frameStep(); // no more frames once cancelled
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(GifPipelineTest, ChecksPathsAndRefusesWhatCannotBeWritten) {
    struct Row {
        const char* chosen;
        const char* path;
    };
    for (const Row& row : {Row{"a.GIF", "a.GIF"}, Row{"a", "a.gif"}, Row{"a.gi", "a.gi.gif"},
                           Row{"gif", "gif.gif"}, Row{".gif", ".gif"}})
        EXPECT_EQ(ExportPipeline::outputPath(row.chosen, ExportKind::Gif), row.path);
    EXPECT_EQ(ExportPipeline::outputPath("clip.Avi", ExportKind::Avi), "clip.Avi");
    EXPECT_EQ(ExportPipeline::outputPath("clip", ExportKind::Swf), "clip.swf");

    EXPECT_TRUE(pipeline.checkProject());
    EXPECT_TRUE(sink.messages.empty());
    const Project full = editor.project();
    editor.project().clearContents();
    EXPECT_FALSE(pipeline.checkProject());
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "No animation to export.");
    editor.project() = full;

    // An existing file is replaced; a folder in the way cannot be.
    const QString existing = dir.filePath("old.gif");
    QFile old(existing);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.close();
    EXPECT_TRUE(pipeline.clearOutput(existing.toStdString()));
    EXPECT_FALSE(QFile::exists(existing));
    ASSERT_TRUE(QDir(dir.path()).mkdir("busy.gif"));
    EXPECT_FALSE(pipeline.clearOutput(dir.filePath("busy.gif").toStdString()));
    EXPECT_EQ(sink.messages.back().text,
              "The file is currently used by another program, Overite failed.");

    // An output that cannot be opened stops the export before it starts and says so.
    const std::string nowhere = dir.filePath("missing/out.gif").toStdString();
    EXPECT_FALSE(pipeline.start(nowhere, std::make_unique<GifExporter>(0), 0));
    EXPECT_FALSE(canvas.isExporting());
    EXPECT_FALSE(sink.messages.back().text.empty());
}

} // namespace
