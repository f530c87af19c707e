#include "export/ui/ProgressPanel.h"

#include "export/ExportProgress.h"
#include "export/ui/ProgressPainter.h"
#include "export/ui/ProgressWindow.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>

ProgressPanel::ProgressPanel(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
    setFixedSize(ProgressWindow::kWidth, ProgressWindow::kHeight);
    m_timer->setInterval(ProgressWindow::kPollMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &ProgressPanel::poll);
}

void ProgressPanel::setPercent(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == m_percent)
        return;
    m_percent = percent;
    update();
}

void ProgressPanel::watch(const ExportProgress* progress) {
    m_progress = progress;
    if (m_progress)
        m_timer->start();
    else
        m_timer->stop();
}

bool ProgressPanel::isWatching() const {
    return m_timer->isActive();
}

void ProgressPanel::poll() {
    setPercent(m_progress->percent);
    if (m_progress->done) {
        watch(nullptr);
        hide();
    }
}

void ProgressPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    ProgressPainter::paint(painter, size(), m_percent);
}
