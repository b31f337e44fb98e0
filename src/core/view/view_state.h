#pragma once
// The saved state of the four views: one PlanView per view, the 3D camera and the twelve view
// presets. Plain values: the trace file stores them, the views module gives them behaviour.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace kestrova {

// Zoom table bounds (pixels per world unit are looked up by index).
constexpr int32_t kZoomLowest = 1;
constexpr int32_t kZoomHighest = 1000;
constexpr int32_t kZoomDefault = 85;

// View indices of the option group: 0 X-Y, 1 X-Z, 2 Y-Z, 3 3D.
constexpr int kViewCount = 4;
constexpr int kPresetSlots = 12;

struct PlanView {
    float centreH = 0;
    float centreV = 0;
    int32_t zoomIndex = kZoomDefault;
};

struct ViewCamera {
    float tx = 0, ty = 0, tz = 0; // translation: the negated eye position
    float pitch = 0, yaw = 0, roll = 0;
    float fov = 90;
    float zfar = 30000;
};

struct ViewPreset {
    int32_t viewMode = 0; // 1 X-Y, 2 X-Z, 4 Y-Z, 8 3D; 0: empty slot
    PlanView plan;
    ViewCamera camera;
};

struct ViewState {
    int activeView = 0;
    std::array<PlanView, kViewCount> plans{};
    ViewCamera camera;
    std::array<ViewPreset, kPresetSlots> presets{};
};

// A used preset slot as one "vpreset" value of the trace file: slot; viewMode; centreH;
// centreV; zoomIndex; x; y; z; pitch; yaw; roll; fov; zfar (regional number format).
QString ViewPresetLine(int slot, const ViewPreset& preset);
// The lines of every used slot, in slot order.
QStringList ViewPresetLines(const std::array<ViewPreset, kPresetSlots>& presets);
// Clears every slot, then applies the lines; a line that is not 13 fields or names no slot
// 0..11 is ignored.
void ApplyViewPresetLines(const QStringList& lines, std::array<ViewPreset, kPresetSlots>& presets);

} // namespace kestrova
