#pragma once
// A game folder on disk with its mod folder, and traces to write scripts from.

#include "core/model/trace.h"
#include "core/path/tangents.h"
#include "core/script/game_profile.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {

class GameFolder {
public:
    explicit GameFolder(int game) : game(game) {
        root = QDir(temp.path());
        modName = game == kGameDefrag ? "defrag" : "etpro";
        WriteFile(root.filePath(game == kGameDefrag ? "quake3" : "etl"));
        root.mkpath(modName + "/cams");
    }
    QString Mod() const { return root.filePath(modName); }
    QString Cams() const { return Mod() + "/cams/"; }
    QString Path(const QString& rel) const { return root.filePath(rel); }
    // Files left under temporary names.
    QStringList HiddenInCams() const {
        return QDir(Cams()).entryList({".*"}, QDir::Files | QDir::Hidden);
    }

    int game;
    QTemporaryDir temp;
    QDir root;
    QString modName;
};

// Control points i = 1..count spread along x with negative y, automatic tangents.
inline Trace MakeTrace(int controls, int32_t pointCount) {
    Trace t;
    for (int i = 1; i <= controls; ++i) {
        PointRecord& r = t.points.rec[kControl][i];
        r.x = 100.0f * static_cast<float>(i);
        r.y = -35.5f * static_cast<float>(i);
        r.z = 64.0f + static_cast<float>(i % 2) * 20.0f;
        r.pitch = 10.0f - 5.0f * static_cast<float>(i);
        r.yaw = 90.0f;
        r.fov = 90.0f;
        r.ts = i == 2 ? 0.5f : 1.0f;
        r.visible = true;
    }
    t.points.count[kControl] = controls;
    for (int i = 1; i <= controls; ++i)
        UpdateTangentsAround(t.points, i);
    t.counts.pointCount = pointCount;
    t.counts.transSpeedText = "250";
    return t;
}

} // namespace kestrova::test
