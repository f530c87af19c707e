#include "controls/ColorPopup.h"

#include "document/ColorRef.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace {

const QColor kBackground(234, 234, 237);
const QColor kFrame(0xDC, 0xDC, 0xDC);
const QColor kRaisedLight(0xFF, 0xFF, 0xFF);
const QColor kRaisedShadow(0x5A, 0x64, 0x70);
const QColor kHighlightFill(0xFF, 0xFF, 0xFF);
const QColor kBoxEdge(0x9A, 0xA0, 0xA8);
const QColor kText(0x33, 0x3B, 0x45);

// A raised frame: light on the top and left edges, shadow on the bottom and right edges.
void drawRaised(QPainter& painter, const QRect& r) {
    painter.setPen(kRaisedLight);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(kRaisedShadow);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

ColorPopup::ColorPopup(std::uint32_t initial, const QString& automaticText, const QString& moreText,
                       QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint),
      m_model(initial, !automaticText.isEmpty(), !moreText.isEmpty()),
      m_automaticText(automaticText), m_moreText(moreText) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    // The menu font, as the entries are measured with it.
    setFont(QGuiApplication::font());
    const QFontMetrics metrics(font());
    m_model.setTextMetrics(
        std::max(metrics.horizontalAdvance(automaticText), metrics.horizontalAdvance(moreText)),
        metrics.height());
    setFixedSize(m_model.size());
}

void ColorPopup::popupAt(QPoint wanted) {
    QScreen* screen = QGuiApplication::screenAt(wanted);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QPoint at =
        screen ? ColorPopupModel::keptOnScreen(wanted, size(), screen->availableGeometry())
               : wanted;
    move(at);
    show();
    setFocus(Qt::PopupFocusReason);
}

void ColorPopup::highlight(int entry) {
    if (!m_model.setHighlight(entry))
        return;
    update();
    emit highlightChanged(m_model.entryColour(entry));
}

void ColorPopup::end(bool ok) {
    if (m_ended)
        return;
    m_ended = true;
    Outcome outcome = ok ? Outcome::Ok : Outcome::Cancel;
    std::uint32_t colour = m_model.initialColour();
    if (ok && m_model.highlight() == ColorPopupModel::kMoreColours)
        outcome = Outcome::MoreColours;
    else if (ok)
        colour = m_model.entryColour(m_model.highlight());
    // Closed first: the colour dialog that may follow must not open under a popup that still
    // holds the mouse.
    close();
    emit ended(outcome, colour);
}

void ColorPopup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kFrame);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const auto& colours = ColorPopupModel::colours();
    for (int box = 0; box < ColorPopupModel::kColourCount; ++box) {
        const QRect cell = m_model.entryRect(box);
        const QRect swatch = cell.adjusted(3, 3, -3, -3);
        if (box == m_model.highlight())
            painter.fillRect(cell.adjusted(1, 1, -1, -1), kHighlightFill);
        painter.fillRect(swatch, ColorRef::toColor(colours[std::size_t(box)].colorRef));
        painter.setPen(kBoxEdge);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        if (box == m_model.highlight())
            drawRaised(painter, cell.adjusted(0, 0, -1, -1));
    }
    painter.setPen(kText);
    for (int entry : {ColorPopupModel::kAutomatic, ColorPopupModel::kMoreColours}) {
        const QRect r = m_model.entryRect(entry);
        if (r.isEmpty())
            continue;
        if (entry == m_model.highlight()) {
            painter.fillRect(r.adjusted(1, 1, -1, -1), kHighlightFill);
            drawRaised(painter, r.adjusted(0, 0, -1, -1));
        }
        painter.setPen(kText);
        const QString& text = entry == ColorPopupModel::kAutomatic ? m_automaticText : m_moreText;
        painter.drawText(r, Qt::AlignCenter, text);
    }
}

void ColorPopup::mouseMoveEvent(QMouseEvent* event) {
    // Off every entry the highlight stays where it was, so a release there chooses what the
    // user last saw highlighted.
    const int entry = m_model.entryAt(event->position().toPoint());
    if (entry != ColorPopupModel::kNone)
        highlight(entry);
}

void ColorPopup::mousePressEvent(QMouseEvent* event) {
    if (!rect().contains(event->position().toPoint()))
        end(false);
}

void ColorPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    if (!rect().contains(p)) {
        end(false);
        return;
    }
    const int entry = m_model.entryAt(p);
    if (entry != ColorPopupModel::kNone)
        highlight(entry);
    end(true);
}

void ColorPopup::keyPressEvent(QKeyEvent* event) {
    using Move = ColorPopupModel::Move;
    auto step = [this](Move direction) {
        if (m_model.move(direction)) {
            update();
            emit highlightChanged(m_model.entryColour(m_model.highlight()));
        }
    };
    switch (event->key()) {
    case Qt::Key_Left:
        step(Move::Left);
        break;
    case Qt::Key_Right:
        step(Move::Right);
        break;
    case Qt::Key_Up:
        step(Move::Up);
        break;
    case Qt::Key_Down:
        step(Move::Down);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        end(true);
        break;
    case Qt::Key_Escape:
        end(false);
        break;
    default:
        event->ignore();
        return;
    }
    event->accept();
}

void ColorPopup::closeEvent(QCloseEvent* event) {
    // Closed from outside (the window system, another popup): a cancel.
    if (!m_ended) {
        m_ended = true;
        emit ended(Outcome::Cancel, m_model.initialColour());
    }
    QWidget::closeEvent(event);
}

bool ColorPopup::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int entry = m_model.entryAt(help->pos());
        if (entry >= 0)
            QToolTip::showText(
                help->globalPos(),
                QString::fromLatin1(ColorPopupModel::colours()[std::size_t(entry)].name), this,
                m_model.entryRect(entry));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
