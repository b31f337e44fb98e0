#pragma once
// Where the main window puts the view, the expand box and the right panel, in client pixels.

#include <QRect>
#include <QSize>
#include <functional>

namespace kestrova::ui {

constexpr int kRightPanelWidth = 530;
constexpr int kViewTop = 30; // below a tool bar of one row
constexpr int kViewLeft = 1;
constexpr int kExpandWidth = 6; // a thin strip beside the view
constexpr int kViewMinWidth = 502;
constexpr int kViewMinHeight = 377;

struct MainLayoutInput {
    int clientWidth = 0;
    int clientHeight = 0;
    bool panelShown = true; // false while "expand" is checked
    bool view3D = false;
    bool keep4by3 = false;
    // Measured from the widgets by the window; the defaults are the classic fixed layout.
    int panelWidth = kRightPanelWidth;
    int panelMinHeight = 0;
    // The narrowest view beside the shown panel (what its tool bar needs).
    int minViewWidth = kViewMinWidth;
    // The tool bar's height at a width (it wraps onto more rows when narrow).
    std::function<int(int width)> toolBarHeight;
    // Room needed under the view beyond the captions and one row of the 3D panel, at a view
    // width (the panel wraps under a narrow view).
    std::function<int(int width)> belowViewExtra;
};

struct MainLayoutResult {
    bool valid = false; // nothing is laid out while minimised
    QRect view;
    QRect toolBar;
    QRect expandBox;
    QRect rightPanel;
    // The smallest client area in which nothing is cut off.
    QSize minimumClient;
};

MainLayoutResult ComputeMainLayout(const MainLayoutInput& in);

} // namespace kestrova::ui
