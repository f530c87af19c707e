#pragma once

#include "symbols/WorkRecovery.h"

#include <cstdint>
#include <functional>
#include <string>

class Autosave;
class MessageSink;
class ProjectEditor;

// CrashRecovery: at start, offers the work that runs which did not end cleanly left behind,
// newest first: "Restore the work from "<project>" (<time>)?". Yes opens the recovered project
// as modified under its own name (its undo history starts there) and hands the symbol
// editor's work to be reopened; No deletes that work; Cancel keeps it, and what is older, for
// the next start. Work that cannot be read is refused with a message and set aside; the start
// goes on either way.
class CrashRecovery {
public:
    struct Parts {
        WorkRecovery& recovery;
        Autosave& autosave;
        ProjectEditor& editor;
        MessageSink& sink;
        // Reopens recovered symbol work in the symbol editor (once the start is done).
        std::function<void(SymbolWork)> reopenSymbol;
    };
    explicit CrashRecovery(Parts parts) : m_parts(std::move(parts)) {}

    // `deadLockPid`: the process the single-instance lock named when this run took it over
    // (0: the lock was free). True when work was restored.
    bool offer(std::int64_t deadLockPid);

    // The question for `work`, with its time in the local time zone.
    static std::string question(const WorkRecovery::Recovered& work);
    static std::string damagedMessage(const std::string& keptAs);

private:
    void restore(WorkRecovery::Recovered work);

    Parts m_parts;
};
