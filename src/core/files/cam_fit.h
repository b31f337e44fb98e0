#pragma once
// A trace fitted to a camera animation: as few control points as the tolerance allows, each with
// its own tangent handles, so that the trace's path (one point per frame, the scripts' pitch
// sign) stays within the tolerance of the animation at every frame time.

#include "core/files/cam_file.h"
#include "core/model/trace.h"

#include <vector>

namespace kestrova {

struct CamFitTolerance {
    double units = 1.0;   // position distance
    double degrees = 0.5; // each angle and the fov
};

struct CamFit {
    PointTables points;      // the control points (handles fixed)
    int32_t pointCount = 0;  // the path's feasible count nearest the frame count
    int32_t frameRate = 0;   // from the frames' times
    double unitsError = 0;   // the largest distance between path and animation
    double degreesError = 0; // the largest angle or fov difference
    bool withinTolerance = false;
};

// The demo frame rate the times were taken at: the nearest whole number to one over the median
// interval between frames.
int32_t CamFrameRate(const std::vector<CamFrame>& frames);

// Frames as read by ReadCamFile (at least two). Where the path's point count differs from the
// frame count, frame k is compared with path point k and the shorter side stands still at its
// last value, as the camera does when its script ends. With more than 250 control points needed,
// the 250-point fit comes back with withinTolerance false and its errors.
CamFit FitCamFrames(const std::vector<CamFrame>& frames, const CamFitTolerance& tolerance = {});

// The fitted trace: its control points, its point count in the active preset, its frame rate.
Trace CamFitTrace(const CamFit& fit);

} // namespace kestrova
