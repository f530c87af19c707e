#include "dialogs/ProjectPropertiesDialog.h"

#include "controls/CTavColorPicker.h"
#include "controls/RangePrompt.h"
#include "dialogs/FileChooser.h"
#include "document/LanguageTable.h"
#include "document/MessageSink.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kFirstRowTop = 38;
constexpr int kRowPitch = 28;
constexpr int kRowHeight = 22;
constexpr int kLeftLabel = 20;
constexpr int kLeftEdit = 100;
constexpr int kRightLabel = 240;
constexpr int kRightEdit = 320;
constexpr int kNumberWidth = 60;
constexpr int kWideEdit = 140; // the colour picker, the name and picture edits start here

enum Row { NameRow, SizeRow, TimeRow, ColourRow, PictureRow, PlacementRow };

} // namespace

ProjectPropertiesDialog::ProjectPropertiesDialog(Mode mode, const ProjectProperties& values,
                                                 const QString& title, const LanguageTable& texts,
                                                 MessageSink& sink, FileChooser& files,
                                                 QWidget* parent)
    : RoundedDialog(parent, mode == Mode::NewProject ? kNewProjectSize : kPropertiesSize),
      m_mode(mode), m_texts(texts), m_sink(sink), m_files(files), m_values(values) {
    setWindowTitle(title.isEmpty() ? QString::fromStdString(texts.text(kTextNewProject)) : title);

    m_name = new QLineEdit(QString::fromStdString(values.name), this);
    m_name->setObjectName(QStringLiteral("projectName")); // control 1036
    m_name->setGeometry(kWideEdit, rowTop(NameRow), 290, kRowHeight);
    // Properties: the name stays in the hidden edit, so the empty-name check never refuses.
    m_name->setVisible(mode == Mode::NewProject);

    m_width =
        addNumberEdit(values.width, QRect(kLeftEdit, rowTop(SizeRow), kNumberWidth, kRowHeight));
    m_width->setObjectName(QStringLiteral("width")); // control 1030
    m_height =
        addNumberEdit(values.height, QRect(kRightEdit, rowTop(SizeRow), kNumberWidth, kRowHeight));
    m_height->setObjectName(QStringLiteral("height")); // control 1032
    m_duration =
        addNumberEdit(values.duration, QRect(kLeftEdit, rowTop(TimeRow), kNumberWidth, kRowHeight));
    m_duration->setObjectName(QStringLiteral("duration")); // control 1034
    m_frameRate = addNumberEdit(values.frameRate,
                                QRect(kRightEdit, rowTop(TimeRow), kNumberWidth, kRowHeight));
    m_frameRate->setObjectName(QStringLiteral("frameRate")); // control 1035

    m_colour = new CTavColorPicker(this, 10126);
    m_colour->setObjectName(QStringLiteral("backgroundColour"));
    m_colour->setEntryTexts(QString::fromStdString(texts.text(kTextAutomaticColour)),
                            QString::fromStdString(texts.text(kTextMoreColours)));
    m_colour->setColor(values.backgroundColor);
    m_colour->setGeometry(kWideEdit, rowTop(ColourRow), 80, kRowHeight);

    m_picture = new QLineEdit(QString::fromStdString(values.backgroundPicture), this);
    m_picture->setObjectName(QStringLiteral("backgroundPicture"));
    m_picture->setGeometry(kWideEdit, rowTop(PictureRow), 245, kRowHeight);
    m_browse = addButton(QStringLiteral("..."),
                         QRect(kWideEdit + 250, rowTop(PictureRow), 40, kRowHeight));
    m_browse->setObjectName(QStringLiteral("browsePicture")); // command 10211
    m_browse->setAutoDefault(false);
    connect(m_browse, &QPushButton::clicked, this, &ProjectPropertiesDialog::browsePicture);

    const char* const names[3] = {"Center", "Tile", "Stretch"};
    const char* const objectNames[3] = {"center", "tile", "stretch"}; // 10117, 10116, 10115
    for (int placement = 0; placement < 3; ++placement) {
        auto* button = new QRadioButton(QString::fromLatin1(names[placement]), this);
        button->setObjectName(QString::fromLatin1(objectNames[placement]));
        // Exclusive by hand: a placement outside 0..2 must leave all three unchecked.
        button->setAutoExclusive(false);
        button->setGeometry(kWideEdit + 90 * placement, rowTop(PlacementRow), 85, kRowHeight);
        connect(button, &QRadioButton::clicked, this,
                [this, placement] { choosePlacement(placement); });
        m_placements[std::size_t(placement)] = button;
    }
    choosePlacement(values.placement);

    const int buttonsTop = height() - 34;
    m_ok = addButton(QString::fromStdString(texts.text(kTextOk)),
                     QRect(width() - 190, buttonsTop, 80, 24));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &ProjectPropertiesDialog::accept);
    QPushButton* cancel = addButton(QString::fromStdString(texts.text(kTextCancel)),
                                    QRect(width() - 100, buttonsTop, 80, 24));
    cancel->setObjectName(QStringLiteral("cancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &ProjectPropertiesDialog::reject);

    (mode == Mode::NewProject ? m_name : m_width)->setFocus(Qt::OtherFocusReason);
}

int ProjectPropertiesDialog::rowTop(int row) const {
    const int shown = m_mode == Mode::NewProject ? row : row - 1;
    return kFirstRowTop + kRowPitch * shown;
}

QLineEdit* ProjectPropertiesDialog::addNumberEdit(int value, const QRect& geometry) {
    auto* edit = new QLineEdit(QString::number(value), this);
    edit->setGeometry(geometry);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

void ProjectPropertiesDialog::choosePlacement(int placement) {
    m_values.placement = placement;
    for (int k = 0; k < 3; ++k)
        m_placements[std::size_t(k)]->setChecked(k == placement);
}

void ProjectPropertiesDialog::browsePicture() {
    FileRequest request;
    request.filter = QString::fromLatin1(kPictureFilter);
    request.start = m_picture->text();
    const QString chosen = m_files.openFile(this, request);
    if (!chosen.isEmpty())
        m_picture->setText(chosen);
}

void ProjectPropertiesDialog::accept() {
    const std::optional<int> width = RangePrompt::check(*m_width, kSizeRange, &m_sink);
    if (!width)
        return;
    const std::optional<int> height = RangePrompt::check(*m_height, kSizeRange, &m_sink);
    if (!height)
        return;
    const std::optional<int> frameRate = RangePrompt::check(*m_frameRate, kFrameRateRange, &m_sink);
    if (!frameRate)
        return;
    const std::optional<int> duration = RangePrompt::check(*m_duration, kDurationRange, &m_sink);
    if (!duration)
        return;
    if (m_name->text().isEmpty()) {
        m_sink.show(m_texts.text(kTextEnterProjectName), m_texts.text(kTextProductName),
                    MessageIcon::Information);
        m_name->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_values.name = m_name->text().toStdString();
    m_values.width = *width;
    m_values.height = *height;
    m_values.frameRate = *frameRate;
    m_values.duration = *duration;
    m_values.backgroundColor = m_colour->color();
    m_values.backgroundPicture = m_picture->text().toStdString();
    RoundedDialog::accept();
}

void ProjectPropertiesDialog::paintContents(QPainter& painter) {
    auto label = [&painter](int x, int top, int width, const char* text) {
        painter.drawText(QRect(x, top, width, kRowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromLatin1(text));
    };
    if (m_mode == Mode::NewProject)
        label(kLeftLabel, rowTop(NameRow), 110, "Project Name");
    label(kLeftLabel, rowTop(SizeRow), 75, "Width");
    label(kLeftEdit + kNumberWidth + 6, rowTop(SizeRow), 60, "pixels");
    label(kRightLabel, rowTop(SizeRow), 75, "Height");
    label(kRightEdit + kNumberWidth + 6, rowTop(SizeRow), 60, "pixels");
    label(kLeftLabel, rowTop(TimeRow), 75, "Duration");
    label(kLeftEdit + kNumberWidth + 6, rowTop(TimeRow), 60, "frames");
    label(kRightLabel, rowTop(TimeRow), 75, "Frame Rate");
    label(kRightEdit + kNumberWidth + 6, rowTop(TimeRow), 60, "fps");
    label(kLeftLabel, rowTop(ColourRow), 115, "Background Color");
    label(kLeftLabel, rowTop(PictureRow), 115, "Background Image");
}
