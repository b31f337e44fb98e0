// The window at its smallest and on a small screen: no button, check box or column is cut off.

#include "support/scripted_dialogs.h"
#include "support/temp_registry.h"
#include "ui/main_window.h"
#include "ui/points_grid.h"
#include "ui/view/gl_view.h"
#include "ui/view/view_area.h"

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

class MainWindowLayout : public ::testing::Test {
protected:
    void SetUp() override {
        w = std::make_unique<FrmMain>();
        w->SetDialogs(&dialogs);
        w->Form_Load({QString(), false});
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    }
    void ResizeTo(QSize size) {
        w->resize(size);
        QApplication::processEvents();
        QTest::qWait(20);
    }

    test::TempRegistry registry;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<FrmMain> w;
};

TEST_F(MainWindowLayout, TheSmallestWindowFitsASmallScreen) {
    const QSize minimum = w->minimumSize();
    EXPECT_GE(minimum.width(), 520);
    EXPECT_GE(minimum.height(), 513);
    EXPECT_LE(minimum.width(), 1024);
    EXPECT_LE(minimum.height(), 768);
    // Asked for less, the window keeps its minimum.
    ResizeTo(QSize(400, 300));
    EXPECT_EQ(w->size(), minimum);
}

TEST_F(MainWindowLayout, NothingIsCutAtTheSmallestSizeNorAt1024x768) {
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("tabTools"));
    ASSERT_NE(tabs, nullptr);
    GlView* view = w->Views3D()->View();
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
    w->mnuVL_Lang_Click(0);
}

TEST_F(MainWindowLayout, TheExpandedViewNeedsLessRoom) {
    const QSize withPanel = w->minimumSize();
    auto* expand = w->findChild<QAbstractButton*>(QStringLiteral("chkExpand"));
    ASSERT_NE(expand, nullptr);
    expand->click();
    QApplication::processEvents();
    EXPECT_LT(w->minimumSize().width(), withPanel.width());
    ResizeTo(w->minimumSize());
    EXPECT_TRUE(CutOffWidgets(*w).isEmpty())
        << CutOffWidgets(*w).join(QLatin1Char('\n')).toStdString();
    expand->click();
    QApplication::processEvents();
    EXPECT_EQ(w->minimumSize(), withPanel);
}

} // namespace
} // namespace kestrova::ui
