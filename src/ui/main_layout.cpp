#include "ui/main_layout.h"

#include <algorithm>

namespace kestrova::ui {

MainLayoutResult ComputeMainLayout(const MainLayoutInput& in) {
    MainLayoutResult r;
    if (in.clientHeight < 1)
        return r;
    int width = in.clientWidth - 11 - (in.panelShown ? 536 : 3);
    width = std::max(width, 502);
    int height = std::max(in.clientHeight - 90, 377);
    if (in.view3D && in.keep4by3) {
        if (height * 4 / 3 > width)
            height = width * 3 / 4;
        else
            width = height * 4 / 3;
    }
    r.valid = true;
    r.view = QRect(kViewLeft, kViewTop, width, height);
    r.toolBar = QRect(kViewLeft, 2, width + 7, kViewTop - 4);
    r.expandBox = QRect(r.view.right() + 1 + 4, kViewTop, kExpandWidth, height);
    r.rightPanel =
        QRect(r.expandBox.right() + 1 + 6, 2, kRightPanelWidth, std::max(in.clientHeight - 4, 1));
    return r;
}

} // namespace kestrova::ui
