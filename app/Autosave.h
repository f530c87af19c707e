#pragma once

#include "document/DocumentChange.h"
#include "symbols/WorkRecovery.h"

#include <QObject>
#include <QTimer>

#include <optional>

class ModalSymbolEditor;
class ProjectEditor;

// Autosave: keeps this run's work in its recovery folder (WorkRecovery) so that a crash loses
// little. Every interval (2 minutes) it writes a copy of the project while the project is
// modified and the symbol editor's frames while it has changes, and removes a copy that is no
// longer needed (the project was saved, the editor closed). It only reads: the project's own
// file, its modified flag and its undo history stay as they are. A clean end of the run
// (destruction) removes the run's folder.
class Autosave : public QObject, private ChangeListener {
    Q_OBJECT

public:
    static constexpr int kDefaultIntervalMs = 2 * 60 * 1000;

    Autosave(ProjectEditor& editor, const ModalSymbolEditor& symbolEditor, WorkRecovery& recovery,
             QObject* parent = nullptr);
    ~Autosave() override;

    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    int interval() const { return m_timer.interval(); }

    // Writes what there is to keep now (the timer's work); false when a file could not be
    // written.
    bool saveNow();
    // Symbol work recovered at start and not yet reopened in the editor: it is kept as the
    // symbol part until the editor runs (none: nothing is waiting).
    void setWaitingSymbol(std::optional<SymbolWork> work) { m_waiting = std::move(work); }
    // How many times the work was written (tests wait for it).
    int saveCount() const { return m_saves; }

signals:
    void saved();

private:
    void documentChanged(DocumentChange change) override;

    ProjectEditor& m_editor;
    const ModalSymbolEditor& m_symbolEditor;
    WorkRecovery& m_recovery;
    std::optional<SymbolWork> m_waiting;
    QTimer m_timer;
    int m_saves = 0;
};
