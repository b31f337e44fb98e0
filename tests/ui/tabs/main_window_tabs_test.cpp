// The tool tabs inside the main window: shortcuts, game switch, loading and the Trace menu.
#include "core/model/point_table_ops.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "ui/frm_notes.h"
#include "ui/main_window.h"
#include "ui/points_grid.h"
#include "ui/tabs/number_edit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

class ToolTabsInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        w.SetDialogs(&dialogs);
        w.Form_Load({QString(), false});
    }
    bool Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, key, mods);
        return w.Form_KeyDown(&e);
    }
    template <typename T> T* Find(const char* name) {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    test::TempRegistry registry;
    test::ScriptedDialogs dialogs;
    FrmMain w;
};

TEST_F(ToolTabsInWindow, TabsAreCaptionedAndFollowTheLanguage) {
    auto* tabs = Find<QTabWidget>("tabTools");
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Curve"));
    EXPECT_EQ(Find<QPushButton>("cmdCreateScript")->text(), QStringLiteral("Create..."));
    EXPECT_EQ(Find<QGroupBox>("fraS_Duration")->title(), QStringLiteral("Duration"));
    w.mnuVL_Lang_Click(1);
    EXPECT_EQ(Find<QCheckBox>("chkSP_Enabled")->text(), fStrEx(61, kLanguageFrench));
    EXPECT_EQ(w.Notes()->windowTitle(), QStringLiteral(" ") + fStrEx(590, kLanguageFrench));
    w.mnuVL_Lang_Click(0);
}

TEST_F(ToolTabsInWindow, ShortcutsReachTheTabsAndTheNotes) {
    auto* messages = Find<QCheckBox>("chkSIncConMsg");
    const bool before = messages->isChecked();
    EXPECT_TRUE(Key(Qt::Key_M, Qt::ControlModifier));
    EXPECT_NE(messages->isChecked(), before);
    EXPECT_EQ(w.CurrentTrace().script.includeMsg, !before);

    EXPECT_TRUE(Key(Qt::Key_F2));
    EXPECT_TRUE(w.Notes()->isVisible());
    EXPECT_TRUE(Key(Qt::Key_F2));
    EXPECT_FALSE(w.Notes()->isVisible());

    // Ctrl+Space does nothing while the script cannot be made, then opens the save dialog.
    Key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty());
    for (int i = 0; i < 3; ++i)
        AppendPointXYZ(w.CurrentTrace(), kControl, i * 100.0, 0, 0, std::nullopt, false);
    w.PointsEdited();
    EXPECT_TRUE(Find<QPushButton>("cmdCreateScript")->isEnabled());
    Key(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_EQ(dialogs.fileDialogs[0].request.title, fStr(300));
}

TEST_F(ToolTabsInWindow, SwitchingTheGameShowsItsOwnControls) {
    ASSERT_EQ(w.Games().Game(), kGameEtPro);
    auto* autoStart = Find<QGroupBox>("fraSAutoStart");
    auto* speed = Find<NumberEdit>("txtTransSpeed");
    // The tab pages themselves are hidden until chosen: only the controls' own state counts.
    EXPECT_FALSE(autoStart->isHidden());
    EXPECT_TRUE(speed->isHidden());
    EXPECT_EQ(Find<QComboBox>("cboCamMode")->count(), 2);

    w.mnuTM_Mod_Click(kGameDefrag);
    EXPECT_TRUE(autoStart->isHidden());
    EXPECT_FALSE(speed->isHidden());
    EXPECT_EQ(Find<QComboBox>("cboCamMode")->count(), 4);
    EXPECT_EQ(Find<QComboBox>("cboAviDemo")->count(), 7);
}

TEST_F(ToolTabsInWindow, ALoadedTraceShowsItsOptionsAndNotes) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("noted.ep3t"));
    for (int i = 0; i < 5; ++i)
        AppendPointXYZ(w.CurrentTrace(), kControl, i * 100.0, 0, 0, std::nullopt, false);
    w.CurrentTrace().counts.presetText[0] = QStringLiteral("301");
    w.CurrentTrace().notes = QStringLiteral("take two");
    w.CurrentTrace().script.autoStartMsText = QStringLiteral("61500");
    w.PointsEdited();
    dialogs.paths = {path};
    w.Action(QStringLiteral("mnuT_Save"))->trigger();
    w.Action(QStringLiteral("mnuT_New"))->trigger();
    EXPECT_EQ(Find<NumberEdit>("txtSAStartTimeMs")->text(), QStringLiteral("0"));
    EXPECT_TRUE(w.CurrentTrace().notes.isEmpty());

    dialogs.paths = {path};
    w.Action(QStringLiteral("mnuT_Open"))->trigger();
    EXPECT_EQ(Find<NumberEdit>("txtSteps0")->text(), QStringLiteral("301"));
    EXPECT_EQ(Find<NumberEdit>("txtSAStartTimeMs")->text(), QStringLiteral("61500"));
    EXPECT_EQ(Find<NumberEdit>("txtSAStartTime1")->text(), QStringLiteral("1"));
    EXPECT_TRUE(w.Notes()->isVisible());
    EXPECT_EQ(w.Notes()->Text()->toPlainText(), QStringLiteral("take two"));
}

TEST_F(ToolTabsInWindow, ImportFromTheMenuFillsTheGrid) {
    w.mnuTM_Mod_Click(kGameDefrag);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pos.dfcp"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("header\r\np1: 10,20,30,5,90,0,0,100\"\r\np2: 40,50,60,-5,180,0,2,0\"\r\n");
    out.close();
    dialogs.paths = {file};
    w.Action(QStringLiteral("mnuT_Import"))->trigger();
    EXPECT_EQ(w.CurrentTrace().ControlCount(), 2);
    EXPECT_EQ(w.Grid(kControl)->rowCount() >= 2, true);
    EXPECT_TRUE(w.Action(QStringLiteral("mnuT_Export"))->isEnabled());
    EXPECT_EQ(w.Games().Current().DftPathPos, dir.path());
}

} // namespace
} // namespace kestrova::ui
