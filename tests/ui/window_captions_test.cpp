// What the window tells the user: its title, the captions in the chosen language, the tooltips,
// and the start-up order of the language and the About window.
#include "core/files/trace_file.h"
#include "core/model/point_table_ops.h"
#include "core/script/game_profile.h"
#include "core/settings/language.h"
#include "core/settings/registry.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "ui/frm_about.h"
#include "ui/main_window.h"
#include "ui/view/gl_view.h"
#include "ui/view/view_area.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

class WindowCaptions : public ::testing::Test {
protected:
    void Start() {
        w = std::make_unique<FrmMain>();
        w->SetDialogs(&dialogs);
        w->Form_Load({QString(), false});
    }
    void TearDown() override { SetLanguageOffset(kLanguageEnglish); }
    QString LabelText(const char* name) const {
        return w->findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

    test::TempRegistry registry;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<FrmMain> w;
};

TEST_F(WindowCaptions, TheTitleMarksChangesAndNamesTheGame) {
    Start();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D [ET Pro]"));
    AppendPointXYZ(w->CurrentTrace(), kControl, 1, 2, 3, std::nullopt, false);
    w->PointsEdited();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("*Kestrova 3D [ET Pro]"));

    const QString path = QDir(registry.dir()).filePath(QStringLiteral("example.ep3t"));
    dialogs.paths = {path};
    w->Action(QStringLiteral("mnuT_Save"))->trigger();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D - example [ET Pro]"));
    AppendPointXYZ(w->CurrentTrace(), kControl, 4, 5, 6, std::nullopt, false);
    w->PointsEdited();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D - *example [ET Pro]"));

    dialogs.answers = {DialogAnswer::No};
    w->mnuTM_Mod_Click(kGameDefrag);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D [Defrag]"));
}

TEST_F(WindowCaptions, SwitchingTheGameSaysThatTheTraceIsClosed) {
    Start();
    AppendPointXYZ(w->CurrentTrace(), kControl, 1, 2, 3, std::nullopt, false);
    w->PointsEdited();
    dialogs.answers = {DialogAnswer::No};
    w->mnuTM_Mod_Click(kGameDefrag);
    ASSERT_EQ(dialogs.messages.size(), 1) << "asked once";
    EXPECT_EQ(dialogs.messages[0].title,
              QStringLiteral("Change the game: the current trace is closed"));
    EXPECT_EQ(w->Games().Game(), kGameDefrag);

    w->mnuVL_Lang_Click(1);
    AppendPointXYZ(w->CurrentTrace(), kControl, 1, 2, 3, std::nullopt, false);
    w->PointsEdited();
    dialogs.answers = {DialogAnswer::Cancel};
    w->mnuTM_Mod_Click(kGameEtPro);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1].title,
              QStringLiteral("Changer de jeu : le tracé actuel est fermé"));
    EXPECT_EQ(w->Games().Game(), kGameDefrag);
    w->mnuVL_Lang_Click(0);
}

TEST_F(WindowCaptions, SwitchingTheLanguageRecaptionsTheViewAndTheLists) {
    Start();
    GlView* view = w->Views3D()->View();
    view->SelectView(0);
    w->mnuVL_Lang_Click(1);
    EXPECT_EQ(LabelText("lblPans2"), QStringLiteral("Vue X-Y"));
    EXPECT_TRUE(LabelText("lblPans0").startsWith(QStringLiteral("Éch. :")))
        << LabelText("lblPans0").toStdString();
    auto* keys = w->findChild<QComboBox*>(QStringLiteral("cboSP_BindKey"));
    EXPECT_EQ(keys->itemText(0), fStrEx(63, kLanguageFrench));
    EXPECT_EQ(w->findChild<QToolButton*>(QStringLiteral("optViews1"))->toolTip(),
              QStringLiteral("Vue X-Z"));

    w->mnuVL_Lang_Click(0);
    EXPECT_EQ(LabelText("lblPans2"), QStringLiteral("X-Y View"));
    EXPECT_TRUE(LabelText("lblPans0").startsWith(QStringLiteral("Scale:")));
    EXPECT_EQ(keys->itemText(0), QStringLiteral("-"));
}

TEST_F(WindowCaptions, TheStoredLanguageAndTheAboutWindowComeBeforeTheWindow) {
    ASSERT_TRUE(RegWriteValue(kApplicationKey, QStringLiteral("Language"), RegType::Dword, 1));
    FrmMain window;
    window.SetDialogs(&dialogs);
    window.PrepareStartup({QString(), true});
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Action(QStringLiteral("mnuT_Save"))->text(), QStringLiteral("&Sauver..."));
    ASSERT_NE(window.About(), nullptr);
    EXPECT_TRUE(window.About()->isVisible());
    EXPECT_TRUE(window.About()->IsSplash());
    // The version is the same text in both languages.
    EXPECT_EQ(window.About()->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
              QStringLiteral("Version 0.9.9.0"));
}

TEST_F(WindowCaptions, FolderTooltipsNameTheModificationFolder) {
    Start();
    // The Game tab's buttons, as far as the tooltips are concerned.
    auto* clear = new QToolButton(w.get());
    clear->setObjectName(QStringLiteral("cmdDelSShots"));
    auto* root = new QToolButton(w.get());
    root->setObjectName(QStringLiteral("cmdModSelectRoot"));
    w->ApplyTooltips();
    EXPECT_EQ(clear->toolTip(), QStringLiteral("Allows to remove the files contained in the "
                                               "'ScreenShots' folder of the MOD 'etpro'."));
    EXPECT_TRUE(root->toolTip().startsWith(
        QStringLiteral("Allows to specify the root folder of the MOD 'etpro'. Its parent folder "
                       "must contain the 'et'")))
        << root->toolTip().toStdString();

    w->Games().Current().ModPath = QStringLiteral("/games/enemy territory/etpro-3.2/");
    w->ApplyTooltips();
    EXPECT_EQ(clear->toolTip(), QStringLiteral("Allows to remove the files contained in the "
                                               "'ScreenShots' folder of the MOD 'etpro-3.2'."));
}

TEST_F(WindowCaptions, EachMenuThemePaintsTheMenusItsOwnWay) {
    Start();
    auto* display = w->findChild<QMenu*>(QStringLiteral("mnuDisplay"));
    auto paint = [&](const char* item) {
        w->Action(QString::fromLatin1(item))->trigger();
        display->adjustSize();
        return display->grab().toImage();
    };
    const QImage standard = paint("mnuVMT_Standard");
    const QImage gradient = paint("mnuVMT_Gradient");
    const QImage officeXp = paint("mnuVMT_OfficeXP");
    EXPECT_NE(standard, gradient);
    EXPECT_NE(standard, officeXp);
    EXPECT_NE(gradient, officeXp);
    EXPECT_EQ(paint("mnuVMT_Standard"), standard) << "Standard is the platform's own look again";
    EXPECT_EQ(w->CurrentSettings().menuTheme, 0);
}

TEST_F(WindowCaptions, TimesStayOnAndRefreshRepaintsTheView) {
    Start();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    GlView* view = w->Views3D()->View();
    // Zoomed in far: the time labels are off the screen, the item stays as the user left it.
    for (int i = 0; i < 3; ++i)
        AppendPointXYZ(w->CurrentTrace(), kControl, i * 5000.0, 0, 0, std::nullopt, false);
    w->PointsEdited();
    view->SelectView(3);
    QTest::qWait(50);
    view->SelectView(0);
    QTest::qWait(50);
    QAction* times = w->Action(QStringLiteral("mnuV_ShowTimes"));
    EXPECT_TRUE(times->isChecked());
    EXPECT_TRUE(times->isEnabled());
    EXPECT_TRUE(w->CurrentSettings().showTimes);

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    QTest::qWait(50);
    view->installEventFilter(&counter);
    w->Action(QStringLiteral("mnuV_Refresh"))->trigger();
    QTest::qWait(100);
    view->removeEventFilter(&counter);
    EXPECT_GE(counter.paints, 1);
}

} // namespace
} // namespace kestrova::ui
