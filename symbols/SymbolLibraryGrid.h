#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

class SymbolLibrary;

// SymbolLibraryGrid: the library panel's rules without a window: the grid of 56 x 56 cells
// (50 x 50 picture areas) read left to right and top to bottom, the vertical scroll position
// with its one spare row, and what presses, drags, the rubber band, double clicks, the wheel
// and the arrow keys do to the library's selection and order. Positions are in the panel's
// coordinates (the scroll already applied). Invariant: 0 <= scroll() <= scrollRange().
class SymbolLibraryGrid {
public:
    static constexpr int kCellSize = 56;
    static constexpr int kInset = 3;
    static constexpr int kPictureSize = kCellSize - 2 * kInset;
    static constexpr int kScrollBarWidth = 15;
    static constexpr int kScrollStep = 30;          // pixels per wheel notch and scroll-bar step
    static constexpr int kClickBottomMargin = 30;   // cells starting this close to the bottom
                                                    // do not take clicks
    static constexpr int kBandScrollTopMargin = 20; // a band above this scrolls up
    static constexpr int kRepaintEveryMoves = 3;    // a symbol drag repaints every third move

    enum class Arrow { Left, Right, Up, Down };

    explicit SymbolLibraryGrid(SymbolLibrary& library);

    SymbolLibrary& library() { return m_library; }
    // With multiple selection a press on empty space starts a rubber band and Ctrl+A selects
    // every symbol; without it only one symbol is selected at a time.
    void setMultipleSelection(bool enabled) { m_multiple = enabled; }
    bool multipleSelection() const { return m_multiple; }

    // Geometry. The view size is the panel's whole size (the scroll bar stands inside it).
    void setViewSize(QSize size);
    QSize viewSize() const { return m_view; }
    int columns() const;
    int contentHeight() const;
    // Largest scroll position; 0 when the scroll bar is hidden.
    int scrollRange() const;
    bool scrollBarShown() const;
    int scroll() const { return m_scroll; }
    // Clamped to 0..scrollRange(); returns how far the view moved (positive: down).
    int setScroll(int scroll);
    int scrollBy(int pixels) { return setScroll(m_scroll + pixels); }
    // Re-clamps the scroll position after the library changed size.
    void libraryChanged() { setScroll(m_scroll); }
    void scrollToEnd() { setScroll(scrollRange()); }
    // Scrolls just enough that the symbol's row is inside the view.
    void ensureVisible(int index);

    QRect pictureRect(int index) const;
    // The symbol a click at `point` hits (-1 none): cells scrolled off the top are skipped and
    // the search ends at the first cell that starts below the view's bottom minus 30 pixels.
    int symbolAt(QPoint point) const;
    // The symbols whose picture area is at least partly inside the view.
    std::vector<int> visibleSymbols() const;

    // Input. press() returns the current symbol to announce as chosen (-1 when none is
    // current); move() whether to repaint; release() whether the order changed; doubleClick()
    // the symbol to edit (-1 when the click hit none); wheel() and arrow() whether anything
    // moved; selectAllKey() whether Ctrl+A applied.
    int press(QPoint point);
    bool move(QPoint point);
    bool release();
    int doubleClick(QPoint point);
    bool wheel(int angleDelta);
    bool arrow(Arrow arrow);
    bool selectAllKey();

    // What the panel paints besides the thumbnails.
    std::optional<QRect> rubberBand() const;
    bool dragging() const { return m_dragArmed && m_dropTarget >= 0; }
    int dropTarget() const { return m_dropTarget; }
    bool dropAfter() const { return m_dropAfter; }
    // The selection handed to the main window: the current symbol after a press.
    const std::vector<int>& chosen() const { return m_chosen; }

private:
    // The symbol whose picture area holds `point`, without the click rule's margins.
    int symbolUnder(QPoint point) const;
    QRect bandRect() const;
    void applyBand();

    SymbolLibrary& m_library;
    bool m_multiple = true;
    QSize m_view;
    int m_scroll = 0;
    std::vector<int> m_chosen;
    bool m_dragArmed = false;
    int m_dropTarget = -1;
    bool m_dropAfter = false;
    int m_moves = 0; // mouse moves of the current drag, wrapping at 100
    bool m_band = false;
    QPoint m_bandStart;
    QPoint m_bandEnd;
};
