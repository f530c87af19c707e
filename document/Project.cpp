#include "document/Project.h"

#include "document/FixedText.h"

#include <cstring>

Project Project::create() {
    Project project;
    std::memset(&project.header, 0, sizeof project.header);
    setFixedText(project.header.formatId, ProjectHeader::kFormatId);
    const SymbolId guid = SymbolId::create();
    std::memcpy(project.header.guid, guid.bytes.data(), sizeof project.header.guid);
    return project;
}

Project Project::unnamed(std::string_view placeholderName) {
    Project project = create();
    ProjectHeader& h = project.header;
    h.width = 320;
    h.height = 120;
    h.duration = 20;
    h.frameRate = 12;
    h.backgroundColor = 0xFFFFFF;
    h.placement = kPlacementCentred;
    project.setName(placeholderName);
    return project;
}

std::string Project::name() const {
    return fixedText(header.name);
}

void Project::setName(std::string_view name) {
    setFixedText(header.name, name);
}

std::string Project::layerName(int layer) const {
    return fixedText(layerNames[static_cast<std::uint32_t>(layer)].text);
}

int Project::firstObjectOfLayer(int layer) const {
    int first = 0;
    for (int k = 0; k < layer && k < layerCount(); ++k)
        first += layerCounts[static_cast<std::uint32_t>(k)];
    return first;
}

int Project::layerOfObject(int index) const {
    if (index < 0) return -1;
    int end = 0;
    for (int k = 0; k < layerCount(); ++k) {
        end += layerCounts[static_cast<std::uint32_t>(k)];
        if (index < end) return k;
    }
    return -1;
}

int Project::selectedObjectIndex() const {
    int index = 0;
    for (const AnimationObject& object : objects) {
        if (object.isSelected()) return index;
        ++index;
    }
    return -1;
}

int Project::selectedLayerIndex() const {
    int index = 0;
    for (std::uint32_t flag : layerSelected) {
        if (flag == 1) return index;
        ++index;
    }
    return -1;
}

void Project::clearObjectSelection() {
    for (AnimationObject& object : objects)
        object.record.selected = 0;
}

void Project::clearLayerSelection() {
    for (std::uint32_t& flag : layerSelected)
        flag = 0;
}

int Project::countObjectsOfKind(std::int32_t kind) const {
    int count = 0;
    for (const AnimationObject& object : objects)
        count += object.record.kind == kind ? 1 : 0;
    return count;
}

bool Project::usesSymbol(const SymbolId& id) const {
    for (const SymbolId& used : symbolIds)
        if (used == id) return true;
    return false;
}

void Project::appendLayer(AnimationObject object, const SymbolId& id, std::string_view name) {
    objects.append(std::move(object));
    symbolIds.append(id);
    layerCounts.append(1);
    layerVisible.append(1);
    layerSelected.append(1);
    LayerName layerName;
    setFixedText(layerName.text, name);
    layerNames.append(layerName);
}

void Project::moveLayer(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= layerCount() || to >= layerCount()) return;
    const auto f = static_cast<std::uint32_t>(from);
    const auto t = static_cast<std::uint32_t>(to);
    // Take the layer's run of objects out, then put it back in front of the objects of the
    // layer that will follow it.
    const int first = firstObjectOfLayer(from);
    const int count = layerCounts[f];
    BlockList<AnimationObject> movedObjects;
    BlockList<SymbolId> movedIds;
    for (int k = 0; k < count; ++k) {
        movedObjects.append(objects.take(static_cast<std::uint32_t>(first)));
        movedIds.append(symbolIds.take(static_cast<std::uint32_t>(first)));
    }
    const std::int32_t layerCount = layerCounts.take(f);
    const std::uint32_t visible = layerVisible.take(f);
    const std::uint32_t selected = layerSelected.take(f);
    const LayerName name = layerNames.take(f);
    layerCounts.insert(t, layerCount);
    layerVisible.insert(t, visible);
    layerSelected.insert(t, selected);
    layerNames.insert(t, name);
    const auto insertAt = static_cast<std::uint32_t>(firstObjectOfLayer(to));
    for (std::uint32_t k = 0; k < movedObjects.count(); ++k) {
        objects.insert(insertAt + k, std::move(movedObjects[k]));
        symbolIds.insert(insertAt + k, movedIds[k]);
    }
}

bool Project::removeObject(int index) {
    const int layer = layerOfObject(index);
    if (layer < 0) return false;
    const auto i = static_cast<std::uint32_t>(index);
    const auto k = static_cast<std::uint32_t>(layer);
    objects.removeAt(i);
    symbolIds.removeAt(i);
    if (--layerCounts[k] > 0) return false;
    layerCounts.removeAt(k);
    layerVisible.removeAt(k);
    layerSelected.removeAt(k);
    layerNames.removeAt(k);
    return true;
}

void Project::clearContents() {
    objects.clear();
    symbolIds.clear();
    layerCounts.clear();
    layerVisible.clear();
    layerSelected.clear();
    layerNames.clear();
}

bool Project::isConsistent() const {
    const std::uint32_t layers = layerCounts.count();
    if (layerVisible.count() != layers || layerSelected.count() != layers ||
        layerNames.count() != layers || symbolIds.count() != objects.count())
        return false;
    std::int64_t sum = 0;
    for (std::int32_t count : layerCounts) {
        if (count < 0) return false;
        sum += count;
    }
    return sum == objects.count();
}
