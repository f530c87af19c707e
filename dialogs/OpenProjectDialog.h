#pragma once

#include "dialogs/RoundedDialog.h"

#include <string>
#include <vector>

class LanguageTable;
class MessageSink;
class ProgramFolders;
class QListWidget;

// OpenProjectDialog: lists the indexed projects whose project file still exists, in index
// order, the first one selected (none when the index is cut short), and opens or deletes one. The
// list, the delete with its confirmation and the rewriting of the index follow ProjectIndex; the
// list widget shows `names()` and the two always change together.
class OpenProjectDialog : public RoundedDialog {
    Q_OBJECT

public:
    static constexpr QSize kSize{380, 340};
    static constexpr int kDeleteCommand = 10217;

    OpenProjectDialog(const ProgramFolders& folders, const LanguageTable& texts, MessageSink& sink,
                      QWidget* parent = nullptr);

    const std::vector<std::string>& names() const { return m_names; }
    QListWidget& list() const { return *m_list; }
    // The chosen name once OK closed the dialog.
    const std::string& chosenName() const { return m_chosen; }

    void accept() override;
    // Delete: asks, removes the selected project's file and rewrites the index without it.
    void deleteSelected();

private:
    void showNames();

    const ProgramFolders& m_folders;
    const LanguageTable& m_texts;
    MessageSink& m_sink;
    QListWidget* m_list;
    std::vector<std::string> m_names;
    std::string m_chosen;
};
