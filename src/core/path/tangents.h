#pragma once
// Automatic tangent handles: a Catmull-Rom curve with its tangents scaled by 1.1, except for
// the components the user placed by hand in a plan (their bits in fixedAxes).

#include "core/model/trace.h"

namespace kestrova {

enum class Handle { A, B };

// Recomputes the components of one handle of control point i that the view mask shows and
// that are not fixed (or all of them with force, which then clears the mask from fixedAxes).
void RecomputeHandle(PointTables& t, int i, Handle handle, int32_t viewMask, bool force);

// The phantom records around the control points: 0 copies 1, count+1 copies count.
void RefreshPhantoms(PointTables& t);

// Upkeep after control point i moved, was added or was removed: every handle whose formula
// reads the points near i, without force, so hand-placed components survive.
void UpdateTangentsAround(PointTables& t, int i);

} // namespace kestrova
