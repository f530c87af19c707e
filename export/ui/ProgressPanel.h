#pragma once

#include <QWidget>

struct ExportProgress;
class QTimer;

// ProgressPanel: the modeless twin of the progress window, a child widget of the same size
// and look without a button, for long operations inside another window. Its owner either sets
// the percent directly or lets it poll an ExportProgress every 500 ms; while polling it hides
// itself once the progress is done.
class ProgressPanel : public QWidget {
    Q_OBJECT

public:
    explicit ProgressPanel(QWidget* parent = nullptr);

    int percent() const { return m_percent; }
    void setPercent(int percent);

    // Starts polling `progress` (which must outlive the polling); null stops it.
    void watch(const ExportProgress* progress);
    bool isWatching() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void poll();

    const ExportProgress* m_progress = nullptr;
    QTimer* m_timer;
    int m_percent = 0;
};
