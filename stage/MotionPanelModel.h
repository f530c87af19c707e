#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class AnimationObject;
class LanguageTable;
class ObjectRecord;
class ProjectEditor;
struct ProjectHeader;

// MotionPanelModel: the motion property panel's rules without a window: its eleven sliders
// (command, range, the object field each one sets and the mappings between slider positions
// and values), the three layouts by motion kind with their labels and read-outs, and what a
// slider or a toggle does to the selected object. It hands every change to the command layer:
// a slider held and dragged is one drag (one undo step at the release), a step by a key and a
// toggle one command each.
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

    int mode() const { return m_mode; }
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

private:
    int indexOf(int command) const;
    void readPositions(const ObjectRecord& r, const ProjectHeader& h);
    // The selected object with slider `command`'s field at `position`; false when no object
    // is selected.
    bool changedObject(int command, int position, AnimationObject& object);

    ProjectEditor& m_editor;
    const LanguageTable& m_texts;
    int m_selected = -1;
    int m_mode = 0;
    std::array<int, kSliderCount> m_positions{};
    std::array<std::string, kSliderCount> m_values; // the read-outs
};
