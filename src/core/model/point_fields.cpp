#include "core/model/point_fields.h"

#include "core/numbers.h"

namespace kestrova {

float GetPointField(const PointTables& t, int kind, int index, int field) {
    if (kind < 0 || kind > 1 || index < 0 || index >= kTableSlots)
        return 0.0f;
    if (field == kFieldFov || field == kFieldTs || field == kFieldHide)
        kind = kControl;
    const PointRecord& r = t.rec[kind][index];
    switch (field) {
    case kFieldX:
        return r.x;
    case kFieldY:
        return r.y;
    case kFieldZ:
        return r.z;
    case kFieldPitch:
        return r.pitch;
    case kFieldYaw:
        return r.yaw;
    case kFieldRoll:
        return r.roll;
    case kFieldFov:
        return r.fov;
    case kFieldTs:
        return r.ts;
    case kFieldHide:
        return static_cast<float>(r.hide);
    case kFieldWgA:
        return r.wgA;
    case kFieldWgF:
        return static_cast<float>(r.wgF);
    case kFieldTanAX:
        return r.tanA.x;
    case kFieldTanAY:
        return r.tanA.y;
    case kFieldTanAZ:
        return r.tanA.z;
    case kFieldTanAFixed:
        return static_cast<float>(r.tanA.fixedAxes);
    case kFieldTanBX:
        return r.tanB.x;
    case kFieldTanBY:
        return r.tanB.y;
    case kFieldTanBZ:
        return r.tanB.z;
    case kFieldTanBFixed:
        return static_cast<float>(r.tanB.fixedAxes);
    default:
        return 0.0f;
    }
}

void SetPointField(PointTables& t, int kind, int index, int field, float value) {
    if (kind < 0 || kind > 1 || index < 0 || index >= kTableSlots)
        return;
    if (field == kFieldFov || field == kFieldTs || field == kFieldHide)
        kind = kControl;
    PointRecord& r = t.rec[kind][index];
    switch (field) {
    case kFieldX:
        r.x = value;
        break;
    case kFieldY:
        r.y = value;
        break;
    case kFieldZ:
        r.z = value;
        break;
    case kFieldPitch:
        r.pitch = value;
        break;
    case kFieldYaw:
        r.yaw = value;
        break;
    case kFieldRoll:
        r.roll = value;
        break;
    case kFieldFov:
        r.fov = value < 0.1f ? 0.1f : value > 179.99f ? 179.99f : value;
        break;
    case kFieldTs:
        r.ts = value < 0.1f ? 0.1f : value;
        break;
    case kFieldHide:
        r.hide = value != 0.0f ? 1 : 0;
        break;
    case kFieldWgA:
        if (value < 0.0f)
            value = 0.0f;
        r.wgA = value;
        if (value > 0.0f && r.wgF == 0)
            r.wgF = 4;
        break;
    case kFieldWgF: {
        // Rounded first: a fraction that rounds to 0 must not store an interval of 0 that
        // reads back as the default.
        const int32_t interval = RoundHalfEven(value);
        r.wgF = interval > 0 ? interval : r.wgA > 0.0f ? 4 : 0;
        break;
    }
    case kFieldTanAX:
        r.tanA.x = value;
        break;
    case kFieldTanAY:
        r.tanA.y = value;
        break;
    case kFieldTanAZ:
        r.tanA.z = value;
        break;
    case kFieldTanAFixed:
        r.tanA.fixedAxes = RoundHalfEven(value);
        break;
    case kFieldTanBX:
        r.tanB.x = value;
        break;
    case kFieldTanBY:
        r.tanB.y = value;
        break;
    case kFieldTanBZ:
        r.tanB.z = value;
        break;
    case kFieldTanBFixed:
        r.tanB.fixedAxes = RoundHalfEven(value);
        break;
    default:
        break;
    }
}

float SetTypedPointField(PointTables& t, int kind, int index, int field, double typed) {
    SetPointField(t, kind, index, field, static_cast<float>(RoundTo2(typed)));
    return GetPointField(t, kind, index, field);
}

} // namespace kestrova
