#include "gif/LiqQuantizer.h"

#include <libimagequant.h>

#include <algorithm>
#include <limits>

// libgomp's setting of the calling thread's team size (declared here: omp.h is the compiler's
// own header, and clang's comes only with LLVM's runtime).
extern "C" void omp_set_num_threads(int);

namespace {

// libimagequant reads pictures row by row, takes the rows as non-const pointers but never
// writes through them. `rows` must outlive the image.
liq_image* makeImage(liq_attr* attr, const std::uint8_t* rgba, int width, int height, int stride,
                     std::vector<void*>& rows) {
    rows.resize(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] =
            const_cast<std::uint8_t*>(rgba + static_cast<std::ptrdiff_t>(y) * stride);
    return liq_image_create_rgba_rows(attr, rows.data(), width, height, 0);
}

// libimagequant parallelises some of its loops with OpenMP. Its idle threads spin and would
// take the core the export draws on, so its work stays on the thread that asks for it.
void oneThread() {
    omp_set_num_threads(1);
}

} // namespace

LiqQuantizer::LiqQuantizer(const Settings& settings) : m_settings(settings) {
    oneThread();
    m_attr = liq_attr_create();
    if (!m_attr)
        return;
    liq_set_max_colors(m_attr, 256);
    liq_set_speed(m_attr, settings.speed);
    liq_set_quality(m_attr, settings.minQuality, settings.maxQuality);
    m_histogram = liq_histogram_create(m_attr);
}

LiqQuantizer::~LiqQuantizer() {
    if (m_result)
        liq_result_destroy(m_result);
    if (m_histogram)
        liq_histogram_destroy(m_histogram);
    if (m_attr)
        liq_attr_destroy(m_attr);
}

bool LiqQuantizer::add(const ColourHistogram& colours) {
    if (!m_histogram || m_result)
        return false;
    if (colours.size() == 0)
        return true;
    const std::vector<ColourHistogram::Entry> within =
        colours.entriesWithin(std::max<std::size_t>(1, m_settings.maxColours));
    std::vector<liq_histogram_entry> entries;
    entries.reserve(within.size());
    for (const ColourHistogram::Entry& entry : within) {
        const liq_color c{std::uint8_t(entry.rgb >> 16), std::uint8_t(entry.rgb >> 8),
                          std::uint8_t(entry.rgb), 255};
        entries.push_back(liq_histogram_entry{c, std::max(1u, entry.weight)});
    }
    // In pieces: the library sizes its colour table from the square of the count it is
    // given, which overflows an int above 46340 colours (gradients reach that easily).
    constexpr std::size_t kPiece = 4096;
    for (std::size_t first = 0; first < entries.size(); first += kPiece) {
        const std::size_t count = std::min(kPiece, entries.size() - first);
        if (liq_histogram_add_colors(m_histogram, m_attr, entries.data() + first, int(count), 0) !=
            LIQ_OK)
            return false;
        m_added = true;
    }
    return m_added;
}

bool LiqQuantizer::quantize() {
    if (!m_histogram || m_result)
        return false;
    oneThread();
    if (m_wantTransparent &&
        liq_histogram_add_fixed_color(m_histogram, liq_color{0, 0, 0, 0}, 0) != LIQ_OK)
        return false;
    if (!m_added) {
        // Nothing opaque to show (frames that change nothing): libimagequant still wants a
        // colour in its histogram; the transparent one, or black.
        const std::uint8_t alpha = m_wantTransparent ? 0 : 255;
        const liq_histogram_entry only{liq_color{0, 0, 0, alpha}, 1};
        if (liq_histogram_add_colors(m_histogram, m_attr, &only, 1, 0) != LIQ_OK)
            return false;
    }
    if (liq_histogram_quantize(m_histogram, m_attr, &m_result) != LIQ_OK) {
        m_result = nullptr;
        return false;
    }
    liq_set_dithering_level(m_result, m_settings.dithering);
    const liq_palette* colours = liq_get_palette(m_result);
    m_palette.clear();
    m_transparent = -1;
    for (unsigned i = 0; i < colours->count; ++i) {
        const liq_color c = colours->entries[i];
        m_palette.push_back(RGBQUAD{c.b, c.g, c.r, 0});
        if (c.a == 0 && m_transparent < 0)
            m_transparent = static_cast<int>(i);
    }
    return !m_palette.empty();
}

std::unique_ptr<LiqQuantizer> LiqQuantizer::twin() const {
    if (!m_result)
        return nullptr;
    auto copy = std::make_unique<LiqQuantizer>(m_settings);
    if (!copy->m_histogram)
        return nullptr;
    // Every entry as a fixed colour: libimagequant keeps fixed colours as they are and in the
    // order given. It still wants one counted colour, which the first entry absorbs.
    for (std::size_t i = 0; i < m_palette.size(); ++i) {
        const RGBQUAD c = m_palette[i];
        const std::uint8_t alpha = int(i) == m_transparent ? 0 : 255;
        if (liq_histogram_add_fixed_color(
                copy->m_histogram, liq_color{c.rgbRed, c.rgbGreen, c.rgbBlue, alpha}, 0) != LIQ_OK)
            return nullptr;
    }
    const RGBQUAD first = m_palette.front();
    const liq_histogram_entry counted{liq_color{first.rgbRed, first.rgbGreen, first.rgbBlue,
                                                std::uint8_t(m_transparent == 0 ? 0 : 255)},
                                      1};
    if (liq_histogram_add_colors(copy->m_histogram, copy->m_attr, &counted, 1, 0) != LIQ_OK)
        return nullptr;
    copy->m_added = true;
    if (!copy->quantize() || copy->m_palette != m_palette || copy->m_transparent != m_transparent)
        return nullptr;
    return copy;
}

int LiqQuantizer::quality() const {
    return m_result ? liq_get_quantization_quality(m_result) : -1;
}

bool LiqQuantizer::remap(const std::uint8_t* rgba, int width, int height, int stride,
                         std::uint8_t* out, int outStride, const std::uint8_t* background,
                         int backgroundStride) {
    if (!m_result || width <= 0 || height <= 0 || (background && m_transparent < 0))
        return false;
    oneThread();
    std::vector<void*> rows;
    liq_image* image = makeImage(m_attr, rgba, width, height, stride, rows);
    if (!image)
        return false;
    std::vector<void*> backgroundRows;
    if (background) {
        liq_image* under =
            makeImage(m_attr, background, width, height, backgroundStride, backgroundRows);
        // The image owns its background from here on.
        if (!under || liq_image_set_background(image, under) != LIQ_OK) {
            if (under)
                liq_image_destroy(under);
            liq_image_destroy(image);
            return false;
        }
    }
    std::vector<unsigned char*> outRows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        outRows[static_cast<std::size_t>(y)] = out + static_cast<std::ptrdiff_t>(y) * outStride;
    const bool written = liq_write_remapped_image_rows(m_result, image, outRows.data()) == LIQ_OK;
    liq_image_destroy(image);
    if (!written)
        return false;

    // The frame's transparency is exact: a transparent pixel shows the picture below it, and
    // without a background an opaque one must not, whatever the error diffusion chose near
    // their border.
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = rgba + static_cast<std::ptrdiff_t>(y) * stride;
        std::uint8_t* indices = outRows[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = in + x * 4;
            if (pixel[3] == 0) {
                if (m_transparent < 0)
                    return false;
                indices[x] = static_cast<std::uint8_t>(m_transparent);
            } else if (!background && indices[x] == m_transparent) {
                indices[x] = nearestOpaque(pixel);
            }
        }
    }
    return true;
}

std::uint8_t LiqQuantizer::nearestOpaque(const std::uint8_t* rgba) const {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < m_palette.size(); ++i) {
        if (int(i) == m_transparent)
            continue;
        const int dr = m_palette[i].rgbRed - rgba[0];
        const int dg = m_palette[i].rgbGreen - rgba[1];
        const int db = m_palette[i].rgbBlue - rgba[2];
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    }
    return static_cast<std::uint8_t>(best);
}
