#include "core/calc/look_target.h"

#include "core/model/point_fields.h"
#include "core/numbers.h"
#include "core/path/build_path.h"
#include "core/settings/language.h"

#include <cmath>

namespace kestrova {
namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979;

// Fixed English texts: this message never had a translation.
const char* const kCountMismatchText = "Select the same number of control and reference points.";
const char* const kCountMismatchTitle = "Look reference points";

// a - trunc(a / b) * b
float Remainder(float a, float b) {
    return a - std::trunc(a / b) * b;
}

} // namespace

LookAngles AnglesTowards(const PointRecord& from, double tx, double ty, double tz) {
    const double dx = from.x - tx;
    const double dy = from.y - ty;
    const double dz = from.z - tz;
    const double d = std::sqrt(dx * dx + dy * dy);
    LookAngles a;
    if (d == 0.0)
        a.pitch = dz < 0.0 ? 90.0f : -90.0f;
    else
        a.pitch = static_cast<float>(-std::atan(dz / d) * kDegreesPerRadian);
    if (dx == 0.0) {
        a.yaw = dy > 0.0 ? -90.0f : 90.0f;
    } else {
        double yaw = std::atan(dy / dx) * kDegreesPerRadian;
        if (dx > 0.0)
            yaw += 180.0;
        a.yaw = static_cast<float>(yaw);
    }
    return a;
}

float Unwind(float value, float previous, float limit) {
    const float gap = std::fabs(value - previous);
    if (gap <= limit)
        return value;
    const float turns = static_cast<float>(RoundHalfEven(gap / 360.0)) * 360.0f;
    return value < previous ? value + turns : value - turns;
}

void NarrowToAngleColumns(TableSelection& s) {
    if (s.firstColumn < kFieldPitch || s.lastColumn > kFieldYaw)
        s.firstColumn = kFieldPitch;
    if (s.firstColumn < kFieldPitch || s.lastColumn > kFieldYaw)
        s.lastColumn = kFieldYaw;
}

bool ComputeLookAngles(Document& doc, int mode, TableSelection control,
                       const TableSelection& reference, const std::array<double, 3>& target) {
    PointTables& t = doc.trace.points;
    const int n = t.count[kControl];
    if (n < 2 || control.firstRow <= 0 || control.firstRow > n)
        return false;
    if (mode < kLookTyped || mode > kLookReferences)
        return false;
    if (mode == kLookReferences && reference.Empty())
        return false;
    control.lastRow = std::min(control.lastRow, n);
    NarrowToAngleColumns(control);

    const auto& c = t.rec[kControl];
    float pitch0 = 0, yaw0 = 0;
    if (control.firstRow > 1) {
        pitch0 = c[control.firstRow - 1].pitch;
        yaw0 = c[control.firstRow - 1].yaw;
    } else if (control.lastRow < n) {
        pitch0 = c[control.lastRow + 1].pitch;
        yaw0 = c[control.lastRow + 1].yaw;
    }

    // One reference point is the target of every selected control point.
    const int refStep = reference.Rows() == 1 ? 0 : 1;
    int ref = reference.firstRow;
    for (int i = control.firstRow; i <= control.lastRow; ++i, ref += refStep) {
        float pitch = 0, yaw = 0;
        if (mode == kLookNextPoint && i == n) {
            // Nothing to look at past the end: the previous angles without their whole turns.
            pitch = pitch0 - Remainder(pitch0, 360.0f);
            yaw = yaw0 - Remainder(yaw0, 360.0f);
        } else {
            const PointRecord* aim = nullptr;
            if (mode == kLookNextPoint)
                aim = &c[i + 1];
            else if (mode == kLookReferences) {
                if (ref > t.count[kReference])
                    break;
                aim = &t.rec[kReference][ref];
            }
            const LookAngles a = aim ? AnglesTowards(c[i], aim->x, aim->y, aim->z)
                                     : AnglesTowards(c[i], target[0], target[1], target[2]);
            // Consecutive points turn the short way.
            pitch = Unwind(a.pitch, pitch0, 360.0f);
            yaw = Unwind(a.yaw, yaw0, 180.0f);
        }
        for (int col = control.firstColumn; col <= control.lastColumn; ++col)
            SetTypedPointField(t, kControl, i, col == kFieldPitch ? kFieldPitch : kFieldYaw,
                               col == kFieldPitch ? pitch : yaw);
        pitch0 = pitch;
        yaw0 = yaw;
    }
    RebuildPath(doc.trace);
    RecordEdit(doc, false, false);
    return true;
}

bool ApplyLookTarget(Document& doc, int mode, const TableSelection& control,
                     const TableSelection& reference, const std::array<double, 3>& target) {
    if (mode == kLookReferences && control.Rows() != reference.Rows() && reference.Rows() != 1) {
        doc.dialogs.Message(QString::fromLatin1(kCountMismatchTitle),
                            QString::fromLatin1(kCountMismatchText), MessageIcon::Information,
                            MessageButtons::Ok);
        return false;
    }
    return ComputeLookAngles(doc, mode, control, reference, target);
}

std::optional<std::array<double, 3>> ReadLookTarget(Dialogs& dialogs,
                                                    const std::array<QString, 3>& texts) {
    std::array<double, 3> target{};
    for (size_t i = 0; i < 3; ++i) {
        bool ok = false;
        target[i] = ParseLocaleNumber(texts[i].trimmed(), &ok);
        if (!ok || !std::isfinite(target[i])) {
            dialogs.Message(fStr(36), fStr(728, QString(QLatin1Char("xyz"[i])), texts[i]),
                            MessageIcon::Warning, MessageButtons::Ok);
            return std::nullopt;
        }
    }
    return target;
}

int FirstEnabledLookMode(const std::array<bool, 3>& enabled, int chosen) {
    if (chosen >= 0 && chosen < 3 && enabled[chosen])
        return chosen;
    for (int i = 0; i < 3; ++i)
        if (enabled[i])
            return i;
    return chosen;
}

} // namespace kestrova
