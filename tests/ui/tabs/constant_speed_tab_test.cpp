// The Curve tab's constant-speed box inside the main window: language, undo, saving.
#include "core/model/point_table_ops.h"
#include "core/path/point_count.h"
#include "core/settings/language.h"
#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

class ConstantSpeedBox : public ::testing::Test {
protected:
    void SetUp() override {
        w.SetDialogs(&dialogs);
        w.Form_Load({QString(), false});
        box = w.findChild<QCheckBox*>(QStringLiteral("chkConstantSpeed"));
        ASSERT_NE(box, nullptr);
        // Tight then wide: as built, the camera crawls through the first bends.
        const double points[][3] = {
            {0, 0, 0}, {40, 10, 0}, {60, 60, 20}, {600, 300, 100}, {640, 280, 0}};
        for (const auto& p : points)
            AppendPointXYZ(w.CurrentTrace(), kControl, p[0], p[1], p[2], std::nullopt, false);
        w.CurrentTrace().counts.presetText[0] = QStringLiteral("401");
        ApplyPointCount(w.CurrentTrace());
        w.PointsEdited();
    }
    // Largest over smallest step of the path.
    double Spread() const {
        const auto& path = const_cast<FrmMain&>(w).CurrentTrace().path;
        if (path.size() < 2)
            return HUGE_VAL;
        double lo = HUGE_VAL, hi = 0;
        for (size_t i = 1; i < path.size(); ++i) {
            const double s = std::hypot(path[i].x - path[i - 1].x, path[i].y - path[i - 1].y,
                                        path[i].z - path[i - 1].z);
            lo = std::min(lo, s);
            hi = std::max(hi, s);
        }
        return hi / lo;
    }

    test::TempRegistry registry;
    test::ScriptedDialogs dialogs;
    FrmMain w;
    QCheckBox* box = nullptr;
};

TEST_F(ConstantSpeedBox, CaptionFollowsTheLanguage) {
    EXPECT_EQ(box->text(), QStringLiteral("Constant speed"));
    w.mnuVL_Lang_Click(1);
    EXPECT_EQ(box->text(), QStringLiteral("Vitesse constante"));
    w.mnuVL_Lang_Click(0);
    EXPECT_FALSE(box->toolTip().isEmpty());
}

TEST_F(ConstantSpeedBox, TickingRebuildsTheSamePointsEvenlyAndCanBeUndone) {
    Trace& t = w.CurrentTrace();
    ASSERT_EQ(t.pathUpper, 400);
    EXPECT_GT(Spread(), 3.0);
    t.modified = false;

    box->click();
    EXPECT_TRUE(t.points.constantSpeed);
    EXPECT_TRUE(t.modified);
    EXPECT_TRUE(w.windowTitle().contains(QLatin1Char('*')));
    EXPECT_EQ(t.pathUpper, 400);
    EXPECT_LT(Spread(), 1.02);
    ASSERT_TRUE(w.Action(QStringLiteral("mnuE_Undo"))->isEnabled());

    w.Action(QStringLiteral("mnuE_Undo"))->trigger();
    EXPECT_FALSE(t.points.constantSpeed);
    EXPECT_FALSE(box->isChecked());
    EXPECT_GT(Spread(), 3.0);
    w.Action(QStringLiteral("mnuE_Redo"))->trigger();
    EXPECT_TRUE(box->isChecked());
    EXPECT_LT(Spread(), 1.02);
}

TEST_F(ConstantSpeedBox, SavedWithTheTraceAndClearedByANewOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("even.ep3t"));
    box->click();
    dialogs.paths = {path};
    w.Action(QStringLiteral("mnuT_Save"))->trigger();
    w.Action(QStringLiteral("mnuT_New"))->trigger();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(w.CurrentTrace().points.constantSpeed);

    dialogs.paths = {path};
    w.Action(QStringLiteral("mnuT_Open"))->trigger();
    EXPECT_TRUE(box->isChecked());
    EXPECT_LT(Spread(), 1.02);
    EXPECT_FALSE(w.CurrentTrace().modified);
}

} // namespace
} // namespace kestrova::ui
