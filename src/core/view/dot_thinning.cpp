#include "core/view/dot_thinning.h"

#include <cmath>
#include <cstring>

namespace kestrova {

ScreenProjection::ScreenProjection(const Matrix4& projection, const Matrix4& modelview,
                                   int32_t width, int32_t height)
    : clip_(Multiply(projection, modelview)), width_(width), height_(height) {}

ScreenProjection ScreenProjection::OfView(int32_t viewMode, const PlanMetrics& m, float centreH,
                                          float centreV, const ViewCamera& camera) {
    if (viewMode == kView3D)
        return {PerspectiveProjection(m, camera.fov, camera.zfar), CameraModelview(camera),
                m.viewportWidth, m.viewportHeight};
    return {PlanProjection(m, centreH, centreV), PlanModelview(viewMode), m.viewportWidth,
            m.viewportHeight};
}

bool ScreenProjection::ToWindow(double x, double y, double z, double& px, double& py) const {
    const Matrix4& c = clip_;
    const double cw = c[3] * x + c[7] * y + c[11] * z + c[15];
    if (!(cw > 0))
        return false;
    const double cz = c[2] * x + c[6] * y + c[10] * z + c[14];
    if (cz < -cw || cz > cw)
        return false;
    const double cx = c[0] * x + c[4] * y + c[8] * z + c[12];
    const double cy = c[1] * x + c[5] * y + c[9] * z + c[13];
    px = (cx / cw + 1) * 0.5 * width_;
    py = (cy / cw + 1) * 0.5 * height_;
    return true;
}

uint64_t ScreenProjection::Key() const {
    uint64_t h = 0xcbf29ce484222325ULL;
    auto mix = [&h](const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            h ^= p[i];
            h *= 0x100000001b3ULL;
        }
    };
    mix(clip_.data(), sizeof clip_);
    mix(&width_, sizeof width_);
    mix(&height_, sizeof height_);
    return h;
}

Matrix4 CameraModelview(const ViewCamera& camera) {
    const CameraAxes axes = ComputeCameraAxes(camera.yaw, camera.pitch);
    Matrix4 rotation{};
    for (int i = 0; i < 16; ++i)
        rotation[i] = axes.rotation[i];
    Matrix4 translation{};
    translation[0] = translation[5] = translation[10] = translation[15] = 1;
    translation[12] = camera.tx;
    translation[13] = camera.ty;
    translation[14] = camera.tz;
    return Multiply(rotation, translation);
}

void ThinDots(const float* xyz, int32_t count, const ScreenProjection& view,
              const ThinningRule& rule, std::vector<float>& out) {
    if (count <= 0)
        return;
    const double spacing2 = rule.spacing * rule.spacing;
    const double left = -rule.margin, right = view.Width() + rule.margin;
    const double bottom = -rule.margin, top = view.Height() + rule.margin;
    auto keep = [&out](const float* p) { out.insert(out.end(), {p[0], p[1], p[2]}); };
    bool haveLast = false; // a kept dot on the surface that the next ones are measured from
    double lastX = 0, lastY = 0;
    bool prevShown = false, prevKept = false; // the dot before this one
    double prevX = 0, prevY = 0;
    for (int32_t i = 0; i < count; ++i) {
        const float* p = xyz + 3 * static_cast<size_t>(i);
        double x = 0, y = 0;
        const bool shown = view.ToWindow(p[0], p[1], p[2], x, y) && x >= left && x <= right &&
                           y >= bottom && y <= top;
        const bool end = i == 0 || i == count - 1;
        bool kept = false;
        if (!shown) {
            haveLast = false;
            kept = end;
            if (kept)
                keep(p);
        } else {
            const double dx = x - lastX, dy = y - lastY;
            kept = end || !haveLast || dx * dx + dy * dy >= spacing2;
            if (kept) {
                // After a jump (the end of one warning stretch and the start of another, say)
                // the dot before it ends a run: it stays.
                const double jx = x - prevX, jy = y - prevY;
                if (prevShown && !prevKept && jx * jx + jy * jy >= spacing2)
                    keep(p - 3);
                keep(p);
                haveLast = true;
                lastX = x;
                lastY = y;
            }
        }
        prevShown = shown;
        prevKept = kept;
        prevX = x;
        prevY = y;
    }
}

} // namespace kestrova
