#include "export/ui/ExportDialog.h"

#include "dialogs/FileChooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

namespace {

// The quality a slider starts from for a format that has no default of its own.
constexpr int kMiddleQuality = 75;

QWidget* row(std::initializer_list<QWidget*> widgets) {
    auto* box = new QWidget;
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch();
    return box;
}

QSpinBox* spin(int minimum, int maximum, const QString& suffix = QString()) {
    auto* box = new QSpinBox;
    box->setRange(minimum, maximum);
    box->setSuffix(suffix);
    return box;
}

} // namespace

ExportDialog::ExportDialog(const ExportOptions& options, const QString& path, FileChooser& files,
                           QWidget* parent)
    : QDialog(parent), m_files(files), m_preset(new QComboBox), m_format(new QComboBox),
      m_scale(new QRadioButton(tr("Scale"))), m_percent(spin(25, 200, tr(" %"))),
      m_fit(new QRadioButton(tr("Fit in"))), m_fitWidth(spin(1, 8192)), m_fitHeight(spin(1, 8192)),
      m_seconds(spin(0, 3600, tr(" s"))), m_quality(new QSlider(Qt::Horizontal)),
      m_qualityValue(new QLabel), m_lossless(new QCheckBox(tr("Lossless"))),
      m_forever(new QRadioButton(tr("Forever"))), m_times(new QRadioButton(tr("Times"))),
      m_loops(spin(1, 1000)), m_transparent(new QCheckBox(tr("Transparent background"))),
      m_budget(new QCheckBox(tr("Fit in"))), m_budgetKB(spin(1, 1000000, tr(" KB"))),
      m_dropFrames(new QCheckBox(tr("May lower the frame rate"))),
      m_keepClosest(new QCheckBox(tr("Keep the closest file when it cannot fit"))),
      m_path(new QLineEdit) {
    setWindowTitle(tr("Export Video or Image"));
    m_preset->addItem(tr("None"));
    for (const ExportPreset& preset : ExportPreset::all())
        m_preset->addItem(QString::fromStdString(preset.name));
    for (const ExportFormat& format : ExportFormats::all())
        m_format->addItem(QString::fromUtf8(format.name), QString::fromUtf8(format.id));
    m_seconds->setSpecialValueText(tr("whole animation"));
    m_quality->setRange(0, 100);
    m_qualityValue->setMinimumWidth(30);
    auto* browse = new QPushButton(tr("Browse..."));

    auto* form = new QFormLayout;
    form->addRow(tr("Preset:"), m_preset);
    form->addRow(tr("Format:"), m_format);
    form->addRow(tr("Size:"), row({m_scale, m_percent}));
    form->addRow(QString(), row({m_fit, m_fitWidth, new QLabel(tr("x")), m_fitHeight}));
    form->addRow(tr("Length:"), m_seconds);
    form->addRow(tr("Quality:"), row({m_quality, m_qualityValue, m_lossless}));
    form->addRow(tr("Play:"), row({m_forever, m_times, m_loops}));
    form->addRow(QString(), m_transparent);
    form->addRow(tr("Size budget:"), row({m_budget, m_budgetKB}));
    form->addRow(QString(), m_dropFrames);
    form->addRow(QString(), m_keepClosest);
    form->addRow(tr("File:"), row({m_path, browse}));
    m_path->setMinimumWidth(260);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &ExportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &ExportDialog::browse);
    connect(m_format, &QComboBox::currentIndexChanged, this, &ExportDialog::formatChosen);
    connect(m_preset, &QComboBox::activated, this, &ExportDialog::presetChosen);
    connect(m_quality, &QSlider::valueChanged, this,
            [this](int value) { m_qualityValue->setNum(value); });
    // A quality the user set stays; until then each format shows its own default.
    connect(m_quality, &QSlider::actionTriggered, this, [this] { m_qualityChosen = true; });
    for (QAbstractButton* toggle : std::initializer_list<QAbstractButton*>{
             m_scale, m_fit, m_forever, m_times, m_budget, m_lossless})
        connect(toggle, &QAbstractButton::toggled, this, &ExportDialog::formatChosen);
    m_path->setText(path);
    showOptions(options);
}

std::optional<std::pair<ExportOptions, QString>>
ExportDialog::ask(QWidget* parent, const ExportOptions& options, const QString& path,
                  FileChooser& files) {
    ExportDialog dialog(options, path, files, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::make_pair(dialog.options(), dialog.path());
}

const ExportFormat* ExportDialog::format() const {
    return ExportFormats::byId(m_format->currentData().toString().toStdString());
}

void ExportDialog::showOptions(const ExportOptions& options) {
    const int index = m_format->findData(QString::fromStdString(options.format));
    m_format->setCurrentIndex(std::max(index, 0));
    m_scale->setChecked(!options.fit);
    m_fit->setChecked(options.fit);
    m_percent->setValue(options.scalePercent);
    m_fitWidth->setValue(options.fitWidth);
    m_fitHeight->setValue(options.fitHeight);
    m_seconds->setValue(options.maxSeconds);
    m_qualityChosen = options.quality >= 0;
    if (m_qualityChosen)
        m_quality->setValue(options.quality);
    m_lossless->setChecked(options.lossless);
    m_forever->setChecked(options.loops == 0);
    m_times->setChecked(options.loops > 0);
    m_loops->setValue(std::max(options.loops, 1));
    m_transparent->setChecked(options.transparent);
    m_budget->setChecked(options.budgetKB > 0);
    m_budgetKB->setValue(options.budgetKB > 0 ? options.budgetKB : 256);
    m_dropFrames->setChecked(options.mayDropFrames);
    m_keepClosest->setChecked(options.keepClosest);
    formatChosen();
}

void ExportDialog::formatChosen() {
    const ExportFormat* chosen = format();
    auto takes = [chosen](ExportOption option) { return chosen && chosen->takes(option); };
    m_percent->setEnabled(m_scale->isChecked());
    m_fitWidth->setEnabled(m_fit->isChecked());
    m_fitHeight->setEnabled(m_fit->isChecked());
    if (!m_qualityChosen)
        m_quality->setValue(chosen && chosen->defaultQuality >= 0 ? chosen->defaultQuality
                                                                  : kMiddleQuality);
    m_qualityValue->setNum(m_quality->value());
    const bool lossless = takes(kTakesLossless) && m_lossless->isChecked();
    m_quality->setEnabled(takes(kTakesQuality) && !lossless);
    m_lossless->setEnabled(takes(kTakesLossless));
    m_forever->setEnabled(takes(kTakesLoops));
    m_times->setEnabled(takes(kTakesLoops));
    m_loops->setEnabled(takes(kTakesLoops) && m_times->isChecked());
    m_transparent->setEnabled(takes(kTakesTransparency));
    const bool budget = takes(kTakesSizeBudget);
    m_budget->setEnabled(budget);
    m_budgetKB->setEnabled(budget && m_budget->isChecked());
    m_dropFrames->setEnabled(budget && m_budget->isChecked());
    m_keepClosest->setEnabled(budget && m_budget->isChecked());
    // The file name follows the format's extension.
    if (chosen && *chosen->extension && !m_path->text().isEmpty()) {
        QString path = m_path->text();
        const int dot = path.lastIndexOf('.');
        const int slash = path.lastIndexOf('/');
        if (dot > slash)
            path.truncate(dot);
        m_path->setText(path + QString::fromUtf8(chosen->extension));
    }
}

void ExportDialog::presetChosen(int index) {
    if (index <= 0 || index > static_cast<int>(ExportPreset::all().size()))
        return;
    ExportOptions chosen = options();
    chosen.apply(ExportPreset::all()[static_cast<std::size_t>(index - 1)]);
    showOptions(chosen);
}

void ExportDialog::browse() {
    const ExportFormat* chosen = format();
    FileRequest request;
    if (chosen)
        request.filter = QString::fromUtf8(chosen->filter);
    request.start = m_path->text();
    const QString file = m_files.saveFile(this, request);
    if (!file.isEmpty())
        m_path->setText(chosen ? QString::fromStdString(chosen->outputPath(file.toStdString()))
                               : file);
}

ExportOptions ExportDialog::options() const {
    ExportOptions options;
    if (const ExportFormat* chosen = format())
        options.format = chosen->id;
    options.fit = m_fit->isChecked();
    options.scalePercent = m_percent->value();
    options.fitWidth = m_fitWidth->value();
    options.fitHeight = m_fitHeight->value();
    options.maxSeconds = m_seconds->value();
    options.quality = m_qualityChosen ? m_quality->value() : -1;
    options.lossless = m_lossless->isChecked();
    options.loops = m_times->isChecked() ? m_loops->value() : 0;
    options.transparent = m_transparent->isChecked();
    options.budgetKB = m_budget->isChecked() ? m_budgetKB->value() : 0;
    options.mayDropFrames = m_dropFrames->isChecked();
    options.keepClosest = m_keepClosest->isChecked();
    return options;
}

QString ExportDialog::path() const {
    return m_path->text().trimmed();
}

void ExportDialog::accept() {
    if (path().isEmpty()) {
        QMessageBox::information(this, windowTitle(), tr("Please choose the file to export to."));
        m_path->setFocus();
        return;
    }
    QDialog::accept();
}
