#include "stage/ui/StageView.h"

#include "document/Document.h"
#include "document/ProjectEditor.h"
#include "stage/ui/StageCursors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

constexpr int kWatchMilliseconds = 10; // well below the shortest frame period (33 ms)
const QColor kOutline(110, 110, 110);

} // namespace

StageView::StageView(ProjectEditor& editor, MessageTarget* target, QWidget* parent)
    : QWidget(parent), m_commands(editor), m_canvas(editor.document()), m_worker(m_canvas, target),
      m_editor(m_canvas, editor, target), m_horizontal(new QScrollBar(Qt::Horizontal, this)),
      m_vertical(new QScrollBar(Qt::Vertical, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    m_canvas.setClientSize(size());
    m_editor.setClientSize(size());
    // The bars' values are the scroll position; their own steps are the scroll codes'.
    m_horizontal->setSingleStep(1);
    m_horizontal->setPageStep(30);
    m_vertical->setSingleStep(1);
    m_vertical->setPageStep(30);
    connect(m_horizontal, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_placingBars)
            m_editor.scrollRequest(Qt::Horizontal, StageEditor::Scroll::ThumbTrack, value);
        update();
    });
    connect(m_vertical, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_placingBars)
            m_editor.scrollRequest(Qt::Vertical, StageEditor::Scroll::ThumbTrack, value);
        update();
    });
    placeScrollBars();
    connect(&m_frameWatch, &QTimer::timeout, this, &StageView::repaintIfDrawn);
    m_frameWatch.start(kWatchMilliseconds);
    m_commands.subscribe(this);
    showHeader();
    m_worker.start();
}

StageView::~StageView() {
    m_commands.unsubscribe(this);
    m_frameWatch.stop();
    m_worker.stop();
}

void StageView::documentChanged(DocumentChange change) {
    if (change.has(DocumentChange::Header | DocumentChange::Replaced))
        showHeader(); // redraws too
    else if (change.has(DocumentChange::Objects | DocumentChange::Selection |
                        DocumentChange::Layers | DocumentChange::CurrentFrame))
        m_canvas.requestRedraw();
}

void StageView::showHeader() {
    int width = 0;
    int height = 0;
    {
        auto lock = m_canvas.document().lock();
        width = lock.project().header.width;
        height = lock.project().header.height;
    }
    m_canvas.setStageSize(width, height);
    m_canvas.loadBackgroundPicture();
    m_canvas.makeViewBackBuffer();
    m_editor.setClientSize(size());
    placeScrollBars();
    m_canvas.requestRedraw();
    updateGeometry();
}

QSize StageView::sizeHint() const {
    const int w = static_cast<int>(m_canvas.stageWidth() * m_canvas.zoom()) + 20;
    const int h = static_cast<int>(m_canvas.stageHeight() * m_canvas.zoom()) + 20;
    return QSize(w, h);
}

void StageView::placeScrollBars() {
    const StageEditor::ScrollBars bars = m_editor.scrollBars();
    m_placingBars = true;
    m_horizontal->setVisible(bars.horizontalRange > 0);
    m_vertical->setVisible(bars.verticalRange > 0);
    if (bars.horizontalRange > 0) {
        m_horizontal->setGeometry(bars.horizontal);
        m_horizontal->setRange(0, bars.horizontalRange - 1);
        m_horizontal->setValue(m_editor.scroll().x());
    }
    if (bars.verticalRange > 0) {
        m_vertical->setGeometry(bars.vertical);
        m_vertical->setRange(0, bars.verticalRange - 1);
        m_vertical->setValue(m_editor.scroll().y());
    }
    m_placingBars = false;
}

void StageView::paintEvent(QPaintEvent*) {
    const QImage frame = m_canvas.backBuffer(); // shallow copy taken under the lock
    QPainter painter(this);
    painter.fillRect(rect(), QColor(FrameRenderer::kSurround));
    const QPoint scroll = m_editor.scroll();
    painter.drawImage(QPoint(0, 0), frame, QRect(scroll, size()));
    if (const std::optional<QSize> outline = m_editor.resizeOutline())
        paintResizeOutline(painter, *outline);
}

// The stage's outline and resize handles at the size being dragged, and the "w * h" read-out
// in white on black with its bottom-right corner at the pointer.
void StageView::paintResizeOutline(QPainter& painter, QSize zoomed) {
    const QPoint scroll = m_editor.scroll();
    const int w = zoomed.width() - scroll.x();
    const int h = zoomed.height() - scroll.y();
    painter.setPen(kOutline);
    painter.drawLine(w + 1, -scroll.y(), w + 1, h + 1);
    painter.drawLine(w + 1, h + 1, -scroll.x(), h + 1);
    for (const QRect& handle : FrameRenderer::resizeHandles(zoomed.width(), zoomed.height()))
        painter.fillRect(handle.translated(-scroll), kOutline);
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    const QRect box(pointer.x() - 60, pointer.y() - 20, 60, 20);
    painter.fillRect(box, Qt::black);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, m_editor.resizeReadout());
}

void StageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Always, also while a redraw is pending: the buffer, the scroll ranges and the bars must
    // fit the new size before the next frame is drawn into it.
    m_canvas.setClientSize(event->size());
    m_editor.setClientSize(event->size());
    placeScrollBars();
    m_canvas.requestRedraw();
}

void StageView::repaintIfDrawn() {
    const int draws = m_canvas.drawCount();
    if (draws != m_paintedDraws) {
        m_paintedDraws = draws;
        placeScrollBars(); // the stage size or the zoom may have changed with the frame
        update();
    }
}

void StageView::showCursor(StageEditor::Cursor cursor) {
    switch (cursor) {
    case StageEditor::Cursor::SizeWE:
        setCursor(Qt::SizeHorCursor);
        break;
    case StageEditor::Cursor::SizeNS:
        setCursor(Qt::SizeVerCursor);
        break;
    case StageEditor::Cursor::SizeNWSE:
        setCursor(Qt::SizeFDiagCursor);
        break;
    case StageEditor::Cursor::SizeNESW:
        setCursor(Qt::SizeBDiagCursor);
        break;
    case StageEditor::Cursor::Rotate:
        setCursor(StageCursors::rotation());
        break;
    case StageEditor::Cursor::Move:
        setCursor(Qt::SizeAllCursor);
        break;
    case StageEditor::Cursor::Arrow:
        unsetCursor();
        break;
    }
}

void StageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_editor.press(event->position().toPoint());
}

void StageView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_editor.mode() == StageEditor::Mode::None) {
        showCursor(m_editor.cursorAt(p));
        return;
    }
    m_editor.move(p);
    if (m_editor.mode() == StageEditor::Mode::Move)
        setCursor(Qt::SizeAllCursor);
    if (m_editor.mode() == StageEditor::Mode::StageResize)
        update(); // the outline and the read-out follow the pointer
}

void StageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const bool resizing = m_editor.mode() == StageEditor::Mode::StageResize;
    m_editor.release(event->position().toPoint());
    if (resizing) {
        placeScrollBars();
        update();
    }
}

void StageView::contextMenuEvent(QContextMenuEvent*) {
    m_editor.contextMenu();
}

void StageView::wheelEvent(QWheelEvent* event) {
    if (isVisible())
        m_editor.wheel(event->angleDelta().y(), m_horizontal->hasFocus());
    placeScrollBars();
    event->accept();
}

void StageView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        m_editor.nudge(-1, 0);
        break;
    case Qt::Key_Right:
        m_editor.nudge(1, 0);
        break;
    case Qt::Key_Up:
        m_editor.nudge(0, -1);
        break;
    case Qt::Key_Down:
        m_editor.nudge(0, 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    setFocus(Qt::OtherFocusReason);
}
