#include "gif/GifFrameRows.h"

#include <algorithm>
#include <cstring>

bool GifFrameRows::begin(int width, int height, int visibleWidth, int visibleHeight,
                         bool interlaced) {
    m_width = width;
    m_interlaced = interlaced;
    m_rowsDone = false;
    m_row = 0;
    m_iypos = 0;
    m_istep = 8;
    m_ipass = 0;
    m_iheight = height;
    if (visibleWidth <= 0 || visibleHeight <= 0) {
        // Nothing of the frame lies on the screen: its data is read, its pixels are not kept.
        m_visibleWidth = m_visibleHeight = 0;
        m_frame.Destroy();
        m_filled.clear();
        m_window = m_windowEnd = nullptr;
        m_direct = false;
        m_rowsDone = true;
        return true;
    }
    m_visibleWidth = visibleWidth;
    m_visibleHeight = visibleHeight;
    if (!m_frame.Create(visibleWidth, visibleHeight, 8))
        return false;
    m_filled.assign(static_cast<std::size_t>(visibleHeight), 0);
    // Rows in file order and the full width kept: decode straight into the picture, whose
    // rows are contiguous at one byte per pixel.
    m_direct = !interlaced && visibleWidth == width;
    if (m_direct) {
        m_window = m_frame.topRow(0);
        m_windowEnd = m_window + static_cast<std::size_t>(width) * visibleHeight;
    } else {
        m_line.resize(static_cast<std::size_t>(width));
        m_window = m_line.data();
        m_windowEnd = m_window + width;
    }
    return true;
}

bool GifFrameRows::lineDone() {
    if (m_direct) {
        std::fill(m_filled.begin(), m_filled.end(), m_width);
        m_rowsDone = true;
        return false;
    }
    out_line(m_window, m_width);
    return !m_rowsDone;
}

void GifFrameRows::finish(const std::uint8_t* end) {
    if (m_direct) {
        const std::size_t written = static_cast<std::size_t>(end - m_window);
        const std::size_t rows = written / static_cast<std::size_t>(m_width);
        for (std::size_t y = 0; y < rows && y < m_filled.size(); ++y)
            m_filled[y] = m_width;
        if (rows < m_filled.size())
            m_filled[rows] = static_cast<int>(written % static_cast<std::size_t>(m_width));
        return;
    }
    if (end > m_window && !m_rowsDone)
        out_line(m_window, static_cast<int>(end - m_window));
}

void GifFrameRows::out_line(const std::uint8_t* pixels, int count) {
    if (m_rowsDone)
        return;
    const int row = m_interlaced ? m_iypos : m_row;
    if (row < m_visibleHeight) {
        const int n = std::min(count, m_visibleWidth);
        std::memcpy(m_frame.topRow(row), pixels, static_cast<std::size_t>(n));
        m_filled[static_cast<std::size_t>(row)] = n;
    }
    if (!m_interlaced) {
        // Rows come top to bottom: past the last kept row nothing more is wanted.
        if (++m_row >= m_visibleHeight)
            m_rowsDone = true;
        return;
    }
    // Interlaced passes: rows 0, 8, 16 ...; 4, 12 ...; 2, 6 ...; 1, 3, 5 ...
    m_iypos += m_istep;
    while (m_iypos >= m_iheight) {
        if (m_ipass >= 3) {
            m_rowsDone = true;
            return;
        }
        if (m_ipass > 0)
            m_istep /= 2;
        ++m_ipass;
        m_iypos = m_istep / 2;
    }
}
