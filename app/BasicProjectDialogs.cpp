#include "app/BasicProjectDialogs.h"

#include "document/LanguageTable.h"
#include "document/ProgramFolders.h"
#include "document/ProjectIndex.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QSpinBox>

namespace {

// A message sink that says nothing: listing the index shows no messages.
class SilentSink : public MessageSink {
public:
    MessageAnswer show(std::string_view, std::string_view, MessageIcon, MessageButtons) override {
        return MessageAnswer::Ok;
    }
};

QSpinBox* spin(int low, int high, int value) {
    auto* box = new QSpinBox;
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

} // namespace

BasicProjectDialogs::BasicProjectDialogs(QWidget* parent, const ProgramFolders& folders,
                                         const LanguageTable& texts)
    : m_parent(parent), m_folders(folders), m_texts(texts) {}

std::optional<ProjectProperties> BasicProjectDialogs::propertiesForm(
    const ProjectProperties& start, bool isNew) {
    QDialog dialog(m_parent);
    dialog.setWindowTitle(QString::fromStdString(
        isNew ? m_texts.text(25) : m_texts.text(36))); // "New Project", "Animation Properties"
    auto* form = new QFormLayout(&dialog);
    auto* name = new QLineEdit(QString::fromStdString(start.name));
    name->setEnabled(isNew);
    auto* width = spin(10, 3200, start.width);
    auto* height = spin(10, 3200, start.height);
    auto* frameRate = spin(1, 30, start.frameRate);
    auto* duration = spin(1, 10000, start.duration);
    auto* picture = new QLineEdit(QString::fromStdString(start.backgroundPicture));
    auto* placement = new QComboBox;
    placement->addItems({"Center", "Tile", "Stretch"});
    placement->setCurrentIndex(std::clamp(start.placement, 0, 2));
    form->addRow("Name", name);
    form->addRow("Width", width);
    form->addRow("Height", height);
    form->addRow("Frame rate", frameRate);
    form->addRow("Duration (frames)", duration);
    form->addRow("Background picture", picture);
    form->addRow("Placement", placement);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (isNew && name->text().trimmed().isEmpty())
            name->setFocus(); // a new project needs a name
        else
            dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    ProjectProperties result = start;
    result.name = name->text().trimmed().toStdString();
    result.width = width->value();
    result.height = height->value();
    result.frameRate = frameRate->value();
    result.duration = duration->value();
    result.backgroundPicture = picture->text().toStdString();
    result.placement = placement->currentIndex();
    return result;
}

std::optional<ProjectProperties> BasicProjectDialogs::newProject(const ProjectProperties& start) {
    ProjectProperties fresh = start;
    fresh.name.clear();
    fresh.backgroundColor = 0xFFFFFF;
    fresh.backgroundPicture.clear();
    fresh.placement = 0;
    return propertiesForm(fresh, true);
}

std::optional<ProjectProperties> BasicProjectDialogs::editProperties(
    const ProjectProperties& current) {
    return propertiesForm(current, false);
}

std::optional<std::string> BasicProjectDialogs::projectName() {
    bool ok = false;
    const QString name = QInputDialog::getText(m_parent, QString::fromStdString(m_texts.text(0)),
                                               QString::fromStdString(m_texts.text(102)),
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok || name.trimmed().isEmpty())
        return std::nullopt;
    return name.trimmed().toStdString();
}

std::optional<std::string> BasicProjectDialogs::chooseProject(const std::string&) {
    SilentSink sink;
    const ProjectIndex index(m_folders, m_texts, sink);
    QStringList names;
    for (const std::string& name : index.openableNames())
        names << QString::fromStdString(name);
    if (names.isEmpty())
        return std::nullopt;
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(m_parent, QString::fromStdString(m_texts.text(26)),
                              QString::fromStdString(m_texts.text(52)), names, 0, false, &ok);
    if (!ok)
        return std::nullopt;
    return chosen.toStdString();
}

std::optional<int> BasicProjectDialogs::chooseSample() {
    return 1;
}
