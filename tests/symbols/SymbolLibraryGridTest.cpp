// The library panel's rules without a window: the fit rule, the grid and its scroll range,
// clicks, drags that reorder, the rubber band, the wheel and the arrow keys.
#include "symbols/FitSize.h"
#include "symbols/SymbolLibraryGrid.h"
#include "tests/symbols/SymbolTestSupport.h"

using namespace symboltest;

namespace {

class SymbolLibraryGridTest : public LibraryFolderTest {
protected:
    // A library of `count` one-frame symbols in a view of `view`.
    void make(int count, QSize view) {
        ids = addSymbols(std::vector<int>(std::size_t(count), 1));
        library.load();
        grid.setViewSize(view);
    }
    QPoint centreOf(int index) const { return grid.pictureRect(index).center(); }
    // Press on `from`, move in three steps to `to`, release.
    bool drag(QPoint from, QPoint to) {
        grid.press(from);
        for (int step = 1; step <= 3; ++step)
            grid.move(from + (to - from) * step / 3);
        return grid.release();
    }
    std::vector<SymbolId> order(std::initializer_list<int> positions) const {
        std::vector<SymbolId> result;
        for (int position : positions)
            result.push_back(ids[std::size_t(position)]);
        return result;
    }

    std::vector<SymbolId> ids;
    SymbolLibrary library{folder()};
    SymbolLibraryGrid grid{library};
};

} // namespace

TEST(FitSizeTest, KeepsTheAspectAndNeverEnlargesUnlessAsked) {
    struct Row {
        QSize source, box;
        bool always;
        QSize fitted;
    };
    const Row rows[] = {
        {{20, 20}, {50, 50}, false, {20, 20}}, // fits: drawn at its own size
        {{50, 50}, {50, 50}, false, {50, 50}},
        {{200, 100}, {50, 50}, false, {50, 25}}, // wider than the box
        {{100, 200}, {50, 50}, false, {25, 50}}, // taller
        {{240, 240}, {50, 50}, false, {50, 50}},
        {{7, 3}, {50, 50}, true, {50, 21}}, // forced: 3 * 50 / 7 truncated
        {{20, 20}, {50, 50}, true, {50, 50}},
        {{101, 50}, {50, 50}, false, {50, 24}}, // 50 * 50 / 101 = 24.75, truncated
        {{0, 20}, {50, 50}, false, {0, 0}},     // any zero gives nothing
        {{20, 0}, {50, 50}, false, {0, 0}},
        {{20, 20}, {0, 50}, false, {0, 0}},
        {{20, 20}, {50, 0}, true, {0, 0}},
        {{100000, 1}, {50, 50}, false, {50, 0}}, // a line too thin to show
    };
    for (const Row& row : rows)
        EXPECT_EQ(FitSize::fit(row.source, row.box, row.always), row.fitted)
            << row.source.width() << "x" << row.source.height();
    // Thumbnails are the fitted pictures.
    EXPECT_EQ(SymbolLibrary::fitted(frame(0, 200, 100), QSize(50, 50)).size(), QSize(50, 25));
    EXPECT_EQ(SymbolLibrary::fitted(frame(0, 20, 20), QSize(50, 50)).size(), QSize(20, 20));
}

TEST_F(SymbolLibraryGridTest, ScrollRangeHasOneSpareRow) {
    struct Row {
        int symbols;
        QSize view;
        int columns, content, range;
    };
    const Row rows[] = {
        {0, {180, 200}, 3, 0, 0}, // empty: no scroll bar
        {2, {180, 200}, 3, 56, 0},
        {9, {180, 200}, 3, 168, 24}, // three full rows and the spare one
        {10, {180, 200}, 3, 224, 80},
        {12, {180, 200}, 3, 224, 80}, // a multiple of the columns: the spare row still counts
        {12, {240, 100}, 4, 168, 124},
        {5, {55, 200}, 0, 0, 0}, // narrower than a cell: no cells
    };
    for (const Row& row : rows) {
        std::filesystem::remove_all(folder());
        make(row.symbols, row.view);
        EXPECT_EQ(grid.columns(), row.columns) << row.symbols;
        EXPECT_EQ(grid.contentHeight(), row.content) << row.symbols;
        EXPECT_EQ(grid.scrollRange(), row.range) << row.symbols;
        EXPECT_EQ(grid.scrollBarShown(), row.range >= 1) << row.symbols;
        grid.scrollToEnd();
        EXPECT_EQ(grid.scroll(), row.range);
        // Scrolled to the end, one empty row shows below the last symbol.
        if (row.range > 0) {
            EXPECT_EQ(grid.pictureRect(row.symbols - 1).bottom() + 1 + 3 + 56, row.view.height());
        }
        grid.setScroll(0);
    }
}

TEST_F(SymbolLibraryGridTest, ClicksFindCellsByTheirPictureAreas) {
    make(9, QSize(180, 120)); // three columns; rows at y 3, 59, 115
    EXPECT_EQ(grid.pictureRect(4), QRect(59, 59, 50, 50));
    struct Row {
        int scroll;
        QPoint point;
        int symbol;
    };
    const Row rows[] = {
        {0, {3, 3}, 0},     {0, {52, 52}, 0},   {0, {53, 30}, -1}, // the inset between cells
        {0, {80, 80}, 4},   {0, {170, 30}, -1},                    // under the scroll bar
        {0, {25, 117}, -1}, // a row starting below the bottom minus 30 takes no click
        {56, {25, 10}, 3},  // row 1 scrolled to the top
        {56, {25, 70}, 6},  {64, {25, 2}, 3},
    };
    for (const Row& row : rows) {
        grid.setScroll(row.scroll);
        EXPECT_EQ(grid.symbolAt(row.point), row.symbol) << row.point.x() << "," << row.point.y();
    }
    grid.setScroll(0);
    EXPECT_EQ(grid.visibleSymbols(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    grid.setScroll(60);
    EXPECT_EQ(grid.visibleSymbols(), (std::vector<int>{3, 4, 5, 6, 7, 8}));
}

TEST_F(SymbolLibraryGridTest, DraggingASymbolMovesItBeforeOrAfterTheTarget) {
    struct Row {
        int from, target;
        bool rightHalf;
        std::vector<int> order;
    };
    const Row rows[] = {
        {2, 0, true, {0, 2, 1, 3}},  // third onto the right half of the first
        {0, 2, false, {1, 0, 2, 3}}, // first onto the left half of the third
        {0, 2, true, {1, 2, 0, 3}},  {3, 0, false, {3, 0, 1, 2}},
        {1, 1, true, {0, 1, 2, 3}},  // onto itself: nothing moves
        {1, 2, false, {0, 1, 2, 3}}, // just before the next one is where it stands
        {1, 0, true, {0, 1, 2, 3}},
    };
    for (const Row& row : rows) {
        std::filesystem::remove_all(folder());
        make(4, QSize(240, 300));
        const QRect target = grid.pictureRect(row.target);
        const QPoint drop(row.rightHalf ? target.right() - 5 : target.left() + 5,
                          target.center().y());
        const bool moved = drag(centreOf(row.from), drop);
        std::vector<SymbolId> expected;
        for (int position : row.order)
            expected.push_back(ids[std::size_t(position)]);
        EXPECT_EQ(idsOf(library), expected) << row.from << " -> " << row.target;
        EXPECT_EQ(moved, library.orderChanged());
        // The dragged symbol stays the chosen one at its new place.
        EXPECT_EQ(library.currentSymbol(), ids[std::size_t(row.from)]);
        int selected = 0;
        for (const SymbolEntry& entry : library.entries())
            selected += entry.selected ? 1 : 0;
        EXPECT_EQ(selected, 1);
        EXPECT_FALSE(grid.dragging());
    }
    // The new order reaches the index at the next save.
    ASSERT_TRUE(library.saveIndex());
    library.load();
    EXPECT_EQ(idsOf(library), order({0, 1, 2, 3}));
    drag(centreOf(2), grid.pictureRect(0).topRight() + QPoint(-2, 10));
    library.saveIndex();
    library.load();
    EXPECT_EQ(idsOf(library), order({0, 2, 1, 3}));
}

TEST_F(SymbolLibraryGridTest, DropTargetFollowsTheMouseAndRepaintsEveryThirdMove) {
    make(4, QSize(240, 300));
    grid.press(centreOf(0));
    std::vector<bool> repaints;
    for (int move = 0; move < 6; ++move)
        repaints.push_back(grid.move(centreOf(2) + QPoint(move, 0)));
    EXPECT_EQ(repaints, (std::vector<bool>{false, false, true, false, false, true}));
    EXPECT_TRUE(grid.dragging());
    EXPECT_EQ(grid.dropTarget(), 2);
    EXPECT_TRUE(grid.dropAfter());
    grid.move(grid.pictureRect(3).topLeft() + QPoint(4, 4));
    EXPECT_EQ(grid.dropTarget(), 3);
    EXPECT_FALSE(grid.dropAfter());
    grid.move(QPoint(56, 20)); // the inset between cells: the target stays
    EXPECT_EQ(grid.dropTarget(), 3);
}

TEST_F(SymbolLibraryGridTest, PressesSelectAndAnnounceTheCurrentSymbol) {
    make(6, QSize(180, 300));
    EXPECT_EQ(grid.press(centreOf(1)), 1);
    grid.release();
    EXPECT_EQ(grid.chosen(), std::vector<int>{1});
    EXPECT_TRUE(library.at(1).selected); // a click without a drag keeps its selection
    library.setSelected(3, true);
    EXPECT_EQ(grid.press(centreOf(3)), 3); // a selected symbol keeps the others selected
    grid.release();
    EXPECT_TRUE(library.at(1).selected && library.at(3).selected);
    EXPECT_EQ(grid.press(centreOf(4)), 4); // an unselected one clears them first
    grid.release();
    EXPECT_FALSE(library.at(1).selected || library.at(3).selected);

    // Empty space: with multiple selection the selection goes and a band starts; the current
    // symbol is still announced.
    EXPECT_EQ(grid.press(QPoint(100, 250)), 4);
    EXPECT_FALSE(library.hasSelection());
    EXPECT_TRUE(grid.rubberBand().has_value());
    grid.release();
    grid.setMultipleSelection(false);
    grid.press(centreOf(2));
    grid.release();
    grid.press(QPoint(100, 250));
    EXPECT_TRUE(library.at(2).selected);
    EXPECT_FALSE(grid.rubberBand().has_value());
    EXPECT_FALSE(grid.selectAllKey());
    EXPECT_EQ(grid.doubleClick(centreOf(5)), 5);
    EXPECT_EQ(library.currentIndex(), 5);
    EXPECT_EQ(grid.doubleClick(QPoint(100, 250)), -1);
}

TEST_F(SymbolLibraryGridTest, RubberBandSelectsTheCellsItTouchesAndScrollsAtTheEdges) {
    make(30, QSize(180, 200));  // 10 rows of 3, range 10 * 56 + 56 - 200 = 416
    grid.press(QPoint(56, 56)); // the corner between four cells
    grid.move(QPoint(60, 60));
    std::vector<int> selected;
    for (int i = 0; i < library.count(); ++i)
        if (library.at(i).selected)
            selected.push_back(i);
    EXPECT_EQ(selected, (std::vector<int>{4}));
    grid.move(QPoint(10, 10));
    EXPECT_EQ(grid.rubberBand(), QRect(QPoint(10, 10), QPoint(56, 56)));
    EXPECT_EQ(grid.scroll(), 56 * 0); // above the top margin at scroll 0: nothing to scroll
    // Below the view: one row per move, and the band's fixed corner moves up with the content.
    grid.move(QPoint(60, 210));
    grid.move(QPoint(60, 210));
    EXPECT_EQ(grid.scroll(), 112);
    EXPECT_EQ(grid.rubberBand(), QRect(QPoint(56, 56 - 112), QPoint(60, 210)));
    selected.clear();
    for (int i = 0; i < library.count(); ++i)
        if (library.at(i).selected)
            selected.push_back(i);
    EXPECT_EQ(selected, (std::vector<int>{4, 7, 10, 13, 16})); // column 1, rows 1 to 5
    grid.move(QPoint(60, 5)); // above the top margin: back up one row
    EXPECT_EQ(grid.scroll(), 56);
    grid.release();
    EXPECT_FALSE(grid.rubberBand().has_value());
}

TEST_F(SymbolLibraryGridTest, WheelArrowsAndSelectAll) {
    make(20, QSize(180, 150)); // 7 rows: range 7 * 56 + 56 - 150 = 298
    EXPECT_TRUE(grid.wheel(-120));
    EXPECT_EQ(grid.scroll(), 30);
    grid.wheel(-240);
    EXPECT_EQ(grid.scroll(), 90);
    grid.wheel(-120 * 20);
    EXPECT_EQ(grid.scroll(), 298);
    EXPECT_FALSE(grid.wheel(-120));
    grid.wheel(120 * 20);
    EXPECT_EQ(grid.scroll(), 0);

    using A = SymbolLibraryGrid::Arrow;
    struct Row {
        A arrow;
        int current;
        int scroll;
    };
    const Row rows[] = {
        {A::Left, 0, 0}, // none current: the first becomes current
        {A::Left, 0, 0}, // already at the row's start
        {A::Right, 1, 0},   {A::Right, 2, 0},   {A::Right, 2, 0}, // at the row's end
        {A::Down, 5, 0},    {A::Down, 8, 18}, // row 2 (112..168) shows: scrolled by 18
        {A::Down, 11, 74},  {A::Down, 14, 130}, {A::Down, 17, 186},
        {A::Down, 17, 186}, // no row 6 in column 2
        {A::Left, 16, 186}, {A::Down, 19, 242}, {A::Up, 16, 242},
        {A::Up, 13, 224},   {A::Up, 10, 168},   {A::Up, 7, 112},
        {A::Up, 4, 56},
    };
    for (const Row& row : rows) {
        grid.arrow(row.arrow);
        EXPECT_EQ(library.currentIndex(), row.current);
        EXPECT_EQ(grid.scroll(), row.scroll) << row.current;
        EXPECT_TRUE(library.at(row.current).selected);
    }
    EXPECT_TRUE(grid.selectAllKey());
    for (const SymbolEntry& entry : library.entries())
        EXPECT_TRUE(entry.selected);
}
