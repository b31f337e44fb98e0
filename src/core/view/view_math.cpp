#include "core/view/view_math.h"

#include <algorithm>
#include <cmath>

namespace kestrova {

namespace {

// glRotatef's matrix for an axis of unit length, in single precision as the driver does it.
Matrix4 Rotation(double angle, double x, double y, double z) {
    const double r = angle * (kPi / 180);
    const double c = std::cos(r);
    const double s = std::sin(r);
    const double t = 1 - c;
    Matrix4 m{};
    m[0] = x * x * t + c;
    m[1] = y * x * t + z * s;
    m[2] = x * z * t - y * s;
    m[4] = x * y * t - z * s;
    m[5] = y * y * t + c;
    m[6] = y * z * t + x * s;
    m[8] = x * z * t + y * s;
    m[9] = y * z * t - x * s;
    m[10] = z * z * t + c;
    m[15] = 1;
    return m;
}

Matrix4 Identity() {
    Matrix4 m{};
    m[0] = m[5] = m[10] = m[15] = 1;
    return m;
}

bool Invert(const Matrix4& m, Matrix4& out) {
    Matrix4 inv;
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] +
             m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
             m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] +
             m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
              m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
             m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] +
             m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] -
             m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] +
              m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] -
             m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] +
              m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] -
              m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] -
             m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0)
        return false;
    for (int i = 0; i < 16; ++i)
        out[i] = inv[i] / det;
    return true;
}

} // namespace

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[col * 4 + k];
            r[col * 4 + row] = sum;
        }
    return r;
}

double FMod(double x, double y) {
    return x - std::trunc(x / y) * y;
}

ViewAxes AxesOfView(int view) {
    switch (view) {
    case 1:
        return {0, 2, 1, kViewXZ};
    case 2:
        return {1, 2, 0, kViewYZ};
    case 3:
        return {0, 1, 2, kView3D};
    default:
        return {0, 1, 2, kViewXY};
    }
}

int ViewOfMode(int32_t viewMode) {
    switch (viewMode) {
    case kViewXZ:
        return 1;
    case kViewYZ:
        return 2;
    case kView3D:
        return 3;
    default:
        return 0;
    }
}

void PlanMetrics::SetScale(double s) {
    scale = s;
    visibleWidth = viewportWidth / scale;
    visibleHeight = viewportHeight / scale;
}

void PlanMetrics::Resize(int32_t width, int32_t height) {
    viewportWidth = width;
    viewportHeight = height;
    if (scale == 0)
        scale = 0.2f;
    SetScale(scale);
}

CameraAxes ComputeCameraAxes(float yaw, float pitch) {
    const Matrix4 m = Multiply(Rotation(static_cast<double>(pitch) - 90, 1, 0, 0),
                               Rotation(static_cast<double>(yaw), 0, 0, 1));
    CameraAxes a;
    for (int i = 0; i < 16; ++i)
        a.rotation[i] = static_cast<float>(m[i]);
    const auto& r = a.rotation;
    a.right = {r[0], r[4], r[8]};
    a.back = {r[2], r[6], -r[10]};
    a.up = {-r[1], -r[5], r[9]};
    return a;
}

void ApplyPendingMovement(ViewCamera& camera, CameraMotion& motion, const CameraAxes& axes) {
    float d[3];
    for (int i = 0; i < 3; ++i)
        d[i] = motion.strafe * axes.right[i] + motion.forward * axes.back[i] +
               motion.rise * axes.up[i];
    camera.tx += d[0];
    camera.ty += d[1];
    camera.tz -= d[2];
    if (!motion.keepStrafe)
        motion.strafe = 0;
    if (!motion.keepForward)
        motion.forward = 0;
    motion.rise = 0;
}

Matrix4 PlanProjection(const PlanMetrics& m, float centreH, float centreV) {
    const float halfW = static_cast<float>(m.visibleWidth) / 2;
    const float halfH = static_cast<float>(m.visibleHeight) / 2;
    const double l = centreH - halfW, r = centreH + halfW;
    const double b = centreV - halfH, t = centreV + halfH;
    const double n = -kWorldLimit, f = kWorldLimit;
    Matrix4 p{};
    p[0] = 2 / (r - l);
    p[5] = 2 / (t - b);
    p[10] = -2 / (f - n);
    p[12] = -(r + l) / (r - l);
    p[13] = -(t + b) / (t - b);
    p[14] = -(f + n) / (f - n);
    p[15] = 1;
    return p;
}

Matrix4 PlanModelview(int32_t viewMode) {
    if (viewMode == kViewXZ)
        return Rotation(-90, 1, 0, 0);
    if (viewMode == kViewYZ)
        return Multiply(Rotation(-90, 0, 1, 0), Rotation(-90, 1, 0, 0));
    return Identity();
}

Matrix4 PerspectiveProjection(const PlanMetrics& m, float fov, float zfar) {
    const float aspect =
        static_cast<float>(m.viewportWidth) / static_cast<float>(std::max(m.viewportHeight, 1));
    const double n = 0.1f;
    const double top = std::tan(DegToRad(fov / 2.0)) * n;
    const double right = aspect * top;
    const double f = zfar;
    Matrix4 p{};
    p[0] = 2 * n / (2 * right);
    p[5] = 2 * n / (2 * top);
    p[10] = -(f + n) / (f - n);
    p[11] = -1;
    p[14] = -2 * f * n / (f - n);
    return p;
}

bool UnProjectPoint(double winX, double winY, double winZ, const Matrix4& modelview,
                    const Matrix4& projection, const std::array<int32_t, 4>& viewport,
                    std::array<double, 3>& out) {
    Matrix4 inv;
    if (!Invert(Multiply(projection, modelview), inv))
        return false;
    const double in[4] = {(winX - viewport[0]) / viewport[2] * 2 - 1,
                          (winY - viewport[1]) / viewport[3] * 2 - 1, winZ * 2 - 1, 1};
    double o[4];
    for (int row = 0; row < 4; ++row)
        o[row] =
            inv[row] * in[0] + inv[4 + row] * in[1] + inv[8 + row] * in[2] + inv[12 + row] * in[3];
    if (o[3] == 0)
        return false;
    out = {o[0] / o[3], o[1] / o[3], o[2] / o[3]};
    return true;
}

std::array<float, 3> UnProjectPlan(float x, float y, const PlanMetrics& m, int32_t viewMode,
                                   float centreH, float centreV) {
    std::array<double, 3> w{0, 0, 0};
    UnProjectPoint(x, m.viewportHeight - y, 0, PlanModelview(viewMode),
                   PlanProjection(m, centreH, centreV), {0, 0, m.viewportWidth, m.viewportHeight},
                   w);
    return {static_cast<float>(w[0]), static_cast<float>(w[1]), static_cast<float>(w[2])};
}

void CameraFromPoint(const PointRecord& p, ViewCamera& camera) {
    camera.tx = -p.x;
    camera.ty = -p.y;
    camera.tz = -p.z;
    camera.pitch = -p.pitch;
    camera.yaw = 90 - p.yaw;
    camera.roll = p.roll;
    camera.fov = p.fov;
}

PointRecord PointFromCamera(const ViewCamera& camera) {
    PointRecord p;
    p.x = -camera.tx;
    p.y = -camera.ty;
    p.z = -camera.tz;
    p.pitch = -camera.pitch;
    p.yaw = -(camera.yaw - 90);
    p.roll = camera.roll;
    p.fov = camera.fov;
    return p;
}

} // namespace kestrova
