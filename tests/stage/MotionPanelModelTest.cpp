#include "stage/MotionPanelModel.h"

#include "document/LanguageTable.h"
#include "document/MessageTarget.h"
#include "tests/document/EditorTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A 200 x 100 stage with one 40 x 20 symbol object, centred as a new object is.
class MotionPanelModelTest : public ::testing::Test {
protected:
    MotionPanelModelTest() : editor(&changes), model(editor, texts) {
        ProjectProperties properties;
        properties.name = "Panel";
        properties.width = 200;
        properties.height = 100;
        editor.newProject(properties);
        QImage picture(40, 20, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        editor.insertLibrarySymbol(SymbolId::create(), {picture});
    }
    ObjectRecord& object() { return editor.project().objects[0].record; }

    LanguageTable texts;
    RecordingListener changes;
    TestEditor editor;
    MotionPanelModel model;
};

TEST(MotionPanelScaleTest, PositionsGiveTheScalesTheReadOutShows) {
    struct Row {
        int position;
        const char* text;
    };
    for (const Row& row : {Row{100, "1.00"}, Row{101, "1.05"}, Row{200, "6.00"}, Row{0, "0.05"},
                           Row{4, "0.05"}, Row{50, "0.50"}, Row{120, "2.00"}})
        EXPECT_EQ(MotionPanelModel::scaleText(row.position), row.text) << row.position;
}

TEST_F(MotionPanelModelTest, ACentredObjectLoadsItsPositionSlidersAtFifty) {
    model.load();
    EXPECT_EQ(model.selectedObject(), 0);
    EXPECT_EQ(model.mode(), 0);
    EXPECT_EQ(model.position(MotionPanelModel::kStartX), 50);
    EXPECT_EQ(model.position(MotionPanelModel::kStartY), 50);
    EXPECT_EQ(model.position(MotionPanelModel::kStartScale), 100);
    EXPECT_EQ(model.position(MotionPanelModel::kStartOpacity), 255);
    EXPECT_FLOAT_EQ(object().startFractionX, 0.5f); // stored back into the object
}

TEST_F(MotionPanelModelTest, EverySliderRoundTripsFromPositionToValueAndBack) {
    editor.project().objects[0].record.motionKind = kLinerMotion;
    model.load();
    // Positions chosen inside each range; scale positions above 100 step by 0.05.
    const std::pair<int, int> rows[] = {
        {MotionPanelModel::kFrameRate, 11},   {MotionPanelModel::kStartOpacity, 37},
        {MotionPanelModel::kEndOpacity, 200}, {MotionPanelModel::kStartScale, 140},
        {MotionPanelModel::kEndScale, 70},    {MotionPanelModel::kStartX, 23},
        {MotionPanelModel::kStartY, 81},      {MotionPanelModel::kEndX, 64},
        {MotionPanelModel::kEndY, 5},         {MotionPanelModel::kStartAngle, 300},
        {MotionPanelModel::kEndAngle, 45},
    };
    for (const auto& [command, position] : rows)
        model.sliderMoved(command, position);
    model.load(); // read everything back from the object
    for (const auto& [command, position] : rows)
        EXPECT_EQ(model.position(command), position) << command;
    EXPECT_EQ(object().symbolFrameRate, 12);
    EXPECT_FLOAT_EQ(object().startScale, 3.0f);
    // Every position of every position and scale slider comes back after a load.
    for (int command :
         {MotionPanelModel::kStartX, MotionPanelModel::kStartY, MotionPanelModel::kEndX,
          MotionPanelModel::kEndY, MotionPanelModel::kStartScale, MotionPanelModel::kEndScale}) {
        // Scale positions below 5 all give the 0.05 floor.
        const bool scale =
            command == MotionPanelModel::kStartScale || command == MotionPanelModel::kEndScale;
        for (int position = scale ? 5 : 0; position <= (scale ? 200 : 100); ++position) {
            model.sliderMoved(command, position);
            model.load();
            ASSERT_EQ(model.position(command), position) << command;
        }
    }
    model.sliderMoved(MotionPanelModel::kStartScale, 140);
    // Position 0 puts the box just outside the left edge: x = -W - W / 2 with W = 40 x 3.
    model.sliderMoved(MotionPanelModel::kStartX, 0);
    EXPECT_FLOAT_EQ(object().startX, -120.0f - 60.0f);
}

TEST_F(MotionPanelModelTest, WithoutASelectionASliderChangesNothing) {
    editor.project().clearObjectSelection();
    const ObjectRecord before = object();
    const int steps = editor.history().count();
    changes.clear();
    model.sliderPressed(MotionPanelModel::kStartOpacity);
    model.sliderMoved(MotionPanelModel::kStartOpacity, 10);
    model.sliderReleased(MotionPanelModel::kStartOpacity);
    EXPECT_EQ(std::memcmp(&before, &object(), sizeof before), 0);
    EXPECT_TRUE(changes.changes.empty());
    EXPECT_EQ(editor.history().count(), steps);
    EXPECT_FALSE(model.prepareGuideLineDialog()); // the caller shows the message

    // With the object selected a step (a key) is one announced edit.
    object().selected = 1;
    model.sliderMoved(MotionPanelModel::kStartOpacity, 10);
    EXPECT_EQ(object().startOpacity, 10);
    EXPECT_TRUE(changes.saw(DocumentChange::Objects));
    EXPECT_EQ(editor.history().count(), steps + 1);
}

TEST_F(MotionPanelModelTest, ASliderHeldAndDraggedIsOneUndoStep) {
    const int steps = editor.history().count();
    changes.clear();
    model.sliderPressed(MotionPanelModel::kStartOpacity);
    for (int position = 250; position >= 100; position -= 10)
        model.sliderMoved(MotionPanelModel::kStartOpacity, position);
    EXPECT_EQ(object().startOpacity, 100);  // the object follows the knob while it is held
    EXPECT_EQ(changes.changes.size(), 16u); // each move shows
    EXPECT_EQ(editor.history().count(), steps);
    model.sliderReleased(MotionPanelModel::kStartOpacity);
    EXPECT_EQ(editor.history().count(), steps + 1);
    EXPECT_TRUE(editor.undo());
    EXPECT_EQ(object().startOpacity, 255);

    // Held, moved and brought back: no step at all.
    const int now = editor.history().count();
    model.sliderPressed(MotionPanelModel::kStartScale);
    model.sliderMoved(MotionPanelModel::kStartScale, 150);
    model.sliderMoved(MotionPanelModel::kStartScale, 100);
    model.sliderReleased(MotionPanelModel::kStartScale);
    EXPECT_EQ(editor.history().count(), now);
}

TEST_F(MotionPanelModelTest, EverySliderShowsTheValueItStandsFor) {
    editor.project().objects[0].record.motionKind = kLinerMotion;
    model.sliderMoved(MotionPanelModel::kFrameRate, 24);
    model.sliderMoved(MotionPanelModel::kStartOpacity, 128);
    model.sliderMoved(MotionPanelModel::kStartAngle, 90);
    model.sliderMoved(MotionPanelModel::kEndScale, 120);
    model.sliderMoved(MotionPanelModel::kStartX, 0);
    model.load();
    EXPECT_EQ(model.valueText(MotionPanelModel::kFrameRate), "25");
    EXPECT_EQ(model.valueText(MotionPanelModel::kStartOpacity), "128");
    EXPECT_EQ(model.valueText(MotionPanelModel::kStartAngle), "90\u00B0");
    EXPECT_EQ(model.valueText(MotionPanelModel::kEndScale), "2.00");
    EXPECT_EQ(model.valueText(MotionPanelModel::kStartX), "-60"); // x = -W - W / 2, W = 40
    EXPECT_EQ(model.valueText(MotionPanelModel::kEndY), "40");    // centred: 50 - 10
}

TEST_F(MotionPanelModelTest, LayoutsAndLabelsFollowTheMotionKind) {
    model.load();
    EXPECT_FALSE(model.togglesShown());
    EXPECT_EQ(model.visibleSliders(), (std::vector<int>{0, 1, 3, 4, 7, 9}));
    EXPECT_EQ(model.label(3), "Position.X");
    EXPECT_EQ(model.label(9), "Scale");

    model.toggle(MotionPanelModel::kLinerToggle);
    EXPECT_EQ(object().motionKind, kLinerMotion);
    EXPECT_EQ(model.visibleSliders().size(), 11u);
    EXPECT_EQ(model.label(6), "Ending Position.Y");
    EXPECT_EQ(model.label(8), "Ending Angle");

    model.toggle(MotionPanelModel::kGuideLineToggle);
    EXPECT_EQ(model.mode(), 2);
    EXPECT_EQ(model.visibleSliders(), (std::vector<int>{0, 1, 2, 9, 10}));
    EXPECT_TRUE(model.guideLineButtonShown());
    EXPECT_EQ(model.label(10), "Ending Scale");
    EXPECT_EQ(editor.history().count(), 3); // each toggle was an undo step
}

TEST_F(MotionPanelModelTest, EachCurveChosenIsOneUndoStepThatUndoAndRedoRestore) {
    model.load();
    EXPECT_EQ(model.easing(), kEaseLinear);
    const int steps = editor.history().count();
    changes.clear();
    model.chooseEasing(kEaseBounce);
    EXPECT_EQ(object().easing, kEaseBounce);
    EXPECT_EQ(model.easing(), kEaseBounce);
    EXPECT_TRUE(changes.saw(DocumentChange::Objects)); // the stage redraws, the panel reloads
    model.chooseEasing(kEaseBounce);                   // the same curve again: nothing to undo
    model.chooseEasing(kEaseInOutCubic);
    EXPECT_EQ(editor.history().count(), steps + 2);

    EXPECT_TRUE(editor.undo());
    model.load();
    EXPECT_EQ(model.easing(), kEaseBounce);
    EXPECT_TRUE(editor.undo());
    model.load();
    EXPECT_EQ(model.easing(), kEaseLinear);
    EXPECT_TRUE(editor.redo());
    model.load();
    EXPECT_EQ(model.easing(), kEaseBounce);

    // A motion appended to the object continues along the same curve.
    ASSERT_TRUE(editor.appendMotion(kLinerMotion));
    EXPECT_EQ(editor.project().objects[1].record.easing, kEaseBounce);
    model.load();
    EXPECT_EQ(model.selectedObject(), 1);
    EXPECT_EQ(model.easing(), kEaseBounce);

    // Without a selection the chooser changes nothing and reads as Linear.
    editor.project().clearObjectSelection();
    const int now = editor.history().count();
    model.chooseEasing(kEaseElastic);
    EXPECT_EQ(editor.history().count(), now);
    model.load();
    EXPECT_EQ(model.easing(), kEaseLinear);
}

// The column of rows: at its described place (top (h - 195) / 2 + 5, rows 15 apart) while the
// Liner layout with the chooser fits (25 + 11 x 15 + 4 + 22 = 216 pixels, 2 to spare below);
// higher up in a shorter panel, and with rows drawn closer only when even that is too little.
TEST(MotionPanelColumnTest, TheChooserStaysInsideThePanel) {
    struct Row {
        int height;
        int top;
        int pitch;
    };
    const Row rows[] = {
        {300, 57, 15},               // the described place
        {253, 34, 15},               // the main window's default size: still the described place
        {250, 32, 15},               // 32 + 216 = 248 = 250 - 2
        {249, 31, 15},               // moved up: 249 - 2 - 216
        {218, 0, 15},                // at the very top
        {217, 0, 15},                // 216 still fits without the bottom margin
        {216, 0, 15},  {215, 0, 14}, // then the rows come closer: (215 - 51) / 11 = 14
        {183, 0, 12},                // the smallest main window: (183 - 51) / 11 = 12
    };
    for (const Row& row : rows) {
        const MotionPanelModel::Column c = MotionPanelModel::column(row.height);
        EXPECT_EQ(c.top, row.top) << row.height;
        EXPECT_EQ(c.pitch, row.pitch) << row.height;
    }
}

TEST_F(MotionPanelModelTest, TheChooserSitsUnderTheLastRowOfEveryLayout) {
    const MotionPanelModel::Column c{10, 15};
    model.load();
    EXPECT_EQ(model.chooserTop(c), 10 + 25 + 6 * 15 + 4); // six sliders
    model.toggle(MotionPanelModel::kLinerToggle);
    EXPECT_EQ(model.chooserTop(c), 10 + 25 + 11 * 15 + 4);
    model.toggle(MotionPanelModel::kGuideLineToggle);
    EXPECT_EQ(model.buttonTop(c), 10 + 25 + 5 * 15 + 4); // the guide line button, then
    EXPECT_EQ(model.chooserTop(c), 10 + 25 + 5 * 15 + 4 + 22 + 4);
}

} // namespace
