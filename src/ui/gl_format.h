#pragma once
// The OpenGL surface format every view asks for.

#include <QSurfaceFormat>

namespace kestrova::ui {

// The views draw with fixed-function OpenGL: a Compatibility profile, double buffer, depth.
inline QSurfaceFormat DefaultGlFormat() {
    QSurfaceFormat f;
    f.setRenderableType(QSurfaceFormat::OpenGL);
    f.setProfile(QSurfaceFormat::CompatibilityProfile);
    f.setVersion(2, 1);
    f.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    f.setDepthBufferSize(24);
    return f;
}

} // namespace kestrova::ui
