#include "controls/CTavColorPicker.h"

#include "document/ColorRef.h"

#include <QColorDialog>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kFace(0xF4, 0xF6, 0xF9);
const QColor kFaceHover(0xFF, 0xFF, 0xFF);
const QColor kFacePressed(0xDF, 0xE5, 0xEC);
const QColor kEdge(0x9A, 0xA6, 0xB4);
const QColor kFocusEdge(0x2E, 0x6D, 0xB8);
const QColor kArrow(0x4A, 0x55, 0x63);

} // namespace

CTavColorPicker::CTavColorPicker(QWidget* parent, int controlId)
    : QAbstractButton(parent), m_controlId(controlId),
      m_background(ColorRef::fromColor(palette().color(QPalette::Button))),
      m_text(ColorRef::fromColor(palette().color(QPalette::ButtonText))) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, &CTavColorPicker::dropDown);
}

std::uint32_t CTavColorPicker::color() const {
    return m_mode == kEditsTextColour ? m_text : m_background;
}

void CTavColorPicker::setColor(std::uint32_t color) {
    if (m_mode == kEditsTextColour)
        m_text = color;
    else
        m_background = color;
    update();
}

void CTavColorPicker::setBackgroundColor(std::uint32_t color) {
    m_background = color;
    update();
}

void CTavColorPicker::setTextColor(std::uint32_t color) {
    m_text = color;
    update();
}

void CTavColorPicker::setEntryTexts(const QString& automatic, const QString& moreColours) {
    m_automaticText = automatic;
    m_moreText = moreColours;
}

void CTavColorPicker::setSelectionMode(int mode) {
    m_mode = mode;
    update();
}

void CTavColorPicker::dropDown() {
    if (m_popup)
        return;
    m_active = true;
    m_initial = color();
    m_popup = new ColorPopup(m_initial, m_automaticText, m_moreText, this);
    connect(m_popup, &ColorPopup::highlightChanged, this, &CTavColorPicker::popupHighlighted);
    connect(m_popup, &ColorPopup::ended, this, &CTavColorPicker::popupEnded);
    m_popup->popupAt(mapToGlobal(rect().bottomLeft() + QPoint(0, 1)));
    emit notified(DropDown, m_initial, m_controlId);
}

void CTavColorPicker::popupHighlighted(quint32 color) {
    if (m_track)
        setColor(color);
    emit notified(SelectionChanged, color, m_controlId);
}

void CTavColorPicker::popupEnded(ColorPopup::Outcome outcome, quint32 color) {
    m_popup = nullptr; // it deletes itself
    if (outcome == ColorPopup::Outcome::Cancel) {
        finishCancel();
        return;
    }
    if (outcome == ColorPopup::Outcome::MoreColours) {
        const std::optional<std::uint32_t> chosen = askColourDialog(m_initial);
        if (!chosen) {
            finishCancel();
            return;
        }
        color = *chosen;
    }
    finishOk(color);
}

void CTavColorPicker::finishOk(std::uint32_t color) {
    m_active = false;
    const std::uint32_t old = this->color();
    setColor(color);
    emit notified(CloseUp, color, m_controlId);
    emit notified(SelectionEndOk, color, m_controlId);
    if (color != old)
        emit notified(SelectionChanged, color, m_controlId);
}

void CTavColorPicker::finishCancel() {
    m_active = false;
    setColor(m_initial);
    emit notified(CloseUp, m_initial, m_controlId);
    emit notified(SelectionEndCancel, m_initial, m_controlId);
}

std::optional<std::uint32_t> CTavColorPicker::askColourDialog(std::uint32_t initial) {
    QColorDialog dialog(ColorRef::toColor(initial), window());
    dialog.setWindowTitle(m_moreText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ColorRef::fromColor(dialog.selectedColor());
}

QSize CTavColorPicker::sizeHint() const {
    return QSize(80, 22);
}

void CTavColorPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor face = kFace;
    if (isDown() || m_active)
        face = kFacePressed;
    else if (underMouse() && isEnabled())
        face = kFaceHover;
    painter.setPen(hasFocus() ? kFocusEdge : kEdge);
    painter.setBrush(face);
    painter.drawRoundedRect(box, 3, 3);

    // The swatch fills the button but for the drop-down arrow's strip on the right.
    const int arrowWidth = std::min(14, width() / 3);
    const QRectF swatch(4, 4, std::max(0, width() - 8 - arrowWidth), std::max(0, height() - 8));
    painter.setPen(kEdge);
    painter.setBrush(ColorRef::toColor(color()));
    painter.drawRect(swatch);

    const qreal cx = width() - 4 - arrowWidth / 2.0;
    const qreal cy = height() / 2.0;
    QPainterPath arrow;
    arrow.moveTo(cx - 4, cy - 2);
    arrow.lineTo(cx + 4, cy - 2);
    arrow.lineTo(cx, cy + 2.5);
    arrow.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? kArrow : kEdge);
    painter.drawPath(arrow);
}
