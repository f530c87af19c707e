#include "symbols/ui/ToolPalette.h"

#include "symbols/ui/PickerColorChooser.h"
#include "symbols/ui/ToolArtwork.h"

#include <array>

namespace {

constexpr int kPictureSide = 18;

// Tooltips are the program's own texts ("Horizonal" and the missing bracket included).
constexpr std::array<const char*, kPaintToolCount> kToolTips = {
    "Selection", "Color Picker",  "Eraser",    "Pencil",           "Brush",   "Flood Fill",
    "Line",      "3D Frame Tool", "Rectangle", "Filled Rectangle", "Ellipse", "Filled Ellipse",
};

struct SizeButton {
    const char* tooltip;
    int size;
    PenShape shape;
};
constexpr std::array<SizeButton, ToolPalette::kSizeButtonCount> kSizeButtons = {{
    {"Circle (small)", 1, PenShape::Round},
    {"Circle (medium)", 5, PenShape::Round},
    {"Circle (large)", 10, PenShape::Round},
    {"Circle (extra large)", 20, PenShape::Round},
    {"Rectangle (small)", 1, PenShape::Square},
    {"Rectangle (medium)", 5, PenShape::Square},
    {"Rectangle (large)", 10, PenShape::Square},
    {"Rectangle (extra large", 20, PenShape::Square},
}};
constexpr int kInitialSizeButton = 1; // size 5, round

constexpr std::array<const char*, kFillTypeCount> kFillTips = {
    "Solid", "Horizonal gradient", "Vertical gradient", "Radial gradient"};

} // namespace

ToolPalette::ToolPalette(QWidget* parent) : QWidget(parent) {
    for (int i = 0; i < kPaintToolCount; ++i)
        addButton(m_tools, i, 0, ToolArtwork::toolPicture(PaintTool(i), kPictureSide),
                  QString::fromLatin1(kToolTips[std::size_t(i)]));
    for (int i = 0; i < kSizeButtonCount; ++i)
        addButton(m_sizes, i, kSizeBlockTop, ToolArtwork::sizePicture(i, kPictureSide),
                  QString::fromLatin1(kSizeButtons[std::size_t(i)].tooltip));
    for (int i = 0; i < kFillTypeCount; ++i)
        addButton(m_fills, i, kFillBlockTop, ToolArtwork::fillPicture(FillType(i), kPictureSide),
                  QString::fromLatin1(kFillTips[std::size_t(i)]));

    m_tools.button(int(PaintTool::Selection))->setChecked(true);
    m_sizes.button(kInitialSizeButton)->setChecked(true);
    m_fills.button(int(FillType::Solid))->setChecked(true);
    m_settings.size = kSizeButtons[kInitialSizeButton].size;
    m_settings.shape = kSizeButtons[kInitialSizeButton].shape;

    connect(&m_tools, &QButtonGroup::idClicked, this, &ToolPalette::chooseTool);
    connect(&m_sizes, &QButtonGroup::idClicked, this, &ToolPalette::chooseSize);
    connect(&m_fills, &QButtonGroup::idClicked, this, &ToolPalette::chooseFill);
    setColorChooser(new PickerColorChooser);
}

QToolButton* ToolPalette::addButton(QButtonGroup& group, int id, int top, const QPixmap& picture,
                                    const QString& tooltip) {
    auto* button = new QToolButton(this);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(tooltip);
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(kPictureSide, kPictureSide));
    button->setGeometry((id % kButtonsPerRow) * kButtonSide,
                        top + (id / kButtonsPerRow) * kButtonSide, kButtonSide, kButtonSide);
    group.addButton(button, id);
    return button;
}

void ToolPalette::setColorChooser(ColorChooser* chooser) {
    delete m_chooser;
    m_chooser = chooser;
    chooser->setParent(this);
    chooser->setColor(m_settings.color);
    const QSize wanted = chooser->sizeHint().boundedTo(QSize(kColorAreaWidth, kColorAreaHeight));
    chooser->setGeometry(QRect(QPoint(0, kColorAreaTop), wanted));
    connect(chooser, &ColorChooser::colorChosen, this, &ToolPalette::chooseColor);
    chooser->show();
}

void ToolPalette::setColor(std::uint32_t colorRef) {
    m_settings.color = colorRef & 0xFFFFFF;
    m_chooser->setColor(m_settings.color);
}

QToolButton* ToolPalette::toolButton(PaintTool tool) const {
    return static_cast<QToolButton*>(m_tools.button(int(tool)));
}

QToolButton* ToolPalette::sizeButton(int index) const {
    return static_cast<QToolButton*>(m_sizes.button(index));
}

QToolButton* ToolPalette::fillButton(FillType fill) const {
    return static_cast<QToolButton*>(m_fills.button(int(fill)));
}

QSize ToolPalette::sizeHint() const {
    return QSize(kButtonsPerRow * kButtonSide, kColorAreaTop + kColorAreaHeight);
}

void ToolPalette::chooseTool(int id) {
    m_settings.tool = PaintTool(id);
    emit toolChanged();
}

void ToolPalette::chooseSize(int id) {
    m_settings.size = kSizeButtons[std::size_t(id)].size;
    m_settings.shape = kSizeButtons[std::size_t(id)].shape;
    emit toolChanged();
}

void ToolPalette::chooseFill(int id) {
    m_settings.fill = FillType(id);
    emit toolChanged();
}

void ToolPalette::chooseColor(quint32 colorRef) {
    m_settings.color = colorRef & 0xFFFFFF;
    emit toolChanged();
}
