#include "core/files/exchange_export.h"
#include "core/files/position_import.h"
#include "core/files/text_file.h"
#include "core/files/trace_samples.h"
#include "core/game/game_state.h"
#include "core/script/game_profile.h"
#include "core/settings/settings.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "support/test_files.h"

namespace kestrova::test {
namespace {

QString EtProText(double x, double yaw, double fov) {
    return QStringLiteral("(%1 -200 64) , %2\nseta cg_fov \"%3\"\n").arg(x).arg(yaw).arg(fov);
}

struct ImportFixture : ::testing::Test {
    KeptTraceExtras host;
    ScriptedDialogs dialogs;
    MemoryRecentFilesStore store;
    Document doc{host, dialogs};
    QTemporaryDir dir;
    QStringList trashed;

    void SetUp() override {
        SetDocumentGame(doc, kGameEtPro, &store);
        doc.moveToTrash = [this](const QString& p) {
            trashed << QFileInfo(p).fileName();
            return QFile::remove(p);
        };
    }
    void Write(const QString& name, const QByteArray& bytes) {
        test::WriteFile(dir.filePath(name), bytes);
    }
};

// x y z pitch yaw roll fov ts
void ExpectRecord(const PointRecord& r, const std::array<float, 8>& want, const char* label) {
    const std::array<float, 8> got{r.x, r.y, r.z, r.pitch, r.yaw, r.roll, r.fov, r.ts};
    for (int i = 0; i < 8; ++i)
        EXPECT_FLOAT_EQ(got[i], want[i]) << label << " field " << i;
}

TEST(PositionParse, ReadsEtProAndDefragFields) {
    PointRecord r;
    ParseEtProPosition(EtProText(100.5, 45.555, 110), r);
    ExpectRecord(r, {100.5f, -200, 64, 0, 45.56f, 0, 110, 1}, "etpro");
    // A decimal comma ends the number; a missing separator zeroes that value and the rest.
    ParseEtProPosition("(12,75 -3.5 9 no more", r);
    ExpectRecord(r, {12, -3.5f, 0, 0, 0, 0, 90, 1}, "etpro comma");
    ParseDefragPosition("pos: 1.5,2,3,-10.25,90,7,5,0\"", r); // fov 0 becomes 90
    ExpectRecord(r, {1.5f, 2, 3, -10.25f, 90, 5, 90, 1}, "defrag");
    ParseDefragPosition("no colon here", r);
    EXPECT_EQ(r.x, 0);
}

TEST_F(ImportFixture, NewTraceFromTooManyEtProFilesKeeps250) {
    for (int i = 0; i < 262; ++i)
        Write(QStringLiteral("p%1.epcp").arg(i, 3, 10, QLatin1Char('0')),
              EtProText(i, 10, 0).toLatin1());
    Write("other.txt", "x");
    dialogs.paths = {dir.path()};
    dialogs.answers = {DialogAnswer::Ok, DialogAnswer::Yes};
    ASSERT_TRUE(ImportPositions(doc)); // empty trace: nothing asked first
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].text,
              "Limit of points reached\r\n12 points will not be imported.");
    EXPECT_EQ(doc.trace.ControlCount(), 250);
    EXPECT_FLOAT_EQ(doc.trace.points.rec[kControl][250].x, 249);
    EXPECT_EQ(doc.trace.points.rec[kControl][7].fov, 90); // 0 read
    EXPECT_EQ(doc.positionFolder[kGameEtPro], dir.path());
    EXPECT_EQ(trashed.size(), 262); // every position file, not only those read
    EXPECT_TRUE(QFile::exists(dir.filePath("other.txt")));
    // The history starts at the empty trace, so the import itself can be undone.
    EXPECT_EQ(doc.undo.top, 2);
    EXPECT_TRUE(doc.trace.modified);
}

TEST_F(ImportFixture, AppendingBeyondTheLimitIsRefused) {
    FillPoints(doc.trace.points, 245, 0);
    for (int i = 0; i < 10; ++i)
        Write(QStringLiteral("p%1.epcp").arg(i), EtProText(i, 0, 90).toLatin1());
    dialogs.answers = {DialogAnswer::No};
    dialogs.paths = {dir.path()};
    EXPECT_FALSE(ImportPositions(doc));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].text,
              "Limit of points reached\r\nRemove points, or create a new curve.");
    EXPECT_EQ(doc.trace.ControlCount(), 245);
    EXPECT_TRUE(trashed.isEmpty());

    // Appending 5 goes after the last point and keeps the old ones.
    for (int i = 5; i < 10; ++i)
        QDir(dir.path()).remove(QStringLiteral("p%1.epcp").arg(i));
    dialogs.messages.clear();
    dialogs.answers = {DialogAnswer::No, DialogAnswer::No};
    dialogs.paths = {dir.path()};
    EXPECT_TRUE(ImportPositions(doc));
    EXPECT_EQ(doc.trace.ControlCount(), 250);
    EXPECT_FLOAT_EQ(doc.trace.points.rec[kControl][246].x, 0);
}

TEST_F(ImportFixture, EtProFolderMessages) {
    dialogs.paths = {dir.filePath("gone"), dir.path()};
    EXPECT_FALSE(ImportEtProFolder(doc, true));
    EXPECT_FALSE(ImportEtProFolder(doc, true));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].text, "The specified folder does not exist.");
    EXPECT_EQ(dialogs.messages[1].text, "Files *.epcp not found.");
}

TEST_F(ImportFixture, DefragFiles) {
    SetDocumentGame(doc, kGameDefrag, &store);
    Write("only.dfcp", "header line\r\n");
    Write("three.dfcp", "header\n1: 1,2,3,4,5,6,7,100\"\n2: 10,20,30,-4,50,0,70,0\"\n3: 9,9,9\n"
                        "4: 1.234,2,3,4,5,6,7,200\"\n");
    dialogs.paths = {dir.filePath("only.dfcp"), dir.filePath("three.dfcp")};
    EXPECT_FALSE(ImportPositions(doc));
    EXPECT_TRUE(ImportPositions(doc));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.fileDialogs[0].request.filter, "Defrag Camera Positions (*.dfcp)");
    ASSERT_EQ(doc.trace.ControlCount(), 4);
    const auto& rec = doc.trace.points.rec[kControl];
    EXPECT_FLOAT_EQ(rec[1].fov, 100);
    ExpectRecord(rec[2], {10, 20, 30, -4, 50, 70, 90, 1}, "second");
    EXPECT_EQ(rec[3].yaw, 0); // separator missing
    // What the game saved passes the rules of typed values.
    EXPECT_FLOAT_EQ(rec[4].fov, 179.99f);
    EXPECT_FLOAT_EQ(rec[4].x, 1.23f);
    EXPECT_EQ(doc.positionFolder[kGameDefrag], dir.path());
}

TEST(Export, WritesCamThenRefLinesWithTwoDecimals) {
    ScopedLocale comma("fr_FR");
    Trace t;
    FillPoints(t.points, 3, 2);
    t.points.rec[kControl][3].pitch = 10;
    t.points.rec[kControl][1].x = 1234.5f;
    t.points.rec[kReference][2].y = -0.25f;
    UniformRandom rng(7);
    int32_t effective = 0;
    const QStringList lines =
        QString::fromLatin1(ExchangeFileText(t, 100, 50, rng, &effective)).split("\r\n");
    EXPECT_EQ(lines[0], "// Kestrova 3D 0.9.9.0");
    EXPECT_EQ(lines[1], "param:animRate;50");
    EXPECT_EQ(effective, 101);
    EXPECT_TRUE(lines[2].startsWith("cam:1234.50;-50.50;8.00;"));
    EXPECT_TRUE(lines[2 + effective - 1].endsWith(";-10.00;30.00;0.00;90.00")); // pitch negated
    EXPECT_EQ(lines[2 + effective], "ref:-7.75;0.00;64.00");
    EXPECT_EQ(lines[3 + effective], "ref:-15.50;-0.25;64.00");
    EXPECT_TRUE(lines[4 + effective].isEmpty());
    // The trace itself is not touched.
    EXPECT_EQ(t.pathUpper, -1);
}

TEST_F(ImportFixture, ExportRemembersTheLocationAtOnceAndReports) {
    TempRegistry registry;
    Settings settings;
    GameState games;
    doc.foldersChanged = [&] {
        StoreRememberedFolders(settings, games, doc.traceFolder, doc.exportFolder);
    };
    FillPoints(doc.trace.points, 2, 0);
    const auto forty = [] { return std::optional<QString>("40"); };
    dialogs.paths = {dir.filePath("cam"), std::nullopt}; // typed without extension
    ASSERT_TRUE(ExportTrace(doc, forty));
    EXPECT_EQ(dialogs.fileDialogs[0].request.filter, "3DSMax Exchange (*.kv3dsx)");
    EXPECT_EQ(RegReadValue(kApplicationKey, "DftPathExtract").Text(), dir.path());
    EXPECT_TRUE(dialogs.messages.value(0).text.endsWith("\r\n\r\nEffective number of points: 40"));
    EXPECT_EQ(ReadFileLines(dir.filePath("cam.kv3dsx"))->size(), 42); // one segment: any count

    // The next export starts there; a cancel leaves the stored folder alone.
    settings.dftPathExtract = "/elsewhere";
    EXPECT_FALSE(ExportTrace(doc, forty));
    EXPECT_EQ(dialogs.fileDialogs[1].request.folder, dir.path());
    EXPECT_EQ(dialogs.fileDialogs[1].request.fileName, "cam.kv3dsx");
    EXPECT_EQ(settings.dftPathExtract, "/elsewhere");
    EXPECT_TRUE(RegReadValue(Profile(kGameEtPro).registryKey, "DftPathTraces").IsEmpty());
    EXPECT_FALSE(ExportTrace(doc, [] { return std::optional<QString>(); }));
    EXPECT_EQ(dialogs.fileDialogs.size(), 2);
    EXPECT_FALSE(WriteExchangeFile(doc, dir.filePath("no/dir/x.kv3dsx"), 10));
    EXPECT_EQ(dialogs.messages.last().text, "Error during the curve exportation.\n" +
                                                dir.filePath("no/dir/x.kv3dsx") +
                                                "\nNo such file or directory");
}

} // namespace
} // namespace kestrova::test
