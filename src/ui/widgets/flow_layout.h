#pragma once
// A row of widgets that wraps onto more rows when it is too narrow. Spacings split the row into
// groups; a group moves to the next row whole unless it is wider than a row by itself.

#include <QLayout>
#include <QList>

namespace kestrova::ui {

class FlowLayout : public QLayout {
public:
    explicit FlowLayout(QWidget* parent = nullptr, int spacing = 2);
    ~FlowLayout() override;

    // A gap that also ends a group of widgets that stays together.
    void addGroupGap(int width);

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    // One row with everything.
    QSize sizeHint() const override;
    // The widest group: narrower than that, a group would have to split.
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Group {
        int first = 0;
        int last = -1; // items first..last, gaps excluded
        int width = 0;
        int height = 0;
    };
    QList<Group> Groups() const;
    int DoLayout(const QRect& rect, bool apply) const;
    static bool IsGap(QLayoutItem* item) { return item->spacerItem() != nullptr; }

    QList<QLayoutItem*> items_;
};

} // namespace kestrova::ui
