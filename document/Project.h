#pragma once

#include "document/BlockList.h"
#include "document/ProjectHeader.h"
#include "document/SymbolId.h"
#include "document/AnimationObject.h"

#include <cstdint>
#include <string>
#include <string_view>

// LayerName: the 256-byte NUL-terminated name of a layer, as stored.
struct LayerName {
    char text[256]{};
};

// Project: the open animation project: the stored header and six parallel lists. Objects are
// kept in one flat list in layer order: the first layerCounts[0] objects belong to layer 0,
// the next layerCounts[1] to layer 1, and so on. Copying a project copies everything deeply.
// Invariants: the four layer lists have one length L; objects and symbolIds have one length N,
// the sum of the layer counts.
class Project {
public:
    ProjectHeader header{};
    BlockList<AnimationObject> objects;
    BlockList<SymbolId> symbolIds;          // one per object; null for text objects
    BlockList<std::int32_t> layerCounts;    // objects per layer
    BlockList<std::uint32_t> layerVisible;  // 1 drawn and pickable, 0 hidden
    BlockList<std::uint32_t> layerSelected; // 1 highlighted in the timeline
    BlockList<LayerName> layerNames;

    // A zero-filled header with a fresh GUID and the format identifier; empty lists.
    static Project create();
    // The unnamed project the program starts with: 320 x 120, 20 frames at 12 fps, white.
    static Project unnamed(std::string_view placeholderName);

    int layerCount() const { return static_cast<int>(layerCounts.count()); }
    int objectCount() const { return static_cast<int>(objects.count()); }
    std::string name() const;
    void setName(std::string_view name);
    std::string layerName(int layer) const;

    int firstObjectOfLayer(int layer) const;
    // The layer that holds object `index`, -1 when out of range.
    int layerOfObject(int index) const;
    // Index of the first selected object / layer, -1 when none.
    int selectedObjectIndex() const;
    int selectedLayerIndex() const;
    void clearObjectSelection();
    void clearLayerSelection();
    int countObjectsOfKind(std::int32_t kind) const;
    bool usesSymbol(const SymbolId& id) const;

    // Appends `object` as the only object of a new layer (count 1, visible, selected).
    void appendLayer(AnimationObject object, const SymbolId& id, std::string_view name);
    // Moves layer `from` with its objects, symbol ids, count, flags and name to position `to`.
    void moveLayer(int from, int to);
    // Removes object `index`; a layer left without objects is removed with it.
    // Returns true when the layer was removed.
    bool removeObject(int index);
    // Frees all objects and empties the six lists; the header stays.
    void clearContents();
    // True when the list lengths and layer counts agree (see the invariants above).
    bool isConsistent() const;
};
