#include "gif/GifFrameCompositor.h"

#include "gif/GifFrameRows.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

GifFrameCompositor::GifFrameCompositor(int screenWidth, int screenHeight, int background,
                                       bool severalFrames)
    : m_screenW(screenWidth), m_screenH(screenHeight), m_background(background),
      m_severalFrames(severalFrames) {}

void GifFrameCompositor::compose(const GifRect& rect, const GifFrameRows& rows,
                                 const tag_TabCol& table, int transIndex, int disposal) {
    const std::size_t screenPixels = static_cast<std::size_t>(m_screenW) * m_screenH;
    const int clearIndex = transIndex >= 0 ? transIndex : m_background;
    if (!m_havePage) {
        // The first frame's transparent index (else the background) fills the page.
        m_page.assign(screenPixels, static_cast<std::uint8_t>(clearIndex));
        m_needCanvas = m_severalFrames;
        if (m_needCanvas)
            m_canvas.assign(screenPixels, RGBQUAD{0, 0, 0, 0});
        m_havePage = true;
    } else if (m_prevDisposal == 2) {
        // Restore to background: the previous frame's area only.
        for (int y = 0; y < m_prevRect.height; ++y) {
            const std::size_t at =
                static_cast<std::size_t>(m_prevRect.top + y) * m_screenW + m_prevRect.left;
            std::fill_n(m_page.begin() + static_cast<std::ptrdiff_t>(at), m_prevRect.width,
                        static_cast<std::uint8_t>(clearIndex));
            if (m_needCanvas)
                std::fill_n(m_canvas.begin() + static_cast<std::ptrdiff_t>(at), m_prevRect.width,
                            RGBQUAD{0, 0, 0, 0});
        }
    } else if (m_prevDisposal == 3 && m_haveSaved) {
        // Restore to previous: the previous frame's area as it was before that frame.
        copyArea(m_prevRect, false);
    }
    m_haveSaved = false;
    if (disposal == 3) {
        copyArea(rect, true);
        m_haveSaved = true;
    }
    m_table = table;
    m_transIndex = transIndex;
    m_frameRect = rect;
    m_rows = &rows;
    GifMix();
    m_prevDisposal = disposal;
    m_prevRect = rect;
}

void GifFrameCompositor::copyArea(const GifRect& r, bool save) {
    const std::size_t area = static_cast<std::size_t>(r.width) * r.height;
    if (save) {
        m_savedPage.resize(area);
        m_savedCanvas.resize(area);
    } else if (m_savedPage.size() != area) {
        return;
    }
    for (int y = 0; y < r.height; ++y) {
        const auto at =
            static_cast<std::ptrdiff_t>(static_cast<std::size_t>(r.top + y) * m_screenW + r.left);
        const auto from = static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * r.width);
        if (save) {
            std::copy_n(m_page.begin() + at, r.width, m_savedPage.begin() + from);
            if (m_needCanvas)
                std::copy_n(m_canvas.begin() + at, r.width, m_savedCanvas.begin() + from);
        } else {
            std::copy_n(m_savedPage.begin() + from, r.width, m_page.begin() + at);
            if (m_needCanvas)
                std::copy_n(m_savedCanvas.begin() + from, r.width, m_canvas.begin() + at);
        }
    }
}

void GifFrameCompositor::GifMix() {
    const GifRect& r = m_frameRect;
    RGBQUAD lut[256];
    for (int i = 0; i < 256; ++i)
        lut[i] = i < m_table.sogct ? RGBQUAD{m_table.paleta[i][2], m_table.paleta[i][1],
                                             m_table.paleta[i][0], 255}
                                   : RGBQUAD{0, 0, 0, 255};
    for (int y = 0; y < r.height; ++y) {
        const std::uint8_t* src = m_rows->row(y);
        const std::size_t at = static_cast<std::size_t>(r.top + y) * m_screenW + r.left;
        const int width = std::min(m_rows->filled(y), m_screenW - r.left);
        std::uint8_t* page = m_page.data() + at;
        if (m_transIndex < 0 || m_transIndex > 255) {
            std::memcpy(page, src, static_cast<std::size_t>(width));
            if (m_needCanvas)
                for (int x = 0; x < width; ++x)
                    m_canvas[at + static_cast<std::size_t>(x)] = lut[src[x]];
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const int index = src[x];
            if (index == m_transIndex)
                continue;
            page[x] = static_cast<std::uint8_t>(index);
            if (m_needCanvas)
                m_canvas[at + static_cast<std::size_t>(x)] = lut[index];
        }
    }
}

bool GifFrameCompositor::result(CxImage& out, bool trueColor, bool& indexed) {
    const int count = m_table.sogct;
    const int bpp = count <= 2 ? 1 : (count <= 16 ? 4 : 8);
    const int maxIndex = 1 << bpp;
    auto colourOf = [&](int index) {
        if (index == m_transIndex)
            return RGBQUAD{0, 0, 0, 0};
        if (index < count)
            return RGBQUAD{m_table.paleta[index][2], m_table.paleta[index][1],
                           m_table.paleta[index][0], 255};
        return RGBQUAD{0, 0, 0, 255};
    };
    // The page can stand as a palette image when the last frame's table shows every pixel as
    // composed; earlier frames with other tables (or other transparency) need true colour.
    if (!m_needCanvas && !trueColor) {
        // A single frame: the page is exact where the frame painted; elsewhere it holds the
        // clear index, which shows as transparent only when it is the transparent index.
        const GifRect& r = m_frameRect;
        bool covered = r.left == 0 && r.top == 0 && r.width == m_screenW && r.height == m_screenH;
        for (int y = 0; covered && y < r.height; ++y)
            covered = m_rows->filled(y) == r.width;
        if (!covered && (m_transIndex < 0 || m_transIndex >= maxIndex)) {
            m_needCanvas = true;
            m_canvas.assign(m_page.size(), RGBQUAD{0, 0, 0, 0});
            GifMix();
        }
    }
    indexed = !trueColor;
    for (std::size_t i = 0; indexed && m_needCanvas && i < m_page.size(); ++i) {
        const RGBQUAD want = m_canvas[i];
        const RGBQUAD got = colourOf(m_page[i]);
        if (m_page[i] >= maxIndex ||
            (want.rgbReserved != 0 || got.rgbReserved != 0 ? !(want == got) : false))
            indexed = false;
    }
    if (!out.Create(m_screenW, m_screenH, indexed ? bpp : 32))
        return false;
    if (indexed) {
        for (int i = 0; i < count && i < maxIndex; ++i)
            out.SetPaletteColor(
                static_cast<std::uint32_t>(i),
                RGBQUAD{m_table.paleta[i][2], m_table.paleta[i][1], m_table.paleta[i][0], 0});
        for (int y = 0; y < m_screenH; ++y)
            std::memcpy(out.topRow(y), m_page.data() + static_cast<std::size_t>(y) * m_screenW,
                        static_cast<std::size_t>(m_screenW));
    } else {
        for (int y = 0; y < m_screenH; ++y)
            std::memcpy(out.topRow(y), m_canvas.data() + static_cast<std::size_t>(y) * m_screenW,
                        static_cast<std::size_t>(m_screenW) * 4);
    }
    return true;
}
