#include "core/view/view_state.h"

#include "core/files/trace_file.h"
#include "core/numbers.h"

namespace kestrova {

QString ViewPresetLine(int slot, const ViewPreset& p) {
    const QList<double> floats = {p.plan.centreH, p.plan.centreV};
    const QList<double> camera = {p.camera.tx,  p.camera.ty,   p.camera.tz,  p.camera.pitch,
                                  p.camera.yaw, p.camera.roll, p.camera.fov, p.camera.zfar};
    QStringList f{QString::number(slot), QString::number(p.viewMode)};
    for (double v : floats)
        f << FormatTraceFloat(v);
    f << QString::number(p.plan.zoomIndex);
    for (double v : camera)
        f << FormatTraceFloat(v);
    return f.join(QLatin1Char(';'));
}

QStringList ViewPresetLines(const std::array<ViewPreset, kPresetSlots>& presets) {
    QStringList lines;
    for (int i = 0; i < kPresetSlots; ++i)
        if (presets[i].viewMode >= 1)
            lines << ViewPresetLine(i, presets[i]);
    return lines;
}

void ApplyViewPresetLines(const QStringList& lines, std::array<ViewPreset, kPresetSlots>& presets) {
    presets.fill(ViewPreset{});
    for (const QString& line : lines) {
        const QStringList f = line.split(QLatin1Char(';'));
        if (f.size() != 13)
            continue;
        QList<double> v;
        for (const QString& s : f)
            v << ParseTraceFloat(s);
        const int32_t slot = RoundHalfEven(v[0]);
        if (slot < 0 || slot >= kPresetSlots)
            continue;
        ViewPreset& p = presets[slot];
        p.viewMode = RoundHalfEven(v[1]);
        p.plan = {static_cast<float>(v[2]), static_cast<float>(v[3]), RoundHalfEven(v[4])};
        p.camera = {static_cast<float>(v[5]),  static_cast<float>(v[6]), static_cast<float>(v[7]),
                    static_cast<float>(v[8]),  static_cast<float>(v[9]), static_cast<float>(v[10]),
                    static_cast<float>(v[11]), static_cast<float>(v[12])};
    }
}

} // namespace kestrova
