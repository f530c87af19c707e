#include "tools/samples/SampleProjects.h"

#include "document/FixedText.h"
#include "document/ProjectEditor.h"
#include "text/TextMeasurer.h"
#include "text/TextStyleColours.h"
#include "tools/samples/SampleArt.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>

namespace {

// Small scene-building helpers over the editor's own commands. Objects are changed on copies
// (object()), which go to the editor before its next command and at the end (finish()).
class Scene {
public:
    Scene(ProjectEditor& editor, const TextMeasurer& measurer)
        : m_editor(editor), m_measurer(measurer) {}

    // The generator is single-threaded and draws nothing while it builds: the lock is taken
    // only to read the lists between the editor's commands.
    int objectCount() { return m_editor.document().lock().project().objectCount(); }

    // Hands the changed copies to the editor.
    void finish() {
        for (auto& [index, object] : m_pending)
            m_editor.changeObject(index, object);
        m_pending.clear();
    }

    // Adds a symbol object on a new layer; returns its index in the object list.
    int symbol(const std::vector<QImage>& frames, int symbolFrameRate = 0) {
        finish();
        m_editor.insertLibrarySymbol(SymbolId::create(), frames);
        const int index = objectCount() - 1;
        if (symbolFrameRate > 0)
            object(index).record.symbolFrameRate = symbolFrameRate;
        return index;
    }

    // Adds a text object on a new layer; returns its index.
    int text(const char* words, int style, int height, std::uint32_t colour, std::uint32_t second,
             const char* face = "DejaVu Sans") {
        AnimationObject object;
        object.setText(words);
        ObjectRecord& r = object.record;
        r.textStyle = style;
        r.textColor = colour;
        r.secondTextColor = second;
        r.font.height = -height;
        r.font.weight = 700;
        setFixedText(r.font.faceName, face);
        finish();
        m_editor.addTextObject(object, m_measurer);
        return objectCount() - 1;
    }

    // A copy of object `index` to change; it goes to the editor with finish().
    AnimationObject& object(int index) {
        const auto found = m_pending.find(index);
        if (found != m_pending.end())
            return found->second;
        auto lock = m_editor.document().lock();
        return m_pending[index] = lock.project().objects[static_cast<std::uint32_t>(index)];
    }

    // Places the start (and, without motion, the end) of an object so that its centre is
    // at (cx, cy) at the given scale.
    void startAt(int index, float cx, float cy, float scale = 1.0f) {
        ObjectRecord& r = object(index).record;
        r.startScale = r.endScale = scale;
        r.startX = r.endX = r.dragOriginX = cx - r.width * scale * 0.5f;
        r.startY = r.endY = r.dragOriginY = cy - r.height * scale * 0.5f;
    }
    void endAt(int index, float cx, float cy, float scale) {
        ObjectRecord& r = object(index).record;
        r.endScale = scale;
        r.endX = cx - r.width * scale * 0.5f;
        r.endY = cy - r.height * scale * 0.5f;
    }
    void span(int index, int start, int end) {
        ObjectRecord& r = object(index).record;
        r.startFrame = r.motionStartFrame = start;
        r.endFrame = r.motionEndFrame = end;
    }
    void liner(int index, float cx, float cy, float scale = 1.0f) {
        object(index).record.motionKind = kLinerMotion;
        endAt(index, cx, cy, scale);
    }
    void guide(int index, int points, const std::function<QPointF(double)>& curve) {
        AnimationObject& o = object(index);
        o.record.motionKind = kGuideLineMotion;
        o.guidePoints.clear();
        for (int k = 0; k < points; ++k) {
            const QPointF p = curve(static_cast<double>(k) / (points - 1));
            o.guidePoints.append(
                {static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y()))});
        }
        o.record.guidePointCount = static_cast<std::int32_t>(o.guidePoints.count());
    }
    // Appends a Liner motion to `index` that carries on from its end values; returns the
    // new object's index.
    int then(int index, int length, float cx, float cy, float scale, int opacity = -1) {
        finish();
        m_editor.selectLayerAndObject(-1, index);
        m_editor.appendMotion(kLinerMotion);
        const int next = index + 1;
        ObjectRecord& previous = object(index).record;
        ObjectRecord& r = object(next).record;
        r.startX = r.dragOriginX = previous.endX;
        r.startY = r.dragOriginY = previous.endY;
        r.startScale = previous.endScale;
        r.startAngle = r.endAngle = previous.endAngle;
        r.startOpacity = r.endOpacity = previous.endOpacity;
        span(next, previous.endFrame, previous.endFrame + length);
        endAt(next, cx, cy, scale);
        if (opacity >= 0)
            r.endOpacity = opacity;
        return next;
    }
    void hideLayerOf(int index) {
        finish();
        int layer = -1;
        {
            auto lock = m_editor.document().lock();
            layer = lock.project().layerOfObject(index);
        }
        m_editor.setLayerVisible(layer, false);
    }

private:
    ProjectEditor& m_editor;
    const TextMeasurer& m_measurer;
    std::map<int, AnimationObject> m_pending;
};

bool newProject(ProjectEditor& editor, const char* name, int width, int height, int duration,
                int frameRate, std::uint32_t colour, const QString& picture, int placement) {
    ProjectProperties properties;
    properties.name = name;
    properties.width = width;
    properties.height = height;
    properties.duration = duration;
    properties.frameRate = frameRate;
    properties.backgroundColor = colour;
    // Only the name: the picture sits beside the project file, wherever the folder goes.
    properties.backgroundPicture = QFileInfo(picture).fileName().toStdString();
    properties.placement = placement;
    editor.newProject(properties);
    return true;
}

bool savePicture(const QImage& picture, const QString& path) {
    return picture.save(path, "PNG");
}

// 1: a sunny morning: stretched sky, a rising sun, drifting clouds in front of and behind
// it, a bird on a guide line and a greeting that grows in.
bool sunnyDay(Scene& s, ProjectEditor& editor, const QString& folder) {
    const QString sky = folder + "/sample_sky.png";
    if (!savePicture(SampleArt::skyGradient(64, 256), sky))
        return false;
    newProject(editor, "Sunny Day", 640, 480, 72, 24, 0xF0D8B0, sky, kPlacementStretched);

    const int farCloud = s.symbol(SampleArt::cloud(180));
    s.startAt(farCloud, 560, 110, 0.8f);
    s.liner(farCloud, 420, 110, 0.8f);
    s.object(farCloud).record.startOpacity = s.object(farCloud).record.endOpacity = 170;

    const int sun = s.symbol(SampleArt::sun(140), 4);
    s.startAt(sun, 120, 430, 0.6f);
    s.liner(sun, 470, 120, 1.0f);
    s.object(sun).record.endAngle = 60;

    const int hills = s.symbol({SampleArt::hills(640, 200, false)});
    s.startAt(hills, 320, 380);

    const int nearCloud = s.symbol(SampleArt::cloud(240));
    s.startAt(nearCloud, -40, 170);
    s.liner(nearCloud, 700, 150, 1.1f);

    const int bird = s.symbol(SampleArt::bird(56), 12);
    s.guide(bird, 120, [](double t) {
        return QPointF(-30 + t * 700, 250 - 70 * std::sin(t * 2 * M_PI) - 60 * t);
    });
    s.object(bird).record.headingOffset = 270; // wings level when flying right

    const int title = s.text("Good Morning!", 4, 56, 0x0060FF, 0x00FFFF);
    s.startAt(title, 320, 70, 0.3f);
    s.span(title, 0, 36);
    s.liner(title, 320, 70, 1.0f);
    s.object(title).record.startOpacity = 0;
    s.then(title, 36, 320, 80, 1.1f);
    return true;
}

// 2: the eight text styles sliding in one after another over a tiled floor.
bool textStyles(Scene& s, ProjectEditor& editor, const QString& folder) {
    const QString tile = folder + "/sample_tile.png";
    if (!savePicture(SampleArt::checkerTile(40, qRgb(232, 236, 240), qRgb(214, 222, 232)), tile))
        return false;
    newProject(editor, "Text Styles", 480, 400, 48, 12, 0xFFFFFF, tile, kPlacementTiled);
    // Each style in the colours the text panel offers for it.
    const char* words[8] = {"Gradient", "Glowing", "Dotted", "Speckled",
                            "Embossed", "Woven",   "Halo",   "Soft"};
    for (int style = 1; style <= 8; ++style) {
        const TextColourPair colours = TextStyleColours::defaults(style);
        const int text = s.text(words[style - 1], style, 36, colours.first, colours.second);
        const float y = 30.0f + (style - 1) * 48.0f;
        s.startAt(text, -120, y);
        s.span(text, (style - 1) * 3, 24 + (style - 1) * 3);
        s.liner(text, 240, y);
        s.object(text).record.startOpacity = 60;
        s.object(text).record.startAngle = -20;
        s.then(text, 48, 240 + ((style % 2) ? 12 : -12), y, 1.05f);
    }
    return true;
}

// 3: a rocket with a trail on a guide line through a star field, planets overlapping, and a
// comet on a hidden layer.
bool rocketTrip(Scene& s, ProjectEditor& editor, const QString& folder) {
    const QString stars = folder + "/sample_stars.png";
    if (!savePicture(SampleArt::starField(440, 280), stars))
        return false;
    newProject(editor, "Rocket Trip", 480, 320, 60, 15, 0x301010, stars, kPlacementCentred);

    const int red = s.symbol(SampleArt::planet(130, qRgb(210, 90, 60), qRgb(240, 210, 150)));
    s.startAt(red, 360, 90, 0.6f);
    s.liner(red, 330, 110, 1.2f);
    s.object(red).record.endAngle = 25;

    const int blue = s.symbol(SampleArt::planet(90, qRgb(60, 120, 220), qRgb(180, 220, 255)));
    s.startAt(blue, 300, 150);
    s.liner(blue, 390, 140, 0.8f);

    const int twinkle = s.symbol(SampleArt::star(28), 6);
    s.startAt(twinkle, 80, 60);
    const int twinkle2 = s.symbol(SampleArt::star(20), 9);
    s.startAt(twinkle2, 430, 270);

    const int rocket = s.symbol(SampleArt::rocket(64), 10);
    s.guide(rocket, 150, [](double t) {
        return QPointF(40 + t * 380 + 40 * std::sin(t * 3 * M_PI), 290 - t * 250);
    });
    s.object(rocket).record.trailFlag = 1;
    s.object(rocket).record.endScale = 0.6f;
    s.span(rocket, 0, 60);

    const int comet = s.symbol(SampleArt::spark(24));
    s.startAt(comet, 20, 20);
    s.liner(comet, 460, 200);
    s.hideLayerOf(comet); // hidden: kept in the project, never drawn

    const int caption = s.text("To the stars", 3, 28, 0xFFFFFF, 0x808080);
    s.startAt(caption, 240, 290);
    s.span(caption, 20, 60);
    s.liner(caption, 240, 290);
    s.object(caption).record.startOpacity = 0;
    return true;
}

// 4: bouncing balls over hills: chains of Liner motions, squash and fade, overlapping layers.
bool bouncingBalls(Scene& s, ProjectEditor& editor, const QString& folder) {
    const QString hills = folder + "/sample_hills.png";
    if (!savePicture(SampleArt::hills(260, 170, true), hills))
        return false;
    newProject(editor, "Bouncing Balls", 320, 240, 48, 12, 0xE8D8C8, hills, kPlacementCentred);
    const QRgb colours[3] = {qRgb(220, 40, 40), qRgb(40, 110, 230), qRgb(250, 190, 30)};
    for (int b = 0; b < 3; ++b) {
        const int ball = s.symbol(SampleArt::ball(44 - b * 8, colours[b]));
        const float x0 = 50.0f + b * 40.0f;
        s.startAt(ball, x0, 40);
        s.span(ball, 0, 8 + b * 2);
        s.liner(ball, x0 + 30, 200);
        int last = ball;
        float x = x0 + 30;
        for (int bounce = 0; bounce < 3; ++bounce) {
            last = s.then(last, 6, x + 30, 90 + bounce * 30, 1.0f);
            x += 30;
            last = s.then(last, 6, x + 30, 200, bounce == 2 ? 0.7f : 1.0f, bounce == 2 ? 80 : -1);
            x += 30;
        }
        // Resting at the end of the animation.
        s.then(last, 48 - s.object(last).record.endFrame, x, 200, 0.7f);
    }
    const int ghost = s.symbol(SampleArt::ball(30, qRgb(120, 120, 120)));
    s.startAt(ghost, 160, 120);
    s.hideLayerOf(ghost);
    const int label = s.text("Boing!", 6, 40, 0x2020A0, 0x80C0FF);
    s.startAt(label, 160, 40, 0.5f);
    s.span(label, 10, 48);
    s.liner(label, 160, 40, 1.0f);
    s.object(label).record.startAngle = -15;
    s.object(label).record.endAngle = 10;
    return true;
}

} // namespace

bool SampleProjects::build(int number, ProjectEditor& editor, const TextMeasurer& measurer,
                           const QString& pictureFolder) {
    Scene scene(editor, measurer);
    bool built = false;
    switch (number) {
    case 1:
        built = sunnyDay(scene, editor, pictureFolder);
        break;
    case 2:
        built = textStyles(scene, editor, pictureFolder);
        break;
    case 3:
        built = rocketTrip(scene, editor, pictureFolder);
        break;
    case 4:
        built = bouncingBalls(scene, editor, pictureFolder);
        break;
    default:
        return false;
    }
    if (!built)
        return false;
    // The samples open with nothing selected.
    scene.finish();
    editor.clearSelection();
    return true;
}
