#pragma once

#include <QString>

// FileFilter: file-type filters as the program writes them, "desc|pattern|desc|pattern||"
// (patterns separated by ';'), turned into the "desc (pattern);;desc (pattern)" form of the
// file dialogs (patterns separated by spaces). A description that already shows its patterns
// in brackets, as in "(*.gif)|*.gif||", does not show them twice.
class FileFilter {
public:
    static QString toQt(const QString& filter);
};
