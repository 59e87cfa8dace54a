#include "ViewBase.h"

#include "widgets/CellMark.h"

#include <QMainWindow>
#include <QStatusBar>

CViewBase::CViewBase(QWidget* parent) : QWidget(parent) {}

bool CViewBase::UpdateData(bool save) { return DoDataExchange(save); }

void CViewBase::OnInitialUpdate() { UpdateData(false); }

void CViewBase::OnUpdate() { UpdateData(false); }

void CViewBase::ShowStatusMessage(const std::string& text) {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* main = qobject_cast<QMainWindow*>(w)) {
            main->statusBar()->showMessage(QString::fromStdString(text));
            return;
        }
    }
}

CellStore CViewBase::StoreTypedCell(QTableWidget& table, int row, int column, const QString& text,
                                    const std::function<CellStore(const std::string& typed)>& store) {
    CellMarks::Clear(table, row, column);
    const CellStore outcome = store(text.toStdString());
    if (!outcome.error.empty()) {
        CellMarks::Set(table, row, column, text, QString::fromStdString(outcome.error));
        ShowStatusMessage(outcome.error);
    }
    return outcome;
}
