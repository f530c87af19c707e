#include "stage/StageWorker.h"

#include "document/MessageTarget.h"
#include "export/ExportJob.h"
#include "export/ExportPipeline.h"
#include "export/ExportSource.h"
#include "export/FrameExporter.h"
#include "stage/StageCanvas.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/document/RecordingMessageSink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

namespace {

class RecordingTarget : public MessageTarget {
public:
    void post(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) override {
        std::lock_guard lock(mutex);
        messages.push_back({message, static_cast<int>(lparam)});
        (void)wparam;
    }
    std::mutex mutex;
    std::vector<std::pair<MainMessage, int>> messages;
};

class StageWorkerTest : public ::testing::Test {
protected:
    StageWorkerTest() : canvas(editor.document()), worker(canvas, &target) {
        ProjectProperties properties;
        properties.name = "Worker";
        properties.width = 40;
        properties.height = 30;
        properties.duration = 5;
        editor.newProject(properties);
        QImage picture(8, 8, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        editor.insertLibrarySymbol(SymbolId::create(), {picture});
        canvas.setStageSize(40, 30);
        canvas.makeViewBackBuffer();
    }

    TestEditor editor;
    StageCanvas canvas;
    RecordingTarget target;
    StageWorker worker;
};

TEST(StageWorkerSleepTest, OneFramePeriodOrATenthOfASecond) {
    EXPECT_EQ(StageWorker::sleepMilliseconds(12), 83);
    EXPECT_EQ(StageWorker::sleepMilliseconds(30), 33);
    EXPECT_EQ(StageWorker::sleepMilliseconds(1), 1000);
    EXPECT_EQ(StageWorker::sleepMilliseconds(0), 100);
    EXPECT_EQ(StageWorker::sleepMilliseconds(31), 100);
    EXPECT_EQ(StageWorker::sleepMilliseconds(-5), 100);
}

TEST_F(StageWorkerTest, PreviewPlaysEveryFrameOnceAndStopsAtFrameZero) {
    canvas.togglePreview();
    std::vector<int> drawn;
    for (int pass = 0; pass < 20 && canvas.isPlaying(); ++pass) {
        ASSERT_TRUE(worker.redrawStep());
        worker.frameStep();
        drawn.push_back(canvas.lastDrawnFrame());
    }
    EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(canvas.isPlaying());
    EXPECT_EQ(canvas.currentFrame(), 0);
    const std::vector<std::pair<MainMessage, int>> expected{
        {MainMessage::CurrentFrame, 1},  {MainMessage::CurrentFrame, 2},
        {MainMessage::CurrentFrame, 3},  {MainMessage::CurrentFrame, 4},
        {MainMessage::ResumePreview, 0}, {MainMessage::CurrentFrame, 0}};
    EXPECT_EQ(target.messages, expected);

    const int draws = canvas.drawCount();
    worker.frameStep(); // not playing: nothing more is drawn
    EXPECT_EQ(canvas.drawCount(), draws);
}

TEST_F(StageWorkerTest, RedrawHappensOncePerRequest) {
    EXPECT_TRUE(worker.redrawStep());
    EXPECT_EQ(canvas.drawCount(), 0);
    canvas.requestRedraw();
    worker.redrawStep();
    worker.redrawStep();
    EXPECT_EQ(canvas.drawCount(), 1);
    EXPECT_FALSE(canvas.redrawRequested());
}

TEST_F(StageWorkerTest, FrameCommandsWrapRoundAndStopThePreview) {
    editor.setPreviewControl(&canvas);
    editor.stepFrame(FrameStep::Previous); // at 0: to the last frame
    EXPECT_EQ(canvas.currentFrame(), 4);
    editor.stepFrame(FrameStep::Next); // at the last: to 0
    EXPECT_EQ(canvas.currentFrame(), 0);
    editor.stepFrame(FrameStep::Next);
    editor.stepFrame(FrameStep::Previous); // at 1: to 0
    EXPECT_EQ(canvas.currentFrame(), 0);
    editor.stepFrame(FrameStep::Last);
    EXPECT_EQ(canvas.currentFrame(), 4);
    canvas.startPreview();
    editor.stepFrame(FrameStep::First);
    EXPECT_EQ(canvas.currentFrame(), 0);
    EXPECT_FALSE(canvas.isPlaying()); // a frame command stops the preview for good

    canvas.startPreview();
    EXPECT_FALSE(editor.goToFrame(5)); // the duration itself is out of range
    EXPECT_TRUE(canvas.isPlaying());
    EXPECT_TRUE(editor.goToFrame(3));
    EXPECT_FALSE(canvas.isPlaying());
    EXPECT_EQ(canvas.currentFrame(), 3);
    EXPECT_TRUE(canvas.editView()); // going to a frame keeps edit view
}

TEST_F(StageWorkerTest, ThreadPlaysWhileTheUiEditsReadsAndUndoes) {
    editor.project().header.frameRate = 30; // short sleeps keep the test quick
    editor.project().header.duration = 1000;
    editor.setPreviewControl(&canvas); // every command pauses the preview, as in the window
    worker.start();
    EXPECT_TRUE(worker.isRunning());
    canvas.requestRedraw();
    canvas.startPreview();
    // The UI thread runs commands, edits and reads while the worker draws.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int rounds = 0;
    while ((canvas.drawCount() < 8 || rounds < 8) && std::chrono::steady_clock::now() < deadline) {
        ASSERT_TRUE(editor.appendMotion(kLinerMotion));
        int last = 0;
        {
            auto lock = editor.document().lock();
            EXPECT_TRUE(lock.project().isConsistent());
            last = lock.project().objectCount() - 1;
        }
        editor.editObject(last, [](AnimationObject& object) { object.record.endX += 5.0f; });
        ASSERT_TRUE(editor.copySelected());
        ASSERT_TRUE(editor.paste());
        editor.undo();
        editor.undo();
        editor.redo();
        EXPECT_TRUE(canvas.isPlaying()); // each command restarted the preview it paused
        ++rounds;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_GE(canvas.drawCount(), 8);
    EXPECT_TRUE(canvas.stopPreview());
    const int drawsAfterStop = canvas.drawCount();
    EXPECT_FALSE(canvas.isPlaying());
    worker.stop();
    EXPECT_FALSE(worker.isRunning());
    EXPECT_EQ(canvas.drawCount(), drawsAfterStop); // no preview frame after stopPreview
    auto lock = editor.document().lock();
    EXPECT_EQ(lock.project().objectCount(), 1 + rounds); // one appended motion kept per round
    EXPECT_EQ(lock.history().position(), lock.history().count() - 2);
}

} // namespace

namespace {

// Writes nothing; each frame takes a little while, as an encoder's would.
class SlowSink : public FrameExporter {
public:
    bool open(const std::string&, int, int, int) override { return true; }
    bool writeFrame(const QImage& frame, int) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ++frames;
        return !frame.isNull();
    }
    bool finish() override { return true; }
    void abort() override {}
    std::string error() const override { return {}; }
    std::atomic<int> frames{0};
};

// An export draws from its own copy of the project: while it runs, the UI thread edits
// (through the command layer), reads, draws the stage and undoes without waiting for it, and
// the export writes the project as it was when it started.
TEST_F(StageWorkerTest, TheDocumentLockIsFreeWhileAnExportRuns) {
    editor.project().header.duration = 400;
    RecordingMessageSink sink;
    ExportPipeline pipeline(editor.document(), sink, nullptr);
    auto exporter = std::make_unique<SlowSink>();
    SlowSink& written = *exporter;
    ASSERT_TRUE(pipeline.start("", std::move(exporter), 2));
    int edits = 0;
    while (pipeline.isRunning() && edits < 50) {
        ASSERT_TRUE(editor.appendMotion(kLinerMotion));
        editor.editObject(0, [](AnimationObject& object) { object.record.startX += 1.0f; });
        {
            auto lock = editor.document().lock();
            EXPECT_TRUE(lock.project().isConsistent());
            canvas.drawFrame(lock);
        }
        editor.undo();
        ++edits;
    }
    EXPECT_GT(edits, 0);
    EXPECT_LT(written.frames.load(), 400); // the edits did not wait for the whole export
    pipeline.wait();
    EXPECT_TRUE(pipeline.reportOutcome());
    EXPECT_EQ(written.frames.load(), 400);
}

// An exporter that keeps a copy of every frame it is handed, in order.
class KeepingSink : public FrameExporter {
public:
    bool open(const std::string&, int, int, int) override { return true; }
    bool writeFrame(const QImage& frame, int) override {
        frames.push_back(frame.copy());
        return true;
    }
    bool finish() override { return true; }
    void abort() override {}
    std::string error() const override { return {}; }
    std::vector<QImage> frames;
};

// The drawing threads of one export never read one list at once: a project whose objects
// fill several of the lists' blocks (where even a read moves the lists' lookup cursor) draws
// the same frames on four threads as on one (and ThreadSanitizer sees no race).
TEST_F(StageWorkerTest, DrawingThreadsEachReadAProjectOfTheirOwn) {
    editor.project().header.duration = 24;
    QImage blue(6, 6, QImage::Format_ARGB32);
    blue.fill(Qt::blue);
    for (int i = 0; i < 11; ++i) {
        editor.insertLibrarySymbol(SymbolId::create(), {i % 2 ? blue : blue.mirrored()});
        ASSERT_TRUE(editor.appendMotion(kLinerMotion));
    }
    const int objects = int(editor.project().objects.count());
    for (int i = 0; i < objects; ++i)
        editor.editObject(i, [i](AnimationObject& object) {
            object.record.endX = object.record.startX + 3.0f * float(i % 7);
        });
    const ExportSource source = ExportSource::take(editor.document());
    KeepingSink one;
    KeepingSink four;
    ExportJob::Options options;
    options.threads = 1;
    ASSERT_TRUE(ExportJob::run(source, one, "", options).completed);
    options.threads = 4;
    ASSERT_TRUE(ExportJob::run(source, four, "", options).completed);
    ASSERT_EQ(one.frames.size(), 24u);
    EXPECT_EQ(four.frames, one.frames);
}

} // namespace
