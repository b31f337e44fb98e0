#include "ui/map/map_list_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kestrova::ui {
namespace {

MapListRequest Request() {
    MapListRequest r;
    r.title = QStringLiteral("Load a map");
    r.folder = QStringLiteral("/games/baseoa");
    r.maps = {"aggressor.bsp", "oa_dm1.bsp", "oa_dm2.bsp", "Q3DM17.bsp"};
    r.current = QStringLiteral("oa_dm2.bsp");
    return r;
}

TEST(MapListDialog, FilterNarrowsTheListIgnoringCase) {
    const struct {
        const char* filter;
        QStringList shown;
        const char* enterTakes; // what Enter in the box loads, "" for nothing
    } cases[] = {
        {"", {"aggressor.bsp", "oa_dm1.bsp", "oa_dm2.bsp", "Q3DM17.bsp"}, "oa_dm2.bsp"},
        {"dm", {"oa_dm1.bsp", "oa_dm2.bsp", "Q3DM17.bsp"}, "oa_dm2.bsp"},
        {"DM1", {"oa_dm1.bsp", "Q3DM17.bsp"}, "oa_dm1.bsp"},
        {"  aggr ", {"aggressor.bsp"}, "aggressor.bsp"},
        {"zz", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        MapListDialog dialog(Request());
        dialog.show();
        QTest::keyClicks(dialog.Filter(), QString::fromLatin1(c.filter));
        EXPECT_EQ(dialog.VisibleMaps(), c.shown);
        QTest::keyClick(dialog.Filter(), Qt::Key_Return);
        const MapChoice choice = dialog.Choice();
        if (*c.enterTakes) {
            EXPECT_EQ(choice.kind, MapChoice::Kind::Map);
            EXPECT_EQ(choice.name, QString::fromLatin1(c.enterTakes));
        } else {
            EXPECT_EQ(choice.kind, MapChoice::Kind::Cancel);
        }
    }
}

TEST(MapListDialog, LooseFileButtonAndEscape) {
    MapListDialog browse(Request());
    browse.show();
    browse.BrowseButton()->click();
    EXPECT_EQ(browse.Choice().kind, MapChoice::Kind::Browse);

    MapListDialog cancel(Request());
    cancel.show();
    QTest::keyClick(cancel.Filter(), Qt::Key_Escape);
    EXPECT_EQ(cancel.Choice().kind, MapChoice::Kind::Cancel);
}

} // namespace
} // namespace kestrova::ui
