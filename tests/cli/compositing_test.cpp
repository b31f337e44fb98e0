#include "core/files/text_file.h"
#include "support/cli_runner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>

namespace kestrova::test {
namespace {

const QString kExample = KESTROVA_TEST_DATA "/../../examples/example.dfkv";

// Numbers of each line after the header ("DATA" for a camera file, the column names for a path
// listing), split at blanks or ";".
std::vector<std::vector<double>> Rows(const QString& text, const QString& after) {
    std::vector<std::vector<double>> rows;
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    for (qsizetype i = lines.indexOf(after) + 1; i > 0 && i < lines.size(); ++i) {
        std::vector<double> r;
        for (const QString& w : lines[i].split(QRegularExpression("[ ;]")))
            r.push_back(w.toDouble());
        rows.push_back(r);
    }
    return rows;
}

TEST(CliCompositing, CamFileIsThePathOfTheScriptsAndComesBackWithinTheTolerance) {
    QTemporaryDir dir;
    const QString cam = dir.filePath("fly.cam");
    const CliResult r = RunCli({"export", kExample, "-o", cam, "--seed", "3"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString text = QString::fromLatin1(*ReadTextFileBytes(cam));
    ASSERT_TRUE(text.startsWith("advancedfx Cam\nversion 2\nchannels time xPosition yPosition "
                                "zPosition xRotation yRotation zRotation fov\nDATA\n"));
    EXPECT_FALSE(text.contains('\r'));

    // The same points as the path listing with the scripts' pitch: time = index / 50 (the
    // example's demo rate), then x y z, roll, pitch, yaw, fov to six decimals.
    const CliResult path = RunCli({"path", kExample, "--script-pitch", "--seed", "3"});
    ASSERT_EQ(path.exitCode, 0);
    const auto listed = Rows(path.out, "index;segment;x;y;z;pitch;yaw;roll;fov;ts");
    const auto written = Rows(text, "DATA");
    ASSERT_EQ(written.size(), listed.size());
    ASSERT_GT(written.size(), 100u);
    for (size_t k = 0; k < written.size(); ++k) {
        const auto& w = written[k];
        const auto& p = listed[k];
        ASSERT_EQ(w.size(), 8u);
        // The listing prints the shortest text of each float; the file its value to 1e-6.
        const double want[] = {p[0] / 50,   float(p[2]), float(p[3]), float(p[4]),
                               float(p[7]), float(p[5]), float(p[6]), float(p[8])};
        for (int c = 0; c < 8; ++c)
            ASSERT_NEAR(w[size_t(c)], want[c], 5.01e-7) << "line " << k << " column " << c;
    }

    // Back as a trace and out again: within 1 unit and 0.5 degree at every frame.
    const QString trace = dir.filePath("back.dfkv");
    const CliResult in = RunCli({"import-cam", cam, "-o", trace});
    ASSERT_EQ(in.exitCode, 0) << in.err.toStdString();
    EXPECT_TRUE(in.err.isEmpty()) << in.err.toStdString();
    EXPECT_TRUE(in.out.contains("Frame rate: 50\n")) << in.out.toStdString();
    const int controls = QString::fromLatin1(*ReadTextFileBytes(trace)).count("ctl:");
    // The example's path is made of six control points and comes back as those six: its held
    // roll and fov stretches included.
    EXPECT_EQ(controls, 6);
    const QString again = dir.filePath("again.cam");
    ASSERT_EQ(RunCli({"export", trace, "-o", again}).exitCode, 0);
    const auto back = Rows(QString::fromLatin1(*ReadTextFileBytes(again)), "DATA");
    ASSERT_FALSE(back.empty());
    for (size_t k = 0; k < std::max(back.size(), written.size()); ++k) {
        const auto& b = back[std::min(k, back.size() - 1)];
        const auto& w = written[std::min(k, written.size() - 1)];
        EXPECT_NEAR(b[0], 0.02 * double(k < back.size() ? k : back.size() - 1), 1e-6);
        ASSERT_LE(std::hypot(b[1] - w[1], b[2] - w[2], b[3] - w[3]), 1.0) << "frame " << k;
        for (int c = 4; c < 8; ++c) {
            const double d = std::fmod(std::fabs(b[size_t(c)] - w[size_t(c)]), 360.0);
            ASSERT_LE(std::min(d, 360.0 - d), 0.5) << "frame " << k << " column " << c;
        }
    }

    // What import-cam refuses: one line naming the file's line, or the option at fault.
    WriteWholeFile(dir.filePath("bad.cam"), "advancedfx Cam\nversion 9\n");
    const CliResult bad = RunCli({"import-cam", dir.filePath("bad.cam"), "-o", trace});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains("bad.cam: line 2: unknown version \"9\""))
        << bad.err.toStdString();
    EXPECT_NE(RunCli({"import-cam", cam, "-o", dir.filePath("x.txt")}).exitCode, 0);
    EXPECT_NE(RunCli({"import-cam", cam, "-o", trace, "--tolerance", "-1"}).exitCode, 0);
    EXPECT_NE(RunCli({"export", kExample, "-o", cam, "--frames", "10"}).exitCode, 0);
}

TEST(CliCompositing, MapExportOfAnOpenArenaMapFillsItsBounds) {
    const QString map = "/usr/share/games/openarena/baseoa/pak1-maps.pk3:maps/oa_dm4.bsp";
    if (!QFile::exists("/usr/share/games/openarena/baseoa/pak1-maps.pk3"))
        GTEST_SKIP() << "openarena-data is not installed";
    QTemporaryDir dir;
    const QString obj = dir.filePath("oa_dm4.obj");
    const CliResult r = RunCli({"map-export", map, "-o", obj});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject info =
        QJsonDocument::fromJson(RunCli({"map-info", map}).out.toUtf8()).object();
    const QJsonArray lo = info["bounds"]["min"].toArray(), hi = info["bounds"]["max"].toArray();
    double seenLo[3] = {1e9, 1e9, 1e9}, seenHi[3] = {-1e9, -1e9, -1e9};
    int vertices = 0, faces = 0, groups = 0;
    for (const QByteArray& line : ReadTextFileBytes(obj)->split('\n')) {
        const QList<QByteArray> w = line.split(' ');
        groups += w[0] == "g";
        faces += w[0] == "f";
        if (w[0] != "v")
            continue;
        ++vertices;
        for (int a = 0; a < 3; ++a) {
            const double v = w[a + 1].toDouble();
            ASSERT_GE(v, lo[a].toDouble() - 1e-3) << line.constData();
            ASSERT_LE(v, hi[a].toDouble() + 1e-3) << line.constData();
            seenLo[a] = std::min(seenLo[a], v);
            seenHi[a] = std::max(seenHi[a], v);
        }
    }
    EXPECT_EQ(faces, info["triangles"].toInt());
    EXPECT_GT(groups, 5);
    EXPECT_GT(vertices, 1000);
    for (int a = 0; a < 3; ++a)
        EXPECT_GE(seenHi[a] - seenLo[a], 0.9 * (hi[a].toDouble() - lo[a].toDouble())) << a;

    // The origin offset moves every vertex.
    const QString moved = dir.filePath("moved.obj");
    ASSERT_EQ(RunCli({"map-export", map, "-o", moved, "--offset", "100,0,-8"}).exitCode, 0);
    EXPECT_EQ(ReadTextFileBytes(moved)->count("\nv "), vertices);
    EXPECT_NE(RunCli({"map-export", map, "-o", moved, "--offset", "1,2"}).exitCode, 0);
}

} // namespace
} // namespace kestrova::test
