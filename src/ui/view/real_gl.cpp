#include "ui/view/real_gl.h"

#include <GL/gl.h>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
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
        for (int y = 0; y < height; ++y) {
            const int row = height - 1 - y;
            for (int x = 0; x < width; ++x)
                if (qGray(img.pixel(x, y)) > 127)
                    bits[static_cast<size_t>(row) * rowBytes + x / 8] |=
                        static_cast<GLubyte>(0x80 >> (x % 8));
        }
        glNewList(fontBase_ + i, GL_COMPILE);
        glBitmap(width, height, 0, static_cast<GLfloat>(fm.descent()),
                 static_cast<GLfloat>(advance), 0, bits.data());
        glEndList();
    }
}

void RealGl::DeleteFont() {
    if (fontBase_ != 0)
        glDeleteLists(fontBase_, kGlyphCount);
    fontBase_ = 0;
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
