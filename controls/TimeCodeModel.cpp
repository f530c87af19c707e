#include "controls/TimeCodeModel.h"

#include <algorithm>

namespace {

constexpr QChar separatorAt(int position) {
    return position == 8 ? QChar(u'-') : QChar(u':');
}

} // namespace

TimeCodeModel::TimeCodeModel() = default;

int TimeCodeModel::fieldTop(Field field) const {
    switch (field) {
    case Hours:
        return 23;
    case Minutes:
    case Seconds:
        return 59;
    case Frames:
        break;
    }
    return int(std::min(m_limit, kLargestFrameLimit));
}

int TimeCodeModel::fieldValue(Field field) const {
    const int start = fieldStart(field);
    return digitAt(start) * 10 + digitAt(start + 1);
}

void TimeCodeModel::setField(Field field, int value) {
    const int start = fieldStart(field);
    m_text[start] = QChar(u'0' + value / 10);
    m_text[start + 1] = QChar(u'0' + value % 10);
}

bool TimeCodeModel::setText(const QString& text) {
    if (text.size() != kLength)
        return false;
    for (int position = 0; position < kLength; ++position) {
        const bool separator = position == 2 || position == 5 || position == 8;
        if (separator ? text[position] != separatorAt(position) : !text[position].isDigit())
            return false;
    }
    const QString previous = m_text;
    m_text = text;
    for (Field field : {Hours, Minutes, Seconds, Frames}) {
        if (fieldValue(field) > fieldTop(field)) {
            m_text = previous;
            return false;
        }
    }
    return true;
}

void TimeCodeModel::setFrameLimit(std::uint32_t limit) {
    m_limit = limit;
    // The frames already shown stay within the new limit.
    if (fieldValue(Frames) > fieldTop(Frames))
        setField(Frames, fieldTop(Frames));
}

TimeCodeModel::Field TimeCodeModel::fieldAt(int position) {
    if (position <= 2)
        return Hours;
    if (position <= 5)
        return Minutes;
    if (position <= 8)
        return Seconds;
    return Frames;
}

int TimeCodeModel::fieldStart(Field field) {
    return 3 * int(field);
}

int TimeCodeModel::click(int position) {
    m_active = fieldAt(std::clamp(position, 0, kLength));
    return fieldStart(m_active);
}

bool TimeCodeModel::type(int position, QChar typed) {
    if (position < 0 || position >= kLength || typed < u'0' || typed > u'9')
        return false;
    const int digit = typed.digitValue();
    if (position == 2 || position == 5 || position == 8)
        return true; // the separator stays
    const Field field = fieldAt(position);
    const int top = fieldTop(field);
    const bool tens = position == fieldStart(field);
    if (tens) {
        if (digit > top / 10)
            return false;
        m_text[position] = typed;
        // A tens digit at the top of the range lowers a units digit beyond the top: 2 typed
        // over "19" hours gives 23, never 29.
        if (fieldValue(field) > top)
            setField(field, top);
        return true;
    }
    // The units digit is limited only when the tens digit is at the top of the range, so
    // that with a frame limit of 24 a 15 can be typed as well as spun.
    if (digitAt(position - 1) == top / 10 && digit > top % 10)
        return false;
    m_text[position] = typed;
    return true;
}

void TimeCodeModel::spin(int step) {
    if (step == 0)
        return;
    const int top = fieldTop(m_active);
    const int n = fieldValue(m_active);
    int next = 0;
    if (step > 0)
        next = n >= top ? 0 : n + 1;
    else
        next = n < 1 ? top : n - 1;
    setField(m_active, next);
}
