// What the window tells the user: its title, the captions and tooltips in the chosen language,
// Qt's own texts, the menu themes and the start-up order of the language and the About window.
#include "core/map/bsp_builder.h"
#include "core/script/game_profile.h"
#include "core/settings/registry.h"
#include "support/main_window_fixture.h"
#include "support/test_files.h"
#include "ui/captions.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/notes_window.h"
#include "ui/view/map_controller.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace kestrova::ui {
namespace {

class WindowCaptions : public test::MainWindowFixture {
protected:
    // Texts of a fresh box's buttons, as a message box or a dialog of ours would show them.
    static QStringList QtButtons() {
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::Cancel);
        return {box.button(QDialogButtonBox::Yes)->text(),
                box.button(QDialogButtonBox::Cancel)->text()};
    }
    static QString QtLookIn() {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
        return label ? label->text() : QStringLiteral("(no label)");
    }
};

TEST_F(WindowCaptions, SwitchingTheLanguageRecaptionsEveryControlAndQt) {
    Start();
    View()->SelectView(0);
    auto* tabs = Find<QTabWidget>("tabTools");
    auto* keys = Find<QComboBox>("cboSP_BindKey");
    // The caption a control shows: its text or title, or its tooltip.
    auto shown = [this](const char* name, const char* property) {
        QObject* o = w->findChild<QObject*>(QString::fromLatin1(name));
        return o ? o->property(property).toString() : QStringLiteral("(none)");
    };
    const struct {
        const char* name;
        const char* property;
        QString english, french;
    } rows[] = {
        {"mnuE_Undo", "text", QStringLiteral("&Undo"), QStringLiteral("Ann&uler")},
        {"cmdCreateScript", "text", QStringLiteral("Create..."), QStringLiteral("Créer...")},
        {"fraS_Duration", "title", QStringLiteral("Duration"), QStringLiteral("Durée")},
        {"chkSP_Enabled", "text", QStringLiteral("Stop every            scripts"),
         QStringLiteral("Arrêt tous les       scripts")},
        {"cmdInvert", "text", QStringLiteral("Invert"), QStringLiteral("Intervertit")},
        {"lblPans2", "text", QStringLiteral("X-Y View"), QStringLiteral("Vue X-Y")},
        {"cmdInvert", "toolTip", QStringLiteral("Inverts the starting and ending point."),
         QStringLiteral("Intervertit le point de départ et de fin.")},
        {"optViews1", "toolTip", QStringLiteral("X-Z View"), QStringLiteral("Vue X-Z")},
        {"lblSCmdsAfter", "text", QStringLiteral("After"), QStringLiteral("Après")},
        {"mnuEdit", "title", QStringLiteral("&Edit"), QStringLiteral("&Édition")},
    };
    for (int language : {1, 0}) {
        w->mnuVL_Lang_Click(language);
        EXPECT_EQ(w->CheckedLanguageIndex(), language);
        for (const auto& r : rows)
            EXPECT_EQ(shown(r.name, r.property), language ? r.french : r.english)
                << r.name << " " << r.property << " in language " << language;
        EXPECT_EQ(tabs->tabText(1), language ? QStringLiteral("Courbe") : QStringLiteral("Curve"));
        EXPECT_EQ(keys->itemText(0), language ? QStringLiteral("' ? ´") : QStringLiteral("-"));
        // The first items of lists that hold the game's own names besides.
        const QString none = language ? QStringLiteral("<aucun>") : QStringLiteral("<none>");
        EXPECT_EQ(Find<QComboBox>("cboSCmdsBefore")->itemText(0), none);
        EXPECT_EQ(Find<QComboBox>("cboGConfigs")->itemText(0), none);
        EXPECT_EQ(Find<QComboBox>("cboCamMode")->itemText(0), language ? "Libre" : "Free");
        EXPECT_TRUE(
            Find<QLabel>("lblPans0")
                ->text()
                .startsWith(language ? QStringLiteral("Éch. :") : QStringLiteral("Scale:")));
        // Qt's own buttons and file dialog follow; no French is left over once back in English.
        EXPECT_EQ(QtButtons(),
                  language ? (QStringList{QStringLiteral("&Oui"), QStringLiteral("Annuler")})
                           : (QStringList{QStringLiteral("&Yes"), QStringLiteral("Cancel")}));
        EXPECT_EQ(QtLookIn(),
                  language ? QStringLiteral("Voir dans :") : QStringLiteral("Look in:"));
    }

    // Every bound control that exists shows the French of its binding.
    w->mnuVL_Lang_Click(1);
    EXPECT_EQ(LanguageOffset(), kLanguageFrench);
    int checked = 0;
    for (const CaptionBinding& b : LanguageCaptions()) {
        const QString name = QString::fromLatin1(b.objectName);
        QString text;
        if (auto* a = w->findChild<QAction*>(name))
            text = a->text();
        else if (auto* m = w->findChild<QMenu*>(name))
            text = m->title();
        else if (name.startsWith(QLatin1String("tabTools")))
            text = tabs->tabText(name.back().digitValue());
        else
            continue;
        EXPECT_EQ(text, fStrEx(b.id, kLanguageFrench)) << b.objectName;
        ++checked;
    }
    EXPECT_GE(checked, 36);
}

TEST_F(WindowCaptions, TheTitleMarksChangesAndASwitchOfGameAsksFirst) {
    Start();
    AddPoints(kControl, 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("*Kestrova 3D [ET Pro]"));
    dialogs.paths = {Path("example.ep3t"), Path("example.ep3t")};
    Trigger("mnuT_Save");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D - example [ET Pro]"));
    // The map's name is saved with the trace: loading one is a change the title shows.
    test::WriteFile(Path("room.bsp"), test::RoomWithPatch().Build());
    w->Games().Current().DftPathBsp = registry.dir();
    Show(); // the map's lists are built in the view's context
    ASSERT_TRUE(w->Views3D()->Map()->LoadMap(QStringLiteral("room.bsp")));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D - *example [ET Pro]"));
    Trigger("mnuT_Save");
    AddPoints(kControl, 1);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D - *example [ET Pro]"));

    // Cancel keeps the game and the trace; No starts the other game's new trace.
    dialogs.answers = {DialogAnswer::Cancel, DialogAnswer::No};
    w->mnuTM_Mod_Click(kGameDefrag);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].title,
              QStringLiteral("Change the game: the current trace is closed"));
    EXPECT_TRUE(Action("mnuTM_Mod0")->isChecked());
    EXPECT_EQ(w->CurrentTrace().ControlCount(), 2);
    w->mnuTM_Mod_Click(kGameDefrag);
    EXPECT_TRUE(Action("mnuTM_Mod1")->isChecked());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Kestrova 3D [Defrag]"));

    w->mnuVL_Lang_Click(1);
    AddPoints(kControl, 1);
    dialogs.answers = {DialogAnswer::Cancel};
    w->mnuTM_Mod_Click(kGameEtPro);
    ASSERT_EQ(dialogs.messages.size(), 3);
    EXPECT_EQ(dialogs.messages[2].title,
              QStringLiteral("Changer de jeu : le tracé actuel est fermé"));
    EXPECT_EQ(w->Games().Game(), kGameDefrag);
}

TEST_F(WindowCaptions, TheStoredLanguageAndTheAboutWindowComeBeforeTheWindow) {
    ASSERT_TRUE(RegWriteValue(kApplicationKey, QStringLiteral("Language"), RegType::Dword, 1));
    w = std::make_unique<FrmMain>();
    w->SetDialogs(&dialogs);
    w->PrepareStartup({QString(), true});
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(Action("mnuT_Save")->text(), QStringLiteral("&Sauver..."));
    EXPECT_EQ(QtButtons(), (QStringList{QStringLiteral("&Oui"), QStringLiteral("Annuler")}));
    ASSERT_NE(w->About(), nullptr);
    EXPECT_TRUE(w->About()->isVisible());
    EXPECT_TRUE(w->About()->IsSplash());
    // The version is the same text in both languages.
    EXPECT_EQ(w->About()->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
              QStringLiteral("Version 0.9.9.0"));
}

TEST_F(WindowCaptions, FolderTooltipsNameTheModificationFolder) {
    Start();
    // The Game tab's button, as far as the tooltips are concerned.
    auto* clear = new QToolButton(w.get());
    clear->setObjectName(QStringLiteral("cmdDelSShots"));
    w->ApplyTooltips();
    EXPECT_EQ(clear->toolTip(), QStringLiteral("Allows to remove the files contained in the "
                                               "'ScreenShots' folder of the MOD 'etpro'."));

    w->Games().Current().ModPath = QStringLiteral("/games/enemy territory/etpro-3.2/");
    w->ApplyTooltips();
    EXPECT_EQ(clear->toolTip(), QStringLiteral("Allows to remove the files contained in the "
                                               "'ScreenShots' folder of the MOD 'etpro-3.2'."));
}

TEST_F(WindowCaptions, EachMenuThemePaintsTheMenusItsOwnWay) {
    Start();
    auto* display = Find<QMenu>("mnuDisplay");
    auto paint = [&](const char* item) {
        Trigger(item);
        display->adjustSize();
        return display->grab().toImage();
    };
    const QImage standard = paint("mnuVMT_Standard");
    const QImage gradient = paint("mnuVMT_Gradient");
    EXPECT_NE(standard, gradient);
    EXPECT_NE(paint("mnuVMT_OfficeXP"), gradient);
    EXPECT_EQ(paint("mnuVMT_Standard"), standard) << "Standard is the platform's own look again";
}

TEST_F(WindowCaptions, TimesStayOnAndRefreshRepaintsTheView) {
    Start();
    Show();
    // Zoomed in far: the time labels are off the screen, the item stays as the user left it.
    for (int i = 0; i < 3; ++i)
        AppendPointXYZ(w->CurrentTrace(), kControl, i * 5000.0, 0, 0, std::nullopt, false);
    w->PointsEdited();
    View()->SelectView(3);
    QTest::qWait(50);
    View()->SelectView(0);
    QTest::qWait(50);
    EXPECT_TRUE(Action("mnuV_ShowTimes")->isChecked());
    EXPECT_TRUE(Action("mnuV_ShowTimes")->isEnabled());

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    QTest::qWait(50); // what was already due is not the refresh's
    View()->installEventFilter(&counter);
    Trigger("mnuV_Refresh");
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints >= 1; }, 5000));
    View()->removeEventFilter(&counter);
}

} // namespace
} // namespace kestrova::ui
