#include "stage/ui/StageView.h"

#include "app/PreviewWindow.h"
#include "tests/document/EditorTestSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void makeProject(TestEditor& editor) {
    ProjectProperties properties;
    properties.name = "Widget";
    properties.width = 120;
    properties.height = 80;
    properties.duration = 6;
    properties.frameRate = 30;
    properties.backgroundColor = 0x0000FF; // red
    editor.newProject(properties);
    QImage square(20, 20, QImage::Format_ARGB32);
    square.fill(Qt::blue);
    editor.insertLibrarySymbol(SymbolId::create(), {square});
}

TEST(StageViewTest, ShowsWhatTheWorkerDrew) {
    TestEditor editor;
    makeProject(editor);
    StageView view(editor, nullptr);
    view.resize(view.sizeHint());
    view.show();
    // Waits for a frame drawn into the buffer as it is after the resize: grabbing paints what
    // the worker left there.
    QImage shown;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            shown = view.grab().toImage();
            return QColor(shown.pixel(60, 40)) == QColor(Qt::blue);
        },
        5000));
    EXPECT_EQ(QColor(shown.pixel(5, 5)), QColor(Qt::red)); // the stage's background
    EXPECT_EQ(shown.pixel(130, 5) & 0xFFFFFF, FrameRenderer::kSurround & 0xFFFFFF);

    view.resize(300, 200); // the view buffer follows the window
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.canvas().backBuffer().width() == 300; }, 5000));
}

TEST(StageViewTest, PreviewWindowKeysPlayAndStepTheStage) {
    TestEditor editor;
    makeProject(editor);
    PreviewWindow window(editor);
    window.show();
    StageCanvas& canvas = window.stage().canvas();
    QTest::keyClick(&window, Qt::Key_Right);
    EXPECT_EQ(canvas.currentFrame(), 1);
    QTest::keyClick(&window, Qt::Key_End);
    EXPECT_EQ(canvas.currentFrame(), 5);
    QTest::keyClick(&window, Qt::Key_Right); // past the last frame: back to 0
    EXPECT_EQ(canvas.currentFrame(), 0);
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_TRUE(canvas.isPlaying());
    // The preview plays once and stops at frame 0; the title follows the frames.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !canvas.isPlaying(); }, 10000));
    EXPECT_EQ(canvas.currentFrame(), 0);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window.windowTitle().contains("frame 1 of 6"); }, 2000));
}

} // namespace
