#include "dialogs/TemplateGridView.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace {

const QColor kBackground(234, 235, 237);
const QColor kFrame(200, 200, 200);
const QColor kName(0x33, 0x3B, 0x45);

// A flat bar whose handle is darker than its groove: with the default look a handle that
// fills nearly the whole groove reads as a small handle at the bottom, that is, as a grid
// scrolled to its end when it shows its top.
const char* const kScrollBarStyle =
    "QScrollBar:vertical { background: #E1E4E8; width: 12px; margin: 0; }"
    "QScrollBar::handle:vertical { background: #A7B0BB; min-height: 24px; margin: 2px;"
    " border-radius: 4px; }"
    "QScrollBar::handle:vertical:hover { background: #8C95A0; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }";

std::vector<int> frameCounts(const std::vector<TemplatePreview>& previews) {
    std::vector<int> counts;
    for (const TemplatePreview& preview : previews)
        counts.push_back(int(preview.frames.size()));
    return counts;
}

} // namespace

TemplateGridView::TemplateGridView(std::vector<TemplatePreview> previews, QWidget* parent)
    : QWidget(parent), m_previews(std::move(previews)), m_grid(frameCounts(m_previews)),
      m_scrollBar(new QScrollBar(Qt::Vertical, this)), m_timer(new QTimer(this)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scrollBar->setStyleSheet(QString::fromLatin1(kScrollBarStyle));
    m_scrollBar->setSingleStep(TemplateGrid::kScrollStep);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, [this](int value) {
        m_grid.setScrollOffset(value);
        update();
    });
    m_timer->setInterval(kTickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_grid.tick();
        update();
    });
    m_timer->start();
    layoutScrollBar();
}

void TemplateGridView::layoutScrollBar() {
    const int barWidth = m_scrollBar->sizeHint().width();
    const bool shown = m_grid.fitView(size(), barWidth);
    m_scrollBar->setGeometry(width() - barWidth, 0, barWidth, height());
    m_scrollBar->setRange(0, std::max(0, m_grid.scrollRange()));
    m_scrollBar->setPageStep(std::max(1, height()));
    m_scrollBar->setValue(m_grid.scrollOffset());
    m_scrollBar->setVisible(shown);
}

void TemplateGridView::resizeEvent(QResizeEvent*) {
    layoutScrollBar();
}

void TemplateGridView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect client(QPoint(0, 0), m_grid.clientSize());
    for (int index = 0; index < m_grid.count(); ++index) {
        const QRect cell = m_grid.cellRect(index);
        if (!cell.intersects(client))
            continue;
        const TemplatePreview& preview = m_previews[std::size_t(index)];
        const std::vector<QImage>& frames = preview.frames;
        if (!frames.empty()) {
            const QImage& frame = frames[std::size_t(m_grid.currentFrame(index)) % frames.size()];
            // The preview keeps its proportions, centred inside the two-pixel frame of its
            // cell above the name and never enlarged.
            const QRect inside = m_grid.previewRect(index).adjusted(2, 2, -2, 0);
            QSize fitted = frame.size();
            if (fitted.width() > inside.width() || fitted.height() > inside.height())
                fitted.scale(inside.size(), Qt::KeepAspectRatio);
            const QRect target(inside.center() - QPoint(fitted.width() / 2, fitted.height() / 2),
                               fitted);
            painter.drawImage(target, frame);
        }
        const QRect nameArea = m_grid.nameRect(index).adjusted(4, 0, -4, -2);
        painter.setPen(kName);
        painter.drawText(
            nameArea, Qt::AlignCenter,
            painter.fontMetrics().elidedText(preview.name, Qt::ElideRight, nameArea.width()));
        if (m_grid.isFramed(index)) {
            painter.setPen(kFrame);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(cell.adjusted(0, 0, -1, -1));
            painter.drawRect(cell.adjusted(1, 1, -2, -2));
        }
    }
}

void TemplateGridView::mouseMoveEvent(QMouseEvent* event) {
    if (m_grid.setHovered(m_grid.hitTest(event->position().toPoint())))
        update();
}

void TemplateGridView::leaveEvent(QEvent*) {
    if (m_grid.setHovered(-1))
        update();
}

void TemplateGridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int index = m_grid.hitTest(event->position().toPoint());
    if (index >= 0) {
        m_grid.setSelected(index);
        update();
    }
}

void TemplateGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const int index = m_grid.hitTest(event->position().toPoint());
    if (index < 0)
        return;
    m_grid.setSelected(index);
    update();
    emit templateActivated(index);
}

void TemplateGridView::wheelEvent(QWheelEvent* event) {
    if (m_scrollBar->isVisible())
        QCoreApplication::sendEvent(m_scrollBar, event);
}
