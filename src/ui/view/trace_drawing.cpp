#include "ui/view/trace_drawing.h"

#include "core/path/build_path.h"
#include "core/path/tangents.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

namespace kestrova::ui {

namespace {

struct TracePainter {
    GlApi& gl;
    SceneInput& in;

    std::optional<ScreenProjection> view; // set: the path dots are thinned for it
    uint64_t viewKey = 0;

    // What groupTrace draws together after the path: tangents by colour, arrows, times.
    struct Tangents {
        Rgb3 colour;
        std::vector<float> lines;
        std::vector<float> handles;
    };
    std::vector<Tangents> tangents;
    std::vector<float> arrows;
    std::vector<GlLabel> labels;

    const PointTables& Points() const { return in.trace->points; }
    const PointRecord& Ctl(int i) const { return in.trace->points.At(kControl, i); }

    void DrawControlPoint(int i) {
        const PointRecord& p = Ctl(i);
        if (p.selected) {
            DrawMark(gl, 8, {0, 0, 1}, p);
            DrawMark(gl, 5, {1, 1, 1}, p);
        } else {
            DrawMark(gl, 4, {0, 0, 0}, p);
        }
    }

    bool Degenerate(const PointRecord& a, const PointRecord& b) const {
        if (Is3D(in))
            return a.x == b.x && a.y == b.y && a.z == b.z;
        const ViewAxes ax = AxesOfView(ViewOfMode(in.viewMode));
        return Axis(a, ax.h) == Axis(b, ax.h) && Axis(a, ax.v) == Axis(b, ax.v);
    }

    static void EvaluateDots(const PointTables& points, int i, int n, int32_t total,
                             std::vector<float>& xyz) {
        xyz.clear();
        PositionCoefficients k;
        HermiteCoefficients(points, i, k);
        PointRecord out;
        for (int32_t j = 0; j <= total - 2; j += n - 1) {
            HermiteEvaluate(k, static_cast<float>(j) / static_cast<float>(total - 1), out);
            xyz.insert(xyz.end(), {out.x, out.y, out.z});
        }
    }

    const std::vector<float>& SegmentDots(int i, int n, int32_t total) {
        static thread_local std::vector<float> scratch;
        if (!in.pathDots) {
            EvaluateDots(Points(), i, n, total, scratch);
            return scratch;
        }
        const PointRecord& p = Ctl(i);
        const PointRecord& q = Ctl(i + 1);
        const std::array<float, 14> key = {p.x,
                                           p.y,
                                           p.z,
                                           q.x,
                                           q.y,
                                           q.z,
                                           p.tanA.x,
                                           p.tanA.y,
                                           p.tanA.z,
                                           p.tanB.x,
                                           p.tanB.y,
                                           p.tanB.z,
                                           static_cast<float>(n),
                                           static_cast<float>(total)};
        auto& segments = in.pathDots->segments;
        if (segments.size() <= static_cast<size_t>(i))
            segments.resize(static_cast<size_t>(i) + 1);
        PathDotCache::Segment& s = segments[static_cast<size_t>(i)];
        // Bitwise, so that a change between two equal-comparing values (-0, 0) still counts.
        if (!s.valid || std::memcmp(s.key.data(), key.data(), sizeof key) != 0) {
            EvaluateDots(Points(), i, n, total, s.xyz);
            s.key = key;
            s.valid = true;
            s.shownValid = false;
            ++in.pathDots->evaluated;
        }
        return s.xyz;
    }

    // The segment's dots that the view can tell apart, thinned again only for a new view or
    // new dots.
    const std::vector<float>& ShownDots(int i, int n, int32_t total) {
        const std::vector<float>& all = SegmentDots(i, n, total);
        if (!view)
            return all;
        const auto count = static_cast<int32_t>(all.size() / 3);
        if (!in.pathDots) {
            static thread_local std::vector<float> scratch;
            scratch.clear();
            ThinDots(all.data(), count, *view, ThinningRule{}, scratch);
            return scratch;
        }
        PathDotCache::Segment& s = in.pathDots->segments[static_cast<size_t>(i)];
        if (!s.shownValid || s.shownKey != viewKey) {
            s.shown.clear();
            ThinDots(all.data(), count, *view, ThinningRule{}, s.shown);
            s.shownKey = viewKey;
            s.shownValid = true;
            ++in.pathDots->thinned;
        }
        return s.shown;
    }

    void DrawPathDots(int i, int n) {
        gl.PointSize(2);
        gl.Color(0, 0, 1);
        const int32_t total = in.trace->counts.pointCount;
        if (total < 2)
            return;
        // One array per segment, drawn where the segment's turn is, so the layering stays.
        const std::vector<float>& dots = ShownDots(i, n, total);
        gl.DrawArrays(GlPrimitive::Points, dots.data(), static_cast<int>(dots.size() / 3));
    }

    void AddTangent(Rgb3 colour, float x, float y, float z, float dx, float dy, float dz) {
        auto it = std::find_if(tangents.begin(), tangents.end(), [&](const Tangents& t) {
            return t.colour.r == colour.r && t.colour.g == colour.g && t.colour.b == colour.b;
        });
        if (it == tangents.end())
            it = tangents.insert(tangents.end(), Tangents{colour, {}, {}});
        it->lines.insert(it->lines.end(), {x, y, z, x + dx, y + dy, z + dz});
        it->handles.insert(it->handles.end(), {x + dx, y + dy, z + dz});
    }

    void DrawTangents(int i) {
        const PointRecord& p = Ctl(i);
        const PointRecord& q = Ctl(i + 1);
        if (in.groupTrace) {
            AddTangent(TangentColour(p.tanA.fixedAxes, in.viewMode), p.x, p.y, p.z, p.tanA.x,
                       p.tanA.y, p.tanA.z);
            AddTangent(TangentColour(p.tanB.fixedAxes, in.viewMode), q.x, q.y, q.z, -p.tanB.x,
                       -p.tanB.y, -p.tanB.z);
            return;
        }
        gl.PointSize(3);
        SetColour(gl, TangentColour(p.tanA.fixedAxes, in.viewMode));
        DrawVector(gl, p.x, p.y, p.z, p.tanA.x, p.tanA.y, p.tanA.z);
        DrawPoint(gl, p.x + p.tanA.x, p.y + p.tanA.y, p.z + p.tanA.z);
        SetColour(gl, TangentColour(p.tanB.fixedAxes, in.viewMode));
        DrawVector(gl, q.x, q.y, q.z, -p.tanB.x, -p.tanB.y, -p.tanB.z);
        DrawPoint(gl, q.x - p.tanB.x, q.y - p.tanB.y, q.z - p.tanB.z);
    }

    void DrawArrow(int i) {
        const PointRecord& p = Ctl(i);
        const auto vector = [this](float x, float y, float z, float dx, float dy, float dz) {
            if (in.groupTrace)
                arrows.insert(arrows.end(), {x, y, z, x + dx, y + dy, z + dz});
            else
                DrawVector(gl, x, y, z, dx, dy, dz);
        };
        if (!in.groupTrace)
            gl.Color(1, 0, 1);
        const double s = Is3D(in) ? 2.0 : 1.0 / in.metrics.scale;
        const double a = -(FMod(p.yaw, 360) + 90);
        const double b = 0.001 - FMod(p.pitch, 360);
        const double ar = DegToRad(a);
        const double br = DegToRad(b);
        const double len = std::cos(br) * 13 * s;
        const double d[3] = {len * std::sin(ar), len * std::cos(ar), len * std::tan(br)};
        vector(p.x, p.y, p.z, static_cast<float>(-d[0]), static_cast<float>(-d[1]),
               static_cast<float>(-d[2]));
        const float tip[3] = {static_cast<float>(p.x - d[0]), static_cast<float>(p.y - d[1]),
                              static_cast<float>(p.z - d[2])};
        const double h = std::atan(4 * s / (7 * s * std::cos(br)));
        const double k = 7 * s * std::cos(br) / std::cos(h);
        const double rise = 7 * s * std::sin(br);
        for (double side : {-h, h})
            vector(tip[0], tip[1], tip[2], static_cast<float>(k * std::sin(ar + side)),
                   static_cast<float>(k * std::cos(ar + side)), static_cast<float>(rise));
    }

    // A label that would fall on a ruler's band moves just clear of it; one off the view stays
    // off.
    void KeepOffTheRulers(std::array<float, 3>& at) const {
        const ViewAxes axes = AxesOfView(ViewOfMode(in.viewMode));
        const double scale = in.metrics.scale;
        if (!(scale > 0))
            return;
        const double halfW = in.metrics.viewportWidth / 2.0;
        const double halfH = in.metrics.viewportHeight / 2.0;
        const double x = (at[axes.h] - in.centreH) * scale;
        const double y = (at[axes.v] - in.centreV) * scale;
        const double left = -halfW + kRulerBandWidth + 2;
        const double top = halfH - kRulerBandHeight - kRulerLabelHeight - 2;
        if (x >= -halfW && x < left)
            at[axes.h] = static_cast<float>(in.centreH + left / scale);
        if (y <= halfH && y > top)
            at[axes.v] = static_cast<float>(in.centreV + top / scale);
    }

    void DrawTime(int i, int n) {
        if (n < 2)
            return;
        const PointRecord& p = Ctl(i);
        const float o = Pixels(in, 5, 20);
        std::array<float, 3> at = {p.x + o, p.y + o, p.z + o};
        if (!Is3D(in) && in.flags.rulers)
            KeepOffTheRulers(at);
        if (in.groupTrace) {
            labels.push_back({at[0], at[1], at[2], Printable(in.trace->points.timeLabel[i])});
            return;
        }
        gl.Color(0, 0, 0);
        // A label whose place is off the screen is left out; the others still show.
        if (!gl.RasterPos(at[0], at[1], at[2]))
            return;
        PrintText(gl, in.trace->points.timeLabel[i]);
    }

    void DrawSegment(int i, int n) {
        if (!Degenerate(Ctl(i), Ctl(i + 1)))
            DrawPathDots(i, n);
        if (in.flags.tangents)
            DrawTangents(i);
        if (in.flags.arrows)
            DrawArrow(i);
        if (in.flags.times)
            DrawTime(i, n);
    }

    // Over every segment's dots as each segment's own were; the last point over them all.
    void DrawGrouped() {
        for (const Tangents& t : tangents) {
            SetColour(gl, t.colour);
            gl.DrawArrays(GlPrimitive::Lines, t.lines.data(), static_cast<int>(t.lines.size() / 3));
        }
        if (!tangents.empty())
            gl.PointSize(3);
        for (const Tangents& t : tangents) {
            SetColour(gl, t.colour);
            gl.DrawArrays(GlPrimitive::Points, t.handles.data(),
                          static_cast<int>(t.handles.size() / 3));
        }
        if (!arrows.empty()) {
            gl.Color(1, 0, 1);
            gl.DrawArrays(GlPrimitive::Lines, arrows.data(), static_cast<int>(arrows.size() / 3));
        }
    }

    void DrawTrace() {
        const int n = in.trace->ControlCount();
        if (n >= 1) {
            gl.LineWidth(1);
            RefreshPhantoms(in.trace->points);
            if (!Ctl(1).hide) {
                DrawMark(gl, 6, {1, 0, 0}, Ctl(1));
            }
            // Grouped, the points before every dot: each still shows its segment's first dot.
            for (int i = 1; i <= n - 1; ++i) {
                if (Ctl(i).hide)
                    continue;
                DrawControlPoint(i);
                if (!in.groupTrace)
                    DrawSegment(i, n);
            }
            for (int i = 1; in.groupTrace && i <= n - 1; ++i)
                if (!Ctl(i).hide)
                    DrawSegment(i, n);
            if (!Ctl(n).hide && in.flags.arrows)
                DrawArrow(n);
            DrawGrouped();
            if (!Ctl(n).hide) {
                DrawControlPoint(n);
                if (in.flags.times)
                    DrawTime(n, n);
            }
            if (!labels.empty()) {
                gl.Color(0, 0, 0);
                gl.Labels(labels);
            }
        }
        if (in.flags.referencePoints) {
            for (int i = 1; i <= in.trace->ReferenceCount(); ++i) {
                const PointRecord& r = Points().At(kReference, i);
                if (r.selected) {
                    DrawMark(gl, 8, {0, 0, 1}, r);
                    DrawMark(gl, 5, {0, 0.5f, 0}, r);
                } else {
                    DrawMark(gl, 6, {0, 0.5f, 0}, r);
                    DrawMark(gl, 2, {0, 0, 0}, r);
                }
            }
        }
    }

    // Over the path's own dots, so that a stretch through a wall stands out in every view; in
    // 3D through the wall that hides it, since that is where it matters.
    // The warning thinned like the path: its stretches' ends stay, since there the colour
    // changes. Kept until the view or the warning changes; the warning is compared by content,
    // whoever rebuilt it.
    std::pair<const std::vector<float>*, const std::vector<float>*> ShownClearance() {
        const ClearanceDots& c = *in.clearance;
        if (!view)
            return {&c.inside, &c.near};
        static thread_local PathDotCache::Warning scratch;
        PathDotCache::Warning& w = in.pathDots ? in.pathDots->clearance : scratch;
        const uint64_t key = HashDots(HashDots(viewKey, c.inside), c.near);
        if (!in.pathDots || !w.valid || w.key != key) {
            w.inside.clear();
            w.near.clear();
            for (const auto& [from, to] :
                 {std::pair{&c.inside, &w.inside}, std::pair{&c.near, &w.near}})
                ThinDots(from->data(), static_cast<int32_t>(from->size() / 3), *view,
                         ThinningRule{}, *to);
            w.key = key;
            w.valid = true;
        }
        return {&w.inside, &w.near};
    }

    static uint64_t HashDots(uint64_t h, const std::vector<float>& xyz) {
        constexpr uint64_t m = 0xc6a4a7935bd1e995ULL;
        auto mix = [&h](uint64_t k) {
            k *= m;
            k ^= k >> 47;
            k *= m;
            h ^= k;
            h *= m;
        };
        mix(xyz.size());
        for (float v : xyz) {
            uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            mix(bits);
        }
        return h;
    }

    void DrawClearance() {
        const auto [inside, near] = ShownClearance();
        if (Is3D(in))
            gl.Disable(GlCap::DepthTest);
        gl.PointSize(kClearancePointSize);
        for (const auto& [dots, colour] :
             {std::pair{near, kClearanceNearColour}, std::pair{inside, kClearanceInsideColour}}) {
            if (dots->empty())
                continue;
            SetColour(gl, colour);
            gl.DrawArrays(GlPrimitive::Points, dots->data(), static_cast<int>(dots->size() / 3));
        }
        if (Is3D(in))
            gl.Enable(GlCap::DepthTest);
    }
};

TracePainter Painter(GlApi& gl, SceneInput& in) {
    TracePainter painter{gl, in, {}, 0, {}, {}, {}};
    // In 3D the thinning needs the camera the view was placed with.
    if (in.thinDots && (in.camera || in.viewMode != kView3D)) {
        painter.view = ScreenProjection::OfView(in.viewMode, in.metrics, in.centreH, in.centreV,
                                                in.camera ? *in.camera : ViewCamera{});
        painter.viewKey = painter.view->Key();
    }
    return painter;
}

} // namespace

void DrawTrace(GlApi& gl, SceneInput& in) {
    Painter(gl, in).DrawTrace();
}

void DrawClearance(GlApi& gl, SceneInput& in) {
    Painter(gl, in).DrawClearance();
}

} // namespace kestrova::ui
