#pragma once

#include "controls/IntegerRange.h"

#include <QDialog>
#include <QSize>

#include <optional>

class LanguageTable;
class MessageSink;
class QLineEdit;

// FrameSizeDialog: asks for the pixel size of a symbol frame, 10..1000 each way (width checked
// first, a refused value keeps the dialog open with the range prompt). "Add Blank Frame"
// always starts from the size the program remembers for new frames; "Frame Properties" from
// the frame's own size. Caption-less and rounded, with a small close button.
class FrameSizeDialog : public QDialog {
    Q_OBJECT

public:
    enum class Mode { AddBlankFrame, FrameProperties };
    static constexpr IntegerRange kRange{10, 1000};
    static constexpr QSize kInitialRemembered{240, 240};

    // `remembered`: the program's stored frame size (add mode); `frameSize`: the caller's.
    FrameSizeDialog(Mode mode, QSize frameSize, QSize remembered, const LanguageTable& texts,
                    MessageSink* sink = nullptr, QWidget* parent = nullptr);

    // Runs it: the accepted size, or nothing when cancelled.
    static std::optional<QSize> ask(Mode mode, QSize frameSize, QSize remembered,
                                    const LanguageTable& texts, MessageSink* sink,
                                    QWidget* parent);

    QSize frameSize() const { return m_size; }
    QLineEdit& widthEdit() { return *m_width; }
    QLineEdit& heightEdit() { return *m_height; }
    void accept() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MessageSink* m_sink;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QSize m_size;
};
