#pragma once

#include "gif/CxImage.h"

#include <cstdint>
#include <vector>

// GifFrameRows: where the LZW decoder's pixels go for one frame. Keeps the frame's top-left
// visibleWidth x visibleHeight pixels (the part that lies on the logical screen) as one
// palette index per byte, puts interlaced rows where their pass places them, and records how
// many pixels each kept row received, so that data that ends early paints only what it holds.
//
// The decoder fills a window of bytes and calls lineDone when it is full. A frame that is
// wholly kept and not interlaced gets its whole pixel buffer as one window (no copy per row);
// otherwise the window is one file row of the full frame width.
class GifFrameRows {
public:
    // Prepares rows for a width x height frame of which the top-left visibleWidth x
    // visibleHeight pixels are kept (either may be 0: nothing is kept). False with lastError()
    // when the picture cannot be made.
    bool begin(int width, int height, int visibleWidth, int visibleHeight, bool interlaced);

    // The bytes the decoder fills next: [window(), windowEnd()); empty when nothing is kept.
    std::uint8_t* window() { return m_window; }
    std::uint8_t* windowEnd() { return m_windowEnd; }
    // The window is full: its pixels are stored. False when no further pixel is wanted.
    bool lineDone();
    // Decoding ended with the window filled up to `end`.
    void finish(const std::uint8_t* end);

    // Kept rows, top first; filled(y) pixels of row y came from the data.
    const std::uint8_t* row(int y) const { return m_frame.topRow(y); }
    int filled(int y) const { return m_filled[static_cast<std::size_t>(y)]; }
    int visibleWidth() const { return m_visibleWidth; }
    int visibleHeight() const { return m_visibleHeight; }
    const char* lastError() const { return m_frame.GetLastError(); }

private:
    // One file row of pixels: to the kept row it belongs to (interlace order), if any.
    void out_line(const std::uint8_t* pixels, int count);

    CxImage m_frame; // 8 bits per pixel: raw indices as decoded, visible part only
    std::vector<int> m_filled;
    std::vector<std::uint8_t> m_line; // one file row when rows are not decoded in place
    std::uint8_t* m_window = nullptr;
    std::uint8_t* m_windowEnd = nullptr;
    bool m_direct = false;
    int m_width = 0;
    int m_visibleWidth = 0;
    int m_visibleHeight = 0;

    // File rows in order (not interlaced), or the pass state: rows 0, 8, 16 ...; 4, 12 ...;
    // 2, 6 ...; 1, 3, 5 ...
    bool m_interlaced = false;
    bool m_rowsDone = false;
    int m_row = 0;
    int m_iypos = 0;
    int m_istep = 8;
    int m_ipass = 0;
    int m_iheight = 0;
};
