#pragma once

#include "ViewBase.h"

#include <string>

class CDragList;
class CReportList;
class QPlainTextEdit;
class QPushButton;
class QSplitter;

// The "Nutrients" tab: every nutrient of the data source with a check box for following it, the
// profile's limits of the followed ones, the reference intakes for the person on the current day,
// and the order of the followed nutrients, changed by dragging.
class CViewNutrients : public CViewBase {
    Q_OBJECT
public:
    static const char* const kNote;

    explicit CViewNutrients(QWidget* parent = nullptr);

    void OnInitialUpdate() override;

    CReportList* NutrientList() const { return nutrients_; }
    CDragList* OrderList() const { return order_; }
    QPushButton* ResetButton() const { return reset_; }
    QPushButton* SelectAllButton() const { return selectAll_; }
    QPushButton* ClearButton() const { return clear_; }
    QPlainTextEdit* Note() const { return note_; }

protected:
    bool DoDataExchange(bool save) override;

private:
    void FillRows();
    // Checks, limits and reference values from the document, with the check reactions off.
    void RefreshRows();
    void RefreshOrder();
    void OnCheckChanged(int row, int oldState, int newState);
    void OnLimitEdited(int row, int column, const QString& text);
    void OnDropped(int dropIndex, int oldIndex);
    void OnReset();
    void OnSelectAll();
    void OnClear();

    QSplitter* splitter_ = nullptr;
    QPlainTextEdit* note_ = nullptr;
    CReportList* nutrients_ = nullptr;
    CDragList* order_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* selectAll_ = nullptr;
    QPushButton* clear_ = nullptr;
    // Set while the view itself rewrites the check boxes.
    bool updating_ = false;
    // The day whose limits the list's marked cells refused.
    std::string markedDate_;
};
