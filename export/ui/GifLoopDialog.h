#pragma once

#include "controls/IntegerRange.h"

#include <QDialog>

#include <optional>

class LanguageTable;
class MessageSink;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

// GifLoopDialog: asks how often an exported GIF plays. It opens on "Repeat Forever" with the
// count field disabled and showing 1; "Repeat Times" enables the field, whose count must be
// 1..1000 when the dialog is confirmed. The result is the export's loop setting: 0 plays
// forever, n plays n times.
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

    // Runs the dialog: the loop setting, or nothing when the user cancelled.
    static std::optional<int> ask(QWidget* parent, const LanguageTable& texts,
                                  MessageSink* sink = nullptr);

    // The loop setting once the dialog was confirmed.
    int loopSetting() const { return m_loopSetting; }

    void accept() override;

private:
    void chooseForever(bool always);

    MessageSink* m_sink;
    QRadioButton* m_forever;
    QRadioButton* m_times;
    QLineEdit* m_count;
    // The rows of choices; an option added later goes below the two repeat rows.
    QVBoxLayout* m_choices;
    int m_loopSetting = 0;
};
