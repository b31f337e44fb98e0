#include "ui/main_window.h"

#include "core/settings/language.h"
#include "ui/captions.h"
#include "ui/main_layout.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

TEST(MainWindow, KeepsItsMinimumSizeAndPanels) {
    FrmMain w;
    // Never below the classic minimum; more when the widgets need it.
    EXPECT_GE(w.minimumWidth(), 520);
    EXPECT_GE(w.minimumHeight(), 513);
    EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("fraRight")), nullptr);
    EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("picView")), nullptr);
    EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("fxgPoints0")), nullptr);
    EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("fxgPoints1")), nullptr);
}

TEST(MainWindow, SwitchingLanguageRecaptionsEveryBoundControl) {
    FrmMain w;
    w.mnuVL_Lang_Click(1);
    EXPECT_EQ(w.CheckedLanguageIndex(), 1);
    EXPECT_EQ(LanguageOffset(), kLanguageFrench);
    // Every control of the table that exists shows its French text.
    int checked = 0;
    for (const CaptionBinding& b : LanguageCaptions()) {
        const QString name = QString::fromLatin1(b.objectName);
        QString shown;
        if (auto* a = w.findChild<QAction*>(name))
            shown = a->text();
        else if (auto* m = w.findChild<QMenu*>(name))
            shown = m->title();
        else if (name.startsWith(QLatin1String("tabTools")))
            shown = w.findChild<QTabWidget*>(QStringLiteral("tabTools"))
                        ->tabText(name.back().digitValue());
        else
            continue;
        EXPECT_EQ(shown, fStrEx(b.id, kLanguageFrench)) << b.objectName;
        ++checked;
    }
    EXPECT_GE(checked, 36);
    // The game items keep their own names in every language.
    EXPECT_EQ(w.Action(QStringLiteral("mnuTM_Mod1"))->text(), QStringLiteral("&Defrag"));

    w.mnuVL_Lang_Click(0);
    EXPECT_EQ(w.Action(QStringLiteral("mnuE_Undo"))->text(), QStringLiteral("&Undo"));
    EXPECT_EQ(w.CheckedLanguageIndex(), 0);
}

MainLayoutInput In(int width, int height, bool panel, bool view3D, bool keep4by3) {
    MainLayoutInput in;
    in.clientWidth = width;
    in.clientHeight = height;
    in.panelShown = panel;
    in.view3D = view3D;
    in.keep4by3 = keep4by3;
    return in;
}

TEST(MainLayout, ViewAndPanelFollowTheClientArea) {
    MainLayoutResult r = ComputeMainLayout(In(1200, 800, true, false, false));
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.view.width(), 1200 - 11 - 536);
    EXPECT_EQ(r.view.height(), 710);
    EXPECT_EQ(r.rightPanel.right() + 1, 1200); // the panel ends at the window's edge
    EXPECT_EQ(r.expandBox.x(), r.view.right() + 1 + 4);

    r = ComputeMainLayout(In(1200, 800, false, false, false));
    EXPECT_EQ(r.view.width(), 1200 - 14);
    r = ComputeMainLayout(In(600, 300, true, false, false));
    EXPECT_EQ(r.view.width(), 502);
    EXPECT_EQ(r.view.height(), 377);
    r = ComputeMainLayout(In(1200, 800, true, true, true)); // 653 x 710 kept at 4:3
    EXPECT_EQ(r.view.width(), 653);
    EXPECT_EQ(r.view.height(), 489);
    EXPECT_FALSE(ComputeMainLayout(In(1200, 0, true, false, false)).valid);
}

TEST(MainLayout, MeasuredPanelAndWrappingToolBarSetTheMinimum) {
    MainLayoutInput in = In(1000, 700, true, false, false);
    in.panelWidth = 560;     // the panel's widgets need more than 530
    in.panelMinHeight = 600; // its grids and tabs at their smallest
    in.minViewWidth = 300;   // the tool bar's widest group
    // One row from 620 pixels on, two below.
    in.toolBarHeight = [](int width) { return width >= 620 ? 24 : 50; };
    MainLayoutResult r = ComputeMainLayout(in);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.view.width(), 1000 - 11 - 566); // 423: the bar wraps
    EXPECT_EQ(r.toolBar, QRect(1, 2, 430, 50));
    EXPECT_EQ(r.view.top(), 54); // 2 + 50 + 2 under two rows
    EXPECT_EQ(r.view.height(), 700 - 90 - 24);
    EXPECT_EQ(r.rightPanel, QRect(1000 - 560, 2, 560, 696)); // still ends at the edge
    // Smallest: the narrowest view beside the panel, the taller of the view and the panel.
    EXPECT_EQ(r.minimumClient, QSize(300 + 11 + 566, 604));

    in.panelMinHeight = 300;
    EXPECT_EQ(ComputeMainLayout(in).minimumClient.height(), 377 + 90 + 24);
    // Without the panel the view keeps the classic minimum width.
    in.panelShown = false;
    r = ComputeMainLayout(in);
    EXPECT_EQ(r.minimumClient, QSize(502 + 14, 377 + 90 + 24));
    EXPECT_EQ(r.view.width(), 1000 - 14);
    EXPECT_EQ(r.view.top(), 30);
}

} // namespace
} // namespace kestrova::ui
