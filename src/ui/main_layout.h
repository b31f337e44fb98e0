#pragma once
// Where the main window puts the view, the expand box and the right panel, in client pixels.

#include <QRect>

namespace kestrova::ui {

struct MainLayoutInput {
    int clientWidth = 0;
    int clientHeight = 0;
    bool panelShown = true; // false while "expand" is checked
    bool view3D = false;
    bool keep4by3 = false;
};

struct MainLayoutResult {
    bool valid = false; // nothing is laid out while minimised
    QRect view;
    QRect toolBar;
    QRect expandBox;
    QRect rightPanel;
};

constexpr int kRightPanelWidth = 530;
constexpr int kViewTop = 30; // below the tool bar
constexpr int kViewLeft = 1;
constexpr int kExpandWidth = 6; // a thin strip beside the view

MainLayoutResult ComputeMainLayout(const MainLayoutInput& in);

} // namespace kestrova::ui
