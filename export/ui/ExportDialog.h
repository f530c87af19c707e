#pragma once

#include "export/ExportOptions.h"

#include <QDialog>

#include <optional>
#include <utility>

class FileChooser;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;
class QSpinBox;

// ExportDialog: "Export Video or Image...": one dialog for every format of the table: the
// format, the size (a scale of 25 to 200 %, or a box to fit in), the length, the quality, the
// loops, a transparent background, a size budget, a preset that fills them in, and the file.
// Only what the chosen format takes can be set; the rest is greyed out.
class ExportDialog : public QDialog {
    Q_OBJECT

public:
    // `path`: the file shown at first (its extension follows the format).
    ExportDialog(const ExportOptions& options, const QString& path, FileChooser& files,
                 QWidget* parent = nullptr);

    // Runs the dialog: the options and the file chosen, or nothing when cancelled.
    static std::optional<std::pair<ExportOptions, QString>>
    ask(QWidget* parent, const ExportOptions& options, const QString& path, FileChooser& files);

    // What the controls show now.
    ExportOptions options() const;
    QString path() const;

    QComboBox& formatBox() const { return *m_format; }
    QComboBox& presetBox() const { return *m_preset; }
    QLineEdit& pathEdit() const { return *m_path; }
    QSlider& qualitySlider() const { return *m_quality; }
    QCheckBox& transparentBox() const { return *m_transparent; }
    QCheckBox& budgetBox() const { return *m_budget; }

    void accept() override;

private:
    void showOptions(const ExportOptions& options);
    void formatChosen();
    void presetChosen(int index);
    void browse();
    const ExportFormat* format() const;

    FileChooser& m_files;
    QComboBox* m_preset;
    QComboBox* m_format;
    QRadioButton* m_scale;
    QSpinBox* m_percent;
    QRadioButton* m_fit;
    QSpinBox* m_fitWidth;
    QSpinBox* m_fitHeight;
    QSpinBox* m_seconds;
    QSlider* m_quality;
    QLabel* m_qualityValue;
    QCheckBox* m_lossless;
    QRadioButton* m_forever;
    QRadioButton* m_times;
    QSpinBox* m_loops;
    QCheckBox* m_transparent;
    QCheckBox* m_budget;
    QSpinBox* m_budgetKB;
    QCheckBox* m_dropFrames;
    QCheckBox* m_keepClosest;
    QLineEdit* m_path;
    bool m_qualityChosen = false; // the user moved the quality slider
};
