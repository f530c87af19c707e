#include "controls/IntegerRange.h"

std::optional<int> IntegerRange::parse(const QString& text) const {
    bool ok = false;
    // toInt() takes a sign and digits only and fails on overflow, so "1e3", "2.5" and
    // "99999999999" are refused like letters.
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < m_low || value > m_high)
        return std::nullopt;
    return value;
}

std::string IntegerRange::prompt() const {
    return "Please enter an integer between " + std::to_string(m_low) + " and " +
           std::to_string(m_high) + ".";
}
