#pragma once

#include "document/AnimationObject.h"
#include "document/Document.h"
#include "document/MainMessage.h"
#include "document/PreviewPause.h"

#include <QImage>

#include <optional>
#include <string>
#include <vector>

class EditorListener;
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

// ProjectEditor: the commands that change the document, and what they remember between calls
// (the clipboard, the last new-project values, the largest duration). Every command pauses a
// running preview, edits under the document's lock, and ends in one place (Edit::end) that
// pushes the snapshot, sets the modified flag and announces the change to the listener after
// the lock is released.
class ProjectEditor {
public:
    explicit ProjectEditor(Document& document, EditorListener* listener = nullptr,
                           PreviewControl* preview = nullptr);

    void setListener(EditorListener* listener) { m_listener = listener; }
    void setPreviewControl(PreviewControl* preview) { m_preview = preview; }
    Document& document() { return m_document; }

    // The largest duration of any project made or edited since the program started.
    int largestDuration() const { return m_largestDuration; }
    // Keeps the larger of the remembered largest duration and `duration`.
    void raiseLargestDuration(int duration);
    // The last size, duration and frame rate given to a new project (start of the dialog).
    const ProjectProperties& lastNewProjectProperties() const { return m_lastNew; }

    // Moves the document's current frame; accepted only within 0..duration-1.
    bool setCurrentFrame(int frame);

    // Project lifecycle. Each replaces the open project, its hit regions and its history.
    void startUnnamed(std::string_view placeholderName);
    void newProject(const ProjectProperties& properties);
    // Writes the dialog's values back (the name is kept). Neither modifies nor snapshots.
    void editProperties(const ProjectProperties& properties);
    // Replaces the open project by a loaded one, whose symbols join the symbol list; the
    // loaded state becomes snapshot 0.
    void openLoaded(Project loaded, EmbeddedSymbolList loadedSymbols);

    // Object commands. Each returns false and changes nothing when it does not apply.
    void addObject(AnimationObject object, const SymbolId& id);
    bool insertLibrarySymbol(const SymbolId& id, const std::vector<QImage>& frames);
    void addTextObject(AnimationObject object, const TextMeasurer& measurer);
    bool copySelected();
    bool paste();
    bool hasClipboard() const { return m_clipboard.has_value(); }
    bool deleteSelectedObject();
    bool appendMotion(MotionKind kind);
    bool deleteMotion();

    // Layer order commands on the first selected layer.
    bool bringLayerToFront();
    bool sendLayerToBack();
    bool bringLayerForward();
    bool sendLayerBackward();

    // Undo and redo always end as an edit (repaint, announce, modified), also when there was
    // nothing to move to; they return whether the project changed.
    bool undo();
    bool redo();
    // Ends an edit that a panel made in place under the lock (a stage drag, a motion-panel
    // change): snapshot, modified flag, announcements.
    void finishPanelEdit();

private:
    struct Clipboard {
        AnimationObject object;
        SymbolId id;
    };
    class Edit;

    void replaceProject(Document::Lock& lock, Project project);
    // Copies the properties into the header (the name is not changed), resizes the stage and
    // the timeline; `undoStep` pushes a snapshot after it.
    void applyProperties(const ProjectProperties& properties, bool undoStep);
    // Undo or redo through `step`; a restored header with another size resizes the stage.
    bool restoreFromHistory(bool (UndoHistory::*step)(Project&));
    // Appends `object` as the only object of a new layer, selected, with its default name.
    static void appendAsNewLayer(Project& project, AnimationObject object, const SymbolId& id);
    // Gives the object a new base hit region (0, 0, width, height) and stores its slot.
    static void addHitRegion(HitRegionTable& regions, AnimationObject& object);
    bool moveSelectedLayer(int offset, bool toEnd);
    void post(MainMessage message, std::intptr_t wparam = 0, std::intptr_t lparam = 0);
    void repaintTimeline();
    void stageSizeChanged(int width, int height);

    Document& m_document;
    EditorListener* m_listener;
    PreviewControl* m_preview;
    std::optional<Clipboard> m_clipboard;
    ProjectProperties m_lastNew;
    int m_largestDuration = 0;
};
