#include "document/ProjectEditor.h"

#include "document/FixedText.h"
#include "text/TextMeasurer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

// A drag in progress: the object it moves, its state at the press, and the preview paused
// until it ends.
struct ProjectEditor::Drag {
    Drag(PreviewControl* preview, int index, const AnimationObject& before)
        : pause(preview), index(index), before(before) {}
    PreviewPause pause;
    int index;
    AnimationObject before;
};

// One command's hold on the document: an open drag committed first (an edit never lands inside
// a drag; selection and visibility may, as a press selects while it starts a drag), the
// preview paused, then the write lock taken, so that the worker finishes the frame it draws
// before the model changes. What the command changed is collected and
// announced once the lock is released; record() makes the command an edit (undo snapshot and
// modified flag).
class ProjectEditor::Edit {
public:
    explicit Edit(ProjectEditor& editor, bool commitsDrag = true)
        : m_editor(editor), m_committed(commitsDrag && editor.m_drag && editor.commitObjectDrag()),
          m_pause(editor.m_preview), m_lock(std::in_place, editor.m_document),
          m_layersBefore(m_lock->project().layerCount()) {}
    ~Edit() {
        m_lock.reset();
        m_editor.announce(m_change);
    }
    Edit(const Edit&) = delete;
    Edit& operator=(const Edit&) = delete;

    Document::WriteLock& lock() { return *m_lock; }
    Project& project() { return m_lock->project(); }
    PreviewPause& pause() { return m_pause; }
    void changed(DocumentChange change) { m_change |= change; }

    // An edit of objects or layers: one undo snapshot, the modified flag on. The change of the
    // layer count is announced as a change of the layers.
    void record(DocumentChange change) {
        Project& p = project();
        m_lock->history().push(p, m_lock->symbols());
        changed(change);
        setModified();
        if (m_layersBefore != p.layerCount())
            changed(DocumentChange::Layers);
    }
    // Before a change of the header: a history that is still empty (a new project) first
    // records the header as it is, so that undoing the change brings the old one back (undo at
    // the first snapshot would only empty the layers).
    void keepHeaderForUndo() {
        if (m_lock->history().position() < 0)
            m_lock->history().push(project(), m_lock->symbols());
    }
    void setModified() {
        if (!m_editor.m_document.isModified())
            changed(DocumentChange::Modified);
        m_editor.m_document.setModified(true);
    }

private:
    ProjectEditor& m_editor;
    bool m_committed;
    PreviewPause m_pause; // declared before the lock: restarts the preview after it is gone
    std::optional<Document::WriteLock> m_lock;
    int m_layersBefore;
    DocumentChange m_change;
};

ProjectEditor::ProjectEditor(Document& document, PreviewControl* preview)
    : m_document(document), m_preview(preview) {}

ProjectEditor::~ProjectEditor() = default;

void ProjectEditor::subscribe(ChangeListener* listener) {
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void ProjectEditor::unsubscribe(ChangeListener* listener) {
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener),
                      m_listeners.end());
}

void ProjectEditor::announce(DocumentChange change) {
    if (change.isEmpty())
        return;
    // A copy: a listener may subscribe or unsubscribe while it is told.
    const std::vector<ChangeListener*> listeners = m_listeners;
    for (ChangeListener* listener : listeners)
        listener->documentChanged(change);
}

void ProjectEditor::raiseLargestDuration(int duration) {
    m_largestDuration = std::max(m_largestDuration, duration);
}

// ---- current frame ---------------------------------------------------------------------

bool ProjectEditor::setCurrentFrame(int frame) {
    {
        auto lock = m_document.lock();
        if (frame < 0 || frame >= lock.project().header.duration)
            return false;
        m_document.setCurrentFrame(frame);
    }
    announce(DocumentChange::CurrentFrame);
    return true;
}

bool ProjectEditor::goToFrame(int frame) {
    {
        auto lock = m_document.lock();
        if (frame < 0 || frame >= lock.project().header.duration)
            return false;
    }
    if (m_preview)
        m_preview->stopPreview();
    return setCurrentFrame(frame);
}

void ProjectEditor::stepFrame(FrameStep step) {
    // The preview stops first: the frame to step from must not move on meanwhile.
    if (m_preview)
        m_preview->stopPreview();
    int duration = 1;
    {
        auto lock = m_document.lock();
        duration = std::max(lock.project().header.duration, 1);
    }
    const int current = m_document.currentFrame();
    int frame = 0;
    switch (step) {
    case FrameStep::First:
        frame = 0;
        break;
    case FrameStep::Previous:
        frame = current <= 0 ? duration - 1 : current - 1;
        break;
    case FrameStep::Next:
        frame = current + 1 >= duration ? 0 : current + 1;
        break;
    case FrameStep::Last:
        frame = duration - 1;
        break;
    }
    m_document.setCurrentFrame(frame);
    announce(DocumentChange::CurrentFrame);
}

// ---- project lifecycle -----------------------------------------------------------------

void ProjectEditor::replaceProject(Document::WriteLock& lock, Project project) {
    lock.project() = std::move(project);
    lock.hitRegions().clear();
    lock.history().clear();
    m_document.setCurrentFrame(0);
    m_document.setModified(false);
}

void ProjectEditor::startUnnamed(std::string_view placeholderName) {
    Edit edit(*this);
    replaceProject(edit.lock(), Project::unnamed(placeholderName));
    raiseLargestDuration(edit.project().header.duration);
    edit.changed(DocumentChange::kEverything);
}

void ProjectEditor::newProject(const ProjectProperties& properties) {
    Edit edit(*this);
    m_lastNew.width = properties.width;
    m_lastNew.height = properties.height;
    m_lastNew.duration = properties.duration;
    m_lastNew.frameRate = properties.frameRate;
    Project project = Project::create();
    project.setName(properties.name);
    applyProperties(project.header, properties);
    replaceProject(edit.lock(), std::move(project)); // a new project pushes nothing
    raiseLargestDuration(properties.duration);
    edit.changed(DocumentChange::kEverything);
}

void ProjectEditor::applyProperties(ProjectHeader& header, const ProjectProperties& properties) {
    header.width = properties.width;
    header.height = properties.height;
    header.duration = properties.duration;
    header.frameRate = properties.frameRate;
    header.backgroundColor = properties.backgroundColor;
    setFixedText(header.backgroundPicture, properties.backgroundPicture);
    header.placement = properties.placement;
}

void ProjectEditor::editProperties(const ProjectProperties& properties) {
    Edit edit(*this);
    ProjectHeader header = edit.project().header;
    applyProperties(header, properties);
    raiseLargestDuration(header.duration);
    if (std::memcmp(&header, &edit.project().header, sizeof header) == 0)
        return;
    // Snapshots carry the header: without a step of its own, the next undo or redo would bring
    // an older header back and the change would be lost; and the changed header must reach
    // the file, so exit offers to save it.
    edit.keepHeaderForUndo();
    edit.project().header = header;
    edit.record(DocumentChange::Header);
}

void ProjectEditor::openLoaded(Project loaded, EmbeddedSymbolList loadedSymbols) {
    Edit edit(*this);
    replaceProject(edit.lock(), std::move(loaded));
    Project& project = edit.project();
    for (AnimationObject& object : project.objects) {
        object.record.hitRegionIndex = -1;
        object.record.regionHandle = 0;
        addHitRegion(edit.lock().hitRegions(), object);
    }
    // Records of the previous project stay until the push below purges them; a record with
    // the id of a loaded one is replaced so that each id keeps a single record.
    EmbeddedSymbolList& symbols = edit.lock().symbols();
    while (!loadedSymbols.records.isEmpty())
        symbols.replace(loadedSymbols.records.take(0));
    edit.lock().history().push(project, symbols);
    // The ruler must reach the end of the opened project.
    raiseLargestDuration(project.header.duration);
    edit.changed(DocumentChange::kEverything);
}

void ProjectEditor::openRecovered(Project recovered, EmbeddedSymbolList recoveredSymbols) {
    openLoaded(std::move(recovered), std::move(recoveredSymbols));
    m_document.setModified(true);
    announce(DocumentChange::Modified);
}

void ProjectEditor::nameProject(std::string_view name) {
    Edit edit(*this);
    edit.project().setName(name);
    edit.changed(DocumentChange::Name);
}

void ProjectEditor::markSaved() {
    const bool was = m_document.isModified();
    m_document.setModified(false);
    if (was)
        announce(DocumentChange::Modified);
}

// ---- object commands -------------------------------------------------------------------

void ProjectEditor::addObject(AnimationObject object, const SymbolId& id) {
    Edit edit(*this);
    appendAsNewLayer(edit.project(), std::move(object), id);
    edit.record(DocumentChange::Objects | DocumentChange::Selection | DocumentChange::Layers);
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
    edit.record(DocumentChange::Objects | DocumentChange::Selection | DocumentChange::Layers);
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
    edit.record(DocumentChange::Objects | DocumentChange::Selection | DocumentChange::Layers);
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
    addHitRegion(edit.lock().hitRegions(), object);
    appendAsNewLayer(edit.project(), std::move(object), m_clipboard->id);
    edit.record(DocumentChange::Objects | DocumentChange::Selection | DocumentChange::Layers);
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
    edit.record(DocumentChange::Objects | DocumentChange::Selection);
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
    edit.record(DocumentChange::Objects | DocumentChange::Selection);
    return true;
}

bool ProjectEditor::deleteMotion() {
    Edit edit(*this);
    Project& project = edit.project();
    const int index = project.selectedObjectIndex();
    if (index < 0)
        return false;
    project.objects[static_cast<std::uint32_t>(index)].deleteMotion();
    edit.record(DocumentChange::Objects);
    return true;
}

bool ProjectEditor::setMotionKind(int index, MotionKind kind) {
    Edit edit(*this);
    Project& project = edit.project();
    if (index < 0 || index >= project.objectCount())
        return false;
    std::int32_t& current = project.objects[static_cast<std::uint32_t>(index)].record.motionKind;
    if (current == kind)
        return false;
    current = kind;
    edit.record(DocumentChange::Objects);
    return true;
}

bool ProjectEditor::assignStored(AnimationObject& to, const AnimationObject& from) {
    // The run-time fields of the record stay the object's own, and so does its selected flag:
    // the selection changes only by the selection commands (also while a drag runs).
    ObjectRecord record = from.record;
    record.hitRegionIndex = to.record.hitRegionIndex;
    record.regionHandle = to.record.regionHandle;
    record.symbolTime = to.record.symbolTime; // written by drawing, never by an edit
    record.selected = to.record.selected;
    const bool sameRecord = std::memcmp(&record, &to.record, sizeof record) == 0;
    const bool samePoints = to.guidePoints == from.guidePoints;
    if (sameRecord && samePoints)
        return false;
    to.record = record;
    if (!samePoints)
        to.guidePoints = from.guidePoints;
    return true;
}

bool ProjectEditor::changeObject(int index, const AnimationObject& changed) {
    Edit edit(*this);
    Project& project = edit.project();
    if (index < 0 || index >= project.objectCount())
        return false;
    if (!assignStored(project.objects[static_cast<std::uint32_t>(index)], changed))
        return false;
    edit.record(DocumentChange::Objects);
    return true;
}

std::optional<AnimationObject> ProjectEditor::objectCopy(int index) {
    auto lock = m_document.lock();
    const Project& project = lock.project();
    if (index < 0 || index >= project.objectCount())
        return std::nullopt;
    return project.objects[static_cast<std::uint32_t>(index)];
}

void ProjectEditor::storeStartFractions(int index, float fractionX, float fractionY) {
    Document::WriteLock lock(m_document);
    Project& project = lock.project();
    if (index < 0 || index >= project.objectCount())
        return;
    ObjectRecord& r = project.objects[static_cast<std::uint32_t>(index)].record;
    r.startFractionX = fractionX;
    r.startFractionY = fractionY;
}

// ---- drags -----------------------------------------------------------------------------

bool ProjectEditor::beginObjectDrag(int index) {
    if (m_drag)
        commitObjectDrag();
    auto lock = m_document.lock();
    const Project& project = lock.project();
    if (index < 0 || index >= project.objectCount())
        return false;
    m_drag = std::make_unique<Drag>(m_preview, index,
                                    project.objects[static_cast<std::uint32_t>(index)]);
    return true;
}

int ProjectEditor::draggedObject() const {
    return m_drag ? m_drag->index : -1;
}

void ProjectEditor::dragObject(const AnimationObject& changed) {
    if (!m_drag)
        return;
    Edit edit(*this, false);
    Project& project = edit.project();
    if (m_drag->index >= project.objectCount())
        return;
    if (assignStored(project.objects[static_cast<std::uint32_t>(m_drag->index)], changed))
        edit.changed(DocumentChange::Objects);
}

void ProjectEditor::updateObject(int index, const AnimationObject& changed) {
    if (m_drag && m_drag->index == index)
        dragObject(changed);
    else
        changeObject(index, changed);
}

bool ProjectEditor::commitObjectDrag() {
    if (!m_drag)
        return false;
    const std::unique_ptr<Drag> drag = std::move(m_drag); // the preview restarts after the edit
    Edit edit(*this, false);
    Project& project = edit.project();
    if (drag->index >= project.objectCount())
        return false;
    AnimationObject atPress = drag->before;
    // Compared as an assignment would make it: the press state against the present one.
    if (!assignStored(atPress, project.objects[static_cast<std::uint32_t>(drag->index)]))
        return false;
    edit.record(DocumentChange::Objects);
    return true;
}

void ProjectEditor::cancelObjectDrag() {
    if (!m_drag)
        return;
    const std::unique_ptr<Drag> drag = std::move(m_drag);
    Edit edit(*this, false);
    Project& project = edit.project();
    if (drag->index < project.objectCount() &&
        assignStored(project.objects[static_cast<std::uint32_t>(drag->index)], drag->before))
        edit.changed(DocumentChange::Objects);
}

// ---- selection and visibility ----------------------------------------------------------

void ProjectEditor::selectLayerAndObject(int layer, int object) {
    Edit edit(*this, false); // shown state: a drag goes on
    Project& project = edit.project();
    if (layer >= 0 && layer < project.layerCount()) {
        project.clearLayerSelection();
        project.layerSelected[static_cast<std::uint32_t>(layer)] = 1;
        edit.changed(DocumentChange::Selection);
    }
    if (object >= 0 && object < project.objectCount()) {
        project.clearObjectSelection();
        project.objects[static_cast<std::uint32_t>(object)].record.selected = 1;
        edit.changed(DocumentChange::Selection);
    }
}

void ProjectEditor::pickObject(int index) {
    Edit edit(*this, false); // shown state: a drag goes on
    Project& project = edit.project();
    if (index < 0 || index >= project.objectCount())
        return;
    project.clearObjectSelection();
    ObjectRecord& r = project.objects[static_cast<std::uint32_t>(index)].record;
    r.selected = 1;
    r.dragOriginX = r.startX;
    r.dragOriginY = r.startY;
    project.clearLayerSelection();
    project.layerSelected[static_cast<std::uint32_t>(project.layerOfObject(index))] = 1;
    edit.changed(DocumentChange::Selection);
}

void ProjectEditor::clearSelection() {
    Edit edit(*this, false); // shown state: a drag goes on
    edit.project().clearObjectSelection();
    edit.project().clearLayerSelection();
    edit.changed(DocumentChange::Selection);
}

void ProjectEditor::setLayerVisible(int layer, bool visible) {
    Edit edit(*this, false); // shown state: a drag goes on
    Project& project = edit.project();
    if (layer < 0 || layer >= project.layerCount())
        return;
    project.layerVisible[static_cast<std::uint32_t>(layer)] = visible ? 1 : 0;
    edit.changed(DocumentChange::Layers);
}

// ---- header ----------------------------------------------------------------------------

bool ProjectEditor::resizeStage(int width, int height) {
    Edit edit(*this);
    if (edit.project().header.width == width && edit.project().header.height == height)
        return false;
    edit.keepHeaderForUndo();
    edit.project().header.width = width;
    edit.project().header.height = height;
    edit.record(DocumentChange::Header);
    return true;
}

// ---- layers ----------------------------------------------------------------------------

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
    edit.record(DocumentChange::Objects | DocumentChange::Layers);
    return true;
}

// ---- history ---------------------------------------------------------------------------

bool ProjectEditor::undo() {
    return restoreFromHistory(&UndoHistory::undo);
}

bool ProjectEditor::redo() {
    return restoreFromHistory(&UndoHistory::redo);
}

bool ProjectEditor::restoreFromHistory(bool (UndoHistory::*step)(Project&)) {
    Edit edit(*this);
    Project& project = edit.project();
    const ProjectHeader before = project.header;
    // Naming is not an edit: every snapshot taken before the first save still carries the
    // placeholder name, which must not come back.
    const std::string name = project.name();
    const bool changed = (edit.lock().history().*step)(project);
    project.setName(name);
    edit.setModified();
    DocumentChange change =
        DocumentChange::Objects | DocumentChange::Selection | DocumentChange::Layers;
    // Snapshots carry the header: a step across a properties change or a stage resize brings
    // the other stage size back, and the stage and the timeline must show it.
    if (std::memcmp(&before, &project.header, sizeof before) != 0) {
        raiseLargestDuration(project.header.duration);
        change |= DocumentChange::Header;
    }
    edit.changed(change);
    return changed;
}

// ---- helpers ---------------------------------------------------------------------------

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
