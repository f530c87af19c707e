#include "controls/ImageButton.h"
#include "dialogs/CTavStartDlg.h"
#include "dialogs/StandardProjectDialogs.h"
#include "dialogs/StartProfile.h"
#include "dialogs/TemplateChooserDialog.h"
#include "dialogs/TemplateGrid.h"
#include "dialogs/TemplateGridView.h"
#include "document/LanguageTable.h"
#include "document/ProgramFolders.h"
#include "document/ProjectStore.h"
#include "tests/document/RecordingMessageSink.h"
#include "tests/ui/UiTestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct StartFixture : ::testing::Test {
    QTemporaryDir root;
    ProgramFolders folders{root.path().toStdString()};
    LanguageTable texts;
    RecordingTarget target;
    std::string profile = folders.dataFolder() + "profile.cfg";
};

TEST_F(StartFixture, ProfileIsEightLittleEndianBytesWithDefaultsForWhatIsMissing) {
    struct Row {
        QByteArray bytes;
        int show, choice;
    };
    const Row rows[] = {
        {QByteArray("\0\0\0\0\1\0\0\0", 8), 0, 1},
        {QByteArray("\1\0\0\0\0\0\0\0", 8), 1, 0},
        {QByteArray("\0\0\0\0", 4), 0, 0}, // no choice: 0
        {QByteArray("\0\0", 2), 1, 0},     // not even the flag: shown
        {QByteArray("\2\1\0\0\7\0\0\0", 8), 258, 7},
    };
    for (const Row& row : rows) {
        writeBytes(profile, row.bytes);
        const StartProfile read = StartProfile::read(profile);
        EXPECT_EQ(read.showAtStartup, row.show) << row.bytes.toHex().constData();
        EXPECT_EQ(read.choice, row.choice) << row.bytes.toHex().constData();
    }
    QFile::remove(QString::fromStdString(profile));
    EXPECT_EQ(StartProfile::read(profile).showAtStartup, 1);
    ASSERT_TRUE((StartProfile{0, 1}.write(profile)));
    EXPECT_EQ(fileBytes(profile), QByteArray("\0\0\0\0\1\0\0\0", 8));
}

TEST_F(StartFixture, EveryChangeIsWrittenAtOnceAndOkPostsTheChoice) {
    writeBytes(profile, QByteArray("\1\0\0\0\1\0\0\0", 8));
    CTavStartDlg start(folders, texts, &target);
    start.showScreen();
    EXPECT_TRUE(start.isVisible());
    EXPECT_TRUE(start.existingButton().isChecked()); // the last choice, read from offset 4
    EXPECT_FALSE(start.sampleButton().isChecked());
    EXPECT_TRUE(start.showBox().isChecked());

    // Unticking "Show this screen at startup" writes 0 at once, even if the screen is then
    // only closed.
    start.showBox().click();
    EXPECT_EQ(fileBytes(profile), QByteArray("\0\0\0\0\1\0\0\0", 8));
    start.sampleButton().click();
    EXPECT_FALSE(start.existingButton().isChecked());
    EXPECT_EQ(fileBytes(profile), QByteArray("\0\0\0\0\0\0\0\0", 8));
    QTest::keyClick(&start, Qt::Key_Escape);
    EXPECT_FALSE(start.isVisible());
    EXPECT_TRUE(target.posted.empty());
    EXPECT_EQ(fileBytes(profile).size(), StartProfile::kFileSize);

    // OK hides the screen and posts OpenSample with the choice.
    start.showScreen();
    start.existingButton().click();
    start.okButton().click();
    EXPECT_FALSE(start.isVisible());
    ASSERT_EQ(target.posted.size(), 1u);
    EXPECT_EQ(target.posted[0].message, MainMessage::OpenSample);
    EXPECT_EQ(target.posted[0].wparam, 1);

    // Enter does what OK does; the close button only hides.
    start.showScreen();
    start.sampleButton().click();
    QTest::keyClick(&start, Qt::Key_Return);
    ASSERT_EQ(target.posted.size(), 2u);
    EXPECT_EQ(target.posted[1].wparam, 0);
    start.showScreen();
    start.closeButton()->click();
    EXPECT_FALSE(start.isVisible());
    EXPECT_EQ(target.posted.size(), 2u);
}

TEST_F(StartFixture, ShownHalfASecondAfterStartUnlessTheProfileSaysNo) {
    {
        CTavStartDlg start(folders, texts, &target);
        EXPECT_TRUE(CTavStartDlg::shownAtStartup(folders)); // no profile
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(start.scheduleAtStartup());
        EXPECT_TRUE(start.isScheduled());
        EXPECT_FALSE(start.isVisible());
        // Waits for the screen itself; a busy machine can only make it later, never earlier.
        ASSERT_TRUE(QTest::qWaitFor([&] { return start.isVisible(); }, 30000));
        EXPECT_GE(clock.elapsed(), CTavStartDlg::kStartupDelayMs);
        EXPECT_FALSE(start.isScheduled());
        EXPECT_TRUE(start.sampleButton().isChecked()); // no profile: choice 0
    }
    writeBytes(profile, QByteArray("\0\0\0\0\1\0\0\0", 8));
    CTavStartDlg start(folders, texts, &target);
    EXPECT_FALSE(start.scheduleAtStartup());
    EXPECT_FALSE(start.isScheduled()); // nothing is left to show it later
    EXPECT_FALSE(start.isVisible());
}

TEST(TemplateGridTest, LayoutScrollAndHitTest) {
    // 7 templates at 640 pixels: 2 columns, 4 rows, a range of 5 x 150 minus the height.
    TemplateGrid grid(std::vector<int>(7, 3));
    grid.setClientSize(QSize(640, 425));
    EXPECT_EQ(grid.columns(), 2);
    EXPECT_EQ(grid.rows(), 4);
    EXPECT_EQ(grid.scrollRange(), 5 * 150 - 425);
    EXPECT_EQ(grid.cellRect(0), QRect(QPoint(3, 3), QPoint(296, 146)));
    EXPECT_EQ(grid.cellRect(3), QRect(QPoint(303, 153), QPoint(596, 296)));

    grid.setClientSize(QSize(299, 425)); // narrower than a cell: no grid
    EXPECT_EQ(grid.columns(), 0);
    EXPECT_TRUE(grid.cellRect(0).isEmpty());
    EXPECT_EQ(grid.hitTest(QPoint(10, 10)), -1);

    // Few templates: no scroll bar, offset 0.
    TemplateGrid few(std::vector<int>(2, 1));
    EXPECT_FALSE(few.fitView(QSize(620, 425), 16));
    EXPECT_EQ(few.clientSize().width(), 620);
    few.setScrollOffset(40);
    EXPECT_EQ(few.scrollOffset(), 0);
    // Many: the bar takes its width from the client.
    TemplateGrid many(std::vector<int>(9, 1));
    EXPECT_TRUE(many.fitView(QSize(620, 425), 16));
    EXPECT_EQ(many.clientSize().width(), 604);
    many.setScrollOffset(10'000);
    EXPECT_EQ(many.scrollOffset(), many.scrollRange());

    // Hit test: the inset gap belongs to no template; after scrolling by 100 the first row
    // ends at 46; a row whose top is within 30 pixels of the bottom is not hit.
    grid.setClientSize(QSize(640, 425));
    struct Row {
        int scroll;
        QPoint p;
        int hit;
    };
    const Row rows[] = {
        {0, {10, 10}, 0},    {0, {310, 10}, 1}, {0, {1, 10}, -1},   {0, {298, 10}, -1},
        {0, {10, 160}, 2},   {0, {10, 320}, 4}, {100, {10, 40}, 0}, {100, {10, 60}, 2},
        {30, {10, 424}, -1}, // template 6 starts at 453 - 30 = 423 > 425 - 30
    };
    for (const Row& row : rows) {
        grid.setScrollOffset(row.scroll);
        EXPECT_EQ(grid.hitTest(row.p), row.hit)
            << row.scroll << " " << row.p.x() << "," << row.p.y();
    }
    // Template 4 at scroll 30: top 303 - 30 = 273 is within the client and above its bottom
    // margin, so it is hit.
    grid.setScrollOffset(30);
    EXPECT_EQ(grid.hitTest(QPoint(10, 280)), 4);
}

TEST(TemplateGridTest, TicksWrapEachPreviewAfterItsLastFrame) {
    TemplateGrid grid({3, 1, 2});
    grid.tick();
    EXPECT_EQ(grid.currentFrame(0), 1);
    EXPECT_EQ(grid.currentFrame(1), 0);
    EXPECT_EQ(grid.currentFrame(2), 1);
    grid.tick();
    grid.tick();
    EXPECT_EQ(grid.currentFrame(0), 0);
    EXPECT_EQ(grid.currentFrame(2), 1);
}

// A copy of the first bundled sample's animated preview at `path`.
void writePreview(const QString& path) {
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(ZENTRAVO_BINARY_DIR "/bin/template/template_1.gif"), path))
        << "build the sample previews first";
}

TEST(TemplateChooserTest, PreviewsEndAtTheFirstMissingNumberAndAreNamedByTheirSamples) {
    QTemporaryDir folder;
    for (int n : {1, 2, 3, 5})
        writePreview(folder.filePath(QStringLiteral("template_%1.gif").arg(n)));
    // Sample 1 is named in its header; sample 2 has no project file; sample 3's is cut short
    // inside its header.
    Project named = Project::create();
    named.setName("Meadow Walk");
    ASSERT_TRUE(ProjectStore::writeFile(folder.filePath("template_1.vrn").toStdString(), named,
                                        EmbeddedSymbolList{}));
    QFile::copy(folder.filePath("template_1.vrn"), folder.filePath("template_3.vrn"));
    QFile cut(folder.filePath("template_3.vrn"));
    ASSERT_TRUE(cut.resize(4 + 839));

    const auto previews = TemplateChooserDialog::loadPreviews(folder.path().toStdString() + "/");
    ASSERT_EQ(previews.size(), 3u);
    EXPECT_GT(previews[0].frames.size(), 1u); // every frame of the animation
    EXPECT_EQ(previews[1].frames.size(), previews[0].frames.size());
    EXPECT_EQ(previews[0].name.toStdString(), "Meadow Walk");
    EXPECT_EQ(previews[1].name.toStdString(), "Sample Project 2"); // as it would open
    EXPECT_EQ(previews[2].name.toStdString(), "Sample Project 3");
    EXPECT_TRUE(TemplateChooserDialog::loadPreviews("/nowhere/").empty());
}

// The chooser on the bundled samples, shown.
struct BundledChooser : ::testing::Test {
    LanguageTable texts;
    RecordingMessageSink sink;
    TemplateChooserDialog dialog{ZENTRAVO_BINARY_DIR "/bin/template/", texts, sink};
    BundledChooser() { dialog.show(); }
};

TEST_F(BundledChooser, OkNeedsASelectionAndADoubleClickActsAsOk) {
    EXPECT_EQ(dialog.size(), QSize(660, 500));
    EXPECT_EQ(dialog.gridView().geometry(), QRect(20, 35, 620, 425));
    ASSERT_GE(dialog.gridView().grid().count(), 2) << "build the sample previews first";
    EXPECT_GT(dialog.gridView().grid().currentFrame(0) + 1, 0);

    dialog.okButton().click();
    EXPECT_EQ(sink.only().text, TemplateChooserDialog::kNoSelection);
    EXPECT_EQ(sink.only().caption, "Zentravo");
    EXPECT_TRUE(dialog.isVisible());

    // The previews animate: a few ticks later the first one shows another frame.
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.gridView().grid().currentFrame(0) > 0; },
                                3 * TemplateGridView::kTickMilliseconds));

    TemplateGridView& view = dialog.gridView();
    const QPoint second = view.grid().cellRect(1).center();
    QTest::mouseDClick(&view, Qt::LeftButton, {}, second);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenIndex(), 1);
}

TEST_F(BundledChooser, OpensAtTheTopWithEachSamplesNameUnderItsPreview) {
    // Four samples: two rows of two, one more row than fits, so the grid scrolls.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    TemplateGridView& view = dialog.gridView();
    ASSERT_TRUE(view.scrollBar().isVisible()) << "build the sample previews first";
    EXPECT_EQ(view.scrollBar().value(), 0);
    EXPECT_EQ(view.grid().scrollOffset(), 0);
    EXPECT_EQ(view.grid().cellRect(0).top(), TemplateGrid::kInset);
    // The bar shows it: its handle, at the top and nearly as long as the groove, is darker
    // than the bit of groove left below it (a lighter handle reads as a short one at the end).
    const QImage bar = view.scrollBar().grab().toImage();
    const int middle = bar.width() / 2;
    EXPECT_LT(qGray(bar.pixel(middle, bar.height() / 2)),
              qGray(bar.pixel(middle, bar.height() - 4)));

    // Each template's name is written in the strip under its preview.
    const QImage shown = view.grab().toImage();
    for (int index = 0; index < view.grid().count(); ++index) {
        EXPECT_FALSE(view.name(index).isEmpty());
        const QRect strip = view.grid().nameRect(index);
        EXPECT_TRUE(view.grid().previewRect(index).bottom() < strip.top());
        int ink = 0;
        for (int y = strip.top(); y <= strip.bottom(); ++y)
            for (int x = strip.left(); x <= strip.right(); ++x)
                ink += qGray(shown.pixel(x, y)) < 128;
        EXPECT_GT(ink, 20) << view.name(index).toStdString();
    }
}

TEST(TemplateChooserTest, ChooseSampleNumbersFromOne) {
    QTemporaryDir root;
    QDir().mkpath(root.filePath(QStringLiteral("template")));
    for (int n : {1, 2, 3})
        writePreview(root.filePath(QStringLiteral("template/template_%1.gif").arg(n)));
    const ProgramFolders folders(root.path().toStdString());
    LanguageTable texts;
    RecordingMessageSink sink;
    ScriptedFileChooser files;
    StandardProjectDialogs dialogs(nullptr, folders, texts, sink, files);
    answerModal<TemplateChooserDialog>([](TemplateChooserDialog* d) {
        TemplateGridView& view = d->gridView();
        QTest::mouseClick(&view, Qt::LeftButton, {}, view.grid().cellRect(2).center());
        d->okButton().click();
    });
    EXPECT_EQ(dialogs.chooseSample(), std::optional<int>(3));
    answerModal<TemplateChooserDialog>([](TemplateChooserDialog* d) { d->reject(); });
    EXPECT_EQ(dialogs.chooseSample(), std::nullopt);
}

} // namespace
