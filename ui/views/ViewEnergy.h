#pragma once

#include "ViewBase.h"

class CReportList;
class QCheckBox;
class QLabel;
class QSplitter;

// The "Energy" tab: the person's energy requirement with its equation and parameters, the
// profile's energy composition beside the reference one (ranges editable), and the energy of
// each food of the current day with its share and the split between the components.
class CViewEnergy : public CViewBase {
    Q_OBJECT
public:
    explicit CViewEnergy(QWidget* parent = nullptr);

    void OnInitialUpdate() override;

    QLabel* EnergyText() const { return energyText_; }
    CReportList* Parameters() const { return parameters_; }
    CReportList* Composition() const { return composition_; }
    CReportList* FoodEnergy() const { return foods_; }
    QCheckBox* SatisfyComposition() const { return satisfy_; }

protected:
    bool DoDataExchange(bool save) override;

private:
    void FillFoodEnergy();
    void FillRequirement();
    void FillComposition();
    // Colours each share outside its range and says why in its tool tip.
    void FlagComposition();
    void OnCompositionEdited(int row, int column, const QString& text);

    QSplitter* splitter_ = nullptr;
    QLabel* energyText_ = nullptr;
    CReportList* parameters_ = nullptr;
    QLabel* note_ = nullptr;
    CReportList* composition_ = nullptr;
    CReportList* foods_ = nullptr;
    QCheckBox* satisfy_ = nullptr;
};
