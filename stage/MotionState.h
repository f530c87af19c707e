#pragma once

#include "stage/ObjectFrameState.h"

class AnimationObject;
class EmbeddedSymbolList;
struct ProjectHeader;
struct SymbolId;

// The state of an object at frame `frame`. Side effects, as drawing in frame order relies on
// them: the object's symbol advances its shared current picture index, and a guide line
// motion records the symbol time in the object.
// `symbolId` is the object's entry of the project's symbol-id list.
ObjectFrameState computeState(const AnimationObject& object, const SymbolId& symbolId,
                              bool layerVisible, int frame, const ProjectHeader& header,
                              const EmbeddedSymbolList& symbols, bool editView);

// Direction from `from` to `to` in degrees: 0 straight up, 90 right, 180 down, 270 left;
// 180 when the points coincide.
float guideBearing(int fromX, int fromY, int toX, int toY);

// Progress through a motion span at frame g (g >= start): (g - start) / (end - start).
// A span of zero length (end == start) counts as complete at its only frame, t = 1, so the
// object jumps to its end values there instead of dividing 0 by 0.
float motionProgress(int g, int motionStart, int motionEnd);
