#pragma once

#include "dialogs/RoundedDialog.h"
#include "document/SymbolId.h"
#include "symbols/FrameLists.h"

#include <QImage>
#include <QSize>
#include <QTimer>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class FileChooser;
class FrameStrip;
class LanguageTable;
class MessageSink;
class PaintCanvasView;
class ProgramFolders;
class QAbstractButton;
class ToolPalette;

// What the symbol editor needs from the program: its folders, texts, message boxes and file
// dialogs (tests answer the last two).
struct SymbolEditorServices {
    const ProgramFolders& folders;
    const LanguageTable& texts;
    MessageSink& sink;
    FileChooser& files;
};

// SymbolEditor: the modal window in which a symbol is built frame by frame. Frames come from
// blank frames, picture files and video files into the frame strip; the current frame is
// painted on the canvas with the tool palette; a preview plays every frame five times a
// second; OK stores the frames in the library folder, as a new symbol or over the symbol being
// edited. The editor keeps each frame twice (as added and as edited, FrameLists) and copies
// the canvas back into the current edited frame after every committed edit.
class SymbolEditor : public RoundedDialog {
    Q_OBJECT

public:
    // The window's commands (button ids).
    enum Command : int {
        CmdImportVideo = 10469,
        CmdImportPicture = 10470,
        CmdRemoveFrame = 10471,
        CmdOk = 10480,
        CmdNewBlankFrame = 10481,
        CmdCut = 10710,
        CmdCopy = 10711,
        CmdPaste = 10712,
        CmdUndo = 10713,
        CmdRedo = 10714,
        CmdZoomIn = 10715,
        CmdZoomOut = 10716,
        CmdProperties = 10717,
        CmdOnionSkin = 10718, // our own: the toggle after the eight toolbar buttons
        CmdCancel = 2,
    };
    static constexpr QSize kSize{720, 520};
    static constexpr int kPreviewIntervalMs = 200;
    static constexpr QSize kNewSymbolFrame{240, 240};

    // A new symbol: one transparent 240 x 240 frame.
    SymbolEditor(const SymbolEditorServices& services, std::string libraryFolder,
                 QWidget* parent = nullptr);
    // An existing symbol: its frames 0..frameCount-1 read from its file. loaded() tells
    // whether every frame could be read; the window must not be shown otherwise (saving would
    // lose the frames that were not read).
    SymbolEditor(const SymbolEditorServices& services, std::string libraryFolder, SymbolId id,
                 std::uint32_t frameCount, QWidget* parent = nullptr);
    // Work recovered after a crash: `frames` as they were, for the library symbol `editing`
    // (none: a new symbol). Nothing of it is saved yet, so it counts as changed.
    SymbolEditor(const SymbolEditorServices& services, std::string libraryFolder,
                 std::optional<SymbolId> editing, const std::vector<QImage>& frames,
                 QWidget* parent = nullptr);
    ~SymbolEditor() override;

    bool loaded() const { return m_loaded; }
    // The symbol written by OK (the new id, or the edited symbol's).
    std::optional<SymbolId> savedSymbol() const { return m_saved; }
    // The library symbol being edited; none for a new symbol.
    const std::optional<SymbolId>& editedSymbol() const { return m_symbol; }

    // The frame size the program remembers from the last "Add Blank Frame" (for the whole run).
    static QSize rememberedFrameSize();
    static void setRememberedFrameSize(QSize size);
    // Whether the onion skin (the previous and next frames shown faintly under the canvas) is
    // on: off when the program starts, then as the user last left it, for the whole run.
    static bool onionSkinOn();
    static void setOnionSkinOn(bool on);

    // Runs a command as its button would.
    void runCommand(int command);
    QAbstractButton* button(int command) const;

    FrameLists& frames() { return m_frames; }
    const FrameLists& frames() const { return m_frames; }
    int currentFrame() const { return m_current; }
    FrameStrip& strip() const { return *m_strip; }
    PaintCanvasView& canvasView() const { return *m_canvas; }
    ToolPalette& palette() const { return *m_palette; }
    // The preview: the box it plays in, the frame it shows next and the picture shown last.
    static QRect previewBox();
    int previewCursor() const { return m_previewCursor; }
    const QImage& previewPicture() const { return m_preview; }
    // One step of the preview (what the 200 ms timer does).
    void previewTick();

    // True when closing without saving would lose work: the frames differ from those the
    // editor opened on (added, removed, moved, painted or resized), or a floating selection
    // has not been dropped yet.
    bool hasChanges() const;
    // Cancel, Esc and the close button: ends without saving, after the user agreed to discard
    // the changes when there are any (No keeps the editor open).
    void reject() override;

protected:
    void paintContents(QPainter& painter) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    QAbstractButton* addCommandButton(int command, const QString& text, const QString& picture,
                                      const QRect& geometry);
    void start();

    void newBlankFrame();
    void importPicture();
    void importVideo();
    void removeFrame();
    void resizeFrame();
    void save();
    bool hasContent() const;

    // The strip made `index` current: the canvas takes that frame.
    void switchTo(int index);
    // The strip is about to move or remove frames: the canvas's work goes into its frame
    // first, and the index stops counting as current.
    void releaseCurrent();
    // UM_CANVAS_CHANGED: the edited frame takes the canvas's picture.
    void canvasChanged();
    void selectLast();
    // The canvas shows the current frame's neighbours under its picture while the onion skin
    // is on, and nothing otherwise.
    void showOnionSkin();

    const SymbolEditorServices m_services;
    const std::string m_folder;
    std::optional<SymbolId> m_symbol; // the symbol being edited; none for a new symbol
    std::optional<SymbolId> m_saved;
    bool m_loaded = true;

    FrameLists m_frames;
    std::vector<QImage> m_opened; // the edited frames as the editor opened on them
    int m_current = -1;
    int m_previewCursor = 0;
    QImage m_preview;
    QTimer m_previewTimer;

    FrameStrip* m_strip = nullptr;
    PaintCanvasView* m_canvas = nullptr;
    ToolPalette* m_palette = nullptr;
    std::map<int, QAbstractButton*> m_buttons;
};
