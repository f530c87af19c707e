#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

// TemplateGrid: the layout and state of the template chooser's grid, without a window. The
// templates fill cells of 300 x 150 pixels row by row, as many columns as whole cells fit the
// client width; each template sits in its cell inset by 3 pixels, its name under its preview. The
// grid scrolls vertically in pixels; the scroll range is (rows + 1) x 150 minus the client height,
// and no scroll bar is shown when that is 0 or less. Each template has a frame count and a current
// frame that the animation timer advances with wrap-around.
class TemplateGrid {
public:
    static constexpr QSize kCellSize{300, 150};
    static constexpr int kInset = 3;
    // The strip along the bottom of a template's rectangle that holds its name.
    static constexpr int kNameHeight = 18;
    static constexpr int kScrollStep = 10;
    // A template whose top is lower than this above the client's bottom is not hit.
    static constexpr int kHitBottomMargin = 30;

    // One entry per template: its number of frames (at least 1 is counted).
    explicit TemplateGrid(std::vector<int> frameCounts = {});

    int count() const { return int(m_frameCounts.size()); }
    // The client size; the scroll offset is kept within the new range.
    void setClientSize(QSize client);
    // The client size of a view of `view` pixels whose vertical scroll bar, `barWidth` wide,
    // takes its width from the client while it is shown; sets it and returns whether the bar
    // is shown.
    bool fitView(QSize view, int barWidth);
    QSize clientSize() const { return m_client; }

    int columns() const;
    int rows() const;
    int scrollRange() const;
    bool scrollBarShown() const { return scrollRange() > 0; }
    int scrollOffset() const { return m_scroll; }
    void setScrollOffset(int offset);

    // The rectangle of template `index` in client coordinates (after scrolling): its preview
    // above, its name in the strip along the bottom.
    QRect cellRect(int index) const;
    QRect previewRect(int index) const;
    QRect nameRect(int index) const;
    // The template under `p` (client coordinates), or -1: templates ending above the client
    // are passed over and the walk stops at the first whose top is within kHitBottomMargin of
    // the client's bottom or below it.
    int hitTest(QPoint p) const;

    int selected() const { return m_selected; }
    void setSelected(int index);
    int hovered() const { return m_hovered; }
    // True when the hovered template changed.
    bool setHovered(int index);
    // The hovered and the selected template are framed.
    bool isFramed(int index) const { return index == m_hovered || index == m_selected; }

    int currentFrame(int index) const { return m_currentFrames.at(std::size_t(index)); }
    // One animation tick: every template shows its next frame, the last one followed by 0.
    void tick();

private:
    std::vector<int> m_frameCounts;
    std::vector<int> m_currentFrames;
    QSize m_client;
    int m_scroll = 0;
    int m_selected = -1;
    int m_hovered = -1;
};
