#include "core/path/point_count.h"
#include "core/support_trace.h"
#include "support/recording_gl.h"
#include "ui/view/scene.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace kestrova::ui {
namespace {

using test::DrawnPrimitive;
using test::MakeTrace;
using test::RecordingGl;

struct SceneFixture : ::testing::Test {
    ViewCamera camera;
    CameraMotion motion;

    SceneInput Input(Trace& t, int32_t viewMode, double scale = 1.0) {
        SceneInput in;
        in.trace = &t;
        in.viewMode = viewMode;
        in.metrics.Resize(800, 600);
        in.metrics.SetScale(scale);
        in.camera = &camera;
        in.motion = &motion;
        return in;
    }

    template <typename Pred>
    static std::vector<const DrawnPrimitive*> Where(const RecordingGl& gl, Pred pred) {
        std::vector<const DrawnPrimitive*> out;
        for (const auto& p : gl.primitives)
            if (pred(p))
                out.push_back(&p);
        return out;
    }
    // The drawn primitives that are not part of the grid or the overlay.
    static std::vector<const DrawnPrimitive*> SceneOnly(const RecordingGl& gl) {
        return Where(gl, [](const DrawnPrimitive& p) {
            return !p.overlay && !(p.type == GlPrimitive::Lines && p.vertices.size() == 404);
        });
    }
    static std::vector<std::array<double, 3>> DotsOf(const RecordingGl& gl) {
        std::vector<std::array<double, 3>> out;
        for (const DrawnPrimitive* p : Where(gl, [](const DrawnPrimitive& p) {
                 return p.type == GlPrimitive::Points && p.pointSize == 2 && p.colour.Is(0, 0, 1);
             }))
            out.insert(out.end(), p->vertices.begin(), p->vertices.end());
        return out;
    }
    static int PathDots(const RecordingGl& gl) { return static_cast<int>(DotsOf(gl).size()); }

    static int VerticesIn(const RecordingGl& gl, float r, float g, float b) {
        int n = 0;
        for (const auto& p : gl.primitives)
            n += p.colour.Is(r, g, b) ? static_cast<int>(p.vertices.size()) : 0;
        return n;
    }
    static int Magenta(const RecordingGl& gl) { return VerticesIn(gl, 1, 0, 1) / 2; } // lines

    static RecordingGl Draw(SceneInput& in) {
        RecordingGl gl;
        Redraw(gl, in);
        return gl;
    }
    RecordingGl Draw(Trace& t, int32_t viewMode, double scale = 1.0, bool rulers = true) {
        SceneInput in = Input(t, viewMode, scale);
        in.flags.rulers = rulers;
        return Draw(in);
    }
};

// "size r,g,b" of a point: what the eye tells apart.
std::string Look(const DrawnPrimitive* p) {
    std::ostringstream os;
    os << p->pointSize << ' ' << p->colour.r << ',' << p->colour.g << ',' << p->colour.b;
    return os.str();
}
std::vector<std::string> Looks(const std::vector<const DrawnPrimitive*>& ps) {
    std::vector<std::string> out;
    for (const DrawnPrimitive* p : ps)
        out.push_back(Look(p));
    return out;
}

TEST_F(SceneFixture, RedrawOrderMapOriginGridTraceOverlayUnlessSuspended) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 50, 0}});
    RecordingGl gl;
    SceneInput in = Input(t, kViewXY, 2.0);
    in.mapOffset = {10, 20, 30};
    int mapCallAt = -1;
    in.drawMap = [&] { mapCallAt = static_cast<int>(gl.calls.size()); };
    ASSERT_TRUE(Redraw(gl, in).drawn);

    // The map is drawn first, shifted by its offset inside its own matrix.
    ASSERT_GE(mapCallAt, 3);
    EXPECT_EQ(gl.calls[mapCallAt - 2], QStringLiteral("PushMatrix"));
    EXPECT_EQ(gl.calls[mapCallAt - 1], QStringLiteral("Translate(10,20,30)"));
    EXPECT_EQ(gl.calls[mapCallAt], QStringLiteral("PopMatrix"));
    EXPECT_EQ(gl.calls.front(), QStringLiteral("Clear"));
    EXPECT_EQ(gl.calls.back(), QStringLiteral("Flush"));

    // Origin cross: 20 pixels in red at width 2, then the grid at z = 0, then the trace.
    const DrawnPrimitive& cross = gl.primitives[0];
    EXPECT_TRUE(cross.colour.Is(0.85f, 0, 0));
    EXPECT_EQ(cross.lineWidth, 2);
    ASSERT_EQ(cross.vertices.size(), 6u);
    EXPECT_DOUBLE_EQ(cross.vertices[0][0], -5); // 10 world units at two pixels a unit
    const DrawnPrimitive& grid = gl.primitives[1];
    EXPECT_TRUE(grid.colour.Is(0.93f, 0.9f, 0.9f));
    EXPECT_EQ(grid.vertices.size(), 404u);
    EXPECT_TRUE(std::all_of(grid.vertices.begin(), grid.vertices.end(),
                            [](const auto& v) { return v[2] == 0; }));
    EXPECT_EQ(Look(&gl.primitives[2]), "6 1,0,0"); // the start marker
    EXPECT_TRUE(gl.primitives.back().overlay);
    EXPECT_EQ(gl.matrixPushDepth, 0);

    RecordingGl suspended;
    in.suspended = true;
    EXPECT_FALSE(Redraw(suspended, in).drawn);
    EXPECT_TRUE(suspended.calls.empty());
}

TEST_F(SceneFixture, ControlPointsAndPathDots) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 100, 0}}, 1001);
    t.points.At(kControl, 2).selected = true;
    const RecordingGl gl = Draw(t, kViewXY);
    // The start marker then the point, black at 4; selected: blue 8 then white 5.
    EXPECT_EQ(Looks(gl.PointsAt(0, 0, 0)), (std::vector<std::string>{"6 1,0,0", "4 0,0,0"}));
    EXPECT_EQ(Looks(gl.PointsAt(100, 0, 0)), (std::vector<std::string>{"8 0,0,1", "5 1,1,1"}));
    // Dots every N - 1 = 2 path indices while j <= P - 2 = 999, for each of the two segments.
    EXPECT_EQ(PathDots(gl), 2 * 500);
}

TEST_F(SceneFixture, PathDotsAreKeptUntilTheirSegmentChanges) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 100, 0}, {300, 100, 50}}, 1001);
    SceneInput plain = Input(t, kViewXY);
    const RecordingGl fresh = Draw(plain);
    PathDotCache cache;
    SceneInput in = Input(t, kViewXY);
    in.pathDots = &cache;
    const RecordingGl first = Draw(in);
    // The same dots as evaluated on the spot, one array draw per segment.
    EXPECT_EQ(DotsOf(first), DotsOf(fresh));
    EXPECT_EQ(cache.evaluated, 3);
    // Three for the dots, one each for the (automatic, green) tangents, handles and arrows.
    EXPECT_EQ(first.arrayDraws, 6);
    // The calls around them keep their order.
    EXPECT_EQ(first.calls, fresh.calls);

    EXPECT_EQ(DotsOf(Draw(in)), DotsOf(fresh));
    EXPECT_EQ(cache.evaluated, 3); // nothing changed, nothing evaluated

    // Point 3 ends segment 2 and starts segment 3; segment 1 is kept.
    t.points.At(kControl, 3).y = 150;
    EXPECT_EQ(DotsOf(Draw(in)), DotsOf(Draw(plain)));
    EXPECT_EQ(cache.evaluated, 5);

    // Another point count changes every segment.
    t.counts.pointCount = 501;
    EXPECT_EQ(PathDots(Draw(in)), 3 * 167); // j = 0, 3, ..., 498 for each segment
    EXPECT_EQ(cache.evaluated, 8);
}

TEST_F(SceneFixture, ThinnedDotsFollowTheViewAndTheirSegment) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 100, 0}, {300, 100, 50}}, 1001);
    const auto every = DotsOf(Draw(t, kViewXY));
    PathDotCache cache;
    SceneInput in = Input(t, kViewXY);
    in.pathDots = &cache;
    in.thinDots = true;
    // Two warning stretches of ten dots a tenth of a pixel apart: their ends stay, where the
    // colour changes.
    ClearanceDots warning;
    for (float from : {50.0f, 80.0f})
        for (int k = 0; k < 10; ++k)
            warning.inside.insert(warning.inside.end(), {from + 0.1f * k, 0, 0});
    in.clearance = &warning;
    const RecordingGl first = Draw(in);
    EXPECT_LT(PathDots(first), static_cast<int>(every.size()) / 2);
    const auto warned = Where(first, [](const DrawnPrimitive& p) {
        return p.colour.Is(kClearanceInsideColour.r, kClearanceInsideColour.g,
                           kClearanceInsideColour.b);
    });
    ASSERT_EQ(warned.size(), 1u);
    ASSERT_EQ(warned[0]->vertices.size(), 4u);
    for (size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(warned[0]->vertices[k][0], (std::array{50.0, 50.9, 80.0, 80.9})[k], 1e-4);

    // Thinned again only what changed: the segments, the view.
    const struct {
        const char* what;
        std::function<void()> change;
        int evaluated, thinned;
    } steps[] = {
        {"nothing", [] {}, 3, 3},
        {"point 3 ends segment 2 and starts 3", [&] { t.points.At(kControl, 3).y = 150; }, 5, 5},
        {"a pan", [&] { in.centreH += 0.25f; }, 5, 8},
        {"a zoom", [&] { in.metrics.SetScale(2); }, 5, 11},
        {"the 3D view, from y -500",
         [&] {
             in.viewMode = kView3D;
             camera.tx = -150;
             camera.ty = 500;
         },
         5, 14},
        {"the same camera", [] {}, 5, 14},
        {"a turn", [&] { camera.yaw += 0.25f; }, 5, 17},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        Draw(in);
        EXPECT_EQ(cache.evaluated, step.evaluated);
        EXPECT_EQ(cache.thinned, step.thinned);
    }
}

TEST_F(SceneFixture, OneControlPointGetsStartMarkerAndArrowBeforeThePoint) {
    Trace t = MakeTrace({{10, 20, 30}});
    const RecordingGl gl = Draw(t, kViewXY, 1.0, false);
    auto scene = SceneOnly(gl);
    // cross, start marker, arrow (shaft + two head lines), the point.
    ASSERT_GE(scene.size(), 4u);
    EXPECT_EQ(Look(scene[1]), "6 1,0,0");
    EXPECT_TRUE(scene[2]->colour.Is(1, 0, 1));
    EXPECT_EQ(scene[2]->vertices.size(), 6u);
    EXPECT_EQ(Look(scene[3]), "4 0,0,0");
    // No times and no path with a single point.
    EXPECT_TRUE(gl.texts.empty());
    EXPECT_EQ(PathDots(gl), 0);
}

TEST_F(SceneFixture, HiddenPointDrawsNothingOfItsOwn) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 100, 0}}, 1001);
    UpdateTimeLabels(t);
    const RecordingGl all = Draw(t, kViewXY, 1.0, false);
    t.points.At(kControl, 2).hide = 1;
    const RecordingGl gl = Draw(t, kViewXY, 1.0, false);
    EXPECT_TRUE(gl.PointsAt(100, 0, 0).empty());
    // Only segment 1 keeps its dots; one tangent pair, one arrow and one time fewer.
    EXPECT_EQ(PathDots(gl), PathDots(all) / 2);
    EXPECT_EQ(Magenta(gl), Magenta(all) - 3);
    EXPECT_EQ(gl.texts.size(), all.texts.size() - 1);
    // Two lines of two vertices, two handles.
    EXPECT_EQ(VerticesIn(gl, 0, 1, 0.06f), VerticesIn(all, 0, 1, 0.06f) - 6);
}

TEST_F(SceneFixture, GroupedTraceDrawsEachKindOnceAfterThePath) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {200, 100, 0}}, 1001);
    UpdateTimeLabels(t);
    const std::string point = "4 0,0,0", dots = "2 0,0,1", tangent = "line 0,1,0.06",
                      handle = "3 0,1,0.06", a = "line 1,0,1", time = "time";
    const std::pair<bool, std::vector<std::string>> cases[] = {
        // The points, the dots, then every tangent, handle and arrow, the last point, the times.
        {true, {point, point, dots, dots, tangent, handle, a, point, time, time, time}},
        {false,
         {point,  dots,    tangent, handle, tangent, handle, a,    a, a, time, point, dots, tangent,
          handle, tangent, handle,  a,      a,       a,      time, a, a, a,    point, time}},
    };
    for (const auto& [grouped, expected] : cases) {
        SCOPED_TRACE(grouped);
        SceneInput in = Input(t, kViewXY);
        in.flags.rulers = false;
        in.groupTrace = grouped;
        const RecordingGl gl = Draw(in);
        std::vector<std::string> looks;
        size_t k = 0; // each Draw's primitive; after the cross, the grid and the start marker
        for (const QString& call : gl.calls) {
            if (call == QLatin1String("Text"))
                looks.push_back(time);
            if (call != QLatin1String("Draw") || k++ < 3 || gl.primitives[k - 1].overlay)
                continue;
            const std::string look = Look(&gl.primitives[k - 1]);
            looks.push_back(gl.primitives[k - 1].type == GlPrimitive::Lines
                                ? "line" + look.substr(look.find(' '))
                                : look);
        }
        EXPECT_EQ(looks, expected);
    }
}

TEST_F(SceneFixture, CoincidentPointsInThePlanGetNoPathDotsThere) {
    // Equal in X and Y, apart in Z: nothing to see from above, a segment from the side.
    Trace t = MakeTrace({{50, 50, 0}, {50, 50, 300}}, 1001);
    EXPECT_EQ(PathDots(Draw(t, kViewXY)), 0);
    const int side = PathDots(Draw(t, kViewXZ));
    EXPECT_GT(side, 0);
    EXPECT_EQ(PathDots(Draw(t, kView3D)), side);
}

TEST_F(SceneFixture, TangentColoursFollowTheViewsTheHandleWasMovedIn) {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}});
    t.points.At(kControl, 1).tanA.fixedAxes = kViewXY;
    auto handleColours = [&](int32_t mode) {
        SceneInput in = Input(t, mode);
        in.flags.arrows = false;
        const RecordingGl gl = Draw(in);
        return Looks(Where(gl, [](const DrawnPrimitive& p) {
            return p.type == GlPrimitive::Points && p.pointSize == 3;
        }));
    };
    // Moved here: red; moved elsewhere: orange; automatic: green.
    EXPECT_EQ(handleColours(kViewXY), (std::vector<std::string>{"3 1,0.06,0.06", "3 0,1,0.06"}));
    EXPECT_EQ(handleColours(kViewXZ), (std::vector<std::string>{"3 1,0.5,0.06", "3 0,1,0.06"}));
}

TEST_F(SceneFixture, TimesNeedTwoPointsAndAPlaceOnScreen) {
    Trace one = MakeTrace({{0, 0, 0}});
    one.points.timeLabel[1] = QStringLiteral("0.00");
    EXPECT_TRUE(Draw(one, kViewXY, 1.0, false).texts.empty());

    Trace three = MakeTrace({{0, 0, 0}, {100, 0, 0}, {0, 40, 0}});
    UpdateTimeLabels(three);
    SceneInput in2 = Input(three, kViewXY, 0.5);
    in2.flags.rulers = false;
    const RecordingGl gl2 = Draw(in2);
    ASSERT_EQ(gl2.texts.size(), 3u);
    EXPECT_EQ(gl2.texts[1].text, three.points.timeLabel[2].toLatin1());
    EXPECT_DOUBLE_EQ(gl2.texts[1].at[0], 110); // 5 pixels at half a pixel a unit

    // A label off the screen is left out; the labels after it are still drawn.
    RecordingGl off;
    off.rasterLimit = 50; // the second label (x 110) falls outside
    Redraw(off, in2);
    ASSERT_EQ(off.texts.size(), 2u);
    EXPECT_EQ(off.texts[0].text, three.points.timeLabel[1].toLatin1());
    EXPECT_EQ(off.texts[1].text, three.points.timeLabel[3].toLatin1());
}

TEST_F(SceneFixture, ReferencePointsAndTableHighlight) {
    Trace t;
    AppendPointXYZ(t, kReference, 5, 5, 5, std::nullopt, false);
    AppendPointXYZ(t, kReference, 9, 9, 9, std::nullopt, false);
    t.points.At(kReference, 2).selected = true;
    RecordingGl gl;
    SceneInput in = Input(t, kViewXY);
    in.tableHighlight = true;
    in.highlightKind = kReference;
    in.highlightFirst = 1;
    in.highlightLast = 2;
    Redraw(gl, in);
    // The point (selected: blue under green), then the highlight, from green to cyan.
    EXPECT_EQ(Looks(gl.PointsAt(5, 5, 5)),
              (std::vector<std::string>{"6 0,0.5,0", "2 0,0,0", "8 0,1,0", "6 1,1,1", "2 0,0,0"}));
    EXPECT_EQ(Looks(gl.PointsAt(9, 9, 9)),
              (std::vector<std::string>{"8 0,0,1", "5 0,0.5,0", "8 0,1,1", "6 1,1,1", "2 0,0,0"}));

    in.flags.referencePoints = false;
    in.tableHighlight = false;
    EXPECT_TRUE(Draw(in).PointsAt(5, 5, 5).empty());
}

TEST_F(SceneFixture, SelectionRectangleLiesInThePlanAndIsDashedTwice) {
    Trace t;
    SceneInput in = Input(t, kViewXZ);
    in.rubberBand = true;
    in.rubberA = {1, 2, 3};
    in.rubberB = {4, 5, 6};
    const RecordingGl gl = Draw(in);
    const auto loops = Where(
        gl, [](const DrawnPrimitive& p) { return p.type == GlPrimitive::LineLoop && p.stipple; });
    ASSERT_EQ(loops.size(), 2u);
    EXPECT_EQ(loops[0]->stipplePattern, 0xAAAA);
    EXPECT_TRUE(loops[0]->colour.Is(0, 0, 0));
    EXPECT_EQ(loops[1]->stipplePattern, 0x5555);
    EXPECT_TRUE(loops[1]->colour.Is(1, 1, 1));
    const std::vector<std::array<double, 3>> expected = {
        {1, 0, 6}, {4, 0, 6}, {4, 0, 3}, {1, 0, 3}};
    EXPECT_EQ(loops[0]->vertices, expected);
    // Stipple is off again for what follows.
    EXPECT_FALSE(gl.primitives.back().stipple);

    in.viewMode = kView3D;
    const RecordingGl in3D = Draw(in);
    EXPECT_TRUE(std::none_of(in3D.primitives.begin(), in3D.primitives.end(),
                             [](const auto& p) { return p.stipple; }));
}

TEST_F(SceneFixture, RulerTicksKeepNinePixelsApart) {
    Trace t;
    for (double scale : {0.01, 0.0173, 0.05, 0.3, 1.0, 2.7, 9.0, 10.0}) {
        SceneInput in = Input(t, kViewXY, scale);
        in.centreH = 123.4f;
        const RecordingGl gl = Draw(in);
        std::vector<double> ticks; // the horizontal ruler's, hanging from the top edge
        for (const DrawnPrimitive* p : Where(gl, [](const DrawnPrimitive& p) {
                 return p.overlay && p.type == GlPrimitive::Lines && p.vertices.size() == 2 &&
                        p.vertices[0][1] == 300 && p.vertices[0][0] == p.vertices[1][0];
             }))
            ticks.push_back(p->vertices[0][0]);
        ASSERT_FALSE(ticks.empty()) << scale;
        std::sort(ticks.begin(), ticks.end());
        for (size_t i = 1; i < ticks.size(); ++i)
            EXPECT_GE(ticks[i] - ticks[i - 1], 8) << "scale " << scale; // 9, less rounding
    }
}

TEST_F(SceneFixture, RulerSkipsStepsAsLargeAsTheVisibleExtent) {
    // 1000 units visible from -250 to 750: the 1000 step is not drawn, so 500 is the dark level.
    Trace t;
    SceneInput in = Input(t, kViewXY);
    in.metrics.Resize(1000, 600);
    in.metrics.SetScale(1);
    in.centreH = 250;
    const RecordingGl gl = Draw(in);
    std::vector<QByteArray> darkLabels;
    for (const auto& x : gl.texts)
        if (x.colour.Is(0.2f, 0.2f, 0.2f) && x.at[1] == 300 - 12)
            darkLabels.push_back(x.text);
    EXPECT_NE(std::find(darkLabels.begin(), darkLabels.end(), QByteArray("500")), darkLabels.end());
}

TEST_F(SceneFixture, RulerLabelsKeepOutOfEachOthersCorner) {
    // 800 x 600 at one unit a pixel around 0: ticks fall on the left edge (-400) and the top
    // edge (300), right where the other ruler's band is.
    Trace t;
    int horizontal = 0, vertical = 0;
    for (const auto& x : Draw(t, kViewXY).texts) {
        if (x.at[1] == 300 - 12) { // horizontal ruler
            ++horizontal;
            EXPECT_GE(x.at[0], -400 + 32) << x.text.constData();
        } else if (x.at[0] == -400 + 2) { // vertical ruler; the text rises 10 pixels
            ++vertical;
            EXPECT_LE(x.at[1] + 10, 300 - 16) << x.text.constData();
        }
    }
    EXPECT_GT(horizontal, 5);
    EXPECT_GT(vertical, 5);
}

TEST_F(SceneFixture, TimeLabelsMoveOffTheRulersBands) {
    // 800 x 600 at one unit a pixel around 0: the first label (5 pixels up and right of its
    // point) would lie in the corner of both bands, the second is clear, the third is off the
    // view to the left and stays there.
    Trace t = MakeTrace({{-395, 290, 0}, {0, 0, 0}, {-600, 0, 0}});
    UpdateTimeLabels(t);
    const struct {
        bool rulers;
        double x1, y1;
    } rows[] = {{true, -400 + 32 + 2, 300 - 16 - 10 - 2}, {false, -390, 295}};
    for (const auto& r : rows) {
        const RecordingGl gl = Draw(t, kViewXY, 1.0, r.rulers);
        std::vector<const test::DrawnText*> labels;
        for (const auto& x : gl.texts)
            if (x.colour.Is(0, 0, 0))
                labels.push_back(&x);
        ASSERT_EQ(labels.size(), 3u) << r.rulers;
        EXPECT_DOUBLE_EQ(labels[0]->at[0], r.x1) << r.rulers;
        EXPECT_DOUBLE_EQ(labels[0]->at[1], r.y1) << r.rulers;
        EXPECT_DOUBLE_EQ(labels[1]->at[0], 5) << r.rulers;
        EXPECT_DOUBLE_EQ(labels[2]->at[0], -595) << r.rulers;
    }
}

TEST_F(SceneFixture, ThreeDViewDrawsTheTiltedCameraFrame) {
    Trace t;
    camera.roll = 30;
    const RecordingGl gl = Draw(t, kView3D);
    EXPECT_NE(std::find(gl.calls.begin(), gl.calls.end(), QStringLiteral("Rotate(-30,0,0,1)")),
              gl.calls.end());
    EXPECT_EQ(Where(gl,
                    [](const DrawnPrimitive& p) {
                        return p.overlay && p.type == GlPrimitive::Quads && p.colour.a == 0.1f;
                    })
                  .size(),
              4u);
    // Two grids in 3D: z = 0, then x = 0.
    const auto grids = Where(gl, [](const DrawnPrimitive& p) { return p.vertices.size() == 404; });
    ASSERT_EQ(grids.size(), 2u);
    EXPECT_TRUE(grids[0]->colour.Is(0.93f, 0.9f, 0.9f));
    EXPECT_TRUE(grids[1]->colour.Is(0.9f, 0.9f, 0.93f));
}

TEST_F(SceneFixture, PrintTextDropsWhatTheFontLacks) {
    RecordingGl gl;
    PrintText(gl, QStringLiteral("\xe9\t"));
    EXPECT_TRUE(gl.calls.empty());
    PrintText(gl, QStringLiteral("a\xe9"
                                 "b"));
    ASSERT_EQ(gl.texts.size(), 1u);
    EXPECT_EQ(gl.texts[0].text, QByteArray("ab"));
}

TEST_F(SceneFixture, TheHoveredPointGetsThePickSquareInItsPlan) {
    Trace t = MakeTrace({{10, 20, 30}});
    RecordingGl gl;
    SceneInput in = Input(t, kViewXZ, 2.0);
    in.hover = true;
    in.hoverAt = {10, 20, 30};
    Redraw(gl, in);
    const auto scene = SceneOnly(gl);
    const auto square = std::find_if(scene.begin(), scene.end(), [](const DrawnPrimitive* p) {
        return p->type == GlPrimitive::LineLoop && p->colour.Is(0.1f, 0.45f, 0.95f);
    });
    ASSERT_NE(square, scene.end());
    // Four pixels at two pixels a unit: x and z within 2 units, y untouched.
    ASSERT_EQ((*square)->vertices.size(), 4u);
    for (const auto& v : (*square)->vertices) {
        EXPECT_DOUBLE_EQ(std::fabs(v[0] - 10), 2);
        EXPECT_DOUBLE_EQ(v[1], 20);
        EXPECT_DOUBLE_EQ(std::fabs(v[2] - 30), 2);
    }
    in.hover = false;
    EXPECT_EQ(Draw(in).CountColour(0.1f, 0.45f, 0.95f), 0);
}

} // namespace
} // namespace kestrova::ui
