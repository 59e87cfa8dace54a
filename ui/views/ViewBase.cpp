#include "ViewBase.h"

#include "widgets/CellMark.h"

#include <QMainWindow>
#include <QStatusBar>

CViewBase::CViewBase(QWidget* parent) : QWidget(parent) {}

bool CViewBase::UpdateData(bool save) { return DoDataExchange(save); }

void CViewBase::OnInitialUpdate() { UpdateData(false); }

void CViewBase::OnUpdate() { UpdateData(false); }

namespace {

// The status bar of the main window the widget is in; null when it is in none.
QStatusBar* StatusBarOf(const QWidget* widget) {
    for (const QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
        if (auto* main = qobject_cast<const QMainWindow*>(w)) return main->statusBar();
    return nullptr;
}

// The status bar's property naming the refusal it shows.
constexpr const char* kRefusal = "velmoraRefusal";

}  // namespace

void CViewBase::ShowStatusMessage(const std::string& text) {
    if (QStatusBar* bar = StatusBarOf(this)) {
        const QString message = QString::fromStdString(text);
        bar->showMessage(message);
        bar->setProperty(kRefusal, message);
    }
}

void CViewBase::ClearStatusMessage() {
    QStatusBar* bar = StatusBarOf(this);
    if (!bar) return;
    const QString said = bar->property(kRefusal).toString();
    if (!said.isEmpty() && bar->currentMessage() == said) bar->clearMessage();
    bar->setProperty(kRefusal, QString());
}

CellStore CViewBase::StoreTypedCell(QTableWidget& table, int row, int column, const QString& text,
                                    const std::function<CellStore(const std::string& typed)>& store) {
    CellMarks::Clear(table, row, column);
    const CellStore outcome = store(text.toStdString());
    if (!outcome.error.empty()) {
        CellMarks::Set(table, row, column, text, QString::fromStdString(outcome.error));
        ShowStatusMessage(outcome.error);
    } else if (outcome.stored) {
        ClearStatusMessage();
    }
    return outcome;
}
