#pragma once

#include "controls/TimeCodeModel.h"

#include <QAbstractSpinBox>

// TimeCodeEdit: a one-line edit of a time code "HH:MM:SS-FF" with a spin button beside it.
// A click selects the two digits of the field under it and makes that field active; typed
// digits overwrite in place as TimeCodeModel allows; the arrows (buttons, keys, wheel) step the
// active field with wrap-around. changed() follows every typed digit and every step.
class TimeCodeEdit : public QAbstractSpinBox {
    Q_OBJECT

public:
    static constexpr int kSpinControlId = 10120;

    explicit TimeCodeEdit(QWidget* parent = nullptr);

    const TimeCodeModel& model() const { return m_model; }
    QString timeCode() const { return m_model.text(); }
    // Shows `text` when it is a valid time code; false (and nothing changes) otherwise.
    bool setTimeCode(const QString& text);
    void setFrameLimit(std::uint32_t limit);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& position) const override;

signals:
    void changed();

protected:
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showText(int caret);
    void selectActiveField();

    TimeCodeModel m_model;
};
