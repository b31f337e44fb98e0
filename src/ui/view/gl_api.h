#pragma once
// The few fixed-function OpenGL calls the views draw with. The editor uses RealGl; tests record
// the calls to check what a redraw draws, in which order, colour and size.

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace kestrova::ui {

enum class GlMatrix { Projection, Modelview };
enum class GlPrimitive { Points, Lines, LineLoop, Quads };
enum class GlCap { DepthTest, LineStipple, LineSmooth, PointSmooth, Blend };

struct GlLabel {
    float x, y, z;
    QByteArray latin1; // glyphs 32..127
};

class GlApi {
public:
    virtual ~GlApi() = default;

    virtual void Clear() = 0; // colour and depth
    virtual void MatrixMode(GlMatrix m) = 0;
    virtual void LoadIdentity() = 0;
    virtual void PushMatrix() = 0;
    virtual void PopMatrix() = 0;
    virtual void Rotate(float angle, float x, float y, float z) = 0;
    virtual void Translate(float x, float y, float z) = 0;
    virtual void Ortho(double l, double r, double b, double t, double n, double f) = 0;
    virtual void Frustum(double l, double r, double b, double t, double n, double f) = 0;

    virtual void Color(float r, float g, float b, float a = 1.0f) = 0;
    virtual void PointSize(float size) = 0;
    virtual void LineWidth(float width) = 0;
    virtual void LineStipple(int factor, uint16_t pattern) = 0;
    virtual void Enable(GlCap cap) = 0;
    virtual void Disable(GlCap cap) = 0;

    virtual void Begin(GlPrimitive p) = 0;
    virtual void Vertex(float x, float y, float z) = 0;
    virtual void Vertex2(double x, double y) = 0;
    virtual void End() = 0;
    // count vertices of three floats each, from a client array, in the current colour and size.
    virtual void DrawArrays(GlPrimitive p, const float* xyz, int count) = 0;

    // False when the position falls outside the view (text there draws nothing).
    virtual bool RasterPos(float x, float y, float z) = 0;
    virtual void RasterPos2(double x, double y) = 0;
    // Glyphs 32..127 at the raster position; other bytes are dropped by the caller.
    virtual void Text(const QByteArray& latin1) = 0;
    // Each label at its own place in the current colour, the same pixels as RasterPos and Text
    // one by one: a label whose place is off the view is left out. Drawn together, it is cheap.
    virtual void Labels(const std::vector<GlLabel>& labels) {
        for (const GlLabel& l : labels)
            if (RasterPos(l.x, l.y, l.z))
                Text(l.latin1);
    }

    virtual void Flush() = 0;

    // A copy of the colour buffer kept in one of two slots between redraws. Restoring draws it
    // back over the whole view and leaves every state as it was; false when there is no copy of
    // the view's present size.
    virtual void SaveLayer(int /*slot*/) {}
    virtual bool RestoreLayer(int /*slot*/) { return false; }
};

} // namespace kestrova::ui
