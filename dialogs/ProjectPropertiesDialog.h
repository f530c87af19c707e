#pragma once

#include "controls/IntegerRange.h"
#include "dialogs/RoundedDialog.h"
#include "document/ProjectEditor.h"

#include <array>

class CTavColorPicker;
class FileChooser;
class LanguageTable;
class MessageSink;
class QLineEdit;
class QRadioButton;

// ProjectPropertiesDialog: the settings of a project: name (new projects only), stage width
// and height, duration, frame rate, background colour, background picture and its placement.
// A new project opens on the values it is given (the last new project's size, duration and
// frame rate); the properties of the open project open smaller, without the name. OK checks
// the numbers in the order width, height, frame rate, duration with the range prompt, then
// refuses an empty name; the dialog stays open on either.
class ProjectPropertiesDialog : public RoundedDialog {
    Q_OBJECT

public:
    enum class Mode { NewProject, Properties };

    static constexpr IntegerRange kSizeRange{10, 3200};
    static constexpr IntegerRange kFrameRateRange{1, 30};
    static constexpr IntegerRange kDurationRange{1, 10000};
    static constexpr QSize kNewProjectSize{450, 240};
    static constexpr QSize kPropertiesSize{450, 210};
    // Browse (command 10211): the picture formats the background can show.
    static constexpr const char* kPictureFilter =
        "(*.jpg;*.jpeg;*.gif;*.bmp;*.png)|*.jpg;*.jpeg;*.gif;*.bmp;*.png|"
        "\t\t(*.jpg)|*.jpg|\t\t(*.jpeg)|*.jpeg|\t\t(*.gif)|*.gif|\t\t(*.bmp)|*.bmp|"
        "\t\t(*.png)|*.png||";

    // `title` empty shows the new-project title (language entry 25). Refusals go to `sink`;
    // the browse button asks `files`.
    ProjectPropertiesDialog(Mode mode, const ProjectProperties& values, const QString& title,
                            const LanguageTable& texts, MessageSink& sink, FileChooser& files,
                            QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
    // The accepted values once OK closed the dialog.
    const ProjectProperties& values() const { return m_values; }

    QLineEdit& nameEdit() const { return *m_name; }
    QLineEdit& widthEdit() const { return *m_width; }
    QLineEdit& heightEdit() const { return *m_height; }
    QLineEdit& durationEdit() const { return *m_duration; }
    QLineEdit& frameRateEdit() const { return *m_frameRate; }
    QLineEdit& pictureEdit() const { return *m_picture; }
    CTavColorPicker& colourPicker() const { return *m_colour; }
    // 0 Center (command 10117), 1 Tile (10116), 2 Stretch (10115).
    QRadioButton& placementButton(int placement) const { return *m_placements.at(placement); }
    QPushButton& okButton() const { return *m_ok; }
    QPushButton& browseButton() const { return *m_browse; }

    // Checks the button of `placement` and unchecks the others; any other value checks none.
    void choosePlacement(int placement);
    void browsePicture();
    void accept() override;

protected:
    void paintContents(QPainter& painter) override;

private:
    QLineEdit* addNumberEdit(int value, const QRect& geometry);
    int rowTop(int row) const;

    Mode m_mode;
    const LanguageTable& m_texts;
    MessageSink& m_sink;
    FileChooser& m_files;
    ProjectProperties m_values;
    QLineEdit* m_name;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QLineEdit* m_duration;
    QLineEdit* m_frameRate;
    QLineEdit* m_picture;
    CTavColorPicker* m_colour;
    QPushButton* m_browse;
    std::array<QRadioButton*, 3> m_placements{};
    QPushButton* m_ok;
};
