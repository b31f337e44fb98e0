#include "ui/main_window/main_layout.h"

#include <algorithm>

namespace kestrova::ui {

namespace {

int ToolBarHeight(const MainLayoutInput& in, int width) {
    const int oneRow = kViewTop - 4;
    return in.toolBarHeight ? std::max(in.toolBarHeight(width), oneRow) : oneRow;
}

} // namespace

MainLayoutResult ComputeMainLayout(const MainLayoutInput& in) {
    MainLayoutResult r;
    // Beside the panel the view may be narrower than alone, so that the window still fits a
    // small screen; its tool bar then wraps.
    const int panelRoom = in.panelShown ? in.panelWidth + 6 : 3;
    const int minWidth = in.panelShown ? in.minViewWidth : std::max(in.minViewWidth, kViewMinWidth);
    const int narrowTop = 2 + ToolBarHeight(in, minWidth + 7) + 2;
    const auto extraBelow = [&in](int width) {
        return in.belowViewExtra ? std::max(in.belowViewExtra(width), 0) : 0;
    };
    r.minimumClient =
        QSize(minWidth + 11 + panelRoom,
              std::max(narrowTop - kViewTop + kViewMinHeight + 90 + extraBelow(minWidth),
                       in.panelShown ? in.panelMinHeight + 4 : 0));
    if (in.clientHeight < 1)
        return r;
    int width = std::max(in.clientWidth - 11 - panelRoom, minWidth);
    const int barHeight = ToolBarHeight(in, width + 7);
    const int top = 2 + barHeight + 2;
    const int barWidth = width + 7; // kept when 4:3 narrows the view, so it wraps no further
    int height =
        std::max(in.clientHeight - 90 - extraBelow(width) - (top - kViewTop), kViewMinHeight);
    if (in.view3D && in.keep4by3) {
        if (height * 4 / 3 > width)
            height = width * 3 / 4;
        else
            width = height * 4 / 3;
    }
    r.valid = true;
    r.view = QRect(kViewLeft, top, width, height);
    r.toolBar = QRect(kViewLeft, 2, barWidth, barHeight);
    r.expandBox = QRect(r.view.right() + 1 + 4, top, kExpandWidth, height);
    r.rightPanel =
        QRect(r.expandBox.right() + 1 + 6, 2, in.panelWidth, std::max(in.clientHeight - 4, 1));
    return r;
}

} // namespace kestrova::ui
