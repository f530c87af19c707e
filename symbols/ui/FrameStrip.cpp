#include "symbols/ui/FrameStrip.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

const QColor kSelection(100, 100, 100);
const QColor kDropBar(100, 100, 100, 100);
const QColor kCellBackground(0xF3, 0xF5, 0xF8);
const QColor kRubberBand(0, 100, 200, 100);
constexpr int kDropBarWidth = 4;

} // namespace

FrameStrip::FrameStrip(FrameLists& frames, QWidget* parent)
    : QWidget(parent), m_frames(frames),
      m_model(frames, [this](int index) { emit frameChosen(index); }),
      m_bar(new QScrollBar(Qt::Horizontal, this)) {
    m_model.setAboutToChange([this] { emit framesAboutToChange(); });
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_bar->setSingleStep(FrameStripModel::kCell);
    m_bar->setPageStep(FrameStripModel::kCell);
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_placing)
            return;
        m_model.setScroll(value);
        update();
    });
    placeScrollBar();
}

void FrameStrip::refresh() {
    m_model.refresh();
    placeScrollBar();
    update();
}

void FrameStrip::placeScrollBar() {
    m_placing = true;
    m_model.setClientSize(size());
    const int range = m_model.scrollRange();
    m_bar->setVisible(range > 0);
    m_bar->setGeometry(0, height() - FrameStripModel::kScrollBar, width(),
                       FrameStripModel::kScrollBar);
    m_bar->setRange(0, range);
    m_bar->setValue(m_model.scroll());
    m_placing = false;
}

void FrameStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeScrollBar();
}

void FrameStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    for (int i = 0; i < m_frames.count(); ++i) {
        const QRect cell = m_model.cell(i);
        if (cell.right() < 0)
            continue;
        if (cell.left() >= width())
            break;
        painter.fillRect(cell, kCellBackground);
        const QImage& picture = m_frames.edited[static_cast<std::size_t>(i)];
        if (!picture.isNull()) {
            // The picture fitted into the cell, keeping its shape, never enlarged.
            QSize fitted = picture.size();
            if (fitted.width() > cell.width() - 8 || fitted.height() > cell.height() - 8)
                fitted.scale(cell.size() - QSize(8, 8), Qt::KeepAspectRatio);
            const QRect target(cell.center() - QPoint(fitted.width() / 2, fitted.height() / 2),
                               fitted);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, picture);
        }
        if (m_model.isSelected(i)) {
            painter.setPen(QPen(kSelection, 2));
            painter.drawRect(cell.adjusted(1, 1, -1, -1));
        }
    }
    if (m_model.dragging() && m_model.dropTarget() >= 0) {
        const QRect target = m_model.cell(m_model.dropTarget());
        const int x = m_model.dropSide() == 1 ? target.right() + FrameStripModel::kInsetX
                                              : target.left() - FrameStripModel::kInsetX;
        painter.fillRect(QRect(x - kDropBarWidth / 2, target.top(), kDropBarWidth, target.height()),
                         kDropBar);
    }
    if (const std::optional<QRect> band = m_model.rubberBand()) {
        painter.setPen(QColor(0, 100, 200));
        painter.setBrush(kRubberBand);
        painter.drawRect(*band);
    }
}

void FrameStrip::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton)
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    m_model.press(event->position().toPoint(), modifiers & Qt::ControlModifier,
                  modifiers & Qt::ShiftModifier);
    update();
}

void FrameStrip::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    m_model.move(event->position().toPoint());
    update();
}

void FrameStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_model.release();
    update();
}

void FrameStrip::keyPressEvent(QKeyEvent* event) {
    if (!m_model.key(event->key())) {
        QWidget::keyPressEvent(event);
        return;
    }
    placeScrollBar();
    update();
}

void FrameStrip::wheelEvent(QWheelEvent* event) {
    if (isVisible())
        m_model.wheel(event->angleDelta().y());
    placeScrollBar();
    update();
    event->accept();
}
