#pragma once

#include "import/FrameRangeModel.h"
#include "import/VideoFrameSource.h"

#include <QDialog>
#include <QImage>
#include <QString>

class FrameRangeBar;
class LanguageTable;
class MessageSink;
class ProgressPanel;
class QAbstractButton;
class QPushButton;
struct FrameLists;

// ImportVideoDialog: picks a range of a video's samples (12 a second) on a ruler, shows the
// first and the last picture of the range, and on OK appends the range's pictures (upright,
// ARGB32, the video's size) to the symbol editor's frame lists. The import stops at the first
// picture that cannot be read; the frames appended until then stay, and a message says how
// many of the range's frames were read. Caption-less and rounded, with a small close button.
//
//     if (ImportVideoDialog::run(path, frames, texts, sink, this)) strip->refresh();
class ImportVideoDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 550;
    static constexpr int kHeight = 420;

    // `frames` receives the imported frames and must outlive the dialog; failures to open the
    // video are reported through `sink`.
    ImportVideoDialog(const QString& path, FrameLists& frames, const LanguageTable& texts,
                      MessageSink& sink, QWidget* parent = nullptr);

    // Opens the video (either reader) and sets up the ruler and the previews. On failure shows
    // "Can not load this video file." and returns false; the dialog should then not be shown.
    bool load();
    // Loads and runs the dialog: true when the user confirmed and the import ran.
    static bool run(const QString& path, FrameLists& frames, const LanguageTable& texts,
                    MessageSink& sink, QWidget* parent = nullptr);

    const FrameRangeModel& model() const;
    FrameRangeBar* ruler() const { return m_ruler; }
    // The previews: the pictures of the range's first and last sample (null before load()).
    const QImage& startPicture() const { return m_startPicture; }
    const QImage& endPicture() const { return m_endPicture; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    // Percent of the range imported so far.
    int progress() const { return m_progress; }

    // OK: imports the chosen range, then closes the dialog (accepted).
    void accept() override;
    // Ignored while an import runs.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void refreshPreviews();
    void importRange();
    QRect previewBox(int which) const;

    QString m_path;
    FrameLists& m_frames;
    MessageSink& m_sink;
    VideoFrameSource m_video;
    FrameRangeBar* m_ruler;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QAbstractButton* m_close;
    ProgressPanel* m_progressPanel;
    QImage m_startPicture;
    QImage m_endPicture;
    // The video samples the previews show, -1 for none yet.
    int m_startSample = -1;
    int m_endSample = -1;
    int m_progress = 0;
    bool m_loaded = false;
    bool m_importing = false;
};
