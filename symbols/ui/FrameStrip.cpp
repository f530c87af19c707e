#include "symbols/ui/FrameStrip.h"

#include "controls/DroppedFiles.h"
#include "symbols/SymbolPictureImport.h"

#include <QDragEnterEvent>
#include <QDropEvent>
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
    setAcceptDrops(true);
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
    if (m_model.dragging() && m_model.dropTarget() >= 0)
        paintDropBar(painter, m_model.dropTarget(), m_model.dropSide() == 1);
    if (const int at = m_model.externalDrop(); at >= 0) {
        if (m_frames.count() == 0)
            painter.fillRect(QRect(FrameStripModel::kInsetX, FrameStripModel::kInsetY,
                                   kDropBarWidth,
                                   FrameStripModel::kCell - 2 * FrameStripModel::kInsetY),
                             kDropBar);
        else if (at < m_frames.count())
            paintDropBar(painter, at, false);
        else
            paintDropBar(painter, m_frames.count() - 1, true);
    }
    if (const std::optional<QRect> band = m_model.rubberBand()) {
        painter.setPen(QColor(0, 100, 200));
        painter.setBrush(kRubberBand);
        painter.drawRect(*band);
    }
}

void FrameStrip::paintDropBar(QPainter& painter, int target, bool after) {
    const QRect cell = m_model.cell(target);
    const int x =
        after ? cell.right() + FrameStripModel::kInsetX : cell.left() - FrameStripModel::kInsetX;
    painter.fillRect(QRect(x - kDropBarWidth / 2, cell.top(), kDropBarWidth, cell.height()),
                     kDropBar);
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

// ---- pictures dropped from outside ----------------------------------------------------

void FrameStrip::dragEnterEvent(QDragEnterEvent* event) {
    if (DroppedFiles::kind(event->mimeData()) != FileDrop::Kind::Pictures) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_model.setExternalDrop(m_model.insertionIndex(event->position().toPoint()));
    update();
}

void FrameStrip::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
    m_model.setExternalDrop(m_model.insertionIndex(event->position().toPoint()));
    update();
}

void FrameStrip::dragLeaveEvent(QDragLeaveEvent*) {
    m_model.setExternalDrop(-1);
    update();
}

void FrameStrip::dropEvent(QDropEvent* event) {
    m_model.setExternalDrop(-1);
    const int at = m_model.insertionIndex(event->position().toPoint());
    // Each file's frames in the order of the files, as the picture import adds them; a file
    // that cannot be read is passed over.
    std::vector<QImage> pictures;
    for (const std::string& path : DroppedFiles::paths(event->mimeData()))
        for (QImage& frame : SymbolPictureImport::load(path))
            pictures.push_back(std::move(frame));
    event->acceptProposedAction();
    if (m_model.insertFrames(at, pictures) > 0)
        refresh();
    update();
}
