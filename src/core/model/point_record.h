#pragma once
// One record layout for control points, reference points and path points.

#include <array>
#include <cstdint>

namespace kestrova {

enum PointKind : int { kControl = 0, kReference = 1 };

constexpr int kMaxPoints = 250;  // per kind
constexpr int kTableSlots = 261; // indices 0..260: phantoms around 1..count

// View bits, also kept in a handle's fixedAxes: the plans in which the user moved it by hand.
enum ViewMode : int32_t { kViewXY = 1, kViewXZ = 2, kViewYZ = 4, kView3D = 8 };

struct TangentHandle {
    float x = 0, y = 0, z = 0;
    int32_t fixedAxes = 0;
};

struct PointRecord {
    float x = 0, y = 0, z = 0;
    TangentHandle tanA;  // outgoing handle of the segment that starts here
    TangentHandle tanB;  // incoming handle, at the next point, of that segment
    int32_t segment = 0; // path points: the control point that starts their segment
    float pitch = 0, yaw = 0, roll = 0;
    float ts = 0;
    float fov = 0;
    uint8_t hide = 0;
    float wgA = 0;
    int32_t wgF = 0;
    bool visible = false;
    bool selected = false; // selected in the grid and the views; kept by the undo history
};

// Field numbers of the grid and trace-file order (16 exists but holds nothing).
enum PointField : int {
    kFieldX = 1,
    kFieldY = 2,
    kFieldZ = 3,
    kFieldPitch = 4,
    kFieldYaw = 5,
    kFieldRoll = 6,
    kFieldFov = 7,
    kFieldTs = 8,
    kFieldHide = 9,
    kFieldWgA = 10,
    kFieldWgF = 11,
    kFieldTanAX = 12,
    kFieldTanAY = 13,
    kFieldTanAZ = 14,
    kFieldTanAFixed = 15,
    kFieldUnused = 16,
    kFieldTanBX = 17,
    kFieldTanBY = 18,
    kFieldTanBZ = 19,
    kFieldTanBFixed = 20,
};
constexpr int kControlFieldCount = 20;
constexpr int kReferenceFieldCount = 6;

inline float& Axis(PointRecord& r, int axis) {
    return axis == 0 ? r.x : axis == 1 ? r.y : r.z;
}
inline float Axis(const PointRecord& r, int axis) {
    return axis == 0 ? r.x : axis == 1 ? r.y : r.z;
}
inline float& Axis(TangentHandle& h, int axis) {
    return axis == 0 ? h.x : axis == 1 ? h.y : h.z;
}
inline float Axis(const TangentHandle& h, int axis) {
    return axis == 0 ? h.x : axis == 1 ? h.y : h.z;
}

} // namespace kestrova
