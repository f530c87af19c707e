#include "controls/CTavColorPicker.h"
#include "controls/ColorPopupModel.h"
#include "tests/ui/UiTestSupport.h"

#include <QColorDialog>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Model = ColorPopupModel;
constexpr int kAuto = Model::kAutomatic;
constexpr int kMore = Model::kMoreColours;
constexpr std::uint32_t kOrange = 0x2068FF; // red 255, green 104, blue 32
constexpr std::uint32_t kUnlisted = 0x030201;

TEST(ColorPickerTest, InitialHighlightFollowsTheColourAndTheEntries) {
    struct Row {
        std::uint32_t colour;
        bool automatic, more;
        int highlight;
    };
    const Row rows[] = {
        {kOrange, true, true, 9},
        {0x000000, true, true, 0}, // black is box 0, not "automatic"
        {0xFFFFFF, false, false, 39},
        {kUnlisted, true, true, kMore},
        {kUnlisted, true, false, Model::kNone},
        {Model::kDefaultColour, true, true, kAuto},
        {Model::kDefaultColour, false, true, kMore}, // no automatic entry to show it
    };
    for (const Row& row : rows)
        EXPECT_EQ(Model(row.colour, row.automatic, row.more).highlight(), row.highlight)
            << std::hex << row.colour << " " << row.automatic << row.more;
}

TEST(ColorPickerTest, ArrowKeysWalkTheBoxesAndWrapThroughTheTextEntries) {
    // Moves: L, R, U, D. Each row starts from a highlighted entry and ends on another.
    struct Row {
        bool automatic, more;
        int start;
        const char* moves;
        int end;
    };
    const Row rows[] = {
        {true, true, 39, "R", kMore},    {true, true, 0, "L", kAuto},
        {true, true, kMore, "R", kAuto}, {true, true, kAuto, "L", kMore},
        {true, true, kAuto, "R", 0},     {true, true, kMore, "L", 39},
        {true, true, 7, "R", 8},         {true, true, 8, "L", 7},  // rows wrap into each other
        {true, true, 3, "U", kAuto},     {true, true, 3, "UD", 3}, // the column is kept
        {true, true, 35, "D", kMore},    {true, true, 35, "DDDD", 11},
        {true, true, 12, "DD", 28},      {true, true, 5, "UU", kMore},
        {false, false, 39, "R", 0},      {false, false, 0, "L", 39},
        {false, false, 36, "D", 4},      {false, false, 4, "U", 36},
        {false, true, 2, "U", kMore},    {false, true, 2, "UU", 34},
        {true, false, 33, "D", kAuto},   {true, false, 39, "R", kAuto},
    };
    for (const Row& row : rows) {
        Model model(kUnlisted, row.automatic, row.more);
        ASSERT_TRUE(model.setHighlight(row.start) || model.highlight() == row.start);
        for (const char* m = row.moves; *m; ++m)
            model.move(*m == 'L'   ? Model::Move::Left
                       : *m == 'R' ? Model::Move::Right
                       : *m == 'U' ? Model::Move::Up
                                   : Model::Move::Down);
        EXPECT_EQ(model.highlight(), row.end)
            << row.automatic << row.more << " from " << row.start << " " << row.moves;
    }
}

TEST(ColorPickerTest, EntriesAnnounceTheirColoursAndLieWhereTheyAreDrawn) {
    Model model(kUnlisted, true, true);
    EXPECT_EQ(model.entryColour(9), kOrange);
    EXPECT_EQ(model.entryColour(kAuto), Model::kDefaultColour);
    EXPECT_EQ(model.entryColour(kMore), kUnlisted); // the initial colour
    EXPECT_FALSE(model.setHighlight(40));           // no such entry

    // Both texts empty: the popup is just the grid, 8 x 5 boxes inside the margins.
    Model bare(kOrange, false, false);
    bare.setTextMetrics(200, 14);
    const int grid = Model::kColumns * Model::kBoxSize;
    EXPECT_EQ(bare.size(), QSize(grid + 2 * Model::kMargin,
                                 Model::kRows * Model::kBoxSize + 2 * Model::kMargin));
    EXPECT_TRUE(bare.entryRect(kAuto).isEmpty());
    EXPECT_TRUE(bare.entryRect(kMore).isEmpty());
    EXPECT_EQ(bare.entryRect(0).topLeft(), QPoint(Model::kMargin, Model::kMargin));

    // With texts: "Automatic" above the grid, "More Colours..." below it, as wide as the text.
    model.setTextMetrics(200, 14);
    EXPECT_EQ(model.size().width(), 200 + 2 * Model::kTextPadding + 2 * Model::kMargin);
    EXPECT_LT(model.entryRect(kAuto).bottom(), model.entryRect(0).top());
    EXPECT_GT(model.entryRect(kMore).top(), model.entryRect(39).bottom());
    for (int entry : {kAuto, kMore, 0, 9, 39})
        EXPECT_EQ(model.entryAt(model.entryRect(entry).center()), entry);
    EXPECT_EQ(model.entryAt(QPoint(1, 1)), Model::kNone);
}

TEST(ColorPickerTest, PopupIsKeptOnTheScreen) {
    const QRect screen(0, 0, 800, 600);
    const QSize popup(160, 140);
    EXPECT_EQ(Model::keptOnScreen(QPoint(10, 20), popup, screen), QPoint(10, 20));
    EXPECT_EQ(Model::keptOnScreen(QPoint(700, 500), popup, screen), QPoint(640, 460));
    EXPECT_EQ(Model::keptOnScreen(QPoint(-30, -5), popup, screen), QPoint(0, 0));
}

// The popup's colours in box order, five rows of eight: name, and red, green and blue as a
// colour value 0x00BBGGRR.
const std::pair<const char*, std::uint32_t> kBoxes[] = {
    {"Black", 0x000000},
    {"Brown", 0x002AA5},
    {"Dark Olive Green", 0x404000},
    {"Dark Green", 0x005500},
    {"Dark Teal", 0x5E0000},
    {"Dark blue", 0x8B0000},
    {"Indigo", 0x82004B},
    {"Dark grey", 0x282828},
    {"Dark red", 0x00008B},
    {"Orange", 0x2068FF},
    {"Dark yellow", 0x008B8B},
    {"Green", 0x009300},
    {"Teal", 0x8E8E38},
    {"Blue", 0xFF0000},
    {"Blue-grey", 0xC07B7B},
    {"Grey - 40", 0x666666},
    {"Red", 0x0000FF},
    {"Light orange", 0x5BADFF},
    {"Lime", 0x32CD32},
    {"Sea green", 0x71B33C},
    {"Aqua", 0xD4FF7F},
    {"Light blue", 0xC09E7D},
    {"Violet", 0x800080},
    {"Grey - 50", 0x7F7F7F},
    {"Pink", 0xCBC0FF},
    {"Gold", 0x00D7FF},
    {"Yellow", 0x00FFFF},
    {"Bright green", 0x00FF00},
    {"Turquoise", 0xD0E040},
    {"Skyblue", 0xFFFFC0},
    {"Plum", 0x480048},
    {"Light grey", 0xC0C0C0},
    {"Rose", 0xE1E4FF},
    {"Tan", 0x8CB4D2},
    {"Light yellow", 0xE0FFFF},
    {"Pale green ", 0x98FB98},
    {"Pale turquoise", 0xEEEEAF},
    {"Pale blue", 0x8B8368},
    {"Lavender", 0xFAE6E6},
    {"White", 0xFFFFFF},
};

TEST(ColorPickerTest, TheFortyBoxesByNameAndValueAndTheRightArrowWalksThemInOrder) {
    ASSERT_EQ(Model::colours().size(), std::size(kBoxes));
    CTavColorPicker picker;
    picker.setColor(kBoxes[0].second);
    picker.setTrackSelection(true); // the picker shows each highlighted colour
    picker.dropDown();
    ColorPopup* popup = picker.popup();
    ASSERT_NE(popup, nullptr);
    const QImage shown = popup->grab().toImage();
    for (int box = 0; box < int(std::size(kBoxes)); ++box) {
        SCOPED_TRACE(box);
        const auto& [name, colour] = kBoxes[std::size_t(box)];
        EXPECT_STREQ(Model::colours()[std::size_t(box)].name, name); // its tooltip
        EXPECT_EQ(popup->model().entryColour(box), colour);
        const QRgb painted = shown.pixel(popup->model().entryRect(box).center());
        EXPECT_EQ(painted, qRgb(colour & 0xFF, colour >> 8 & 0xFF, colour >> 16 & 0xFF));
        // A picker showing that colour opens on that box.
        EXPECT_EQ(Model(colour, true, true).highlight(), box);
    }

    // Right goes box by box, then to "More Colours...", round to "Automatic" and box 0.
    for (int box = 1; box < int(std::size(kBoxes)); ++box) {
        QTest::keyClick(popup, Qt::Key_Right);
        EXPECT_EQ(picker.color(), kBoxes[std::size_t(box)].second) << box;
    }
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->model().highlight(), kMore);
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->model().highlight(), kAuto);
    QTest::keyClick(popup, Qt::Key_Right);
    EXPECT_EQ(popup->model().highlight(), 0);
    // Down keeps the column through the rows and the two text entries.
    std::vector<int> column;
    for (int k = 0; k < 7; ++k) {
        QTest::keyClick(popup, Qt::Key_Down);
        column.push_back(popup->model().highlight());
    }
    EXPECT_EQ(column, (std::vector<int>{8, 16, 24, 32, kMore, kAuto, 0}));
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_EQ(picker.color(), kBoxes[0].second);
}

// The notifications a picker sent, as (message, colour) pairs.
struct Notifications {
    std::vector<std::pair<int, std::uint32_t>> sent;
    explicit Notifications(CTavColorPicker& picker) {
        QObject::connect(&picker, &CTavColorPicker::notified,
                         [this, &picker](int m, quint32 c, int id) {
                             EXPECT_EQ(id, picker.controlId());
                             sent.push_back({m, c});
                         });
    }
};

TEST(ColorPickerTest, EscRestoresTheColourAndEndsWithCloseUpThenCancel) {
    CTavColorPicker picker(nullptr, 10124);
    picker.setColor(kOrange);
    Notifications notes(picker);
    picker.setTrackSelection(true); // the colour follows the highlight while open
    picker.dropDown();
    ASSERT_NE(picker.popup(), nullptr);
    EXPECT_TRUE(picker.isActive());
    EXPECT_EQ(picker.popup()->model().highlight(), 9);
    QTest::keyClick(picker.popup(), Qt::Key_Right);
    EXPECT_EQ(picker.color(), ColorPopupModel::colours()[10].colorRef);
    QTest::keyClick(picker.popup(), Qt::Key_Escape);
    EXPECT_EQ(picker.popup(), nullptr);
    EXPECT_FALSE(picker.isActive());
    EXPECT_EQ(picker.color(), kOrange);
    const std::vector<std::pair<int, std::uint32_t>> expected = {
        {CTavColorPicker::DropDown, kOrange},
        {CTavColorPicker::SelectionChanged, ColorPopupModel::colours()[10].colorRef},
        {CTavColorPicker::CloseUp, kOrange},
        {CTavColorPicker::SelectionEndCancel, kOrange},
    };
    EXPECT_EQ(notes.sent, expected);
}

TEST(ColorPickerTest, ChoicesByKeyAndMouseEndWithOkAndAFinalChange) {
    CTavColorPicker picker;
    picker.setColor(0xFFFFFF);
    Notifications notes(picker);
    picker.dropDown();
    QTest::keyClick(picker.popup(), Qt::Key_Left); // 38, "Lavender"
    QTest::keyClick(picker.popup(), Qt::Key_Return);
    const std::uint32_t lavender = ColorPopupModel::colours()[38].colorRef;
    EXPECT_EQ(picker.color(), lavender); // without track-selection only the ending sets it
    const std::vector<std::pair<int, std::uint32_t>> expected = {
        {CTavColorPicker::DropDown, 0xFFFFFF},
        {CTavColorPicker::SelectionChanged, lavender},
        {CTavColorPicker::CloseUp, lavender},
        {CTavColorPicker::SelectionEndOk, lavender},
        {CTavColorPicker::SelectionChanged, lavender},
    };
    EXPECT_EQ(notes.sent, expected);

    // A release on a box chooses it; a press outside the popup cancels.
    picker.dropDown();
    ColorPopup* popup = picker.popup();
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->model().entryRect(9).center());
    EXPECT_EQ(picker.color(), kOrange);
    picker.dropDown();
    popup = picker.popup();
    notes.sent.clear();
    QTest::mousePress(popup, Qt::LeftButton, {}, QPoint(-10, popup->height() + 10));
    EXPECT_EQ(picker.popup(), nullptr);
    EXPECT_EQ(picker.color(), kOrange);
    ASSERT_EQ(notes.sent.size(), 2u);
    EXPECT_EQ(notes.sent[1].first, CTavColorPicker::SelectionEndCancel);

    // Space on "Automatic" chooses the default value, kept as it is.
    picker.dropDown();
    while (picker.popup()->model().highlight() != kAuto)
        QTest::keyClick(picker.popup(), Qt::Key_Up);
    QTest::keyClick(picker.popup(), Qt::Key_Space);
    EXPECT_EQ(picker.color(), ColorPopupModel::kDefaultColour);
}

TEST(ColorPickerTest, MoreColoursAsksTheColourDialogAndItsCancelCancels) {
    CTavColorPicker picker;
    picker.setColor(kUnlisted);
    Notifications notes(picker);
    picker.dropDown();
    EXPECT_EQ(picker.popup()->model().highlight(), kMore);
    answerModal<QColorDialog>([](QColorDialog* dialog) {
        EXPECT_EQ(dialog->currentColor(), QColor(1, 2, 3)); // opens on the initial colour
        dialog->setCurrentColor(QColor(10, 20, 30));
        dialog->accept();
    });
    QTest::keyClick(picker.popup(), Qt::Key_Return);
    EXPECT_EQ(picker.color(), 0x1E140Au);
    EXPECT_EQ(notes.sent.back().first, CTavColorPicker::SelectionChanged);

    notes.sent.clear();
    picker.dropDown(); // 0x1E140A is not in the table either
    answerModal<QColorDialog>([](QColorDialog* dialog) { dialog->reject(); });
    QTest::keyClick(picker.popup(), Qt::Key_Return);
    EXPECT_EQ(picker.color(), 0x1E140Au);
    ASSERT_FALSE(notes.sent.empty());
    EXPECT_EQ(notes.sent.back().first, CTavColorPicker::SelectionEndCancel);
}

TEST(ColorPickerTest, SelectionModeChoosesWhichColourThePickerEdits) {
    CTavColorPicker picker;
    picker.setBackgroundColor(0x111111);
    picker.setTextColor(0x222222);
    EXPECT_EQ(picker.color(), 0x111111u); // mode 2 (default): background
    picker.setSelectionMode(CTavColorPicker::kEditsTextColour);
    EXPECT_EQ(picker.color(), 0x222222u);
    picker.setColor(kOrange);
    EXPECT_EQ(picker.textColor(), kOrange);
    EXPECT_EQ(picker.backgroundColor(), 0x111111u);
}

} // namespace
