#include "symbols/ui/SymbolLibraryPanel.h"

#include "controls/DroppedFiles.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"
#include "document/MessageTarget.h"
#include "document/ProgramFolders.h"
#include "document/ProjectEditor.h"
#include "import/ui/ImportVideoDialog.h"
#include "symbols/FrameLists.h"
#include "symbols/SymbolPictureImport.h"
#include "symbols/SymbolStarterSet.h"
#include "symbols/ui/SymbolEditorLauncher.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

const QColor kBackground(234, 235, 237);
const QColor kSelectionFrame(200, 200, 200);
const QColor kDropBar(100, 100, 100);
const QColor kRubberBand(0, 100, 200, 100);
const QColor kDropHintFrame(0, 100, 200);
const QColor kDropHintFill(0, 100, 200, 40);
constexpr int kDropBarWidth = 3; // the bar fills the inset beside the target's picture
constexpr char kCannotSave[] = "The animation symbol could not be saved in the library folder.";

} // namespace

SymbolLibraryPanel::SymbolLibraryPanel(const ProgramFolders& folders, const LanguageTable& texts,
                                       MessageTarget* target, MessageSink& sink, QWidget* parent)
    : QWidget(parent), m_library(folders.actorsFolder()), m_grid(m_library), m_target(target),
      m_sink(sink), m_texts(texts), m_caption(texts.text(kTextProductName)),
      m_scrollBar(new QScrollBar(Qt::Vertical, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::ArrowCursor);
    setAcceptDrops(true);
    // Scroll-bar arrows and the trough both move the view by one step.
    m_scrollBar->setSingleStep(SymbolLibraryGrid::kScrollStep);
    m_scrollBar->setPageStep(SymbolLibraryGrid::kScrollStep);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        m_grid.setScroll(value);
        update();
    });
    m_animation.setInterval(kThumbnailIntervalMs);
    connect(&m_animation, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    m_animation.start();

    SymbolStarterSet::installIfFirstStart(m_library.folder());
    m_library.load();
    libraryChanged();
}

std::vector<QImage> SymbolLibraryPanel::loadCurrentFrames() const {
    return m_library.loadAllFrames(m_library.currentIndex());
}

bool SymbolLibraryPanel::placeCurrentSymbol(ProjectEditor& editor) {
    const std::optional<SymbolId> id = currentSymbol();
    if (!id) {
        m_sink.show("Please select an animation symbol.", "Zentravo", MessageIcon::Information);
        return false;
    }
    const std::vector<QImage> frames = loadCurrentFrames();
    if (frames.empty()) {
        m_sink.show("The animation symbol cannot be read.", "Error", MessageIcon::Exclamation);
        return false;
    }
    return editor.insertLibrarySymbol(*id, frames);
}

void SymbolLibraryPanel::reload() {
    m_library.load();
    libraryChanged();
}

void SymbolLibraryPanel::beforeExit() {
    if (m_library.orderChanged())
        m_library.saveIndex();
}

bool SymbolLibraryPanel::deleteSelected() {
    if (!m_library.hasSelection())
        return false;
    if (m_sink.show("Are you sure to delete the selected animation symbol?", m_caption,
                    MessageIcon::Information, MessageButtons::YesNo) != MessageAnswer::Yes)
        return false;
    m_library.deleteSelected();
    libraryChanged();
    return true;
}

bool SymbolLibraryPanel::newSymbol(SymbolEditorLauncher& editor) {
    // The editor appends to the index on disk: a reorder made here is written first, so that
    // the reload after it keeps that order.
    if (m_library.orderChanged())
        m_library.saveIndex();
    if (!editor.editNewSymbol(m_library.folder()))
        return false;
    reload();
    m_grid.scrollToEnd();
    selectIndex(m_library.count() - 1);
    return true;
}

bool SymbolLibraryPanel::editCurrentSymbol(SymbolEditorLauncher& editor) {
    const int index = m_library.currentIndex();
    if (index < 0)
        return false;
    const SymbolEntry entry = m_library.at(index);
    if (!editor.editSymbol(m_library.folder(), entry.id, entry.frameCount))
        return false;
    m_library.saveIndex();
    reload();
    selectIndex(index);
    return true;
}

bool SymbolLibraryPanel::editRecovered(SymbolEditorLauncher& editor,
                                       const std::optional<SymbolId>& editing,
                                       const std::vector<QImage>& frames) {
    if (m_library.orderChanged())
        m_library.saveIndex();
    m_library.load();
    // A symbol deleted since the work began is saved as a new one.
    int index = -1;
    for (int i = 0; editing && i < m_library.count(); ++i)
        if (m_library.at(i).id == *editing)
            index = i;
    const std::optional<SymbolId> target = index >= 0 ? editing : std::nullopt;
    const bool saved = editor.editRecovered(m_library.folder(), target, frames);
    reload();
    if (saved)
        selectIndex(index >= 0 ? index : m_library.count() - 1);
    return saved;
}

void SymbolLibraryPanel::selectIndex(int index) {
    if (index < 0 || index >= m_library.count())
        return;
    m_library.selectIndex(index);
    m_grid.ensureVisible(index);
    syncScrollBar();
    update();
}

void SymbolLibraryPanel::libraryChanged() {
    m_grid.libraryChanged();
    syncScrollBar();
    update();
}

void SymbolLibraryPanel::syncScrollBar() {
    const int bar = SymbolLibraryGrid::kScrollBarWidth;
    m_scrollBar->setGeometry(width() - bar, 0, bar, height());
    const QSignalBlocker blocker(m_scrollBar);
    m_scrollBar->setRange(0, m_grid.scrollRange());
    m_scrollBar->setValue(m_grid.scroll());
    m_scrollBar->setVisible(m_grid.scrollBarShown());
}

// ---- files dropped from outside -------------------------------------------------------

bool SymbolLibraryPanel::addSymbol(const std::vector<QImage>& frames) {
    // The index on disk gains the new id at its end: a reorder made here is written first.
    if (m_library.orderChanged())
        m_library.saveIndex();
    if (!SymbolLibrary::addSymbol(m_library.folder(), frames)) {
        m_sink.show(kCannotSave, "Error", MessageIcon::Exclamation);
        return false;
    }
    reload();
    m_grid.scrollToEnd();
    selectIndex(m_library.count() - 1);
    return true;
}

bool SymbolLibraryPanel::addPictures(const std::vector<std::string>& paths) {
    std::vector<QImage> frames;
    for (const std::string& path : paths) {
        const std::vector<QImage> loaded = SymbolPictureImport::load(path);
        if (loaded.empty()) {
            m_sink.show("The picture " + path + " cannot be read.", "Error",
                        MessageIcon::Exclamation);
            return false;
        }
        frames.insert(frames.end(), loaded.begin(), loaded.end());
    }
    return !frames.empty() && addSymbol(frames);
}

bool SymbolLibraryPanel::addVideo(const std::string& path) {
    FrameLists frames;
    ImportVideoDialog::run(QString::fromLocal8Bit(path.c_str()), frames, m_texts, m_sink, this);
    // Frames read before a failed grab are kept, as the symbol editor keeps them.
    return frames.count() > 0 && addSymbol(frames.edited);
}

void SymbolLibraryPanel::dragEnterEvent(QDragEnterEvent* event) {
    const FileDrop::Kind kind = DroppedFiles::kind(event->mimeData());
    if (kind != FileDrop::Kind::Pictures && kind != FileDrop::Kind::Video) {
        event->ignore(); // a project file goes on to the main window
        return;
    }
    event->acceptProposedAction();
    m_dropHover = true;
    update();
}

void SymbolLibraryPanel::dragLeaveEvent(QDragLeaveEvent*) {
    m_dropHover = false;
    update();
}

void SymbolLibraryPanel::dropEvent(QDropEvent* event) {
    m_dropHover = false;
    update();
    const std::vector<std::string> paths = DroppedFiles::paths(event->mimeData());
    const FileDrop::Kind kind = FileDrop::classify(paths);
    if (kind != FileDrop::Kind::Pictures && kind != FileDrop::Kind::Video) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Messages and the video dialog run once the drop has been answered, so that the program
    // the files came from is not kept waiting.
    QMetaObject::invokeMethod(
        this,
        [this, paths, kind] {
            if (kind == FileDrop::Kind::Video)
                addVideo(paths.front());
            else
                addPictures(paths);
        },
        Qt::QueuedConnection);
}

// ---- painting -------------------------------------------------------------------------

void SymbolLibraryPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintLibrary(painter);
}

void SymbolLibraryPanel::paintLibrary(QPainter& painter) {
    painter.fillRect(rect(), kBackground);
    const std::vector<int> visible = m_grid.visibleSymbols();
    const QSize box(SymbolLibraryGrid::kPictureSize, SymbolLibraryGrid::kPictureSize);
    // Every repaint shows each visible symbol's next frame, fitted and centred.
    for (int index : visible) {
        const QImage thumbnail = m_library.nextThumbnail(index, box);
        if (thumbnail.isNull())
            continue;
        const QRect area = m_grid.pictureRect(index);
        painter.drawImage(QPoint(area.left() + (area.width() - thumbnail.width()) / 2,
                                 area.top() + (area.height() - thumbnail.height()) / 2),
                          thumbnail);
    }
    if (m_grid.dragging()) {
        const QRect target = m_grid.pictureRect(m_grid.dropTarget());
        const int x = m_grid.dropAfter() ? target.right() + 1 : target.left() - kDropBarWidth;
        painter.fillRect(QRect(x, target.top(), kDropBarWidth, target.height()), kDropBar);
    }
    painter.setPen(QPen(kSelectionFrame, 1));
    painter.setBrush(Qt::NoBrush);
    for (int index : visible) {
        if (!m_library.at(index).selected)
            continue;
        // One pixel outside the picture area, and again one pixel up and to the left.
        const QRect frame = m_grid.pictureRect(index).adjusted(-1, -1, 0, 0);
        painter.drawRect(frame);
        painter.drawRect(frame.translated(-1, -1));
    }
    if (const std::optional<QRect> band = m_grid.rubberBand())
        painter.fillRect(*band, kRubberBand);
    if (m_dropHover)
        paintDropHint(painter);
}

void SymbolLibraryPanel::paintDropHint(QPainter& painter) {
    const QRect area = rect().adjusted(1, 1, -2, -2);
    painter.fillRect(area, kDropHintFill);
    painter.setPen(QPen(kDropHintFrame, 2, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    painter.setPen(kDropHintFrame);
    painter.drawText(area.adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap,
                     tr("Drop to add a new symbol"));
}

// ---- input ----------------------------------------------------------------------------

void SymbolLibraryPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_grid.setViewSize(size());
    syncScrollBar();
    update();
}

void SymbolLibraryPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    setFocus(Qt::MouseFocusReason);
    const int chosen = m_grid.press(event->position().toPoint());
    if (chosen >= 0 && m_target)
        m_target->post(MainMessage::SymbolChosen, chosen, 0);
    update();
}

void SymbolLibraryPanel::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const int scroll = m_grid.scroll();
    if (m_grid.move(event->position().toPoint())) {
        if (m_grid.scroll() != scroll)
            syncScrollBar();
        update();
    }
}

void SymbolLibraryPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_grid.release();
    update();
}

void SymbolLibraryPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int index = m_grid.doubleClick(event->position().toPoint());
    if (index < 0)
        return;
    update();
    if (m_target)
        m_target->post(MainMessage::EditSymbol, index, 0);
}

void SymbolLibraryPanel::wheelEvent(QWheelEvent* event) {
    if (m_grid.wheel(event->angleDelta().y())) {
        syncScrollBar();
        update();
    }
    event->accept();
}

void SymbolLibraryPanel::keyPressEvent(QKeyEvent* event) {
    bool handled = true;
    switch (event->key()) {
    case Qt::Key_Left:
        m_grid.arrow(SymbolLibraryGrid::Arrow::Left);
        break;
    case Qt::Key_Right:
        m_grid.arrow(SymbolLibraryGrid::Arrow::Right);
        break;
    case Qt::Key_Up:
        m_grid.arrow(SymbolLibraryGrid::Arrow::Up);
        break;
    case Qt::Key_Down:
        m_grid.arrow(SymbolLibraryGrid::Arrow::Down);
        break;
    case Qt::Key_A:
        handled = (event->modifiers() & Qt::ControlModifier) && m_grid.selectAllKey();
        break;
    default:
        handled = false;
    }
    if (!handled) {
        QWidget::keyPressEvent(event);
        return;
    }
    syncScrollBar();
    update();
}
