#pragma once

#include <QDialog>
#include <QElapsedTimer>
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
    // The line under the bar: frames written of all, and the time left once a few frames
    // tell the pace ("12 / 72 frames, about 5 s left").
    QString statusText() const { return m_status; }
    static QString statusText(int written, int frames, qint64 elapsedMs);
    static constexpr int kFramesBeforeEstimate = 3;
    // Closes the window (accepted): the export ended, or its button was pressed.
    void finish();
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

    const ExportProgress& m_progress;
    QTimer* m_timer;
    QPushButton* m_cancel;
    int m_percent = 0;
    QString m_status;
    QElapsedTimer m_clock; // since the window opened
    // Where a drag grabbed the window, for window systems that do not move it themselves.
    QPoint m_dragOffset;
    bool m_dragging = false;
};
