#include "app/Autosave.h"

#include "document/Document.h"
#include "document/ProjectEditor.h"
#include "symbols/ui/ModalSymbolEditor.h"
#include "symbols/ui/SymbolEditor.h"

Autosave::Autosave(ProjectEditor& editor, const ModalSymbolEditor& symbolEditor,
                   WorkRecovery& recovery, QObject* parent)
    : QObject(parent), m_editor(editor), m_symbolEditor(symbolEditor), m_recovery(recovery) {
    m_timer.setInterval(kDefaultIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &Autosave::saveNow);
    m_timer.start();
    m_editor.subscribe(this);
}

Autosave::~Autosave() {
    m_editor.unsubscribe(this);
    m_recovery.discard();
}

bool Autosave::saveNow() {
    std::optional<Project> project;
    std::optional<EmbeddedSymbolList> symbols;
    Document& document = m_editor.document();
    if (document.isModified()) {
        // A copy under the lock (pictures are shared, not copied); the files are written with
        // the lock free, so the stage goes on drawing meanwhile.
        auto lock = document.lock();
        project = lock.project();
        symbols = lock.symbols();
    }
    std::optional<SymbolWork> symbol;
    if (const SymbolEditor* open = m_symbolEditor.openEditor(); open && open->hasChanges())
        symbol = SymbolWork{open->editedSymbol(), open->frames().edited};
    else if (!open)
        symbol = m_waiting;
    const bool written = m_recovery.save(
        project ? &*project : nullptr, symbols ? &*symbols : nullptr, symbol ? &*symbol : nullptr);
    ++m_saves;
    emit saved();
    return written;
}

void Autosave::documentChanged(DocumentChange change) {
    // Saved, or replaced without being kept: the copy would bring back what the user left.
    if (change.has(DocumentChange::Modified | DocumentChange::Replaced) &&
        !m_editor.document().isModified())
        saveNow();
}
