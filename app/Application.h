#pragma once

#include "document/LanguageTable.h"
#include "document/ProgramFolders.h"

#include <QSize>

// Application: what the program keeps for its whole run beside the main window: its folders,
// the language table (written out as "lang.qld" and read back at start), and the values
// remembered between dialogs while it runs.
class Application {
public:
    explicit Application(ProgramFolders folders, Language language = Language::English);

    const ProgramFolders& folders() const { return m_folders; }
    const LanguageTable& texts() const { return m_texts; }
    Language language() const { return m_language; }

    // The size a new blank symbol frame starts from; 240 x 240 at start.
    QSize symbolFrameSize() const { return m_symbolFrameSize; }
    void setSymbolFrameSize(QSize size) { m_symbolFrameSize = size; }

private:
    ProgramFolders m_folders;
    Language m_language;
    LanguageTable m_texts;
    QSize m_symbolFrameSize{240, 240};
};
