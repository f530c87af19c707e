#pragma once

#include "document/LoadedProject.h"
#include "document/SymbolId.h"

#include <QDateTime>
#include <QImage>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class EmbeddedSymbolList;
class Project;

// The symbol editor's open work: its frames as edited, and the library symbol they are to
// replace (none for a new symbol).
struct SymbolWork {
    std::optional<SymbolId> editing;
    std::vector<QImage> frames;
};

// WorkRecovery: what a run of the program autosaves so that a crash loses little: a copy of
// the modified project, the symbol editor's open work, and a note of who wrote them and when,
// in a folder of the run's own under the recovery folder. The run removes its folder when it
// ends cleanly; a later run offers the folders whose writer is gone. It lives beside the symbol
// files because it writes both kinds of file; it never touches the project's own file.
//
// A run's folder, "<pid>-<start time in ms>/":
//   work.info    text lines "pid=<n>", "host=<name>", "saved=<UTC time, ISO 8601>", and,
//                while symbol.sbl is kept, "symbol=new" or "symbol=<32 hex digits>"
//   project.vrn  the project exactly as a save writes it (kept while it is modified)
//   symbol.sbl   the symbol editor's frames as a symbol file (kept while it has changes)
// work.info is written first, then the parts; every file goes through a temporary file that is
// renamed over it, so a crash while writing leaves the previous version whole.
class WorkRecovery {
public:
    // The run that writes a folder: its process id and its machine.
    struct Writer {
        std::int64_t pid = 0;
        std::string host;
    };
    // What a folder holds, read back.
    struct Recovered {
        enum class State {
            Readable, // at least one part, every part whole
            Damaged,  // a part or the note cannot be read
            Empty,    // neither part: nothing to restore
        };
        State state = State::Empty;
        QDateTime saved; // UTC; invalid when the note is damaged
        std::optional<LoadedProject> project;
        std::optional<SymbolWork> symbol;
    };

    static constexpr const char* kInfoFile = "work.info";
    static constexpr const char* kProjectFile = "project.vrn";
    static constexpr const char* kSymbolFile = "symbol.sbl";
    static constexpr const char* kDamagedSuffix = ".damaged";

    // `recoveryFolder` ends with a separator (ProgramFolders::recoveryFolder()). This run's own
    // folder is named after `self` and the time of construction; it is made at the first save.
    explicit WorkRecovery(std::string recoveryFolder, Writer self = thisProcess());

    static Writer thisProcess();
    // True while a process `pid` exists (also one of another user).
    static bool isRunning(std::int64_t pid);

    // Writes this run's work: the project when given (else its copy goes), the symbol work
    // when given (else its copy goes); with neither, the run's folder goes. False when a file
    // cannot be written; the file it was to replace then stays as it was.
    bool save(const Project* project, const EmbeddedSymbolList* symbols, const SymbolWork* symbol);
    // Removes this run's folder: the run ends cleanly.
    void discard();
    const std::string& ownFolder() const { return m_own; }

    // The folders of other runs on this machine whose writer is gone, newest first. A writer
    // counts as gone when its process does not run, when it is `deadLockPid` (the process the
    // single-instance lock named when this run took it over), or when it has this run's
    // process id (a run of an earlier boot). Folders set aside as damaged are not listed.
    std::vector<std::string> leftBehind(std::int64_t deadLockPid = 0) const;

    static Recovered read(const std::string& folder);
    // Removes a folder left by another run (restored, or declined).
    static void remove(const std::string& folder);
    // Renames a damaged folder to "<folder>.damaged", where it stays for a person to look at and
    // is offered no more; returns the new path (empty when the rename failed).
    static std::string setAside(const std::string& folder);

private:
    std::string m_folder; // the recovery folder
    Writer m_self;
    std::string m_own; // this run's folder
};
