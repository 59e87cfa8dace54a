#include "ViewBase.h"

CViewBase::CViewBase(QWidget* parent) : QWidget(parent) {}

bool CViewBase::UpdateData(bool save) { return DoDataExchange(save); }

void CViewBase::OnInitialUpdate() { UpdateData(false); }

void CViewBase::OnUpdate() { UpdateData(false); }

bool CViewBase::OnCmdMsg(Ui::CommandId, Ui::CCmdUI*) { return false; }
