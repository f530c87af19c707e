// GIF export: whole exports of small projects read back by Pillow (frames, delays, loop
// extension, disposal, comment, colour tables, pixels), the application's export on threads of
// its own with its notices and its cancel, and the pipeline's checks and messages.
#include "export/ExportFormat.h"
#include "export/ExportPipeline.h"
#include "export/GifExporter.h"

#include "document/MessageTarget.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/export/ExportFrames.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include "tests/ProgramRun.h"
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

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
    int f = 0;
    for (const QImage& frame : exportFrames(editor.document()))
        frame.save(QDir(folder).filePath(QString::asprintf("frame_%03d.png", f++)));
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
        ASSERT_TRUE(exportDocument(editor.document(), exporter, gif.toStdString(), error)) << error;
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
    ASSERT_TRUE(exportDocument(editor.document(), exporter, gif.toStdString(), error));
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
    void post(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) override {
        if (message != MainMessage::CurrentFrame)
            return;
        std::lock_guard lock(mutex);
        notices.push_back(static_cast<FrameNotice>(wparam));
        frames.push_back(static_cast<int>(lparam));
        times.push_back(std::chrono::steady_clock::now());
    }
    std::mutex mutex;
    std::vector<FrameNotice> notices;
    std::vector<int> frames;
    std::vector<std::chrono::steady_clock::time_point> times;
};

// A GIF exporter that holds every frame from `holdFrom` on until released, so that a test
// can cancel an export in the middle of its frames.
class HeldGifExporter : public GifExporter {
public:
    explicit HeldGifExporter(int holdFrom) : GifExporter(0), m_holdFrom(holdFrom) {}
    bool writePrepared(PreparedFrame& frame, int index) override {
        if (index >= m_holdFrom) {
            std::unique_lock lock(m_mutex);
            m_reached = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_released; });
        }
        return GifExporter::writePrepared(frame, index);
    }
    void waitUntilHeld() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_reached; });
    }
    void release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    const int m_holdFrom;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_reached = false;
    bool m_released = false;
};

class GifPipelineTest : public ::testing::Test {
protected:
    GifPipelineTest() : pipeline(editor.document(), sink, &target) { makeProject(editor, 6, 12); }
    TestEditor editor;
    RecordingTarget target;
    RecordingMessageSink sink;
    ExportPipeline pipeline;
    QTemporaryDir dir;
};

TEST_F(GifPipelineTest, TheExportWritesEveryFrameAndNoticesTheLastAtMostTwentyTimesASecond) {
    makeProject(editor, 200, 12);
    const std::string path = dir.filePath("fast.gif").toStdString();
    ASSERT_TRUE(pipeline.start(path, std::make_unique<GifExporter>(0)));
    pipeline.wait();
    EXPECT_TRUE(pipeline.progress().done);
    EXPECT_EQ(pipeline.progress().percent, 100);
    EXPECT_EQ(pipeline.progress().framesWritten, 200);
    EXPECT_TRUE(pipeline.reportOutcome());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(pillowReport(QString::fromStdString(path), dir.path())["frames"].toInt(), 200);
    // The last frame is always announced; two notices are never closer than 50 ms.
    ASSERT_FALSE(target.frames.empty());
    EXPECT_EQ(target.frames.back(), 199);
    EXPECT_EQ(target.notices.back(), FrameNotice::Stage); // the stage shows the last frame
    for (std::size_t k = 0; k + 1 < target.notices.size(); ++k)
        EXPECT_EQ(target.notices[k], FrameNotice::Export); // the others move the timeline only
    EXPECT_LT(target.frames.size(), 200u);
    for (std::size_t k = 1; k + 1 < target.times.size(); ++k)
        EXPECT_GE(target.times[k] - target.times[k - 1], ExportPipeline::kNoticeInterval);
}

TEST_F(GifPipelineTest, ACancelAmidTheFramesLeavesNoFileAndTheNextExportWorks) {
    makeProject(editor, 40, 12);
    const std::string path = dir.filePath("cancelled.gif").toStdString();
    auto held = std::make_unique<HeldGifExporter>(5);
    HeldGifExporter& exporter = *held;
    ASSERT_TRUE(pipeline.start(path, std::move(held), 3));
    exporter.waitUntilHeld(); // frames 0..4 written, the drawing threads ahead of the writer
    EXPECT_TRUE(pipeline.isRunning());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
    std::thread release([&exporter] { exporter.release(); });
    pipeline.cancel(); // returns once every thread of the export has ended
    release.join();
    EXPECT_FALSE(pipeline.isRunning());
    EXPECT_TRUE(pipeline.result().cancelled);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_TRUE(sink.messages.empty()); // a cancel says nothing

    // The next export right after works.
    ASSERT_TRUE(pipeline.start(path, std::make_unique<GifExporter>(0)));
    pipeline.wait();
    EXPECT_TRUE(pipeline.reportOutcome());
    EXPECT_EQ(pillowReport(QString::fromStdString(path), dir.path())["frames"].toInt(), 40);
}

TEST_F(GifPipelineTest, ChecksPathsAndRefusesWhatCannotBeWritten) {
    struct Row {
        const char* chosen;
        const char* path;
    };
    for (const Row& row : {Row{"a.GIF", "a.GIF"}, Row{"a", "a.gif"}, Row{"a.gi", "a.gi.gif"},
                           Row{"gif", "gif.gif"}, Row{".gif", ".gif"}})
        EXPECT_EQ(ExportFormats::of(ExportKind::Gif).outputPath(row.chosen), row.path);
    EXPECT_EQ(ExportFormats::of(ExportKind::Avi).outputPath("clip.Avi"), "clip.Avi");
    EXPECT_EQ(ExportFormats::of(ExportKind::Swf).outputPath("clip"), "clip.swf");

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
    EXPECT_FALSE(pipeline.start(nowhere, std::make_unique<GifExporter>(0)));
    EXPECT_FALSE(pipeline.isRunning());
    EXPECT_FALSE(sink.messages.back().text.empty());
}

} // namespace
