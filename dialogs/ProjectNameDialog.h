#pragma once

#include "dialogs/RoundedDialog.h"

#include <string>

class LanguageTable;
class MessageSink;
class QLineEdit;

// ProjectNameDialog: asks for the name of an unnamed project before it is saved for the first
// time. OK with an empty name shows the empty-name message and keeps the dialog open; whether
// the name can be used (a folder, not yet indexed) is the project index's to decide.
class ProjectNameDialog : public RoundedDialog {
    Q_OBJECT

public:
    static constexpr QSize kSize{400, 130};

    ProjectNameDialog(const LanguageTable& texts, MessageSink& sink, QWidget* parent = nullptr);

    QLineEdit& nameEdit() const { return *m_name; }
    // The accepted name (UTF-8) once OK closed the dialog.
    const std::string& name() const { return m_accepted; }

    void accept() override;

protected:
    void paintContents(QPainter& painter) override;

private:
    const LanguageTable& m_texts;
    MessageSink& m_sink;
    QLineEdit* m_name;
    std::string m_accepted;
};
