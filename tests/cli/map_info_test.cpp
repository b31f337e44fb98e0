#include "core/map/brush_builder.h"
#include "core/map/bsp_builder.h"
#include "support/cli_runner.h"
#include "support/device_nodes.h"
#include "support/test_files.h"
#include "support/zip_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace kestrova::test {
namespace {

QJsonObject JsonOf(const CliResult& r) {
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count('\n'), 1); // one object on one line
    return QJsonDocument::fromJson(r.out.toUtf8()).object();
}

TEST(CliMapInfo, DescribesAMapFileOrAMapOfAGameFolder) {
    QTemporaryDir dir;
    BspBuilder older = RoomWithPatch(), newer = RoomWithPatch();
    newer.version = 47;
    WriteFile(dir.filePath("room.bsp"), newer.Build());
    const QJsonObject o = JsonOf(RunCli({"map-info", dir.filePath("room.bsp")}));
    EXPECT_EQ(o["version"].toInt(), 47);
    EXPECT_EQ(o["surfaces"].toInt(), 7);
    EXPECT_GT(o["triangles"].toInt(), 12);
    EXPECT_GT(o["vertices"].toInt(), 24);
    EXPECT_EQ(o["bounds"]["min"].toArray(), (QJsonArray{0, 0, 0}));
    EXPECT_EQ(o["bounds"]["max"].toArray(), (QJsonArray{256, 256, 128}));
    EXPECT_GE(o["load_ms"].toDouble(-1), 0.0);

    // By name in a game folder: the last archive holding it wins, and the answer says where.
    const QString base = dir.filePath("baseq3"), mod = dir.filePath("defrag");
    QDir().mkpath(base);
    QDir().mkpath(mod);
    ASSERT_TRUE(WriteZip(base + "/pak0.pk3", {{"maps/room.bsp", older.Build()}}));
    ASSERT_TRUE(WriteZip(base + "/pak1.pk3", {{"maps/room.bsp", newer.Build()}}));
    const QJsonObject found = JsonOf(RunCli({"map-info", "ROOM.bsp", "--game-folder", mod}));
    EXPECT_EQ(found["version"].toInt(), 47);
    EXPECT_EQ(found["source"].toObject(),
              (QJsonObject{{"archive", base + "/pak1.pk3"}, {"entry", "maps/room.bsp"}}));

    // A map downloaded into the game's home folder: found there first, in its own archive.
    const QString home = dir.filePath("home/.q3a");
    QDir().mkpath(home + "/defrag");
    ASSERT_TRUE(WriteZip(home + "/defrag/dl.pk3", {{"maps/room.bsp", older.Build()}}));
    const QJsonObject downloaded =
        JsonOf(RunCli({"map-info", "room.bsp", "--game-folder", mod, "--home-folder", home}));
    EXPECT_EQ(downloaded["version"].toInt(), 46);
    EXPECT_EQ(downloaded["source"].toObject()["archive"].toString(), home + "/defrag/dl.pk3");
}

TEST(CliMapInfo, RefusesWhatIsNotAMap) {
    QTemporaryDir dir;
    const QString notes = dir.filePath("notes.bsp");
    WriteFile(notes, QByteArray(200, 'a'));
    const QString mod = dir.filePath("defrag");
    WriteFile(mod + "/zz.pk3", "cut short"); // the game leaves it out without a word
    // A pipe: ended at once, where reading would never start.
    const QString fifo = dir.filePath("fifo.bsp");
    ASSERT_TRUE(MakeFifo(fifo));
    const std::pair<QStringList, QString> cases[] = {
        {{"map-info", notes},
         "kestrova3d-cli: " + notes +
             ": not an id Tech 3 map: the file does not start with \"IBSP\"\n"},
        {{"map-info", "none.bsp", "--game-folder", mod},
         "kestrova3d-cli: warning: archive left out: cannot open the archive " + mod +
             "/zz.pk3\nkestrova3d-cli: none.bsp: no such map in " + mod +
             ", its archives or its base game\n"},
        {{"map-info", fifo},
         "kestrova3d-cli: " + fifo + ": cannot read " + fifo +
             ": Not a file: a device, a pipe or a socket\n"},
        {{"check", fifo},
         "kestrova3d-cli: cannot read trace '" + fifo +
             "': Not a file: a device, a pipe or a socket\n"},
    };
    for (const auto& [args, err] : cases) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err, err);
    }
    CliResult r = RunCli({"map-info", dir.filePath("missing.bsp")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.endsWith("No such file or directory\n")) << r.err.toStdString();
    r = RunCli({"map-info"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.startsWith("Usage: kestrova3d-cli map-info"));
}

// A straight flight at y 128, z 64 from x -40 (outside a box room) to x 128 (its middle),
// through the room's west wall.
struct Flight {
    QTemporaryDir dir;
    QString trace = dir.filePath("flight.dfkv"), map = dir.filePath("room.bsp");
    Flight() {
        WriteFile(trace,
                  "\tgame_mod         1\n\tstep1            201\n\tbsp_filename     room.bsp\n\n"
                  "ctl:-40; 128; 64; 0; 0; 0; 90; 1; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; \n"
                  "ctl:128; 128; 64; 0; 0; 0; 90; 1; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; 0; \n");
        // With a brush whose only plane has no normal: left out, and said so.
        BspBuilder room = BoxRoom();
        room.brushes.insert(room.brushes.begin(), TestBrush{0, {{{0, 0, 0}, 1}}});
        room.brushesPerModel = {9, 1};
        WriteFile(map, room.Build());
    }
};

TEST(CliClearance, ReportsThePathPointsInAndNearTheWall) {
    Flight f;
    const CliResult path = RunCli({"path", f.trace, "--script-pitch"});
    ASSERT_EQ(path.exitCode, 0) << path.err.toStdString();
    QStringList lines = path.out.split('\n', Qt::SkipEmptyParts);
    lines.removeFirst(); // the column names
    ASSERT_GT(lines.size(), 100);
    auto ints = [](const QJsonValue& v) {
        std::vector<int32_t> out;
        for (const QJsonValue& e : v.toArray())
            out.push_back(e.toInt());
        return out;
    };
    for (const double distance : {8.0, 20.0, 0.0}) {
        // The west wall holds -16 < x < 0 at this height; nothing else is within reach there.
        std::vector<int32_t> inside, near;
        for (const QString& line : lines) {
            const QStringList p = line.split(';');
            const double x = p[2].toDouble();
            if (x > -16 && x < 0)
                inside.push_back(p[0].toInt());
            else if (x > -16 - distance && x < distance)
                near.push_back(p[0].toInt());
        }
        ASSERT_FALSE(inside.empty());
        QStringList args{"clearance", f.trace, "--map", f.map};
        if (distance != 8) // the default
            args << "--distance" << QString::number(distance);
        const QJsonObject o = JsonOf(RunCli(args));
        EXPECT_EQ(ints(o["inside"]), inside) << distance;
        EXPECT_EQ(ints(o["near"]), near) << distance;
        EXPECT_EQ(o["points"].toInt(), lines.size());
        EXPECT_EQ(o["skipped_brushes"].toInt(), 1);
    }
}

TEST(CliClearance, RefusesMissingOrBadArguments) {
    Flight f;
    const std::pair<QStringList, const char*> cases[] = {
        {{"clearance", f.trace}, "clearance wants one trace file and --map MAP"},
        {{"clearance", f.trace, "--map", f.map, "--distance", "-1"},
         "option --distance wants a number from 0 to 1024, not '-1'"},
        {{"clearance", f.trace, "--map", f.map, "--distance", "wide"},
         "option --distance wants a number from 0 to 1024, not 'wide'"},
        {{"clearance", f.trace, "--map", f.trace}, "not an id Tech 3 map"},
        {{"clearance", f.dir.filePath("none.dfkv"), "--map", f.map}, "cannot read trace"},
    };
    for (const auto& [args, message] : cases) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << message;
        EXPECT_TRUE(r.out.isEmpty()) << message;
        EXPECT_TRUE(r.err.contains(QLatin1String(message))) << r.err.toStdString();
    }
}

} // namespace
} // namespace kestrova::test
