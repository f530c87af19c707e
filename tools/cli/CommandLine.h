#pragma once

#include <string>
#include <string_view>
#include <vector>

// CommandLine: the words after a command's name, split into options and positional arguments.
// An option is `--name VALUE` when the command declares it as taking a value and `--name`
// when it declares it as a flag; any other word starting with "--", and a value option at the
// end of the line, make the line wrong (error() says why). Every command reads its arguments
// through one of these.
class CommandLine {
public:
    struct Options {
        std::vector<std::string_view> valued; // "--loops", "--zoom", ...
        std::vector<std::string_view> flags;  // "--edit-view", ...
    };

    // Reads argv[first..argc).
    CommandLine(int argc, char** argv, int first, const Options& options = {});

    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }
    const std::vector<std::string>& positional() const { return m_positional; }
    std::size_t count() const { return m_positional.size(); }
    const std::string& at(std::size_t index) const { return m_positional.at(index); }

    bool flag(std::string_view name) const;
    // The option's value, or nullptr when it was not given.
    const std::string* value(std::string_view name) const;
    // A given option must be a whole number within low..high; an absent one leaves `value`.
    bool integer(std::string_view name, long low, long high, int& value) const;
    // A given option must be a finite number within low..high; an absent one leaves `value`.
    bool number(std::string_view name, double low, double high, double& value) const;

    // Whole numbers and finite numbers in the forms the commands accept.
    static bool parseInteger(const std::string& text, long low, long high, int& value);
    static bool parseNumber(const std::string& text, double low, double high, double& value);

private:
    std::vector<std::string> m_positional;
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_flags;
    std::string m_error;
};
