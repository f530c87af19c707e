#pragma once

#include "export/FrameDelta.h"
#include "gif/ColourHistogram.h"
#include "gif/CxImage.h"
#include "gif/LiqQuantizer.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// BestGifEncoder: turns rendered frames into the palette images of a "best quality, smaller
// file" GIF, for a viewer that keeps each frame under the next (disposal 1). Frame 0 is
// whole; each later frame is cut to the rectangle that changes, pixels the viewer already
// shows well enough are transparent (FrameDelta for unchanged pixels, then libimagequant
// against the picture on screen). Colours and dithering come from libimagequant; a palette
// serves a run of frames, its histogram weighting every painted pixel by the frames it stays
// on screen. The images come out in frame order through a sink, each marked whether it needs
// a local colour table (the first palette is the file's global table).
//
// Invariant: images leave in frame order and m_shown is what a viewer shows after the last.
class BestGifEncoder {
public:
    enum class PaletteScope {
        // One palette for the whole animation when it serves every frame (each frame's new
        // pixels within maxFrameError of their nearest palette colour), else the frames are
        // halved, and halved again, until one palette serves each run (or it is minGroup long).
        // A run is tried only when the shortest run holding its most colourful frame is served.
        Auto,
        Global,   // one palette for every frame
        Groups,   // one palette for each run of groupSize frames
        PerFrame, // one palette for each frame
    };
    struct Settings {
        PaletteScope scope = PaletteScope::Auto;
        int groupSize = 12; // Groups
        int minGroup = 6;   // Auto: shortest run that is still halved
        // Auto: worst mean squared error per channel (0..255 levels) of one frame's painted
        // pixels against their nearest palette colour that a palette may leave.
        double maxFrameError = 6.0;
        // A pixel within this many levels (per channel) of the colour its viewer pixel was
        // last decided for stays transparent without asking the palette.
        int tolerance = 3;
        LiqQuantizer::Settings liq = {5, 0, 100, 1.0f};
    };
    // Receives the next image (offset, delay and transparent index set); false stops.
    using ImageSink = std::function<bool(CxImage& picture, bool localTable)>;

    // Frames waiting for their palette are kept up to this many bytes of changed pixels; past
    // it the frames so far get their palettes, so memory stays bounded for long animations.
    static constexpr std::size_t kPendingBytes = std::size_t(256) << 20;

    BestGifEncoder();
    explicit BestGifEncoder(const Settings& settings);
    ~BestGifEncoder();

    // Takes the next rendered frame, shown for `delay` hundredths of a second. Images whose
    // palette is ready go to the sink at once.
    bool add(const QImage& frame, std::uint32_t delay, const ImageSink& sink);
    // Sends every image still waiting for its palette.
    bool finish(const ImageSink& sink);
    const std::string& error() const { return m_error; }

private:
    struct Pending {
        FrameDelta::Change change;
        std::uint32_t delay = 0;
        std::vector<ColourHistogram::Entry> colours; // the painted pixels' colours and counts
    };
    // Frames [begin, end) of m_pending and their palette.
    struct Run {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::unique_ptr<LiqQuantizer> palette;
    };

    // Auto: the palettes of the shortest runs (minGroup frames or fewer) that the halving
    // reaches, made to probe a longer run, kept for when the plan reaches them. Shared by the
    // two threads of a parallel plan.
    class Leaves {
    public:
        // False when the run has not been probed; else `served` says whether its palette
        // serves its frames.
        bool verdict(std::size_t begin, std::size_t end, bool& served) const;
        void keep(std::size_t begin, std::size_t end, std::unique_ptr<LiqQuantizer> palette,
                  bool served);
        // The run's palette, once; nullptr when it was not made.
        std::unique_ptr<LiqQuantizer> take(std::size_t begin, std::size_t end);

    private:
        struct Leaf {
            std::unique_ptr<LiqQuantizer> palette;
            bool served = false;
        };
        mutable std::mutex m_mutex;
        std::map<std::pair<std::size_t, std::size_t>, Leaf> m_leaves;
    };

    // `parallel`: the drawing is over and a second thread may share the work.
    bool flush(const ImageSink& sink, bool parallel);
    // Auto: keeps frames [begin, end) with one palette when it serves them, else halves them
    // (the right half on a second thread when `parallel`) until runs are minGroup frames or
    // fewer. A palette made for more frames is taken to serve none of them better than the
    // palette of the shortest run that holds them, so a run whose probe (probeLeaf) is not
    // served is halved without making its own palette. False when libimagequant fails.
    bool planRuns(std::size_t begin, std::size_t end, bool parallel, Leaves& leaves,
                  std::vector<Run>& runs) const;
    std::size_t minGroup() const;
    // Whether the palette of the shortest run the halving of [begin, end) reaches for its
    // most colourful frame serves that run's frames (made once, kept in `leaves`). False
    // when libimagequant fails.
    bool probeLeaf(std::size_t begin, std::size_t end, Leaves& leaves, bool& served) const;
    // The palette of pending frames [begin, end); nullptr when libimagequant fails.
    std::unique_ptr<LiqQuantizer> paletteFor(std::size_t begin, std::size_t end) const;
    // The largest mean squared error (per channel) of one frame's painted pixels against
    // their nearest colour of `palette`.
    double worstFrameError(const LiqQuantizer& palette, std::size_t begin, std::size_t end) const;
    bool writeFrames(const Run& run, bool parallel, const ImageSink& sink);
    // The parts of a changed rectangle remapped one by one: frame 0 whole, in two halves when
    // it is high enough (it stays on screen longest: one seam in its error diffusion); later
    // frames in bands of rows, each cut to the columns it paints, so that the transparent
    // rest of the rectangle costs libimagequant nothing.
    static std::vector<QRect> piecesOf(const FrameDelta::Change& change, bool first);
    // `twin`, when given, remaps every other piece on a second thread.
    bool writeFrame(const Pending& frame, LiqQuantizer& palette, LiqQuantizer* twin,
                    bool localTable, const ImageSink& sink);

    Settings m_settings;
    FrameDelta m_delta;
    QSize m_screen;
    std::vector<Pending> m_pending; // frames waiting for their palette
    std::size_t m_pendingBytes = 0;
    QImage m_shown; // Format_RGBA8888: what the viewer shows after the images written
    int m_written = 0;
    bool m_globalUsed = false; // a palette has gone out as the global table
    std::string m_error;
};
