#include "tools/cli/DemoCommand.h"

#include "document/ProjectEditor.h"
#include "stage/MotionState.h"
#include "stage/PlaybackState.h"
#include "text/TextMeasurer.h"

#include <QColor>

#include <cmath>
#include <cstdio>

namespace {

// The demo has no font machinery: its text is given a fixed box.
class FixedBoxMeasurer : public TextMeasurer {
public:
    QSize measure(const LogFontA&, std::string_view text) const override {
        return text.empty() ? QSize(0, 0) : QSize(64, 24);
    }
};

QImage solidPicture(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(colour);
    return picture;
}

void buildDemo(ProjectEditor& editor) {
    ProjectProperties properties;
    properties.name = "Demo";
    properties.duration = 12;
    editor.newProject(properties);

    // Layer 0: a red/blue blinking square gliding from left to right, growing and fading.
    const SymbolId square = SymbolId::create();
    editor.insertLibrarySymbol(
        square, {solidPicture(20, 20, qRgb(220, 40, 40)), solidPicture(20, 20, qRgb(40, 40, 220))});
    editor.appendMotion(kLinerMotion);
    editor.selectLayerAndObject(0, 0);
    editor.deleteSelectedObject(); // keep only the moving copy on the layer
    editor.editObject(0, [](AnimationObject& glide) {
        glide.record.startFrame = glide.record.motionStartFrame = 0;
        glide.record.endFrame = glide.record.motionEndFrame = 11;
        glide.record.startX = 10.0f;
        glide.record.endX = 280.0f;
        glide.record.endScale = 2.0f;
        glide.record.endOpacity = 64;
    });

    // Layer 1: a text riding a guide line along a quarter circle.
    AnimationObject text;
    text.setText("Zentravo");
    editor.addTextObject(text, FixedBoxMeasurer());
    editor.editObject(1, [](AnimationObject& rider) {
        rider.record.motionKind = kGuideLineMotion;
        rider.record.motionEndFrame = 11;
        for (int k = 0; k <= 16; ++k) {
            const double a = M_PI / 2 * k / 16;
            rider.guidePoints.append(GuidePoint{static_cast<int>(160 + 50 * std::cos(a)),
                                                static_cast<int>(110 - 90 * std::sin(a))});
        }
    });

    // Layer 2: a trail symbol on a hidden layer: computed but never drawn.
    editor.insertLibrarySymbol(SymbolId::create(), {solidPicture(8, 8, qRgb(0, 160, 0))});
    editor.editObject(2, [](AnimationObject& trail) { trail.record.trailFlag = 1; });
    editor.setLayerVisible(2, false);
}

} // namespace

int DemoCommand::run(std::ostream& out) {
    Document document;
    ProjectEditor editor(document);
    buildDemo(editor);
    auto lock = document.lock();
    const Project& project = lock.project();
    const ProjectHeader& h = project.header;
    char line[256];
    std::snprintf(line, sizeof line, "Demo project: %dx%d, %d frames at %d fps, %d layers\n",
                  h.width, h.height, h.duration, h.frameRate, project.layerCount());
    out << line;
    // The frames one after another, as a preview plays them.
    PlaybackState playback = PlaybackState::stored(project, lock.symbols());
    for (int frame = 0; frame < h.duration; ++frame) {
        out << "frame " << frame << "\n";
        int index = 0;
        for (int layer = 0; layer < project.layerCount(); ++layer) {
            const auto k = static_cast<std::uint32_t>(layer);
            for (int n = 0; n < project.layerCounts[k]; ++n, ++index) {
                const auto i = static_cast<std::uint32_t>(index);
                const ObjectFrameState s = computeState(project.objects[i], project.symbolIds[i],
                                                        project.layerVisible[k] == 1, frame, h,
                                                        lock.symbols(), false, playback);
                const bool symbol = project.objects[i].isSymbol();
                if (!s.drawn) {
                    std::snprintf(line, sizeof line, "  %-9s not drawn%s\n",
                                  project.layerName(layer).c_str(),
                                  project.layerVisible[k] == 1 ? "" : " (hidden layer)");
                    out << line;
                    continue;
                }
                const std::string opacity =
                    symbol ? std::to_string(s.opacity).substr(0, 5) : std::to_string(s.textOpacity);
                const char* picture = !symbol ? ""
                                      : s.symbolPicture.pixel(0, 0) == qRgb(220, 40, 40)
                                          ? " picture=red"
                                          : " picture=blue";
                std::snprintf(line, sizeof line,
                              "  %-9s centre=(%.1f, %.1f) angle=%.1f scale=%.2f opacity=%s%s%s\n",
                              project.layerName(layer).c_str(), s.centreX, s.centreY, s.angle,
                              s.scaleX, opacity.c_str(), s.trail ? " trail" : "", picture);
                out << line;
            }
        }
    }
    return 0;
}
