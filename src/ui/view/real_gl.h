#pragma once
// The views' drawing calls on the current OpenGL context, with the bitmap font of the labels.

#include "ui/view/gl_api.h"

#include <array>

namespace kestrova::ui {

class RealGl : public GlApi {
public:
    // The fixed state every redraw relies on (flat shading, white clear, smooth points, blending).
    static void InitScene();
    // One display list per character 32..127: a bold 10-pixel face, not antialiased.
    void BuildFont();
    void DeleteFont();
    unsigned FontBase() const { return fontBase_; }
    // Off, labels are drawn glyph by glyph as bitmaps (the look the batched labels keep).
    void SetBatchedLabels(bool on) { batchedLabels_ = on; }

    void Clear() override;
    void MatrixMode(GlMatrix m) override;
    void LoadIdentity() override;
    void PushMatrix() override;
    void PopMatrix() override;
    void Rotate(float angle, float x, float y, float z) override;
    void Translate(float x, float y, float z) override;
    void Ortho(double l, double r, double b, double t, double n, double f) override;
    void Frustum(double l, double r, double b, double t, double n, double f) override;
    void Color(float r, float g, float b, float a) override;
    void PointSize(float size) override;
    void LineWidth(float width) override;
    void LineStipple(int factor, uint16_t pattern) override;
    void Enable(GlCap cap) override;
    void Disable(GlCap cap) override;
    void Begin(GlPrimitive p) override;
    void Vertex(float x, float y, float z) override;
    void Vertex2(double x, double y) override;
    void End() override;
    void DrawArrays(GlPrimitive p, const float* xyz, int count) override;
    bool RasterPos(float x, float y, float z) override;
    void RasterPos2(double x, double y) override;
    void Text(const QByteArray& latin1) override;
    void Labels(const std::vector<GlLabel>& labels) override;
    void Flush() override;
    void SaveLayer(int slot) override;
    bool RestoreLayer(int slot) override;
    // The layers' textures: deleted in the current context, or forgotten with a lost one.
    void DeleteLayers();
    void ForgetLayers();

private:
    struct Layer {
        unsigned texture = 0;
        int width = 0;
        int height = 0;
        bool saved = false;
    };
    struct Glyph {
        int x = 0; // in the atlas
        int width = 0;
        int advance = 0;
    };
    unsigned fontBase_ = 0;
    // The same glyphs side by side in one alpha texture, bottom row first.
    unsigned atlas_ = 0;
    int atlasWidth_ = 0;
    int glyphHeight_ = 0;
    int descent_ = 0;
    std::array<Glyph, 96> glyphs_{};
    bool batchedLabels_ = true;
    std::array<Layer, 2> layers_;
};

} // namespace kestrova::ui
