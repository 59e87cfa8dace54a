#pragma once

#include "ui/commands/CommandTarget.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <string>
#include <vector>

class CChildFrameBase;
class CWelcome;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

// The main window: the menu, the tool bar, the status bar and the profile windows. Every command,
// from a menu, a tool bar or a key, is routed to the active view, its document, the profile window,
// this window and the application, in that order; a command nobody answers is disabled.
class CMainFrame : public QMainWindow, public Gui::CCommandTarget {
    Q_OBJECT
public:
    // Menus and tool bars by their resource numbers: without and with a profile window.
    static constexpr int kNoProfile = 128;
    static constexpr int kProfile = 133;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds the status bar, the tool bars and the menus; false when any of them fails.
    bool Create();

    // The application: the last target of every command.
    void SetAppTarget(Gui::CCommandTarget* app);
    // Opens a file dropped on the window.
    void SetOpenFileHandler(std::function<void(const std::string&)> open) { openFile_ = std::move(open); }

    QMdiArea* MdiArea() const { return mdi_; }
    // On show while no profile window is open.
    CWelcome* Welcome() const { return welcome_; }
    // Shows the profile window, maximised, and makes it active.
    QMdiSubWindow* AddChildFrame(CChildFrameBase* frame);
    void ActivateChildFrame(CChildFrameBase* frame);
    std::vector<CChildFrameBase*> ChildFrames() const;
    CChildFrameBase* ActiveChildFrame() const;

    // Puts tool bar `id` on show instead of the current one; false when there is no such bar.
    bool ShowToolBar(int id);
    int ToolBarOnShow() const { return toolBarOnShow_; }
    QToolBar* ToolBar(int id) const;
    // 128 or 133, the menu on show.
    int MenuOnShow() const { return menuOnShow_; }
    // The top-level menus of menu 128 or 133.
    const std::vector<QMenu*>& Menus(int id) const;

    // Every menu, tool bar and key action of the command.
    std::vector<QAction*> CommandActions(Gui::CommandId id) const;

    void ExecuteCommand(Gui::CommandId id);
    bool IsCommandEnabled(Gui::CommandId id);
    // Brings the enabled state of every command's actions up to date.
    void UpdateCommandUI();

    // Asks each modified profile whether to save it; false when the user cancels.
    bool SaveAllModified();
    void CloseAllDocuments();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Item;
    QAction* MakeAction(const Gui::Command& command, const QString& text, QObject* owner);
    QMenu* BuildMenu(const QString& title, const std::vector<Item>& items);
    QToolBar* BuildToolBar(int id, const std::vector<int>& buttons);
    void BuildKeyActions();
    void RebuildWindowMenu();
    void UpdateFrameState();
    // Window > Cascade, every window kept within the area.
    void CascadeSubWindows();
    void RequestCommandUIUpdate();
    void ShowMenu(int id);
    std::vector<Gui::CCommandTarget*> Route(CChildFrameBase* child) const;
    // The first target on the route that answers the command; null when none does.
    Gui::CCommandTarget* Answering(CChildFrameBase* child, Gui::CommandId id) const;

    Gui::CCommandTarget* app_ = nullptr;
    std::function<void(const std::string&)> openFile_;
    QMdiArea* mdi_ = nullptr;
    CWelcome* welcome_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    std::vector<QAction*> windowListActions_;
    std::map<int, std::vector<QMenu*>> menus_;
    std::map<int, QToolBar*> toolBars_;
    std::multimap<Gui::CommandId, QAction*> actions_;
    int toolBarOnShow_ = 0;
    int menuOnShow_ = 0;
    bool updatePending_ = false;
    bool destroying_ = false;
    bool closeDeferred_ = false;  // a close that came during a page wait runs after it
};
