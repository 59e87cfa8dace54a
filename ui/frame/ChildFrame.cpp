#include "ChildFrame.h"

#include "ProfileController.h"
#include "VelmoraDoc.h"
#include "ui/views/ViewBase.h"
#include "ui/views/ViewIngredients.h"

#include "widgets/CustomTabCtrl.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QStackedLayout>
#include <QVBoxLayout>

CChildFrameBase::CChildFrameBase(std::unique_ptr<CVelmoraDoc> document, std::vector<std::string> tabNames,
                                 ViewFactory factory, QWidget* parent)
    : QWidget(parent), document_(std::move(document)), factory_(std::move(factory)) {
    for (auto& name : tabNames) tabList_.emplace_back(std::move(name), nullptr);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* viewArea = new QWidget(this);
    viewStack_ = new QStackedLayout(viewArea);
    layout->addWidget(viewArea, 1);
    if (document_) {
        controller_ = std::make_unique<CProfileController>(*document_);
        controller_->showDayTargets = [this] {
            if (CViewBase* view = ShowTab("Log")) view->setFocus();
        };
        controller_->findFood = [this] {
            if (auto* food = qobject_cast<CViewIngredients*>(ShowTab("Food"))) {
                food->SearchBox().setFocus(Qt::ShortcutFocusReason);
                food->SearchBox().selectAll();
            }
        };
        controller_->stepTab = [this](int step) {
            const int count = TabCount();
            if (count == 0) return;
            if (CViewBase* view = ShowTabAt(((CurrentTab() + step) % count + count) % count)) view->setFocus();
        };
        connect(document_.get(), &CVelmoraDoc::titleChanged, this, &CChildFrameBase::UpdateTitle);
        connect(document_.get(), &CVelmoraDoc::changed, this, [this] { setWindowModified(document_->IsModified()); });
        connect(document_.get(), &CVelmoraDoc::closeRequested, this, &CChildFrameBase::CloseWindow);
    }
    UpdateTitle();
}

CChildFrameBase::~CChildFrameBase() {
    // The views go before the document they show.
    for (auto& [name, view] : tabList_) delete view.data();
}

bool CChildFrameBase::Create() {
    if (tabList_.empty()) return false;
    CViewBase* first = MakeView(tabList_.front().first);
    if (!first) return false;
    viewStack_->setCurrentWidget(first);
    tabList_.front().second = first;
    activeView_ = first;
    if (document_) document_->AddView(activeView_);

    tabs_ = new CCustomTabCtrl(this);
    tabs_->setObjectName(QStringLiteral("tabs"));
    tabs_->SetButtonToolTip(CCustomTabCtrl::First, QStringLiteral("First"));
    tabs_->SetButtonToolTip(CCustomTabCtrl::Prev, QStringLiteral("Prev"));
    tabs_->SetButtonToolTip(CCustomTabCtrl::Next, QStringLiteral("Next"));
    tabs_->SetButtonToolTip(CCustomTabCtrl::Last, QStringLiteral("Last"));
    tabs_->SetButtonToolTip(CCustomTabCtrl::Close, QStringLiteral("Close"));
    for (std::size_t i = 0; i < tabList_.size(); ++i)
        tabs_->InsertItem(static_cast<int>(i), QString::fromStdString(tabList_[i].first));
    tabs_->SetCurSel(0);
    static_cast<QVBoxLayout*>(layout())->addWidget(tabs_);
    connect(tabs_, &CCustomTabCtrl::selectionChanged, this, &CChildFrameBase::OnTabSelected);
    connect(tabs_, &CCustomTabCtrl::closeRequested, this, &CChildFrameBase::CloseWindow);
    return true;
}

void CChildFrameBase::InitialUpdateFrame() {
    if (activeView_) activeView_->OnInitialUpdate();
}

CViewBase* CChildFrameBase::MakeView(const std::string& name) {
    std::unique_ptr<CViewBase> made = factory_(name);
    if (!made) return nullptr;
    made->SetDocument(document_.get());
    connect(made.get(), &CViewBase::commandRequested, this, &CChildFrameBase::commandRequested);
    viewStack_->addWidget(made.get());
    return made.release();
}

CViewBase* CChildFrameBase::ShowTab(const std::string& name) {
    for (int c = 0; c < TabCount(); ++c)
        if (TabName(c) == name) return ShowTabAt(c);
    return nullptr;
}

CViewBase* CChildFrameBase::ShowTabAt(int c) {
    if (!SelectTab(c)) return nullptr;
    tabs_->SetCurSel(c);
    return TabView(c);
}

int CChildFrameBase::CurrentTab() const {
    for (std::size_t i = 0; i < tabList_.size(); ++i)
        if (tabList_[i].second && tabList_[i].second == activeView_) return static_cast<int>(i);
    return -1;
}

void CChildFrameBase::OnTabSelected(int c) {
    if (!SelectTab(c)) tabs_->SetCurSel(CurrentTab());
}

bool CChildFrameBase::SelectTab(int c) {
    if (!document_ || c < 0 || c >= TabCount()) return false;
    CViewBase* old = document_->FirstView();
    auto& entry = tabList_[static_cast<std::size_t>(c)];
    CViewBase* next = entry.second;
    if (old && old == next) return true;

    if (old && !old->UpdateData(true)) return false;

    const bool created = next == nullptr;
    if (created) {
        next = MakeView(entry.first);
        if (!next) return false;
        entry.second = next;
    }

    viewStack_->setCurrentWidget(next);  // hides the old view, shows the new one
    document_->AddView(next);
    if (created)
        next->OnInitialUpdate();
    else
        next->UpdateData(false);
    activeView_ = next;
    if (old) document_->RemoveView(old);
    if (tabs_ && tabs_->GetCurSel() != c) tabs_->SetCurSel(c);
    return true;
}

void CChildFrameBase::BeforeCommand() {
    if (activeView_) activeView_->UpdateData(true);
}

void CChildFrameBase::CloseWithoutAsking() {
    closeConfirmed_ = true;
    CloseWindow();
}

void CChildFrameBase::CloseWindow() {
    // The MDI window around this frame, when there is one.
    if (parentWidget())
        parentWidget()->close();
    else
        close();
}

void CChildFrameBase::closeEvent(QCloseEvent* event) {
    if (!closeConfirmed_ && document_) {
        BeforeCommand();
        if (!document_->SaveModified()) {
            event->ignore();
            return;
        }
    }
    closeConfirmed_ = true;
    event->accept();
}

void CChildFrameBase::UpdateTitle() {
    // "[*]" is where Qt writes the mark of unsaved changes, in this window's title and in the main
    // window's while this one is maximised.
    const QString title = document_ ? QString::fromStdString(document_->GetTitle()) : QString();
    setWindowTitle(title.isEmpty() ? title : title + QStringLiteral("[*]"));
    if (document_) setWindowModified(document_->IsModified());
}

CChildFrameDay::CChildFrameDay(std::unique_ptr<CVelmoraDoc> document, ViewFactory factory, QWidget* parent)
    : CChildFrameBase(std::move(document), {"Personal", "Log", "Diet", "Energy", "Food", "Nutrients", "Trends"},
                      std::move(factory), parent) {}
