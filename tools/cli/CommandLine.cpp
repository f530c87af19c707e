#include "tools/cli/CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

CommandLine::CommandLine(int argc, char** argv, int first, const Options& options) {
    auto declared = [](const std::vector<std::string_view>& names, std::string_view word) {
        return std::find(names.begin(), names.end(), word) != names.end();
    };
    for (int i = first; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word.size() < 3 || word.substr(0, 2) != "--") {
            m_positional.emplace_back(word);
        } else if (declared(options.flags, word)) {
            m_flags.emplace_back(word);
        } else if (declared(options.valued, word)) {
            if (i + 1 >= argc) {
                m_error = std::string(word) + " needs a value";
                return;
            }
            m_values.emplace_back(std::string(word), argv[++i]);
        } else {
            m_error = "unknown option " + std::string(word);
            return;
        }
    }
}

bool CommandLine::flag(std::string_view name) const {
    return std::find(m_flags.begin(), m_flags.end(), name) != m_flags.end();
}

const std::string* CommandLine::value(std::string_view name) const {
    const std::string* found = nullptr; // the last one given wins
    for (const auto& [option, text] : m_values)
        if (option == name)
            found = &text;
    return found;
}

bool CommandLine::integer(std::string_view name, long low, long high, int& value) const {
    const std::string* text = this->value(name);
    return !text || parseInteger(*text, low, high, value);
}

bool CommandLine::number(std::string_view name, double low, double high, double& value) const {
    const std::string* text = this->value(name);
    return !text || parseNumber(*text, low, high, value);
}

bool CommandLine::parseInteger(const std::string& text, long low, long high, int& value) {
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool CommandLine::parseNumber(const std::string& text, double low, double high, double& value) {
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(parsed) || parsed < low ||
        parsed > high)
        return false;
    value = parsed;
    return true;
}
