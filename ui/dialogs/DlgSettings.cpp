#include "DlgSettings.h"

#include "ui/frame/AppContext.h"

#include "core/Services.h"
#include "core/settings/ConfigManager.h"
#include "core/settings/SettingsMgr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

constexpr int kIndent = 16;  // per level of nesting

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void DlgSettings::ConfigUIBuilder::AddSection(Config::ConfigManager& section, QWidget* page, QGridLayout* grid) {
    section_ = &section;
    page_ = page;
    grid_ = grid;
    prefix_.clear();
    for (const auto& param : section.Children()) AddParam(*param, 0);
}

DlgSettings::ConfigUIBuilder::Row& DlgSettings::ConfigUIBuilder::NewRow(Config::Param& param, const std::string& path) {
    order_.push_back(path);
    Row& row = rows_[path];
    row = Row{};
    row.param = &param;
    row.section = section_;
    row.page = page_;
    row.grid = grid_;
    return row;
}

void DlgSettings::ConfigUIBuilder::AddParam(Config::Param& param, int depth) {
    const std::string path = prefix_.empty() ? param.Name() : prefix_ + "." + param.Name();
    const int type = param.Type();
    if (type < 0 || type >= Config::kParamTypeCount) throw std::logic_error("Unknown control type: " + path);

    if (param.IsWritable() && type != Config::Unknown && type != Config::Content) {
        Row& row = NewRow(param, path);
        row.depth = depth;
        const QString name = Text(param.Name());
        const QString tip = Text(param.Description());
        auto label = [&] {
            row.label = new QLabel(name, page_);
            row.label->setToolTip(tip);
            return row.label;
        };
        auto button = [&](const QString& text) {
            row.button = new QPushButton(text, page_);
            row.button->setToolTip(tip);
            row.button->setAutoDefault(false);  // Enter in an edit box must not open an editor
            QObject::connect(row.button, &QPushButton::clicked, row.button, [this, path] { OnButton(path); });
            return row.button;
        };
        const int r = nextRow_++;
        auto* first = new QWidget(page_);  // holds the indent of nested parameters
        auto* firstLayout = new QHBoxLayout(first);
        firstLayout->setContentsMargins(depth * kIndent, 0, 0, 0);
        grid_->addWidget(first, r, 0);
        switch (type) {
            case Config::Integer:
            case Config::String:
            case Config::IFile:
            case Config::OFile:
                firstLayout->addWidget(label());
                row.edit = new QLineEdit(Text(param.Value()), page_);
                row.edit->setToolTip(tip);
                row.edit->setCursorPosition(0);  // a long path shows its beginning
                grid_->addWidget(row.edit, r, 1);
                if (type == Config::IFile || type == Config::OFile) {
                    QPushButton* browse = button(QStringLiteral("..."));
                    browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);
                    grid_->addWidget(browse, r, 2);
                }
                break;
            case Config::Boolean:
                row.check = new QCheckBox(name, page_);
                row.check->setChecked(param.GetBool());
                row.check->setToolTip(tip);
                firstLayout->addWidget(row.check);
                break;
            case Config::List:
                firstLayout->addWidget(button(QStringLiteral("View/Modify")));
                grid_->addWidget(label(), r, 1);
                break;
            case Config::Choice: {
                firstLayout->addWidget(label());
                row.choice = new QComboBox(page_);
                row.choice->setMaxVisibleItems(10);
                row.choice->setToolTip(tip);
                std::vector<std::string> choices;
                section_->GetChoices(path, choices);
                for (const std::string& choice : choices) row.choice->addItem(Text(choice));
                // A value that is not among the choices stays unselected, and so unchanged on Exit.
                row.choice->setCurrentIndex(row.choice->findText(Text(param.Value()), Qt::MatchExactly));
                grid_->addWidget(row.choice, r, 1);
                break;
            }
            case Config::Info:
                firstLayout->addWidget(label());
                row.info = new QLabel(Text(param.Value()), page_);
                row.info->setToolTip(tip);
                grid_->addWidget(row.info, r, 1);
                break;
            default: break;
        }
    }

    const std::string saved = prefix_;
    prefix_ = path;
    for (const auto& child : param.Children()) AddParam(*child, depth + 1);
    prefix_ = saved;
}

const DlgSettings::ConfigUIBuilder::Row* DlgSettings::ConfigUIBuilder::Find(const std::string& path) const {
    auto it = rows_.find(path);
    return it == rows_.end() ? nullptr : &it->second;
}

void DlgSettings::ConfigUIBuilder::OnButton(const std::string& path) {
    auto it = rows_.find(path);
    if (it == rows_.end()) return;
    Row& row = it->second;
    if (!row.section->Edit(path)) return;
    editorChanged_ = true;
    row.section->SetModified(true);
    if (row.edit) {
        row.edit->setText(Text(row.param->Value()));
        row.edit->setCursorPosition(0);
    }
    if (row.param->Type() == Config::List) {
        // The editor added entries to the list: their rows go below it, with the page's stretch
        // below them.
        section_ = row.section;
        page_ = row.page;
        grid_ = row.grid;
        prefix_ = path;
        const int depth = row.depth;
        for (const auto& child : row.param->Children())
            if (!rows_.count(path + "." + child->Name())) AddParam(*child, depth + 1);
        for (int r = 0; r < grid_->rowCount(); ++r) grid_->setRowStretch(r, 0);
        grid_->setRowStretch(grid_->rowCount(), 1);
    }
}

void DlgSettings::ConfigUIBuilder::WriteBack() {
    for (const std::string& path : order_) {
        Row& row = rows_.at(path);
        if (!row.section) continue;
        Config::Param& param = *row.param;
        switch (param.Type()) {
            case Config::Integer:
            case Config::String:
            case Config::IFile:
            case Config::OFile:
                if (row.edit && row.edit->text().toStdString() != param.Value()) {
                    param.SetValue(row.edit->text().toStdString());
                    row.section->SetModified(true);
                }
                break;
            case Config::Boolean:
                if (row.check && row.check->isChecked() != param.GetBool()) {
                    param.SetBool(row.check->isChecked());
                    row.section->SetModified(true);
                }
                break;
            case Config::Choice:
                if (row.choice && row.choice->currentIndex() >= 0 &&
                    row.choice->currentText().toStdString() != param.Value()) {
                    param.SetValue(row.choice->currentText().toStdString());
                    row.section->SetModified(true);
                }
                break;
            default:
                if (param.Type() < 0 || param.Type() >= Config::kParamTypeCount)
                    throw std::logic_error("Request to update unknown parameter type.");
                break;
        }
    }
}

DlgSettings::DlgSettings(Settings::CSettingsMgr& settings, std::string appDir, QWidget* parent)
    : QDialog(parent), settings_(settings), appDir_(std::move(appDir)), builder_(std::make_unique<ConfigUIBuilder>()) {
    setWindowTitle(QStringLiteral("Velmora Settings"));

    auto* left = new QWidget(this);
    tree_ = new QTreeWidget(left);
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);
    help_ = new QPushButton(QStringLiteral("Help"), left);
    exit_ = new QPushButton(QStringLiteral("&Exit"), left);
    help_->setAutoDefault(false);
    exit_->setAutoDefault(false);
    auto* leftButtons = new QHBoxLayout;
    leftButtons->addWidget(help_);
    leftButtons->addStretch();
    leftButtons->addWidget(exit_);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(tree_);
    leftLayout->addLayout(leftButtons);

    pages_ = new QStackedWidget(this);
    const auto& sections = settings_.Sections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        auto* item = new QTreeWidgetItem(tree_, {Text(sections[i].first)});
        item->setData(0, Qt::UserRole, static_cast<int>(i));
        auto* scroll = new QScrollArea(pages_);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        auto* page = new QWidget(scroll);
        auto* grid = new QGridLayout(page);
        grid->setColumnStretch(1, 1);
        builder_->AddSection(*sections[i].second, page, grid);
        grid->setRowStretch(grid->rowCount(), 1);
        scroll->setWidget(page);
        pages_->addWidget(scroll);
    }

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(left);
    splitter->addWidget(pages_);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    resize(640, 400);
    splitter->setSizes({256, 384});

    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) pages_->setCurrentIndex(item->data(0, Qt::UserRole).toInt());
    });
    connect(exit_, &QPushButton::clicked, this, &DlgSettings::OnExit);
    connect(help_, &QPushButton::clicked, this,
            [this] { Gui::OpenHelpPage(appDir_, "/help/reference/settings_manager.htm"); });
    if (tree_->topLevelItemCount() > 0) tree_->setCurrentItem(tree_->topLevelItem(0));
}

DlgSettings::~DlgSettings() = default;

void DlgSettings::OnExit() {
    builder_->WriteBack();
    if (settings_.IsModified()) {
        if (Services::Prompt().Question("Settings have been modified.\rPress Yes to save the changes.",
                                        Services::Buttons::YesNo) == Services::Answer::Yes)
            settings_.SaveSettings();
        else
            settings_.LoadSettings();
    }
    QDialog::accept();
}

void DlgSettings::reject() {
    // An editor ("...", "View/Modify") changes its parameter at once; leaving without Exit takes
    // that back too, so what was not offered for saving does not linger in memory.
    if (builder_->editorChanged_) settings_.LoadSettings();
    QDialog::reject();
}
