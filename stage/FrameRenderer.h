#pragma once

#include "stage/ObjectFrameState.h"

#include <QImage>
#include <QPoint>
#include <QPolygonF>
#include <QRect>
#include <QTransform>

#include <array>
#include <optional>
#include <vector>

class AnimationObject;
class EmbeddedSymbolList;
class HitRegionTable;
class PlaybackState;
class Project;
class QPainter;
struct SymbolId;

// FrameRenderer: draws one frame of a project into a back buffer: the grey surround, the
// stage with its background, every object layer by layer (bringing hit regions up to date),
// the selection handles in edit view, and the stage outline. Coordinates in the buffer are
// zoomed stage pixels shifted by nothing; the view's scroll only affects the grey strips.
class FrameRenderer {
public:
    struct View {
        float zoom = 1.0f;
        int scrollX = 0;
        int scrollY = 0;
        int frame = 0;
        bool editView = false;
        bool exporting = false;
        // Exports with a transparent background: the stage's colour and picture are left out,
        // the buffer keeps its alpha (it must have one).
        bool transparent = false;
        // Where the objects' hit regions as drawn go (by object index; the stage view picks
        // with them); none for an export.
        std::vector<std::optional<QPolygonF>>* hitRegions = nullptr;
    };

    // What drawing leaves for the stage view's hit tests.
    struct Selection {
        QTransform handleMatrix;         // transform of the last selected object's handles
        std::array<QRect, 12> handles{}; // 8 squares, 4 circles, in that object's coordinates
        QPoint position;                 // zoomed, truncated start x and y of that object
    };

    static constexpr QRgb kSurround = 0xFFC8C8C8;   // RGB(200, 200, 200)
    static constexpr QRgb kOutline = 0xFF6E6E6E;    // RGB(110, 110, 110)
    static constexpr QRgb kHandleFill = 0xFF96C8FF; // ARGB
    static constexpr QRgb kRotateFill = 0xFF00FF00; // ARGB

    // Draws `view.frame` into `buffer`. It reads the project and moves `playback` on as
    // drawing in frame order expects (symbol picture cursors, symbol times).
    static void drawFrame(QImage& buffer, const Project& project, const EmbeddedSymbolList& symbols,
                          const HitRegionTable& regions, const QImage& background, const View& view,
                          Selection& selection, PlaybackState& playback);

    // The 12 handle rectangles around the box (left, top, right, bottom) of a selected object.
    static std::array<QRect, 12> handleRects(int left, int top, int right, int bottom);
    // The three 4 x 4 stage resize handles (right edge, bottom edge, corner) of a zoomed stage.
    static std::array<QRect, 3> resizeHandles(int zoomedWidth, int zoomedHeight);
    // 0x00BBGGRR as an opaque colour.
    static QRgb fromColorRef(std::uint32_t colorRef);

    // Draws a symbol picture at a state: centred on the state's centre, turned and scaled, at
    // the state's opacity; with the trail flag as five copies ahead along the heading.
    static void drawSymbolObject(QPainter& painter, const ObjectFrameState& state,
                                 int headingOffset, float zoom);

private:
    static void drawBackground(QPainter& painter, const Project& project, const QImage& background,
                               float zoom);
    static void drawTextObject(QPainter& painter, const AnimationObject& object, const SymbolId& id,
                               const Project& project, const EmbeddedSymbolList& symbols,
                               const View& view, PlaybackState& playback, std::int32_t& symbolTime);
    // The object's base hit region turned, scaled and placed as it stands (zoomed stage
    // coordinates); none without a region slot, empty for a stale one.
    static std::optional<QPolygonF> hitRegion(const AnimationObject& object,
                                              const HitRegionTable& regions, float zoom);
    static void drawHandles(QPainter& painter, const AnimationObject& object, float zoom,
                            bool layerVisible, Selection& selection);
    static void drawOutline(QPainter& painter, int zoomedWidth, int zoomedHeight);
};
