#pragma once

#include "symbols/SymbolLibrary.h"
#include "symbols/SymbolLibraryGrid.h"

#include <QTimer>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class LanguageTable;
class MessageSink;
class MessageTarget;
class ProgramFolders;
class ProjectEditor;
class QScrollBar;
class SymbolEditorLauncher;

// SymbolLibraryPanel: the symbol library window: a scrolling grid of animated thumbnails on
// which the user selects, reorders and deletes symbols. It owns the library state and its
// rules (SymbolLibrary, SymbolLibraryGrid), paints them and turns mouse, wheel and keys into
// calls on them. It tells the main window through its MessageTarget when a symbol was chosen
// (SymbolChosen, wparam = the current index) and when one should be edited (EditSymbol,
// wparam = the index), and asks its questions through a MessageSink. On its first start in a
// folder without an index it installs the starter symbols. Picture files dropped on it become
// a new symbol; a video file dropped on it opens the import-video-frames dialog for one.
class SymbolLibraryPanel : public QWidget {
    Q_OBJECT

public:
    // Repaint interval of the thumbnails, which play one frame further at every repaint
    // (5 frames a second, the pace of the symbol editor's preview).
    static constexpr int kThumbnailIntervalMs = 200;

    SymbolLibraryPanel(const ProgramFolders& folders, const LanguageTable& texts,
                       MessageTarget* target, MessageSink& sink, QWidget* parent = nullptr);

    SymbolLibrary& library() { return m_library; }
    SymbolLibraryGrid& grid() { return m_grid; }
    // On by default (rubber band and Ctrl+A).
    void setMultipleSelection(bool enabled) { m_grid.setMultipleSelection(enabled); }

    // The current symbol, nothing when none is current.
    std::optional<SymbolId> currentSymbol() const { return m_library.currentSymbol(); }
    // Every frame of the current symbol; empty when none is current or a frame cannot be read.
    std::vector<QImage> loadCurrentFrames() const;
    // Place on stage: "Please select an animation symbol." without a current symbol, a file
    // error when its frames cannot be read, else the editor's insertLibrarySymbol (a new
    // layer with the symbol centred on the stage). True when the symbol was placed.
    bool placeCurrentSymbol(ProjectEditor& editor);
    // Reads the library from disk again (the refresh command, UM_RELOAD_LIBRARY).
    void reload();
    // Before the program ends: a reordered library is written to the index.
    void beforeExit();
    // Asks "Are you sure to delete the selected animation symbol?" and on Yes deletes the
    // selected symbols with their files. False when nothing was selected or the answer was No.
    bool deleteSelected();
    // New symbol and edit symbol: run the editor, and after OK reload and select the new
    // (last) or the edited symbol. False when nothing was written or nothing is current.
    bool newSymbol(SymbolEditorLauncher& editor);
    bool editCurrentSymbol(SymbolEditorLauncher& editor);
    // Work recovered after a crash, reopened in the symbol editor for the library symbol it was
    // editing (a new symbol when that is gone); after OK the symbol is selected.
    bool editRecovered(SymbolEditorLauncher& editor, const std::optional<SymbolId>& editing,
                       const std::vector<QImage>& frames);
    // Selects `index` alone, makes it current and shows it (ignored when out of range).
    void selectIndex(int index);

    // A new symbol made of the pictures' frames in order, as `zentravo-cli library add` makes
    // it, selected at the end of the library. A picture that cannot be read is reported and
    // nothing is added.
    bool addPictures(const std::vector<std::string>& paths);
    // The import-video-frames dialog for `path`; the frames it imports become a new symbol,
    // selected at the end of the library.
    bool addVideo(const std::string& path);
    // True while files the panel takes are dragged over it.
    bool dropHighlighted() const { return m_dropHover; }

    // Paints the whole panel except its scroll bar (the benchmark calls it directly).
    void paintLibrary(QPainter& painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Puts the scroll bar at the right edge with the grid's range and position.
    void syncScrollBar();
    void libraryChanged();
    // Writes `frames` as a new symbol and selects it; reports a failed write.
    bool addSymbol(const std::vector<QImage>& frames);
    void paintDropHint(QPainter& painter);

    SymbolLibrary m_library;
    SymbolLibraryGrid m_grid;
    MessageTarget* m_target;
    MessageSink& m_sink;
    const LanguageTable& m_texts;
    std::string m_caption;
    QScrollBar* m_scrollBar;
    QTimer m_animation;
    bool m_dropHover = false;
};
