#include "stage/ui/StageView.h"

#include "document/Document.h"

#include <QPainter>
#include <QResizeEvent>

namespace {

constexpr int kWatchMilliseconds = 10; // well below the shortest frame period (33 ms)

} // namespace

StageView::StageView(Document& document, MessageTarget* target, QWidget* parent)
    : QWidget(parent), m_canvas(document), m_worker(m_canvas, target) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_canvas.setClientSize(size());
    connect(&m_frameWatch, &QTimer::timeout, this, &StageView::repaintIfDrawn);
    m_frameWatch.start(kWatchMilliseconds);
    m_worker.start();
}

StageView::~StageView() {
    m_frameWatch.stop();
    m_worker.stop();
}

void StageView::projectReplaced() {
    m_canvas.stopPreview();
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
    m_canvas.setCurrentFrame(0);
    m_canvas.requestRedraw();
    updateGeometry();
}

QSize StageView::sizeHint() const {
    const int w = static_cast<int>(m_canvas.stageWidth() * m_canvas.zoom()) + 20;
    const int h = static_cast<int>(m_canvas.stageHeight() * m_canvas.zoom()) + 20;
    return QSize(w, h);
}

void StageView::paintEvent(QPaintEvent*) {
    const QImage frame = m_canvas.backBuffer(); // shallow copy taken under the lock
    QPainter painter(this);
    painter.fillRect(rect(), QColor(FrameRenderer::kSurround));
    painter.drawImage(QPoint(0, 0), frame);
}

void StageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!m_canvas.redrawRequested()) {
        m_canvas.setClientSize(event->size());
        m_canvas.requestRedraw();
    }
}

void StageView::repaintIfDrawn() {
    const int draws = m_canvas.drawCount();
    if (draws != m_paintedDraws) {
        m_paintedDraws = draws;
        update();
    }
}
