#include "stage/MotionPanelModel.h"

#include "document/Document.h"
#include "document/LanguageTable.h"
#include "document/ProjectEditor.h"
#include "stage/MotionEasing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Slider indexes (top to bottom in the Liner layout).
enum : int {
    kFrameRateSlider,
    kStartOpacitySlider,
    kEndOpacitySlider,
    kStartXSlider,
    kStartYSlider,
    kEndXSlider,
    kEndYSlider,
    kStartAngleSlider,
    kEndAngleSlider,
    kStartScaleSlider,
    kEndScaleSlider,
};

int scaledSize(int size, float scale) {
    return static_cast<int>(scale * static_cast<float>(size));
}

} // namespace

const std::array<MotionPanelModel::Slider, MotionPanelModel::kSliderCount>&
MotionPanelModel::sliders() {
    static constexpr std::array<Slider, kSliderCount> kSliders{{
        {kFrameRate, 29},
        {kStartOpacity, 255},
        {kEndOpacity, 255},
        {kStartX, 100},
        {kStartY, 100},
        {kEndX, 100},
        {kEndY, 100},
        {kStartAngle, 360},
        {kEndAngle, 360},
        {kStartScale, 200},
        {kEndScale, 200},
    }};
    return kSliders;
}

MotionPanelModel::MotionPanelModel(ProjectEditor& editor, const LanguageTable& texts)
    : m_editor(editor), m_texts(texts) {}

int MotionPanelModel::indexOf(int command) const {
    const auto& all = sliders();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i].command == command)
            return static_cast<int>(i);
    return -1;
}

int MotionPanelModel::position(int command) const {
    const int index = indexOf(command);
    return index < 0 ? 0 : m_positions[static_cast<std::size_t>(index)];
}

float MotionPanelModel::scaleOf(int position) {
    const float scale = position <= 100 ? static_cast<float>(position) * 0.01f
                                        : static_cast<float>(position - 80) * 0.05f;
    return scale < 0.05f ? 0.05f : scale;
}

// Positions are the truncated products; the small allowance keeps a value that a position
// gave from falling one position short through float rounding (0.23 x 100 = 22.99...).
constexpr float kRoundingAllowance = 1e-3f;

int MotionPanelModel::positionOfScale(float scale) {
    return scale <= 1.0f ? static_cast<int>(scale * 100.0f + kRoundingAllowance)
                         : static_cast<int>(scale * 20.0f + 80.0f + kRoundingAllowance);
}

// With W = trunc(scale x size): position p stands for the fraction f = p / 100 of the travel
// from just outside one edge of the stage to just outside the other; f = 0.5 centres the box.
float MotionPanelModel::coordinateOf(int position, int stageSize, int size, float scale) {
    const int w = scaledSize(size, scale);
    const float f = static_cast<float>(position) * 0.01f;
    return static_cast<float>(stageSize + 2 * w) * f - static_cast<float>(w) -
           static_cast<float>(w / 2);
}

float MotionPanelModel::fractionOf(float coordinate, int stageSize, int size, float scale) {
    const int w = scaledSize(size, scale);
    const int travel = stageSize + 2 * w;
    return travel == 0 ? 0.5f
                       : (static_cast<float>(w / 2) + coordinate + static_cast<float>(w)) /
                             static_cast<float>(travel);
}

std::string MotionPanelModel::scaleText(int position) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(scaleOf(position)));
    return text;
}

void MotionPanelModel::readPositions(const ObjectRecord& r, const ProjectHeader& h) {
    auto percent = [](float fraction) {
        return static_cast<int>(fraction * 100.0f + kRoundingAllowance);
    };
    auto at = [this](int index) -> int& { return m_positions[static_cast<std::size_t>(index)]; };
    at(kFrameRateSlider) = r.symbolFrameRate - 1;
    at(kStartOpacitySlider) = r.startOpacity;
    at(kEndOpacitySlider) = r.endOpacity;
    at(kStartXSlider) = percent(r.startFractionX);
    at(kStartYSlider) = percent(r.startFractionY);
    at(kEndXSlider) = percent(fractionOf(r.endX, h.width, r.width, r.endScale));
    at(kEndYSlider) = percent(fractionOf(r.endY, h.height, r.height, r.endScale));
    at(kStartAngleSlider) = static_cast<int>(r.startAngle);
    at(kEndAngleSlider) = static_cast<int>(r.endAngle);
    at(kStartScaleSlider) = positionOfScale(r.startScale);
    at(kEndScaleSlider) = positionOfScale(r.endScale);
    // The slider controls hold their positions within their ranges.
    for (std::size_t i = 0; i < m_positions.size(); ++i)
        m_positions[i] = std::clamp(m_positions[i], 0, sliders()[i].maximum);
    // The read-outs show the values themselves.
    auto number = [](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.0f", value);
        return std::string(text);
    };
    m_values[kFrameRateSlider] = std::to_string(r.symbolFrameRate);
    m_values[kStartOpacitySlider] = std::to_string(r.startOpacity);
    m_values[kEndOpacitySlider] = std::to_string(r.endOpacity);
    m_values[kStartXSlider] = number(r.startX);
    m_values[kStartYSlider] = number(r.startY);
    m_values[kEndXSlider] = number(r.endX);
    m_values[kEndYSlider] = number(r.endY);
    m_values[kStartAngleSlider] = number(r.startAngle) + "\u00B0";
    m_values[kEndAngleSlider] = number(r.endAngle) + "\u00B0";
    m_values[kStartScaleSlider] = scaleText(at(kStartScaleSlider));
    m_values[kEndScaleSlider] = scaleText(at(kEndScaleSlider));
}

std::string MotionPanelModel::valueText(int command) const {
    const int index = indexOf(command);
    return index < 0 || m_selected < 0 ? std::string() : m_values[static_cast<std::size_t>(index)];
}

void MotionPanelModel::load() {
    float fractionX = 0.5f;
    float fractionY = 0.5f;
    {
        auto lock = m_editor.document().lock();
        const Project& project = lock.project();
        m_selected = project.selectedObjectIndex();
        m_easing = kEaseLinear;
        if (m_selected < 0)
            return;
        ObjectRecord r = project.objects[static_cast<std::uint32_t>(m_selected)].record;
        m_mode = r.motionKind;
        m_easing = MotionEasing::of(r);
        const ProjectHeader& h = project.header;
        r.startFractionX = fractionX = fractionOf(r.startX, h.width, r.width, r.startScale);
        r.startFractionY = fractionY = fractionOf(r.startY, h.height, r.height, r.startScale);
        readPositions(r, h);
    }
    m_editor.storeStartFractions(m_selected, fractionX, fractionY);
}

bool MotionPanelModel::changedObject(int command, int position, AnimationObject& object) {
    auto lock = m_editor.document().lock();
    const Project& project = lock.project();
    m_selected = project.selectedObjectIndex();
    const int index = indexOf(command);
    if (m_selected < 0 || index < 0)
        return false;
    m_positions[static_cast<std::size_t>(index)] = position;
    object = project.objects[static_cast<std::uint32_t>(m_selected)];
    ObjectRecord& r = object.record;
    const ProjectHeader& h = project.header;
    switch (command) {
    case kFrameRate:
        r.symbolFrameRate = position + 1;
        break;
    case kStartOpacity:
        r.startOpacity = position;
        break;
    case kEndOpacity:
        r.endOpacity = position;
        break;
    case kStartX:
        r.startX = coordinateOf(position, h.width, r.width, r.startScale);
        r.startFractionX = static_cast<float>(position) * 0.01f;
        break;
    case kStartY:
        r.startY = coordinateOf(position, h.height, r.height, r.startScale);
        r.startFractionY = static_cast<float>(position) * 0.01f;
        break;
    case kEndX:
        r.endX = coordinateOf(position, h.width, r.width, r.endScale);
        break;
    case kEndY:
        r.endY = coordinateOf(position, h.height, r.height, r.endScale);
        break;
    case kStartAngle:
        r.startAngle = static_cast<float>(position);
        break;
    case kEndAngle:
        r.endAngle = static_cast<float>(position);
        break;
    case kStartScale:
        r.startScale = scaleOf(position);
        break;
    case kEndScale:
        r.endScale = scaleOf(position);
        break;
    default:
        break;
    }
    return true;
}

int MotionPanelModel::readSelection() {
    auto lock = m_editor.document().lock();
    m_selected = lock.project().selectedObjectIndex();
    return m_selected;
}

void MotionPanelModel::sliderPressed(int) {
    const int selected = readSelection();
    if (selected >= 0)
        m_editor.beginObjectDrag(selected);
}

void MotionPanelModel::sliderMoved(int command, int position) {
    AnimationObject object;
    if (!changedObject(command, position, object))
        return;
    m_editor.updateObject(m_selected, object);
}

void MotionPanelModel::sliderReleased(int) {
    m_editor.commitObjectDrag();
}

void MotionPanelModel::toggle(int command) {
    const int selected = readSelection();
    if (selected < 0)
        return;
    const MotionKind kind = command == kLinerToggle ? kLinerMotion : kGuideLineMotion;
    m_editor.setMotionKind(selected, kind); // an undo step of its own when the kind changed
    m_mode = kind;
}

bool MotionPanelModel::prepareGuideLineDialog() {
    const int selected = readSelection();
    if (selected < 0)
        return false;
    m_editor.setMotionKind(selected, kGuideLineMotion);
    m_mode = kGuideLineMotion;
    return true;
}

void MotionPanelModel::chooseEasing(Easing easing) {
    const int selected = readSelection();
    if (selected < 0)
        return;
    m_editor.editObject(selected, [easing](AnimationObject& object) {
        object.record.easing = easing;
    }); // an undo step of its own when the curve changed
    m_easing = easing;
}

namespace {

constexpr int kSliderRowsTop = 25; // from the toggles' top to the first slider's
constexpr int kGap = 4;            // above the guide-line button and the chooser
constexpr int kBottomMargin = 2;
constexpr int kMinPitch = 12; // sliders are 11 pixels high

// The height of the Liner layout's column (toggles, eleven sliders, chooser) at `pitch`.
int linerColumnHeight(int pitch) {
    return kSliderRowsTop + MotionPanelModel::kSliderCount * pitch + kGap +
           MotionPanelModel::kChooserHeight;
}

} // namespace

MotionPanelModel::Column MotionPanelModel::column(int clientHeight) {
    constexpr int kPitch = 15;
    Column c{firstRowTop(clientHeight), kPitch};
    const int room = clientHeight - kBottomMargin;
    if (c.top + linerColumnHeight(kPitch) <= room)
        return c;
    c.top = std::max(0, room - linerColumnHeight(kPitch));
    if (c.top + linerColumnHeight(kPitch) > clientHeight) {
        const int fixed = linerColumnHeight(0);
        c.pitch = std::clamp((clientHeight - c.top - fixed) / kSliderCount, kMinPitch, kPitch);
    }
    return c;
}

int MotionPanelModel::buttonTop(const Column& column) const {
    return column.top + kSliderRowsTop + static_cast<int>(visibleSliders().size()) * column.pitch +
           kGap;
}

int MotionPanelModel::chooserTop(const Column& column) const {
    return guideLineButtonShown() ? buttonTop(column) + kButtonHeight + kGap : buttonTop(column);
}

std::vector<int> MotionPanelModel::visibleSliders() const {
    switch (m_mode) {
    case 1:
        return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    case 2:
        return {kFrameRateSlider, kStartOpacitySlider, kEndOpacitySlider, kStartScaleSlider,
                kEndScaleSlider};
    default:
        return {kFrameRateSlider, kStartOpacitySlider, kStartXSlider,
                kStartYSlider,    kStartAngleSlider,   kStartScaleSlider};
    }
}

std::string MotionPanelModel::label(int index) const {
    if (index == kFrameRateSlider)
        return m_texts.text(kTextFrameRate);
    if (m_mode == 0) {
        switch (index) {
        case kStartOpacitySlider:
            return m_texts.text(kTextOpacity);
        case kStartXSlider:
            return "Position.X";
        case kStartYSlider:
            return "Position.Y";
        case kStartAngleSlider:
            return "Angle";
        case kStartScaleSlider:
            return "Scale";
        default:
            return {};
        }
    }
    switch (index) {
    case kStartOpacitySlider:
        return "Starting Opacity";
    case kEndOpacitySlider:
        return "Ending Opacity";
    case kStartXSlider:
        return "Starting Position.X";
    case kStartYSlider:
        return "Starting Position.Y";
    case kEndXSlider:
        return "Ending Position.X";
    case kEndYSlider:
        return "Ending Position.Y";
    case kStartAngleSlider:
        return m_texts.text(kTextStartingAngle);
    case kEndAngleSlider:
        return "Ending Angle";
    case kStartScaleSlider:
        return "Starting Scale";
    case kEndScaleSlider:
        return "Ending Scale";
    default:
        return {};
    }
}
