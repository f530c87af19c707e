#pragma once

#include <QString>

#include <optional>
#include <string>

// IntegerRange: the rule of a ranged number field. Its text is accepted when it is a decimal
// integer (an optional sign, spaces around it allowed) from low to high, both included;
// anything else (empty, letters, a fraction, a number too large for 32 bits) is refused with
// the one prompt of every ranged field.
class IntegerRange {
public:
    constexpr IntegerRange(int low, int high) : m_low(low), m_high(high) {}

    int low() const { return m_low; }
    int high() const { return m_high; }

    // The number in `text`, or nothing when the text is refused.
    std::optional<int> parse(const QString& text) const;
    // "Please enter an integer between <low> and <high>."
    std::string prompt() const;

private:
    int m_low;
    int m_high;
};
