#pragma once

#include <QDialog>
#include <QPoint>

struct ExportProgress;
class LanguageTable;
class QPushButton;
class QTimer;

// ProgressWindow: the modal window that watches a running export. Every 500 ms it reads the
// export's progress, shows the percent, and closes itself (accepted) once the export is done.
// Its one button (the language table's "Cancel") closes it at once, also accepted, while the
// export still runs: the caller then sees the export running and cancels it. Enter and Esc do
// nothing; a press anywhere drags the caption-less window.
//
//     ProgressWindow window(pipeline.progress(), texts, this);
//     window.exec();
//     if (pipeline.isRunning()) canceller.cancel(pipeline); else pipeline.reportOutcome();
class ProgressWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 419;
    static constexpr int kHeight = 88;
    static constexpr int kPollMilliseconds = 500;
    static constexpr int kCancelCommand = 10101;

    // `progress` must outlive the window; it is only read.
    ProgressWindow(const ExportProgress& progress, const LanguageTable& texts,
                   QWidget* parent = nullptr);

    // The percent shown, as read at the last poll.
    int percent() const { return m_percent; }
    QPushButton* cancelButton() const { return m_cancel; }

    // A close request from the window system counts as the button: the export is cancelled
    // rather than left running without a window.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void poll();
    void finish();

    const ExportProgress& m_progress;
    QTimer* m_timer;
    QPushButton* m_cancel;
    int m_percent = 0;
    // Where a drag grabbed the window, for window systems that do not move it themselves.
    QPoint m_dragOffset;
    bool m_dragging = false;
};
