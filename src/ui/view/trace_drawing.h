#pragma once
// The trace in one view: control points, the path's dots, tangents, arrows, times, reference
// points and the wall-clearance warning.

#include "ui/view/scene.h"

namespace kestrova::ui {

// Refreshes the control table's phantoms, which the path generator reads.
void DrawTrace(GlApi& gl, SceneInput& in);
// Path points too close to a wall, over the path's own dots.
void DrawClearance(GlApi& gl, SceneInput& in);

} // namespace kestrova::ui
