#include "import/ui/FrameRangeBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSvgRenderer>

#include <algorithm>

namespace {

const QColor kBackground(234, 235, 237);
const QColor kTick(0x6E, 0x78, 0x84);
const QColor kTickText(0x4A, 0x54, 0x60);
const QColor kChosen(0xC9, 0xDC, 0xF3);
const QColor kLine(0x3B, 0x7F, 0xCF);
const QColor kText(0x33, 0x3B, 0x45);

// Ticks stand above the markers: a long one with the seconds at every whole second (12
// samples), a short one at every sample boundary, on a base line as long as the video.
constexpr int kBaseY = 20;
constexpr int kShortTickTop = 16;
constexpr int kLongTickTop = 12;
constexpr int kLabelTop = 1;
constexpr int kSamplesPerSecond = 12;

// Each 16 x 16 marker picture is centred on its 8 x 8 marker; its stem marks the boundary.
QRect iconRect(const QRect& marker) {
    return marker.adjusted(-4, -4, 4, 4);
}

} // namespace

FrameRangeBar::FrameRangeBar(QWidget* parent)
    : QWidget(parent), m_bar(new QScrollBar(Qt::Horizontal, this)),
      m_startIcon(new QSvgRenderer(QStringLiteral(":/import/icons/range-start.svg"), this)),
      m_endIcon(new QSvgRenderer(QStringLiteral(":/import/icons/range-end.svg"), this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // the sizing cursor over the markers
    m_bar->setSingleStep(FrameRangeModel::kScrollStep);
    m_bar->setPageStep(FrameRangeModel::kScrollStep);
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_syncing && m_model.scrollBy(FrameRangeModel::ThumbTrack, value))
            changed();
    });
    syncScrollBar();
}

void FrameRangeBar::setTotal(int total) {
    m_model.reset(total);
    syncScrollBar();
    update();
}

void FrameRangeBar::syncScrollBar() {
    m_syncing = true;
    m_bar->setGeometry(0, height() - kScrollBarHeight, width(), kScrollBarHeight);
    m_bar->setRange(0, m_model.scrollRange());
    m_bar->setEnabled(m_model.scrollRange() > 0);
    m_bar->setValue(m_model.scroll());
    m_syncing = false;
}

void FrameRangeBar::changed() {
    syncScrollBar();
    update();
    emit rangeChanged();
}

void FrameRangeBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const bool moved = m_model.setClientWidth(width());
    syncScrollBar();
    if (moved)
        changed();
}

void FrameRangeBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    paintTicks(painter);
    paintRange(painter);
}

void FrameRangeBar::paintTicks(QPainter& painter) {
    constexpr int w = FrameRangeModel::kSampleWidth;
    const int first = m_model.firstSample();
    const int visible = std::min(width() / w, m_model.total() - first);
    if (visible <= 0)
        return;
    // The chosen samples, under the ticks.
    painter.fillRect(
        QRect(QPoint(m_model.start() * w, kLongTickTop), QPoint(m_model.end() * w - 1, kBaseY)),
        kChosen);
    painter.setPen(kTick);
    painter.drawLine(0, kBaseY, visible * w, kBaseY);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    painter.setFont(small);
    for (int column = 0; column <= visible; ++column) {
        const int sample = column + first;
        const int x = column * w;
        const bool second = sample % kSamplesPerSecond == 0;
        painter.setPen(kTick);
        painter.drawLine(x, second ? kLongTickTop : kShortTickTop, x, kBaseY);
        if (second) {
            painter.setPen(kTickText);
            painter.drawText(QRect(x + 2, kLabelTop, 40, kLongTickTop - kLabelTop),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("%1s").arg(sample / kSamplesPerSecond));
        }
    }
}

void FrameRangeBar::paintRange(QPainter& painter) {
    const QRect start = m_model.startMarker();
    const QRect end = m_model.endMarker();
    painter.setRenderHint(QPainter::Antialiasing);
    if (end.left() > start.right()) {
        painter.setPen(QPen(kLine, 2));
        painter.drawLine(start.right() + 1, FrameRangeModel::kLineY, end.left(),
                         FrameRangeModel::kLineY);
    }
    m_endIcon->render(&painter, QRectF(iconRect(end)));
    m_startIcon->render(&painter, QRectF(iconRect(start)));
    painter.setFont(font());
    painter.setPen(kText);
    // Right of the start marker; near the right edge it moves left so that it stays readable.
    const int x = start.left();
    QRect text(QPoint(x + 16, 36), QPoint(x + 200, 56));
    const int overhang =
        x + 16 + painter.fontMetrics().horizontalAdvance(m_model.caption()) - width();
    if (overhang > 0)
        text.translate(-std::min(overhang, x + 16), 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, m_model.caption());
}

void FrameRangeBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_model.press(event->position().toPoint());
}

void FrameRangeBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_model.dragging()) {
        if (m_model.move(p.x()))
            changed();
        return;
    }
    if (m_model.hitTest(p) != FrameRangeModel::Marker::None)
        setCursor(Qt::SizeHorCursor);
    else
        unsetCursor();
}

void FrameRangeBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_model.release();
}
