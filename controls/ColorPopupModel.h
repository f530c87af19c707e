#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <cstdint>

// ColorPopupModel: the rules of the colour picker's popup, without a window: the 40 named
// colours in 5 rows of 8 boxes, the optional "Automatic" entry above them and "More Colours..."
// entry below them, which entry is highlighted and where the keys move the highlight, and
// where every entry lies. Entries are 0..39 for the boxes, kAutomatic, kMoreColours or kNone.
// Colours are 0x00BBGGRR; the automatic entry stands for kDefaultColour.
class ColorPopupModel {
public:
    static constexpr int kAutomatic = -3;
    static constexpr int kMoreColours = -2;
    static constexpr int kNone = -1;
    static constexpr int kColumns = 8;
    static constexpr int kColourCount = 40;
    static constexpr int kRows = (kColourCount + kColumns - 1) / kColumns;
    static constexpr std::uint32_t kDefaultColour = 0xFF000000;
    static constexpr int kBoxSize = 18;
    static constexpr int kMargin = 4;   // between the popup's edge and its entries
    static constexpr int kEntryGap = 3; // between a text entry and the grid
    static constexpr int kTextPadding = 6;

    struct NamedColour {
        const char* name;
        std::uint32_t colorRef;
    };
    static const std::array<NamedColour, kColourCount>& colours();

    enum class Move { Left, Right, Up, Down };

    // The popup for a picker showing `initial`; an entry exists when its text is not empty.
    // The initial highlight: the automatic entry for kDefaultColour (when it exists), else the
    // first box of that colour, else the more-colours entry (when it exists), else none.
    ColorPopupModel(std::uint32_t initial, bool hasAutomatic, bool hasMoreColours);

    std::uint32_t initialColour() const { return m_initial; }
    bool hasAutomatic() const { return m_hasAutomatic; }
    bool hasMoreColours() const { return m_hasMore; }
    int highlight() const { return m_highlight; }

    // Highlights `entry` (an entry that does not exist is ignored); true when the highlight
    // changed, which the popup announces with entryColour().
    bool setHighlight(int entry);
    // Arrow keys. Left and right step through the boxes row by row, the automatic entry
    // before box 0 and the more-colours entry after box 39, wrapping around; up and down step
    // by rows (keeping the column), through the automatic entry above row 0 and the
    // more-colours entry below row 4, wrapping around. True when the highlight changed.
    bool move(Move direction);
    // The colour an entry announces and chooses: a box's colour, kDefaultColour for the
    // automatic entry, the initial colour for the more-colours entry and for none.
    std::uint32_t entryColour(int entry) const;

    // Layout, from the measured texts (pixels): the widest of the two texts and a text's
    // height. Without measurements the entries are as wide as the grid.
    void setTextMetrics(int widestText, int textHeight);
    QSize size() const;
    // The rectangle of an existing entry in popup coordinates; empty for any other.
    QRect entryRect(int entry) const;
    // The entry under `p`, or kNone.
    int entryAt(QPoint p) const;

    // The top-left corner that keeps a popup of `size`, wanted at `wanted`, inside `screen`.
    static QPoint keptOnScreen(QPoint wanted, QSize size, const QRect& screen);

private:
    int firstEntry() const;
    int lastEntry() const;
    int contentWidth() const;
    int textEntryHeight() const;
    int gridTop() const;

    std::uint32_t m_initial;
    bool m_hasAutomatic;
    bool m_hasMore;
    int m_highlight = kNone;
    int m_column = 0; // the column that up and down keep while a text entry is highlighted
    int m_widestText = 0;
    int m_textHeight = 14;
};
