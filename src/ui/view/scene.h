#pragma once
// One redraw of the view surface: the map, the origin, the grid, the trace with its path preview,
// tangents, arrows and times, the reference points, the table highlight, the rubber band, the
// snap marker and the screen overlay. Everything goes through GlApi.

#include "core/model/trace.h"
#include "core/view/dot_thinning.h"
#include "core/view/view_math.h"
#include "ui/view/gl_api.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace kestrova::ui {

using Vec3 = std::array<float, 3>;

struct DisplayFlags {
    bool grid = true;
    bool arrows = true;
    bool tangents = true;
    bool times = true;
    bool referencePoints = true;
    bool rulers = true;
};

// The path's blue dots, segment by segment, kept between redraws: a segment is evaluated again
// only when what it depends on changed (its two points, its tangents, the point counts), and
// thinned again for the view only when its dots or the view changed.
struct PathDotCache {
    struct Segment {
        std::array<float, 14> key{};
        bool valid = false;
        std::vector<float> xyz; // three floats a dot
        uint64_t shownKey = 0;  // of the view the shown dots were thinned for
        bool shownValid = false;
        std::vector<float> shown;
    };
    std::vector<Segment> segments; // by control point index
    int evaluated = 0;             // segments evaluated since the cache was made (tests read it)
    int thinned = 0;               // segments thinned for a view (the same)
    // The wall-clearance warning thinned for the view.
    struct Warning {
        uint64_t key = 0; // of the view and the warning's dots
        bool valid = false;
        std::vector<float> inside, near;
    } clearance;
};

// Path points too close to a wall of the map (world positions, three floats a point).
struct ClearanceDots {
    std::vector<float> inside;
    std::vector<float> near;
};

// What the last redraws left in the surface's two layers: "base" (the cleared view and the map)
// and "scene" (everything but what follows the pointer and the screen overlay). A layer's key
// is a hash of the calls that drew it, so a redraw whose calls would be the same draws the
// saved picture back instead. Saving waits until a layer is drawn the same twice in a row: a
// copy stalls the renderer, and while the view pans or a point is dragged it would go unused.
struct LayerCache {
    uint64_t baseKey = 0; // of the saved layers
    uint64_t sceneKey = 0;
    bool baseSaved = false;
    bool sceneSaved = false;
    uint64_t lastBaseKey = 0; // of the last redraw
    uint64_t lastSceneKey = 0;
    int baseReused = 0; // redraws that started from each layer (tests and the benchmark read them)
    int sceneReused = 0;
};

struct SceneInput {
    Trace* trace = nullptr; // the redraw refreshes the control table's phantoms
    int32_t viewMode = kViewXY;
    float centreH = 0; // plans: the pan centre
    float centreV = 0;
    PlanMetrics metrics;
    ViewCamera* camera = nullptr; // 3D: moved by the pending movement
    CameraMotion* motion = nullptr;
    DisplayFlags flags;
    bool suspended = false;
    PathDotCache* pathDots = nullptr; // nullptr: the dots are evaluated for this redraw only
    // Only the path dots the view can tell apart are drawn (the view keeps it on; false draws
    // every dot of the path, as the timings' "before" does).
    bool thinDots = false;
    const ClearanceDots* clearance = nullptr; // nullptr: no warning drawn
    // The tangents, arrows and times each drawn together after the path, to spare state
    // changes (false: segment by segment, the look they keep).
    bool groupTrace = true;

    // Draws the map into the current context; empty when no map is shown.
    std::function<void()> drawMap;
    // nullptr: every redraw draws everything. layerSalt stands for what the calls do not show:
    // the map drawn and its look, the line smoothing; 0 with a map draws everything.
    LayerCache* layers = nullptr;
    uint64_t layerSalt = 0;
    Vec3 mapOffset{0, 0, 0};

    bool rubberBand = false;
    Vec3 rubberA{0, 0, 0};
    Vec3 rubberB{0, 0, 0};
    bool snapMarker = false;
    Vec3 snapAt{0, 0, 0};
    bool hover = false; // the point or handle end under the pointer
    Vec3 hoverAt{0, 0, 0};
    bool tableHighlight = false;
    int highlightKind = kControl;
    int highlightFirst = 1; // rows of the points table's selection
    int highlightLast = 1;
};

struct SceneResult {
    bool drawn = false;
};

// The projection of the current view (3D frustum or plan ortho around the centre).
void SetProjection(GlApi& gl, const SceneInput& in);
// Clears and places the view; in 3D applies the pending movement.
void SetCamera(GlApi& gl, SceneInput& in);
SceneResult Redraw(GlApi& gl, SceneInput& in);

// Primitives.
void DrawPoint(GlApi& gl, float x, float y, float z);
void DrawCross(GlApi& gl, float x, float y, float z, float size);
void DrawVector(GlApi& gl, float x, float y, float z, float dx, float dy, float dz);
void DrawRect2D(GlApi& gl, double x1, double y1, double x2, double y2, GlPrimitive mode);
void DrawLine2D(GlApi& gl, double x1, double y1, double x2, double y2);
void DrawSelectionRect(GlApi& gl, int32_t viewMode, const Vec3& a, const Vec3& b);
// The square a pick reaches around a point of a plan: half is its half-side in world units.
void DrawHoverSquare(GlApi& gl, int32_t viewMode, const Vec3& at, float half);
// Latin-1 text at the raster position; empty text touches nothing.
void PrintText(GlApi& gl, const QString& text);
// The text's characters that have a glyph (32..127).
QByteArray Printable(const QString& text);

// Tangent handle colours.
struct Rgb3 {
    float r, g, b;
};
Rgb3 TangentColour(int32_t fixedAxes, int32_t viewMode);

// A point mark of one size and colour; the marks of points and reference points are stacks of
// these.
void DrawMark(GlApi& gl, float size, Rgb3 colour, const PointRecord& p);

// The warning colours of path points inside a wall and too near one.
inline constexpr Rgb3 kClearanceInsideColour{0.9f, 0, 0.35f};
inline constexpr Rgb3 kClearanceNearColour{1, 0.7f, 0};
inline constexpr float kClearancePointSize = 5;

// The rulers' bands, which the time labels keep clear of, and the labels' pixel font.
inline constexpr double kRulerBandHeight = 16; // along the top
inline constexpr double kRulerBandWidth = 32;  // along the left
inline constexpr double kRulerLabelHeight = 10;

} // namespace kestrova::ui
