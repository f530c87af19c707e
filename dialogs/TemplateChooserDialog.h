#pragma once

#include "dialogs/RoundedDialog.h"
#include "dialogs/TemplateGridView.h"

#include <string>
#include <vector>

class LanguageTable;
class MessageSink;

// TemplateChooserDialog: the sample projects offered as a scrolling grid of animated previews
// ("template_<n>.gif" in the template folder, n from 1 up to the first missing number), each
// with its sample's name under it. OK
// closes with the selected template, or says that none is selected and stays open; a double
// click on a template selects it and acts as OK. The previews are released when the dialog is
// destroyed.
class TemplateChooserDialog : public RoundedDialog {
    Q_OBJECT

public:
    static constexpr QSize kSize{660, 500};
    static constexpr QRect kGridRect{QPoint(20, 35), QPoint(639, 459)};
    static constexpr const char* kNoSelection = "Please select a template.";

    TemplateChooserDialog(const std::string& templateFolder, const LanguageTable& texts,
                          MessageSink& sink, QWidget* parent = nullptr);

    // Every template of `folder` (which ends with a separator): the frames of the preview
    // "template_<n>.gif", n = 1, 2, ... until the first missing file, and the name in the
    // header of its sample "template_<n>.vrn" ("Sample Project <n>", the name the sample opens
    // under, when that file cannot be read or names nothing).
    static std::vector<TemplatePreview> loadPreviews(const std::string& folder);

    TemplateGridView& gridView() const { return *m_view; }
    QPushButton& okButton() const { return *m_ok; }
    // The chosen template (0 for the first) once OK closed the dialog; -1 before.
    int chosenIndex() const { return m_chosen; }

    void accept() override;

private:
    MessageSink& m_sink;
    TemplateGridView* m_view;
    QPushButton* m_ok;
    int m_chosen = -1;
};
