#include "document/ui/TimelinePanel.h"

#include "document/ColorRef.h"
#include "document/Document.h"
#include "document/ProjectEditor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSvgRenderer>
#include <QWheelEvent>

#include <algorithm>
#include <map>
#include <memory>
#include <string>

namespace {

// The panel's colours as the timeline names them (0x00BBGGRR).
constexpr std::uint32_t kHeaderSelected = 0xDCDCDC;
constexpr std::uint32_t kHeaderPlain = 0xBEBEBE;
constexpr std::uint32_t kSpanSelected = 0xF0DCDC;
constexpr std::uint32_t kSpanPlain = 0xD2BEBE;
constexpr std::uint32_t kSpanFrame = 0x5A5A5A;
constexpr std::uint32_t kButtonPressed = 0x323232;
const QColor kRulerBackground(0xF6, 0xF7, 0xF9);
const QColor kRowsBackground(0xFF, 0xFF, 0xFF);
const QColor kRowLine(0xE2, 0xE6, 0xEB);
const QColor kTick(0x5A, 0x66, 0x73);
const QColor kTickPastEnd(0xB4, 0xBC, 0xC6); // frames past the project's end (the ruler is longer)
const QColor kLabelBox(0xE6, 0xEA, 0xF0);
const QColor kCurrentFrame(0xE0, 0x3A, 0x2E);
const QColor kInnerSpan(45, 127, 249, 90);

QColor colour(std::uint32_t colorRef) {
    return ColorRef::toColor(colorRef);
}

// The header buttons' pictures, made once.
QSvgRenderer& picture(const QString& name) {
    static std::map<QString, std::unique_ptr<QSvgRenderer>> pictures;
    std::unique_ptr<QSvgRenderer>& renderer = pictures[name];
    if (!renderer)
        renderer = std::make_unique<QSvgRenderer>(QStringLiteral(":/timeline/%1.svg").arg(name));
    return *renderer;
}

} // namespace

TimelinePanel::TimelinePanel(ProjectEditor& editor, MessageTarget* target, QWidget* parent)
    : QWidget(parent), m_editor(editor), m_model(editor, target),
      m_horizontal(new QScrollBar(Qt::Horizontal, this)),
      m_vertical(new QScrollBar(Qt::Vertical, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    m_horizontal->setSingleStep(TimelineModel::kHorizontalLine);
    m_horizontal->setPageStep(TimelineModel::kHorizontalPage);
    m_vertical->setSingleStep(TimelineModel::kVerticalStep);
    m_vertical->setPageStep(TimelineModel::kVerticalStep);
    connect(m_horizontal, &QScrollBar::valueChanged, this, &TimelinePanel::scrolled);
    connect(m_vertical, &QScrollBar::valueChanged, this, &TimelinePanel::scrolled);
    placeScrollBars();
    m_editor.subscribe(this);
}

TimelinePanel::~TimelinePanel() {
    m_editor.unsubscribe(this);
}

void TimelinePanel::documentChanged(DocumentChange change) {
    // The ruler reaches the end of the longest project of the run (the opened one included).
    if (change.has(DocumentChange::Header | DocumentChange::Replaced))
        m_model.setRulerLength(m_editor.largestDuration());
    refresh();
}

void TimelinePanel::showFrame(int frame) {
    const int x = m_model.frameX(frame);
    const int visibleWidth = width() - TimelineModel::kScrollBar;
    if (x < TimelineModel::kHeaderWidth || x >= visibleWidth) {
        // The playing frame goes to the left of the frame area, a few frames in.
        const int wanted = frame * TimelineModel::kFrameWidth - 3 * TimelineModel::kFrameWidth;
        m_horizontal->setValue(std::clamp(wanted, 0, m_horizontal->maximum()));
    }
    update();
}

void TimelinePanel::setRulerLength(int frames) {
    m_model.setRulerLength(frames);
    refresh();
}

void TimelinePanel::refresh() {
    placeScrollBars();
    update();
}

void TimelinePanel::placeScrollBars() {
    const int bar = TimelineModel::kScrollBar;
    m_model.setViewSize(size());
    m_horizontal->setGeometry(0, height() - bar, std::max(0, width() - bar), bar);
    m_vertical->setGeometry(width() - bar, 0, bar, std::max(0, height() - bar));
    const int layers = m_editor.document().lock().project().layerCount();
    m_horizontal->setRange(0, m_model.maxScrollX());
    m_vertical->setRange(0, m_model.maxScrollY(layers));
}

void TimelinePanel::scrolled() {
    m_model.setScroll(m_horizontal->value(), m_vertical->value());
    update();
}

void TimelinePanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeScrollBars();
}

// ---- painting -------------------------------------------------------------------------

void TimelinePanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintTimeline(painter);
}

void TimelinePanel::paintTimeline(QPainter& painter) {
    painter.fillRect(rect(), kRowsBackground);
    auto lock = m_editor.document().lock();
    const Project& project = lock.project();
    paintRows(painter, project);
    paintRuler(painter, project.header.duration);
    // The current frame: a line from y = 20 down through the rows.
    const int x = m_model.frameX(m_editor.document().currentFrame());
    if (x >= TimelineModel::kHeaderWidth) {
        painter.setPen(QPen(kCurrentFrame, 1));
        painter.drawLine(x, 20, x, height() - TimelineModel::kScrollBar);
        painter.setBrush(kCurrentFrame);
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygon({QPoint(x - 4, 20), QPoint(x + 5, 20), QPoint(x, 25)}));
        painter.setBrush(Qt::NoBrush);
    }
}

void TimelinePanel::paintRuler(QPainter& painter, int duration) {
    const int visibleWidth = width() - TimelineModel::kScrollBar;
    painter.fillRect(QRect(0, 0, width(), TimelineModel::kRulerHeight), kRulerBackground);
    painter.setPen(kRowLine);
    painter.drawLine(0, TimelineModel::kRulerHeight - 1, width(), TimelineModel::kRulerHeight - 1);
    QFont small = painter.font();
    small.setPixelSize(9);
    painter.setFont(small);
    const QFontMetrics metrics(small);
    // Only the frames that can show: from the left edge of the frame area to the visible width.
    const int first = std::max(0, (180 + m_model.scrollX() - TimelineModel::kHeaderWidth) /
                                      TimelineModel::kFrameWidth);
    for (int f = first; f < m_model.rulerLength(); ++f) {
        const int x = m_model.frameX(f);
        if (x > visibleWidth)
            break;
        if (x < 180)
            continue;
        const bool fifth = f % 5 == 0;
        painter.setPen(f < duration ? kTick : kTickPastEnd);
        painter.drawLine(x, 29, x, 29 - (fifth ? 6 : 4));
        if (fifth && f > 0) {
            const QString label = QString::number(f);
            const int textWidth = metrics.horizontalAdvance(label);
            const QRect box(x - textWidth / 2 - 5, 5, textWidth + 10, 15);
            painter.fillRect(box, kLabelBox);
            painter.drawText(box, Qt::AlignCenter, label);
        }
    }
    painter.setFont(QFont());
    painter.fillRect(QRect(0, 0, TimelineModel::kHeaderWidth - 10, TimelineModel::kRulerHeight - 1),
                     kRulerBackground);
}

void TimelinePanel::paintRows(QPainter& painter, const Project& project) {
    const int layers = project.layerCount();
    const int visibleHeight = height() - TimelineModel::kScrollBar;
    const int visibleWidth = width() - TimelineModel::kScrollBar;
    painter.setClipRect(QRect(0, TimelineModel::kRulerHeight, visibleWidth,
                              visibleHeight - TimelineModel::kRulerHeight));
    int first = 0;
    for (int k = 0; k < layers; first += project.layerCounts[std::uint32_t(k)], ++k) {
        const int top = m_model.rowTop(k, layers);
        const int count = project.layerCounts[std::uint32_t(k)];
        if (top >= visibleHeight || top + TimelineModel::kRowHeight <= TimelineModel::kRulerHeight)
            continue; // rows under the ruler or below the visible area are skipped
        const QRect row(0, top, visibleWidth, TimelineModel::kRowHeight);
        painter.setPen(kRowLine);
        painter.drawLine(row.bottomLeft(), row.bottomRight());

        // The spans, clipped to the frame area.
        painter.save();
        painter.setClipRect(QRect(TimelineModel::kHeaderWidth, top, visibleWidth, row.height()),
                            Qt::IntersectClip);
        for (int i = first; i < first + count; ++i) {
            const ObjectRecord& r = project.objects[std::uint32_t(i)].record;
            const QRect outer =
                m_model.outerSpan(r.startFrame, r.endFrame, top).adjusted(0, 2, 0, -2);
            if (outer.right() < TimelineModel::kHeaderWidth || outer.left() > visibleWidth)
                continue;
            painter.setPen(colour(kSpanFrame));
            painter.setBrush(colour(r.selected ? kSpanSelected : kSpanPlain));
            painter.drawRect(outer.adjusted(0, 0, -1, -1));
            if (r.motionKind != kNoMotion) {
                const QRect inner = m_model.outerSpan(r.motionStartFrame, r.motionEndFrame, top)
                                        .adjusted(3, 8, -3, -8);
                painter.fillRect(inner, kInnerSpan);
            }
        }
        painter.restore();

        // The header: selection colour, the three buttons, the name.
        const QRect header(0, top, TimelineModel::kHeaderWidth, TimelineModel::kRowHeight);
        painter.fillRect(
            header.adjusted(0, 0, 0, -1),
            colour(project.layerSelected[std::uint32_t(k)] ? kHeaderSelected : kHeaderPlain));
        const bool visible = project.layerVisible[std::uint32_t(k)] != 0;
        const std::pair<TimelineModel::HeaderButton, QString> buttons[] = {
            {TimelineModel::HeaderButton::Visible, visible ? "visible" : "hidden"},
            {TimelineModel::HeaderButton::Liner, "liner"},
            {TimelineModel::HeaderButton::GuideLine, "guide"}};
        for (const auto& [button, name] : buttons) {
            const QRect box = TimelineModel::headerButton(button, top);
            const bool pressed =
                m_model.pressedButton() == button && m_model.pressedButtonRow() == k;
            if (pressed)
                painter.fillRect(box, colour(kButtonPressed));
            picture(pressed ? name + "-pressed" : name).render(&painter, QRectF(box));
        }
        painter.setPen(Qt::black);
        const QRect nameBox(92, top, TimelineModel::kHeaderWidth - 96, TimelineModel::kRowHeight);
        painter.drawText(
            nameBox, Qt::AlignVCenter | Qt::AlignLeft,
            painter.fontMetrics().elidedText(QString::fromUtf8(project.layerName(k).c_str()),
                                             Qt::ElideRight, nameBox.width()));
    }
    painter.setClipping(false);
}

// ---- input ----------------------------------------------------------------------------

void TimelinePanel::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        m_model.leftPress(p);
    else if (event->button() == Qt::RightButton)
        m_model.rightPress(p);
    refresh();
}

void TimelinePanel::mouseMoveEvent(QMouseEvent* event) {
    if (m_model.drag() != TimelineModel::Drag::None)
        return; // the main window's filter moves the drag
    switch (m_model.dragAt(event->position().toPoint())) {
    case TimelineModel::Drag::None:
        unsetCursor();
        break;
    case TimelineModel::Drag::MoveObject:
    case TimelineModel::Drag::MoveInner:
        setCursor(Qt::SizeAllCursor);
        break;
    default:
        setCursor(Qt::SizeHorCursor);
        break;
    }
}

void TimelinePanel::wheelEvent(QWheelEvent* event) {
    QScrollBar* bar = m_horizontal->hasFocus() ? m_horizontal : m_vertical;
    bar->setValue(
        std::clamp(bar->value() - event->angleDelta().y(), bar->minimum(), bar->maximum()));
    event->accept();
}

bool TimelinePanel::forwardPress(QPointF globalPosition) {
    const bool started = m_model.dragStart(mapFromGlobal(globalPosition).toPoint());
    if (started)
        update();
    return started;
}

void TimelinePanel::forwardMove(QPointF globalPosition) {
    if (m_model.drag() == TimelineModel::Drag::None)
        return;
    m_model.dragMove(mapFromGlobal(globalPosition).toPoint());
    update();
}

void TimelinePanel::forwardRelease() {
    m_model.dragEnd();
    refresh();
}
