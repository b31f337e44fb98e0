#pragma once
// The trace in one view: control points, the path's dots, tangents, arrows, times, reference
// points and the wall-clearance warning.

#include "ui/view/scene.h"

namespace kestrova::ui {

inline bool Is3D(const SceneInput& in) {
    return in.viewMode == kView3D;
}

// n pixels in world units of a plan; the 3D view uses the fixed length instead.
inline float Pixels(const SceneInput& in, float n, float length3D) {
    return Is3D(in) ? length3D : static_cast<float>(n / in.metrics.scale);
}

inline void SetColour(GlApi& gl, Rgb3 c) {
    gl.Color(c.r, c.g, c.b);
}

// Refreshes the control table's phantoms, which the path generator reads.
void DrawTrace(GlApi& gl, SceneInput& in);
// Path points too close to a wall, over the path's own dots.
void DrawClearance(GlApi& gl, SceneInput& in);

} // namespace kestrova::ui
