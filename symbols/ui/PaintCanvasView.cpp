#include "symbols/ui/PaintCanvasView.h"

#include "symbols/CanvasRenderer.h"
#include "symbols/ui/ToolArtwork.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>

PaintCanvasView::PaintCanvasView(const ProgramFolders& folders, QWidget* parent)
    : QWidget(parent), m_canvas(folders), m_horizontal(new QScrollBar(Qt::Horizontal, this)),
      m_vertical(new QScrollBar(Qt::Vertical, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);                       // the cursor changes over a floating selection
    m_horizontal->setFocusPolicy(Qt::ClickFocus); // the wheel follows a focused horizontal bar
    m_vertical->setFocusPolicy(Qt::NoFocus);
    for (QScrollBar* bar : {m_horizontal, m_vertical}) {
        connect(bar, &QScrollBar::actionTriggered, this,
                [this, bar](int action) { scrollAction(bar, action); });
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            m_canvas.viewport().setOffsets(m_horizontal->value(), m_vertical->value());
            update();
        });
    }
    m_canvas.setCallbacks({[this] { emit canvasChanged(); },
                           [this](std::uint32_t color) { emit colorPicked(color); },
                           [this] { viewChanged(); }});
    m_toolCursor = ToolArtwork::cursor(m_canvas.settings().tool);
    setCursor(m_toolCursor);
    resize(sizeHint());
}

QRect PaintCanvasView::clientRect() const {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QRect(0, 0, std::max(0, width() - bar), std::max(0, height() - bar));
}

void PaintCanvasView::setOnionSkin(const QImage& previous, const QImage& next) {
    const bool wasShown = !m_onion.isEmpty();
    m_onion.setNeighbours(previous, next);
    if (wasShown || !m_onion.isEmpty())
        update();
}

void PaintCanvasView::applyToolChange(const ToolSettings& settings) {
    const PaintTool before = m_canvas.settings().tool;
    m_canvas.applyToolChange(settings);
    if (settings.tool != before)
        m_toolCursor = ToolArtwork::cursor(settings.tool);
    m_overFloating = false;
    setCursor(m_toolCursor);
}

// Scroll bar clicks and drags become the bar's notification codes, so that the viewport's steps
// (one pixel a line, thirty a page) apply instead of the bar's own.
void PaintCanvasView::scrollAction(QScrollBar* bar, int action) {
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        code = CanvasViewport::LineBack;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = CanvasViewport::LineForward;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = CanvasViewport::PageBack;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = CanvasViewport::PageForward;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = CanvasViewport::ToStart;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = CanvasViewport::ToEnd;
        break;
    case QAbstractSlider::SliderMove:
        code = CanvasViewport::ThumbTrack;
        break;
    default:
        return;
    }
    CanvasViewport& view = m_canvas.viewport();
    if (bar == m_horizontal) {
        view.scrollHorizontal(code, bar->sliderPosition());
        bar->setSliderPosition(view.horizontalOffset());
    } else {
        view.scrollVertical(code, bar->sliderPosition());
        bar->setSliderPosition(view.verticalOffset());
    }
}

void PaintCanvasView::viewChanged() {
    const CanvasViewport& view = m_canvas.viewport();
    const QSignalBlocker blockHorizontal(m_horizontal);
    const QSignalBlocker blockVertical(m_vertical);
    m_horizontal->setRange(0, view.horizontalRange());
    m_horizontal->setPageStep(std::max(1, view.clientSize().width()));
    m_horizontal->setValue(view.horizontalOffset());
    m_vertical->setRange(0, view.verticalRange());
    m_vertical->setPageStep(std::max(1, view.clientSize().height()));
    m_vertical->setValue(view.verticalOffset());
    update();
}

void PaintCanvasView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QRect client = clientRect();
    m_vertical->setGeometry(client.width(), 0, width() - client.width(), client.height());
    m_horizontal->setGeometry(0, client.height(), client.width(), height() - client.height());
    m_canvas.viewport().setClientSize(client.size());
    viewChanged();
}

void PaintCanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect client = clientRect();
    painter.setClipRect(client);
    CanvasRenderer::paint(painter, m_canvas, event->rect().intersected(client),
                          m_onion.isEmpty() ? nullptr : &m_onion);
    painter.setClipping(false);
    // The corner between the two bars.
    painter.fillRect(QRect(client.bottomRight() + QPoint(1, 1), rect().bottomRight()),
                     palette().window());
}

QPoint PaintCanvasView::toCanvas(const QMouseEvent* event) const {
    return m_canvas.viewport().toCanvas(event->position().toPoint());
}

void PaintCanvasView::mousePressEvent(QMouseEvent* event) {
    if (!clientRect().contains(event->position().toPoint()))
        return; // a press beside the client area is ignored
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton)
        m_canvas.pointer(PointerAction::Press, toCanvas(event));
    else if (event->button() == Qt::RightButton)
        m_canvas.pointer(PointerAction::RightPress, toCanvas(event));
}

void PaintCanvasView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        m_canvas.pointer(PointerAction::Move, toCanvas(event));
    updateCursor(event->position().toPoint());
}

void PaintCanvasView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_canvas.pointer(PointerAction::Release, toCanvas(event));
}

void PaintCanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && clientRect().contains(event->position().toPoint()))
        m_canvas.pointer(PointerAction::DoubleClick, toCanvas(event));
}

void PaintCanvasView::wheelEvent(QWheelEvent* event) {
    m_canvas.viewport().wheel(event->angleDelta().y(), m_horizontal->hasFocus());
    viewChanged();
    event->accept();
}

void PaintCanvasView::keyPressEvent(QKeyEvent* event) {
    int dx = 0;
    int dy = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dx = -1;
        break;
    case Qt::Key_Right:
        dx = 1;
        break;
    case Qt::Key_Up:
        dy = -1;
        break;
    case Qt::Key_Down:
        dy = 1;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (!m_canvas.moveFloatingSelection(dx, dy))
        QWidget::keyPressEvent(event);
}

void PaintCanvasView::updateCursor(QPoint client) {
    const bool over = m_canvas.isOverFloatingSelection(m_canvas.viewport().toCanvas(client));
    if (over == m_overFloating)
        return;
    m_overFloating = over;
    setCursor(over ? QCursor(Qt::SizeAllCursor) : m_toolCursor);
}
