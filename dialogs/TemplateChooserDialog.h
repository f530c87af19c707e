#pragma once

#include "dialogs/RoundedDialog.h"

#include <QImage>

#include <string>
#include <vector>

class LanguageTable;
class MessageSink;
class TemplateGridView;

// TemplateChooserDialog: the sample projects offered as a scrolling grid of animated previews
// ("template_<n>.gif" in the template folder, n from 1 up to the first missing number). OK
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

    // The frames of every preview "template_<n>.gif" in `folder` (which ends with a
    // separator), n = 1, 2, ... until the first missing file.
    static std::vector<std::vector<QImage>> loadPreviews(const std::string& folder);

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
