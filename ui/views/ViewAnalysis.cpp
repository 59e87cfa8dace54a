#include "ViewAnalysis.h"

#include "widgets/ReportList.h"

#include <QMenuBar>
#include <QVBoxLayout>

CViewAnalysis::CViewAnalysis(QWidget* parent) : CViewBase(parent) {
    setObjectName(QStringLiteral("viewAnalysis"));
    list_ = new CReportList(this);
    list_->setObjectName(QStringLiteral("analysisList"));
    list_->SetColumns(
        {QStringLiteral(" Name           "), QStringLiteral(" Units  "), QStringLiteral(" Source   "),
         QStringLiteral("Protein"), QStringLiteral("Fat  "), QStringLiteral("Carbohydrate"), QStringLiteral("Alcohol")},
        std::vector<double>(7, 1.0));
    list_->SetRowHeight(QMenuBar().sizeHint().height());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
}
