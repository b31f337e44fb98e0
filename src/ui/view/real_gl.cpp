#include "ui/view/real_gl.h"

#include <GL/gl.h>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <vector>

namespace kestrova::ui {

namespace {

GLenum CapOf(GlCap cap) {
    switch (cap) {
    case GlCap::DepthTest:
        return GL_DEPTH_TEST;
    case GlCap::LineStipple:
        return GL_LINE_STIPPLE;
    case GlCap::LineSmooth:
        return GL_LINE_SMOOTH;
    case GlCap::PointSmooth:
        return GL_POINT_SMOOTH;
    case GlCap::Blend:
        return GL_BLEND;
    }
    return GL_BLEND;
}

GLenum PrimitiveOf(GlPrimitive p) {
    switch (p) {
    case GlPrimitive::Points:
        return GL_POINTS;
    case GlPrimitive::Lines:
        return GL_LINES;
    case GlPrimitive::LineLoop:
        return GL_LINE_LOOP;
    case GlPrimitive::Quads:
        return GL_QUADS;
    }
    return GL_POINTS;
}

constexpr int kFirstGlyph = 32;
constexpr int kGlyphCount = 96;

} // namespace

void RealGl::InitScene() {
    glShadeModel(GL_FLAT);
    glClearColor(1, 1, 1, 0);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_LINE_SMOOTH_HINT, GL_FASTEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_FASTEST);
    glEnable(GL_POINT_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
}

void RealGl::BuildFont() {
    DeleteFont();
    QFont font;
    font.setPixelSize(10);
    font.setWeight(QFont::Bold);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics fm(font);
    const int height = std::max(fm.height(), 1);
    fontBase_ = glGenLists(kGlyphCount);
    if (fontBase_ == 0)
        return;
    std::vector<std::vector<bool>> shapes(kGlyphCount);
    int atlasWidth = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int i = 0; i < kGlyphCount; ++i) {
        const QChar ch(kFirstGlyph + i);
        const int advance = fm.horizontalAdvance(ch);
        const int width = std::max(advance, 1);
        QImage img(width, height, QImage::Format_RGB32);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(0, fm.ascent(), QString(ch));
        }
        // Bottom row first, most significant bit leftmost, as glBitmap reads it.
        const int rowBytes = (width + 7) / 8;
        std::vector<GLubyte> bits(static_cast<size_t>(rowBytes) * height, 0);
        std::vector<bool>& shape = shapes[static_cast<size_t>(i)];
        shape.assign(static_cast<size_t>(width) * height, false);
        for (int y = 0; y < height; ++y) {
            const int row = height - 1 - y;
            for (int x = 0; x < width; ++x)
                if (qGray(img.pixel(x, y)) > 127) {
                    bits[static_cast<size_t>(row) * rowBytes + x / 8] |=
                        static_cast<GLubyte>(0x80 >> (x % 8));
                    shape[static_cast<size_t>(row) * width + x] = true;
                }
        }
        glNewList(fontBase_ + i, GL_COMPILE);
        glBitmap(width, height, 0, static_cast<GLfloat>(fm.descent()),
                 static_cast<GLfloat>(advance), 0, bits.data());
        glEndList();
        glyphs_[static_cast<size_t>(i)] = {atlasWidth, width, advance};
        atlasWidth += width;
    }
    std::vector<GLubyte> alpha(static_cast<size_t>(atlasWidth) * height, 0);
    for (int i = 0; i < kGlyphCount; ++i) {
        const Glyph& g = glyphs_[static_cast<size_t>(i)];
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < g.width; ++x)
                if (shapes[static_cast<size_t>(i)][static_cast<size_t>(row) * g.width + x])
                    alpha[static_cast<size_t>(row) * atlasWidth + g.x + x] = 255;
    }
    glPushAttrib(GL_TEXTURE_BIT);
    glGenTextures(1, &atlas_);
    glBindTexture(GL_TEXTURE_2D, atlas_);
    // Nearest texels at one texel a pixel: the glyphs' pixels exactly, as the bitmaps draw them.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, atlasWidth, height, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 alpha.data());
    glPopAttrib();
    atlasWidth_ = atlasWidth;
    glyphHeight_ = height;
    descent_ = fm.descent();
}

void RealGl::DeleteFont() {
    if (fontBase_ != 0)
        glDeleteLists(fontBase_, kGlyphCount);
    if (atlas_ != 0)
        glDeleteTextures(1, &atlas_);
    fontBase_ = 0;
    atlas_ = 0;
}

void RealGl::Clear() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
void RealGl::MatrixMode(GlMatrix m) {
    glMatrixMode(m == GlMatrix::Projection ? GL_PROJECTION : GL_MODELVIEW);
}
void RealGl::LoadIdentity() {
    glLoadIdentity();
}
void RealGl::PushMatrix() {
    glPushMatrix();
}
void RealGl::PopMatrix() {
    glPopMatrix();
}
void RealGl::Rotate(float angle, float x, float y, float z) {
    glRotatef(angle, x, y, z);
}
void RealGl::Translate(float x, float y, float z) {
    glTranslatef(x, y, z);
}
void RealGl::Ortho(double l, double r, double b, double t, double n, double f) {
    glOrtho(l, r, b, t, n, f);
}
void RealGl::Frustum(double l, double r, double b, double t, double n, double f) {
    glFrustum(l, r, b, t, n, f);
}
void RealGl::Color(float r, float g, float b, float a) {
    glColor4f(r, g, b, a);
}
void RealGl::PointSize(float size) {
    glPointSize(size);
}
void RealGl::LineWidth(float width) {
    glLineWidth(width);
}
void RealGl::LineStipple(int factor, uint16_t pattern) {
    glLineStipple(factor, pattern);
}
void RealGl::Enable(GlCap cap) {
    glEnable(CapOf(cap));
}
void RealGl::Disable(GlCap cap) {
    glDisable(CapOf(cap));
}
void RealGl::Begin(GlPrimitive p) {
    glBegin(PrimitiveOf(p));
}
void RealGl::Vertex(float x, float y, float z) {
    glVertex3f(x, y, z);
}
void RealGl::Vertex2(double x, double y) {
    glVertex2d(x, y);
}
void RealGl::End() {
    glEnd();
}

void RealGl::DrawArrays(GlPrimitive p, const float* xyz, int count) {
    if (count <= 0)
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, xyz);
    glDrawArrays(PrimitiveOf(p), 0, count);
    glDisableClientState(GL_VERTEX_ARRAY);
}
bool RealGl::RasterPos(float x, float y, float z) {
    glRasterPos3f(x, y, z);
    GLboolean valid = GL_FALSE;
    glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    return valid == GL_TRUE;
}
void RealGl::RasterPos2(double x, double y) {
    glRasterPos2d(x, y);
}
void RealGl::Text(const QByteArray& latin1) {
    if (latin1.isEmpty() || fontBase_ == 0)
        return;
    glPushAttrib(GL_LIST_BIT);
    glListBase(fontBase_ - kFirstGlyph);
    glCallLists(static_cast<GLsizei>(latin1.size()), GL_UNSIGNED_BYTE, latin1.constData());
    glPopAttrib();
}
void RealGl::Labels(const std::vector<GlLabel>& labels) {
    if (!batchedLabels_ || atlas_ == 0) {
        GlApi::Labels(labels);
        return;
    }
    std::array<GLdouble, 16> mv{};
    std::array<GLdouble, 16> pr{};
    std::array<GLint, 4> vp{};
    glGetDoublev(GL_MODELVIEW_MATRIX, mv.data());
    glGetDoublev(GL_PROJECTION_MATRIX, pr.data());
    glGetIntegerv(GL_VIEWPORT, vp.data());
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT |
                 GL_TRANSFORM_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_POLYGON_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.5f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, atlas_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Window coordinates, z the raster position's depth: a bitmap's fragments are depth-tested.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(vp[0], vp[0] + vp[2], vp[1], vp[1] + vp[3], 0, -1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const double th = 1.0 / atlasWidth_;
    glBegin(GL_QUADS);
    for (const GlLabel& l : labels) {
        std::array<double, 4> eye{};
        std::array<double, 4> clip{};
        const double v[4] = {l.x, l.y, l.z, 1};
        for (int r = 0; r < 4; ++r)
            eye[r] = mv[r] * v[0] + mv[4 + r] * v[1] + mv[8 + r] * v[2] + mv[12 + r] * v[3];
        for (int r = 0; r < 4; ++r)
            clip[r] =
                pr[r] * eye[0] + pr[4 + r] * eye[1] + pr[8 + r] * eye[2] + pr[12 + r] * eye[3];
        const double w = clip[3];
        // Outside the view volume the raster position is invalid and the text draws nothing.
        if (!(w > 0) || std::abs(clip[0]) > w || std::abs(clip[1]) > w || std::abs(clip[2]) > w)
            continue;
        const double wx = vp[0] + (clip[0] / w + 1) * vp[2] / 2;
        const double wy = vp[1] + (clip[1] / w + 1) * vp[3] / 2;
        const double wz = (clip[2] / w + 1) / 2;
        // A bitmap's corner is the floor of the raster position less its origin.
        auto x = static_cast<int>(std::floor(wx));
        const int y = static_cast<int>(std::floor(wy)) - descent_;
        for (char c : l.latin1) {
            const int index = static_cast<unsigned char>(c) - kFirstGlyph;
            if (index < 0 || index >= kGlyphCount)
                continue;
            const Glyph& g = glyphs_[static_cast<size_t>(index)];
            const double s0 = g.x * th;
            const double s1 = (g.x + g.width) * th;
            glTexCoord2d(s0, 0);
            glVertex3d(x, y, wz);
            glTexCoord2d(s1, 0);
            glVertex3d(x + g.width, y, wz);
            glTexCoord2d(s1, 1);
            glVertex3d(x + g.width, y + glyphHeight_, wz);
            glTexCoord2d(s0, 1);
            glVertex3d(x, y + glyphHeight_, wz);
            x += g.advance;
        }
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib(); // the matrix mode too
}

void RealGl::Flush() {
    glFlush();
}

namespace {

std::array<GLint, 4> Viewport() {
    std::array<GLint, 4> v{};
    glGetIntegerv(GL_VIEWPORT, v.data());
    return v;
}

} // namespace

void RealGl::SaveLayer(int slot) {
    Layer& layer = layers_.at(static_cast<size_t>(slot));
    const auto [x, y, w, h] = Viewport();
    if (w <= 0 || h <= 0)
        return;
    glPushAttrib(GL_TEXTURE_BIT);
    if (layer.texture == 0)
        glGenTextures(1, &layer.texture);
    glBindTexture(GL_TEXTURE_2D, layer.texture);
    if (layer.width != w || layer.height != h) {
        // Nearest texels at one texel a pixel give the copied pixels back exactly.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        layer.width = w;
        layer.height = h;
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, y, w, h);
    glPopAttrib();
    layer.saved = glGetError() == GL_NO_ERROR;
}

bool RealGl::RestoreLayer(int slot) {
    const Layer& layer = layers_.at(static_cast<size_t>(slot));
    [[maybe_unused]] const auto [x, y, w, h] = Viewport();
    if (!layer.saved || layer.width != w || layer.height != h)
        return false;
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT |
                 GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_POLYGON_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, layer.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, w, 0, h, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(0, 0);
    glTexCoord2f(1, 0);
    glVertex2i(w, 0);
    glTexCoord2f(1, 1);
    glVertex2i(w, h);
    glTexCoord2f(0, 1);
    glVertex2i(0, h);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib(); // the matrix mode too
    return true;
}

void RealGl::DeleteLayers() {
    for (Layer& layer : layers_) {
        if (layer.texture != 0)
            glDeleteTextures(1, &layer.texture);
    }
    ForgetLayers();
}

void RealGl::ForgetLayers() {
    layers_ = {};
}

} // namespace kestrova::ui
