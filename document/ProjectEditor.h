#pragma once

#include "document/EmbeddedSymbolList.h"
#include "document/MainMessage.h"
#include "document/Project.h"
#include "document/UndoHistory.h"
#include "stage/HitRegionTable.h"

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

// ProjectEditor: the open project with everything its edits touch (symbol pictures, hit
// regions, undo history, clipboard, current frame, modified flag), and the commands that edit
// it. Every edit of objects or layers ends in one place that pushes a snapshot, sets the
// modified flag and announces the change to the listener.
class ProjectEditor {
public:
    explicit ProjectEditor(EditorListener* listener = nullptr, PreviewControl* preview = nullptr);

    void setListener(EditorListener* listener) { m_listener = listener; }
    void setPreviewControl(PreviewControl* preview) { m_preview = preview; }

    Project& project() { return m_project; }
    const Project& project() const { return m_project; }
    EmbeddedSymbolList& symbols() { return m_symbols; }
    HitRegionTable& hitRegions() { return m_hitRegions; }
    const UndoHistory& history() const { return m_history; }
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // The largest duration of any project made or edited since the program started.
    int largestDuration() const { return m_largestDuration; }
    // Keeps the larger of the remembered largest duration and `duration`.
    void raiseLargestDuration(int duration);
    // The last size, duration and frame rate given to a new project (start of the dialog).
    const ProjectProperties& lastNewProjectProperties() const { return m_lastNew; }

    // Current frame of the timeline; accepted only within 0..duration-1.
    int currentFrame() const { return m_currentFrame; }
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

    void pushSnapshot();
    bool undo();
    bool redo();

private:
    struct Clipboard {
        AnimationObject object;
        SymbolId id;
    };

    void replaceProject(Project project);
    void appendAsNewLayer(AnimationObject object, const SymbolId& id);
    // Gives the object a new base hit region (0, 0, width, height) and stores its slot.
    void addHitRegion(AnimationObject& object);
    bool moveSelectedLayer(int offset, bool toEnd);
    void post(MainMessage message, std::intptr_t wparam = 0, std::intptr_t lparam = 0);
    void repaintTimeline();
    // The common ends of edits: announce, snapshot, repaint, redraw, mark modified.
    void finishEdit();
    void finishInsertion(); // a new object from the library or the text panel
    void afterHistoryMove();
    bool pausePreview();
    void resumePreview(bool wasRunning);

    EditorListener* m_listener;
    PreviewControl* m_preview;
    Project m_project;
    EmbeddedSymbolList m_symbols;
    HitRegionTable m_hitRegions;
    UndoHistory m_history;
    std::optional<Clipboard> m_clipboard;
    ProjectProperties m_lastNew;
    int m_largestDuration = 0;
    int m_currentFrame = 0;
    bool m_modified = false;
};
