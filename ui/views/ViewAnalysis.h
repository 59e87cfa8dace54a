#pragma once

#include "ViewBase.h"

class CReportList;

// The "Analysis" tab: an empty list with the columns of a food's energy sources.
class CViewAnalysis : public CViewBase {
    Q_OBJECT
public:
    explicit CViewAnalysis(QWidget* parent = nullptr);

    CReportList* List() const { return list_; }

protected:
    bool DoDataExchange(bool) override { return true; }

private:
    CReportList* list_ = nullptr;
};
