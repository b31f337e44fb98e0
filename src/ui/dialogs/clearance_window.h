#pragma once
// "Path in the walls": a small tool window listing the stretches of the path that run inside a
// wall of the map or too near one, with the clearance to keep. Choosing a stretch asks to go
// there (the views centre on it, the preview shows it).

#include "core/map/clearance.h"
#include "core/model/trace.h"

#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class QTreeWidget;

namespace kestrova::ui {

class ClearanceWindow : public QWidget {
    Q_OBJECT
public:
    ClearanceWindow(const Trace& trace, QWidget* owner);

    // report: nullptr without a map whose walls could be read; brushError says why, if known.
    void Show(const ClearanceReport* report, const QString& brushError = {}, bool checking = false);
    void ApplyLanguage();

    QTreeWidget* List() const { return lstClearance_; }
    QDoubleSpinBox* Distance() const { return txtClrDistance_; }
    QLabel* Summary() const { return lblClrSummary_; }

signals:
    void DistanceChanged(double distance);
    // The first path point of the stretch chosen.
    void GoTo(int32_t pathIndex);

private:
    void Fill();

    const Trace& trace_;
    ClearanceReport report_;
    bool hasReport_ = false;
    bool checking_ = false;
    QString brushError_;
    QLabel* lblClrDistance_;
    QDoubleSpinBox* txtClrDistance_;
    QTreeWidget* lstClearance_;
    QLabel* lblClrSummary_;
};

} // namespace kestrova::ui
