#include "ViewBase.h"

#include <QMainWindow>
#include <QStatusBar>

CViewBase::CViewBase(QWidget* parent) : QWidget(parent) {}

bool CViewBase::UpdateData(bool save) { return DoDataExchange(save); }

void CViewBase::OnInitialUpdate() { UpdateData(false); }

void CViewBase::OnUpdate() { UpdateData(false); }

bool CViewBase::OnCmdMsg(Ui::CommandId, Ui::CCmdUI*) { return false; }

void CViewBase::ShowStatusMessage(const std::string& text) {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* main = qobject_cast<QMainWindow*>(w)) {
            main->statusBar()->showMessage(QString::fromStdString(text));
            return;
        }
    }
}
