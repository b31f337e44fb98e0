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
    EXPECT_EQ(w.minimumSize(), QSize(520, 513));
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

TEST(MainLayout, ViewAndPanelFollowTheClientArea) {
    MainLayoutResult r = ComputeMainLayout({1200, 800, true, false, false});
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.view.width(), 1200 - 11 - 536);
    EXPECT_EQ(r.view.height(), 710);
    EXPECT_EQ(r.rightPanel.right() + 1, 1200); // the panel ends at the window's edge
    EXPECT_EQ(r.expandBox.x(), r.view.right() + 1 + 4);

    r = ComputeMainLayout({1200, 800, false, false, false});
    EXPECT_EQ(r.view.width(), 1200 - 14);
    r = ComputeMainLayout({600, 300, true, false, false});
    EXPECT_EQ(r.view.width(), 502);
    EXPECT_EQ(r.view.height(), 377);
    r = ComputeMainLayout({1200, 800, true, true, true}); // 653 x 710 kept at 4:3
    EXPECT_EQ(r.view.width(), 653);
    EXPECT_EQ(r.view.height(), 489);
    EXPECT_FALSE(ComputeMainLayout({1200, 0, true, false, false}).valid);
}

} // namespace
} // namespace kestrova::ui
