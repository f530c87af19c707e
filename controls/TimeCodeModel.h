#pragma once

#include <QString>

#include <cstdint>

// TimeCodeModel: the typing and spinning rules of the time-code edit, without a window. The
// text is always 11 characters "HH:MM:SS-FF" (positions 0-1 hours, 3-4 minutes, 6-7 seconds,
// 9-10 frames); typing overwrites one digit in place, each field is limited to its range
// (hours 0..23, minutes and seconds 0..59, frames 0..frame limit), and a spin steps the
// active field with wrap-around.
class TimeCodeModel {
public:
    enum Field { Hours = 0, Minutes = 1, Seconds = 2, Frames = 3 };
    static constexpr int kLength = 11;
    // Two digits hold at most 99 frames; a larger limit counts as 99.
    static constexpr std::uint32_t kLargestFrameLimit = 99;

    // "00:00:00-00", hours active, frame limit 99 until the owner sets its own.
    TimeCodeModel();

    const QString& text() const { return m_text; }
    // Takes `text` when it has the pattern with every field within its range; false otherwise
    // (the text stays as it was).
    bool setText(const QString& text);
    void setFrameLimit(std::uint32_t limit);
    std::uint32_t frameLimit() const { return m_limit; }
    Field activeField() const { return m_active; }
    int fieldValue(Field field) const;

    // The field a character position belongs to: 0-2 hours, 3-5 minutes, 6-8 seconds, 9-10
    // frames (a separator goes with the field before it).
    static Field fieldAt(int position);
    // The position of a field's first digit.
    static int fieldStart(Field field);
    // A click at `position` makes its field active; returns the field's first position, where
    // the edit selects the field's two digits.
    int click(int position);

    // A character typed at `position`. Digits only; separator positions take any digit and
    // keep their separator. True when the position was written (the caret moves past it).
    bool type(int position, QChar typed);
    // One step of the active field: +1 up, -1 down, wrapping from the top of the range to 0 and
    // from 0 to the top.
    void spin(int step);

private:
    int fieldTop(Field field) const;
    void setField(Field field, int value);
    int digitAt(int position) const { return m_text[position].digitValue(); }

    QString m_text = QStringLiteral("00:00:00-00");
    std::uint32_t m_limit = kLargestFrameLimit;
    Field m_active = Hours;
};
