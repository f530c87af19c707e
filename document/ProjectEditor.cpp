#include "document/ProjectEditor.h"

#include "document/EditorListener.h"
#include "document/FixedText.h"
#include "text/TextMeasurer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

// One command's hold on the document: the preview paused first, then the lock taken, so that
// the worker finishes the frame it draws before the model changes. end() is the one way an
// edit of objects or layers finishes.
class ProjectEditor::Edit {
public:
    explicit Edit(ProjectEditor& editor)
        : m_editor(editor), m_pause(editor.m_preview), m_lock(std::in_place, editor.m_document),
          m_layersBefore(m_lock->project().layerCount()) {}

    Document::Lock& lock() { return *m_lock; }
    Project& project() { return m_lock->project(); }
    PreviewPause& pause() { return m_pause; }

    // Snapshot (unless the history itself moved), modified flag; then, with the lock
    // released, the timeline repaint, the stage redraw and the messages. The layout switches
    // (UM_LAYERS_CHANGED) only when the project went from no layers to some or back.
    void end(bool snapshot = true) {
        Project& p = project();
        if (snapshot)
            m_lock->history().push(p, m_lock->symbols());
        m_editor.m_document.setModified(true);
        const bool layersSwitched = (m_layersBefore == 0) != (p.layerCount() == 0);
        m_lock.reset();
        m_editor.repaintTimeline();
        m_editor.post(MainMessage::RedrawStage);
        if (layersSwitched)
            m_editor.post(MainMessage::LayersChanged);
        m_editor.post(MainMessage::ObjectsChanged);
    }

private:
    ProjectEditor& m_editor;
    PreviewPause m_pause; // declared first: restarts the preview after the lock is gone
    std::optional<Document::Lock> m_lock;
    int m_layersBefore;
};

ProjectEditor::ProjectEditor(Document& document, EditorListener* listener, PreviewControl* preview)
    : m_document(document), m_listener(listener), m_preview(preview) {}

bool ProjectEditor::setCurrentFrame(int frame) {
    {
        auto lock = m_document.lock();
        if (frame < 0 || frame >= lock.project().header.duration)
            return false;
        m_document.setCurrentFrame(frame);
    }
    repaintTimeline();
    return true;
}

void ProjectEditor::startUnnamed(std::string_view placeholderName) {
    int width = 0;
    int height = 0;
    {
        Edit edit(*this);
        replaceProject(edit.lock(), Project::unnamed(placeholderName));
        width = edit.project().header.width;
        height = edit.project().header.height;
        raiseLargestDuration(edit.project().header.duration);
    }
    m_document.setModified(false);
    stageSizeChanged(width, height);
    repaintTimeline();
}

void ProjectEditor::newProject(const ProjectProperties& properties) {
    {
        Edit edit(*this);
        edit.pause().keepStopped(); // a new project does not restart the preview
        m_lastNew.width = properties.width;
        m_lastNew.height = properties.height;
        m_lastNew.duration = properties.duration;
        m_lastNew.frameRate = properties.frameRate;
        Project project = Project::create();
        project.setName(properties.name);
        replaceProject(edit.lock(), std::move(project));
    }
    applyProperties(properties, false); // a new project pushes nothing
    m_document.setModified(false);
}

void ProjectEditor::editProperties(const ProjectProperties& properties) {
    applyProperties(properties, true);
}

void ProjectEditor::applyProperties(const ProjectProperties& properties, bool undoStep) {
    PreviewPause pause(m_preview);
    ProjectHeader h;
    {
        auto lock = m_document.lock();
        ProjectHeader& header = lock.project().header;
        header.width = properties.width;
        header.height = properties.height;
        header.duration = properties.duration;
        header.frameRate = properties.frameRate;
        header.backgroundColor = properties.backgroundColor;
        setFixedText(header.backgroundPicture, properties.backgroundPicture);
        header.placement = properties.placement;
        h = header;
        // Snapshots carry the header: without a step of its own, the next undo or redo would
        // bring an older header back and the change would be lost.
        if (undoStep)
            lock.history().push(lock.project(), lock.symbols());
    }
    // The duration is raised first: the timeline takes its length when the stage size changes.
    raiseLargestDuration(h.duration);
    // The changed header must reach the file (else exit would not offer to save it).
    m_document.setModified(true);
    stageSizeChanged(h.width, h.height);
    repaintTimeline();
}

void ProjectEditor::openLoaded(Project loaded, EmbeddedSymbolList loadedSymbols) {
    int width = 0;
    int height = 0;
    bool hasLayers = false;
    {
        Edit edit(*this);
        replaceProject(edit.lock(), std::move(loaded));
        Project& project = edit.project();
        for (AnimationObject& object : project.objects) {
            object.record.hitRegionIndex = -1;
            object.record.regionHandle = 0;
            object.transformedHitRegion.reset();
            addHitRegion(edit.lock().hitRegions(), object);
        }
        // Records of the previous project stay until the push below purges them; a record
        // with the id of a loaded one is replaced so that each id keeps a single record.
        EmbeddedSymbolList& symbols = edit.lock().symbols();
        while (!loadedSymbols.records.isEmpty())
            symbols.replace(loadedSymbols.records.take(0));
        edit.lock().history().push(project, symbols);
        width = project.header.width;
        height = project.header.height;
        hasLayers = project.layerCount() > 0;
    }
    m_document.setModified(false);
    stageSizeChanged(width, height);
    if (hasLayers)
        post(MainMessage::LayersChanged);
    post(MainMessage::RedrawStage);
    repaintTimeline();
}

void ProjectEditor::addObject(AnimationObject object, const SymbolId& id) {
    Edit edit(*this);
    appendAsNewLayer(edit.project(), std::move(object), id);
    edit.end();
}

bool ProjectEditor::insertLibrarySymbol(const SymbolId& id, const std::vector<QImage>& frames) {
    if (frames.empty() || frames.front().isNull())
        return false;
    Edit edit(*this);
    EmbeddedSymbol symbol;
    symbol.id = id;
    for (const QImage& frame : frames)
        symbol.frames.append(frame.convertToFormat(QImage::Format_ARGB32));
    edit.lock().symbols().replace(std::move(symbol));

    AnimationObject object =
        AnimationObject::makeSymbolObject(frames.front().size(), edit.project().header);
    addHitRegion(edit.lock().hitRegions(), object);
    appendAsNewLayer(edit.project(), std::move(object), id);
    edit.end();
    return true;
}

void ProjectEditor::addTextObject(AnimationObject object, const TextMeasurer& measurer) {
    Edit edit(*this);
    ObjectRecord& r = object.record;
    r.kind = kTextObject;
    const QSize size = measurer.measure(r.font, object.text());
    object.applyNewObjectDefaults(size, edit.project().header);
    std::memset(r.text + 256, 0, 4); // the last four bytes of the text field are cleared
    r.reserved376 = 0;
    r.headingOffset = 270;
    addHitRegion(edit.lock().hitRegions(), object);
    appendAsNewLayer(edit.project(), std::move(object), SymbolId{});
    edit.end();
}

bool ProjectEditor::copySelected() {
    auto lock = m_document.lock();
    const Project& project = lock.project();
    const int index = project.selectedObjectIndex();
    if (index < 0)
        return false;
    const auto i = static_cast<std::uint32_t>(index);
    m_clipboard = Clipboard{project.objects[i], project.symbolIds[i]};
    return true;
}

bool ProjectEditor::paste() {
    if (!m_clipboard)
        return false;
    Edit edit(*this);
    AnimationObject object = m_clipboard->object;
    ObjectRecord& r = object.record;
    const std::int32_t length = r.endFrame - r.startFrame;
    r.startFrame = 0;
    r.endFrame = length;
    r.motionStartFrame = 0;
    r.motionEndFrame = length;
    object.transformedHitRegion.reset();
    addHitRegion(edit.lock().hitRegions(), object);
    appendAsNewLayer(edit.project(), std::move(object), m_clipboard->id);
    edit.end();
    return true;
}

bool ProjectEditor::deleteSelectedObject() {
    Edit edit(*this);
    Project& project = edit.project();
    const int index = project.selectedObjectIndex();
    if (index < 0)
        return false;
    project.removeObject(index);
    project.clearObjectSelection();
    project.clearLayerSelection();
    const int count = project.objectCount();
    if (count > 0) {
        const int next = std::min(index, count - 1);
        project.objects[static_cast<std::uint32_t>(next)].record.selected = 1;
        project.layerSelected[static_cast<std::uint32_t>(project.layerOfObject(next))] = 1;
    }
    edit.end();
    return true;
}

bool ProjectEditor::appendMotion(MotionKind kind) {
    if (kind == kNoMotion)
        return false;
    Edit edit(*this);
    Project& project = edit.project();
    const int index = project.selectedObjectIndex();
    if (index < 0)
        return false;
    const auto i = static_cast<std::uint32_t>(index);
    AnimationObject next = project.objects[i].continuation(kind, project.header.frameRate);
    const SymbolId id = project.symbolIds[i];
    project.clearObjectSelection();
    project.objects.insert(i + 1, std::move(next));
    project.symbolIds.insert(i + 1, id);
    ++project.layerCounts[static_cast<std::uint32_t>(project.layerOfObject(index))];
    edit.end();
    return true;
}

bool ProjectEditor::deleteMotion() {
    Edit edit(*this);
    Project& project = edit.project();
    const int index = project.selectedObjectIndex();
    if (index < 0)
        return false;
    project.objects[static_cast<std::uint32_t>(index)].deleteMotion();
    edit.end();
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
    Edit edit(*this);
    Project& project = edit.project();
    const int layer = project.selectedLayerIndex();
    const int last = project.layerCount() - 1;
    if (layer < 0 || (offset > 0 && layer == last) || (offset < 0 && layer == 0))
        return false;
    const int target = toEnd ? (offset > 0 ? last : 0) : layer + offset;
    project.moveLayer(layer, target);
    edit.end();
    return true;
}

bool ProjectEditor::undo() {
    return restoreFromHistory(&UndoHistory::undo);
}

bool ProjectEditor::redo() {
    return restoreFromHistory(&UndoHistory::redo);
}

bool ProjectEditor::restoreFromHistory(bool (UndoHistory::*step)(Project&)) {
    bool changed = false;
    ProjectHeader before{};
    ProjectHeader after{};
    {
        Edit edit(*this);
        before = edit.project().header;
        changed = (edit.lock().history().*step)(edit.project());
        after = edit.project().header;
        edit.end(false);
    }
    // Snapshots carry the header: a step across a properties change brings the other stage
    // size back, and the stage and timeline must show it.
    if (before.width != after.width || before.height != after.height ||
        before.duration != after.duration) {
        raiseLargestDuration(after.duration);
        stageSizeChanged(after.width, after.height);
    }
    return changed;
}

void ProjectEditor::finishPanelEdit() {
    Edit edit(*this);
    edit.end();
}

void ProjectEditor::replaceProject(Document::Lock& lock, Project project) {
    lock.project() = std::move(project);
    lock.hitRegions().clear();
    lock.history().clear();
    m_document.setCurrentFrame(0);
}

void ProjectEditor::appendAsNewLayer(Project& project, AnimationObject object, const SymbolId& id) {
    // Layer names count the objects of the same kind already present, over all layers.
    char name[256];
    std::snprintf(name, sizeof name, object.isSymbol() ? "Symbol %d" : "Text %d",
                  project.countObjectsOfKind(object.record.kind) + 1);
    project.clearObjectSelection();
    project.clearLayerSelection();
    object.record.selected = 1;
    project.appendLayer(std::move(object), id, name);
}

void ProjectEditor::addHitRegion(HitRegionTable& regions, AnimationObject& object) {
    object.record.hitRegionIndex =
        regions.add(QRect(0, 0, object.record.width, object.record.height));
}

void ProjectEditor::raiseLargestDuration(int duration) {
    m_largestDuration = std::max(m_largestDuration, duration);
}

void ProjectEditor::post(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) {
    if (m_listener)
        m_listener->post(message, wparam, lparam);
}

void ProjectEditor::repaintTimeline() {
    if (m_listener)
        m_listener->repaintTimeline();
}

void ProjectEditor::stageSizeChanged(int width, int height) {
    if (m_listener)
        m_listener->stageSizeChanged(width, height);
}
