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

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

TEST(PositionParse, ReadsEtProAndDefragFields) {
    PointRecord r;
    ParseEtProPosition(EtProText(100.5, 45.555, 110), r);
    EXPECT_FLOAT_EQ(r.x, 100.5f);
    EXPECT_FLOAT_EQ(r.y, -200);
    EXPECT_FLOAT_EQ(r.z, 64);
    EXPECT_FLOAT_EQ(r.yaw, 45.56f);
    EXPECT_FLOAT_EQ(r.fov, 110);
    EXPECT_EQ(r.pitch, 0);
    EXPECT_EQ(r.roll, 0);
    EXPECT_EQ(r.ts, 1);
    // A decimal comma ends the number; a missing separator zeroes that value and the rest.
    ParseEtProPosition(QStringLiteral("(12,75 -3.5 9 no more"), r);
    EXPECT_FLOAT_EQ(r.x, 12);
    EXPECT_FLOAT_EQ(r.y, -3.5f);
    EXPECT_EQ(r.z, 0);
    EXPECT_EQ(r.fov, 90);

    ParseDefragPosition(QStringLiteral("pos: 1.5,2,3,-10.25,90,7,5,0\""), r);
    EXPECT_FLOAT_EQ(r.x, 1.5f);
    EXPECT_FLOAT_EQ(r.pitch, -10.25f);
    EXPECT_FLOAT_EQ(r.yaw, 90);
    EXPECT_FLOAT_EQ(r.roll, 5);
    EXPECT_EQ(r.fov, 90); // 0 becomes 90
    EXPECT_EQ(r.ts, 1);
    ParseDefragPosition(QStringLiteral("no colon here"), r);
    EXPECT_EQ(r.x, 0);
}

TEST_F(ImportFixture, NewTraceFromTooManyEtProFilesKeeps250) {
    for (int i = 0; i < 262; ++i)
        Write(QStringLiteral("p%1.epcp").arg(i, 3, 10, QLatin1Char('0')),
              EtProText(i, 10, 0).toLatin1());
    Write(QStringLiteral("other.txt"), "x");
    dialogs.paths = {dir.path()};
    dialogs.answers = {DialogAnswer::Ok, DialogAnswer::Yes};
    ASSERT_TRUE(ImportPositions(doc)); // empty trace: nothing asked first
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Importation"));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Limit of points reached\r\n12 points will not be imported."));
    EXPECT_EQ(dialogs.messages[1].buttons, MessageButtons::YesNo);
    EXPECT_EQ(dialogs.fileDialogs[0].request.title,
              QStringLiteral("Select the folder containing the files generated under EtPro."));
    EXPECT_EQ(doc.trace.ControlCount(), 250);
    EXPECT_FLOAT_EQ(doc.trace.points.rec[kControl][250].x, 249);
    EXPECT_EQ(doc.trace.points.rec[kControl][7].fov, 90);
    EXPECT_EQ(doc.positionFolder[kGameEtPro], dir.path());
    EXPECT_EQ(trashed.size(), 262); // every position file, not only those read
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("other.txt"))));
    // The history starts at the empty trace, so the import itself can be undone.
    EXPECT_EQ(doc.undo.top, 2);
    EXPECT_TRUE(doc.undo.undoEnabled);
    EXPECT_TRUE(doc.trace.modified);
    EXPECT_GT(doc.trace.pathUpper, 0);
}

TEST_F(ImportFixture, AppendingBeyondTheLimitIsRefused) {
    FillPoints(doc.trace.points, 245, 0);
    for (int i = 0; i < 10; ++i)
        Write(QStringLiteral("p%1.epcp").arg(i), EtProText(i, 0, 90).toLatin1());
    dialogs.answers = {DialogAnswer::No};
    dialogs.paths = {dir.path()};
    EXPECT_FALSE(ImportPositions(doc));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Do you want to create a new curve?\r\n"
                                                       "Clic on No to add additional points."));
    EXPECT_EQ(dialogs.messages[1].text,
              QStringLiteral("Limit of points reached\r\nRemove points, or create a new curve."));
    EXPECT_EQ(doc.trace.ControlCount(), 245);
    EXPECT_TRUE(trashed.isEmpty());

    // Appending 5 goes after the last point and keeps the old ones.
    QDir(dir.path()).remove(QStringLiteral("p9.epcp"));
    for (int i = 5; i < 9; ++i)
        QDir(dir.path()).remove(QStringLiteral("p%1.epcp").arg(i));
    dialogs.messages.clear();
    dialogs.answers = {DialogAnswer::No, DialogAnswer::No};
    dialogs.paths = {dir.path()};
    EXPECT_TRUE(ImportPositions(doc));
    EXPECT_EQ(doc.trace.ControlCount(), 250);
    EXPECT_FLOAT_EQ(doc.trace.points.rec[kControl][246].x, 0);
    EXPECT_FLOAT_EQ(doc.trace.points.rec[kControl][245].x, 245 * 100.25f);
}

TEST_F(ImportFixture, EtProFolderMessages) {
    dialogs.paths = {dir.filePath(QStringLiteral("gone")), dir.path()};
    EXPECT_FALSE(ImportEtProFolder(doc, true));
    EXPECT_FALSE(ImportEtProFolder(doc, true));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("The specified folder does not exist."));
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Files *.epcp not found."));
}

TEST_F(ImportFixture, DefragFiles) {
    SetDocumentGame(doc, kGameDefrag, &store);
    Write(QStringLiteral("only.dfcp"), "header line\r\n");
    Write(QStringLiteral("three.dfcp"),
          "header\n1: 1,2,3,4,5,6,7,100\"\n2: 10,20,30,-4,50,0,70,0\"\n3: 9,9,9\n"
          "4: 1.234,2,3,4,5,6,7,200\"\n");
    dialogs.paths = {dir.filePath(QStringLiteral("only.dfcp"))};
    EXPECT_FALSE(ImportPositions(doc));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.fileDialogs[0].request.filter,
              QStringLiteral("Defrag Camera Positions (*.dfcp)"));

    dialogs.paths = {dir.filePath(QStringLiteral("three.dfcp"))};
    EXPECT_TRUE(ImportPositions(doc));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ASSERT_EQ(doc.trace.ControlCount(), 4);
    const PointRecord& p2 = doc.trace.points.rec[kControl][2];
    EXPECT_FLOAT_EQ(p2.pitch, -4);
    EXPECT_FLOAT_EQ(p2.roll, 70);
    EXPECT_EQ(p2.fov, 90);
    EXPECT_FLOAT_EQ(doc.trace.points.rec[kControl][1].fov, 100);
    EXPECT_EQ(doc.trace.points.rec[kControl][3].yaw, 0); // separator missing
    // What the game saved passes the rules of typed values.
    EXPECT_FLOAT_EQ(doc.trace.points.rec[kControl][4].fov, 179.99f);
    EXPECT_FLOAT_EQ(doc.trace.points.rec[kControl][4].x, 1.23f);
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
    EXPECT_EQ(lines[0], QStringLiteral("// Kestrova 3D 0.9.9.0"));
    EXPECT_EQ(lines[1], QStringLiteral("param:animRate;50"));
    EXPECT_EQ(effective, 101);
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("cam:1234.50;-50.50;8.00;")));
    EXPECT_EQ(lines[2].split(';').size(), 7);
    const QStringList last = lines[2 + effective - 1].split(';');
    EXPECT_EQ(last[3], QStringLiteral("-10.00"));
    EXPECT_EQ(last[6], QStringLiteral("90.00"));
    EXPECT_EQ(lines[2 + effective], QStringLiteral("ref:-7.75;0.00;64.00"));
    EXPECT_EQ(lines[3 + effective], QStringLiteral("ref:-15.50;-0.25;64.00"));
    EXPECT_TRUE(lines[4 + effective].isEmpty());
    // The trace itself is not touched.
    EXPECT_EQ(t.pathUpper, -1);
}

TEST(Export, RemembersTheLocationAndReports) {
    KeptTraceExtras host;
    ScriptedDialogs dialogs;
    Document doc{host, dialogs};
    QTemporaryDir dir;
    FillPoints(doc.trace.points, 2, 0);
    const QString path = dir.filePath(QStringLiteral("cam.kv3dsx"));
    dialogs.paths = {dir.filePath(QStringLiteral("cam")), std::nullopt}; // typed without extension
    ASSERT_TRUE(ExportTrace(doc, [] { return std::optional<QString>(QStringLiteral("40")); }));
    EXPECT_EQ(dialogs.fileDialogs[0].request.title,
              QStringLiteral("Choose a name and a location for your script."));
    EXPECT_EQ(dialogs.fileDialogs[0].request.filter, QStringLiteral("3DSMax Exchange (*.kv3dsx)"));
    EXPECT_EQ(doc.exportFolder, dir.path());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Successfully saved"));
    EXPECT_TRUE(dialogs.messages[0].text.endsWith(
        QStringLiteral("\r\n\r\nEffective number of points: 40")));
    EXPECT_EQ(ReadFileLines(path)->size(), 42); // one segment takes any count as it is

    EXPECT_FALSE(ExportTrace(doc, [] { return std::optional<QString>(QStringLiteral("40")); }));
    EXPECT_EQ(dialogs.fileDialogs[1].request.folder, dir.path());
    EXPECT_EQ(dialogs.fileDialogs[1].request.fileName, QStringLiteral("cam.kv3dsx"));
    EXPECT_FALSE(ExportTrace(doc, [] { return std::optional<QString>(); }));
    EXPECT_EQ(dialogs.fileDialogs.size(), 2);

    EXPECT_FALSE(WriteExchangeFile(doc, dir.filePath(QStringLiteral("no/dir/x.kv3dsx")), 10));
    EXPECT_EQ(dialogs.messages.last().title, QStringLiteral("Exportation to 3DSMax"));
    EXPECT_EQ(dialogs.messages.last().text, QStringLiteral("Error during the curve exportation."));
}

TEST(Export, TheChosenFolderIsStoredAtOnceACancelLeavesItAlone) {
    TempRegistry registry;
    KeptTraceExtras host;
    ScriptedDialogs dialogs;
    Document doc{host, dialogs};
    Settings settings;
    GameState games;
    doc.foldersChanged = [&] {
        StoreRememberedFolders(settings, games, doc.traceFolder, doc.exportFolder);
    };
    QTemporaryDir dir;
    FillPoints(doc.trace.points, 2, 0);
    dialogs.paths = {dir.filePath(QStringLiteral("cam.kv3dsx")), std::nullopt};
    ASSERT_TRUE(ExportTrace(doc, [] { return std::optional<QString>(QStringLiteral("10")); }));
    EXPECT_EQ(settings.dftPathExtract, dir.path());
    EXPECT_EQ(RegReadValue(kApplicationKey, QStringLiteral("DftPathExtract")).Text(), dir.path());

    settings.dftPathExtract = QStringLiteral("/elsewhere");
    EXPECT_FALSE(ExportTrace(doc, [] { return std::optional<QString>(QStringLiteral("10")); }));
    EXPECT_EQ(settings.dftPathExtract, QStringLiteral("/elsewhere"));
    // Nothing about the trace folders was written.
    EXPECT_TRUE(
        RegReadValue(Profile(kGameDefrag).registryKey, QStringLiteral("DftPathTraces")).IsEmpty());
}

} // namespace
} // namespace kestrova::test
