#include "core/path/constant_speed.h"

#include "core/files/exchange_export.h"
#include "core/files/trace_file.h"
#include "core/model/point_fields.h"
#include "core/model/undo.h"
#include "core/path/point_count.h"
#include "core/support_trace.h"
#include "support/scoped_locale.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

using test::MakeTrace;
using test::P;

double Dist(const PointRecord& a, const PointRecord& b) {
    return std::hypot(double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z);
}

std::vector<double> Steps(const std::vector<PointRecord>& path) {
    std::vector<double> s;
    for (size_t i = 1; i < path.size(); ++i)
        s.push_back(Dist(path[i - 1], path[i]));
    return s;
}

void SetChannels(Trace& t, int i, float pitch, float yaw, float roll, float fov, float ts) {
    SetPointField(t.points, kControl, i, kFieldPitch, pitch);
    SetPointField(t.points, kControl, i, kFieldYaw, yaw);
    SetPointField(t.points, kControl, i, kFieldRoll, roll);
    SetPointField(t.points, kControl, i, kFieldFov, fov);
    SetPointField(t.points, kControl, i, kFieldTs, ts);
}

// Handles of half the chord make each segment a straight line run at constant parameter speed,
// so the built path is known exactly.
Trace StraightUneven() {
    Trace t = MakeTrace({{0, 0, 0}, {100, 0, 0}, {1000, 0, 0}}, 101);
    t.counts.presetText = {QStringLiteral("101"), QStringLiteral("101")};
    SetChannels(t, 1, 0, 0, 0, 90, 1);
    SetChannels(t, 2, 10, 90, 5, 60, 0.5f);
    SetChannels(t, 3, 20, 180, 10, 30, 0.25f);
    for (int i = 1; i <= 2; ++i) {
        const float half = (t.points.At(kControl, i + 1).x - t.points.At(kControl, i).x) / 2;
        for (int f : {kFieldTanAX, kFieldTanBX})
            SetPointField(t.points, kControl, i, f, half);
        for (int f : {kFieldTanAY, kFieldTanAZ, kFieldTanBY, kFieldTanBZ})
            SetPointField(t.points, kControl, i, f, 0);
    }
    RebuildPath(t);
    return t;
}

TEST(ConstantSpeed, StraightPathWithUnevenControlsTakesEvenSteps) {
    Trace t = StraightUneven();
    // Built as usual: 50 points over the first 100 units, 50 over the next 900.
    ASSERT_EQ(t.pathUpper, 100);
    EXPECT_NEAR(t.path[10].x, 20.0f, 1e-3);
    ASSERT_TRUE(SetConstantSpeed(t, true));
    ASSERT_EQ(t.pathUpper, 100);
    ASSERT_EQ(t.path.size(), 101u);
    for (int i = 0; i <= 100; ++i) {
        EXPECT_NEAR(t.path[i].x, 10.0 * i, 1e-3) << i;
        EXPECT_EQ(t.path[i].y, 0.0f);
    }
    struct Expect {
        int index;
        double pitch, yaw, roll, fov, ts;
    };
    // Index 10 is control point 2 (x = 100); indices 5 and 55 fall on the middle of segments 1
    // and 2 (t = 0.5), where the Catmull-Rom values were worked out by hand.
    const Expect rows[] = {
        {0, 0, 0, 0, 90, 1},          {5, 4.375, 39.375, 2.1875, 76.875, 0.765625},
        {10, 10, 90, 5, 60, 0.5},     {55, 15.625, 140.625, 7.8125, 43.125, 0.34375},
        {100, 20, 180, 10, 30, 0.25},
    };
    for (const Expect& e : rows) {
        const PointRecord& p = t.path[e.index];
        EXPECT_NEAR(p.pitch, e.pitch, 1e-3) << e.index;
        EXPECT_NEAR(p.yaw, e.yaw, 1e-3) << e.index;
        EXPECT_NEAR(p.roll, e.roll, 1e-3) << e.index;
        EXPECT_NEAR(p.fov, e.fov, 1e-3) << e.index;
        EXPECT_NEAR(p.ts, e.ts, 1e-5) << e.index;
    }
    EXPECT_EQ(t.path[9].segment, 1);
    EXPECT_EQ(t.path[11].segment, 2);
    EXPECT_EQ(t.path[100].segment, 3);
}

struct CurvedCase {
    const char* name;
    std::vector<P> points;
    int32_t count;
};

Trace Curved(const CurvedCase& c) {
    Trace t;
    t.counts.pointCount = c.count;
    for (const P& p : c.points)
        AppendPointXYZ(t, kControl, p.x, p.y, p.z, std::nullopt, false);
    // Values that differ at every control point, so that none of the channels is held.
    for (int i = 1; i <= t.ControlCount(); ++i)
        SetChannels(t, i, -20.0f + 9 * i, 70.0f * i * (i % 2 ? 1 : -1), 3.0f * i, 60.0f + 11 * i,
                    0.3f * i);
    t.counts.pointCount = FindFeasiblePointCount(c.count, t.ControlCount());
    RebuildPath(t);
    return t;
}

const CurvedCase kCurved[] = {
    {"tight then wide, coarse",
     {{0, 0, 0}, {40, 10, 0}, {60, 60, 20}, {600, 300, 100}, {640, 280, 0}},
     201},
    {"tight then wide, fine",
     {{0, 0, 0}, {40, 10, 0}, {60, 60, 20}, {600, 300, 100}, {640, 280, 0}},
     1001},
    {"zigzag in 3D",
     {{0, 0, 0}, {500, 0, 0}, {520, 30, 40}, {-300, 400, -200}, {-280, 380, -180}, {900, 900, 900}},
     4001},
    {"longest path",
     {{0, 0, 0}, {10, 0, 0}, {2000, 50, 0}, {2010, 60, 10}, {2020, 2000, 10}},
     40000},
};

TEST(ConstantSpeed, UnevenControlSpacingGivesStepsEqualWithinOnePercent) {
    for (const CurvedCase& c : kCurved) {
        SCOPED_TRACE(c.name);
        Trace t = Curved(c);
        const std::vector<PointRecord> before = t.path;
        const std::vector<double> uneven = Steps(before);
        // The fixture is worth testing: as built, the steps differ several times over.
        EXPECT_GT(*std::max_element(uneven.begin(), uneven.end()),
                  3 * *std::min_element(uneven.begin(), uneven.end()));

        ASSERT_TRUE(SetConstantSpeed(t, true));
        ASSERT_EQ(t.path.size(), before.size());
        ASSERT_EQ(t.pathUpper + 1, static_cast<int32_t>(before.size()));
        const std::vector<double> even = Steps(t.path);
        double sum = 0;
        for (double s : even)
            sum += s;
        const double mean = sum / even.size();
        for (size_t i = 0; i < even.size(); ++i)
            ASSERT_NEAR(even[i], mean, 0.01 * mean) << "step " << i;
        // Start and end stay the control points themselves.
        EXPECT_EQ(std::memcmp(&t.path.front(), &before.front(), sizeof(PointRecord)), 0);
        EXPECT_EQ(std::memcmp(&t.path.back(), &before.back(), sizeof(PointRecord)), 0);
    }
}

TEST(ConstantSpeed, CameraPassesEachControlPointWithItsValues) {
    for (const CurvedCase& c : kCurved) {
        // A coarse path cuts the bend at a tight control point: the camera passes by it, not
        // through it.
        if (c.count < 1000)
            continue;
        SCOPED_TRACE(c.name);
        Trace t = Curved(c);
        ASSERT_TRUE(SetConstantSpeed(t, true));
        const auto& path = t.path;
        for (int k = 2; k < t.ControlCount(); ++k) {
            SCOPED_TRACE(k);
            const PointRecord& cp = t.points.At(kControl, k);
            size_t i = 1;
            while (i < path.size() && path[i].segment < k)
                ++i;
            ASSERT_LT(i, path.size());
            // The control point lies on the step from i - 1 to i...
            const double step = Dist(path[i - 1], path[i]);
            const double a = Dist(path[i - 1], cp), b = Dist(cp, path[i]);
            EXPECT_LE(a + b, step * 1.001 + 1e-3);
            // ...and the values there are its own.
            const double f = a / step;
            const auto at = [&](float PointRecord::*field) {
                return path[i - 1].*field + f * (path[i].*field - path[i - 1].*field);
            };
            EXPECT_NEAR(at(&PointRecord::pitch), cp.pitch, 0.05);
            EXPECT_NEAR(at(&PointRecord::yaw), cp.yaw, 0.2);
            EXPECT_NEAR(at(&PointRecord::roll), cp.roll, 0.05);
            EXPECT_NEAR(at(&PointRecord::fov), cp.fov, 0.05);
            EXPECT_NEAR(at(&PointRecord::ts), cp.ts, 1e-3);
        }
    }
}

TEST(ConstantSpeed, ShakeKeepsOneOffsetPerIntervalOfFrames) {
    Trace t = Curved(kCurved[1]);
    t.points.constantSpeed = true;
    for (int i = 1; i <= t.ControlCount(); ++i)
        SetPointField(t.points, kControl, i, kFieldWgF, 10);
    std::vector<PointRecord> calm, shaken;
    int32_t count = -1, upper = -1;
    UniformRandom rng1(5);
    BuildPath(t.points, t.counts.pointCount, calm, true, count, upper, rng1);
    for (int i = 1; i <= t.ControlCount(); ++i)
        SetPointField(t.points, kControl, i, kFieldWgA, 4);
    count = -1;
    UniformRandom rng2(5);
    BuildPath(t.points, t.counts.pointCount, shaken, true, count, upper, rng2);
    ASSERT_EQ(calm.size(), shaken.size());
    // A new offset is drawn at k = 1, 11, 21...; in between the camera keeps the same one.
    const size_t last = shaken.size() - 1;
    for (size_t k = 1; k < last; ++k) {
        const double d[3] = {shaken[k].x - calm[k].x, shaken[k].y - calm[k].y,
                             shaken[k].z - calm[k].z};
        for (double v : d)
            ASSERT_LE(std::fabs(v), 4.0 + 1e-3) << k;
        if ((k - 1) % 10 == 0 || k == 1)
            continue;
        EXPECT_NEAR(d[0], shaken[k - 1].x - calm[k - 1].x, 1e-2) << k;
        EXPECT_NEAR(d[1], shaken[k - 1].y - calm[k - 1].y, 1e-2) << k;
        EXPECT_NEAR(d[2], shaken[k - 1].z - calm[k - 1].z, 1e-2) << k;
    }
}

TEST(ConstantSpeed, OffLeavesPathLabelsAndFileAsBefore) {
    const test::ScopedLocale c(QLocale::c());
    Trace t = StraightUneven();
    ApplyFrameRate(t, 25); // 101 points at 25 fps: 4.04 s
    const std::vector<PointRecord> before = t.path;
    const auto labelsBefore = t.points.timeLabel;
    TraceFileContents file;
    file.points = t.points;
    const QByteArray textBefore = TraceFileText(file);
    EXPECT_FALSE(textBefore.contains("constant_speed"));

    ASSERT_TRUE(SetConstantSpeed(t, true));
    // The camera passes control point 2 after a tenth of the length, not half the segments.
    EXPECT_EQ(labelsBefore[2], QStringLiteral("2.02"));
    EXPECT_EQ(t.points.timeLabel[2], QStringLiteral("0.40"));
    EXPECT_EQ(t.points.timeLabel[3], QStringLiteral("4.04"));
    EXPECT_FALSE(SetConstantSpeed(t, true));

    ASSERT_TRUE(SetConstantSpeed(t, false));
    ASSERT_EQ(t.path.size(), before.size());
    EXPECT_EQ(std::memcmp(t.path.data(), before.data(), before.size() * sizeof(PointRecord)), 0);
    EXPECT_EQ(t.points.timeLabel, labelsBefore);
    file.points = t.points;
    EXPECT_EQ(TraceFileText(file), textBefore);
}

TEST(ConstantSpeed, TraceFileKey) {
    TraceFileContents c;
    c.points = StraightUneven().points;
    c.points.constantSpeed = true;
    const QString text = QString::fromLatin1(TraceFileText(c));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    // Written after every other key, just before the blank line that ends the header.
    const qsizetype blank = lines.indexOf(QString());
    ASSERT_GT(blank, 1);
    EXPECT_EQ(HeaderKey(lines[blank - 1]), QStringLiteral("constant_speed"));
    EXPECT_EQ(HeaderValue(lines[blank - 1]), QStringLiteral("1"));
    EXPECT_EQ(HeaderKey(lines[blank - 2]), QStringLiteral("avi_demos"));

    struct Row {
        const char* name;
        QString line; // replaces the key's line; empty: the line is removed
        bool expected;
    };
    const Row rows[] = {
        {"on", PadKey(QStringLiteral("constant_speed")) + QStringLiteral("1"), true},
        {"written off", PadKey(QStringLiteral("constant_speed")) + QStringLiteral("0"), false},
        {"absent", QString(), false},
        {"a key this reader does not know",
         PadKey(QStringLiteral("warp_factor")) + QStringLiteral("9"), false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        QStringList edited = lines;
        if (r.line.isEmpty())
            edited.removeAt(blank - 1);
        else
            edited[blank - 1] = r.line;
        TraceFileContents read;
        ReadTraceFile(edited, read);
        EXPECT_EQ(read.points.constantSpeed, r.expected);
        ASSERT_EQ(read.points.count[kControl], 3);
        EXPECT_EQ(read.points.At(kControl, 3).x, 1000.0f);
    }
}

TEST(ConstantSpeed, UndoAndRedoSwitchTheOption) {
    Trace t = StraightUneven();
    const std::vector<PointRecord> before = t.path;
    UndoHistory h;
    ClearUndo(h, t);
    h.pos = 0;
    RecordUndo(h, t, false, false);
    ASSERT_TRUE(SetConstantSpeed(t, true));
    RecordUndo(h, t, false, false);
    EXPECT_TRUE(t.modified);

    ASSERT_TRUE(Undo(h, t));
    EXPECT_FALSE(t.points.constantSpeed);
    ASSERT_EQ(t.path.size(), before.size());
    EXPECT_EQ(std::memcmp(t.path.data(), before.data(), before.size() * sizeof(PointRecord)), 0);
    ASSERT_TRUE(Redo(h, t));
    EXPECT_TRUE(t.points.constantSpeed);
    EXPECT_NEAR(t.path[10].x, 100.0f, 1e-3);
}

TEST(ConstantSpeed, ExportWritesTheRespacedPath) {
    Trace t = StraightUneven();
    ASSERT_TRUE(SetConstantSpeed(t, true));
    UniformRandom rng(1);
    const QString text = QString::fromLatin1(ExchangeFileText(t, 101, 25, rng));
    const QRegularExpression cam(QStringLiteral("^cam:([-0-9.]+);"),
                                 QRegularExpression::MultilineOption);
    QStringList xs;
    for (auto it = cam.globalMatch(text); it.hasNext();)
        xs << it.next().captured(1);
    ASSERT_EQ(xs.size(), 101);
    for (int i = 0; i <= 100; ++i)
        EXPECT_EQ(xs[i], QString::number(10 * i) + QStringLiteral(".00")) << i;
}

} // namespace
} // namespace kestrova
