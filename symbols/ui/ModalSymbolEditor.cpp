#include "symbols/ui/ModalSymbolEditor.h"

#include "document/MessageSink.h"

ModalSymbolEditor::ModalSymbolEditor(const SymbolEditorServices& services, QWidget* parent)
    : m_services(services), m_parent(parent) {}

bool ModalSymbolEditor::editNewSymbol(const std::string& libraryFolder) {
    SymbolEditor editor(m_services, libraryFolder, m_parent);
    return run(editor);
}

bool ModalSymbolEditor::editSymbol(const std::string& libraryFolder, const SymbolId& id,
                                   std::uint32_t frameCount) {
    SymbolEditor editor(m_services, libraryFolder, id, frameCount, m_parent);
    if (!editor.loaded()) {
        // Saving what could be read would drop the frames that could not.
        m_services.sink.show("The animation symbol cannot be read.", "Error",
                             MessageIcon::Exclamation);
        return false;
    }
    return run(editor);
}

bool ModalSymbolEditor::editRecovered(const std::string& libraryFolder,
                                      const std::optional<SymbolId>& editing,
                                      const std::vector<QImage>& frames) {
    SymbolEditor editor(m_services, libraryFolder, editing, frames, m_parent);
    return run(editor);
}

bool ModalSymbolEditor::run(SymbolEditor& editor) {
    m_running = &editor;
    if (m_opened)
        m_opened(editor);
    const bool saved = editor.exec() == QDialog::Accepted && editor.savedSymbol().has_value();
    m_running = nullptr;
    if (m_closed)
        m_closed();
    return saved;
}
