#include "app/MainWindowLayout.h"

#include "app/CommandTable.h"

#include <algorithm>

namespace {

// A rectangle from its left, top, right and bottom, the right and bottom edges outside it.
QRect ltrb(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

MainWindowLayout::MainWindowLayout(QSize client, bool hasLayers)
    : m_client(client), m_hasLayers(hasLayers),
      m_top(client.height() - client.height() * 266 / 768) {}

QRect MainWindowLayout::captionStrip() const {
    return ltrb(0, 0, m_client.width(), kCaptionHeight);
}

QRect MainWindowLayout::closeButton() const {
    const int right = m_client.width() - 14;
    return ltrb(right - 16, 5, right, 21);
}

QRect MainWindowLayout::maximiseButton() const {
    return closeButton().translated(-20, 0);
}

QRect MainWindowLayout::minimiseButton() const {
    return closeButton().translated(-40, 0);
}

std::array<QRect, 4> MainWindowLayout::menuButtons() const {
    std::array<QRect, 4> buttons;
    for (int i = 0; i < 4; ++i)
        buttons[static_cast<std::size_t>(i)] = ltrb(10 + i * 60, 31, 10 + i * 60 + 56, 53);
    return buttons;
}

std::array<QRect, MainWindowLayout::kToolbarButtons> MainWindowLayout::toolbarButtons() const {
    std::array<QRect, kToolbarButtons> buttons;
    int x = 10;
    for (int i = 0; i < kToolbarButtons; ++i) {
        buttons[static_cast<std::size_t>(i)] = ltrb(x, m_top - 29, x + 24, m_top - 5);
        const auto& ends = CommandTable::kGroupEnds;
        x += std::find(ends.begin(), ends.end(), i) != ends.end() ? 36 : 26;
    }
    return buttons;
}

QRect MainWindowLayout::libraryPanel() const {
    return ltrb(10, 92, 190, m_top - 69);
}

QRect MainWindowLayout::stageView() const {
    return ltrb(200, 60, m_client.width() - 210, m_top - 43);
}

QRect MainWindowLayout::textPanel() const {
    return ltrb(m_client.width() - 200, 60, m_client.width() - 10, m_top - 43);
}

QRect MainWindowLayout::timeline() const {
    const int right = m_hasLayers ? m_client.width() - 300 : m_client.width() - 10;
    return ltrb(10, m_top, right, m_client.height() - 10);
}

QRect MainWindowLayout::motionPanel() const {
    if (!m_hasLayers)
        return QRect();
    return ltrb(m_client.width() - 300, m_top, m_client.width() - 10, m_client.height() - 10);
}

std::array<QRect, 3> MainWindowLayout::libraryControls() const {
    const int top = m_top - 63;
    const int bottom = m_top - 47;
    return {ltrb(16, top, 131, bottom), ltrb(142, top, 158, bottom), ltrb(166, top, 182, bottom)};
}

MainWindowLayout::Zone MainWindowLayout::zoneAt(QSize client, QPoint p, int frameHeight) {
    const int w = client.width();
    const int h = client.height();
    const int x = p.x();
    const int y = p.y();
    if (x < 0 || y < 0 || x >= w || y >= h)
        return Zone::None;
    const bool band =
        x < kResizeBand || y < kResizeBand || x >= w - kResizeBand || y >= h - kResizeBand;
    if (band) {
        const bool left = x < 8, right = x >= w - 8, top = y < 8, bottom = y >= h - 8;
        if (left && top)
            return Zone::TopLeft;
        if (right && top)
            return Zone::TopRight;
        if (left && bottom)
            return Zone::BottomLeft;
        if (right && bottom)
            return Zone::BottomRight;
        const bool alongSide = y >= 9 && y < h - 8;
        const bool alongTop = x >= 8 && x < w - 8;
        if (x < kResizeBand && alongSide)
            return Zone::Left;
        if (x >= w - kResizeBand && alongSide)
            return Zone::Right;
        if (y < kResizeBand && alongTop)
            return Zone::Top;
        if (y >= h - kResizeBand && alongTop)
            return Zone::Bottom;
        return Zone::None;
    }
    if (x >= 10 && x < w - 10 && y >= frameHeight && y < kCaptionHeight)
        return Zone::Move;
    return Zone::None;
}
