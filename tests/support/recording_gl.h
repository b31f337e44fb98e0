#pragma once
// A GlApi that keeps every call, and the primitives drawn with the state they were drawn in.

#include "ui/view/gl_api.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

namespace kestrova::test {

using ui::GlCap;
using ui::GlMatrix;
using ui::GlPrimitive;

struct GlColour {
    float r = 1, g = 1, b = 1, a = 1;
    bool Is(float rr, float gg, float bb) const { return r == rr && g == gg && b == bb; }
};

struct DrawnPrimitive {
    GlPrimitive type;
    GlColour colour;
    float pointSize;
    float lineWidth;
    bool stipple;
    uint16_t stipplePattern;
    std::vector<std::array<double, 3>> vertices;
    bool overlay; // drawn in the screen-space overlay
};

struct DrawnText {
    QByteArray text;
    std::array<double, 3> at;
    GlColour colour;
};

class RecordingGl : public ui::GlApi {
public:
    // Every call by name, in order (vertices are not listed).
    std::vector<QString> calls;
    std::vector<DrawnPrimitive> primitives;
    std::vector<DrawnText> texts;
    // Raster positions at or beyond this x are reported invalid.
    double rasterLimit = 1e30;
    int matrixPushDepth = 0;

    void Clear() override { Call("Clear"); }
    void MatrixMode(GlMatrix m) override {
        Call(m == GlMatrix::Projection ? "MatrixMode(Projection)" : "MatrixMode(Modelview)");
    }
    void LoadIdentity() override { Call("LoadIdentity"); }
    void PushMatrix() override {
        ++matrixPushDepth;
        Call("PushMatrix");
    }
    void PopMatrix() override {
        --matrixPushDepth;
        Call("PopMatrix");
    }
    void Rotate(float angle, float x, float y, float z) override {
        Call(QStringLiteral("Rotate(%1,%2,%3,%4)").arg(angle).arg(x).arg(y).arg(z));
    }
    void Translate(float x, float y, float z) override {
        Call(QStringLiteral("Translate(%1,%2,%3)").arg(x).arg(y).arg(z));
    }
    void Ortho(double, double, double, double, double n, double) override {
        // The overlay is the only screen-space projection (depth -0.5..0.5).
        if (n == -0.5)
            inOverlay_ = true;
        Call(QStringLiteral("Ortho"));
    }
    void Frustum(double, double, double, double, double, double) override { Call("Frustum"); }
    void Color(float r, float g, float b, float a) override { colour_ = {r, g, b, a}; }
    void PointSize(float size) override { pointSize_ = size; }
    void LineWidth(float width) override { lineWidth_ = width; }
    void LineStipple(int, uint16_t pattern) override { pattern_ = pattern; }
    void Enable(GlCap cap) override {
        if (cap == GlCap::LineStipple)
            stipple_ = true;
        Call(QStringLiteral("Enable(%1)").arg(static_cast<int>(cap)));
    }
    void Disable(GlCap cap) override {
        if (cap == GlCap::LineStipple)
            stipple_ = false;
        Call(QStringLiteral("Disable(%1)").arg(static_cast<int>(cap)));
    }
    void Begin(GlPrimitive p) override {
        primitives.push_back(
            {p, colour_, pointSize_, lineWidth_, stipple_, pattern_, {}, inOverlay_});
    }
    void Vertex(float x, float y, float z) override {
        primitives.back().vertices.push_back({x, y, z});
    }
    void Vertex2(double x, double y) override { primitives.back().vertices.push_back({x, y, 0}); }
    void End() override { Call("Draw"); }
    // Recorded like Begin, the vertices and End, so a test sees the same primitive either way.
    void DrawArrays(GlPrimitive p, const float* xyz, int count) override {
        Begin(p);
        for (int i = 0; i < count; ++i)
            Vertex(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
        End();
        ++arrayDraws;
    }
    int arrayDraws = 0; // how many primitives came from client arrays
    bool RasterPos(float x, float y, float z) override {
        raster_ = {x, y, z};
        return x < rasterLimit;
    }
    void RasterPos2(double x, double y) override { raster_ = {x, y, 0}; }
    void Text(const QByteArray& latin1) override {
        texts.push_back({latin1, raster_, colour_});
        Call("Text");
    }
    void Flush() override { Call("Flush"); }

    // The points drawn at one place, in order.
    std::vector<const DrawnPrimitive*> PointsAt(float x, float y, float z) const {
        std::vector<const DrawnPrimitive*> out;
        for (const auto& p : primitives)
            if (p.type == GlPrimitive::Points && p.vertices.size() == 1 &&
                p.vertices[0] == std::array<double, 3>{x, y, z})
                out.push_back(&p);
        return out;
    }
    int CountColour(float r, float g, float b) const {
        int n = 0;
        for (const auto& p : primitives)
            n += p.colour.Is(r, g, b) ? 1 : 0;
        return n;
    }

private:
    void Call(const QString& s) { calls.push_back(s); }
    void Call(const char* s) { calls.push_back(QString::fromLatin1(s)); }

    GlColour colour_;
    float pointSize_ = 1;
    float lineWidth_ = 1;
    bool stipple_ = false;
    uint16_t pattern_ = 0xffff;
    bool inOverlay_ = false;
    std::array<double, 3> raster_{0, 0, 0};
};

} // namespace kestrova::test
