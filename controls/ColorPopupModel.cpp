#include "controls/ColorPopupModel.h"

#include "document/ColorRef.h"

#include <algorithm>

namespace {

constexpr auto rgb = &ColorRef::fromRgb;

// Box order: row by row, eight to a row.
constexpr std::array<ColorPopupModel::NamedColour, ColorPopupModel::kColourCount> kColours = {{
    {"Black", rgb(0, 0, 0)},
    {"Brown", rgb(165, 42, 0)},
    {"Dark Olive Green", rgb(0, 64, 64)},
    {"Dark Green", rgb(0, 85, 0)},
    {"Dark Teal", rgb(0, 0, 94)},
    {"Dark blue", rgb(0, 0, 139)},
    {"Indigo", rgb(75, 0, 130)},
    {"Dark grey", rgb(40, 40, 40)},
    {"Dark red", rgb(139, 0, 0)},
    {"Orange", rgb(255, 104, 32)},
    {"Dark yellow", rgb(139, 139, 0)},
    {"Green", rgb(0, 147, 0)},
    {"Teal", rgb(56, 142, 142)},
    {"Blue", rgb(0, 0, 255)},
    {"Blue-grey", rgb(123, 123, 192)},
    {"Grey - 40", rgb(102, 102, 102)},
    {"Red", rgb(255, 0, 0)},
    {"Light orange", rgb(255, 173, 91)},
    {"Lime", rgb(50, 205, 50)},
    {"Sea green", rgb(60, 179, 113)},
    {"Aqua", rgb(127, 255, 212)},
    {"Light blue", rgb(125, 158, 192)},
    {"Violet", rgb(128, 0, 128)},
    {"Grey - 50", rgb(127, 127, 127)},
    {"Pink", rgb(255, 192, 203)},
    {"Gold", rgb(255, 215, 0)},
    {"Yellow", rgb(255, 255, 0)},
    {"Bright green", rgb(0, 255, 0)},
    {"Turquoise", rgb(64, 224, 208)},
    {"Skyblue", rgb(192, 255, 255)},
    {"Plum", rgb(72, 0, 72)},
    {"Light grey", rgb(192, 192, 192)},
    {"Rose", rgb(255, 228, 225)},
    {"Tan", rgb(210, 180, 140)},
    {"Light yellow", rgb(255, 255, 224)},
    {"Pale green ", rgb(152, 251, 152)},
    {"Pale turquoise", rgb(175, 238, 238)},
    {"Pale blue", rgb(104, 131, 139)},
    {"Lavender", rgb(230, 230, 250)},
    {"White", rgb(255, 255, 255)},
}};

constexpr int kLastBox = ColorPopupModel::kColourCount - 1;

} // namespace

const std::array<ColorPopupModel::NamedColour, ColorPopupModel::kColourCount>&
ColorPopupModel::colours() {
    return kColours;
}

ColorPopupModel::ColorPopupModel(std::uint32_t initial, bool hasAutomatic, bool hasMoreColours)
    : m_initial(initial), m_hasAutomatic(hasAutomatic), m_hasMore(hasMoreColours) {
    if (initial == kDefaultColour && m_hasAutomatic) {
        m_highlight = kAutomatic;
        return;
    }
    const auto box =
        std::find_if(kColours.begin(), kColours.end(),
                     [initial](const NamedColour& c) { return c.colorRef == initial; });
    if (box != kColours.end()) {
        m_highlight = int(box - kColours.begin());
        m_column = m_highlight % kColumns;
    } else if (m_hasMore) {
        m_highlight = kMoreColours;
    }
}

int ColorPopupModel::firstEntry() const {
    return m_hasAutomatic ? kAutomatic : 0;
}

int ColorPopupModel::lastEntry() const {
    return m_hasMore ? kMoreColours : kLastBox;
}

bool ColorPopupModel::setHighlight(int entry) {
    const bool exists = (entry >= 0 && entry <= kLastBox) || entry == kNone ||
                        (entry == kAutomatic && m_hasAutomatic) ||
                        (entry == kMoreColours && m_hasMore);
    if (!exists || entry == m_highlight)
        return false;
    m_highlight = entry;
    if (entry >= 0)
        m_column = entry % kColumns;
    return true;
}

bool ColorPopupModel::move(Move direction) {
    const int h = m_highlight;
    const int topOfColumn = m_column;
    const int bottomOfColumn = (kRows - 1) * kColumns + m_column;
    int next = h;
    switch (direction) {
    case Move::Right:
        if (h == kNone || h == kMoreColours)
            next = firstEntry();
        else if (h == kAutomatic)
            next = 0;
        else
            next = h < kLastBox ? h + 1 : (m_hasMore ? kMoreColours : firstEntry());
        break;
    case Move::Left:
        if (h == kNone || h == kAutomatic)
            next = lastEntry();
        else if (h == kMoreColours)
            next = kLastBox;
        else
            next = h > 0 ? h - 1 : (m_hasAutomatic ? kAutomatic : lastEntry());
        break;
    case Move::Down:
        if (h == kNone)
            next = m_hasAutomatic ? kAutomatic : topOfColumn;
        else if (h == kAutomatic)
            next = topOfColumn;
        else if (h == kMoreColours)
            next = m_hasAutomatic ? kAutomatic : topOfColumn;
        else if (h + kColumns <= kLastBox)
            next = h + kColumns;
        else
            next = m_hasMore ? kMoreColours : (m_hasAutomatic ? kAutomatic : topOfColumn);
        break;
    case Move::Up:
        if (h == kNone)
            next = m_hasMore ? kMoreColours : bottomOfColumn;
        else if (h == kMoreColours)
            next = bottomOfColumn;
        else if (h == kAutomatic)
            next = m_hasMore ? kMoreColours : bottomOfColumn;
        else if (h >= kColumns)
            next = h - kColumns;
        else
            next = m_hasAutomatic ? kAutomatic : (m_hasMore ? kMoreColours : bottomOfColumn);
        break;
    }
    return setHighlight(next);
}

std::uint32_t ColorPopupModel::entryColour(int entry) const {
    if (entry >= 0 && entry <= kLastBox)
        return kColours[std::size_t(entry)].colorRef;
    if (entry == kAutomatic)
        return kDefaultColour;
    return m_initial;
}

void ColorPopupModel::setTextMetrics(int widestText, int textHeight) {
    m_widestText = std::max(0, widestText);
    m_textHeight = std::max(0, textHeight);
}

int ColorPopupModel::contentWidth() const {
    const int grid = kColumns * kBoxSize;
    if (!m_hasAutomatic && !m_hasMore)
        return grid;
    return std::max(grid, m_widestText + 2 * kTextPadding);
}

int ColorPopupModel::textEntryHeight() const {
    return std::max(kBoxSize + 2, m_textHeight + kTextPadding);
}

int ColorPopupModel::gridTop() const {
    return kMargin + (m_hasAutomatic ? textEntryHeight() + kEntryGap : 0);
}

QSize ColorPopupModel::size() const {
    const int height =
        gridTop() + kRows * kBoxSize + (m_hasMore ? kEntryGap + textEntryHeight() : 0);
    return QSize(contentWidth() + 2 * kMargin, height + kMargin);
}

QRect ColorPopupModel::entryRect(int entry) const {
    // The grid is centred when a text entry makes the popup wider than the grid.
    const int gridLeft = kMargin + (contentWidth() - kColumns * kBoxSize) / 2;
    if (entry >= 0 && entry <= kLastBox)
        return QRect(gridLeft + (entry % kColumns) * kBoxSize,
                     gridTop() + (entry / kColumns) * kBoxSize, kBoxSize, kBoxSize);
    if (entry == kAutomatic && m_hasAutomatic)
        return QRect(kMargin, kMargin, contentWidth(), textEntryHeight());
    if (entry == kMoreColours && m_hasMore)
        return QRect(kMargin, gridTop() + kRows * kBoxSize + kEntryGap, contentWidth(),
                     textEntryHeight());
    return QRect();
}

int ColorPopupModel::entryAt(QPoint p) const {
    for (int entry : {kAutomatic, kMoreColours})
        if (entryRect(entry).contains(p))
            return entry;
    for (int box = 0; box <= kLastBox; ++box)
        if (entryRect(box).contains(p))
            return box;
    return kNone;
}

QPoint ColorPopupModel::keptOnScreen(QPoint wanted, QSize size, const QRect& screen) {
    QPoint p = wanted;
    if (p.x() + size.width() > screen.right() + 1)
        p.setX(screen.right() + 1 - size.width());
    if (p.y() + size.height() > screen.bottom() + 1)
        p.setY(screen.bottom() + 1 - size.height());
    p.setX(std::max(p.x(), screen.left()));
    p.setY(std::max(p.y(), screen.top()));
    return p;
}
