#pragma once
// The geometry of the views without OpenGL: which world axes a view shows, the plan surface's
// metrics, the camera's derived axes and pending movement, the plan matrices and unprojection.

#include "core/model/point_record.h"
#include "core/view/view_state.h"

#include <array>
#include <cstdint>

namespace kestrova {

constexpr double kPi = 3.14159265358979;
inline double DegToRad(double d) {
    return d * (kPi / 180);
}
inline double RadToDeg(double r) {
    return r * (180 / kPi);
}
// The remainder with the sign of x (truncating division).
double FMod(double x, double y);

// World limit on every axis.
constexpr float kWorldLimit = 25000;

// Axes shown by one of the four views (0 X-Y, 1 X-Z, 2 Y-Z, 3 3D).
struct ViewAxes {
    int h = 0;
    int v = 1;
    int depth = 2;
    int32_t viewMode = kViewXY;
};
ViewAxes AxesOfView(int view);
// 1, 2, 4, 8 -> 0..3; anything else -> 0.
int ViewOfMode(int32_t viewMode);

// The plan surface: pixels per world unit and the world extent the viewport shows.
struct PlanMetrics {
    double scale = 0; // 0: not yet set
    int32_t viewportWidth = 0;
    int32_t viewportHeight = 0;
    double visibleWidth = 0;
    double visibleHeight = 0;

    // Stores the scale and recomputes the visible extent (the projection is the caller's).
    void SetScale(double s);
    // A new surface size; a scale still unset starts at 0.2.
    void Resize(int32_t width, int32_t height);
};

// Movement waiting for the next 3D camera placement.
struct CameraMotion {
    float strafe = 0;
    float forward = 0;
    float rise = 0;
    bool keepStrafe = false;
    bool keepForward = false;
};

using Matrix4 = std::array<double, 16>; // column-major, as OpenGL keeps it

// The 3D view transform before its translation: rotate (pitch - 90) about X, then yaw about Z.
struct CameraAxes {
    std::array<float, 16> rotation{};
    std::array<float, 3> right{};
    std::array<float, 3> back{};
    std::array<float, 3> up{};
};
CameraAxes ComputeCameraAxes(float yaw, float pitch);
// Moves the camera by the pending movement along the derived axes, then resets what is not
// kept (rise always).
void ApplyPendingMovement(ViewCamera& camera, CameraMotion& motion, const CameraAxes& axes);

// The plan's orthographic projection around its pan centre and its rotation.
// a times b, both column-major.
Matrix4 Multiply(const Matrix4& a, const Matrix4& b);
Matrix4 PlanProjection(const PlanMetrics& m, float centreH, float centreV);
Matrix4 PlanModelview(int32_t viewMode);
// The frustum of the 3D view.
Matrix4 PerspectiveProjection(const PlanMetrics& m, float fov, float zfar);

// gluUnProject: window x, y (from the bottom), depth 0..1. False when the matrices are singular.
bool UnProjectPoint(double winX, double winY, double winZ, const Matrix4& modelview,
                    const Matrix4& projection, const std::array<int32_t, 4>& viewport,
                    std::array<double, 3>& out);

// A pixel of a plan (y from the top of the surface) back to world X, Y, Z.
std::array<float, 3> UnProjectPlan(float x, float y, const PlanMetrics& m, int32_t viewMode,
                                   float centreH, float centreV);

// Camera and point conversions: the camera's angles are those of the view transform, a point's
// those of the trace.
void CameraFromPoint(const PointRecord& p, ViewCamera& camera);
PointRecord PointFromCamera(const ViewCamera& camera);

} // namespace kestrova
