#pragma once
// The path's dots as one view can tell them apart: where a plan or the 3D camera puts a dot on
// the surface, and which dots of a run are enough to draw the same picture. The full path stays
// what picking, snapping, the wall check and the scripts read; only the drawing is thinned.

#include "core/view/view_math.h"

#include <cstdint>
#include <vector>

namespace kestrova {

// World positions to window pixels (x to the right, y up from the bottom) of one view.
class ScreenProjection {
public:
    ScreenProjection() = default;
    ScreenProjection(const Matrix4& projection, const Matrix4& modelview, int32_t width,
                     int32_t height);
    // A plan around its pan centre, or the 3D camera as it stands (after any pending movement).
    static ScreenProjection OfView(int32_t viewMode, const PlanMetrics& m, float centreH,
                                   float centreV, const ViewCamera& camera);

    // False where the view shows nothing of the point: behind the eye, past the near or far
    // plane (which clip it away whatever its pixel).
    bool ToWindow(double x, double y, double z, double& px, double& py) const;

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // Changes whenever any pixel of the projection would: the cache key of what was thinned.
    uint64_t Key() const;

private:
    Matrix4 clip_{}; // projection x modelview
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// The 3D view transform: the camera's rotation, then its translation.
Matrix4 CameraModelview(const ViewCamera& camera);

struct ThinningRule {
    // A dot is drawn when it lies at least this many pixels from the last one drawn.
    double spacing = 1.5;
    // Dots further out of the surface than this many pixels draw nothing there.
    double margin = 3;
};

// Appends to out (three floats a dot) the dots of xyz that the view needs: the first and the
// last of the run (a control point and the end of its segment), each one at least the rule's
// spacing from the last one kept, the one before a jump of that spacing, and the first one
// back on the surface after dots off it.
void ThinDots(const float* xyz, int32_t count, const ScreenProjection& view,
              const ThinningRule& rule, std::vector<float>& out);

} // namespace kestrova
