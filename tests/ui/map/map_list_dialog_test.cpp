#include "ui/map/map_list_dialog.h"

#include "support/scoped_locale.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

using ui::MapListDialog;

MapListRequest Request() {
    return {QStringLiteral("Load a map"),
            QStringLiteral("/games/baseq3"),
            {QStringLiteral("oa_dm1.bsp"), QStringLiteral("oa_dm2.bsp"),
             QStringLiteral("q3dm17.bsp"), QStringLiteral("Q3TOURNEY2.bsp")},
            QStringLiteral("q3dm17.bsp")};
}

QString CountCaption(const MapListDialog& d) {
    for (QLabel* label : d.findChildren<QLabel*>())
        if (label->text().contains(QStringLiteral("/games/baseq3")))
            return label->text();
    return {};
}

TEST(MapListDialog, TheFilterNarrowsAndEnterTakesTheFirstMatch) {
    ScopedLocale locale{QLocale::c()};
    MapListDialog d(Request());
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    EXPECT_EQ(d.List()->currentItem()->text(), QStringLiteral("q3dm17.bsp"));
    EXPECT_EQ(CountCaption(d), QStringLiteral("4 maps in /games/baseq3"));

    QTest::keyClicks(d.Filter(), QStringLiteral("Q3"));
    EXPECT_EQ(d.VisibleMaps(), QStringList({"q3dm17.bsp", "Q3TOURNEY2.bsp"}));
    EXPECT_EQ(d.List()->currentItem()->text(), QStringLiteral("q3dm17.bsp")); // still shown

    d.Filter()->setText(QStringLiteral("oa_dm1"));
    EXPECT_EQ(CountCaption(d), QStringLiteral("1 map in /games/baseq3"));
    d.Filter()->setText(QStringLiteral("zz"));
    EXPECT_TRUE(d.VisibleMaps().isEmpty());
    EXPECT_EQ(CountCaption(d), QStringLiteral("0 maps in /games/baseq3"));
    QTest::keyClick(d.Filter(), Qt::Key_Return); // nothing to take: the dialog stays
    EXPECT_TRUE(d.isVisible());

    d.Filter()->setText(QStringLiteral("dm2"));
    QTest::keyClick(d.Filter(), Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Choice().kind, MapChoice::Kind::Map);
    EXPECT_EQ(d.Choice().name, QStringLiteral("oa_dm2.bsp"));
}

TEST(MapListDialog, LooseFileGameFolderAndCancelAreNoMap) {
    MapListDialog browse(Request());
    browse.show();
    browse.BrowseButton()->click();
    EXPECT_EQ(browse.Choice().kind, MapChoice::Kind::Browse);

    MapListDialog folder(Request());
    folder.show();
    folder.FolderButton()->click();
    EXPECT_EQ(folder.Choice().kind, MapChoice::Kind::Folder);

    MapListDialog cancel(Request());
    cancel.show();
    QTest::keyClick(cancel.Filter(), Qt::Key_Escape);
    EXPECT_EQ(cancel.Choice().kind, MapChoice::Kind::Cancel);
}

} // namespace
} // namespace kestrova::test
