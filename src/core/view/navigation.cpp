#include "core/view/navigation.h"

#include "core/numbers.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kestrova {

namespace {

const std::vector<double>& ZoomTable() {
    static const std::vector<double> table = [] {
        const double lo = kZoomLowest;
        const double hi = kZoomHighest;
        const double p = 100;
        const double step = (std::pow(hi - lo + 1, 1 / p) - 1) / (hi - lo);
        std::vector<double> t(kZoomHighest + 1, 0.0);
        for (int32_t i = kZoomLowest; i <= kZoomHighest; ++i)
            t[i] = (std::pow((i - lo) * step + 1, p) + (lo - 1)) / 100;
        return t;
    }();
    return table;
}

int32_t ClampZoom(int32_t i) {
    return std::clamp(i, kZoomLowest, kZoomHighest);
}

QString Fixed2(double v) {
    return FormatLocaleFixed(v, 2);
}

// The box around the points the views show: control points not hidden, reference points while
// their display is on. False when no point is shown.
bool ShownPointBounds(const Trace& trace, bool showReferencePoints, std::array<float, 3>& lo,
                      std::array<float, 3>& hi) {
    lo = {kWorldLimit, kWorldLimit, kWorldLimit};
    hi = {-kWorldLimit, -kWorldLimit, -kWorldLimit};
    auto take = [&](const PointRecord& p) {
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], Axis(p, i));
            hi[i] = std::max(hi[i], Axis(p, i));
        }
    };
    for (int i = 1; i <= trace.ControlCount(); ++i)
        if (!trace.points.At(kControl, i).hide)
            take(trace.points.At(kControl, i));
    if (showReferencePoints)
        for (int i = 1; i <= trace.ReferenceCount(); ++i)
            take(trace.points.At(kReference, i));
    return lo[0] <= hi[0];
}

} // namespace

double ZoomTableEntry(int32_t index) {
    return ZoomTable()[ClampZoom(index)];
}

int32_t FindZoomIndex(double scale) {
    const auto& t = ZoomTable();
    for (int32_t i = kZoomLowest; i <= kZoomHighest; ++i) {
        if (scale == t[i])
            return i;
        if (scale < t[i])
            return std::max(i - 1, kZoomLowest);
    }
    return kZoomHighest;
}

int32_t NavStep(NavModifiers m) {
    if (m.ctrl)
        return 6;
    if (m.shift)
        return 2;
    return 12;
}

QString ScaleCaption(const QString& prefix, double visibleWidth) {
    return prefix + Fixed2(visibleWidth).rightJustified(9, QLatin1Char(' '));
}

NavEffect ViewNavigator::SelectView(int index) {
    views_.activeView = std::clamp(index, 0, kViewCount - 1);
    NavEffect e;
    if (!Is3D()) {
        PlanView& p = Current();
        p.zoomIndex = ClampZoom(p.zoomIndex);
        metrics.SetScale(ZoomTableEntry(p.zoomIndex));
        PanTo(p.centreH, p.centreV);
        e.scaleCaption = true;
    }
    e.layout = e.projection = e.redraw = true;
    return e;
}

NavEffect ViewNavigator::ApplyZoom() {
    PlanView& p = Current();
    metrics.SetScale(ZoomTableEntry(p.zoomIndex));
    PanTo(p.centreH, p.centreV);
    NavEffect e;
    e.scaleCaption = e.projection = e.redraw = true;
    return e;
}

void ViewNavigator::PanTo(float h, float v) {
    const float limitH = std::max(static_cast<float>((50000 - metrics.visibleWidth) / 2), 0.0f);
    const float limitV = std::max(static_cast<float>((50000 - metrics.visibleHeight) / 2), 0.0f);
    const float ch = std::clamp(h, -limitH, limitH);
    const float cv = std::clamp(v, -limitV, limitV);
    clampedH = ch != h;
    clampedV = cv != v;
    Current().centreH = ch;
    Current().centreV = cv;
}

NavEffect ViewNavigator::Wheel(int delta, NavModifiers m) {
    if (Is3D())
        return Wheel3D(delta, m);
    PlanView& p = Current();
    p.zoomIndex = ClampZoom(static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{p.zoomIndex} + int64_t{delta} * NavStep(m), -1, 100000)));
    return ApplyZoom();
}

void ViewNavigator::BeginZoomDrag(double y) {
    zoomDragPreviousY_ = RoundHalfEven(y);
}

NavEffect ViewNavigator::ZoomDragMove(double y) {
    PlanView& p = Current();
    p.zoomIndex = ClampZoom(RoundHalfEven(p.zoomIndex - (y - zoomDragPreviousY_)));
    zoomDragPreviousY_ = RoundHalfEven(y);
    return ApplyZoom();
}

void ViewNavigator::BeginPanDrag(double x, double y) {
    panStartH_ = Current().centreH;
    panStartV_ = Current().centreV;
    pressX_ = x;
    pressY_ = y;
}

NavEffect ViewNavigator::PanDragMove(double x, double y) {
    const double s = metrics.scale;
    PanTo(static_cast<float>(panStartH_ - (x - pressX_) / s),
          static_cast<float>(panStartV_ + (y - pressY_) / s));
    // Restart the drag from the limit, so that coming back moves the view at once.
    if (clampedH) {
        pressX_ = x;
        panStartH_ = Current().centreH;
    }
    if (clampedV) {
        pressY_ = y;
        panStartV_ = Current().centreV;
    }
    NavEffect e;
    e.projection = e.redraw = true;
    return e;
}

NavEffect ViewNavigator::FitAll(const Trace& trace, bool showReferencePoints,
                                const MapBoundsArray* mapBounds) {
    const ViewAxes a = Axes();
    float minH = kWorldLimit, maxH = -kWorldLimit, minV = kWorldLimit, maxV = -kWorldLimit;
    if (trace.ControlCount() == 0 && trace.ReferenceCount() == 0) {
        if (!mapBounds)
            return {};
        minH = (*mapBounds)[a.h][0];
        maxH = (*mapBounds)[a.h][1];
        minV = (*mapBounds)[a.v][0];
        maxV = (*mapBounds)[a.v][1];
    } else {
        std::array<float, 3> lo, hi;
        // Every point hidden: nothing to fit to.
        if (!ShownPointBounds(trace, showReferencePoints, lo, hi))
            return {};
        minH = lo[a.h];
        maxH = hi[a.h];
        minV = lo[a.v];
        maxV = hi[a.v];
    }
    float width = maxH - minH;
    float height = maxV - minV;
    if (width == 0)
        width = 1;
    if (height == 0)
        height = 1;
    const double sH = metrics.viewportWidth / static_cast<double>(width);
    const double sV = metrics.viewportHeight / static_cast<double>(height);
    const bool horizontal = sH <= sV;
    metrics.SetScale(ZoomTableEntry(FindZoomIndex(horizontal ? sH : sV)));
    const double margin = 20 / metrics.scale;
    const int32_t index =
        horizontal ? FindZoomIndex(metrics.viewportWidth / (margin + metrics.visibleWidth))
                   : FindZoomIndex(metrics.viewportHeight / (margin + metrics.visibleHeight));
    PlanView& p = Current();
    p.zoomIndex = index;
    p.centreH = minH + width / 2;
    p.centreV = minV + height / 2;
    return ApplyZoom();
}

NavEffect ViewNavigator::KeyDown3D(NavKey key, NavModifiers m) {
    NavEffect e;
    ViewCamera& cam = views_.camera;
    const float speed = moveSpeed * 5 * static_cast<float>(NavStep(m));
    switch (key) {
    case NavKey::Up:
    case NavKey::Down:
        if (previewLock || motion.keepForward)
            break;
        motion.forward = key == NavKey::Up ? speed : -speed;
        motion.keepForward = true;
        break;
    case NavKey::Left:
    case NavKey::Right:
        if (previewLock || motion.keepStrafe || shifting3D_)
            break;
        motion.strafe = key == NavKey::Left ? speed : -speed;
        motion.keepStrafe = true;
        break;
    case NavKey::F: {
        const bool widen = m.shift && !m.ctrl && !m.alt;
        float fov = std::clamp(cam.fov + (widen ? 5.0f : -5.0f), kFovMin, kFovMax);
        if (fov > kFovMin && fov < kFovMax)
            fov = static_cast<float>(RoundHalfEven(fov));
        cam.fov = fov;
        e.projection = e.redraw = true;
        e.transient = QStringLiteral("FOV: ") + Fixed2(cam.fov);
        break;
    }
    case NavKey::Z: {
        if (m.ctrl)
            break;
        float step = m.alt ? 100.0f : 1000.0f;
        if (m.shift)
            step = -step;
        cam.zfar = std::clamp(cam.zfar + step, kZfarMin, kZfarMax);
        e.projection = e.redraw = true;
        e.transient = QStringLiteral("ZFar: ") + Fixed2(cam.zfar);
        break;
    }
    case NavKey::KeypadPlus:
    case NavKey::KeypadMinus: {
        const float d = key == NavKey::KeypadPlus ? 0.1f : -0.1f;
        moveSpeed = std::clamp(moveSpeed + d, kMoveSpeedMin, kMoveSpeedMax);
        panSpeed = std::clamp(panSpeed + d, kMoveSpeedMin, kMoveSpeedMax);
        e.transient = QStringLiteral("Move speed: ") + Fixed2(moveSpeed);
        break;
    }
    case NavKey::R:
        rollHeld = true;
        break;
    case NavKey::Insert:
        if (previewLock)
            break;
        e.addPoint = true;
        e.addReference = m.ctrl;
        e.redraw = true;
        break;
    case NavKey::Other:
        break;
    }
    return e;
}

NavEffect ViewNavigator::KeyUp3D(NavKey key) {
    switch (key) {
    case NavKey::Left:
    case NavKey::Right:
        motion.strafe = 0;
        motion.keepStrafe = false;
        break;
    case NavKey::Up:
    case NavKey::Down:
        motion.forward = 0;
        motion.keepForward = false;
        break;
    case NavKey::R:
        rollHeld = false;
        break;
    default:
        break;
    }
    return {};
}

NavEffect ViewNavigator::Wheel3D(int delta, NavModifiers m) {
    NavEffect e;
    if (motion.keepForward || previewLock)
        return e;
    // The latest notch sets the pending move; the next frame applies it once.
    motion.forward = moveSpeed * 5 * static_cast<float>(delta) * static_cast<float>(NavStep(m));
    e.redraw = true;
    return e;
}

NavEffect ViewNavigator::Look(double dx, double dy) {
    ViewCamera& cam = views_.camera;
    NavEffect e;
    if (rollHeld) {
        cam.roll = static_cast<float>(FMod(cam.roll - dx * kLookDegreesPerPixel, 360));
        e.transient = QStringLiteral("Roll ") + Fixed2(cam.roll);
    } else {
        cam.yaw = static_cast<float>(FMod(cam.yaw - dx * kLookDegreesPerPixel, 360));
        cam.pitch =
            static_cast<float>(std::clamp(cam.pitch - dy * kLookDegreesPerPixel, -90.0, 90.0));
        e.transient =
            QStringLiteral("Y") + Fixed2(cam.yaw) + QStringLiteral(" P:") + Fixed2(cam.pitch);
    }
    e.redraw = !KeyboardMoving();
    return e;
}

NavEffect ViewNavigator::Shift3D(double dx, double dy) {
    NavEffect e;
    if (motion.keepStrafe)
        return e;
    const double k = panSpeed * 12.5;
    motion.strafe += static_cast<float>(k * dx);
    motion.rise += static_cast<float>(k * dy);
    e.redraw = true;
    return e;
}

void ViewNavigator::ResetCamera() {
    kestrova::ResetCamera(views_.camera);
}

void ResetCamera(ViewCamera& c) {
    c.fov = 90;
    c.tx = c.ty = c.tz = 0;
    c.yaw = c.pitch = c.roll = 0;
    c.zfar = 50000;
}

void VantageCamera(const Trace& trace, bool showReferencePoints, ViewCamera& camera) {
    std::array<float, 3> lo, hi;
    if (!ShownPointBounds(trace, showReferencePoints, lo, hi))
        return;
    double centre[3];
    double radius = 0;
    for (int i = 0; i < 3; ++i) {
        centre[i] = (lo[i] + hi[i]) / 2.0;
        radius += (hi[i] - lo[i]) * (hi[i] - lo[i]) / 4.0;
    }
    // A single point is still seen from some distance.
    radius = std::max(std::sqrt(radius), 100.0);
    // Looking steeply down along yaw 225 (towards -X and -Y): the turns of the flight show.
    constexpr double kYaw = 225;
    constexpr double kPitch = 60;
    const double yaw = DegToRad(kYaw);
    const double pitch = DegToRad(kPitch);
    const double look[3] = {std::cos(pitch) * std::sin(yaw), std::cos(pitch) * std::cos(yaw),
                            -std::sin(pitch)};
    const double fov = std::clamp<double>(camera.fov, 10, 170);
    const double distance = radius / std::sin(DegToRad(fov / 2)) * 1.1;
    camera.tx = static_cast<float>(-(centre[0] - look[0] * distance));
    camera.ty = static_cast<float>(-(centre[1] - look[1] * distance));
    camera.tz = static_cast<float>(-(centre[2] - look[2] * distance));
    camera.yaw = static_cast<float>(kYaw);
    camera.pitch = static_cast<float>(kPitch);
    camera.roll = 0;
    camera.zfar = std::max(camera.zfar, static_cast<float>(std::ceil(distance + radius)));
}

bool ViewNavigator::ApplyPreset(int slot, NavEffect& effect) {
    if (slot < 0 || slot >= kPresetSlots)
        return false;
    const ViewPreset preset = views_.presets[slot];
    if (preset.viewMode < 1)
        return false;
    const int view = ViewOfMode(preset.viewMode);
    effect = SelectView(view);
    Current() = preset.plan;
    if (view == 3) {
        views_.camera = preset.camera;
        effect.projection = effect.redraw = true;
    } else {
        const NavEffect z = ApplyZoom();
        effect.projection = effect.redraw = effect.scaleCaption = z.redraw;
    }
    return true;
}

void ViewNavigator::SavePreset(int slot) {
    if (slot < 0 || slot >= kPresetSlots)
        return;
    ViewPreset& p = views_.presets[slot];
    p.viewMode = ViewMode();
    p.plan = Current();
    p.camera = Is3D() ? views_.camera : ViewCamera{0, 0, 0, 0, 0, 0, 0, 0};
}

void ViewNavigator::ClearPreset(int slot) {
    if (slot < 0 || slot >= kPresetSlots)
        return;
    views_.presets[slot] = ViewPreset{};
    views_.presets[slot].plan = PlanView{0, 0, 0};
    views_.presets[slot].camera = ViewCamera{0, 0, 0, 0, 0, 0, 0, 0};
}

} // namespace kestrova
