#include "core/files/document.h"
#include "core/files/text_file.h"
#include "core/files/trace_file.h"
#include "core/files/trace_samples.h"
#include "core/model/point_fields.h"
#include "core/model/undo.h"
#include "support/scripted_dialogs.h"
#include "support/test_files.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>

namespace kestrova::test {
namespace {

TraceFileContents ReadBack(const QByteArray& text) {
    TraceFileContents c;
    ReadTraceFile(SplitLinesKeepEmpty(text), c);
    return c;
}

QString ValueOf(const QByteArray& text, const QString& key) {
    for (const QString& l : SplitLines(text))
        if (HeaderKey(l) == key)
            return HeaderValue(l);
    return {};
}

// A file applied as the editor applies it.
struct Applied {
    Trace trace;
    UndoHistory undo;
    KeptTraceExtras host;
    ScriptedDialogs dialogs;
    explicit Applied(const TraceFileContents& c) { ApplyTraceFile(c, trace, undo, host, dialogs); }
};

// Read, applied and written back as a save would.
QByteArray OnePass(const QByteArray& text) {
    KeptTraceExtras fresh;
    TraceFileContents c = CurrentTraceFileValues(Trace{}, fresh);
    ReadTraceFile(SplitLines(text), c);
    Applied a(c);
    return TraceFileText(CaptureTraceFile(a.trace, a.host));
}

TEST(TraceFile, WritesTheDocumentedLayout) {
    TraceFileContents c = SampleContents(2, 1);
    // Lines that look like points, an empty line and characters of the Windows code page.
    c.notes = QString::fromUtf8("ctl: take two\r\n\r\nref: \u201cbig\u201d \u2026 5\u20ac\r\n");
    const QByteArray text = TraceFileText(c);
    const QStringList raw = QString::fromLatin1(text).split("\r\n");
    EXPECT_EQ(raw[0], "// Kestrova 3D 0.9.9.0");
    EXPECT_EQ(raw[1], "\tgame_mod         1");
    // 43 keys plus the preset line, then the empty line before the points.
    QStringList keys;
    int i = 1;
    for (; !raw[i].isEmpty(); ++i)
        keys << HeaderKey(raw[i]);
    EXPECT_EQ(keys.size(), 44);
    EXPECT_EQ(keys.mid(38), (QStringList{"demo_goto_sec", "demo_forward", "trans_speed", "vpreset",
                                         "avi_demo", "avi_demos"}));
    EXPECT_TRUE(text.contains("\r\n\tavi_demos        25;50;60;\r\n"));
    EXPECT_TRUE(raw[i + 1].startsWith("ctl:100.25; -50.5; 8; "));
    EXPECT_EQ(raw[i + 1].count("; "), 20);
    // Field 16 is always 0, between tanA fixed (0) and tanB.x.
    EXPECT_TRUE(raw[i + 1].contains("; 1.5; 0; 0; 0; 0; 0; 0; 0; 3; "));
    // One empty line, then the notes as typed.
    EXPECT_TRUE(text.endsWith("ref:-7.75; 0; 64; 0; 45; 0; \r\n\r\nctl: take two\r\n\r\n"
                              "ref: \x93"
                              "big\x94 \x85 5\x80\r\n"));
    const TraceFileContents back = ReadBack(text);
    EXPECT_EQ(back.notes, c.notes);
    EXPECT_EQ(back.points.count, (std::array<int32_t, 2>{2, 1}));
    EXPECT_EQ(TraceFileText(back), text);

    c.notes = "  \r\n \r\n"; // blank notes are not written
    EXPECT_TRUE(TraceFileText(c).endsWith("64; 0; 45; 0; \r\n"));
}

TEST(TraceFile, WritesBackWhatTheEditorKeeps) {
    QByteArray text = "game_mod 1\r\nstep1 1000\r\navi_demo -7\r\navi_demos 0;-5;30;\r\n";
    // Fifteen presets: the twelve slots, one of them twice, slot 99 and two broken lines.
    for (int slot = 0; slot < 12; ++slot)
        text += "vpreset " + QByteArray::number(slot) + ";1;10;20;3;1;2;3;4;5;6;90;5000\r\n";
    text += "vpreset 5;8;1;1;1;1;1;1;1;1;1;1;1\r\nvpreset 99;1;10;20;3;1;2;3;4;5;6;90;5000\r\n"
            "vpreset garbage\r\n\r\n";
    // Wiggle 5 every 0.3 points: the interval rounds to nothing, so the default 4 holds.
    text += "ctl:0;0;0;0;0;0;90;1;0;5;0.3;0;0;0;0;0;0;0;0;0;\r\n"
            "ctl:100;0;0;0;0;0;90;1;0;0;0;0;0;0;0;0;0;0;0;0;\r\n"
            "ctl:200;0;0;0;0;0;90;1;0;0;0;0;0;0;0;0;0;0;0;0;\r\n";
    const QByteArray once = OnePass(text);
    EXPECT_EQ(ValueOf(once, "avi_demo"), "50");
    EXPECT_EQ(ValueOf(once, "avi_demos"), "30;50;");
    EXPECT_EQ(once.count("\tvpreset "), 12);
    EXPECT_TRUE(once.contains("\tvpreset          5;8;1;1;1;1;1;1;1;1;1;1;1\r\n"));
    EXPECT_FALSE(once.contains("99;"));
    EXPECT_TRUE(once.contains("ctl:0; 0; 0; 0; 0; 0; 90; 1; 0; 5; 4; ")) << once.toStdString();
    EXPECT_EQ(OnePass(once).toStdString(), once.toStdString());
}

TEST(TraceFile, NumbersRoundTripAsAsciiUnderEveryLocale) {
    // The file's code page holds no Unicode minus and no other script's digits: only the
    // decimal separator follows the locale, and only when it is ASCII itself.
    for (const auto& [name, point] :
         {std::pair{"en_US", '.'}, {"fr_FR", ','}, {"sv_SE", ','}, {"fa_IR", '.'}}) {
        ScopedLocale locale(name);
        TraceFileContents c = SampleContents(5, 3);
        SetPointField(c.points, kControl, 1, kFieldX, -340.0f);
        SetPointField(c.points, kControl, 1, kFieldY, -0.75f);
        SetPointField(c.points, kControl, 2, kFieldZ, -2.5e9f);
        c.plans[0].centreH = -12.5f;
        QByteArray text = TraceFileText(c);
        EXPECT_EQ(std::count_if(text.begin(), text.end(), [](char ch) { return ch < 0; }), 0);
        EXPECT_TRUE(text.contains(QByteArray("ctl:-340; -0") + point + "75; ")) << name;
        EXPECT_EQ(ValueOf(text, "pos_xy1"), "-12" + QString(QLatin1Char(point)) + "5");
        TraceFileContents back = ReadBack(text);
        EXPECT_EQ(GetPointField(back.points, kControl, 2, kFieldZ), -2.5e9f) << name;
        EXPECT_EQ(TraceFileText(back), text) << name;

        // Values with more decimals come back rounded, and stay so from then on.
        SetPointField(c.points, kControl, 2, kFieldX, 12.3456f);
        SetPointField(c.points, kControl, 3, kFieldY, 0.125f);
        back = ReadBack(TraceFileText(c));
        text = TraceFileText(back);
        EXPECT_EQ(TraceFileText(ReadBack(text)), text) << name;
        EXPECT_FLOAT_EQ(GetPointField(back.points, kControl, 2, kFieldX), 12.35f) << name;
        EXPECT_FLOAT_EQ(GetPointField(back.points, kControl, 3, kFieldY), 0.12f) << name;

        // A value typed in the locale's own form (its minus, digits and separator) reads too.
        PointTables t;
        t.count = {1, 0};
        const QString own = QLocale().toString(-340.5, 'f', 1);
        ReadPointLine(t, kControl, 1, "ctl:" + own + "; -1; ");
        EXPECT_EQ(t.At(kControl, 1).x, -340.5f) << name << " " << own.toStdString();
        EXPECT_EQ(t.At(kControl, 1).y, -1.0f) << name;
    }
}

TEST(TraceFile, ReaderToleratesHandWrittenFiles) {
    const QByteArray file = "// anything\r\nGAME_MOD 1\nDemo_Name   two  words \r\n"
                            "df_cam_mode -3\ndf_player_num 12\ndemo_goto_min 2\n"
                            "demo_goto_sec 125\ncam_pitch 90\ncam_yaw 370\ncam_roll -725\n"
                            "step1 250.5\nunknown_key 5\nctl:1.5;2;3;\nref:4;5;6;7;8;9;\n"
                            "ctl:1e40;11;12;0;0;0;\n\n\nnote one\n\n\nnote two"; // no final break
    TraceFileContents c;
    c.demoMinutes = 99;       // replaced because its key occurs
    c.transSpeedText = "321"; // kept: no key
    ReadTraceFile(SplitLines(file), c);
    // game, camera mode, player, demo minutes and seconds (125 s carry over)
    EXPECT_EQ(
        std::tuple(c.game, c.script.cameraMode, c.script.player, c.demoMinutes, c.demoSeconds),
        std::tuple(1, 3, 12, 4, 5));
    EXPECT_EQ(std::tuple(c.camera.pitch, c.camera.yaw, c.camera.roll), std::tuple(0.f, 10.f, -5.f));
    EXPECT_EQ(c.demoName, "two  words");
    EXPECT_EQ(c.stepText, (std::array<QString, 2>{"250", "0"})); // halves to even
    EXPECT_EQ(c.transSpeedText, "321");
    // A "ctl" line after a "ref" line is a reference point; missing fields read 0.
    EXPECT_EQ(c.points.count, (std::array<int32_t, 2>{1, 2}));
    EXPECT_FLOAT_EQ(c.points.rec[kControl][1].x, 1.5f);
    EXPECT_FLOAT_EQ(c.points.rec[kControl][1].fov, 0.1f); // fov rule on a missing 0
    EXPECT_FLOAT_EQ(c.points.rec[kReference][2].x, 0);    // beyond float range
    EXPECT_FLOAT_EQ(c.points.rec[kReference][2].y, 11);
    EXPECT_EQ(c.notes, "note one\r\nnote two\r\n");
}

TEST(TraceFile, TellsWhetherTheViewsWereStored) {
    for (const auto& [header, plans, camera] : {std::tuple{"game_mod 1\n", false, false},
                                                {"scale_xz 300\n", true, false},
                                                {"pos_yz2 -40\n", true, false},
                                                {"cam_fov 70\n", false, true},
                                                {"pos_xy1 5\ncam_x 12\n", true, true}}) {
        TraceFileContents c;
        c.planViewsRead = c.cameraRead = true; // left from a previous read: does not count
        ReadTraceFile(SplitLines(QByteArray(header) + "ctl:1;2;3;\n"), c);
        EXPECT_EQ(c.planViewsRead, plans) << header;
        EXPECT_EQ(c.cameraRead, camera) << header;
    }
    const TraceFileContents written = ReadBack(TraceFileText(TraceFileContents{}));
    EXPECT_TRUE(written.planViewsRead && written.cameraRead);
}

TEST(TraceFile, ClampsEveryHeaderValue) {
    // Pairs of the line read and the value written back under its key; ET Pro has two camera
    // modes, 0 and 1.
    // clang-format off
    const char* const cases[] = {
        "game_mod 2", "0", "active_plan 7", "3", "scale_xz 5000", "1000", "scale_yz 0", "1",
        "scale_xy 84.5", "84", "pos_xy1 -26000", "-1000", "cam_z 50001", "1",
        "cam_pitch -100", "-10", "cam_fov 500", "179.99", "cam_zfar 1234.5", "1234",
        "step_idx 2", "0", "autostart 0.5", "1", "autostart_time 1500.9ms", "1500",
        "sp_nb 2.5", "2", "sp_bind_key 500", "100", "include_fov 0", "0", "camera_mode 2", "0",
        "cm_player_num 64", "0", "demo_goto_min 5000", "999", "demo_goto_sec -3", "0",
        "demo_forward 12345", "9999", "trans_speed -250.5", "250", "avi_demos 25;x;30;", "",
        "game_config  Default ", "Default", "bsp_filename", "",
        "vpreset 1;8;0;0;85;1;2;3;4;5;6;90;30000", "1;8;0;0;85;1;2;3;4;5;6;90;30000",
    };
    // clang-format on
    for (size_t i = 0; i < std::size(cases); i += 2) {
        TraceFileContents c = SampleContents(0, 0);
        c.aviDemos = {99};
        ReadTraceFile({QString::fromLatin1(cases[i])}, c);
        EXPECT_EQ(ValueOf(TraceFileText(c), HeaderKey(cases[i])), cases[i + 1]) << cases[i];
    }
}

TEST(TraceFile, IgnoresPointLinesBeyondTheLimit) {
    QStringList lines{"game_mod 1"};
    for (int i = 0; i < 260; ++i)
        lines << QStringLiteral("ctl:%1;0;0;").arg(i);
    for (int i = 0; i < 253; ++i)
        lines << "ref:1;";
    TraceFileContents c;
    ReadTraceFile(lines, c);
    EXPECT_EQ(c.points.count, (std::array<int32_t, 2>{250, 250}));
    EXPECT_EQ(std::pair(c.droppedControl, c.droppedReference), std::pair(10, 3));
    EXPECT_FLOAT_EQ(c.points.rec[kControl][250].x, 249);
    const Applied a(c);
    ASSERT_EQ(a.dialogs.messages.size(), 1);
    EXPECT_EQ(a.dialogs.messages[0].text,
              "Limit of points reached\r\n13 points will not be imported.");
}

TEST(TraceFile, ApplySetsTheTraceAndHandsTheRestToTheHost) {
    TraceFileContents c = SampleContents(5, 1);
    c.stepText = {"100", "7"};
    c.stepIdx = 0;
    Applied a(c);
    ASSERT_EQ(a.dialogs.messages.size(), 1);
    EXPECT_EQ(a.dialogs.messages[0].title, "Load a curve");
    EXPECT_EQ(a.dialogs.messages[0].text, "my demo 01 demo not found.");
    EXPECT_TRUE(a.host.extras.demoName.isEmpty());
    EXPECT_EQ(a.host.extras.mapName, c.mapName);
    // Point counts corrected for five control points: 100 -> 101 (25 per segment), 7 -> 5.
    EXPECT_EQ(a.trace.counts.presetText, (std::array<QString, 2>{"101", "5"}));
    EXPECT_EQ(a.trace.pathUpper, 100);
    EXPECT_EQ(a.trace.counts.frameRate, 60);
    EXPECT_FALSE(a.trace.modified);
    EXPECT_TRUE(a.host.notesShown);
    // The loaded trace is the only state of the history.
    EXPECT_EQ(a.undo.top, 1);
    EXPECT_FALSE(a.undo.undoEnabled);

    a.host.knownDemos = {c.demoName};
    a.dialogs.messages.clear();
    ApplyTraceFile(c, a.trace, a.undo, a.host, a.dialogs);
    EXPECT_TRUE(a.dialogs.messages.isEmpty());
    EXPECT_EQ(a.host.extras.demoName, c.demoName);
}

TEST(TraceFile, ViewPresetLinesRoundTrip) {
    ScopedLocale comma("fr_FR");
    std::array<ViewPreset, kPresetSlots> presets{};
    presets[3] = {kView3D, {12.5f, -3, 85}, {1, 2, 3, -10.5f, 270, 0, 75, 20000}};
    presets[11] = {kViewYZ, {0, 100.25f, 400}, {}};
    const QStringList lines = ViewPresetLines(presets);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "3;8;12,5;-3;85;1;2;3;-10,5;270;0;75;20000");
    std::array<ViewPreset, kPresetSlots> back{};
    back[0].viewMode = kViewXY; // cleared: only the lines count
    ApplyViewPresetLines(lines + QStringList{"1;1;0;0", "12;1;0;0;85;0;0;0;0;0;0;0;0"}, back);
    EXPECT_EQ(ViewPresetLines(back), lines);
    EXPECT_EQ(back[0].viewMode, 0);
}

TEST(TextFile, SplitsLinesInTheWesternWindowsCodePage) {
    EXPECT_EQ(SplitLines("\r\n\r\na\r\r\n\nb\nc"), (QStringList{"a", "b", "c"}));
    EXPECT_TRUE(SplitLines("\r\n\n").isEmpty());
    // Keeping empty lines: CR LF, CR or LF each end one line; a final break leaves "".
    EXPECT_EQ(SplitLinesKeepEmpty("a\r\n\r\nb\rc\n\nd\r\n"),
              (QStringList{"a", "", "b", "c", "", "d", ""}));
    // Bytes of Windows-1252 and the characters they stand for.
    const QByteArray bytes("\x80\x85\x91\x92\x93\x94\x96\x9c\xe9\xff\x81 A", 13);
    const QString text =
        QString::fromUtf8("\u20ac\u2026\u2018\u2019\u201c\u201d\u2013\u0153\u00e9\u00ff") +
        QChar(0x81) + " A";
    EXPECT_EQ(FromFileBytes(bytes), text);
    EXPECT_EQ(ToFileBytes(text), bytes);
    // What the page cannot hold becomes "?".
    EXPECT_EQ(ToFileBytes(QString::fromUtf8("\u0101\u4e2d\u00a0")), QByteArray("??\xa0"));
}

TEST(TextFile, RefusesWhatIsNotTextAndReplacesFilesWhole) {
    QTemporaryDir dir;
    const QString t = dir.filePath("t"), a = dir.filePath("a.cfg"), b = dir.filePath("b.cfg");
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\r\n\r\n"), QByteArray("ab\0c", 4)}) {
        WriteFile(t, bytes);
        EXPECT_FALSE(ReadFileLines(t)) << bytes.toStdString();
    }
    WriteFile(t, "x");
    QFile::resize(t, kMaxTextFileBytes + 1);
    EXPECT_FALSE(ReadFileLines(t));
    EXPECT_FALSE(ReadFileLines(dir.filePath("missing")));

    ASSERT_TRUE(WriteWholeFile(t, "a\r\nb"));
    EXPECT_FALSE(WriteWholeFile(t, {}));
    EXPECT_FALSE(WriteWholeFile(dir.filePath("no/such/folder/t"), "x"));
    EXPECT_EQ(*ReadFileLines(t), (QStringList{"a", "b"}));
    ASSERT_TRUE(WriteWholeFile(a, "old a"));
    {
        FileReplacer files;
        ASSERT_TRUE(files.Replace(a, "new ", "a"));
        ASSERT_TRUE(files.Replace(b, "new b")); // no file before
        ASSERT_TRUE(files.Replace(a, "newer a"));
        EXPECT_FALSE(files.Replace(dir.filePath("no/such/x.cfg"), "x"));
        QDir().mkpath(dir.filePath("c.cfg"));
        EXPECT_FALSE(files.Replace(dir.filePath("c.cfg"), "x")); // a folder
    }
    EXPECT_EQ(ReadBytes(a), "newer a");
    EXPECT_EQ(ReadBytes(b), "new b");
    // Nothing else stays behind once the replacer is gone.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"a.cfg", "b.cfg", "t"}));
}

// Random bytes and damaged files, read directly and opened as files: refused or read within the
// limits, never a crash, and what was written once writes back unchanged.
TEST(TraceFile, SurvivesGarbage) {
    QRandomGenerator rng(1234);
    const QByteArray good = TraceFileText(SampleContents(30, 10));
    QTemporaryDir dir;
    KeptTraceExtras host;
    SilentDialogs dialogs;
    Document doc{host, dialogs};
    // The point counts of a two-point trace still creep up by one per pass.
    auto withoutCounts = [](const QByteArray& text) {
        QStringList kept = QString::fromLatin1(text).split("\r\n");
        kept.removeIf([](const QString& l) { return HeaderKey(l).startsWith("step"); });
        return kept.join('\n').toStdString();
    };
    int refused = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = round % 3 == 0 ? good.left(rng.bounded(good.size())) : good;
        for (int k = 0; round % 3 == 1 && k < 40; ++k)
            bytes[rng.bounded(bytes.size())] = static_cast<char>(rng.bounded(256));
        if (round % 3 == 2) {
            bytes = QByteArray(rng.bounded(4000), '\0');
            for (char& b : bytes)
                b = static_cast<char>(rng.bounded(256));
        }
        const QByteArray once = OnePass(bytes);
        ASSERT_EQ(withoutCounts(OnePass(once)), withoutCounts(once)) << round;
        WriteFile(dir.filePath("g.dfkv"), bytes);
        const int before = doc.trace.ControlCount();
        if (!LoadTraceFile(doc, dir.filePath("g.dfkv"))) {
            ++refused;
            EXPECT_EQ(doc.trace.ControlCount(), before);
        }
        ASSERT_LE(doc.trace.ControlCount(), kMaxPoints);
    }
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, 300);
}

} // namespace
} // namespace kestrova::test
