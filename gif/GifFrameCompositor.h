#pragma once

#include "gif/CxImage.h"
#include "gif/CxImageGIF.h"

#include <cstdint>
#include <vector>

class GifFrameRows;

// A rectangle on the logical screen, in pixels.
struct GifRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// GifFrameCompositor: the picture an animation shows after each frame. Paints every decoded
// frame's opaque pixels onto a page of screen size after undoing the previous frame as its
// disposal method asks (2: back to background, 3: back to what was there before it), and at
// the end gives the picture as a palette image when the last frame's colour table shows every
// composed pixel, else as 32-bit colour with alpha.
//
// The page holds palette indices; with several frames a canvas of colours beside it keeps
// what each pixel shows, since earlier frames may have used other tables.
class GifFrameCompositor {
public:
    // background: the logical screen's background index; severalFrames: the file has more
    // than one frame (the canvas is kept from the start).
    GifFrameCompositor(int screenWidth, int screenHeight, int background, bool severalFrames);

    // Paints one frame. rect: the part of the frame on the screen, whose pixels rows holds
    // (rows must stay valid until result()); transIndex: its transparent index or -1;
    // disposal: its disposal method, applied before the next frame.
    void compose(const GifRect& rect, const GifFrameRows& rows, const tag_TabCol& table,
                 int transIndex, int disposal);

    // The composed picture after the last frame; indexed tells which kind it is. False with
    // the last-error text in out when the picture cannot be made.
    bool result(CxImage& out, bool trueColor, bool& indexed);

    int screenWidth() const { return m_screenW; }
    int screenHeight() const { return m_screenH; }
    // The last frame's colour table and transparent index.
    const tag_TabCol& table() const { return m_table; }
    int transIndex() const { return m_transIndex; }

private:
    // Saves the page and canvas under r (save) or puts the saved pixels back (restore); only
    // the area a frame paints can change while it is shown, so only that area is kept.
    void copyArea(const GifRect& r, bool save);
    // Paints the last frame's decoded pixels, except its transparent index, onto the page
    // (and canvas).
    void GifMix();

    int m_screenW;
    int m_screenH;
    int m_background;
    bool m_severalFrames;

    bool m_havePage = false;
    bool m_needCanvas = false;
    std::vector<std::uint8_t> m_page;      // palette indices, rows top to bottom
    std::vector<RGBQUAD> m_canvas;         // what the page shows, alpha 0 where transparent
    std::vector<std::uint8_t> m_savedPage; // under the frame shown with disposal 3
    std::vector<RGBQUAD> m_savedCanvas;
    bool m_haveSaved = false;
    int m_prevDisposal = 0;
    GifRect m_prevRect;

    // The last composed frame: its table and transparency make the result's palette.
    tag_TabCol m_table;
    int m_transIndex = -1;
    GifRect m_frameRect;
    const GifFrameRows* m_rows = nullptr;
};
