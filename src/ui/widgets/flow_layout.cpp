#include "ui/widgets/flow_layout.h"

#include <QSpacerItem>
#include <QWidget>
#include <algorithm>

namespace kestrova::ui {

FlowLayout::FlowLayout(QWidget* parent, int spacing) : QLayout(parent) {
    setSpacing(spacing);
}

FlowLayout::~FlowLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void FlowLayout::addGroupGap(int width) {
    addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
}

void FlowLayout::addItem(QLayoutItem* item) {
    items_.append(item);
    invalidate();
}

QLayoutItem* FlowLayout::itemAt(int index) const {
    return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}

QLayoutItem* FlowLayout::takeAt(int index) {
    if (index < 0 || index >= items_.size())
        return nullptr;
    invalidate();
    return items_.takeAt(index);
}

QList<FlowLayout::Group> FlowLayout::Groups() const {
    QList<Group> groups;
    Group g;
    g.first = 0;
    auto close = [&](int next) {
        if (g.last >= g.first)
            groups.append(g);
        g = Group{};
        g.first = next;
    };
    for (int i = 0; i < items_.size(); ++i) {
        QLayoutItem* item = items_[i];
        if (IsGap(item)) {
            close(i + 1);
            continue;
        }
        if (item->isEmpty()) // hidden widgets take no room
            continue;
        const QSize s = item->sizeHint();
        g.width += (g.last >= g.first ? spacing() : 0) + s.width();
        g.height = std::max(g.height, s.height());
        g.last = i;
    }
    close(static_cast<int>(items_.size()));
    return groups;
}

int FlowLayout::DoLayout(const QRect& rect, bool apply) const {
    const QMargins m = contentsMargins();
    const QRect area = rect.marginsRemoved(m);
    const int gap = [&] {
        for (QLayoutItem* item : items_)
            if (IsGap(item))
                return item->sizeHint().width();
        return spacing();
    }();
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    bool rowEmpty = true;
    for (const Group& g : Groups()) {
        // A group that does not fit where the row stands starts the next row.
        if (!rowEmpty && x + gap + g.width > area.right() + 1) {
            x = area.x();
            y += rowHeight + spacing();
            rowHeight = 0;
            rowEmpty = true;
        }
        if (!rowEmpty)
            x += gap;
        bool first = true;
        for (int i = g.first; i <= g.last; ++i) {
            QLayoutItem* item = items_[i];
            if (IsGap(item) || item->isEmpty())
                continue;
            const QSize s = item->sizeHint();
            if (!first)
                x += spacing();
            // Only a group wider than a whole row breaks inside.
            if (!first && x + s.width() > area.right() + 1) {
                x = area.x();
                y += rowHeight + spacing();
                rowHeight = 0;
            }
            if (apply)
                item->setGeometry(QRect(QPoint(x, y + (g.height - s.height()) / 2), s));
            x += s.width();
            rowHeight = std::max(rowHeight, g.height);
            first = false;
        }
        rowEmpty = false;
    }
    return y + rowHeight - rect.y() + m.bottom();
}

int FlowLayout::heightForWidth(int width) const {
    return DoLayout(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::sizeHint() const {
    const QMargins m = contentsMargins();
    int width = 0;
    int height = 0;
    bool first = true;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty() && !IsGap(item))
            continue;
        const QSize s = item->sizeHint();
        width += (first || IsGap(item) ? 0 : spacing()) + s.width();
        height = std::max(height, s.height());
        first = IsGap(item);
    }
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

QSize FlowLayout::minimumSize() const {
    const QMargins m = contentsMargins();
    int width = 0;
    int height = 0;
    for (const Group& g : Groups()) {
        width = std::max(width, g.width);
        height = std::max(height, g.height);
    }
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void FlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    DoLayout(rect, true);
}

} // namespace kestrova::ui
