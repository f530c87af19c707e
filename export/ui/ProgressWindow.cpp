#include "export/ui/ProgressWindow.h"

#include "controls/WindowShape.h"
#include "document/LanguageTable.h"
#include "export/ExportProgress.h"
#include "export/ui/ProgressPainter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

// The button in the panel's flat style (the platform's button would stand out of it).
const char* const kButtonStyle = "QPushButton { color: #333b45; background: #f4f6f9;"
                                 " border: 1px solid #9aa6b4; border-radius: 3px; padding: 0; }"
                                 "QPushButton:hover { background: #ffffff; }"
                                 "QPushButton:pressed { background: #dfe5ec; }"
                                 "QPushButton:focus { border-color: #2e6db8; }";

} // namespace

ProgressWindow::ProgressWindow(const ExportProgress& progress, const LanguageTable& texts,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_progress(progress),
      m_timer(new QTimer(this)),
      m_cancel(new QPushButton(QString::fromStdString(texts.text(kTextCancel)), this)) {
    setFixedSize(kWidth, kHeight);
    WindowShape::round(*this, ProgressPainter::kCornerRadius);
    setModal(true);
    m_percent = std::clamp(m_progress.percent.load(), 0, 100);

    m_cancel->setObjectName(QStringLiteral("cancelExport")); // command 10101
    m_cancel->setGeometry(kWidth - 100, 55, 70, 20);
    m_cancel->setStyleSheet(QString::fromLatin1(kButtonStyle));
    m_cancel->setAutoDefault(false); // Enter on the button does not press it either
    connect(m_cancel, &QPushButton::clicked, this, &ProgressWindow::finish);

    m_timer->setInterval(kPollMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &ProgressWindow::poll);
    m_timer->start();
    m_clock.start();
}

QString ProgressWindow::statusText(int written, int frames, qint64 elapsedMs) {
    if (frames <= 0)
        return QString();
    QString text = tr("%1 / %2 frames").arg(written).arg(frames);
    // The pace of a few frames is a fair guess of the rest's.
    if (written >= kFramesBeforeEstimate && written < frames) {
        const qint64 left = elapsedMs * (frames - written) / written;
        text += tr(", about %1 s left").arg((left + 999) / 1000);
    }
    return text;
}

void ProgressWindow::poll() {
    m_percent = std::clamp(m_progress.percent.load(), 0, 100);
    m_status = statusText(m_progress.framesWritten, m_progress.frames, m_clock.elapsed());
    update();
    if (m_progress.done)
        finish();
}

void ProgressWindow::finish() {
    m_timer->stop();
    accept();
}

void ProgressWindow::reject() {
    finish();
}

void ProgressWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ProgressPainter::paint(painter, size(), m_percent);
    if (!m_status.isEmpty()) {
        // Beside the percent, under the bar, left of the button.
        painter.setPen(QColor(0x33, 0x3B, 0x45));
        painter.drawText(QRect(ProgressPainter::kBarLeft + 60, 52, kWidth - 100 - 90, 26),
                         Qt::AlignVCenter | Qt::AlignLeft, m_status);
    }
}

void ProgressWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept(); // consumed: QDialog would close the window
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void ProgressWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    // The window system moves the window where it can (also on Wayland); elsewhere the
    // window follows the mouse itself.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void ProgressWindow::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging)
        move(event->globalPosition().toPoint() - m_dragOffset);
}

void ProgressWindow::mouseReleaseEvent(QMouseEvent*) {
    m_dragging = false;
}

void ProgressWindow::showEvent(QShowEvent* event) {
    // Centred on the parent's window, or on the screen without one.
    const QRect area =
        parentWidget() ? parentWidget()->window()->frameGeometry() : screen()->availableGeometry();
    move(area.center() - rect().center());
    QDialog::showEvent(event);
}
