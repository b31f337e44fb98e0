#include "ui/dialogs/clearance_window.h"

#include "core/map/clearance.h"
#include "core/numbers.h"
#include "core/settings/language.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
constexpr int kTitle = 732;
constexpr int kDistanceCaption = 733;
constexpr int kColumns = 734; // four captions from here
constexpr int kInside = 738;
constexpr int kNear = 739;
constexpr int kNoMap = 740;
constexpr int kAllClear = 741;
constexpr int kStretches = 742;
constexpr int kBrushError = 743;
constexpr int kChecking = 744;
constexpr int kSkipped = 745;
} // namespace

ClearanceWindow::ClearanceWindow(const Trace& trace, QWidget* owner)
    : QWidget(owner, Qt::Tool), trace_(trace) {
    setObjectName(QStringLiteral("ClearanceWindow"));
    lblClrDistance_ = new QLabel(this);
    lblClrDistance_->setObjectName(QStringLiteral("lblClrDistance"));
    txtClrDistance_ = new QDoubleSpinBox(this);
    txtClrDistance_->setObjectName(QStringLiteral("txtClrDistance"));
    txtClrDistance_->setRange(0, kMaxClearance);
    txtClrDistance_->setDecimals(0);
    txtClrDistance_->setValue(kDefaultClearance);
    lstClearance_ = new QTreeWidget(this);
    lstClearance_->setObjectName(QStringLiteral("lstClearance"));
    lstClearance_->setRootIsDecorated(false);
    lstClearance_->setColumnCount(4);
    lstClearance_->setUniformRowHeights(true);
    lstClearance_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    lblClrSummary_ = new QLabel(this);
    lblClrSummary_->setObjectName(QStringLiteral("lblClrSummary"));
    lblClrSummary_->setWordWrap(true);

    auto* row = new QHBoxLayout;
    row->addWidget(lblClrDistance_);
    row->addWidget(txtClrDistance_);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(row);
    layout->addWidget(lstClearance_, 1);
    layout->addWidget(lblClrSummary_);
    resize(380, 300);
    ApplyLanguage();

    connect(txtClrDistance_, &QDoubleSpinBox::valueChanged, this,
            &ClearanceWindow::DistanceChanged);
    auto go = [this](QTreeWidgetItem* item) {
        if (item)
            emit GoTo(item->data(0, Qt::UserRole).toInt());
    };
    connect(lstClearance_, &QTreeWidget::itemActivated, this, go);
}

void ClearanceWindow::ApplyLanguage() {
    setWindowTitle(QStringLiteral(" ") + fStr(kTitle));
    lblClrDistance_->setText(fStr(kDistanceCaption));
    QStringList headers;
    for (int i = 0; i < 4; ++i)
        headers << fStr(kColumns + i);
    lstClearance_->setHeaderLabels(headers);
    Fill();
}

void ClearanceWindow::Show(const ClearanceReport* report, const QString& brushError,
                           bool checking) {
    hasReport_ = report != nullptr;
    checking_ = checking;
    report_ = report ? *report : ClearanceReport{};
    brushError_ = brushError;
    Fill();
}

void ClearanceWindow::Fill() {
    lstClearance_->clear();
    if (!hasReport_) {
        lblClrSummary_->setText(checking_               ? fStr(kChecking)
                                : brushError_.isEmpty() ? fStr(kNoMap)
                                                        : fStr(kBrushError, brushError_));
        return;
    }
    const double rate = trace_.counts.frameRate > 0 ? trace_.counts.frameRate : 1;
    QList<QTreeWidgetItem*> items;
    for (const ClearanceStretch& s : report_.stretches) {
        const size_t at = static_cast<size_t>(s.first);
        const int32_t segment = at < trace_.path.size() ? trace_.path[at].segment : 0;
        auto* item = new QTreeWidgetItem(
            QStringList{QString::number(segment), FormatLocaleFixed(s.first / rate, 2),
                        s.first == s.last ? QString::number(s.first)
                                          : QStringLiteral("%1-%2").arg(s.first).arg(s.last),
                        fStr(s.inside ? kInside : kNear)});
        item->setData(0, Qt::UserRole, s.first);
        items << item;
    }
    lstClearance_->addTopLevelItems(items);
    QString summary = report_.stretches.empty() ? fStr(kAllClear)
                                                : fStr(kStretches, int(report_.stretches.size()));
    if (report_.skippedBrushes > 0)
        summary += QLatin1Char('\n') + fStr(kSkipped, report_.skippedBrushes);
    lblClrSummary_->setText(summary);
}

} // namespace kestrova::ui
