#include "MainFrame.h"

#include "ChildFrame.h"
#include "ProfileController.h"
#include "VelmoraDoc.h"
#include "Welcome.h"
#include "ui/views/ViewBase.h"
#include "ui/web/WebControlBase.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWhatsThis>

#include <algorithm>
#include <optional>

using Gui::CommandId;

namespace {

constexpr int kGap = 0;  // a separator in a tool bar's button list

// Whether the widget is part of an HTML page.
bool InsidePage(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w->inherits("QWebEngineView")) return true;
    return false;
}

// The keys that edit text: select all, copy, cut, paste, undo and redo typing. In a text field
// they belong to the field, though some of them are also the window's commands.
bool EditsText(const QKeyEvent& key) {
    for (QKeySequence::StandardKey k : {QKeySequence::SelectAll, QKeySequence::Copy, QKeySequence::Cut,
                                        QKeySequence::Paste, QKeySequence::Undo, QKeySequence::Redo})
        if (key.matches(k)) return true;
    return false;
}

}  // namespace

// One line of a menu: a command, a separator, or a submenu with its title.
struct CMainFrame::Item {
    std::optional<CommandId> id;
    QString text;  // the submenu's title, or the command's text where this menu names it its own way
    std::vector<Item> submenu;

    static Item Separator() { return {}; }
    bool IsSeparator() const { return !id && submenu.empty(); }
};

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("Velmora"));
    setAcceptDrops(true);
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("mdiArea"));
    mdi_->setBackground(QColor(0x8C, 0x96, 0xA0));
    mdi_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(mdi_);
    // The welcome sits in the middle of the empty area; the profile windows cover it, and it hides
    // while there are any.
    welcome_ = new CWelcome(mdi_->viewport());
    welcome_->SetCommandHandler([this](CommandId id) { ExecuteCommand(id); });
    auto* centre = new QVBoxLayout(mdi_->viewport());
    centre->setSizeConstraint(QLayout::SetNoConstraint);
    centre->addWidget(welcome_, 0, Qt::AlignCenter);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateFrameState(); });
    connect(qApp, &QApplication::focusChanged, this, [this] { RequestCommandUIUpdate(); });
    qApp->installEventFilter(this);

    OnCommand(CommandId::WindowCascade, [this] { CascadeSubWindows(); });
    OnCommand(CommandId::WindowTile, [this] { mdi_->tileSubWindows(); });
    OnCommand(CommandId::AppExit, [this] { close(); });
    OnCommand(CommandId::ContextHelp, [] { QWhatsThis::enterWhatsThisMode(); });
    // The help pages are the reference pages of the application folder.
    for (CommandId help : {CommandId::Help, CommandId::HelpFinder, CommandId::HelpIndex})
        OnCommand(
            help, [this] { app_->RunCommand(CommandId::HelpReference); },
            [this] { return app_ && app_->CanRun(CommandId::HelpReference); });
}

CMainFrame::~CMainFrame() {
    // The profile windows go while this window is still whole: closing them reports activation
    // changes, which must find nothing more to update.
    destroying_ = true;
    qApp->removeEventFilter(this);
    delete mdi_;
    mdi_ = nullptr;
}

void CMainFrame::CascadeSubWindows() {
    mdi_->cascadeSubWindows();
    // Qt gives each window the size it would like, which for a profile window can be more than
    // the area holds, putting its tabs out of reach below; each ends within the area instead.
    const QRect area = mdi_->viewport()->rect();
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (sub->isHidden() || sub->isMinimized()) continue;
        QRect geometry = sub->geometry();
        geometry.setRight(std::min(geometry.right(), area.right()));
        geometry.setBottom(std::min(geometry.bottom(), area.bottom()));
        sub->setGeometry(geometry);
    }
}

void CMainFrame::SetAppTarget(Gui::CCommandTarget* app) {
    app_ = app;
    UpdateCommandUI();
}

QAction* CMainFrame::MakeAction(const Gui::Command& command, const QString& text, QObject* owner) {
    const CommandId id = command.id;
    auto* action = new QAction(text, owner);
    action->setObjectName(QStringLiteral("cmd%1").arg(static_cast<int>(id)));
    action->setStatusTip(command.StatusTip());
    action->setData(static_cast<int>(id));
    connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    actions_.emplace(id, action);
    return action;
}

QMenu* CMainFrame::BuildMenu(const QString& title, const std::vector<Item>& items) {
    auto* menu = new QMenu(title, this);
    for (const Item& item : items) {
        if (!item.submenu.empty()) {
            menu->addMenu(BuildMenu(item.text, item.submenu));
        } else if (item.IsSeparator()) {
            menu->addSeparator();
        } else if (const Gui::Command* command = Gui::FindCommand(*item.id)) {
            menu->addAction(MakeAction(*command, item.text.isEmpty() ? command->MenuText() : item.text, menu));
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    return menu;
}

QToolBar* CMainFrame::BuildToolBar(int id, const std::vector<int>& buttons) {
    auto* bar = new QToolBar(QStringLiteral("Standard"), this);
    bar->setObjectName(QStringLiteral("toolBar%1").arg(id));
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int button : buttons) {
        if (button == kGap) {
            bar->addSeparator();
            continue;
        }
        const Gui::Command* command = Gui::FindCommand(static_cast<CommandId>(button));
        if (!command) continue;
        QAction* action = MakeAction(*command, command->ToolTip(), bar);
        action->setIcon(command->Icon());
        bar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, bar);
    bar->hide();
    toolBars_[id] = bar;
    return bar;
}

void CMainFrame::BuildKeyActions() {
    // The keys work from every tab, pages included, and whichever menu is on show; the menus only
    // write them beside their items.
    for (const Gui::Command& command : Gui::Commands()) {
        const QList<QKeySequence> keys = command.Shortcuts();
        if (keys.isEmpty()) continue;
        QAction* action = MakeAction(command, command.Text(), this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // Before a key reaches a shortcut, the widget with the focus may claim it, and the browser
    // engine claims editing keys such as Ctrl+C and Ctrl+V for the page even where no text is
    // edited. The window's keys must work there as on every other tab, so the page is not asked
    // unless one of its text fields has the focus (the engine then takes text input): there, as
    // in the window's own fields, the keys that edit text edit the text, and the menus and the
    // tool bar still run the commands. The receiver may be an item inside the page, not a
    // widget: the focus widget tells where the key was typed.
    if (event->type() == QEvent::ShortcutOverride && !destroying_) {
        QWidget* focus = QApplication::focusWidget();
        const auto* key = static_cast<QKeyEvent*>(event);
        if (focus && focus->window() == this && InsidePage(focus) &&
            Gui::CommandForKeys(QKeySequence(key->keyCombination())) &&
            !(EditsText(*key) && focus->inputMethodQuery(Qt::ImEnabled).toBool())) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool CMainFrame::Create() {
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->setSizeGripEnabled(true);

    using C = CommandId;
    auto cmd = [](C id) { return Item{id, {}, {}}; };
    auto submenu = [](const char* title, std::vector<Item> items) {
        return Item{{}, QString::fromUtf8(title), std::move(items)};
    };
    const Item sep = Item::Separator();

    // The menu without a profile underlines another letter of Exit than the table does.
    menus_[kNoProfile] = {
        BuildMenu(QStringLiteral("&Profile"),
                  {cmd(C::FileNew), cmd(C::FileOpen), sep, Item{C::AppExit, QStringLiteral("E&xit"), {}}}),
        BuildMenu(QStringLiteral("&Help"), {cmd(C::HelpReference), cmd(C::AppAbout)}),
    };

    windowMenu_ = BuildMenu(QStringLiteral("&Window"),
                            {cmd(C::NextTab), cmd(C::PreviousTab), sep, cmd(C::WindowCascade), cmd(C::WindowTile)});
    connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::RebuildWindowMenu);
    menus_[kProfile] = {
        BuildMenu(QStringLiteral("&Profile"),
                  {cmd(C::FileNew), cmd(C::FileOpen), cmd(C::FileClose), cmd(C::FileSave), cmd(C::FileSaveAs), sep,
                   cmd(C::Import), cmd(C::Export), cmd(C::ExportCsv), sep, cmd(C::AppExit)}),
        BuildMenu(QStringLiteral("&Edit"),
                  {cmd(C::EditUndo), cmd(C::EditRedo), sep, cmd(C::EditDelete), cmd(C::EditCopy), cmd(C::EditPaste),
                   sep, cmd(C::CopyDayTo), cmd(C::CopyMealTo), cmd(C::RepeatYesterdaysMeal), sep, cmd(C::Facts)}),
        BuildMenu(QStringLiteral("F&oods"),
                  {cmd(C::FindFood), sep, cmd(C::NewFood), cmd(C::EditFood), cmd(C::DuplicateFood), cmd(C::DeleteFood),
                   sep, cmd(C::NewRecipe), cmd(C::SaveAsRecipe)}),
        BuildMenu(QStringLiteral("Reports"), {submenu("Daily", {cmd(C::ReportSummary), cmd(C::ReportMenu)}),
                                              cmd(C::ReportPeriod), cmd(C::ReportFoodComparison), cmd(C::ReportXml)}),
        BuildMenu(QStringLiteral("Tools"),
                  {cmd(C::EnergyRequirements), cmd(C::DayTargets), sep, cmd(C::SoftwareUpdate), cmd(C::Settings)}),
        windowMenu_,
        BuildMenu(QStringLiteral("&Help"), {cmd(C::HelpReference), cmd(C::AppAbout)}),
    };

    auto id = [](C c) { return static_cast<int>(c); };
    BuildToolBar(kNoProfile,
                 {id(C::FileNew), id(C::FileOpen), kGap, id(C::Import), kGap, id(C::HelpFinder), id(C::AppAbout)});
    BuildToolBar(kProfile, {id(C::FileNew), id(C::FileOpen), id(C::FileSave), kGap, id(C::Import), id(C::Export),
                            id(C::GoToDate), kGap, id(C::EditUndo), id(C::EditRedo), id(C::EditCopy), id(C::EditPaste),
                            id(C::EditDelete), kGap, id(C::HelpFinder), id(C::AppAbout)});
    BuildKeyActions();

    for (const auto& [menuId, menus] : menus_)
        for (QMenu* menu : menus)
            if (!menu) return false;
    if (!toolBars_[kNoProfile] || !toolBars_[kProfile]) return false;

    toolBarOnShow_ = kNoProfile;
    toolBars_[kNoProfile]->show();
    ShowMenu(kNoProfile);
    UpdateCommandUI();
    return true;
}

void CMainFrame::ShowMenu(int id) {
    if (menuOnShow_ == id) return;
    menuBar()->clear();
    for (QMenu* menu : menus_[id]) menuBar()->addMenu(menu);
    menuOnShow_ = id;
}

bool CMainFrame::ShowToolBar(int id) {
    if (id == toolBarOnShow_) return true;
    QToolBar* next = ToolBar(id);
    QToolBar* current = ToolBar(toolBarOnShow_);
    if (!next || !current) return false;
    // The new bar takes the old one's place before the old one goes, so nothing below moves.
    const bool visible = current->isVisible();
    toolBarOnShow_ = id;
    if (visible) {
        setUpdatesEnabled(false);
        insertToolBar(current, next);
        next->show();
        current->hide();
        setUpdatesEnabled(true);
    }
    return true;
}

QToolBar* CMainFrame::ToolBar(int id) const {
    auto it = toolBars_.find(id);
    return it == toolBars_.end() ? nullptr : it->second;
}

const std::vector<QMenu*>& CMainFrame::Menus(int id) const {
    static const std::vector<QMenu*> none;
    auto it = menus_.find(id);
    return it == menus_.end() ? none : it->second;
}

std::vector<QAction*> CMainFrame::CommandActions(CommandId id) const {
    std::vector<QAction*> out;
    auto [b, e] = actions_.equal_range(id);
    for (auto it = b; it != e; ++it) out.push_back(it->second);
    return out;
}

QMdiSubWindow* CMainFrame::AddChildFrame(CChildFrameBase* frame) {
    QMdiSubWindow* sub = mdi_->addSubWindow(frame);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(frame->windowTitle());
    sub->setWindowIcon(windowIcon());
    connect(frame, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
    connect(frame, &CChildFrameBase::commandRequested, this, &CMainFrame::ExecuteCommand);
    if (CVelmoraDoc* doc = frame->GetActiveDocument())
        connect(doc, &CVelmoraDoc::changed, this, &CMainFrame::RequestCommandUIUpdate);
    connect(sub, &QObject::destroyed, this, [this] { QTimer::singleShot(0, this, [this] { UpdateFrameState(); }); });
    sub->showMaximized();
    mdi_->setActiveSubWindow(sub);
    UpdateFrameState();
    return sub;
}

void CMainFrame::ActivateChildFrame(CChildFrameBase* frame) {
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (sub->widget() == frame) {
            if (sub->isMinimized()) sub->showNormal();
            mdi_->setActiveSubWindow(sub);
        }
    UpdateFrameState();
}

std::vector<CChildFrameBase*> CMainFrame::ChildFrames() const {
    std::vector<CChildFrameBase*> frames;
    if (!mdi_) return frames;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* frame = qobject_cast<CChildFrameBase*>(sub->widget()); frame && !sub->isHidden())
            frames.push_back(frame);
    return frames;
}

CChildFrameBase* CMainFrame::ActiveChildFrame() const {
    QMdiSubWindow* sub = mdi_ ? mdi_->currentSubWindow() : nullptr;
    if (!sub || sub->isHidden()) return nullptr;
    return qobject_cast<CChildFrameBase*>(sub->widget());
}

void CMainFrame::UpdateFrameState() {
    if (destroying_) return;
    CChildFrameBase* child = ActiveChildFrame();
    const bool profile = child && child->GetActiveDocument();
    welcome_->setVisible(ChildFrames().empty());
    ShowMenu(ChildFrames().empty() ? kNoProfile : kProfile);
    if (!ShowToolBar(profile ? kProfile : kNoProfile)) ShowToolBar(kNoProfile);
    // A maximised profile window lends this window its title with the mark of unsaved changes.
    // Qt clears the mark when a maximised window closes, whatever the one shown next holds.
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    const bool modified = sub && sub->isMaximized() && sub->isWindowModified();
    if (!modified || windowTitle().contains(QStringLiteral("[*]"))) setWindowModified(modified);
    UpdateCommandUI();
}

void CMainFrame::RequestCommandUIUpdate() {
    if (updatePending_ || destroying_) return;
    updatePending_ = true;
    QTimer::singleShot(0, this, [this] {
        updatePending_ = false;
        UpdateCommandUI();
    });
}

std::vector<Gui::CCommandTarget*> CMainFrame::Route(CChildFrameBase* child) const {
    std::vector<Gui::CCommandTarget*> route;
    if (child) {
        if (CViewBase* view = child->GetActiveView()) route.push_back(view);
        if (CVelmoraDoc* doc = child->GetActiveDocument()) route.push_back(doc);
        if (CProfileController* controller = child->Controller()) route.push_back(controller);
    }
    route.push_back(const_cast<CMainFrame*>(this));
    if (app_) route.push_back(app_);
    return route;
}

Gui::CCommandTarget* CMainFrame::Answering(CChildFrameBase* child, CommandId id) const {
    for (Gui::CCommandTarget* target : Route(child))
        if (target->Answers(id)) return target;
    return nullptr;
}

bool CMainFrame::IsCommandEnabled(CommandId id) {
    Gui::CCommandTarget* target = Answering(ActiveChildFrame(), id);
    return target && target->CanRun(id);
}

void CMainFrame::ExecuteCommand(CommandId id) {
    CChildFrameBase* child = ActiveChildFrame();
    if (child) child->BeforeCommand();
    // The command may close the window it belongs to; nothing of the route is used after it.
    if (Gui::CCommandTarget* target = Answering(child, id)) target->RunCommand(id);
    RequestCommandUIUpdate();
}

void CMainFrame::UpdateCommandUI() {
    if (destroying_) return;
    std::map<CommandId, bool> enabled;
    CChildFrameBase* child = ActiveChildFrame();
    for (auto& [id, action] : actions_) {
        auto it = enabled.find(id);
        if (it == enabled.end()) it = enabled.emplace(id, IsCommandEnabled(id)).first;
        action->setEnabled(it->second);
        const Gui::Command* command = Gui::FindCommand(id);
        if (!command || !qobject_cast<QMenu*>(action->parent())) continue;
        // Undo and Redo say which change they would take back or make again.
        const Gui::CCommandTarget* target = Answering(child, id);
        const std::string description = target ? target->Description(id) : std::string();
        if (description.empty()) {
            if (action->property("described").toBool()) action->setText(command->MenuText());
            action->setProperty("described", false);
            continue;
        }
        const QList<QKeySequence> keys = command->Shortcuts();
        QString text = QString::fromStdString(description);
        if (!keys.isEmpty()) text += '\t' + keys.front().toString(QKeySequence::PortableText);
        action->setText(text);
        action->setProperty("described", true);
    }
}

void CMainFrame::RebuildWindowMenu() {
    for (QAction* action : windowListActions_) {
        windowMenu_->removeAction(action);
        action->deleteLater();
    }
    windowListActions_.clear();
    const auto frames = ChildFrames();
    if (frames.empty()) return;
    windowListActions_.push_back(windowMenu_->addSeparator());
    CChildFrameBase* active = ActiveChildFrame();
    int number = 0;
    for (CChildFrameBase* frame : frames) {
        ++number;
        QString text = frame->windowTitle();
        text.remove(QStringLiteral("[*]"));
        text.replace('&', QStringLiteral("&&"));
        QAction* action = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(number).arg(text));
        action->setCheckable(true);
        action->setChecked(frame == active);
        connect(action, &QAction::triggered, this, [this, frame] { ActivateChildFrame(frame); });
        windowListActions_.push_back(action);
    }
}

bool CMainFrame::SaveAllModified() {
    for (CChildFrameBase* frame : ChildFrames()) {
        CVelmoraDoc* doc = frame->GetActiveDocument();
        if (!doc) continue;
        frame->BeforeCommand();
        if (!doc->SaveModified()) return false;
    }
    return true;
}

void CMainFrame::CloseAllDocuments() {
    for (CChildFrameBase* frame : ChildFrames()) frame->CloseWithoutAsking();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The window system's close comes through even while a view waits for its page: closing the
    // profiles now would delete the page from under that wait. The window closes after it.
    if (CWebControlBase::Waiting()) {
        event->ignore();
        if (!closeDeferred_) {
            closeDeferred_ = true;
            CWebControlBase::WhenIdle(this, [this] {
                closeDeferred_ = false;
                close();
            });
        }
        return;
    }
    if (!SaveAllModified()) {
        event->ignore();
        return;
    }
    CloseAllDocuments();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    activateWindow();
    for (const QUrl& url : urls)
        if (url.isLocalFile() && openFile_) openFile_(url.toLocalFile().toStdString());
}
