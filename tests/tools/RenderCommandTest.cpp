// zentravo-cli render: the real executable on a saved project, compared with the frames the
// application's export draws from the same file.
#include "document/ProjectReader.h"
#include "document/ProjectStore.h"
#include "stage/FrameRenderer.h"
#include "tests/document/EditorTestSupport.h"
#include "tests/export/ExportFrames.h"

#include <QTemporaryDir>

#include "tests/ProgramRun.h"

#include <gtest/gtest.h>

namespace {

ProgramRun render(const QStringList& arguments) {
    return ProgramRun::of(ZENTRAVO_CLI, QStringList{"render"} + arguments, 30000);
}

class RenderCommandTest : public ::testing::Test {
protected:
    RenderCommandTest() {
        ProjectProperties properties;
        properties.name = "Render";
        properties.width = 61; // odd sizes catch off-by-one buffers
        properties.height = 33;
        properties.duration = 6;
        editor.newProject(properties);
        // A three-picture symbol: the picture shown depends on the frames drawn before.
        std::vector<QImage> frames = solidFrames(3, 10, 10);
        frames[1].fill(qRgb(0, 200, 0));
        frames[2].fill(qRgb(0, 0, 200));
        editor.insertLibrarySymbol(SymbolId::create(), frames);
        editor.appendMotion(kLinerMotion);
        ObjectRecord& moving = editor.project().objects[1].record;
        moving.startFrame = moving.motionStartFrame = 0;
        moving.endFrame = moving.motionEndFrame = 5;
        moving.endX = 45;
        path = folder.filePath("render.vrn");
        EXPECT_TRUE(
            ProjectStore::writeFile(path.toStdString(), editor.project(), editor.symbols()));
    }

    // What the application's export hands its encoder for `frame`, from the saved project.
    QImage expected(int frame) {
        std::optional<LoadedProject> saved = ProjectReader::readFile(path.toStdString());
        Document document;
        ProjectEditor(document).openLoaded(std::move(saved->project), std::move(saved->symbols));
        std::vector<QImage> frames;
        EXPECT_TRUE(exportAsTheApplicationDoes(document, "frames",
                                               std::make_unique<FrameCollector>(frames)));
        return frames.at(static_cast<std::size_t>(frame)).convertToFormat(QImage::Format_RGB888);
    }

    TestEditor editor;
    QTemporaryDir folder;
    QString path;
};

TEST_F(RenderCommandTest, WritesTheFrameAnExportWouldEncode) {
    for (int frame : {0, 3, 5}) {
        const QString out = folder.filePath(QString("frame%1.png").arg(frame));
        const ProgramRun run = render({path, QString::number(frame), out});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QImage written = QImage(out).convertToFormat(QImage::Format_RGB888);
        ASSERT_EQ(written.size(), QSize(61, 33));
        EXPECT_EQ(written, expected(frame)) << "frame " << frame;
    }
}

// The moving object (10 pixels wide) goes from x 25.5 to 45 over frames 0..5, in front of the
// one it continues, which stays at 25.5. At frame 2 (t = 0.4) Ease In Quad puts it at
// 25.5 + 19.5 x 0.16 = 28.6, its right edge at 38.6, where Linear had 33.3 and 43.3.
TEST_F(RenderCommandTest, AnEasedMotionIsDrawnWhereItsCurvePutsIt) {
    editor.project().objects[1].record.easing = kEaseInQuad;
    ASSERT_TRUE(ProjectStore::writeFile(path.toStdString(), editor.project(), editor.symbols()));
    const QString out = folder.filePath("eased.png");
    const ProgramRun run = render({path, "2", out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage written = QImage(out).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(written, expected(2));
    const int row = 16; // through the middle of the object
    const int last = written.width() - 1;
    int right = -1;
    for (int x = last; x >= 0 && right < 0; --x)
        if (written.pixel(x, row) != written.pixel(last, row))
            right = x;
    EXPECT_NEAR(right, 38.6, 1.0);
}

TEST_F(RenderCommandTest, EditViewWritesTheZoomedViewWithOutlineAndHandles) {
    const QString out = folder.filePath("view.png");
    const ProgramRun run = render({path, "2", out, "--zoom", "2", "--edit-view"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage view(out);
    EXPECT_EQ(view.size(), QSize(61 * 2 + 20, 33 * 2 + 20));
    EXPECT_EQ(view.pixel(61 * 2 + 1, 10) & 0xFFFFFF, FrameRenderer::kOutline & 0xFFFFFF);
    bool handle = false; // the appended object is selected: its handles show
    for (int y = 0; y < view.height() && !handle; ++y)
        for (int x = 0; x < view.width() && !handle; ++x)
            handle = (view.pixel(x, y) & 0xFFFFFF) == (FrameRenderer::kHandleFill & 0xFFFFFF);
    EXPECT_TRUE(handle);
}

TEST_F(RenderCommandTest, RefusesFramesOutsideTheProjectAndDamagedFiles) {
    const QString out = folder.filePath("none.png");
    ProgramRun run = render({path, "6", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("outside"));
    EXPECT_FALSE(QFile::exists(out));

    QFile damaged(folder.filePath("damaged.vrn"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(100, '\x7f'));
    damaged.close();
    run = render({damaged.fileName(), "0", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), "Failed to load project");
    EXPECT_EQ(render({path}).exitCode, 2);
}

} // namespace
