#include "ui/view/scene.h"

#include "ui/view/trace_drawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace kestrova::ui {

namespace {

constexpr uint16_t kDashPattern[2] = {0xAAAA, 0x5555};
constexpr Rgb3 kDashColour[2] = {{0, 0, 0}, {1, 1, 1}};
constexpr double kRulerSteps[9] = {1, 5, 10, 50, 100, 500, 1000, 5000, 10000};

// A GlApi that draws nothing and hashes its calls and their arguments.
class HashingGl : public GlApi {
public:
    explicit HashingGl(uint64_t seed) : h_(seed ^ 0x9e3779b97f4a7c15ULL) {}
    uint64_t Value() const { return h_; }

    void Clear() override { Op(1); }
    void MatrixMode(GlMatrix m) override { Op(2, static_cast<int>(m)); }
    void LoadIdentity() override { Op(3); }
    void PushMatrix() override { Op(4); }
    void PopMatrix() override { Op(5); }
    void Rotate(float a, float x, float y, float z) override { Op(6, a, x, y, z); }
    void Translate(float x, float y, float z) override { Op(7, x, y, z); }
    void Ortho(double l, double r, double b, double t, double n, double f) override {
        Op(8, l, r, b, t, n, f);
    }
    void Frustum(double l, double r, double b, double t, double n, double f) override {
        Op(9, l, r, b, t, n, f);
    }
    void Color(float r, float g, float b, float a) override { Op(10, r, g, b, a); }
    void PointSize(float size) override { Op(11, size); }
    void LineWidth(float width) override { Op(12, width); }
    void LineStipple(int factor, uint16_t pattern) override { Op(13, factor, pattern); }
    void Enable(GlCap cap) override { Op(14, static_cast<int>(cap)); }
    void Disable(GlCap cap) override { Op(15, static_cast<int>(cap)); }
    void Begin(GlPrimitive p) override { Op(16, static_cast<int>(p)); }
    void Vertex(float x, float y, float z) override { Op(17, x, y, z); }
    void Vertex2(double x, double y) override { Op(18, x, y); }
    void End() override { Op(19); }
    void DrawArrays(GlPrimitive p, const float* xyz, int count) override {
        Op(20, static_cast<int>(p), count);
        Bytes(xyz, sizeof(float) * 3 * static_cast<size_t>(std::max(count, 0)));
    }
    // Where the text would fall out of the view is decided by the calls already hashed.
    bool RasterPos(float x, float y, float z) override {
        Op(21, x, y, z);
        return true;
    }
    void RasterPos2(double x, double y) override { Op(22, x, y); }
    void Text(const QByteArray& latin1) override {
        Op(23, static_cast<int>(latin1.size()));
        Bytes(latin1.constData(), static_cast<size_t>(latin1.size()));
    }
    void Flush() override {}

private:
    // MurmurHash64A's mixing step: every bit of a word reaches every bit of the hash.
    void Word(uint64_t k) {
        constexpr uint64_t m = 0xc6a4a7935bd1e995ULL;
        k *= m;
        k ^= k >> 47;
        k *= m;
        h_ ^= k;
        h_ *= m;
    }
    void Bytes(const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (; size >= 8; size -= 8, p += 8) {
            uint64_t k;
            std::memcpy(&k, p, 8);
            Word(k);
        }
        uint64_t tail = 0;
        if (size > 0) // an empty array may have no address at all
            std::memcpy(&tail, p, size);
        Word(tail ^ (static_cast<uint64_t>(size) << 56));
    }
    template <typename... T> void Op(int code, T... args) {
        Word(static_cast<uint64_t>(code));
        (Arg(args), ...);
    }
    void Arg(int v) { Word(static_cast<uint64_t>(static_cast<uint32_t>(v))); }
    void Arg(uint16_t v) { Word(v); }
    void Arg(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Word(bits);
    }
    void Arg(double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        Word(bits);
    }

    uint64_t h_;
};

struct Scene {
    GlApi& gl;
    SceneInput& in;
    SceneResult result;
    bool hashing = false; // drawing into HashingGl: the map is left to the salt

    const PointTables& Points() const { return in.trace->points; }
    const PointRecord& Ctl(int i) const { return in.trace->points.At(kControl, i); }

    void DrawGrid() {
        struct Plane {
            int32_t mode;
            int fixedAxis; // the axis that is 0 on the plane
            Rgb3 colour;
        };
        const Plane xy{kViewXY, 2, {0.93f, 0.9f, 0.9f}};
        const Plane xz{kViewXZ, 1, {0.9f, 0.93f, 0.9f}};
        const Plane yz{kViewYZ, 0, {0.9f, 0.9f, 0.93f}};
        auto draw = [&](const Plane& p) {
            SetColour(gl, p.colour);
            const int a = p.fixedAxis == 0 ? 1 : 0;
            const int b = p.fixedAxis == 2 ? 1 : 2;
            gl.Begin(GlPrimitive::Lines);
            for (int k = -50; k <= 50; ++k) {
                const float v = static_cast<float>(k * 500);
                float from[3] = {0, 0, 0}, to[3] = {0, 0, 0};
                from[a] = to[a] = v;
                from[b] = -kWorldLimit;
                to[b] = kWorldLimit;
                gl.Vertex(from[0], from[1], from[2]);
                gl.Vertex(to[0], to[1], to[2]);
                float from2[3] = {0, 0, 0}, to2[3] = {0, 0, 0};
                from2[b] = to2[b] = v;
                from2[a] = -kWorldLimit;
                to2[a] = kWorldLimit;
                gl.Vertex(from2[0], from2[1], from2[2]);
                gl.Vertex(to2[0], to2[1], to2[2]);
            }
            gl.End();
        };
        switch (in.viewMode) {
        case kViewXY:
            draw(xy);
            break;
        case kViewXZ:
            draw(xz);
            break;
        case kViewYZ:
            draw(yz);
            break;
        default:
            draw(xy);
            draw(yz);
            break;
        }
    }

    void DrawTableSelection() {
        const int kind = in.highlightKind == kReference ? kReference : kControl;
        const int first = in.highlightFirst;
        const int count = std::max(in.highlightLast - first + 1, 1);
        for (int k = 0; k < count; ++k) {
            const int row = first + k;
            if (row < 1 || row > in.trace->points.Count(kind))
                continue;
            const PointRecord& p = Points().At(kind, row);
            const float blue = count == 1 ? 0.0f : static_cast<float>(k) / (count - 1);
            DrawMark(gl, 8, {0, 1, blue}, p);
            DrawMark(gl, 6, {1, 1, 1}, p);
            DrawMark(gl, 2, {0, 0, 0}, p);
        }
    }

    void DrawRulerAxis(bool horizontal, double halfW, double halfH) {
        const double c = horizontal ? in.centreH : in.centreV;
        const double e = horizontal ? in.metrics.visibleWidth : in.metrics.visibleHeight;
        const double v = horizontal ? in.metrics.viewportWidth : in.metrics.viewportHeight;
        const double lo = c - e / 2;
        const double hi = lo + e;
        const double labelSpacing = horizontal ? 35 : 20;
        gl.Color(0.2f, 0.2f, 0.2f);
        bool coarserDrawn = false;
        for (int k = 8; k >= 0; --k) {
            const double step = kRulerSteps[k];
            if (!(step < e))
                continue;
            const double spacing = v * step / e;
            if (spacing < 9)
                break;
            const double first = std::floor(lo / step);
            const double last = std::ceil(hi / step);
            for (double m = first; m <= last; ++m) {
                const double t = m * step;
                if (coarserDrawn && k < 8 && std::fmod(t, kRulerSteps[k + 1]) == 0)
                    continue;
                const double pos = std::round((t - c) / e * v);
                const bool labelled = spacing >= labelSpacing;
                const double len = labelled ? 8 : 5;
                const QString label = QString::number(static_cast<qint64>(t));
                if (horizontal) {
                    DrawLine2D(gl, pos, std::round(halfH), pos, std::round(halfH) - len);
                    // The corner belongs to the vertical ruler's labels.
                    if (labelled && pos + 2 >= -halfW + kRulerBandWidth) {
                        gl.RasterPos2(std::round(pos + 2), std::round(halfH - 12));
                        PrintText(gl, label);
                    }
                } else {
                    DrawLine2D(gl, std::round(-halfW), pos, std::round(-halfW) + len, pos);
                    // Below the top band, so that it never runs into the horizontal labels.
                    if (labelled && pos + 4 + kRulerLabelHeight <= halfH - kRulerBandHeight) {
                        gl.RasterPos2(std::round(-halfW + 2), std::round(pos + 4));
                        PrintText(gl, label);
                    }
                }
            }
            coarserDrawn = true;
            gl.Color(0.75f, 0.75f, 0.75f);
        }
    }

    void DrawRuler(double halfW, double halfH) {
        gl.Color(1, 1, 1, 0.5f);
        DrawRect2D(gl, -halfW, halfH - kRulerBandHeight, halfW, halfH, GlPrimitive::Quads);
        DrawRect2D(gl, -halfW, -halfH, -halfW + kRulerBandWidth, halfH, GlPrimitive::Quads);
        gl.LineWidth(1);
        DrawRulerAxis(true, halfW, halfH);
        DrawRulerAxis(false, halfW, halfH);
    }

    void DrawCameraFrame(double halfW, double halfH) {
        gl.PushMatrix();
        gl.LoadIdentity();
        gl.Rotate(in.camera ? -in.camera->roll : 0.0f, 0, 0, 1);
        gl.Color(0.5f, 0.5f, 0.5f, 0.1f);
        DrawRect2D(gl, -3 * halfW, halfH, 3 * halfW, 3 * halfH, GlPrimitive::Quads);
        DrawRect2D(gl, -3 * halfW, -3 * halfH, 3 * halfW, -halfH, GlPrimitive::Quads);
        DrawRect2D(gl, -3 * halfW, -halfH, -halfW, halfH, GlPrimitive::Quads);
        DrawRect2D(gl, halfW, -halfH, 3 * halfW, halfH, GlPrimitive::Quads);
        gl.LineWidth(1);
        gl.Color(0.75f, 0.75f, 0.75f);
        DrawRect2D(gl, -halfW, -halfH, halfW, halfH, GlPrimitive::LineLoop);
        DrawLine2D(gl, -halfW + 20, 0, -50, 0);
        DrawLine2D(gl, 50, 0, halfW - 20, 0);
        DrawLine2D(gl, 0, halfH - 20, 0, 50);
        DrawLine2D(gl, 0, -halfH + 20, 0, -50);
        gl.PopMatrix();
    }

    void DrawOverlay() {
        const double halfW = in.metrics.viewportWidth / 2.0;
        const double halfH = in.metrics.viewportHeight / 2.0;
        // The overlay lies over everything, whatever the map left in the depth buffer.
        gl.Disable(GlCap::DepthTest);
        gl.MatrixMode(GlMatrix::Projection);
        gl.PushMatrix();
        gl.LoadIdentity();
        gl.Ortho(-halfW, halfW, -halfH, halfH, -0.5, 0.5);
        gl.MatrixMode(GlMatrix::Modelview);
        gl.PushMatrix();
        gl.LoadIdentity();
        if (!Is3D(in)) {
            if (in.flags.rulers)
                DrawRuler(halfW, halfH);
        } else {
            DrawCameraFrame(halfW, halfH);
        }
        gl.MatrixMode(GlMatrix::Projection);
        gl.PopMatrix();
        gl.MatrixMode(GlMatrix::Modelview);
        gl.PopMatrix();
    }

    // The cleared, placed view and the map.
    void DrawBase() {
        SetCamera(gl, in);
        DrawMap();
    }

    void DrawMap() {
        if (!in.drawMap)
            return;
        gl.PushMatrix();
        gl.Translate(in.mapOffset[0], in.mapOffset[1], in.mapOffset[2]);
        gl.LineWidth(1);
        if (hashing)
            gl.Text("map"); // the salt stands for what it draws
        else
            in.drawMap();
        gl.PopMatrix();
    }

    // In 3D the marks that the map may hide belong here, since restoring a layer brings back
    // its colours but not its depths.
    void DrawMiddle() {
        gl.LineWidth(2);
        gl.Color(0.85f, 0, 0);
        DrawCross(gl, 0, 0, 0, Pixels(in, 20, 20));
        if (in.flags.grid) {
            gl.LineWidth(1);
            DrawGrid();
        }
        if (in.trace)
            DrawTrace(gl, in);
        if (in.clearance)
            DrawClearance(gl, in);
        if (Is3D(in))
            DrawMarks();
    }

    void DrawMarks() {
        if (in.tableHighlight && in.trace)
            DrawTableSelection();
        if (in.rubberBand) {
            gl.LineWidth(1);
            DrawSelectionRect(gl, in.viewMode, in.rubberA, in.rubberB);
        }
        if (in.snapMarker) {
            gl.LineWidth(1);
            gl.Color(0.85f, 0, 0);
            DrawCross(gl, in.snapAt[0], in.snapAt[1], in.snapAt[2],
                      static_cast<float>(12 / in.metrics.scale));
        }
        if (in.hover && in.viewMode != kView3D) {
            gl.LineWidth(1);
            gl.Color(0.1f, 0.45f, 0.95f);
            DrawHoverSquare(gl, in.viewMode, in.hoverAt, static_cast<float>(4 / in.metrics.scale));
        }
    }

    void DrawTop() {
        if (!Is3D(in))
            DrawMarks();
        DrawOverlay();
        gl.Flush();
        result.drawn = true;
    }

    void Run() {
        DrawBase();
        DrawMiddle();
        DrawTop();
    }

    // Hover, rubber band and selection changes, and repaints, redraw only the top over the kept
    // scene; a trace edit in a plan redraws the trace over the kept map.
    void RunLayered() {
        LayerCache& cache = *in.layers;
        HashingGl hash(in.layerSalt);
        SetProjection(hash, in);
        Scene hashed{hash, in, {}, true};
        hashed.DrawBase(); // places the camera: a pending 3D movement is applied here, once
        CameraMotion* motion = std::exchange(in.motion, nullptr);
        const uint64_t baseKey = hash.Value();
        hashed.DrawMiddle();
        const uint64_t sceneKey = hash.Value();

        // The map's depths matter to the 3D marks, so only a plan keeps the map alone.
        const bool keepBase = in.drawMap && !Is3D(in);
        SetCamera(gl, in);
        if (cache.sceneSaved && cache.sceneKey == sceneKey && gl.RestoreLayer(1)) {
            ++cache.sceneReused;
        } else {
            if (keepBase && cache.baseSaved && cache.baseKey == baseKey && gl.RestoreLayer(0)) {
                ++cache.baseReused;
            } else {
                DrawMap();
                if (keepBase && baseKey == cache.lastBaseKey) {
                    gl.SaveLayer(0);
                    cache.baseSaved = true;
                    cache.baseKey = baseKey;
                }
            }
            DrawMiddle();
            if (sceneKey == cache.lastSceneKey) {
                gl.SaveLayer(1);
                cache.sceneSaved = true;
                cache.sceneKey = sceneKey;
            }
        }
        cache.lastBaseKey = baseKey;
        cache.lastSceneKey = sceneKey;
        DrawTop();
        in.motion = motion;
    }
};

} // namespace

Rgb3 TangentColour(int32_t fixedAxes, int32_t viewMode) {
    if (fixedAxes == 0)
        return {0, 1, 0.06f};
    if (fixedAxes & viewMode)
        return {1, 0.06f, 0.06f};
    return {1, 0.5f, 0.06f};
}

void SetProjection(GlApi& gl, const SceneInput& in) {
    gl.MatrixMode(GlMatrix::Projection);
    gl.LoadIdentity();
    if (Is3D(in)) {
        const float aspect = static_cast<float>(in.metrics.viewportWidth) /
                             static_cast<float>(std::max(in.metrics.viewportHeight, 1));
        const float fov = in.camera ? in.camera->fov : 90.0f;
        const float zfar = in.camera ? in.camera->zfar : 50000.0f;
        const double near = 0.1f;
        const double top = std::tan(DegToRad(fov / 2.0)) * near;
        const double right = aspect * top;
        gl.Frustum(-right, right, -top, top, near, zfar);
    } else {
        const float halfW = static_cast<float>(in.metrics.visibleWidth) / 2;
        const float halfH = static_cast<float>(in.metrics.visibleHeight) / 2;
        gl.Ortho(in.centreH - halfW, in.centreH + halfW, in.centreV - halfH, in.centreV + halfH,
                 -kWorldLimit, kWorldLimit);
    }
    gl.MatrixMode(GlMatrix::Modelview);
}

void SetCamera(GlApi& gl, SceneInput& in) {
    gl.Clear();
    gl.LoadIdentity();
    if (Is3D(in)) {
        gl.Enable(GlCap::DepthTest);
        ViewCamera fallback;
        ViewCamera& cam = in.camera ? *in.camera : fallback;
        gl.Rotate(cam.pitch - 90, 1, 0, 0);
        gl.Rotate(cam.yaw, 0, 0, 1);
        if (in.motion)
            ApplyPendingMovement(cam, *in.motion, ComputeCameraAxes(cam.yaw, cam.pitch));
        gl.Translate(cam.tx, cam.ty, cam.tz);
        return;
    }
    gl.Disable(GlCap::DepthTest);
    if (in.viewMode == kViewXZ) {
        gl.Rotate(-90, 1, 0, 0);
    } else if (in.viewMode == kViewYZ) {
        gl.Rotate(-90, 0, 1, 0);
        gl.Rotate(-90, 1, 0, 0);
    }
}

SceneResult Redraw(GlApi& gl, SceneInput& in) {
    if (in.suspended)
        return {};
    Scene scene{gl, in, {}};
    if (in.layers && !(in.drawMap && in.layerSalt == 0))
        scene.RunLayered();
    else
        scene.Run();
    return scene.result;
}

void DrawPoint(GlApi& gl, float x, float y, float z) {
    gl.Begin(GlPrimitive::Points);
    gl.Vertex(x, y, z);
    gl.End();
}

void DrawMark(GlApi& gl, float size, Rgb3 colour, const PointRecord& p) {
    gl.PointSize(size);
    gl.Color(colour.r, colour.g, colour.b);
    DrawPoint(gl, p.x, p.y, p.z);
}

void DrawCross(GlApi& gl, float x, float y, float z, float size) {
    const float h = size / 2;
    gl.Begin(GlPrimitive::Lines);
    gl.Vertex(x - h, y, z);
    gl.Vertex(x + h, y, z);
    gl.Vertex(x, y - h, z);
    gl.Vertex(x, y + h, z);
    gl.Vertex(x, y, z - h);
    gl.Vertex(x, y, z + h);
    gl.End();
}

void DrawVector(GlApi& gl, float x, float y, float z, float dx, float dy, float dz) {
    gl.Begin(GlPrimitive::Lines);
    gl.Vertex(x, y, z);
    gl.Vertex(x + dx, y + dy, z + dz);
    gl.End();
}

void DrawRect2D(GlApi& gl, double x1, double y1, double x2, double y2, GlPrimitive mode) {
    gl.Begin(mode);
    gl.Vertex2(x1, y2);
    gl.Vertex2(x2, y2);
    gl.Vertex2(x2, y1);
    gl.Vertex2(x1, y1);
    gl.End();
}

void DrawLine2D(GlApi& gl, double x1, double y1, double x2, double y2) {
    gl.Begin(GlPrimitive::Lines);
    gl.Vertex2(x1, y1);
    gl.Vertex2(x2, y2);
    gl.End();
}

void DrawSelectionRect(GlApi& gl, int32_t viewMode, const Vec3& a, const Vec3& b) {
    if (viewMode == kView3D)
        return;
    const ViewAxes ax = AxesOfView(ViewOfMode(viewMode));
    const float ah = a[ax.h], av = a[ax.v], bh = b[ax.h], bv = b[ax.v];
    auto vertex = [&](float h, float v) {
        if (viewMode == kViewXZ)
            gl.Vertex(h, 0, v);
        else if (viewMode == kViewYZ)
            gl.Vertex(0, h, v);
        else
            gl.Vertex2(h, v);
    };
    gl.Enable(GlCap::LineStipple);
    for (int pass = 0; pass < 2; ++pass) {
        gl.LineStipple(4, kDashPattern[pass]);
        SetColour(gl, kDashColour[pass]);
        gl.Begin(GlPrimitive::LineLoop);
        vertex(ah, bv);
        vertex(bh, bv);
        vertex(bh, av);
        vertex(ah, av);
        gl.End();
    }
    gl.Disable(GlCap::LineStipple);
}

void DrawHoverSquare(GlApi& gl, int32_t viewMode, const Vec3& at, float half) {
    const ViewAxes ax = AxesOfView(ViewOfMode(viewMode));
    gl.Begin(GlPrimitive::LineLoop);
    for (const auto& [dh, dv] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
        Vec3 p = at;
        p[ax.h] += dh * half;
        p[ax.v] += dv * half;
        gl.Vertex(p[0], p[1], p[2]);
    }
    gl.End();
}

QByteArray Printable(const QString& text) {
    QByteArray bytes;
    for (char c : text.toLatin1()) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 32 && u <= 127)
            bytes.append(c);
    }
    return bytes;
}

void PrintText(GlApi& gl, const QString& text) {
    const QByteArray bytes = Printable(text);
    if (bytes.isEmpty())
        return;
    gl.Text(bytes);
}

} // namespace kestrova::ui
