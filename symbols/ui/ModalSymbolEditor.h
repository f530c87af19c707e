#pragma once

#include "symbols/ui/SymbolEditor.h"
#include "symbols/ui/SymbolEditorLauncher.h"

#include <functional>

// ModalSymbolEditor: how the main window runs the symbol editor for the library panel: a new
// SymbolEditor over `parent` for each call, shown modally and destroyed when it closes. One
// runs at a time (it is modal); openEditor() names it while it runs.
class ModalSymbolEditor : public SymbolEditorLauncher {
public:
    ModalSymbolEditor(const SymbolEditorServices& services, QWidget* parent);

    bool editNewSymbol(const std::string& libraryFolder) override;
    bool editSymbol(const std::string& libraryFolder, const SymbolId& id,
                    std::uint32_t frameCount) override;
    bool editRecovered(const std::string& libraryFolder, const std::optional<SymbolId>& editing,
                       const std::vector<QImage>& frames) override;

    // The editor while it runs, none otherwise (the autosave reads its work).
    SymbolEditor* openEditor() const { return m_running; }

    // Called with each editor once it is built, before it runs (tests drive it from here).
    void setOpened(std::function<void(SymbolEditor&)> opened) { m_opened = std::move(opened); }
    // Called after each editor has closed.
    void setClosed(std::function<void()> closed) { m_closed = std::move(closed); }

private:
    bool run(SymbolEditor& editor);

    SymbolEditorServices m_services;
    QWidget* m_parent;
    std::function<void(SymbolEditor&)> m_opened;
    std::function<void()> m_closed;
    SymbolEditor* m_running = nullptr;
};
