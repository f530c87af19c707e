#pragma once

#include "dialogs/RoundedDialog.h"

class LanguageTable;
class MessageTarget;
class ProgramFolders;
class QCheckBox;
class QRadioButton;
class QTimer;

// CTavStartDlg: the welcome screen offered at start-up: start from a sample project or open
// an existing one, and whether to show the screen at all next time. Every change of either
// value is written to "profile.cfg" at once. OK (or Enter) hides the screen and posts the
// choice to the main window as OpenSample; closing (or Esc) only hides it. Modeless; it lives
// as long as the main window.
class CTavStartDlg : public RoundedDialog {
    Q_OBJECT

public:
    static constexpr int kStartupDelayMs = 500;
    static constexpr QSize kSize{420, 230};
    enum Choice : int { SampleProject = 0, ExistingProject = 1 };

    // `target` receives OpenSample (wparam = the choice); null posts nothing.
    CTavStartDlg(const ProgramFolders& folders, const LanguageTable& texts, MessageTarget* target,
                 QWidget* parent = nullptr);

    // True when the profile asks for the screen at start-up: its first four bytes are not 0,
    // or there is no profile.
    static bool shownAtStartup(const ProgramFolders& folders);
    // Shows the screen kStartupDelayMs from now when shownAtStartup(); returns whether it will.
    bool scheduleAtStartup();
    // True from scheduleAtStartup() until the screen shows.
    bool isScheduled() const;
    // Reads the last choice from the profile, shows the screen and gives it the focus.
    void showScreen();

    int choice() const { return m_choice; }
    bool showAtStartup() const { return m_show != 0; }
    QRadioButton& sampleButton() const { return *m_sample; }     // command 10800
    QRadioButton& existingButton() const { return *m_existing; } // command 10801
    QCheckBox& showBox() const { return *m_showBox; }            // command 10803
    QPushButton& okButton() const { return *m_ok; }              // command 10804

    void choose(int choice);
    void toggleShowAtStartup();
    void accept() override; // hides and posts the choice
    void reject() override; // hides

protected:
    void paintContents(QPainter& painter) override;

private:
    void saveProfile() const;
    void showChoice();

    const ProgramFolders& m_folders;
    MessageTarget* m_target;
    QRadioButton* m_sample;
    QRadioButton* m_existing;
    QCheckBox* m_showBox;
    QPushButton* m_ok;
    QTimer* m_startupTimer;
    std::int32_t m_choice = SampleProject;
    std::int32_t m_show = 1;
};
