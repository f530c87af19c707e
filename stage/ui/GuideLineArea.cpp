#include "stage/ui/GuideLineArea.h"

#include "document/ColorRef.h"
#include "document/Document.h"
#include "document/ProjectEditor.h"
#include "stage/ui/StageCursors.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr std::uint32_t kPointEdge = 0xFF0000; // blue, as 0x00BBGGRR

} // namespace

GuideLineArea::GuideLineArea(ProjectEditor& editor, int objectIndex, QSize stageSize,
                             QWidget* parent)
    : QWidget(parent), m_editor(editor), m_objectIndex(objectIndex) {
    setFixedSize(stageSize.width() + 2 * kMargin, stageSize.height() + 2 * kMargin);
    setCursor(StageCursors::guideLine());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int GuideLineArea::pointCount() const {
    auto lock = m_editor.document().lock();
    const Project& project = lock.project();
    if (m_objectIndex < 0 || m_objectIndex >= project.objectCount())
        return 0;
    return static_cast<int>(project.objects[std::uint32_t(m_objectIndex)].guidePoints.count());
}

void GuideLineArea::clear() {
    m_editor.editObject(m_objectIndex, [](AnimationObject& object) {
        object.guidePoints.clear();
        object.record.guidePointCount = 0;
    });
    update();
}

void GuideLineArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // Where the stage lies inside the margin.
    painter.setPen(QPen(QColor(0xC4, 0xCD, 0xD8), 1, Qt::DashLine));
    painter.drawRect(rect().adjusted(kMargin, kMargin, -kMargin - 1, -kMargin - 1));
    auto lock = m_editor.document().lock();
    const Project& project = lock.project();
    if (m_objectIndex < 0 || m_objectIndex >= project.objectCount())
        return;
    const BlockList<GuidePoint>& points = project.objects[std::uint32_t(m_objectIndex)].guidePoints;
    QPoint previous;
    bool first = true;
    for (const GuidePoint& point : points) {
        const QPoint at(point.x + kMargin, point.y + kMargin);
        if (!first) {
            painter.setPen(Qt::black);
            painter.drawLine(previous, at);
        }
        painter.setPen(ColorRef::toColor(kPointEdge));
        painter.drawRect(at.x(), at.y(), 1, 1); // a 2 x 2 square's edge
        previous = at;
        first = false;
    }
}

void GuideLineArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !m_held)
        m_held = m_editor.beginObjectDrag(m_objectIndex);
}

void GuideLineArea::mouseMoveEvent(QMouseEvent* event) {
    if (!m_held)
        return;
    const QPoint p = event->position().toPoint();
    const GuidePoint point{p.x() - kMargin, p.y() - kMargin};
    std::optional<AnimationObject> object = m_editor.objectCopy(m_objectIndex);
    if (!object)
        return;
    const std::uint32_t count = object->guidePoints.count();
    if (count > 0 && object->guidePoints[count - 1] == point)
        return;
    object->guidePoints.append(point);
    object->record.guidePointCount = static_cast<std::int32_t>(object->guidePoints.count());
    m_editor.dragObject(*object);
    update();
}

void GuideLineArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        endStroke();
}

void GuideLineArea::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    endStroke(); // the dialog closed with the button still held
}

void GuideLineArea::endStroke() {
    if (!m_held)
        return;
    m_held = false;
    m_editor.commitObjectDrag(); // one undo step when the stroke added points
}
