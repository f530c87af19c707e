#pragma once

#include "stage/ObjectFrameState.h"

#include <cstdint>

class AnimationObject;
class EmbeddedSymbolList;
class PlaybackState;
struct ObjectRecord;
struct ProjectHeader;
struct SymbolId;

// The state of an object at frame `frame`. It reads the object and moves the playback state
// on, as drawing in frame order relies on: the object's symbol shows the picture at its shared
// cursor, which then moves to this frame's symbol step; a guide line motion's symbol time is
// returned in the state. `symbolId` is the object's entry of the project's symbol-id list.
ObjectFrameState computeState(const AnimationObject& object, const SymbolId& symbolId,
                              bool layerVisible, int frame, const ProjectHeader& header,
                              const EmbeddedSymbolList& symbols, bool editView,
                              PlaybackState& playback);

// The symbol step at frame `frame`: pictures advanced since the object's start frame at the
// symbol's own rate, ((frame - start) x symbol rate) / project rate, truncated.
std::int64_t symbolStep(const ObjectRecord& record, int frame, int projectFrameRate);
// True when the object moves along its guide line (the kind, and at least 4 points).
bool followsGuideLine(const AnimationObject& object);
// `step` as a picture index of a symbol of `count` pictures (count > 0).
std::int32_t pictureIndex(std::int64_t step, std::int64_t count);

// Direction from `from` to `to` in degrees: 0 straight up, 90 right, 180 down, 270 left;
// 180 when the points coincide.
float guideBearing(int fromX, int fromY, int toX, int toY);

// Progress through a motion span at frame g (g >= start): (g - start) / (end - start).
// A span of zero length (end == start) counts as complete at its only frame, t = 1, so the
// object jumps to its end values there instead of dividing 0 by 0.
float motionProgress(int g, int motionStart, int motionEnd);
