#pragma once

#include "document/ObjectRecord.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class AnimationObject;
class LanguageTable;
class ProjectEditor;
struct ProjectHeader;

// MotionPanelModel: the motion property panel's rules without a window: its eleven sliders
// (command, range, the object field each one sets and the mappings between slider positions
// and values), the three layouts by motion kind with their labels and read-outs, the easing
// chooser under the sliders, and what a slider, a toggle or a curve does to the selected
// object. It hands every change to the command layer: a slider held and dragged is one drag
// (one undo step at the release), a step by a key, a toggle and a curve one command each.
class MotionPanelModel {
public:
    static constexpr int kSliderCount = 11;
    enum Command : int {
        kFrameRate = 9501,
        kStartOpacity = 9500,
        kEndOpacity = 9513,
        kStartX = 9504,
        kStartY = 9505,
        kEndX = 9506,
        kEndY = 9507,
        kStartAngle = 9511,
        kEndAngle = 9512,
        kStartScale = 9509,
        kEndScale = 9510,
        kLinerToggle = 10114,
        kGuideLineToggle = 10113,
        kGuideLineDialog = 10112,
    };
    // The sliders top to bottom, with their ranges.
    struct Slider {
        int command;
        int maximum; // the range is 0..maximum
    };
    static const std::array<Slider, kSliderCount>& sliders();

    MotionPanelModel(ProjectEditor& editor, const LanguageTable& texts);

    // Reads the selected object (after a selection or object-list change): mode, the start
    // fractions (stored back into the object) and every slider position.
    void load();
    // A slider was pressed: its moves until the release are one drag of the selected object.
    void sliderPressed(int command);
    // A slider moved to `position`: its field of the selected object changes (within a drag
    // while the slider is held, otherwise as a command of its own).
    void sliderMoved(int command, int position);
    void sliderReleased(int command);
    // The Liner or guide-line toggle: the selected object's motion kind and the layout.
    void toggle(int command);
    // The guide-line dialog button: false (with the message shown by the caller) when no
    // object is selected; otherwise the object is switched to a guide-line motion.
    bool prepareGuideLineDialog();
    // A curve chosen for the selected object's motion: one undo step when it differs.
    void chooseEasing(Easing easing);

    int mode() const { return m_mode; }
    // The selected object's curve (Linear with nothing selected).
    Easing easing() const { return m_easing; }
    int selectedObject() const { return m_selected; }
    int position(int command) const;
    // The sliders shown in the current layout, top to bottom (indexes into sliders()).
    std::vector<int> visibleSliders() const;
    bool togglesShown() const { return m_mode != 0; }
    bool guideLineButtonShown() const { return m_mode == 2; }
    // The label of slider `index` in the current layout.
    std::string label(int index) const;
    // The "%.2f" read-out of a scale slider's position (with the 0.05 floor).
    static std::string scaleText(int position);
    // The read-out beside a slider: the value it stands for (frames per second, opacity,
    // stage pixels, degrees, scale).
    std::string valueText(int command) const;

    // The mappings, public for the panel's read-outs and for tests.
    static float scaleOf(int position);
    static int positionOfScale(float scale);
    // Position <-> start or end coordinate on a stage of `stageSize` for an object of `size`
    // pixels at `scale`.
    static float coordinateOf(int position, int stageSize, int size, float scale);
    static float fractionOf(float coordinate, int stageSize, int size, float scale);

    static constexpr int kTopPadding = 5;
    // The first row's top for a panel of `clientHeight`; rows are 15 apart.
    static int firstRowTop(int clientHeight) { return (clientHeight - 195) / 2 + kTopPadding; }

    // Where the rows go in a panel of `clientHeight`: the toggles at `top`, the sliders from
    // top + 25 `pitch` apart, below the sliders the guide-line button (its layout only), then
    // the easing chooser. The column sits at firstRowTop() with rows 15 apart while the
    // tallest layout (Liner, with the chooser) fits; a shorter panel moves it up, and then
    // draws the rows closer. Every layout uses the same top and pitch, so the toggles stay put
    // when the motion kind changes.
    struct Column {
        int top;
        int pitch;
    };
    static constexpr int kButtonHeight = 22;  // the guide-line button
    static constexpr int kChooserHeight = 22; // the easing chooser
    static Column column(int clientHeight);
    // The tops of the guide-line button and of the easing chooser in the current layout.
    int buttonTop(const Column& column) const;
    int chooserTop(const Column& column) const;

private:
    int indexOf(int command) const;
    // The selected object's index (-1 for none), remembered as the panel's selection.
    int readSelection();
    void readPositions(const ObjectRecord& r, const ProjectHeader& h);
    // The selected object with slider `command`'s field at `position`; false when no object
    // is selected.
    bool changedObject(int command, int position, AnimationObject& object);

    ProjectEditor& m_editor;
    const LanguageTable& m_texts;
    int m_selected = -1;
    int m_mode = 0;
    Easing m_easing = kEaseLinear;
    std::array<int, kSliderCount> m_positions{};
    std::array<std::string, kSliderCount> m_values; // the read-outs
};
