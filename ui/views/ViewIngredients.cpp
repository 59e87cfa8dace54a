#include "ViewIngredients.h"

#include "IngredientTree.h"
#include "RecentFoodsList.h"
#include "SearchWorkers.h"
#include "ui/frame/VelmoraDoc.h"

#include "core/Services.h"
#include "document/report/Report.h"
#include "document/viewmodel/DayFoodList.h"
#include "document/viewmodel/NutrientsByFood.h"
#include "document/viewmodel/TypedNumber.h"
#include "model/Meal.h"
#include "model/MealSubtotals.h"
#include "model/UserLog.h"
#include "refdata/DataSourceMgr.h"
#include "refdata/Ingredient.h"
#include "ui/dialogs/DlgFoodEditor.h"
#include "ui/dialogs/DlgRecipe.h"
#include "ui/frame/FoodTables.h"
#include "widgets/CellGrid.h"
#include "widgets/CellMark.h"
#include "widgets/ReportList.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

namespace {

constexpr int kRowHeight = 20;
// A pause in typing long enough to search, short enough not to be noticed.
constexpr int kSearchPauseMs = 60;
constexpr int kKeyRole = Qt::UserRole;
constexpr int kSourceRole = Qt::UserRole + 1;

const QStringList kListHeaders = {" Name", " Meal", " Units", " Amount", " Weight g"};
const std::vector<double> kListFactors = {15, 2, 4, 1.2, 1.2};
const QStringList kSubtotalHeaders = {" Meal", " kcal", " Protein g", " Fat g", " Carbohydrate g"};
const std::vector<double> kSubtotalFactors = {3, 1.5, 1.2, 1.5, 1.2};

// Lengths of the two panes of a splitter whose first pane is p times the second.
std::pair<int, int> SplitLengths(int length, double p) {
    return {int(std::floor(length * p / (p + 1) + 0.5)), int(std::floor(length / (p + 1) + 0.5))};
}

void ApplyProportion(QSplitter* splitter, double p) {
    const int length = splitter->orientation() == Qt::Horizontal ? splitter->width() : splitter->height();
    const auto [first, second] = SplitLengths(length - splitter->handleWidth(), p);
    splitter->setSizes({first, second});
}

void SetUpList(CReportList* list, const QStringList& headers, const std::vector<double>& factors) {
    list->SetColumns(headers, factors);
    list->SetRowHeight(kRowHeight);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

// The in-place editors of the day food list: drop-downs for the meal and the unit, text for the
// amount and the weight. What the user chose reaches the view after the editor has closed, since
// the view's answer may refill the list the editor belongs to.
class FoodListDelegate : public QStyledItemDelegate {
public:
    using Finished = std::function<void(int row, int column, const QString& text)>;

    FoodListDelegate(QObject* parent, std::function<QStringList()> meals, std::function<QStringList(int row)> units,
                     Finished choice, Finished text)
        : QStyledItemDelegate(parent),
          meals_(std::move(meals)),
          units_(std::move(units)),
          choice_(std::move(choice)),
          text_(std::move(text)) {}

    // The editor open now, if any.
    QWidget* OpenEditor() const { return open_; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = MakeEditor(parent, option, index);
        open_ = editor;
        return editor;
    }

    // The list lets go of an editor when it closes and when a refill removes its row; the editor
    // lives on until its deletion comes round, but is no longer the list's to commit.
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        if (open_ == editor) open_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

private:
    QWidget* MakeEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
        switch (index.column()) {
            case DayFoodList::kMeal:
            case DayFoodList::kUnits: {
                auto* combo = new QComboBox(parent);
                // Each choice carries the text the cell holds; the unnamed meal is named for the
                // user, never a blank line.
                for (const QString& name : index.column() == DayFoodList::kMeal ? meals_() : units_(index.row()))
                    combo->addItem(name.isEmpty() ? QString::fromUtf8(DayFoodList::kNoMeal) : name, name);
                connect(combo, &QComboBox::activated, this, [this, combo] {
                    auto* self = const_cast<FoodListDelegate*>(this);
                    emit self->commitData(combo);
                    emit self->closeEditor(combo);
                });
                return combo;
            }
            case DayFoodList::kAmount:
            case DayFoodList::kWeight: return new QLineEdit(parent);
            default: return nullptr;
        }
    }

public:
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        CellMarks::Paint(painter, option, index);
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const QString text = index.data().toString();
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(combo->findData(text));
        } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setText(text);
            line->selectAll();
        }
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        const int row = index.row(), column = index.column();
        const bool choice = qobject_cast<QComboBox*>(editor) != nullptr;
        const QString text = choice ? static_cast<QComboBox*>(editor)->currentData().toString()
                                    : static_cast<QLineEdit*>(editor)->text();
        if (choice && static_cast<QComboBox*>(editor)->currentIndex() < 0) return;
        // Leaving a cell without changing it is no edit: it must not mark the profile modified.
        if (text == index.data().toString()) return;
        const Finished& call = choice ? choice_ : text_;
        QMetaObject::invokeMethod(
            parent(), [call, row, column, text] { call(row, column, text); }, Qt::QueuedConnection);
    }

private:
    std::function<QStringList()> meals_;
    std::function<QStringList(int)> units_;
    Finished choice_, text_;
    mutable QPointer<QWidget> open_;
};

Meal::MealTime TimeOfDay() {
    const QTime now = QTime::currentTime();
    return {.minutes = static_cast<std::int16_t>(now.minute()), .hours = static_cast<std::int16_t>(now.hour())};
}

QString SectionHeading(RecentFoods::Section section) {
    switch (section) {
        case RecentFoods::Section::Favourites: return QObject::tr("Favourites");
        case RecentFoods::Section::Recent: return QObject::tr("Recent");
        case RecentFoods::Section::Frequent: return QObject::tr("Most logged");
    }
    return {};
}

QWidget* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* b : buttons) layout->addWidget(b);
    layout->addStretch();
    return row;
}

}  // namespace

CViewIngredients::CViewIngredients(QWidget* parent) : CViewBase(parent) {
    tree_ = new CIngredientTree;
    recent_ = new CRecentFoodsList;
    list_ = new CReportList;
    subtotals_ = new CReportList;
    results_ = new CReportList;
    searchBox_ = new QLineEdit;
    searchButton_ = new QPushButton(tr("Search"));
    add_ = new QPushButton(tr("Add"));
    delete_ = new QPushButton(tr("Delete"));
    clear_ = new QPushButton(tr("Clear"));
    up_ = new QPushButton(tr("Up"));
    down_ = new QPushButton(tr("Down"));
    grid_ = new CCellGrid;

    tree_->setObjectName("foodTree");
    grid_->setObjectName("nutrientsByFood");
    list_->setObjectName("dayFoodList");
    subtotals_->setObjectName("mealSubtotals");
    results_->setObjectName("searchResults");
    searchBox_->setObjectName("searchBox");
    recent_->setObjectName("recentFoods");

    auto* searchPane = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPane);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    auto* searchLine = new QHBoxLayout;
    searchLine->addWidget(searchBox_, 1);
    searchLine->addWidget(searchButton_);
    searchLayout->addLayout(searchLine);
    searchLayout->addWidget(results_, 1);
    resultCount_ = new QLabel;
    resultCount_->setObjectName("searchResultCount");
    searchLayout->addWidget(resultCount_);
    searchTimer_ = new QTimer(this);
    searchTimer_->setSingleShot(true);
    searchTimer_->setInterval(kSearchPauseMs);

    auto* listPane = new QWidget;
    auto* listLayout = new QVBoxLayout(listPane);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addWidget(list_, 1);
    // The subtotals start folded to one line: open, they would take rows from the day's list as
    // meals are added, and an entry just added would scroll out of sight.
    subtotalFold_ = new QToolButton;
    subtotalFold_->setObjectName("mealSubtotalsFold");
    subtotalFold_->setCheckable(true);
    subtotalFold_->setAutoRaise(true);
    subtotalFold_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    subtotalFold_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    subtotalFold_->setToolTip(tr("Show or fold each meal's energy, protein, fat and carbohydrate"));
    connect(subtotalFold_, &QToolButton::toggled, this, &CViewIngredients::ShowSubtotals);
    listLayout->addWidget(subtotalFold_);
    listLayout->addWidget(subtotals_);
    listLayout->addWidget(ButtonRow({add_, delete_, clear_, up_, down_}));

    auto* recentPane = new QWidget;
    auto* recentLayout = new QVBoxLayout(recentPane);
    recentLayout->setContentsMargins(0, 0, 0, 0);
    auto* recentTitle = new QLabel(tr("&Recent and favourite foods:"));
    recentTitle->setBuddy(recent_);
    recentLayout->addWidget(recentTitle);
    recentLayout->addWidget(recent_, 1);
    auto* finding = new QSplitter(Qt::Horizontal);
    finding->addWidget(searchPane);
    finding->addWidget(recentPane);
    finding->setChildrenCollapsible(false);
    finding->setStretchFactor(0, 1);
    finding->setStretchFactor(1, 1);

    right_ = new QSplitter(Qt::Vertical);
    right_->addWidget(finding);
    right_->addWidget(listPane);
    upper_ = new QSplitter(Qt::Horizontal);
    upper_->addWidget(tree_);
    upper_->addWidget(right_);
    outer_ = new QSplitter(Qt::Vertical);
    outer_->addWidget(upper_);
    outer_->addWidget(grid_);
    // Growing the window keeps the proportions the panes started with.
    outer_->setStretchFactor(0, 4);
    outer_->setStretchFactor(1, 1);
    upper_->setStretchFactor(0, 1);
    upper_->setStretchFactor(1, 4);
    right_->setStretchFactor(0, 1);
    right_->setStretchFactor(1, 1);
    for (QSplitter* s : {outer_, upper_, right_}) s->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(outer_);

    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Scrolled by rows, an entry brought into view at the bottom may still be cut off by half.
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::EditKeyPressed);
    listDelegate_ = new FoodListDelegate(
        this, [this] { return mealNames_; },
        [this](int row) {
            QStringList names;
            const CVelmoraDoc* doc = GetDocument();
            if (!doc) return names;
            const auto& foods = doc->DayFoods();
            if (row >= 0 && std::size_t(row) < foods.size())
                for (const std::string& n : DayFoodList::UnitNames(foods[std::size_t(row)]))
                    names << QString::fromStdString(n);
            return names;
        },
        [this](int row, int column, const QString& text) { OnCellChoiceFinished(row, column, text); },
        [this](int row, int column, const QString& text) { OnCellTextEditFinished(row, column, text); });
    list_->setItemDelegate(listDelegate_);
    results_->setSelectionMode(QAbstractItemView::SingleSelection);
    results_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    subtotals_->setSelectionMode(QAbstractItemView::NoSelection);
    subtotals_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    subtotals_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    subtotals_->hide();
    subtotalFold_->hide();
    ShowSubtotals(false);
    // The list shrinks when the pane below it grows, after an add has opened an amount: the
    // amount being typed stays in sight.
    connect(list_->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (list_->IsEditing()) list_->scrollTo(list_->currentIndex());
    });

    connect(add_, &QPushButton::clicked, this, &CViewIngredients::OnAdd);
    connect(delete_, &QPushButton::clicked, this, &CViewIngredients::OnDelete);
    connect(clear_, &QPushButton::clicked, this, &CViewIngredients::OnClear);
    connect(up_, &QPushButton::clicked, this, &CViewIngredients::OnUp);
    connect(down_, &QPushButton::clicked, this, &CViewIngredients::OnDown);
    connect(searchButton_, &QPushButton::clicked, this, &CViewIngredients::StartSearch);
    connect(&Gui::CFoodTablesSignal::Instance(), &Gui::CFoodTablesSignal::myFoodsChanged, this,
            &CViewIngredients::OnFoodTablesChanged);
    connect(searchBox_, &QLineEdit::textEdited, this, &CViewIngredients::OnSearchTextChanged);
    connect(searchTimer_, &QTimer::timeout, this, &CViewIngredients::StartSearch);
    connect(searchBox_, &QLineEdit::returnPressed, this, &CViewIngredients::StartSearch);
    connect(results_, &QTableWidget::itemSelectionChanged, this, &CViewIngredients::OnResultSelected);
    // Enter or a double click on a found food logs it.
    connect(results_, &QTableWidget::itemActivated, this, &CViewIngredients::OnResultActivated);
    connect(recent_, &CRecentFoodsList::foodChosen, this, &CViewIngredients::OnRecentChosen);
    connect(recent_, &CRecentFoodsList::starToggled, this, &CViewIngredients::OnRecentStarToggled);
    connect(list_, &QTableWidget::itemSelectionChanged, this, &CViewIngredients::OnSelectionChanged);
    connect(tree_, &QTreeWidget::currentItemChanged, this, &CViewIngredients::OnSelectionChanged);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &CViewIngredients::OnTreeDoubleClicked);
    tree_->installEventFilter(this);
    searchBox_->installEventFilter(this);
    // The Foods menu's commands, at hand on the tree.
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree_, &QWidget::customContextMenuRequested, this, &CViewIngredients::ShowFoodsMenu);
    connect(grid_, &CCellGrid::rowResized, this, &CViewIngredients::StoreRowSize);
    connect(grid_, &CCellGrid::columnResized, this, &CViewIngredients::StoreColumnSize);
    connect(grid_, &CCellGrid::sizesChanged, this, [this] {
        // Sizes are saved with the profile; without the flag a dragged size would be lost on closing.
        if (CVelmoraDoc* doc = GetDocument()) doc->SetModifiedFlag();
    });
    UpdateButtons();

    OnCommand(
        Gui::CommandId::ReportFoodComparison, [this] { OnCompareFoods(); },
        [this] { return ComparisonFoods().size() >= 2; });

    // The user's own foods and recipes.
    auto mine = [this] { return GetDocument() && GetDocument()->App().myFoods; };
    auto ownSelected = [this, mine] {
        const auto key = SelectedFood();
        return mine() && key && GetDocument()->App().myFoods->Find(*key);
    };
    OnCommand(
        Gui::CommandId::NewFood, [this] { OnNewFood(std::nullopt); }, mine);
    OnCommand(
        Gui::CommandId::DuplicateFood, [this] { OnNewFood(SelectedFood()); },
        [this, mine] { return mine() && SelectedFood().has_value(); });
    OnCommand(
        Gui::CommandId::EditFood, [this] { OnEditFood(); }, ownSelected);
    OnCommand(
        Gui::CommandId::DeleteFood, [this] { OnDeleteFood(); }, ownSelected);
    OnCommand(
        Gui::CommandId::NewRecipe,
        [this] {
            const Gui::CAppContext& app = GetDocument()->App();
            if (auto key = Gui::EditRecipe(this, app, std::nullopt, MyFood{})) tree_->ShowFood(*app.dataSource, *key);
        },
        mine);
    OnCommand(
        Gui::CommandId::SaveAsRecipe, [this] { OnSaveAsRecipe(); },
        [this, mine] { return mine() && !GetDocument()->DayFoods().empty(); });
}

void CViewIngredients::ShowFoodsMenu(const QPoint& at) {
    QMenu menu(this);
    using Gui::CommandId;
    for (CommandId id : {CommandId::NewFood, CommandId::EditFood, CommandId::DuplicateFood, CommandId::DeleteFood,
                         CommandId::NewRecipe, CommandId::SaveAsRecipe}) {
        const Gui::Command* command = Gui::FindCommand(id);
        if (!command) continue;
        QAction* action = menu.addAction(command->MenuText());
        action->setEnabled(CanRun(id));
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    }
    menu.exec(tree_->viewport()->mapToGlobal(at));
}

std::optional<FoodKey> CViewIngredients::SelectedFood() const {
    if (auto key = TreeFood()) return key;
    const std::vector<int> rows = SelectedRows();
    if (GetDocument() && !rows.empty() && rows.front() < static_cast<int>(GetDocument()->DayFoods().size()))
        return GetDocument()->DayFoods()[static_cast<std::size_t>(rows.front())].GetFoodKey();
    return std::nullopt;
}

void CViewIngredients::OnNewFood(std::optional<FoodKey> from) {
    const Gui::CAppContext& app = GetDocument()->App();
    MyFood start;
    if (from) {
        if (const CDS_Ingredient* food = app.dataSource->FindFood(*from)) {
            start.food = *food;
            // Two foods of one name can't be told apart in the search results or the tree.
            start.food.SetName(CopyName(app.dataSource->Foods(), food->Name()));
            if (const MyFood* own = app.myFoods->Find(*from)) start.group = own->group;
            if (start.group == MyFoods::kRecipesGroup) start.group = MyFoods::kFoodsGroup;
        }
    }
    if (auto key = Gui::EditFood(this, app, std::nullopt, start)) tree_->ShowFood(*app.dataSource, *key);
}

void CViewIngredients::OnEditFood() {
    const Gui::CAppContext& app = GetDocument()->App();
    const auto key = SelectedFood();
    const MyFood* own = key ? app.myFoods->Find(*key) : nullptr;
    if (!own) return;
    const MyFood start = *own;
    const auto saved = start.recipe ? Gui::EditRecipe(this, app, key, start) : Gui::EditFood(this, app, key, start);
    if (saved) tree_->ShowFood(*app.dataSource, *saved);
}

void CViewIngredients::OnDeleteFood() {
    const Gui::CAppContext& app = GetDocument()->App();
    const auto key = SelectedFood();
    const MyFood* own = key ? app.myFoods->Find(*key) : nullptr;
    if (!own) return;
    const std::string question =
        "Delete \"" + own->food.Name() + "\" from your own foods?\nProfiles that logged it keep their own copy of it.";
    if (Services::Prompt().Question(question, Services::Buttons::YesNo, "Delete Food") != Services::Answer::Yes) return;
    std::string error;
    if (!Gui::ChangeMyFoods(app, [&](CMyFoods& foods) { return foods.Remove(*key, error); }))
        Services::Prompt().Message(error, "Delete Food");
}

void CViewIngredients::OnSaveAsRecipe() {
    CVelmoraDoc* doc = GetDocument();
    if (auto key = Gui::SaveDayAsRecipe(this, doc->App(), doc->DayFoods()))
        tree_->ShowFood(*doc->App().dataSource, *key);
}

CViewIngredients::~CViewIngredients() = default;

void CViewIngredients::OnInitialUpdate() {
    CVelmoraDoc* doc = GetDocument();
    if (doc) {
        const Gui::CAppContext& app = doc->App();
        tree_->ShowProgramFoods(app, doc->DayFoods());
        mealNames_.clear();
        if (app.meals)
            for (int i = 0; i < app.meals->MealCount(); ++i)
                mealNames_ << QString::fromStdString(app.meals->MealAt(i).Name());
    }
    SetUpList(list_, kListHeaders, kListFactors);
    // "Breakfast" must not be cut to "Breakf...": the meal column takes the longest meal's name.
    const QFontMetrics metrics(list_->font());
    int mealWidth = list_->columnWidth(DayFoodList::kMeal);
    for (const QString& meal : mealNames_)
        mealWidth = std::max(mealWidth, metrics.horizontalAdvance(meal) + 3 * metrics.averageCharWidth());
    list_->setColumnWidth(DayFoodList::kMeal, mealWidth);
    SetUpList(subtotals_, kSubtotalHeaders, kSubtotalFactors);
    SetUpList(results_, {QStringLiteral("Food Item")}, {20});
    results_->setSelectionMode(QAbstractItemView::SingleSelection);
    initialised_ = true;
    CViewBase::OnInitialUpdate();
    ApplyProportions();
}

void CViewIngredients::OnFoodTablesChanged() {
    CVelmoraDoc* doc = GetDocument();
    if (!initialised_ || !doc || !doc->App().dataSource) return;
    tree_->SetStatusList(doc->DayFoods());
    tree_->ShowTables(*doc->App().dataSource);
    FillRecent();
    // The results held records of the index before the change.
    results_->setRowCount(0);
    if (!searchBox_->text().isEmpty()) StartSearch();
}

void CViewIngredients::resizeEvent(QResizeEvent* event) {
    CViewBase::resizeEvent(event);
    if (!proportionsApplied_) ApplyProportions();
}

void CViewIngredients::ApplyProportions() {
    if (!initialised_ || height() <= 0 || width() <= 0 || !isVisible()) return;
    proportionsApplied_ = true;
    ApplyProportion(outer_, 4.0);
    ApplyProportion(upper_, 0.25);
    ApplyProportion(right_, 1.0);
}

bool CViewIngredients::DoDataExchange(bool save) {
    if (save) {
        // A save or a command right after typing must see the amount just typed.
        FinishListEdit();
        return true;
    }
    if (!initialised_ || !GetDocument()) return true;
    FillList();
    FillRecent();
    RefreshTreeIcons();
    UpdateButtons();
    RebuildGrid();
    return true;
}

void CViewIngredients::FinishListEdit() {
    // The editor is found through the delegate: it may belong to a cell other than the current one.
    QWidget* editor = static_cast<FoodListDelegate*>(listDelegate_)->OpenEditor();
    if (!editor) return;
    QMetaObject::invokeMethod(list_, "commitData", Qt::DirectConnection, Q_ARG(QWidget*, editor));
    QMetaObject::invokeMethod(list_, "closeEditor", Qt::DirectConnection, Q_ARG(QWidget*, editor),
                              Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
    // The delegate hands the edit over in a queued call; it is answered now rather than later.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void CViewIngredients::FillList() {
    filling_ = true;
    // A refused amount or weight stays marked until corrected while the day's list keeps its
    // rows; a refill after another entry's change recreates the cells.
    const int rows = int(GetDocument()->DayFoods().size());
    const std::string date = GetDocument()->CurrentDate();
    std::vector<CellMarks::Mark> marks;
    if (date == listDate_ && rows == list_->rowCount()) marks = CellMarks::All(*list_);
    listDate_ = date;
    list_->clearSelection();
    list_->setRowCount(0);
    list_->setRowCount(rows);
    for (int row = 0; row < rows; ++row) SetRow(row);
    CellMarks::Restore(*list_, marks);
    list_->clearSelection();
    filling_ = false;
    UpdateSubtotals();
}

void CViewIngredients::SetRow(int row) {
    const auto& foods = GetDocument()->DayFoods();
    if (row < 0 || std::size_t(row) >= foods.size() || row >= list_->rowCount()) return;
    const std::vector<std::string> texts = DayFoodList::RowTexts(foods[std::size_t(row)]);
    for (int column = 0; column < DayFoodList::kColumnCount; ++column) {
        QTableWidgetItem* item = list_->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            if (column == DayFoodList::kName) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            list_->setItem(row, column, item);
        }
        if (!CellMarks::IsMarked(*list_, row, column))
            item->setText(QString::fromStdString(texts[std::size_t(column)]));
    }
    // A row is set again whenever its entry changes: a new food, meal or weight.
    if (!filling_) UpdateSubtotals();
}

void CViewIngredients::UpdateSubtotals() {
    const CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    const std::vector<UserLog::MealSubtotal> subtotals =
        UserLog::MealSubtotals(doc->CurrentDay(), doc->Log().Meals(), doc->Log().DataSource());
    subtotals_->Clear();
    for (const UserLog::MealSubtotal& subtotal : subtotals) {
        const int row = subtotals_->AddRow();
        const std::vector<std::string> texts = DayFoodList::SubtotalTexts(subtotal);
        for (int column = 0; column < int(texts.size()); ++column) {
            subtotals_->SetText(row, column, QString::fromStdString(texts[std::size_t(column)]));
            subtotals_->SetCellEditable(row, column, false);
            if (column != DayFoodList::kSubtotalMeal)
                subtotals_->item(row, column)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    subtotalFold_->setVisible(!subtotals.empty());
    subtotals_->setFixedHeight(subtotals_->ContentHeight());
    ShowSubtotals(subtotalFold_->isChecked());
}

void CViewIngredients::ShowSubtotals(bool open) {
    const bool any = subtotals_->rowCount() > 0;
    subtotalFold_->setArrowType(open ? Qt::DownArrow : Qt::RightArrow);
    QString text = tr("Meal subtotals");
    if (!open && any) {
        QStringList meals;
        for (int row = 0; row < subtotals_->rowCount(); ++row)
            meals << tr("%1 %2 kcal")
                         .arg(subtotals_->Text(row, DayFoodList::kSubtotalMeal).trimmed(),
                              subtotals_->Text(row, DayFoodList::kSubtotalEnergy));
        text += ": " + meals.join(QStringLiteral(" \u00b7 "));
    }
    subtotalFold_->setText(text);
    subtotals_->setVisible(open && any);
}

std::vector<int> CViewIngredients::SelectedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < list_->rowCount(); ++row)
        if (list_->selectionModel()->isRowSelected(row, QModelIndex())) rows.push_back(row);
    return rows;
}

std::optional<std::string> CViewIngredients::SelectedMeal() const {
    const std::vector<int> rows = SelectedRows();
    const CVelmoraDoc* doc = GetDocument();
    if (rows.empty() || !doc || std::size_t(rows.front()) >= doc->DayFoods().size()) return std::nullopt;
    return doc->DayFoods()[std::size_t(rows.front())].meal;
}

std::optional<FoodKey> CViewIngredients::TreeFood() const {
    const CDS_Ingredient* food = tree_->FoodOfItem(tree_->currentItem());
    return food ? std::optional<FoodKey>(food->GetFoodKey()) : std::nullopt;
}

std::vector<FoodKey> CViewIngredients::ComparisonFoods() const {
    if (!GetDocument()) return {};
    return DayFoodList::ComparisonKeys(GetDocument()->DayFoods(), SelectedRows(), TreeFood());
}

void CViewIngredients::UpdateButtons() {
    std::optional<unsigned> status;
    if (auto food = TreeFood(); food && GetDocument()) status = GetDocument()->FoodStatus(food->key, food->source);
    const auto states = DayFoodList::ButtonsFor(list_->rowCount(), SelectedRows(), status);
    add_->setEnabled(states.add);
    delete_->setEnabled(states.remove);
    clear_->setEnabled(states.clear);
    up_->setEnabled(states.up);
    down_->setEnabled(states.down);
}

void CViewIngredients::RefreshTreeIcons() {
    tree_->SetStatusList(GetDocument()->DayFoods());
    tree_->UpdateAllFoodIcons();
}

void CViewIngredients::OnSelectionChanged() {
    if (filling_) return;
    UpdateButtons();
    RebuildGrid();
    // Food Comparison follows what is selected; the tool bar asks again.
    if (CVelmoraDoc* doc = GetDocument()) emit doc->changed();
}

void CViewIngredients::OnAdd() { AddTreeFood(); }

void CViewIngredients::AddTreeFood() {
    CVelmoraDoc* doc = GetDocument();
    const auto food = TreeFood();
    if (!doc || !food || (doc->FoodStatus(food->key, food->source) & kFoodWithoutMeal)) return;
    if (doc->AddFoodReady(food->key, food->source, TimeOfDay()) < 0) return;
    ShowAddedEntry();
}

void CViewIngredients::ShowAddedEntry() {
    const int row = list_->rowCount();
    list_->insertRow(row);
    SetRow(row);
    RefreshTreeIcons();
    UpdateButtons();
    FillRecent();
    list_->setCurrentCell(row, DayFoodList::kAmount);
    if (QTableWidgetItem* amount = list_->item(row, DayFoodList::kAmount)) {
        list_->setFocus();
        list_->editItem(amount);
        // The list lays out its new row later; only then can it be brought into view.
        QTimer::singleShot(0, list_, [list = list_] {
            if (list->IsEditing()) list->scrollTo(list->currentIndex());
        });
    }
}

void CViewIngredients::FillRecent() {
    const CVelmoraDoc* doc = GetDocument();
    recentItems_ = doc ? RecentFoods::Build(doc->Log()) : std::vector<RecentFoods::Item>{};
    std::vector<CRecentFoodsList::Row> rows;
    std::optional<RecentFoods::Section> section;
    for (const RecentFoods::Item& item : recentItems_) {
        if (item.section != section) {
            section = item.section;
            CRecentFoodsList::Row heading;
            heading.heading = SectionHeading(item.section);
            rows.push_back(std::move(heading));
        }
        CRecentFoodsList::Row row;
        row.food = item.key;
        row.name = QString::fromStdString(item.food->Name());
        row.favourite = item.favourite;
        if (item.last) {
            row.last = QString::fromStdString(DayFoodList::NumberText(item.last->amount) + " " + item.last->unitName)
                           .trimmed();
            row.tip = tr("Double-click or Enter: log %1 again").arg(row.last);
        } else {
            row.tip = tr("Double-click or Enter: log one portion");
        }
        if (item.timesLogged > 1) row.tip += tr(" (logged %1 times)").arg(item.timesLogged);
        rows.push_back(std::move(row));
    }
    recent_->SetRows(rows);
}

void CViewIngredients::OnRecentChosen(int key, int source) {
    CVelmoraDoc* doc = GetDocument();
    const FoodKey food(key, source);
    const auto item = std::find_if(recentItems_.begin(), recentItems_.end(),
                                   [&](const RecentFoods::Item& i) { return i.key == food; });
    if (!doc || item == recentItems_.end()) return;
    const int unit = item->last ? item->last->unitIndex : 0;
    const double grams = item->last ? item->last->grams : 0;
    if (doc->AddFoodAgain(food, unit, grams, TimeOfDay()) < 0) return;
    ShowAddedEntry();
}

void CViewIngredients::OnRecentStarToggled(int key, int source) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    const FoodKey food(key, source);
    doc->SetFavouriteFood(food, !doc->Log().IsFavourite(food));
    FillRecent();
}

void CViewIngredients::OnResultActivated() {
    OnResultSelected();
    AddTreeFood();
}

void CViewIngredients::OnTreeDoubleClicked(QTreeWidgetItem* item) {
    if (tree_->IsFoodItem(item) && item == tree_->currentItem()) OnAdd();
}

bool CViewIngredients::eventFilter(QObject* watched, QEvent* event) {
    // Down from the search box goes to the best match, so a food is found and logged without the
    // mouse: letters, Down, Enter.
    if (watched == searchBox_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down && results_->rowCount() > 0) {
        results_->setFocus(Qt::TabFocusReason);
        results_->setCurrentCell(0, 0);
        return true;
    }
    if (watched == tree_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        QTreeWidgetItem* item = tree_->currentItem();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && item && tree_->IsFoodItem(item)) {
            OnAdd();
            return true;
        }
    }
    return CViewBase::eventFilter(watched, event);
}

void CViewIngredients::OnDelete() {
    CVelmoraDoc* doc = GetDocument();
    const std::vector<int> rows = SelectedRows();
    if (!doc || rows.empty()) return;
    const int row = rows.front();
    filling_ = true;
    list_->removeRow(row);
    filling_ = false;
    doc->RemoveFood(row);
    RefreshTreeIcons();
    FillRecent();
    UpdateButtons();
    UpdateSubtotals();
    RebuildGrid();
}

void CViewIngredients::OnClear() {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    filling_ = true;
    list_->setRowCount(0);
    filling_ = false;
    CProfileDocument::ChangeScope change(*doc, "Clear");
    auto& foods = doc->DayFoods();
    while (!foods.empty()) {
        tree_->UpdateFoodIcon(foods.front().GetFoodKey(), 0);
        doc->RemoveFood(0);
    }
    RefreshTreeIcons();
    FillRecent();
    UpdateButtons();
    UpdateSubtotals();
    RebuildGrid();
}

void CViewIngredients::OnUp() { MoveSelected(-1); }

void CViewIngredients::OnDown() { MoveSelected(1); }

void CViewIngredients::MoveSelected(int step) {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1) return;
    const int row = rows.front();
    const int target = row + step;
    if (target < 0 || target >= list_->rowCount()) return;
    CVelmoraDoc* doc = GetDocument();
    doc->MoveFood(row, target);
    // A mark belongs to the entry's text, which the rows are about to trade.
    for (int column : {DayFoodList::kAmount, DayFoodList::kWeight})
        for (int r : {row, target}) CellMarks::Clear(*list_, r, column);
    CGridDim layout = doc->Layout(LayoutKind::Food);
    layout.SwapRowSizes(NutrientsByFood::kFirstEntryLayoutRow + row, NutrientsByFood::kFirstEntryLayoutRow + target);
    doc->SetLayout(LayoutKind::Food, std::move(layout));
    SetRow(row);
    SetRow(target);
    list_->clearSelection();
    list_->selectRow(target);
    UpdateButtons();
}

void CViewIngredients::OnCellChoiceFinished(int row, int column, const QString& text) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    const auto& foods = doc->DayFoods();
    if (row < 0 || std::size_t(row) >= foods.size()) return;
    if (column == DayFoodList::kMeal) {
        doc->SetFoodMeal(row, text.toStdString());
        SetRow(row);
        RefreshTreeIcons();
        UpdateButtons();
    } else if (column == DayFoodList::kUnits) {
        const int unit = DayFoodList::UnitIndexOfName(foods[std::size_t(row)], text.toStdString());
        if (unit < 0) return;
        doc->SetFoodUnit(row, unit);
        SetRow(row);
        FillRecent();
    }
}

void CViewIngredients::OnCellTextEditFinished(int row, int column, const QString& text) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc || (column != DayFoodList::kAmount && column != DayFoodList::kWeight)) return;
    const auto& foods = doc->DayFoods();
    if (row < 0 || std::size_t(row) >= foods.size()) return;
    // The amount and the weight are two faces of one number: a good text in either corrects both.
    CellMarks::Clear(*list_, row, DayFoodList::kAmount);
    CellMarks::Clear(*list_, row, DayFoodList::kWeight);
    const TypedInput typed = ReadTyped(text.toStdString(), TypedRule::Weight);
    std::string error = typed.error;
    if (typed.kind == TypedInput::Kind::Number) {
        const double weight = column == DayFoodList::kAmount
                                  ? DayFoodList::WeightOfAmount(foods[std::size_t(row)], typed.value)
                                  : typed.value;
        // An amount of a heavy unit may make a weight too large to hold.
        if (DayFoodList::IsAcceptableWeight(weight)) {
            doc->SetFoodWeight(row, weight);
            doc->RecomputeEnergyShares();
            SetRow(row);
            FillRecent();
            ClearStatusMessage();
            return;
        }
        error = TooLargeText(text.toStdString());
    }
    // The entry keeps its weight; the cell keeps the text, for the user to correct.
    SetRow(row);
    CellMarks::Set(*list_, row, column, text, QString::fromStdString(error));
    ShowStatusMessage(error);
}

void CViewIngredients::OnSearchTextChanged(const QString& text) {
    if (text.isEmpty()) {
        searchTimer_->stop();
        results_->setRowCount(0);
        resultCount_->clear();
        StartSearch();  // drops the old text's scans
        return;
    }
    searchTimer_->start();
}

void CViewIngredients::StartSearch() {
    searchTimer_->stop();
    const CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    const Gui::CAppContext& app = doc->App();
    if (!app.searchContext || !app.searchWorkers || !app.dataSource) return;
    CFoodSearchContext* context = app.searchContext;
    const CDataSourceMgr* source = app.dataSource;
    // A newer text raises the flag, so a worker still ranking this text's results stops.
    std::shared_ptr<const FoodSearch::CancelFlag> cancel = context->SetText(searchBox_->text().toStdString());
    const std::vector<std::string> terms = context->Terms();
    // Foods this profile logged before rank ahead of others that fit as well.
    std::set<FoodKey> logged = doc->Log().LoggedFoods();
    // The pointer is only read on this thread, inside the queued call; a view closed meanwhile
    // simply gets nothing.
    QPointer<CViewIngredients> self(this);
    app.searchWorkers->Launch([context, source, self, terms, logged = std::move(logged), cancel = std::move(cancel),
                               everyday = context->EverydayFoods()] {
        while (auto list = context->ProcessNext(*source, cancel.get())) {
            auto ranked = std::make_shared<FoodMatchList>(*list);
            if (!FoodSearch::Rank(*source, *ranked, terms, logged, everyday.get(), cancel.get())) return;
            QMetaObject::invokeMethod(
                qApp,
                [self, list, ranked] {
                    if (self) self->ShowResults(list, *ranked);
                },
                Qt::QueuedConnection);
        }
    });
}

void CViewIngredients::ShowResults(const std::shared_ptr<const FoodMatchList>& list, const FoodMatchList& ranked) {
    // Lists arrive after the fact: one whose text was replaced meanwhile, or that a further word
    // has narrowed already, is not shown. Whichever worker made the context's last list delivers it.
    const CVelmoraDoc* doc = GetDocument();
    if (!doc || !doc->App().searchContext || doc->App().searchContext->LastResult() != list) return;
    const QSignalBlocker block(results_);
    results_->clearSelection();
    results_->setRowCount(0);
    results_->setRowCount(int(ranked.size()));
    resultCount_->setText(ranked.size() == 1 ? tr("1 food found") : tr("%n foods found", nullptr, int(ranked.size())));
    const std::vector<std::string> labels = FoodSearch::Labels(*doc->App().dataSource, ranked);
    int row = 0;
    for (const FoodMatch& match : ranked) {
        auto* item = new QTableWidgetItem(QString::fromStdString(labels[std::size_t(row)]));
        item->setData(kKeyRole, match.key.key);
        item->setData(kSourceRole, match.key.source);
        results_->setItem(row++, 0, item);
    }
}

void CViewIngredients::OnResultSelected() {
    const auto selected = results_->selectedItems();
    const CVelmoraDoc* doc = GetDocument();
    if (selected.isEmpty() || !doc || !doc->App().dataSource) return;
    const QTableWidgetItem* item = selected.front();
    tree_->ShowFood(*doc->App().dataSource, FoodKey(item->data(kKeyRole).toInt(), item->data(kSourceRole).toInt()));
}

void CViewIngredients::RebuildGrid() {
    CVelmoraDoc* doc = GetDocument();
    if (!doc || !initialised_) return;
    const auto& foods = doc->DayFoods();
    std::vector<UserLog::CNutrientRequirement> requirements;
    doc->Log().GetEffectiveRequirements(requirements);
    std::vector<NutrientsByFood::ShownFood> entries;
    for (int row : SelectedRows()) {
        if (std::size_t(row) >= foods.size()) continue;
        const UserLog::CDayFood& entry = foods[std::size_t(row)];
        entries.push_back({row, entry.ShownName(), entry.food.get()});
    }
    std::optional<NutrientsByFood::ShownFood> treeFood;
    if (const CDS_Ingredient* food = tree_->FoodOfItem(tree_->currentItem())) treeFood = {{-1, food->Name(), food}};
    const NutrientsByFood::Grid grid =
        NutrientsByFood::Build(requirements, entries, treeFood ? &*treeFood : nullptr, doc->Log().DataSource());

    const CGridDim& layout = doc->Layout(LayoutKind::Food);
    const int rows = int(grid.rows.size());
    grid_->SetSize(rows, grid.columns);
    const QColor header = palette().color(QPalette::Button);
    const QColor entry = Qt::white;
    const QColor tree(150, 255, 150);
    for (int r = 0; r < rows; ++r) {
        const NutrientsByFood::Row& row = grid.rows[std::size_t(r)];
        grid_->SetRowSize(r, layout.RowSize(row.layoutRow));
        const QColor& values = row.kind == NutrientsByFood::RowKind::Header     ? header
                               : row.kind == NutrientsByFood::RowKind::TreeFood ? tree
                                                                                : entry;
        for (int c = 0; c < grid.columns; ++c) {
            grid_->SetCellText(r, c, QString::fromStdString(row.cells[std::size_t(c)]));
            grid_->SetCellEditable(r, c, false);
            grid_->SetCellBackground(r, c, c == 0 ? header : values);
        }
    }
    for (int c = 0; c < grid.columns; ++c) grid_->SetColumnSize(c, layout.ColumnSize(c));
    grid_->Redraw();
}

void CViewIngredients::StoreRowSize(int gridRow, int height) {
    CVelmoraDoc* doc = GetDocument();
    const int index = NutrientsByFood::LayoutRowOfGridRow(gridRow, SelectedRows(), TreeFood().has_value());
    if (!doc || index < 0) return;
    CGridDim layout = doc->Layout(LayoutKind::Food);
    layout.SetRowSize(index, height);
    doc->SetLayout(LayoutKind::Food, std::move(layout));
}

void CViewIngredients::StoreColumnSize(int column, int width) {
    CVelmoraDoc* doc = GetDocument();
    if (!doc) return;
    CGridDim layout = doc->Layout(LayoutKind::Food);
    layout.SetColumnSize(column, width);
    doc->SetLayout(LayoutKind::Food, std::move(layout));
}

void CViewIngredients::OnCompareFoods() {
    const std::vector<FoodKey> foods = ComparisonFoods();
    const CVelmoraDoc* doc = GetDocument();
    if (foods.size() < 2 || !doc || !doc->App().dataSource) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Report::CompareFoods(*doc->App().dataSource, foods);
    QApplication::restoreOverrideCursor();
}
