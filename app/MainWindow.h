#pragma once

#include "app/CommandTable.h"
#include "app/ExportCommands.h"
#include "app/HelpPage.h"
#include "app/MainWindowLayout.h"
#include "app/ProjectCommands.h"
#include "document/Document.h"
#include "document/DocumentChange.h"
#include "document/MessageTarget.h"
#include "document/ProjectEditor.h"
#include "document/ProjectIndex.h"
#include "document/ProjectStore.h"
#include "document/RecentProjects.h"
#include "symbols/WorkRecovery.h"

#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class Application;
class Autosave;
class CTavStartDlg;
class FileChooser;
class ImageButton;
class MessageSink;
class ModalSymbolEditor;
class ProjectDialogs;
class MotionPanel;
class StageView;
class SymbolLibraryPanel;
class TextPanel;
class TimelinePanel;

// What tests replace in the main window: message boxes and dialogs. Null members mean the
// program's own.
struct MainWindowServices {
    MessageSink* sink = nullptr;
    ProjectDialogs* dialogs = nullptr;
    FileChooser* files = nullptr;
    ExportCommands::Answers exportAnswers;
    HelpPage::Opener helpOpener; // how the help page reaches the desktop
};

// MainWindow: the caption-less main window. It owns the document with its command layer and
// every panel, lays them out with MainWindowLayout on every resize, paints its own caption
// strip, and turns commands (menus, toolbar, keys) into calls. Panels hand their edits to the
// command layer and follow its announcements themselves; the window's messages (dispatch())
// are what the stage worker reports from its thread and what panels ask of the window (a
// menu, a sample, the symbol editor).
class MainWindow : public QWidget, public MessageTarget, private ChangeListener {
    Q_OBJECT

public:
    explicit MainWindow(Application& application, MainWindowServices services = {},
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    Document& document() { return m_document; }
    ProjectEditor& editor() { return m_editor; }
    ProjectCommands& projectCommands() { return *m_projectCommands; }
    ExportCommands& exportCommands() { return *m_exportCommands; }
    StageView& stage() { return *m_stage; }
    TimelinePanel& timeline() { return *m_timeline; }
    MotionPanel& motionPanel() { return *m_motionPanel; }
    SymbolLibraryPanel& libraryPanel() { return *m_library; }
    TextPanel& textPanel() { return *m_textPanel; }
    CTavStartDlg& startScreen() { return *m_startScreen; }
    // How the library runs the symbol editor (tests reach each editor through it).
    ModalSymbolEditor& symbolEditor() { return *m_symbolEditor; }
    // The three controls under the library: place on stage, new symbol, delete symbols.
    ImageButton* libraryControl(int index) const {
        return m_libraryControls.at(std::size_t(index));
    }
    // At program start: the welcome screen shows shortly after the window when the user's
    // profile asks for it. Returns whether it will.
    bool scheduleStartScreen();
    const CommandTable& commands() const { return m_commands; }
    MainWindowLayout layout() const;

    // Queued: safe from any thread (the stage worker posts its frames this way).
    void post(MainMessage message, std::intptr_t wparam = 0, std::intptr_t lparam = 0) override;
    // Direct: the message is handled before this returns (UI thread only).
    void send(MainMessage message, std::intptr_t wparam = 0, std::intptr_t lparam = 0);

    void runCommand(CommandId id);
    // Opens a project file given on the command line or by a later copy of the program, as
    // the open command would (asking to save a modified project first).
    bool openProjectFile(const QString& path);
    // Brings the window forward: restored when minimised, raised and activated.
    void bringForward();
    // At start: offers the work left by runs that did not end cleanly (`deadLockPid`: the
    // process the single-instance lock named when this run took it over). True when work was
    // restored.
    bool recoverWork(std::int64_t deadLockPid);
    Autosave& autosave() { return *m_autosave; }
    RecentProjects& recentProjects() { return m_recent; }

    // The popup menu shown last, while it is open (tests read and trigger its items).
    QMenu* openMenu() const { return m_openMenu; }
    ImageButton* toolbarButton(CommandId id) const;
    HelpPage& help() { return m_help; }
    // The caption's text: product, project name, and an asterisk while it is modified.
    QString captionText();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A project file dropped on the window opens as the open command would.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void documentChanged(DocumentChange change) override;
    void dispatch(MainMessage message, std::intptr_t wparam, std::intptr_t lparam);
    void createButtons();
    void applyLayout();
    bool hasLayers();
    bool handleKey(QKeyEvent* event);
    // Presses, moves and releases anywhere in the window drive the timeline's drags.
    void forwardToTimeline(QEvent* event);
    void showMenu(const std::vector<MenuItem>& items, QPoint globalPosition);
    // The Recent Projects submenu: one item a project, disabled when its file is gone.
    void fillRecentMenu(QMenu* menu);
    void showMenuUnder(CommandAction menu);
    void frameCommand(CommandAction action);
    void togglePreview();
    void showPreviewState(bool running);
    void exitProgram();
    void finishClose();
    void toggleMaximised();
    void showAbout();
    void updateCaption();

    Application& m_application;
    std::unique_ptr<MessageSink> m_ownSink;
    std::unique_ptr<FileChooser> m_ownFiles;
    MessageSink* m_sink;
    FileChooser* m_files;
    std::unique_ptr<ProjectDialogs> m_ownDialogs; // uses the sink and the file chooser
    ProjectDialogs* m_dialogs;
    Document m_document;
    ProjectEditor m_editor;
    CommandTable m_commands;
    ProjectStore m_store;
    ProjectIndex m_index;
    RecentProjects m_recent;
    WorkRecovery m_recovery;
    std::unique_ptr<ProjectCommands> m_projectCommands;
    std::unique_ptr<ExportCommands> m_exportCommands;

    StageView* m_stage = nullptr;
    SymbolLibraryPanel* m_library = nullptr;
    TextPanel* m_textPanel = nullptr;
    CTavStartDlg* m_startScreen = nullptr;
    std::unique_ptr<ModalSymbolEditor> m_symbolEditor;
    std::unique_ptr<Autosave> m_autosave; // reads the symbol editor: goes first
    TimelinePanel* m_timeline = nullptr;
    MotionPanel* m_motionPanel = nullptr;
    std::array<ImageButton*, 3> m_libraryControls{};
    std::vector<std::pair<CommandId, ImageButton*>> m_toolbar;
    std::array<ImageButton*, 4> m_menuButtons{};
    ImageButton* m_closeButton = nullptr;
    ImageButton* m_maximiseButton = nullptr;
    ImageButton* m_minimiseButton = nullptr;
    QPointer<QMenu> m_openMenu;
    HelpPage m_help;
    bool m_timelineDragging = false;
    // The last mouse event forwarded, so that one travelling up to the parents counts once.
    const QEvent* m_lastMouseEvent = nullptr;
    quint64 m_lastMouseTime = 0;
    QEvent::Type m_lastMouseType = QEvent::None;

    bool m_motionPanelHidden = true;
    bool m_closing = false;   // the before-exit routine ran: the next close is final
    std::thread m_exitThread; // stops the preview off the UI thread before closing
};
