#pragma once
// Traces built in code for the file tests.

#include "core/files/trace_file.h"
#include "core/model/point_fields.h"
#include "support/scoped_locale.h"

namespace kestrova::test {

// Control points on a gentle climb with varied angles; reference points beside them.
inline void FillPoints(PointTables& t, int controls, int references) {
    t = PointTables{};
    t.count = {controls, references};
    for (int i = 1; i <= controls; ++i) {
        SetPointField(t, kControl, i, kFieldX, 100.25f * i);
        SetPointField(t, kControl, i, kFieldY, -50.5f * i);
        SetPointField(t, kControl, i, kFieldZ, 8.0f * i);
        SetPointField(t, kControl, i, kFieldPitch, static_cast<float>(i % 7) - 3);
        SetPointField(t, kControl, i, kFieldYaw, 10.0f * i);
        SetPointField(t, kControl, i, kFieldFov, 90);
        SetPointField(t, kControl, i, kFieldTs, 1);
        SetPointField(t, kControl, i, kFieldTanAX, 1.5f);
        SetPointField(t, kControl, i, kFieldTanBFixed, 3);
    }
    for (int i = 1; i <= references; ++i) {
        SetPointField(t, kReference, i, kFieldX, -7.75f * i);
        SetPointField(t, kReference, i, kFieldZ, 64);
        SetPointField(t, kReference, i, kFieldYaw, 45);
    }
}

inline TraceFileContents SampleContents(int controls = 4, int references = 2) {
    TraceFileContents c;
    c.game = 1;
    c.activeView = 2;
    c.plans[0] = {120.5f, -33.25f, 90};
    c.plans[1] = {0.0f, 512.0f, 85};
    c.plans[2] = {-1e-05f, 1234567.0f / 100, 400};
    c.camera = {10.5f, -20.25f, 30, 12.5f, 45, 0, 100, 30000};
    c.presetLines = {"0;1;12.5;-3;85;0;0;0;0;0;0;0;0"};
    c.stepIdx = 1;
    c.stepText = {"301", "1000"};
    c.demoName = "my demo 01";
    c.gameConfig = "High quality";
    c.mapName = "maps\\q3dm17.bsp";
    c.script.commandsBefore = "cg_draw2d 0; timescale 1";
    c.script.pauseEnabled = true;
    c.script.pauseEveryText = "3";
    c.script.bindKeyIndex = 7;
    c.script.cameraMode = 2;
    c.script.player = 5;
    c.demoMinutes = 2;
    c.demoSeconds = 30;
    c.demoForward = 12;
    c.transSpeedText = "750";
    c.aviDemo = 60;
    c.aviDemos = {25, 50, 60};
    FillPoints(c.points, controls, references);
    c.notes = "First line\r\nSecond line\r\n";
    return c;
}

} // namespace kestrova::test
