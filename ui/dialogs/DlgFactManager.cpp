#include "DlgFactManager.h"

#include "ui/frame/AppContext.h"

#include "core/Services.h"
#include "model/TextFormat.h"
#include "model/UserLog.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kFirstUserFact = 2;
const char* const kNameHeader = " Name                 ";
const char* const kValueHeader = " Optimal/Target Value ";

}  // namespace

DlgFactManager::DlgFactManager(NS_Data::CUserLog& log, std::string appDir, QWidget* parent)
    : QDialog(parent), log_(log), appDir_(std::move(appDir)) {
    setWindowTitle(QStringLiteral("Fact Manager"));

    name_ = new QLineEdit(this);
    value_ = new QLineEdit(this);
    apply_ = new QPushButton(QStringLiteral("&Apply"), this);
    auto* group = new QGroupBox(QStringLiteral("Selected Fact"), this);
    auto* fields = new QGridLayout(group);
    fields->addWidget(new QLabel(QStringLiteral("Name:"), group), 0, 0);
    fields->addWidget(name_, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Optimal/Target Value:"), group), 1, 0);
    fields->addWidget(value_, 1, 1);
    fields->addWidget(apply_, 1, 2);

    list_ = new QTableWidget(0, 2, this);
    list_->setHorizontalHeaderLabels({QString::fromLatin1(kNameHeader), QString::fromLatin1(kValueHeader)});
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const QFontMetrics metrics(list_->horizontalHeader()->font());
    const int padding = 2 * metrics.averageCharWidth();
    list_->setColumnWidth(0, metrics.horizontalAdvance(QString::fromLatin1(kNameHeader)) + padding);
    list_->setColumnWidth(1, metrics.horizontalAdvance(QString::fromLatin1(kValueHeader)) + padding);
    list_->horizontalHeader()->setStretchLastSection(true);
    for (int i = 0; i < log_.Facts().Count(); ++i) {
        list_->insertRow(i);
        SetRow(i);
    }

    new_ = new QPushButton(QStringLiteral("&New"), this);
    remove_ = new QPushButton(QStringLiteral("&Remove"), this);
    help_ = new QPushButton(QStringLiteral("&Help"), this);
    exit_ = new QPushButton(QStringLiteral("Exit"), this);
    exit_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {new_, remove_, help_}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(exit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(list_->columnWidth(0) + list_->columnWidth(1) + 60, 360);

    connect(list_, &QTableWidget::itemSelectionChanged, this, &DlgFactManager::OnSelectionChanged);
    connect(name_, &QLineEdit::textChanged, this, &DlgFactManager::OnNameEdited);
    connect(apply_, &QPushButton::clicked, this, &DlgFactManager::OnApply);
    connect(new_, &QPushButton::clicked, this, &DlgFactManager::OnNew);
    connect(remove_, &QPushButton::clicked, this, &DlgFactManager::OnRemove);
    connect(help_, &QPushButton::clicked, this,
            [this] { Gui::OpenHelpPage(appDir_, "/help/reference/facts.htm#facts_manger"); });
    connect(exit_, &QPushButton::clicked, this, &DlgFactManager::accept);
    ShowNoSelection();
}

QString DlgFactManager::FormatValue(double value) {
    if (!UserLog::IsDefined(value)) return {};
    return QString::fromStdString(TextFormat::G(value));
}

TypedInput DlgFactManager::ParseValue(const QString& text, const NS_Data::CUserLog& log, const std::string& name) {
    TypedInput typed = ReadFactValue(text.toStdString(), log, name);
    if (typed.kind == TypedInput::Kind::Cleared) typed.value = UserLog::kUndefinedValue;
    return typed;
}

int DlgFactManager::SelectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = list_->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.front().topRow();
}

void DlgFactManager::SetRow(int row) {
    const UserLog::CFactReference& fact = log_.Facts().At(row);
    list_->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(fact.name)));
    list_->setItem(row, 1, new QTableWidgetItem(FormatValue(fact.value)));
}

void DlgFactManager::ShowNoSelection() {
    name_->blockSignals(true);
    name_->clear();
    name_->blockSignals(false);
    value_->clear();
    name_->setEnabled(false);
    remove_->setEnabled(false);
    apply_->setEnabled(false);
}

void DlgFactManager::OnSelectionChanged() {
    const int row = SelectedRow();
    if (row < 0 || row >= log_.Facts().Count()) return ShowNoSelection();
    const UserLog::CFactReference& fact = log_.Facts().At(row);
    const bool userFact = row >= kFirstUserFact;
    name_->setEnabled(userFact);
    remove_->setEnabled(userFact);
    name_->setText(QString::fromStdString(fact.name));
    value_->setText(FormatValue(fact.value));
    OnNameEdited();
}

void DlgFactManager::OnNameEdited() {
    const int row = SelectedRow();
    const int owner = log_.Facts().FindDefinition(name_->text().toStdString());
    apply_->setEnabled(row >= 0 && (owner < 0 || owner == row));
}

void DlgFactManager::OnApply() {
    const int row = SelectedRow();
    if (row < 0 || row >= log_.Facts().Count()) return;
    // A built-in keeps its name whatever the edit holds; another definition's name is never taken.
    const std::string name = row >= kFirstUserFact ? name_->text().toStdString() : log_.Facts().At(row).name;
    const int owner = log_.Facts().FindDefinition(name);
    if (owner >= 0 && owner != row) return;
    const TypedInput typed = ParseValue(value_->text(), log_, log_.Facts().At(row).name);
    if (typed.kind == TypedInput::Kind::Refused) {
        // Nothing of the edit is applied: the user corrects the value first.
        Services::Prompt().Message(typed.error, "Fact Manager");
        value_->setFocus();
        value_->selectAll();
        return;
    }
    UserLog::CFactReference& fact = log_.Facts().At(row);
    fact.value = typed.value;
    if (name != fact.name) {
        // Day values are matched to their definition by name: they follow the new name, or the
        // values logged so far would no longer belong to any fact.
        for (const auto& day : log_.Days()) {
            UserLog::CFact* value = day->FindFact(fact.name);
            if (value && !day->FindFact(name)) value->name = name;
        }
        fact.name = name;
    }
    SetRow(row);
}

void DlgFactManager::OnNew() {
    std::string name;
    for (int n = 1;; ++n) {
        name = "New Fact " + std::to_string(n);
        if (log_.Facts().FindDefinition(name) < 0) break;
    }
    const int row = log_.Facts().AddOrUpdate(UserLog::CFactReference(name, UserLog::kUndefinedValue, {}));
    list_->insertRow(row);
    SetRow(row);
}

void DlgFactManager::OnRemove() {
    const int row = SelectedRow();
    if (row < kFirstUserFact || row >= log_.Facts().Count()) return;
    const std::string name = log_.Facts().At(row).name;
    list_->blockSignals(true);
    list_->removeRow(row);
    list_->clearSelection();
    list_->blockSignals(false);
    log_.RemoveFactFromDays(name, true);
    log_.Facts().RemoveAt(row);
    ShowNoSelection();
}
