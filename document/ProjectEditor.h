#pragma once

#include "document/AnimationObject.h"
#include "document/Document.h"
#include "document/DocumentChange.h"
#include "document/PreviewPause.h"

#include <QImage>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class PreviewControl;
class TextMeasurer;

// The values of the project properties dialog.
struct ProjectProperties {
    std::string name;
    std::int32_t width = 320;
    std::int32_t height = 120;
    std::int32_t duration = 20;
    std::int32_t frameRate = 12;
    std::uint32_t backgroundColor = 0xFFFFFF;
    std::string backgroundPicture;
    std::int32_t placement = kPlacementCentred;
};

// The frame commands: first, previous, next and last (previous and next wrap round).
enum class FrameStep { First, Previous, Next, Last };

// ProjectEditor: the command layer, the one road by which the document changes. Panels and
// their rules classes read the document through a read-only Document::Lock and hand every
// change here: a one-shot command, or a drag (begin, any number of updates, commit or
// cancel). Each command pauses a running preview, applies the change under the document's
// WriteLock, pushes one undo snapshot when it made an edit that really changed something,
// sets the modified flag, and, with the lock released, announces what changed to the
// subscribed panels (DocumentChange).
// It also remembers what lives between commands: the clipboard, the last new-project values,
// the largest duration.
class ProjectEditor {
public:
    explicit ProjectEditor(Document& document, PreviewControl* preview = nullptr);
    ~ProjectEditor();
    ProjectEditor(const ProjectEditor&) = delete;
    ProjectEditor& operator=(const ProjectEditor&) = delete;

    void setPreviewControl(PreviewControl* preview) { m_preview = preview; }
    Document& document() { return m_document; }

    // Panels subscribe to what the commands change; a listener unsubscribes before it goes.
    void subscribe(ChangeListener* listener);
    void unsubscribe(ChangeListener* listener);

    // The largest duration of any project made, opened or edited since the program started.
    int largestDuration() const { return m_largestDuration; }
    // Keeps the larger of the remembered largest duration and `duration`.
    void raiseLargestDuration(int duration);
    // The last size, duration and frame rate given to a new project (start of the dialog).
    const ProjectProperties& lastNewProjectProperties() const { return m_lastNew; }

    // ---- current frame ----
    // Moves the current frame without touching the preview; accepted only within
    // 0..duration-1.
    bool setCurrentFrame(int frame);
    // Stops a running preview (it stays stopped) and shows `frame`; false outside
    // 0..duration-1.
    bool goToFrame(int frame);
    // The frame commands: stop the preview, then first, previous, next or last frame.
    void stepFrame(FrameStep step);

    // ---- project lifecycle: each replaces the open project, its hit regions and history ----
    void startUnnamed(std::string_view placeholderName);
    void newProject(const ProjectProperties& properties);
    // Writes the dialog's values back (the name is kept); one undo step when they differ.
    void editProperties(const ProjectProperties& properties);
    // Replaces the open project by a loaded one, whose symbols join the symbol list; the
    // loaded state becomes snapshot 0.
    void openLoaded(Project loaded, EmbeddedSymbolList loadedSymbols);
    // As openLoaded(), for work recovered after a crash: it has not been saved, so the project
    // comes in modified.
    void openRecovered(Project recovered, EmbeddedSymbolList recoveredSymbols);
    // Gives the project its name (an unnamed project named at its first save). Not an undo
    // step: undo and redo keep the name and so the project's file.
    void nameProject(std::string_view name);
    // The project was saved: the modified flag goes off.
    void markSaved();

    // ---- object commands; each returns false and changes nothing when it does not apply ----
    void addObject(AnimationObject object, const SymbolId& id);
    bool insertLibrarySymbol(const SymbolId& id, const std::vector<QImage>& frames);
    void addTextObject(AnimationObject object, const TextMeasurer& measurer);
    bool copySelected();
    bool paste();
    bool hasClipboard() const { return m_clipboard.has_value(); }
    bool deleteSelectedObject();
    bool appendMotion(MotionKind kind);
    bool deleteMotion();
    // Sets object `index`'s motion kind; one undo step when it changed.
    bool setMotionKind(int index, MotionKind kind);
    // Object `index` takes the stored values and guide points of `changed` (its run-time
    // companions stay); one undo step when anything differs.
    bool changeObject(int index, const AnimationObject& changed);
    // Object `index` as `change` leaves a copy of it (changeObject of the copy); false when
    // there is no such object or nothing changed.
    template <typename Change> bool editObject(int index, Change&& change) {
        std::optional<AnimationObject> object = objectCopy(index);
        if (!object)
            return false;
        change(*object);
        return changeObject(index, *object);
    }
    // A copy of object `index`, none when there is no such object.
    std::optional<AnimationObject> objectCopy(int index);
    // The motion panel's view of the start position (the start fractions), recomputed when it
    // shows an object: derived values, not an edit (no undo step, not modified, no announcement).
    void storeStartFractions(int index, float fractionX, float fractionY);

    // ---- drags on one object: begin, any number of updates, then commit or cancel ----
    // A drag pauses the preview until it ends. Each update is announced (one redraw); the
    // commit pushes one undo step when the object differs from the press, nothing otherwise.
    bool beginObjectDrag(int index);
    bool isDragging() const { return m_drag != nullptr; }
    int draggedObject() const;
    // The object under the drag takes the stored values and guide points of `changed`.
    void dragObject(const AnimationObject& changed);
    // An update of the drag when it moves object `index`, otherwise changeObject().
    void updateObject(int index, const AnimationObject& changed);
    // True when the drag changed the object (and so made an undo step).
    bool commitObjectDrag();
    // The object goes back to its state at the press.
    void cancelObjectDrag();

    // ---- selection and visibility: shown state, not undo steps ----
    // A row of the timeline: layer `layer` becomes the selected one, and object `object`
    // (or none: -1) the selected object.
    void selectLayerAndObject(int layer, int object);
    // An object picked on the stage: it becomes the only selected object, its drag origin
    // takes its start position, and its layer becomes the selected layer.
    void pickObject(int index);
    // No object and no layer selected.
    void clearSelection();
    void setLayerVisible(int layer, bool visible);

    // ---- header ----
    // The stage resized by its edges; one undo step when the size changed.
    bool resizeStage(int width, int height);

    // ---- layer order commands on the first selected layer ----
    bool bringLayerToFront();
    bool sendLayerToBack();
    bool bringLayerForward();
    bool sendLayerBackward();

    // Undo and redo always announce (repaint) and set modified, also when there was nothing
    // to move to; they return whether the project changed. The project's name stays.
    bool undo();
    bool redo();

private:
    struct Clipboard {
        AnimationObject object;
        SymbolId id;
    };
    struct Drag;
    class Edit;

    void replaceProject(Document::WriteLock& lock, Project project);
    // The dialog's values into a header (the name aside).
    static void applyProperties(ProjectHeader& header, const ProjectProperties& properties);
    // Appends `object` as the only object of a new layer, selected, with its default name.
    static void appendAsNewLayer(Project& project, AnimationObject object, const SymbolId& id);
    // Gives the object a new base hit region (0, 0, width, height) and stores its slot.
    static void addHitRegion(HitRegionTable& regions, AnimationObject& object);
    // Copies the stored values and guide points of `from` into `to`; false when they were
    // already equal.
    static bool assignStored(AnimationObject& to, const AnimationObject& from);
    bool moveSelectedLayer(int offset, bool toEnd);
    bool restoreFromHistory(bool (UndoHistory::*step)(Project&));
    void announce(DocumentChange change);

    Document& m_document;
    PreviewControl* m_preview;
    std::vector<ChangeListener*> m_listeners;
    std::unique_ptr<Drag> m_drag;
    std::optional<Clipboard> m_clipboard;
    ProjectProperties m_lastNew;
    int m_largestDuration = 0;
};
