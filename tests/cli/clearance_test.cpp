// The clearance command on a straight flight through the west wall of a box room. The expected
// indices come from the path command's own listing and the wall's planes, worked out here.
#include "core/map/brush_builder.h"
#include "support/cli_runner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

// Two control points at y 128, z 64, from x -40 (outside the room) to x 128 (its middle).
const char kTrace[] = "// Kestrova 3D 0.9.9.0\n"
                      "\tgame_mod         1\n"
                      "\tstep_idx         0\n"
                      "\tstep1            201\n"
                      "\tbsp_filename     room.bsp\n"
                      "\tavi_demo         50\n"
                      "\n"
                      "ctl:-40; 128; 64; 0; 0; 0; 90; 1; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; \n"
                      "ctl:128; 128; 64; 0; 0; 0; 90; 1; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; \n";

struct Files {
    QTemporaryDir dir;
    QString trace = dir.filePath("flight.dfkv");
    QString map = dir.filePath("room.bsp");

    Files() {
        QFile t(trace);
        t.open(QIODevice::WriteOnly);
        t.write(kTrace);
        QFile m(map);
        m.open(QIODevice::WriteOnly);
        m.write(BoxRoom().Build());
    }
};

std::vector<int32_t> Ints(const QJsonValue& v) {
    std::vector<int32_t> out;
    for (const QJsonValue& e : v.toArray())
        out.push_back(e.toInt());
    return out;
}

TEST(CliClearance, ReportsThePathPointsInAndNearTheWall) {
    Files f;
    const CliResult path = RunCli({"path", f.trace, "--script-pitch"});
    ASSERT_EQ(path.exitCode, 0) << path.err.toStdString();
    QStringList lines = path.out.split('\n', Qt::SkipEmptyParts);
    lines.removeFirst(); // the column names
    ASSERT_GT(lines.size(), 100);

    struct Case {
        QStringList extra;
        double distance;
    };
    for (const Case& c :
         {Case{{}, 8}, Case{{"--distance", "20"}, 20}, Case{{"--distance", "0"}, 0}}) {
        // The west wall holds -16 < x < 0 at this height; nothing else is within reach there.
        std::vector<int32_t> inside, near;
        for (const QString& line : lines) {
            const QStringList f = line.split(';');
            const double x = f[2].toDouble();
            ASSERT_EQ(f[3].toDouble(), 128);
            ASSERT_EQ(f[4].toDouble(), 64);
            if (x > -16 && x < 0)
                inside.push_back(f[0].toInt());
            else if (x > -16 - c.distance && x < c.distance)
                near.push_back(f[0].toInt());
        }
        ASSERT_FALSE(inside.empty());

        const CliResult r = RunCli(QStringList{"clearance", f.trace, "--map", f.map} + c.extra);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.count('\n'), 1);
        const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
        EXPECT_EQ(Ints(o["inside"]), inside) << c.distance;
        EXPECT_EQ(Ints(o["near"]), near) << c.distance;
        EXPECT_EQ(o["points"].toInt(), lines.size());
    }
}

TEST(CliClearance, RefusesMissingOrBadArguments) {
    Files f;
    struct Case {
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {{"clearance", f.trace}, "clearance wants one trace file and --map MAP"},
        {{"clearance", "--map", f.map}, "clearance wants one trace file and --map MAP"},
        {{"clearance", f.trace, "--map", f.map, "--distance", "-1"},
         "option --distance wants a number from 0 to 1024, not '-1'"},
        {{"clearance", f.trace, "--map", f.map, "--distance", "wide"},
         "option --distance wants a number from 0 to 1024, not 'wide'"},
        {{"clearance", f.trace, "--map", f.trace}, "not an id Tech 3 map"},
        {{"clearance", f.dir.filePath("none.dfkv"), "--map", f.map}, "cannot read trace"},
    };
    for (const Case& c : cases) {
        const CliResult r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.message;
        EXPECT_TRUE(r.out.isEmpty()) << c.message;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << r.err.toStdString();
    }
}

} // namespace
} // namespace kestrova::test
