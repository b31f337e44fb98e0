#include "core/files/cam_file.h"
#include "core/files/cam_fit.h"
#include "core/files/compositing_commands.h"
#include "core/files/text_file.h"
#include "core/map/bsp_builder.h"
#include "core/map/bsp_reader.h"
#include "core/path/build_path.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <QList>
#include <QTemporaryDir>
#include <cmath>

namespace kestrova::test {
namespace {

// The test's own reading of a camera file's data lines: eight numbers each, in file order.
std::vector<std::array<double, 8>> DataRows(const QByteArray& text) {
    std::vector<std::array<double, 8>> rows;
    const QList<QByteArray> lines = text.split('\n');
    const qsizetype data = lines.indexOf("DATA");
    for (qsizetype i = data + 1; data >= 0 && i < lines.size(); ++i) {
        const QList<QByteArray> w = lines[i].split(' ');
        if (w.size() != 8)
            continue;
        std::array<double, 8> r{};
        for (int c = 0; c < 8; ++c)
            r[size_t(c)] = w[c].toDouble();
        rows.push_back(r);
    }
    return rows;
}

QByteArray CamText(const char* header, const QByteArray& data) {
    return QByteArray(header) + data;
}
const char kV2[] = "advancedfx Cam\nversion 2\nchannels time xPosition yPosition zPosition "
                   "xRotation yRotation zRotation fov\nDATA\n";

// Two control points and three path points: the middle one is the midpoint of everything
// (zero handles give h00 = h01 = 1/2; the Catmull-Rom with doubled ends gives 1/2 and 1/2).
Trace TwoPointTrace() {
    Trace t;
    t.points.count[kControl] = 2;
    PointRecord& a = t.points.rec[kControl][1];
    PointRecord& b = t.points.rec[kControl][2];
    a.pitch = 10, a.yaw = 170, a.fov = 90, a.ts = 1;
    b.x = 100, b.y = -50, b.z = 20, b.pitch = 30, b.yaw = 210, b.fov = 110, b.ts = 1;
    t.counts.pointCount = 3;
    t.counts.frameRate = 25;
    return t;
}

TEST(CamExport, LinesOfASmallTraceWorkedOutByHand) {
    UniformRandom rng(1);
    int32_t effective = 0;
    const QByteArray text = TraceCamFileText(TwoPointTrace(), rng, &effective);
    EXPECT_EQ(effective, 3);
    // The scripts' pitch is the editor's negated; yaw goes on past 180 as the path does.
    EXPECT_EQ(text, QByteArray(kV2) +
                        "0.000000 0.000000 0.000000 0.000000 0.000000 -10.000000 170.000000 "
                        "90.000000\n"
                        "0.040000 50.000000 -25.000000 10.000000 0.000000 -20.000000 190.000000 "
                        "100.000000\n"
                        "0.080000 100.000000 -50.000000 20.000000 0.000000 -30.000000 "
                        "210.000000 110.000000\n");
}

TEST(CamImport, ReadsBothVersionsAndTheirFovConventions) {
    std::vector<CamFrame> f;
    // Version 1 with scaleFov none keeps a 4:3 fov: 90 on a 16:9 picture is 2 atan(4/3).
    ASSERT_EQ(ReadCamFile("advancedfx Cam\r\nversion 1\r\nscaleFov none\r\nchannels time "
                          "xPosition yPosition zPositon xRotation yRotation zRotation fov\r\n"
                          "DATA\r\n0 1 2 3 4 5 6 90\r\n0.5 1 2 3 4 5 6 90\r\n\r\n",
                          f),
              QString());
    ASSERT_EQ(f.size(), 2u);
    EXPECT_NEAR(f[0].fov, 106.2602047083, 1e-9);
    EXPECT_EQ(f[1].time, 0.5);
    EXPECT_EQ(f[0].roll, 4);
    EXPECT_EQ(f[0].pitch, 5);
    EXPECT_EQ(f[0].yaw, 6);
    // alienSwarm already holds the real fov; columns follow the channels line.
    ASSERT_EQ(ReadCamFile("advancedfx Cam\nversion 1\nscaleFov alienSwarm\nchannels fov time "
                          "xPosition yPosition zPosition xRotation yRotation zRotation\nDATA\n"
                          "75 0 1 2 3 4 5 6\n75 1 1 2 3 4 5 6\n",
                          f),
              QString());
    EXPECT_EQ(f[0].fov, 75);
    EXPECT_EQ(f[1].time, 1);
    EXPECT_EQ(f[1].z, 3);
}

TEST(CamImport, RefusesBadFilesNamingTheLine) {
    const QByteArray two = "0 0 0 0 0 0 0 90\n1 0 0 0 0 0 0 90\n";
    QByteArray tooMany;
    for (int i = 0; i <= 40000; ++i)
        tooMany += QByteArray::number(i) + " 0 0 0 0 0 0 90\n";
    const struct {
        QByteArray text;
        const char* message;
    } cases[] = {
        {"advancedfx Camera\nversion 2\n", "line 1: this is not an \"advancedfx Cam\" file"},
        {CamText("advancedfx Cam\nversion 3\n", two),
         "line 2: unknown version \"3\" (versions 1 and 2 are read)"},
        {CamText("advancedfx Cam\nversion 2\nchannels time xPosition yPosition zPosition "
                 "xRotation yRotation zRotation\nDATA\n",
                 two),
         "line 3: the channels line lacks fov"},
        {CamText("advancedfx Cam\nversion 1\nscaleFov wide\n", two),
         "line 3: unknown scaleFov \"wide\""},
        {CamText(kV2, "0 0 0 0 0 0 0 90\n1 0 abc 0 0 0 0 90\n"),
         "line 6: \"abc\" is not a finite number"},
        {CamText(kV2, "0 0 0 0 0 0 0 90\n1 0 0 0 nan 0 0 90\n"),
         "line 6: \"nan\" is not a finite number"},
        {CamText(kV2, "0 0 0 0 0 0 0 1e999\n"), "line 5: \"1e999\" is not a finite number"},
        {CamText(kV2, "0 0 0 0 0 0 0 90\n1 -2e6 0 0 0 0 0 90\n"),
         "line 6: -2e6 is out of range (at most 1000000 either way)"},
        {CamText(kV2, "0 0 0 0 0 0 0 90\n1 0 0 0 0 0 90\n"),
         "line 6: 7 values where the channels line names 8"},
        {CamText(kV2, "1 0 0 0 0 0 0 90\n1 0 0 0 0 0 0 90\n"),
         "line 6: the time 1 does not follow the previous frame's"},
        {CamText(kV2, "0 0 0 0 0 0 0 90\n"), "the file holds fewer than two frames"},
        {CamText("advancedfx Cam\nchannels time xPosition yPosition zPosition xRotation "
                 "yRotation zRotation fov\nDATA\n",
                 two),
         "the header has no version line"},
        {CamText(kV2, tooMany),
         "line 40005: more than 40000 frames; a path holds at most 40000 points"},
    };
    for (const auto& c : cases) {
        std::vector<CamFrame> f;
        EXPECT_EQ(ReadCamFile(c.text, f).toStdString(), c.message);
    }
}

// Path point k against frame k, the shorter side standing still at its end; angles modulo 360.
void ExpectWithin(const std::vector<std::array<double, 8>>& path,
                  const std::vector<std::array<double, 8>>& frames, double units, double degrees) {
    ASSERT_FALSE(path.empty());
    ASSERT_FALSE(frames.empty());
    for (size_t k = 0; k < std::max(path.size(), frames.size()); ++k) {
        const auto& p = path[std::min(k, path.size() - 1)];
        const auto& f = frames[std::min(k, frames.size() - 1)];
        ASSERT_LE(std::hypot(p[1] - f[1], p[2] - f[2], p[3] - f[3]), units) << "frame " << k;
        for (int c = 4; c < 8; ++c) {
            const double d = std::fmod(std::fabs(p[size_t(c)] - f[size_t(c)]), 360.0);
            ASSERT_LE(std::min(d, 360.0 - d), degrees) << "frame " << k << " column " << c;
        }
    }
}

TEST(CamFit, ALineTurningPast180FitsWithContinuousYaw) {
    // 81 frames at 50 fps along x, the yaw wrapping from 170 to -150 as the file writes it.
    QByteArray data;
    for (int k = 0; k <= 80; ++k) {
        const double yaw = 170 + 0.5 * k;
        data += QByteArray::number(0.02 * k, 'f', 6) + " " + QByteArray::number(4 * k) +
                " 10 -20 0 -5 " + QByteArray::number(yaw > 180 ? yaw - 360 : yaw, 'f', 6) + " 90\n";
    }
    const QByteArray text = CamText(kV2, data);
    std::vector<CamFrame> frames;
    ASSERT_EQ(ReadCamFile(text, frames), QString());
    const CamFit fit = FitCamFrames(frames);
    EXPECT_TRUE(fit.withinTolerance);
    EXPECT_EQ(fit.frameRate, 50);
    EXPECT_EQ(fit.pointCount, 81);
    const Trace trace = CamFitTrace(fit);
    ASSERT_GE(trace.ControlCount(), 2);
    EXPECT_LE(trace.ControlCount(), 10);
    for (int i = 1; i <= trace.ControlCount(); ++i) {
        const PointRecord& r = trace.points.rec[kControl][i];
        EXPECT_GE(r.yaw, 169.0f) << i; // no turn back through 0
        EXPECT_LE(r.yaw, 211.0f) << i;
        EXPECT_NEAR(r.pitch, 5.0f, 0.5f) << "the editor's pitch is the file's negated";
        EXPECT_EQ(r.tanA.fixedAxes, 7) << "fitted handles are kept by later edits";
    }
    UniformRandom rng(1);
    ExpectWithin(DataRows(TraceCamFileText(trace, rng)), DataRows(text), 1.0, 0.5);
}

TEST(CamFit, RoundTripOfACurvedTraceStaysWithinTheTolerance) {
    // Five control points with hand-placed handles, a wiggle and a yaw beyond 360.
    Trace t;
    t.points.count[kControl] = 5;
    const float xs[] = {0, 300, 500, 420, 100}, ys[] = {0, 200, -100, -400, -300};
    const float yaws[] = {0, 90, 200, 300, 400}, fovs[] = {90, 90, 70, 100, 95};
    for (int i = 1; i <= 5; ++i) {
        PointRecord& r = t.points.rec[kControl][i];
        r.x = xs[i - 1], r.y = ys[i - 1], r.z = 40.0f * i;
        r.pitch = 20.0f - 10 * i, r.yaw = yaws[i - 1], r.roll = i == 3 ? 10.0f : 0.0f;
        r.fov = fovs[i - 1], r.ts = 1;
        r.tanA = {60, 80, 5, 0};
        r.tanB = {-40, 90, 5, 0};
    }
    t.points.rec[kControl][2].wgA = 0.3f;
    t.points.rec[kControl][2].wgF = 4;
    t.counts.pointCount = 801;
    t.counts.frameRate = 125;
    UniformRandom rng(7);
    const QByteArray first = TraceCamFileText(t, rng);
    std::vector<CamFrame> frames;
    ASSERT_EQ(ReadCamFile(first, frames), QString());
    ASSERT_EQ(frames.size(), 801u);
    const CamFit fit = FitCamFrames(frames);
    ASSERT_TRUE(fit.withinTolerance) << fit.unitsError << " " << fit.degreesError;
    EXPECT_EQ(fit.frameRate, 125);
    const Trace back = CamFitTrace(fit);
    EXPECT_LE(back.ControlCount(), 250);
    UniformRandom again(1);
    ExpectWithin(DataRows(TraceCamFileText(back, again)), DataRows(first), 1.0, 0.5);
}

TEST(CompositingCommands, ImportReplacesTheTraceAndABadFileChangesNothing) {
    KeptTraceExtras host;
    ScriptedDialogs dialogs;
    Document doc{host, dialogs};
    QTemporaryDir dir;
    QByteArray data;
    for (int k = 0; k <= 40; ++k)
        data += QByteArray::number(k * 0.01, 'f', 6) + " " + QByteArray::number(2 * k) +
                " 0 64 0 0 90 100\n";
    WriteFile(dir.filePath("cam.cam"), CamText(kV2, data));
    WriteFile(dir.filePath("bad.cam"), "advancedfx Cam\nversion 2\nDATA\n");

    dialogs.paths = {dir.filePath("bad.cam")};
    EXPECT_FALSE(ImportCameraMotion(doc));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, "Import camera motion");
    EXPECT_TRUE(dialogs.messages[0].text.endsWith("the header has no channels line"))
        << dialogs.messages[0].text.toStdString();
    EXPECT_EQ(doc.trace.ControlCount(), 0);

    dialogs.paths = {dir.filePath("cam.cam")};
    EXPECT_TRUE(ImportCameraMotion(doc));
    EXPECT_EQ(doc.trace.counts.frameRate, 100);
    EXPECT_EQ(doc.trace.ControlCount(), 2) << "a straight line at even speed";
    EXPECT_EQ(doc.trace.points.rec[kControl][2].x, 80.0f);
    EXPECT_TRUE(doc.trace.modified);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text, "41 frames at 100 frames per second: 2 control points "
                                        "and 41 path points follow them within 1.00 units and "
                                        "0.50 degrees.");

    // Map geometry: the map's name proposed, the file written where chosen.
    MapGeometry g;
    ASSERT_EQ(ReadBsp(RoomWithPatch().Build(), kMapOptionPatches, g), QString());
    QString folder = dir.path();
    QDir(dir.path()).mkdir("sub2");
    dialogs.paths = {dir.filePath("sub2/room")};
    EXPECT_TRUE(ExportMapGeometry(dialogs, g, {0, 0, 0}, "room.bsp", folder));
    EXPECT_EQ(dialogs.fileDialogs.back().request.fileName, "room.obj");
    EXPECT_EQ(folder, dir.filePath("sub2"));
    EXPECT_TRUE(ReadTextFileBytes(dir.filePath("sub2/room.obj"))->startsWith("# Kestrova 3D"));
}

} // namespace
} // namespace kestrova::test
