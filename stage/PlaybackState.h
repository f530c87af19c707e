#pragma once

#include <cstdint>
#include <vector>

class EmbeddedSymbolList;
class Project;

// PlaybackState: what drawing frames one after another carries from one frame to the next:
// each symbol's picture cursor (the picture the next drawn object of the symbol shows; objects
// sharing a symbol share it) and each object's symbol time (written by a guide line motion).
// Drawing a frame reads the project and this state and writes only this state. The stage
// view keeps its state in the records' run-time fields, which project files carry; an export
// computes the state before each of its frames, so that frames can be drawn in any order.
class PlaybackState {
public:
    // The state the records hold (loaded from a file, or stored by the stage view).
    static PlaybackState stored(const Project& project, const EmbeddedSymbolList& symbols);
    // The state before export frame `frame` of an export that began from `start`: as if the
    // export's redraw of frame 0, then frames 0 .. frame - 1 had been drawn one after another.
    static PlaybackState beforeExportFrame(const Project& project,
                                           const EmbeddedSymbolList& symbols,
                                           const PlaybackState& start, int frame);
    // Writes the state into the records' run-time fields (the stage view's playback).
    void store(const Project& project, const EmbeddedSymbolList& symbols) const;

    // Picture cursors by position in the symbol list; symbol times by object index.
    std::vector<std::int32_t> cursors;
    std::vector<std::int32_t> symbolTimes;

    friend bool operator==(const PlaybackState&, const PlaybackState&) = default;
};
