#include "ui/main_window.h"

#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

TEST(MainWindow, KeepsItsMinimumSizeAndPanels) {
    FrmMain w;
    EXPECT_EQ(w.minimumSize(), QSize(520, 513));
    EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("fraRight")), nullptr);
    EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("picView")), nullptr);
}

} // namespace
} // namespace kestrova::ui
