#pragma once
// The Calcul. tab: invert, average, increment, conversion between the two tables and the look
// target, on the selections of the points grids.

#include "core/files/document.h"
#include "core/model/table_selection.h"

#include <QWidget>
#include <array>

class QPushButton;
class QRadioButton;
class QLabel;

namespace kestrova::ui {

class NumberEdit;
class PointsGrid;

class CalcTab : public QWidget {
    Q_OBJECT
public:
    CalcTab(Document& doc, std::array<PointsGrid*, 2> grids, QWidget* parent = nullptr);

    // Enabled states and the chosen look option after the point counts changed.
    void Refresh();
    // While the preview lock is on, points cannot be converted.
    void SetConversionLocked(bool locked);
    // The table the calculations work on: the grid that last had the focus.
    int ShownKind() const { return shownKind_; }
    int LookMode() const { return lookMode_; }
    // The pending edits of the boxes go back to their remembered texts (a menu opens).
    void AbandonEdits();

    void InvertTrace();
    void AverageSelection();
    void AddToSelection(double value, bool add);
    void ConvertPoints(int fromKind, int toKind, bool removeSource);
    void ApplyLookTarget();

public slots:
    // A point's position picked in a grid or a view becomes the typed target.
    void SetLookTarget(double x, double y, double z);
    // The same from the views' hover, already in the user's number format.
    void SetLookTargetTexts(const QString& x, const QString& y, const QString& z);

signals:
    // The points changed and their undo step is recorded: everything that shows them refreshes.
    void PointsChanged();
    // The keyboard goes back to the views.
    void FocusView();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChooseLookMode(int mode);
    void AfterChange(int kind, const TableSelection& restore);
    int TargetIndex(const NumberEdit* edit) const;
    // A target field's text as a number with two decimals, then remembered; false if refused.
    bool AcceptTarget(NumberEdit* edit);

    Document& doc_;
    std::array<PointsGrid*, 2> grids_;
    int shownKind_ = kControl;
    int lookMode_ = 0;
    bool conversionLocked_ = false;
    QPushButton* cmdInvert_ = nullptr;
    QPushButton* cmdAverage_ = nullptr;
    NumberEdit* txtAddSubVal_ = nullptr;
    QPushButton* cmdAddVal_ = nullptr;
    QPushButton* cmdSubVal_ = nullptr;
    std::array<QPushButton*, 6> cmdAddSubVal_{};
    std::array<QPushButton*, 2> cmdConvPoints_{};
    std::array<QRadioButton*, 3> optLkTarget_{};
    std::array<NumberEdit*, 3> txtLkTarget_{};
    std::array<QLabel*, 3> lblLkTarget_{};
    std::array<QString, 3> lkValid_; // the last valid text of each target field
    QPushButton* cmdLkApply_ = nullptr;
};

} // namespace kestrova::ui
