// The window at its smallest and on a small screen: no button, check box or column is cut off;
// where the view, the panel and the tool bar go for a client area.

#include "support/main_window_fixture.h"
#include "ui/main_layout.h"

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

// Why a widget does not show whole, or nothing.
QString CutOff(const QWidget* w, const QWidget* window) {
    const QString name = w->objectName().isEmpty()
                             ? QString::fromLatin1(w->metaObject()->className())
                             : w->objectName();
    QRect shown(w->mapTo(window, QPoint(0, 0)), w->size());
    const QRect whole = shown;
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        shown &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
        if (p == window)
            break;
    }
    if (shown != whole)
        return QStringLiteral("%1 clipped to %2x%3 of %4x%5")
            .arg(name)
            .arg(shown.width())
            .arg(shown.height())
            .arg(whole.width())
            .arg(whole.height());
    // Buttons with a caption show all of it (the expand strip has none).
    auto* b = qobject_cast<const QAbstractButton*>(w);
    if (b && !b->text().isEmpty()) {
        const QSize hint = b->sizeHint();
        if (w->width() < hint.width() || w->height() < std::min(hint.height(), 16))
            return QStringLiteral("%1 \"%2\" squeezed to %3 wide, needs %4")
                .arg(name, b->text())
                .arg(w->width())
                .arg(hint.width());
    }
    return {};
}

QStringList CutOffWidgets(FrmMain& window) {
    QStringList problems;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window) || w->window() != &window)
            continue;
        // Buttons that belong to a table or the tab bar (corner, scroll arrows) are theirs.
        const QWidget* owner = w->parentWidget();
        if (qobject_cast<const QAbstractItemView*>(owner) || qobject_cast<const QTabBar*>(owner))
            continue;
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<PointsGrid*>(w) ||
            qobject_cast<GlView*>(w) || w->objectName() == QStringLiteral("tabTools")) {
            if (const QString why = CutOff(w, &window); !why.isEmpty())
                problems << why;
        }
    }
    for (int kind : {kControl, kReference}) {
        const PointsGrid* grid = window.Grid(kind);
        const QHeaderView* header = grid->horizontalHeader();
        const QFontMetrics fm(header->font());
        for (int c = 0; c < grid->columnCount(); ++c) {
            const QString caption = grid->horizontalHeaderItem(c)->text();
            if (header->sectionSize(c) < fm.horizontalAdvance(caption) + 2)
                problems << QStringLiteral("%1 column %2 \"%3\" is %4 wide")
                                .arg(grid->objectName())
                                .arg(c)
                                .arg(caption)
                                .arg(header->sectionSize(c));
        }
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
