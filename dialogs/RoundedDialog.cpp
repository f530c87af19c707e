#include "dialogs/RoundedDialog.h"

#include "controls/ImageButton.h"
#include "controls/WindowShape.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace {

const QColor kFaceTop(0xFB, 0xFC, 0xFD);
const QColor kFaceBottom(0xEC, 0xEF, 0xF3);
const QColor kEdge(0x9A, 0xA6, 0xB4);
const QColor kTitle(0x2A, 0x37, 0x47);
const QColor kLabel(0x33, 0x3B, 0x45);

const char* const kButtonStyle = "QPushButton { color: #333b45; background: #f4f6f9;"
                                 " border: 1px solid #9aa6b4; border-radius: 3px; padding: 0 6px; }"
                                 "QPushButton:hover { background: #ffffff; }"
                                 "QPushButton:pressed { background: #dfe5ec; }"
                                 "QPushButton:focus { border-color: #2e6db8; }"
                                 "QPushButton:default { border-color: #2e6db8; }";

} // namespace

RoundedDialog::RoundedDialog(QWidget* parent, QSize size, int cornerRadius)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_radius(cornerRadius),
      m_close(new ImageButton(QString(), this)) {
    m_close->setObjectName(QStringLiteral("close")); // command 10130
    m_close->setText(QStringLiteral("\u2715"));
    m_close->setToolTip(tr("Close"));
    connect(m_close, &ImageButton::clicked, this, &QDialog::reject);
    setDialogSize(size);
}

const QColor& RoundedDialog::labelColour() {
    return kLabel;
}

void RoundedDialog::setDialogSize(QSize size) {
    setFixedSize(size);
    WindowShape::round(*this, m_radius);
    // 16 x 16 at (right - 30, 5), as the main window's caption buttons.
    m_close->setGeometry(size.width() - 30, 5, 16, 16);
    centre();
}

void RoundedDialog::centre() {
    QRect area;
    if (QWidget* owner = parentWidget())
        area = owner->window()->geometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

QPushButton* RoundedDialog::addButton(const QString& text, const QRect& geometry) {
    auto* button = new QPushButton(text, this);
    button->setGeometry(geometry);
    button->setStyleSheet(QString::fromLatin1(kButtonStyle));
    return button;
}

void RoundedDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient face(0, 0, 0, height());
    face.setColorAt(0, kFaceTop);
    face.setColorAt(1, kFaceBottom);
    WindowShape::paintFace(painter, rect(), m_radius, face, kEdge);

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(kTitle);
    painter.drawText(QRect(16, 4, width() - 60, 20), Qt::AlignVCenter | Qt::AlignLeft,
                     windowTitle());
    painter.setFont(font());
    painter.setPen(kLabel);
    paintContents(painter);
}

void RoundedDialog::paintContents(QPainter&) {}

void RoundedDialog::mousePressEvent(QMouseEvent* event) {
    m_dragging = event->button() == Qt::LeftButton;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void RoundedDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}
