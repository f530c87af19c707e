#include "export/BestGifEncoder.h"

#include "gif/ColourHistogram.h"
#include "gif/NearestColour.h"

#include <algorithm>
#include <thread>

namespace {

// Bits per pixel of a colour table that holds `count` entries (GIF tables have 2^bits).
int tableBits(std::size_t count) {
    int bits = 1;
    while ((std::size_t{1} << bits) < count)
        ++bits;
    return bits;
}

// Rows of the bands a changed rectangle is remapped in.
constexpr int kBandRows = 32;

std::uint32_t rgbOf(const uchar* rgba) {
    return (std::uint32_t(rgba[0]) << 16) | (std::uint32_t(rgba[1]) << 8) | rgba[2];
}

} // namespace

bool BestGifEncoder::Leaves::verdict(std::size_t begin, std::size_t end, bool& served) const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_leaves.find({begin, end});
    if (found == m_leaves.end())
        return false;
    served = found->second.served;
    return true;
}

void BestGifEncoder::Leaves::keep(std::size_t begin, std::size_t end,
                                  std::unique_ptr<LiqQuantizer> palette, bool served) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_leaves[{begin, end}] = Leaf{std::move(palette), served};
}

std::unique_ptr<LiqQuantizer> BestGifEncoder::Leaves::take(std::size_t begin, std::size_t end) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_leaves.find({begin, end});
    return found == m_leaves.end() ? nullptr : std::move(found->second.palette);
}

BestGifEncoder::BestGifEncoder() : BestGifEncoder(Settings()) {}

BestGifEncoder::BestGifEncoder(const Settings& settings)
    : m_settings(settings), m_delta(settings.tolerance) {}

BestGifEncoder::~BestGifEncoder() = default;

bool BestGifEncoder::add(const QImage& frame, std::uint32_t delay, const ImageSink& sink) {
    if (m_screen.isEmpty())
        m_screen = frame.size();
    if (frame.size() != m_screen) {
        m_error = "The frames of a GIF must all have one size.";
        return false;
    }
    Pending pending{m_delta.next(frame), delay, {}};
    ColourHistogram colours;
    const QImage& pixels = pending.change.pixels;
    const int width = pixels.width();
    for (int y = 0; y < pixels.height(); ++y) {
        const uchar* in = pixels.constScanLine(y);
        for (int x = 0; x < width; ++x, in += 4)
            if (in[3] != 0)
                colours.add(rgbOf(in), 1);
    }
    pending.colours = colours.entries();
    m_pending.push_back(std::move(pending));
    // The colour list can outweigh the pixels of a gradient: both count against the bound.
    m_pendingBytes += std::size_t(m_pending.back().change.pixels.sizeInBytes()) +
                      m_pending.back().colours.capacity() * sizeof(ColourHistogram::Entry);
    std::size_t run = 0; // frames that share a palette, 0 for as many as memory allows
    if (m_settings.scope == PaletteScope::PerFrame)
        run = 1;
    else if (m_settings.scope == PaletteScope::Groups)
        run = std::size_t(std::max(1, m_settings.groupSize));
    if ((run > 0 && m_pending.size() >= run) || m_pendingBytes > kPendingBytes)
        return flush(sink, false);
    return true;
}

bool BestGifEncoder::finish(const ImageSink& sink) {
    return flush(sink, true);
}

bool BestGifEncoder::flush(const ImageSink& sink, bool parallel) {
    std::vector<Run> runs;
    bool ok = true;
    if (!m_pending.empty()) {
        if (m_settings.scope == PaletteScope::Auto) {
            Leaves leaves;
            ok = planRuns(0, m_pending.size(), parallel, leaves, runs);
        } else {
            std::unique_ptr<LiqQuantizer> palette = paletteFor(0, m_pending.size());
            ok = palette != nullptr;
            if (ok)
                runs.push_back(Run{0, m_pending.size(), std::move(palette)});
        }
    }
    for (const Run& run : runs)
        ok = ok && writeFrames(run, parallel, sink);
    if (!ok && m_error.empty())
        m_error = "The frames cannot be reduced to 256 colours.";
    m_pending.clear();
    m_pendingBytes = 0;
    return ok;
}

bool BestGifEncoder::planRuns(std::size_t begin, std::size_t end, bool parallel, Leaves& leaves,
                              std::vector<Run>& runs) const {
    if (end - begin <= minGroup()) {
        std::unique_ptr<LiqQuantizer> palette = leaves.take(begin, end);
        if (!palette)
            palette = paletteFor(begin, end);
        if (!palette)
            return false;
        runs.push_back(Run{begin, end, std::move(palette)});
        return true;
    }
    bool served = false;
    if (!probeLeaf(begin, end, leaves, served))
        return false;
    if (served) {
        std::unique_ptr<LiqQuantizer> palette = paletteFor(begin, end);
        if (!palette)
            return false;
        if (worstFrameError(*palette, begin, end) <= m_settings.maxFrameError) {
            runs.push_back(Run{begin, end, std::move(palette)});
            return true;
        }
    }
    const std::size_t middle = begin + (end - begin) / 2;
    std::vector<Run> right;
    bool rightOk = false;
    auto planRight = [&] { rightOk = planRuns(middle, end, false, leaves, right); };
    std::thread helper;
    if (parallel)
        helper = std::thread(planRight);
    const bool leftOk = planRuns(begin, middle, false, leaves, runs);
    if (helper.joinable())
        helper.join();
    else
        planRight();
    for (Run& run : right)
        runs.push_back(std::move(run));
    return leftOk && rightOk;
}

std::size_t BestGifEncoder::minGroup() const {
    return std::size_t(std::max(1, m_settings.minGroup));
}

bool BestGifEncoder::probeLeaf(std::size_t begin, std::size_t end, Leaves& leaves,
                               bool& served) const {
    // The most colourful frame is the one a shared palette is least likely to serve.
    std::size_t frame = begin;
    for (std::size_t i = begin + 1; i < end; ++i)
        if (m_pending[i].colours.size() > m_pending[frame].colours.size())
            frame = i;
    // The run the halving reaches for that frame.
    while (end - begin > minGroup()) {
        const std::size_t middle = begin + (end - begin) / 2;
        (frame < middle ? end : begin) = middle;
    }
    if (leaves.verdict(begin, end, served))
        return true;
    std::unique_ptr<LiqQuantizer> palette = paletteFor(begin, end);
    if (!palette)
        return false;
    served = worstFrameError(*palette, begin, end) <= m_settings.maxFrameError;
    leaves.keep(begin, end, std::move(palette), served);
    return true;
}

std::unique_ptr<LiqQuantizer> BestGifEncoder::paletteFor(std::size_t begin, std::size_t end) const {
    // Each painted pixel counts for the frames it stays on screen: until a later frame of the
    // run paints over it, or to the end of the run. The mean error a viewer sees over the
    // frames is what the palette should make small, and a pixel that stays long is seen long.
    const int width = m_screen.width();
    std::vector<std::int32_t> nextPaint(std::size_t(width) * std::size_t(m_screen.height()),
                                        std::int32_t(end));
    ColourHistogram colours;
    for (std::size_t i = end; i-- > begin;) {
        const FrameDelta::Change& change = m_pending[i].change;
        const QRect& r = change.rect;
        for (int y = 0; y < r.height(); ++y) {
            const uchar* in = change.pixels.constScanLine(y);
            std::int32_t* next = &nextPaint[std::size_t(r.y() + y) * width + std::size_t(r.x())];
            for (int x = 0; x < r.width(); ++x, in += 4) {
                if (in[3] == 0)
                    continue;
                colours.add(rgbOf(in), std::uint32_t(next[x] - std::int32_t(i)));
                next[x] = std::int32_t(i);
            }
        }
    }
    auto quantizer = std::make_unique<LiqQuantizer>(m_settings.liq);
    if (!quantizer->add(colours))
        return nullptr;
    // Every frame after the file's first may keep pixels of the frames before it, so a palette
    // needs a transparent entry unless it serves the first frame alone. Every run is planned
    // before the first is written, so a run past frame 0 needs one even while m_written is 0.
    if (m_written > 0 || begin > 0 || end - begin > 1)
        quantizer->reserveTransparent();
    if (!quantizer->quantize())
        return nullptr;
    return quantizer;
}

double BestGifEncoder::worstFrameError(const LiqQuantizer& palette, std::size_t begin,
                                       std::size_t end) const {
    std::vector<std::uint32_t> rgb;
    for (std::size_t i = 0; i < palette.palette().size(); ++i) {
        if (int(i) == palette.transparentIndex())
            continue;
        const RGBQUAD c = palette.palette()[i];
        rgb.push_back((std::uint32_t(c.rgbRed) << 16) | (std::uint32_t(c.rgbGreen) << 8) |
                      c.rgbBlue);
    }
    if (rgb.empty())
        return 0;
    NearestColour nearest(rgb.data(), int(rgb.size()));
    double worst = 0;
    for (std::size_t i = begin; i < end; ++i) {
        double squares = 0;
        std::uint64_t count = 0;
        for (const ColourHistogram::Entry& entry : m_pending[i].colours) {
            const int r = int(entry.rgb >> 16), g = int((entry.rgb >> 8) & 0xFF),
                      b = int(entry.rgb & 0xFF);
            const std::uint32_t c = rgb[std::size_t(nearest.find(r, g, b))];
            const int dr = int(c >> 16) - r;
            const int dg = int((c >> 8) & 0xFF) - g;
            const int db = int(c & 0xFF) - b;
            squares += double(dr * dr + dg * dg + db * db) * entry.weight;
            count += entry.weight;
        }
        if (count > 0)
            worst = std::max(worst, squares / (3.0 * double(count)));
    }
    return worst;
}

bool BestGifEncoder::writeFrames(const Run& run, bool parallel, const ImageSink& sink) {
    // The first palette written is the file's global table; every other is a local one.
    const bool localTable = m_globalUsed;
    m_globalUsed = true;
    const std::unique_ptr<LiqQuantizer> twin = parallel ? run.palette->twin() : nullptr;
    for (std::size_t i = run.begin; i < run.end; ++i)
        if (!writeFrame(m_pending[i], *run.palette, twin.get(), localTable, sink))
            return false;
    return true;
}

std::vector<QRect> BestGifEncoder::piecesOf(const FrameDelta::Change& change, bool first) {
    const int width = change.rect.width();
    const int height = change.rect.height();
    if (first) {
        if (height < 2 * kBandRows)
            return {QRect(0, 0, width, height)};
        return {QRect(0, 0, width, height / 2), QRect(0, height / 2, width, height - height / 2)};
    }
    std::vector<QRect> pieces;
    for (int top = 0; top < height; top += kBandRows) {
        const int rows = std::min(kBandRows, height - top);
        int left = width, right = -1;
        for (int y = top; y < top + rows; ++y) {
            const uchar* in = change.pixels.constScanLine(y);
            for (int x = 0; x < width; ++x)
                if (in[x * 4 + 3] != 0) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        }
        if (right >= 0)
            pieces.push_back(QRect(left, top, right - left + 1, rows));
    }
    return pieces;
}

bool BestGifEncoder::writeFrame(const Pending& frame, LiqQuantizer& palette, LiqQuantizer* twin,
                                bool localTable, const ImageSink& sink) {
    const std::vector<RGBQUAD>& colours = palette.palette();
    const int bits = tableBits(colours.size());
    const int transparent = palette.transparentIndex();
    const QRect& rect = frame.change.rect;
    const QImage& pixels = frame.change.pixels;
    if (m_shown.isNull()) {
        m_shown = QImage(m_screen, QImage::Format_RGBA8888);
        m_shown.fill(Qt::black);
    }

    // Indices of the changed rectangle, rows top to bottom; after frame 0, over what the
    // viewer shows.
    std::vector<std::uint8_t> indices(std::size_t(rect.width()) * std::size_t(rect.height()));
    std::fill(indices.begin(), indices.end(), std::uint8_t(std::max(0, transparent)));
    const std::vector<QRect> pieces = piecesOf(frame.change, m_written == 0);
    auto remapPieces = [&](LiqQuantizer& quantizer, std::size_t first) {
        for (std::size_t p = first; p < pieces.size(); p += twin ? 2 : 1) {
            const QRect& piece = pieces[p];
            const uchar* under = m_written > 0 ? m_shown.constScanLine(rect.y() + piece.y()) +
                                                     (rect.x() + piece.x()) * 4
                                               : nullptr;
            if (!quantizer.remap(pixels.constScanLine(piece.y()) + piece.x() * 4, piece.width(),
                                 piece.height(), int(pixels.bytesPerLine()),
                                 &indices[std::size_t(piece.y()) * std::size_t(rect.width()) +
                                          std::size_t(piece.x())],
                                 rect.width(), under, int(m_shown.bytesPerLine())))
                return false;
        }
        return true;
    };
    bool remapped = false;
    if (twin && pieces.size() > 1) {
        // Every other piece on a second thread, with its own copy of the palette.
        bool odd = false;
        std::thread helper([&] { odd = remapPieces(*twin, 1); });
        const bool even = remapPieces(palette, 0);
        helper.join();
        remapped = odd && even;
    } else {
        twin = nullptr;
        remapped = remapPieces(palette, 0);
    }
    if (!remapped) {
        m_error = "A frame cannot be reduced to its palette.";
        return false;
    }

    // What the viewer shows from now on, and the part of the rectangle that is painted.
    int left = rect.width(), right = -1, top = rect.height(), bottom = -1;
    for (int y = 0; y < rect.height(); ++y) {
        const std::uint8_t* row = &indices[std::size_t(y) * std::size_t(rect.width())];
        uchar* shown = m_shown.scanLine(rect.y() + y) + rect.x() * 4;
        for (int x = 0; x < rect.width(); ++x, shown += 4) {
            if (m_written > 0 && row[x] == transparent)
                continue;
            const RGBQUAD c = colours[row[x]];
            shown[0] = c.rgbRed;
            shown[1] = c.rgbGreen;
            shown[2] = c.rgbBlue;
            shown[3] = 255;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = y;
        }
    }
    // Nothing painted: one transparent pixel keeps the frame and its delay.
    const QRect painted =
        right < 0 ? QRect(0, 0, 1, 1) : QRect(left, top, right - left + 1, bottom - top + 1);
    CxImage picture;
    if (!picture.Create(painted.width(), painted.height(), bits)) {
        m_error = picture.GetLastError();
        return false;
    }
    picture.SetPalette(colours.data(), std::uint32_t(colours.size()));
    bool anyTransparent = false;
    for (int y = 0; y < painted.height(); ++y) {
        const std::uint8_t* from =
            &indices[std::size_t(painted.y() + y) * std::size_t(rect.width()) + painted.x()];
        std::uint8_t* to = picture.topRow(y);
        for (int x = 0; x < painted.width(); ++x) {
            to[x] = from[x];
            anyTransparent = anyTransparent || (m_written > 0 && from[x] == transparent);
        }
    }
    picture.SetOffset(rect.x() + painted.x(), rect.y() + painted.y());
    picture.SetTransIndex(anyTransparent ? transparent : -1);
    picture.SetFrameDelay(frame.delay);
    if (!sink(picture, localTable))
        return false;
    ++m_written;
    return true;
}
