#include "ui/tabs/script_tab.h"

#include "core/files/text_file.h"
#include "core/files/trace_file.h"
#include "core/path/point_count.h"
#include "support/cli_runner.h"
#include "support/test_files.h"
#include "ui/dialogs/script_picker.h"
#include "ui/tabs/tab_fixture.h"
#include "ui/widgets/number_edit.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

using ui::FrmGameConfigs;
using ui::NumberEdit;
using ui::ScriptTab;

class ScriptTabTest : public ::testing::Test {
protected:
    template <typename T> T* Find(const QString& name) {
        T* w = tab.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    NumberEdit* Edit(const QString& name) { return Find<NumberEdit>(name); }
    QComboBox* Combo(const QString& name) { return Find<QComboBox>(name); }

    TabFixture f;
    FrmGameConfigs picker;
    ScriptTab tab{f.doc, f.game, picker};
};

TEST_F(ScriptTabTest, PauseKeysGiveTheGameNamesSkipSeparatorsAndNeedAnInterval) {
    QCheckBox* pause = Find<QCheckBox>(QStringLiteral("chkSP_Enabled"));
    QComboBox* keys = Combo(QStringLiteral("cboSP_BindKey"));
    EXPECT_FALSE(keys->isEnabled());
    pause->click();
    EXPECT_TRUE(keys->isEnabled());
    EXPECT_TRUE(f.doc.trace.script.pauseEnabled);
    keys->setCurrentIndex(keys->findText(QStringLiteral(";")));
    EXPECT_EQ(keys->property("tag").toString(), QStringLiteral("SemiColon"));
    EXPECT_EQ(f.doc.trace.script.bindKeyIndex, keys->findText(QStringLiteral(";")));

    // Down from 0x00 passes the separator on to 0; Up from 0 comes back to 0x00.
    const int zeroX = keys->findText(QStringLiteral("0x00"));
    keys->setCurrentIndex(zeroX);
    QTest::keyClick(keys, Qt::Key_Down);
    EXPECT_EQ(keys->currentText(), QStringLiteral("0"));
    QTest::keyClick(keys, Qt::Key_Up);
    EXPECT_EQ(keys->currentIndex(), zeroX);

    // A pause interval of zero keeps the previous number.
    NumberEdit* every = Edit(QStringLiteral("txtSP_Nb"));
    TypeInto(every, QStringLiteral("3"));
    EXPECT_EQ(f.doc.trace.script.pauseEveryText, QStringLiteral("3"));
    TypeInto(every, QStringLiteral("0"));
    EXPECT_EQ(every->text(), QStringLiteral("3"));
    EXPECT_EQ(f.doc.trace.script.pauseEveryText, QStringLiteral("3"));
}

TEST_F(ScriptTabTest, AutoStartClockAndMillisecondsFollowEachOther) {
    SwitchGame(f.game, kGameEtPro, false);
    tab.ApplyGame();
    ASSERT_TRUE(Find<QGroupBox>(QStringLiteral("fraSAutoStart"))->isVisibleTo(&tab));
    for (int i = 0; i < 4; ++i) // 1 h 2 min 3 s 4 ms
        TypeInto(Edit(QStringLiteral("txtSAStartTime%1").arg(i)), QString::number(i + 1));
    EXPECT_EQ(Edit(QStringLiteral("txtSAStartTimeMs"))->text(), QStringLiteral("3723004"));

    TypeInto(Edit(QStringLiteral("txtSAStartTimeMs")), QStringLiteral("7384005"));
    for (int i = 0; i < 4; ++i) { // 2 h 3 min 4 s 5 ms
        EXPECT_EQ(Edit(QStringLiteral("txtSAStartTime%1").arg(i))->text(), QString::number(i + 2));
        EXPECT_EQ(Find<QScrollBar>(QStringLiteral("vsbSAStartTime%1").arg(i))->value(), i + 2);
    }
    // The spin control of the seconds moves the total.
    Find<QScrollBar>(QStringLiteral("vsbSAStartTime2"))->setValue(10);
    EXPECT_EQ(f.doc.trace.script.autoStartMsText, QStringLiteral("7390005"));

    // Switching it on marks a trace with points modified.
    f.AddControlPoints(2);
    f.doc.trace.modified = false;
    Find<QCheckBox>(QStringLiteral("chkSAStartEnabled"))->click();
    EXPECT_TRUE(f.doc.trace.modified);
}

TEST_F(ScriptTabTest, GameSwitchRefillsTheCameraModesAndGameOnlyFrames) {
    QComboBox* modes = Combo(QStringLiteral("cboCamMode"));
    EXPECT_FALSE(Find<QGroupBox>(QStringLiteral("fraSAutoStart"))->isVisibleTo(&tab));
    modes->setCurrentIndex(3);
    EXPECT_EQ(f.doc.trace.script.cameraMode, 3);
    EXPECT_TRUE(Combo(QStringLiteral("cboCmLookPlayer"))->isEnabled());

    SwitchGame(f.game, kGameEtPro, false);
    tab.ApplyGame();
    EXPECT_EQ(modes->count(), 2);
    EXPECT_EQ(modes->currentIndex(), 0);
    EXPECT_FALSE(Combo(QStringLiteral("cboCmLookPlayer"))->isEnabled());
    EXPECT_TRUE(Find<QGroupBox>(QStringLiteral("fraSAutoStart"))->isVisibleTo(&tab));

    modes->setCurrentIndex(1);
    EXPECT_EQ(tab.CameraModeTipText(), QStringLiteral("<b>Look player:</b><br>Camera view tracks "
                                                      "the specified player.<br>The specified "
                                                      "angles are ignored."));
}

QMap<QString, QByteArray> FolderBytes(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files)) {
        files.insert(info.fileName(), ReadBytes(info.filePath()));
    }
    return files;
}

TEST_F(ScriptTabTest, ButtonWritesWhatTheCommandLineWrites) {
    // A Quake 3 folder: the executable beside the mod folder.
    QTemporaryDir dir;
    QDir root(dir.path());
    root.mkpath(QStringLiteral("q3/defrag/cams"));
    QFile(root.filePath(QStringLiteral("q3/quake3"))).open(QIODevice::WriteOnly);
    const QString cams = root.filePath(QStringLiteral("q3/defrag/cams"));

    ASSERT_TRUE(LoadTraceFile(f.doc, QStringLiteral(KESTROVA_EXAMPLES "/example.dfkv")));
    UpdateCommandStates(f.doc);
    tab.Refresh();
    ASSERT_TRUE(Find<QPushButton>(QStringLiteral("cmdCreateScript"))->isEnabled());
    // Options set on the tab reach the files: messages, a pause every two files on key Q.
    tab.ToggleMessages();
    Find<QCheckBox>(QStringLiteral("chkSP_Enabled"))->click();
    TypeInto(Edit(QStringLiteral("txtSP_Nb")), QStringLiteral("2"));
    Combo(QStringLiteral("cboSP_BindKey"))
        ->setCurrentIndex(Combo(QStringLiteral("cboSP_BindKey"))->findText(QStringLiteral("Q")));
    f.doc.trace.counts.presetText[0] = QStringLiteral("3000");
    ApplyPointCount(f.doc.trace);
    const QString tracePath = dir.filePath(QStringLiteral("options.dfkv"));
    ASSERT_TRUE(WriteTraceFile(tracePath, CaptureTraceFile(f.doc.trace, f.host)));
    // Both sides start from the same file (it keeps seven significant digits of each value).
    ASSERT_TRUE(LoadTraceFile(f.doc, tracePath));
    tab.Refresh();
    EXPECT_EQ(Combo(QStringLiteral("cboSP_BindKey"))->property("tag").toString(),
              QStringLiteral("Q"));

    // A cancelled save dialog writes nothing and says nothing.
    EXPECT_EQ(tab.CreateScript().status, ScriptWriteStatus::NotChosen);
    EXPECT_TRUE(f.dialogs.messages.isEmpty());
    EXPECT_TRUE(QDir(cams).isEmpty());

    UniformRandom rng(7);
    tab.SetRandom(&rng);
    f.dialogs.paths.push_back(cams + QStringLiteral("/fly.cfg"));
    Find<QPushButton>(QStringLiteral("cmdCreateScript"))->click();
    EXPECT_EQ(f.game.Current().DftPathCfg, cams);
    ASSERT_EQ(f.dialogs.messages.size(), 1) << f.dialogs.messages.value(0).text.toStdString();
    EXPECT_TRUE(f.dialogs.messages[0].title.startsWith(QStringLiteral("Script creation in ")));
    const QMap<QString, QByteArray> editor = FolderBytes(cams);
    ASSERT_GE(editor.size(), 3); // 1stPos, fly and chained files
    EXPECT_TRUE(editor.value(QStringLiteral("fly001.cfg")).contains("wait;bind Q \"Exec "));

    QDir(cams).removeRecursively();
    root.mkpath(QStringLiteral("q3/defrag/cams"));
    const CliResult cli =
        RunCli({QStringLiteral("script"), tracePath, QStringLiteral("-o"),
                cams + QStringLiteral("/fly.cfg"), QStringLiteral("--seed"), QStringLiteral("7")});
    ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
    const QMap<QString, QByteArray> command = FolderBytes(cams);
    EXPECT_EQ(command.keys(), editor.keys());
    for (const QString& name : editor.keys())
        EXPECT_TRUE(command.value(name) == editor.value(name)) << name.toStdString();
}

} // namespace
} // namespace kestrova::test
