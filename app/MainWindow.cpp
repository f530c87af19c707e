#include "app/MainWindow.h"

#include "app/Application.h"
#include "app/Autosave.h"
#include "app/CrashRecovery.h"
#include "app/KeyRouting.h"
#include "controls/DroppedFiles.h"
#include "controls/ImageButton.h"
#include "controls/MessageBoxSink.h"
#include "dialogs/CTavStartDlg.h"
#include "dialogs/StandardFileChooser.h"
#include "dialogs/StandardProjectDialogs.h"
#include "document/ui/TimelinePanel.h"
#include "stage/ui/MotionPanel.h"
#include "stage/ui/StageView.h"
#include "symbols/ui/ModalSymbolEditor.h"
#include "symbols/ui/SymbolLibraryPanel.h"
#include "text/FontTextMeasurer.h"
#include "text/ui/TextPanel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <chrono>

namespace {

const QColor kBackground(0xEE, 0xF1, 0xF5);
const QColor kCaptionTop(0xFF, 0xFF, 0xFF);
const QColor kCaptionBottom(0xE4, 0xE9, 0xF0);
const QColor kCaptionText(0x2A, 0x37, 0x47);
const QColor kPanelFrame(0xC4, 0xCD, 0xD8);

// The longest the exit waits for the frame being drawn before it closes anyway.
constexpr auto kExitWait = std::chrono::seconds(5);

struct ButtonArt {
    CommandId id;
    const char* picture;
};

constexpr ButtonArt kToolbarArt[] = {
    {CommandId::NewProjectButton, ":/icons/new.svg"},
    {CommandId::OpenProjectButton, ":/icons/open.svg"},
    {CommandId::SaveButton, ":/icons/save.svg"},
    {CommandId::CopyButton, ":/icons/copy.svg"},
    {CommandId::PasteButton, ":/icons/paste.svg"},
    {CommandId::DeleteButton, ":/icons/delete.svg"},
    {CommandId::AppendLinerButton, ":/icons/liner.svg"},
    {CommandId::AppendGuideLineButton, ":/icons/guide.svg"},
    {CommandId::DeleteMotionButton, ":/icons/deletemotion.svg"},
    {CommandId::UndoButton, ":/icons/undo.svg"},
    {CommandId::RedoButton, ":/icons/redo.svg"},
    {CommandId::LayerToFrontButton, ":/icons/tofront.svg"},
    {CommandId::LayerToBackButton, ":/icons/toback.svg"},
    {CommandId::LayerForwardButton, ":/icons/forward.svg"},
    {CommandId::LayerBackwardButton, ":/icons/backward.svg"},
    {CommandId::FirstFrameButton, ":/icons/first.svg"},
    {CommandId::PreviousFrameButton, ":/icons/previous.svg"},
    {CommandId::PreviewButton, ":/icons/play.svg"},
    {CommandId::NextFrameButton, ":/icons/next.svg"},
    {CommandId::LastFrameButton, ":/icons/last.svg"},
    {CommandId::PropertiesButton, ":/icons/properties.svg"},
    {CommandId::ExportMenuButton, ":/icons/export.svg"},
};

QString pictureOf(CommandId id) {
    for (const ButtonArt& art : kToolbarArt)
        if (art.id == id)
            return QString::fromLatin1(art.picture);
    return QString();
}

QString fromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Qt::Edges edgesOf(MainWindowLayout::Zone zone) {
    using Zone = MainWindowLayout::Zone;
    switch (zone) {
    case Zone::Left:
        return Qt::LeftEdge;
    case Zone::Right:
        return Qt::RightEdge;
    case Zone::Top:
        return Qt::TopEdge;
    case Zone::Bottom:
        return Qt::BottomEdge;
    case Zone::TopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case Zone::TopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case Zone::BottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case Zone::BottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return {};
    }
}

Qt::CursorShape cursorOf(MainWindowLayout::Zone zone) {
    using Zone = MainWindowLayout::Zone;
    switch (zone) {
    case Zone::Left:
    case Zone::Right:
        return Qt::SizeHorCursor;
    case Zone::Top:
    case Zone::Bottom:
        return Qt::SizeVerCursor;
    case Zone::TopLeft:
    case Zone::BottomRight:
        return Qt::SizeFDiagCursor;
    case Zone::TopRight:
    case Zone::BottomLeft:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

MainWindow::MainWindow(Application& application, MainWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_application(application),
      m_ownSink(services.sink ? nullptr : std::make_unique<MessageBoxSink>(this)),
      m_ownFiles(services.files ? nullptr : std::make_unique<StandardFileChooser>()),
      m_sink(services.sink ? services.sink : m_ownSink.get()),
      m_files(services.files ? services.files : m_ownFiles.get()),
      m_ownDialogs(services.dialogs
                       ? nullptr
                       : std::make_unique<StandardProjectDialogs>(
                             this, application.folders(), application.texts(), *m_sink, *m_files)),
      m_dialogs(services.dialogs ? services.dialogs : m_ownDialogs.get()), m_editor(m_document),
      m_commands(application.texts()), m_store(application.folders(), *m_sink),
      m_index(application.folders(), application.texts(), *m_sink),
      m_recent(application.folders().recentProjectsFile()),
      m_recovery(application.folders().recoveryFolder()), m_help(services.helpOpener) {
    setWindowTitle(fromBytes(application.texts().text(kTextProductName)));
    setWindowIcon(QIcon(QStringLiteral(":/icons/zentravo.svg")));
    setMinimumSize(MainWindowLayout::kMinimumSize);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);

    m_stage = new StageView(m_editor, this, this);
    StageCanvas& canvas = m_stage->canvas();
    m_editor.setPreviewControl(&canvas);
    // The play button follows the preview's real state, whoever started or stopped it (the
    // worker included: hence queued).
    canvas.setPreviewListener([this] {
        if (QThread::currentThread() == thread())
            showPreviewState(m_stage->canvas().isPlaying());
        else
            QMetaObject::invokeMethod(
                this, [this] { showPreviewState(m_stage->canvas().isPlaying()); },
                Qt::QueuedConnection);
    });
    m_projectCommands = std::make_unique<ProjectCommands>(
        ProjectCommands::Parts{m_editor, m_store, m_index, *m_dialogs, *m_sink, application.texts(),
                               application.folders(), &m_stage->canvas(), &m_recent});
    m_exportCommands = std::make_unique<ExportCommands>(
        ExportCommands::Parts{*m_stage, *m_sink, *m_files, application.texts(), this, this,
                              m_document},
        services.exportAnswers);
    m_library =
        new SymbolLibraryPanel(application.folders(), application.texts(), this, *m_sink, this);
    m_textPanel = new TextPanel(application.texts(), *m_sink, this);
    m_textPanel->setObjectHandler([this](AnimationObject object) {
        m_editor.addTextObject(std::move(object), FontTextMeasurer());
    });
    m_timeline = new TimelinePanel(m_editor, this, this);
    m_motionPanel = new MotionPanel(m_editor, *m_sink, application.texts(), this);
    m_startScreen = new CTavStartDlg(application.folders(), application.texts(), this, this);
    m_symbolEditor = std::make_unique<ModalSymbolEditor>(
        SymbolEditorServices{application.folders(), application.texts(), *m_sink, *m_files}, this);
    createButtons();

    m_editor.subscribe(this);
    m_editor.startUnnamed(application.texts().text(kTextUnnamedProject));
    m_autosave = std::make_unique<Autosave>(m_editor, *m_symbolEditor, m_recovery);
    // An editor closing leaves nothing of its work to keep (saved, or discarded by the user).
    m_symbolEditor->setClosed([this] { m_autosave->saveNow(); });
    qApp->installEventFilter(this);

    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 800);
    resize(std::max(800, std::min(1100, screen.width())),
           std::max(600, std::min(760, screen.height())));
    move(screen.center() - rect().center());
    applyLayout();
}

bool MainWindow::scheduleStartScreen() {
    return m_startScreen->scheduleAtStartup();
}

MainWindow::~MainWindow() {
    m_editor.unsubscribe(this);
    m_stage->canvas().setPreviewListener({});
    qApp->removeEventFilter(this);
    if (m_exitThread.joinable())
        m_exitThread.join();
    // An export and the worker post to this window: they end first.
    m_exportCommands.reset(); // a running export ends before the document goes
    m_stage->worker().stop();
}

void MainWindow::createButtons() {
    for (CommandId id : CommandTable::toolbar()) {
        auto* button = new ImageButton(pictureOf(id), this);
        button->setToolTip(fromBytes(m_commands.tooltip(id, false)));
        connect(button, &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
        m_toolbar.emplace_back(id, button);
    }
    const std::pair<CommandId, const char*> menus[] = {{CommandId::FileMenuButton, "File"},
                                                       {CommandId::EditMenuButton, "Edit"},
                                                       {CommandId::PlayMenuButton, "Play"},
                                                       {CommandId::HelpMenuButton, "Help"}};
    for (std::size_t i = 0; i < 4; ++i) {
        auto* button = new ImageButton(QString(), this);
        button->setText(tr(menus[i].second));
        const CommandId id = menus[i].first;
        connect(button, &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
        m_menuButtons[i] = button;
    }
    m_minimiseButton = new ImageButton(QStringLiteral(":/icons/caption-minimise.svg"), this);
    m_maximiseButton = new ImageButton(QStringLiteral(":/icons/caption-maximise.svg"), this);
    // Under the library: a wide button that places the current symbol, then new and delete.
    const std::pair<CommandId, const char*> library[] = {
        {CommandId::InsertSymbol, ""},
        {CommandId::NewSymbol, ":/icons/new.svg"},
        {CommandId::LibraryCommand, ":/icons/delete.svg"}};
    const char* libraryTips[] = {"Place the selected symbol on the stage", "New Symbol",
                                 "Delete the selected symbols"};
    for (std::size_t i = 0; i < 3; ++i) {
        auto* button = new ImageButton(QString::fromLatin1(library[i].second), this);
        button->setToolTip(tr(libraryTips[i]));
        const CommandId id = library[i].first;
        connect(button, &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
        m_libraryControls[i] = button;
    }
    m_libraryControls[0]->setText(tr("Place on Stage"));
    m_closeButton = new ImageButton(QStringLiteral(":/icons/caption-close.svg"), this);
    connect(m_minimiseButton, &QAbstractButton::clicked, this,
            [this] { runCommand(CommandId::Minimise); });
    connect(m_maximiseButton, &QAbstractButton::clicked, this,
            [this] { runCommand(CommandId::MaximiseRestore); });
    connect(m_closeButton, &QAbstractButton::clicked, this,
            [this] { runCommand(CommandId::ExitButton); });
}

ImageButton* MainWindow::toolbarButton(CommandId id) const {
    for (const auto& [buttonId, button] : m_toolbar)
        if (buttonId == id)
            return button;
    return nullptr;
}

MainWindowLayout MainWindow::layout() const {
    return MainWindowLayout(size(), !m_motionPanelHidden);
}

bool MainWindow::hasLayers() {
    return m_document.lock().project().layerCount() > 0;
}

void MainWindow::applyLayout() {
    const MainWindowLayout geometry = layout();
    m_stage->setGeometry(geometry.stageView());
    m_library->setGeometry(geometry.libraryPanel());
    m_textPanel->setGeometry(geometry.textPanel());
    m_timeline->setGeometry(geometry.timeline());
    m_motionPanel->setGeometry(geometry.motionPanel());
    m_motionPanel->setVisible(geometry.motionPanelShown());
    const auto controls = geometry.libraryControls();
    for (std::size_t i = 0; i < controls.size(); ++i)
        m_libraryControls[i]->setGeometry(controls[i]);
    const auto toolbar = geometry.toolbarButtons();
    for (std::size_t i = 0; i < m_toolbar.size(); ++i)
        m_toolbar[i].second->setGeometry(toolbar[i]);
    const auto menus = geometry.menuButtons();
    for (std::size_t i = 0; i < menus.size(); ++i)
        m_menuButtons[i]->setGeometry(menus[i]);
    m_closeButton->setGeometry(geometry.closeButton());
    m_maximiseButton->setGeometry(geometry.maximiseButton());
    m_minimiseButton->setGeometry(geometry.minimiseButton());
    update();
}

// ---- messages -------------------------------------------------------------------------

void MainWindow::post(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) {
    QMetaObject::invokeMethod(
        this, [this, message, wparam, lparam] { dispatch(message, wparam, lparam); },
        Qt::QueuedConnection);
}

void MainWindow::send(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) {
    dispatch(message, wparam, lparam);
}

// The message table: what the stage worker reports from its thread, and what panels ask of the
// window itself. Edits never come this way: the panels hand them to the command layer.
void MainWindow::dispatch(MainMessage message, std::intptr_t wparam, std::intptr_t lparam) {
    switch (message) {
    case MainMessage::ShowMenu:
        showMenu(static_cast<MenuKind>(lparam) == MenuKind::Object
                     ? m_commands.objectMenu()
                     : m_commands.contextMenu(m_stage->canvas().isPlaying()),
                 QCursor::pos());
        break;
    case MainMessage::ResumePreview:
        // The preview played to its end: frame 0 shows (the play button follows by itself).
        m_editor.goToFrame(0);
        break;
    case MainMessage::CurrentFrame:
        switch (static_cast<FrameNotice>(wparam)) {
        case FrameNotice::Stage:
            m_editor.goToFrame(static_cast<int>(lparam));
            break;
        case FrameNotice::Export:
            m_document.setCurrentFrame(static_cast<int>(lparam));
            m_timeline->showFrame(static_cast<int>(lparam));
            break;
        case FrameNotice::Timeline:
            m_timeline->showFrame(static_cast<int>(lparam));
            break;
        }
        break;
    case MainMessage::OpenSample:
        if (static_cast<SampleRequest>(wparam) == SampleRequest::OpenProject)
            runCommand(CommandId::OpenProject);
        else
            m_projectCommands->chooseAndOpenSample();
        break;
    case MainMessage::EditSymbol:
        runCommand(CommandId::EditSymbol);
        break;
    case MainMessage::ReloadLibrary:
        m_library->reload();
        break;
    case MainMessage::SymbolChosen:
        break; // placing asks the panel for its current symbol instead
    }
}

void MainWindow::documentChanged(DocumentChange change) {
    // The motion panel shows only while the project has layers.
    if (change.has(DocumentChange::Layers | DocumentChange::Replaced) &&
        m_motionPanelHidden == hasLayers()) {
        m_motionPanelHidden = !m_motionPanelHidden;
        applyLayout();
    }
    if (change.has(DocumentChange::Name | DocumentChange::Modified | DocumentChange::Replaced))
        updateCaption();
}

void MainWindow::updateCaption() {
    setWindowTitle(captionText());
    update(layout().captionStrip());
}

QString MainWindow::captionText() {
    std::string name = m_document.lock().project().name();
    if (m_document.isModified())
        name += " *"; // the desktop's sign of unsaved changes
    return fromBytes(m_application.texts().text(kTextProductName)) + QStringLiteral("  -  ") +
           fromBytes(name);
}

// ---- commands -------------------------------------------------------------------------

void MainWindow::runCommand(CommandId id) {
    switch (CommandTable::actionOf(id)) {
    case CommandAction::NewProject:
        m_projectCommands->newProject();
        break;
    case CommandAction::OpenProject:
        m_projectCommands->openProject();
        break;
    case CommandAction::OpenSample:
        post(MainMessage::OpenSample, 0, 0);
        break;
    case CommandAction::Save:
        m_projectCommands->save();
        break;
    case CommandAction::SaveAs:
        m_projectCommands->saveAs();
        break;
    case CommandAction::Copy:
        m_editor.copySelected();
        break;
    case CommandAction::Paste:
        m_editor.paste();
        break;
    case CommandAction::Delete:
        m_editor.deleteSelectedObject();
        break;
    case CommandAction::AppendLiner:
        m_editor.appendMotion(kLinerMotion);
        break;
    case CommandAction::AppendGuideLine:
        m_editor.appendMotion(kGuideLineMotion);
        break;
    case CommandAction::DeleteMotion:
        m_editor.deleteMotion();
        break;
    case CommandAction::Undo:
        m_editor.undo();
        break;
    case CommandAction::Redo:
        m_editor.redo();
        break;
    case CommandAction::LayerToFront:
        m_editor.bringLayerToFront();
        break;
    case CommandAction::LayerToBack:
        m_editor.sendLayerToBack();
        break;
    case CommandAction::LayerForward:
        m_editor.bringLayerForward();
        break;
    case CommandAction::LayerBackward:
        m_editor.sendLayerBackward();
        break;
    case CommandAction::FirstFrame:
    case CommandAction::PreviousFrame:
    case CommandAction::NextFrame:
    case CommandAction::LastFrame:
        frameCommand(CommandTable::actionOf(id));
        break;
    case CommandAction::Preview:
        togglePreview();
        break;
    case CommandAction::Properties:
        m_projectCommands->editProperties();
        break;
    case CommandAction::ExportMenu:
        showMenuUnder(CommandAction::ExportMenu);
        break;
    case CommandAction::Export:
        if (const ExportFormat* format = ExportFormats::byCommand(static_cast<int>(id)))
            m_exportCommands->run(format->kind);
        break;
    case CommandAction::ExportChosen:
        m_exportCommands->runChosen();
        break;
    case CommandAction::Exit:
        exitProgram();
        break;
    case CommandAction::Minimise:
        showMinimized();
        break;
    case CommandAction::MaximiseRestore:
        toggleMaximised();
        break;
    case CommandAction::Help:
        m_help.open(this, *m_sink);
        break;
    case CommandAction::About:
        showAbout();
        break;
    case CommandAction::InsertSymbol:
        m_library->placeCurrentSymbol(m_editor);
        break;
    case CommandAction::EditSymbol:
        m_library->editCurrentSymbol(*m_symbolEditor);
        break;
    case CommandAction::LibraryCommand:
        m_library->deleteSelected();
        break;
    case CommandAction::NewSymbol:
        m_library->newSymbol(*m_symbolEditor);
        break;
    case CommandAction::FileMenu:
    case CommandAction::EditMenu:
    case CommandAction::PlayMenu:
    case CommandAction::HelpMenu:
        showMenuUnder(CommandTable::actionOf(id));
        break;
    case CommandAction::RecentProjects: // a submenu, not a command of its own
    case CommandAction::None:
        break;
    }
}

void MainWindow::frameCommand(CommandAction action) {
    m_stage->canvas().setEditView(false); // a frame command shows the animation, not handles
    switch (action) {
    case CommandAction::FirstFrame:
        m_editor.stepFrame(FrameStep::First);
        break;
    case CommandAction::PreviousFrame:
        m_editor.stepFrame(FrameStep::Previous);
        break;
    case CommandAction::NextFrame:
        m_editor.stepFrame(FrameStep::Next);
        break;
    default:
        m_editor.stepFrame(FrameStep::Last);
        break;
    }
}

void MainWindow::togglePreview() {
    StageCanvas& canvas = m_stage->canvas();
    if (canvas.isPlaying()) {
        canvas.stopPreview();
    } else {
        canvas.setEditView(false); // no handles while the animation plays
        canvas.startPreview();
    }
}

void MainWindow::showPreviewState(bool running) {
    ImageButton* button = toolbarButton(CommandId::PreviewButton);
    button->setPicture(running ? QStringLiteral(":/icons/stop.svg")
                               : QStringLiteral(":/icons/play.svg"));
    button->setToolTip(fromBytes(m_commands.tooltip(CommandId::PreviewButton, running)));
}

bool MainWindow::openProjectFile(const QString& path) {
    return m_projectCommands->openFile(path.toLocal8Bit().toStdString());
}

bool MainWindow::recoverWork(std::int64_t deadLockPid) {
    CrashRecovery recovery(CrashRecovery::Parts{
        m_recovery, *m_autosave, m_editor, *m_sink, [this](SymbolWork work) {
            // Once the start is done: the editor is modal.
            QMetaObject::invokeMethod(
                this,
                [this, work] {
                    // From here the open editor keeps the work; its closing removes the file.
                    m_autosave->setWaitingSymbol(std::nullopt);
                    m_library->editRecovered(*m_symbolEditor, work.editing, work.frames);
                },
                Qt::QueuedConnection);
        }});
    return recovery.offer(deadLockPid);
}

void MainWindow::bringForward() {
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

// ---- menus ----------------------------------------------------------------------------

void MainWindow::showMenu(const std::vector<MenuItem>& items, QPoint globalPosition) {
    if (m_openMenu)
        m_openMenu->close();
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const MenuItem& item : items) {
        if (item.isSeparator()) {
            menu->addSeparator();
            continue;
        }
        if (item.id == CommandId::RecentProjects) {
            fillRecentMenu(menu->addMenu(fromBytes(item.text)));
            continue;
        }
        QAction* action = menu->addAction(fromBytes(item.text));
        action->setEnabled(item.enabled);
        const CommandId id = item.id;
        // Run once the menu has closed, so that a command's own dialogs are not under it.
        connect(action, &QAction::triggered, this, [this, id] {
            QMetaObject::invokeMethod(
                this, [this, id] { runCommand(id); }, Qt::QueuedConnection);
        });
    }
    m_openMenu = menu;
    menu->popup(globalPosition);
}

void MainWindow::fillRecentMenu(QMenu* menu) {
    const std::vector<RecentProjects::Entry> entries = m_recent.entries();
    if (entries.empty())
        menu->addAction(tr("No recent projects"))->setEnabled(false);
    menu->setToolTipsVisible(true);
    const QFontMetrics metrics(menu->font());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QString path = QString::fromLocal8Bit(entries[i].path.c_str());
        // "&1  Name   /folder/of/Name.vrn": the path shortened in its middle when long.
        // One arg() call, so that a "%" in a name is never taken for a place holder.
        QAction* action = menu->addAction(QStringLiteral("&%1  %2   %3")
                                              .arg(QString::number(i + 1), fromBytes(entries[i].name),
                                                   metrics.elidedText(path, Qt::ElideMiddle, 360)));
        action->setToolTip(path);
        action->setEnabled(RecentProjects::exists(entries[i]));
        const std::string file = entries[i].path;
        connect(action, &QAction::triggered, this, [this, file] {
            QMetaObject::invokeMethod(
                this, [this, file] { m_projectCommands->openRecent(file); }, Qt::QueuedConnection);
        });
    }
}

void MainWindow::showMenuUnder(CommandAction which) {
    QWidget* button = nullptr;
    std::vector<MenuItem> items;
    switch (which) {
    case CommandAction::FileMenu:
        button = m_menuButtons[0];
        items = m_commands.fileMenu();
        break;
    case CommandAction::EditMenu:
        button = m_menuButtons[1];
        items = m_commands.editMenu();
        break;
    case CommandAction::PlayMenu:
        button = m_menuButtons[2];
        items = m_commands.playMenu(m_stage->canvas().isPlaying());
        break;
    case CommandAction::HelpMenu:
        button = m_menuButtons[3];
        items = m_commands.helpMenu();
        break;
    default:
        button = toolbarButton(CommandId::ExportMenuButton);
        items = m_commands.exportMenu();
        break;
    }
    showMenu(items, button->mapToGlobal(QPoint(0, button->height())));
    // The button stays pressed while its menu is open.
    if (auto* imageButton = qobject_cast<ImageButton*>(button); imageButton && m_openMenu) {
        imageButton->setCheckable(true);
        imageButton->setChecked(true);
        connect(m_openMenu, &QMenu::aboutToHide, imageButton, [imageButton] {
            imageButton->setChecked(false);
            imageButton->setCheckable(false);
        });
    }
}

// ---- keys -----------------------------------------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
        type == QEvent::MouseButtonRelease) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this)
            forwardToTimeline(event);
    }
    if (event->type() == QEvent::KeyPress) {
        // A key this window handles is consumed where it first arrives, so it never travels on
        // to the parents to be handled twice.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && handleKey(static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::forwardToTimeline(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (event == m_lastMouseEvent && mouse->timestamp() == m_lastMouseTime &&
        event->type() == m_lastMouseType)
        return; // the same event on its way to a parent
    m_lastMouseEvent = event;
    m_lastMouseTime = mouse->timestamp();
    m_lastMouseType = event->type();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton)
            m_timelineDragging = m_timeline->forwardPress(mouse->globalPosition());
        break;
    case QEvent::MouseMove:
        if (m_timelineDragging)
            m_timeline->forwardMove(mouse->globalPosition());
        break;
    default:
        if (mouse->button() == Qt::LeftButton) {
            m_timelineDragging = false;
            m_timeline->forwardRelease();
        }
        break;
    }
}

bool MainWindow::handleKey(QKeyEvent* event) {
    const KeyRouting::Route route = KeyRouting::route(
        event->key(), event->modifiers(), KeyRouting::isTextEntry(QApplication::focusWidget()));
    if (route.kind == KeyRouting::Kind::Command)
        runCommand(route.command);
    return route.kind != KeyRouting::Kind::Pass;
}

// ---- window frame ---------------------------------------------------------------------

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    const MainWindowLayout geometry = layout();
    const QRect strip = geometry.captionStrip();
    QLinearGradient caption(strip.topLeft(), strip.bottomLeft());
    caption.setColorAt(0, kCaptionTop);
    caption.setColorAt(1, kCaptionBottom);
    painter.fillRect(strip, caption);
    painter.setPen(kPanelFrame);
    painter.drawLine(strip.bottomLeft(), strip.bottomRight());
    QSvgRenderer(QStringLiteral(":/icons/zentravo.svg")).render(&painter, QRectF(6, 4, 17, 17));
    painter.setPen(kCaptionText);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    const QString title = captionText();
    painter.drawText(QRect(30, 0, geometry.minimiseButton().left() - 40, 25),
                     Qt::AlignVCenter | Qt::AlignLeft, title);
    painter.setFont(QFont());
    // A thin frame around every panel.
    painter.setPen(kPanelFrame);
    for (const QRect& panel : {geometry.libraryPanel(), geometry.stageView(), geometry.textPanel(),
                               geometry.timeline(), geometry.motionPanel()})
        if (!panel.isEmpty())
            painter.drawRect(panel.adjusted(-1, -1, 0, 0));
    painter.setPen(kPanelFrame);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyLayout();
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !windowHandle()) {
        QWidget::mousePressEvent(event);
        return;
    }
    const MainWindowLayout::Zone zone =
        MainWindowLayout::zoneAt(size(), event->position().toPoint());
    if (zone == MainWindowLayout::Zone::Move)
        windowHandle()->startSystemMove();
    else if (zone != MainWindowLayout::Zone::None && !isMaximized())
        windowHandle()->startSystemResize(edgesOf(zone));
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    const MainWindowLayout::Zone zone =
        MainWindowLayout::zoneAt(size(), event->position().toPoint());
    setCursor(isMaximized() ? Qt::ArrowCursor : cursorOf(zone));
    QWidget::mouseMoveEvent(event);
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        layout().captionStrip().contains(event->position().toPoint()))
        toggleMaximised();
}

void MainWindow::toggleMaximised() {
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange)
        m_maximiseButton->setPicture(isMaximized()
                                         ? QStringLiteral(":/icons/caption-restore.svg")
                                         : QStringLiteral(":/icons/caption-maximise.svg"));
    QWidget::changeEvent(event);
}

// ---- files dropped on the window ------------------------------------------------------

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFiles::kind(event->mimeData()) == FileDrop::Kind::Project)
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = DroppedFiles::paths(event->mimeData());
    if (FileDrop::classify(paths) != FileDrop::Kind::Project) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The save question runs once the drop has been answered, so that the program the file
    // came from is not kept waiting.
    const std::string path = paths.front();
    QMetaObject::invokeMethod(
        this, [this, path] { m_projectCommands->openFile(path); }, Qt::QueuedConnection);
}

// ---- exit -----------------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    event->ignore(); // the exit routine closes the window when it is done
    exitProgram();
}

void MainWindow::exitProgram() {
    if (m_exitThread.joinable())
        return; // already on its way out
    // The library's own step first, then the question about a modified project: a cancelled
    // question, or a save that was cancelled or failed, keeps the program open.
    m_library->beforeExit();
    if (!m_projectCommands->beforeExit())
        return;
    // The preview stops off the UI thread, waiting (a bounded time) for the frame being
    // drawn; the close is then posted back to this window.
    StageCanvas& canvas = m_stage->canvas();
    m_exitThread = std::thread([this, &canvas] {
        canvas.stopPreview();
        const auto deadline = std::chrono::steady_clock::now() + kExitWait;
        while (canvas.isDrawing() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        QMetaObject::invokeMethod(
            this, [this] { finishClose(); }, Qt::QueuedConnection);
    });
}

void MainWindow::finishClose() {
    if (m_exitThread.joinable())
        m_exitThread.join();
    m_closing = true;
    close();
}

// ---- about ----------------------------------------------------------------------------

void MainWindow::showAbout() {
    QMessageBox::about(this, fromBytes(m_application.texts().text(24)),
                       QStringLiteral("<h3>Zentravo %1</h3><p>Animation authoring: styled texts "
                                      "and painted symbols moving along lines and guide lines, "
                                      "exported as GIF, AVI or SWF.</p>")
                           .arg(QStringLiteral(ZENTRAVO_VERSION)));
}
