#pragma once

#include "document/LanguagePack.h"

#include <string>
#include <string_view>
#include <vector>

class ProgramFolders;

// Entry numbers of the language table that the program's logic names.
enum LanguageEntry : int {
    kTextProductName = 0,          // caption of the program's own message boxes
    kTextApply = 9,                // the text panel's Apply button
    kTextAutomaticColour = 15,     // the colour pickers' "Automatic" entry
    kTextNewProject = 25,          // title of the new-project dialog
    kTextOpenProject = 26,         // title of the open-project dialog
    kTextSaveProject = 27,         // title of the project name dialog
    kTextDelete = 29,              // the open-project dialog's Delete button
    kTextAnimationProperties = 36, // title of the project properties dialog
    kTextOk = 44,                  // the confirm button of every dialog
    kTextCancel = 45,              // the cancel button of every dialog and of the progress window
    kTextSaveModified = 51,        // "save the modified project first?"
    kTextSelectProject = 52,
    kTextUnnamedProject = 57,  // placeholder name of an unnamed project
    kTextBadProjectName = 100, // project folder cannot be created
    kTextEnterProjectName = 102,
    kTextProjectExists = 103,
    kTextSelectProjectToDelete = 104,
    kTextConfirmDelete = 105,
    kTextMoreColours = 107,  // the colour pickers' "More Colours..." entry
    kTextCreateSymbol = 114, // the symbol editor's OK button for a new symbol
    kTextFrameRate = 120,    // motion panel labels the panel does not spell out itself
    kTextStartingAngle = 121,
    kTextOpacity = 122,
};

enum class Language {
    English = 0,
    Chinese = 1,
};

// LanguageTable: the user-interface texts by entry number (fields of 260 bytes). At start the
// program writes the enciphered table of the chosen language from its resources as "lang.qld"
// in the data folder and reads the table back from that file; when either step fails it uses
// the built-in English table, so start-up never waits on the file.
class LanguageTable {
public:
    // The built-in English table.
    LanguageTable();
    static LanguageTable builtInEnglish() { return LanguageTable(); }

    // Writes the resource of `language` to folders.languageFile() and reads it back; the
    // built-in English table when that fails.
    static LanguageTable loadAtStart(const ProgramFolders& folders, Language language);
    // The table in an enciphered language file, or nothing when it cannot be read or is damaged.
    static bool readFile(const std::string& path, LanguageTable& table);
    // Writes a resource's bytes to `path` (created or truncated) in one write.
    static bool writeResourceToFile(std::string_view resourcePath, const std::string& path);
    // Resource paths of the two enciphered tables.
    static std::string_view resourcePath(Language language);

    // The text of `entry`; empty for entries the table does not hold.
    std::string text(int entry) const;
    int entryCount() const { return static_cast<int>(m_fields.size()); }
    // True when the texts came from the language file rather than the built-in table.
    bool isFromFile() const { return m_fromFile; }

private:
    std::vector<LanguagePack::Field> m_fields;
    bool m_fromFile = false;
};
