#pragma once

#include "gif/ColourHistogram.h"
#include "gif/CxImage.h"

#include <cstdint>
#include <memory>
#include <vector>

struct liq_attr;
struct liq_histogram;
struct liq_result;

// LiqQuantizer: one palette of at most 256 colours made by libimagequant from weighted
// colours, and the reduction of pictures to it with libimagequant's dithering. Pictures are
// rows of RGBA bytes (red, green, blue, alpha); alpha 0 marks a pixel the frame leaves
// transparent, any other alpha counts as opaque. The order of use is fixed: add() colours
// (and reserveTransparent()), quantize() once, then remap() any number of pictures, one at a
// time (libimagequant keeps remapping state in its result). libimagequant runs on the
// calling thread only: the export's other core belongs to the drawing.
class LiqQuantizer {
public:
    struct Settings {
        int speed = 4;          // 1 (slowest, best palette) .. 10 (fastest)
        int minQuality = 0;     // 0..100: quantize() fails when the palette would be worse
        int maxQuality = 100;   // 0..100: fewer colours are used once this is reached
        float dithering = 1.0f; // 0 (nearest colour) .. 1 (full error diffusion)
        // libimagequant's time grows with the colours it is handed: more than this many are
        // merged on a coarser grid first (ColourHistogram::entriesWithin). Runs of a busy
        // animation (90,000 to 120,000 colours) lost no PSNR and took half the palette time.
        std::size_t maxColours = 65536;
    };

    explicit LiqQuantizer(const Settings& settings);
    ~LiqQuantizer();
    LiqQuantizer(const LiqQuantizer&) = delete;
    LiqQuantizer& operator=(const LiqQuantizer&) = delete;

    // Adds opaque colours with their weights (how much each matters) to the histogram, merged
    // to at most maxColours.
    bool add(const ColourHistogram& colours);
    // Makes sure the palette gets an entry for transparent pixels.
    void reserveTransparent() { m_wantTransparent = true; }
    // Makes the palette from everything added; false when it cannot reach minQuality or
    // libimagequant fails.
    bool quantize();

    // A second quantizer with this palette, entry for entry, for remapping on another thread;
    // nullptr when it cannot be made.
    std::unique_ptr<LiqQuantizer> twin() const;

    // libimagequant's quality estimate (0..100) of the palette, -1 before quantize().
    int quality() const;
    // The palette (blue, green, red, 0), 1..256 entries, and the index of its transparent
    // entry (-1 when it has none).
    const std::vector<RGBQUAD>& palette() const { return m_palette; }
    int transparentIndex() const { return m_transparent; }

    // Writes the picture as palette indices, rows top to bottom, `outStride` bytes apart.
    // Transparent pixels get transparentIndex(); without a background opaque pixels never do.
    // `background`, when given, is what the viewer shows under the picture (opaque RGBA of
    // the same size, `backgroundStride` bytes a row): an opaque pixel for which it is as
    // close as the palette gets becomes transparent too, and the error diffusion goes on
    // from the colour that stays on screen; it needs a transparent entry. False when
    // libimagequant fails or a transparent pixel has no entry to go to.
    bool remap(const std::uint8_t* rgba, int width, int height, int stride, std::uint8_t* out,
               int outStride, const std::uint8_t* background = nullptr, int backgroundStride = 0);

private:
    // The opaque entry nearest to an RGBA pixel (squared distance over red, green, blue).
    std::uint8_t nearestOpaque(const std::uint8_t* rgba) const;

    Settings m_settings;
    liq_attr* m_attr = nullptr;
    liq_histogram* m_histogram = nullptr;
    liq_result* m_result = nullptr;
    bool m_wantTransparent = false;
    bool m_added = false; // colours were added
    std::vector<RGBQUAD> m_palette;
    int m_transparent = -1;
};
