#include "app/CrashRecovery.h"

#include "app/Autosave.h"
#include "document/MessageSink.h"
#include "document/ProjectEditor.h"

#include <QLocale>

namespace {

constexpr char kProductCaption[] = "Zentravo";
constexpr char kErrorCaption[] = "Error";

} // namespace

std::string CrashRecovery::question(const WorkRecovery::Recovered& work) {
    std::string what;
    if (work.project)
        what = "\"" + work.project->project.name() + "\"";
    if (work.symbol)
        what += what.empty() ? "the symbol editor" : " and the symbol editor";
    const QString time = QLocale().toString(work.saved.toLocalTime(), QLocale::ShortFormat);
    return "Zentravo did not end properly last time.\nRestore the work from " + what + " (" +
           time.toStdString() + ")?";
}

std::string CrashRecovery::damagedMessage(const std::string& keptAs) {
    std::string text = "The work left by a Zentravo session that did not end properly cannot be "
                       "restored: its recovery file is damaged.";
    if (!keptAs.empty())
        text += "\nIt was kept in " + keptAs + ".";
    return text;
}

bool CrashRecovery::offer(std::int64_t deadLockPid) {
    for (const std::string& folder : m_parts.recovery.leftBehind(deadLockPid)) {
        WorkRecovery::Recovered work = WorkRecovery::read(folder);
        switch (work.state) {
        case WorkRecovery::Recovered::State::Empty:
            WorkRecovery::remove(folder);
            continue;
        case WorkRecovery::Recovered::State::Damaged:
            m_parts.sink.show(damagedMessage(WorkRecovery::setAside(folder)), kErrorCaption,
                              MessageIcon::Exclamation);
            continue;
        case WorkRecovery::Recovered::State::Readable:
            break;
        }
        switch (m_parts.sink.show(question(work), kProductCaption, MessageIcon::Question,
                                  MessageButtons::YesNoCancel)) {
        case MessageAnswer::Yes:
            restore(std::move(work));
            // The work lives in this run's own folder now.
            WorkRecovery::remove(folder);
            return true;
        case MessageAnswer::No:
            WorkRecovery::remove(folder);
            continue;
        default:
            return false; // decided at the next start
        }
    }
    return false;
}

void CrashRecovery::restore(WorkRecovery::Recovered work) {
    if (work.project)
        m_parts.editor.openRecovered(std::move(work.project->project),
                                     std::move(work.project->symbols));
    m_parts.autosave.setWaitingSymbol(work.symbol);
    // Kept by this run before the folder it came from goes, so that a crash now loses nothing.
    m_parts.autosave.saveNow();
    if (work.symbol && m_parts.reopenSymbol)
        m_parts.reopenSymbol(std::move(*work.symbol));
}
