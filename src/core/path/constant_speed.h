#pragma once
// Constant speed: the path's points moved along the curve so that the camera covers the same
// distance every frame, whatever the spacing of the control points.

#include "core/model/trace.h"

#include <array>
#include <vector>

namespace kestrova {

// Moves every point of the path to equal arc-length steps along the polyline of the path as
// built, keeping the point count, the first and the last point. Angles, fov and timescale are
// interpolated at the same fractional place as the position, so each control point's values
// still arrive where the camera passes it. shake, when given, holds one random offset per point
// (the wiggle): it is taken out before measuring and put back by index, so the shake keeps its
// rhythm of one offset per interval of frames. A path without length stays as it is.
void RespaceByArcLength(std::vector<PointRecord>& path,
                        const std::vector<std::array<float, 3>>* shake = nullptr);

// Switches the trace's option and rebuilds its path and time labels; false when unchanged.
bool SetConstantSpeed(Trace& trace, bool on);

// How far along the trace's built path (0 at the start, 1 at the end, in frames) the camera
// passes each control point, indexed 1..n; empty without a path.
std::vector<double> PassingFractions(const Trace& trace);

} // namespace kestrova
