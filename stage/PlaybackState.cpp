#include "stage/PlaybackState.h"

#include "document/EmbeddedSymbolList.h"
#include "document/Project.h"
#include "stage/MotionState.h"

#include <algorithm>

PlaybackState PlaybackState::stored(const Project& project, const EmbeddedSymbolList& symbols) {
    PlaybackState state;
    state.cursors.reserve(symbols.records.count());
    for (const EmbeddedSymbol& symbol : symbols.records)
        state.cursors.push_back(symbol.currentFrame);
    state.symbolTimes.reserve(project.objects.count());
    for (const AnimationObject& object : project.objects)
        state.symbolTimes.push_back(object.record.symbolTime);
    return state;
}

void PlaybackState::store(const Project& project, const EmbeddedSymbolList& symbols) const {
    std::size_t i = 0;
    for (const EmbeddedSymbol& symbol : symbols.records)
        if (i < cursors.size())
            symbol.currentFrame = cursors[i++];
    i = 0;
    for (const AnimationObject& object : project.objects)
        if (i < symbolTimes.size())
            object.record.symbolTime = symbolTimes[i++];
}

// Drawing frames in order leaves in each symbol's cursor the symbol step of the last object of
// that symbol drawn in the last frame that drew any, and in each guide line object the symbol
// time of the last frame that drew it. Before export frame f the frames drawn are the export's
// redraw of frame 0 and frames 0 .. f - 1: the last one is h = max(f - 1, 0). An object is
// drawn on the frames of its span, on a visible layer; the latest of them up to h is
// min(h, end) when that is not before its start (nor before frame 0).
PlaybackState PlaybackState::beforeExportFrame(const Project& project,
                                               const EmbeddedSymbolList& symbols,
                                               const PlaybackState& start, int frame) {
    PlaybackState state = start;
    state.cursors.resize(symbols.records.count(), 0);
    state.symbolTimes.resize(project.objects.count(), 0);
    const int last = std::max(frame - 1, 0);
    const int frameRate = project.header.frameRate;

    // For each symbol: the latest frame that drew one of its objects, and the last of them there.
    struct Latest {
        int frame = -1;
        int object = -1;
    };
    std::vector<Latest> latest(symbols.records.count());
    std::uint32_t index = 0;
    for (int layer = 0; layer < project.layerCount(); ++layer) {
        const auto k = static_cast<std::uint32_t>(layer);
        const bool visible = project.layerVisible[k] == 1;
        for (int n = 0; n < project.layerCounts[k] && index < project.objects.count();
             ++n, ++index) {
            const ObjectRecord& r = project.objects[index].record;
            const int drawnUntil = std::min(last, r.endFrame);
            if (!visible || drawnUntil < std::max(r.startFrame, 0))
                continue;
            if (followsGuideLine(project.objects[index]))
                state.symbolTimes[index] =
                    static_cast<std::int32_t>(r.startFrame + symbolStep(r, drawnUntil, frameRate));
            const int symbol = symbols.indexOf(project.symbolIds[index]);
            if (symbol < 0)
                continue;
            Latest& l = latest[static_cast<std::size_t>(symbol)];
            if (drawnUntil >= l.frame) // later in the list wins within one frame
                l = {drawnUntil, static_cast<int>(index)};
        }
    }
    for (std::size_t s = 0; s < latest.size(); ++s) {
        const EmbeddedSymbol& symbol = symbols.records[static_cast<std::uint32_t>(s)];
        if (latest[s].object < 0 || symbol.frames.isEmpty())
            continue;
        const ObjectRecord& r =
            project.objects[static_cast<std::uint32_t>(latest[s].object)].record;
        state.cursors[s] =
            pictureIndex(symbolStep(r, latest[s].frame, frameRate), symbol.frames.count());
    }
    return state;
}
