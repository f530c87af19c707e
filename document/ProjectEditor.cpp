#include "document/ProjectEditor.h"

#include "document/EditorListener.h"
#include "document/FixedText.h"
#include "document/PreviewControl.h"
#include "text/TextMeasurer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

ProjectEditor::ProjectEditor(EditorListener* listener, PreviewControl* preview)
    : m_listener(listener), m_preview(preview), m_project(Project::create()) {}

bool ProjectEditor::setCurrentFrame(int frame) {
    if (frame < 0 || frame >= m_project.header.duration) return false;
    m_currentFrame = frame;
    repaintTimeline();
    return true;
}

void ProjectEditor::startUnnamed(std::string_view placeholderName) {
    replaceProject(Project::unnamed(placeholderName));
    m_modified = false;
    raiseLargestDuration(m_project.header.duration);
    if (m_listener) m_listener->stageSizeChanged(m_project.header.width, m_project.header.height);
    repaintTimeline();
}

void ProjectEditor::newProject(const ProjectProperties& properties) {
    pausePreview(); // a new project does not restart the preview
    m_lastNew.width = properties.width;
    m_lastNew.height = properties.height;
    m_lastNew.duration = properties.duration;
    m_lastNew.frameRate = properties.frameRate;
    Project project = Project::create();
    project.setName(properties.name);
    replaceProject(std::move(project));
    editProperties(properties);
    m_modified = false;
}

void ProjectEditor::editProperties(const ProjectProperties& properties) {
    const bool wasPlaying = pausePreview();
    ProjectHeader& h = m_project.header;
    h.width = properties.width;
    h.height = properties.height;
    h.duration = properties.duration;
    h.frameRate = properties.frameRate;
    h.backgroundColor = properties.backgroundColor;
    setFixedText(h.backgroundPicture, properties.backgroundPicture);
    h.placement = properties.placement;
    if (m_listener) m_listener->stageSizeChanged(h.width, h.height);
    raiseLargestDuration(h.duration);
    repaintTimeline();
    resumePreview(wasPlaying);
}

void ProjectEditor::openLoaded(Project loaded, EmbeddedSymbolList loadedSymbols) {
    const bool wasPlaying = pausePreview();
    replaceProject(std::move(loaded));
    for (AnimationObject& object : m_project.objects) {
        object.record.hitRegionIndex = -1;
        object.record.regionHandle = 0;
        object.transformedHitRegion.reset();
        addHitRegion(object);
    }
    // Records of the previous project stay until the push below purges them; a record with
    // the id of a loaded one is replaced so that each id keeps a single record.
    while (!loadedSymbols.records.isEmpty())
        m_symbols.replace(loadedSymbols.records.take(0));
    m_modified = false;
    if (m_listener) m_listener->stageSizeChanged(m_project.header.width, m_project.header.height);
    if (m_project.layerCount() > 0) post(MainMessage::LayersChanged);
    post(MainMessage::RedrawStage);
    pushSnapshot();
    repaintTimeline();
    resumePreview(wasPlaying);
}

void ProjectEditor::addObject(AnimationObject object, const SymbolId& id) {
    const bool wasPlaying = pausePreview();
    appendAsNewLayer(std::move(object), id);
    finishEdit();
    resumePreview(wasPlaying);
}

bool ProjectEditor::insertLibrarySymbol(const SymbolId& id, const std::vector<QImage>& frames) {
    if (frames.empty() || frames.front().isNull()) return false;
    const bool wasPlaying = pausePreview();
    EmbeddedSymbol symbol;
    symbol.id = id;
    for (const QImage& frame : frames)
        symbol.frames.append(frame.convertToFormat(QImage::Format_ARGB32));
    m_symbols.replace(std::move(symbol));

    AnimationObject object =
        AnimationObject::makeSymbolObject(frames.front().size(), m_project.header);
    addHitRegion(object);
    appendAsNewLayer(std::move(object), id);
    finishInsertion();
    resumePreview(wasPlaying);
    return true;
}

void ProjectEditor::addTextObject(AnimationObject object, const TextMeasurer& measurer) {
    const bool wasPlaying = pausePreview();
    ObjectRecord& r = object.record;
    r.kind = kTextObject;
    const QSize size = measurer.measure(r.font, object.text());
    object.applyNewObjectDefaults(size, m_project.header);
    std::memset(r.text + 256, 0, 4); // the last four bytes of the text field are cleared
    r.reserved376 = 0;
    r.headingOffset = 270;
    addHitRegion(object);
    appendAsNewLayer(std::move(object), SymbolId{});
    finishInsertion();
    resumePreview(wasPlaying);
}

bool ProjectEditor::copySelected() {
    const int index = m_project.selectedObjectIndex();
    if (index < 0) return false;
    const auto i = static_cast<std::uint32_t>(index);
    m_clipboard = Clipboard{m_project.objects[i], m_project.symbolIds[i]};
    return true;
}

bool ProjectEditor::paste() {
    if (!m_clipboard) return false;
    AnimationObject object = m_clipboard->object;
    ObjectRecord& r = object.record;
    const std::int32_t length = r.endFrame - r.startFrame;
    r.startFrame = 0;
    r.endFrame = length;
    r.motionStartFrame = 0;
    r.motionEndFrame = length;
    object.transformedHitRegion.reset();
    addHitRegion(object);
    addObject(std::move(object), m_clipboard->id);
    return true;
}

bool ProjectEditor::deleteSelectedObject() {
    const int index = m_project.selectedObjectIndex();
    if (index < 0) return false;
    const bool wasPlaying = pausePreview();
    m_project.removeObject(index);
    m_project.clearObjectSelection();
    m_project.clearLayerSelection();
    const int count = m_project.objectCount();
    if (count > 0) {
        const int next = std::min(index, count - 1);
        m_project.objects[static_cast<std::uint32_t>(next)].record.selected = 1;
        m_project.layerSelected[static_cast<std::uint32_t>(m_project.layerOfObject(next))] = 1;
    }
    finishEdit();
    if (m_project.layerCount() == 0) post(MainMessage::LayersChanged);
    resumePreview(wasPlaying);
    return true;
}

bool ProjectEditor::appendMotion(MotionKind kind) {
    const int index = m_project.selectedObjectIndex();
    if (index < 0 || kind == kNoMotion) return false;
    const bool wasPlaying = pausePreview();
    const auto i = static_cast<std::uint32_t>(index);
    AnimationObject next = m_project.objects[i].continuation(kind, m_project.header.frameRate);
    const SymbolId id = m_project.symbolIds[i];
    m_project.clearObjectSelection();
    m_project.objects.insert(i + 1, std::move(next));
    m_project.symbolIds.insert(i + 1, id);
    ++m_project.layerCounts[static_cast<std::uint32_t>(m_project.layerOfObject(index))];
    finishEdit();
    resumePreview(wasPlaying);
    return true;
}

bool ProjectEditor::deleteMotion() {
    const int index = m_project.selectedObjectIndex();
    if (index < 0) return false;
    const bool wasPlaying = pausePreview();
    m_project.objects[static_cast<std::uint32_t>(index)].deleteMotion();
    finishEdit();
    resumePreview(wasPlaying);
    return true;
}

bool ProjectEditor::bringLayerToFront() {
    return moveSelectedLayer(+1, true);
}
bool ProjectEditor::sendLayerToBack() {
    return moveSelectedLayer(-1, true);
}
bool ProjectEditor::bringLayerForward() {
    return moveSelectedLayer(+1, false);
}
bool ProjectEditor::sendLayerBackward() {
    return moveSelectedLayer(-1, false);
}

bool ProjectEditor::moveSelectedLayer(int offset, bool toEnd) {
    const int layer = m_project.selectedLayerIndex();
    const int last = m_project.layerCount() - 1;
    if (layer < 0 || (offset > 0 && layer == last) || (offset < 0 && layer == 0)) return false;
    const int target = toEnd ? (offset > 0 ? last : 0) : layer + offset;
    const bool wasPlaying = pausePreview();
    m_project.moveLayer(layer, target);
    pushSnapshot();
    repaintTimeline();
    post(MainMessage::RedrawStage);
    m_modified = true;
    resumePreview(wasPlaying);
    return true;
}

void ProjectEditor::pushSnapshot() {
    m_history.push(m_project, m_symbols);
}

bool ProjectEditor::undo() {
    const bool wasPlaying = pausePreview();
    const bool changed = m_history.undo(m_project);
    if (changed) afterHistoryMove();
    resumePreview(wasPlaying);
    return changed;
}

bool ProjectEditor::redo() {
    const bool wasPlaying = pausePreview();
    const bool changed = m_history.redo(m_project);
    if (changed) afterHistoryMove();
    resumePreview(wasPlaying);
    return changed;
}

void ProjectEditor::finishEdit() {
    post(MainMessage::ObjectsChanged);
    pushSnapshot();
    repaintTimeline();
    post(MainMessage::RedrawStage);
    m_modified = true;
}

void ProjectEditor::finishInsertion() {
    post(MainMessage::RedrawStage);
    pushSnapshot();
    repaintTimeline();
    m_modified = true;
    if (m_project.layerCount() == 1) // the timeline and motion panel lay out for layers
        post(MainMessage::LayersChanged);
    post(MainMessage::ObjectsChanged);
}

void ProjectEditor::afterHistoryMove() {
    repaintTimeline();
    post(MainMessage::ObjectsChanged);
    m_modified = true;
}

void ProjectEditor::replaceProject(Project project) {
    m_project = std::move(project);
    m_hitRegions.clear();
    m_history.clear();
    m_currentFrame = 0;
}

void ProjectEditor::appendAsNewLayer(AnimationObject object, const SymbolId& id) {
    // Layer names count the objects of the same kind already present, over all layers.
    char name[256];
    std::snprintf(name, sizeof name, object.isSymbol() ? "Symbol %d" : "Text %d",
                  m_project.countObjectsOfKind(object.record.kind) + 1);
    m_project.clearObjectSelection();
    m_project.clearLayerSelection();
    object.record.selected = 1;
    m_project.appendLayer(std::move(object), id, name);
}

void ProjectEditor::addHitRegion(AnimationObject& object) {
    object.record.hitRegionIndex =
        m_hitRegions.add(QRect(0, 0, object.record.width, object.record.height));
}

void ProjectEditor::raiseLargestDuration(int duration) {
    m_largestDuration = std::max(m_largestDuration, duration);
}

void ProjectEditor::post(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) {
    if (m_listener) m_listener->post(message, wparam, lparam);
}

void ProjectEditor::repaintTimeline() {
    if (m_listener) m_listener->repaintTimeline();
}

bool ProjectEditor::pausePreview() {
    return m_preview && m_preview->stopPreview();
}

void ProjectEditor::resumePreview(bool wasRunning) {
    if (wasRunning && m_preview) m_preview->startPreview();
}
