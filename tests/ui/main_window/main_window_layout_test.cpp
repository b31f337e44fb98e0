// The window at its smallest and on a small screen: no button, check box or column is cut off;
// where the view, the panel and the tool bar go for a client area.

#include "support/main_window_fixture.h"
#include "ui/main_window/main_layout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

// What does not show whole: widgets clipped by a parent, buttons narrower than their caption,
// table columns narrower than their header.
QStringList CutOffWidgets(FrmMain& window) {
    QStringList problems;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const QWidget* owner = w->parentWidget();
        // Buttons that belong to a table or the tab bar (corner, scroll arrows) are theirs.
        if (!w->isVisibleTo(&window) || w->window() != &window ||
            qobject_cast<const QAbstractItemView*>(owner) || qobject_cast<const QTabBar*>(owner))
            continue;
        auto* b = qobject_cast<QAbstractButton*>(w);
        if (!b && !qobject_cast<PointsGrid*>(w) && !qobject_cast<GlView*>(w) &&
            w->objectName() != QStringLiteral("tabTools"))
            continue;
        const QString name = w->objectName().isEmpty()
                                 ? QString::fromLatin1(w->metaObject()->className())
                                 : w->objectName();
        const QRect whole(w->mapTo(&window, QPoint(0, 0)), w->size());
        QRect shown = whole;
        for (const QWidget* p = owner; p && p != &window; p = p->parentWidget())
            shown &= QRect(p->mapTo(&window, QPoint(0, 0)), p->size());
        shown &= window.rect();
        if (shown != whole)
            problems << QStringLiteral("%1 clipped to %2x%3")
                            .arg(name)
                            .arg(shown.width())
                            .arg(shown.height());
        // Buttons with a caption show all of it (the expand strip has none).
        else if (b && !b->text().isEmpty() &&
                 (w->width() < b->sizeHint().width() ||
                  w->height() < std::min(b->sizeHint().height(), 16)))
            problems
                << QStringLiteral("%1 \"%2\" squeezed to %3").arg(name, b->text()).arg(w->width());
    }
    for (int kind : {kControl, kReference}) {
        const PointsGrid* grid = window.Grid(kind);
        const QFontMetrics fm(grid->horizontalHeader()->font());
        for (int c = 0; c < grid->columnCount(); ++c)
            if (grid->horizontalHeader()->sectionSize(c) <
                fm.horizontalAdvance(grid->horizontalHeaderItem(c)->text()) + 2)
                problems << QStringLiteral("%1 column %2").arg(grid->objectName()).arg(c);
    }
    return problems;
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

class MainWindowLayout : public test::MainWindowFixture {
protected:
    void SetUp() override {
        Start();
        Show();
    }
    void ResizeTo(QSize size) {
        w->resize(size);
        QApplication::processEvents();
        QTest::qWait(20);
    }
};

TEST_F(MainWindowLayout, TheSmallestWindowFitsASmallScreenAndLessWithTheExpandedView) {
    const QSize minimum = w->minimumSize();
    EXPECT_GE(minimum.width(), 520);
    EXPECT_GE(minimum.height(), 513);
    EXPECT_LE(minimum.width(), 1024);
    EXPECT_LE(minimum.height(), 768);
    // Asked for less, the window keeps its minimum.
    ResizeTo(QSize(400, 300));
    EXPECT_EQ(w->size(), minimum);

    auto* expand = Find<QAbstractButton>("chkExpand");
    expand->click();
    QApplication::processEvents();
    EXPECT_LT(w->minimumSize().width(), minimum.width());
    ResizeTo(w->minimumSize());
    EXPECT_TRUE(CutOffWidgets(*w).isEmpty())
        << CutOffWidgets(*w).join(QLatin1Char('\n')).toStdString();
    expand->click();
    QApplication::processEvents();
    EXPECT_EQ(w->minimumSize(), minimum);
}

TEST_F(MainWindowLayout, NothingIsCutAtTheSmallestSizeNorAt1024x768) {
    auto* tabs = Find<QTabWidget>("tabTools");
    GlView* view = View();
    for (int language : {0, 1}) {
        w->mnuVL_Lang_Click(language);
        for (const QSize size : {w->minimumSize(), QSize(1024, 768)}) {
            for (int tab = 0; tab < tabs->count(); ++tab) {
                for (int v : {0, 3}) {
                    tabs->setCurrentIndex(tab);
                    view->SelectView(v);
                    ResizeTo(size.expandedTo(w->minimumSize()));
                    const QStringList problems = CutOffWidgets(*w);
                    EXPECT_TRUE(problems.isEmpty())
                        << "language " << language << ", " << w->width() << "x" << w->height()
                        << ", tab " << tab << ", view " << v << ":\n"
                        << problems.join(QLatin1Char('\n')).toStdString();
                }
            }
        }
    }
}

} // namespace
} // namespace kestrova::ui
