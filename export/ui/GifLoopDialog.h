#pragma once

#include "controls/IntegerRange.h"
#include "export/GifExporter.h"

#include <QDialog>

#include <optional>

class LanguageTable;
class MessageSink;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

// GifLoopDialog: asks how often an exported GIF plays. It opens on "Repeat Forever" with the
// count field disabled and showing 1; "Repeat Times" enables the field, whose count must be
// 1..1000 when the dialog is confirmed. The result is the export's loop setting: 0 plays
// forever, n plays n times. Below the repeat rows, "Best quality, smaller file" chooses the
// GIF's palette mode: off when the program starts, then as the last confirmed dialog left it.
class GifLoopDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 340;
    static constexpr int kHeight = 170;
    static constexpr IntegerRange kCountRange{1, 1000};

    // `texts` gives the button captions; a refused count is reported through `sink`, or in a
    // message box when it is null.
    explicit GifLoopDialog(const LanguageTable& texts, MessageSink* sink = nullptr,
                           QWidget* parent = nullptr);

    // Runs the dialog: the loop setting, or nothing when the user cancelled. The palette mode
    // chosen with it is rememberedQuality().
    static std::optional<int> ask(QWidget* parent, const LanguageTable& texts,
                                  MessageSink* sink = nullptr);

    // The loop setting once the dialog was confirmed.
    int loopSetting() const { return m_loopSetting; }
    // The palette mode the last confirmed dialog chose (Classic until one chose Best), for
    // the export it starts and as the next dialog's starting choice.
    static GifQuality rememberedQuality() { return s_quality; }

    void accept() override;

private:
    void chooseForever(bool always);

    MessageSink* m_sink;
    QRadioButton* m_forever;
    QRadioButton* m_times;
    QLineEdit* m_count;
    QCheckBox* m_best;
    // The rows of choices; an option added later goes below the two repeat rows.
    QVBoxLayout* m_choices;
    int m_loopSetting = 0;
    static inline GifQuality s_quality = GifQuality::Classic; // for as long as the program runs
};
