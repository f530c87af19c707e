#pragma once

#include "symbols/ui/SymbolEditor.h"
#include "symbols/ui/SymbolEditorLauncher.h"

#include <functional>

// ModalSymbolEditor: how the main window runs the symbol editor for the library panel: a new
// SymbolEditor over `parent` for each call, shown modally and destroyed when it closes.
class ModalSymbolEditor : public SymbolEditorLauncher {
public:
    ModalSymbolEditor(const SymbolEditorServices& services, QWidget* parent);

    bool editNewSymbol(const std::string& libraryFolder) override;
    bool editSymbol(const std::string& libraryFolder, const SymbolId& id,
                    std::uint32_t frameCount) override;

    // Called with each editor once it is built, before it runs (tests drive it from here).
    void setOpened(std::function<void(SymbolEditor&)> opened) { m_opened = std::move(opened); }

private:
    bool run(SymbolEditor& editor);

    SymbolEditorServices m_services;
    QWidget* m_parent;
    std::function<void(SymbolEditor&)> m_opened;
};
