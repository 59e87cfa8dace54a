#pragma once

#include "ui/commands/Commands.h"
#include "ui/views/ViewBase.h"
#include "ui/views/ViewFactory.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CCustomTabCtrl;
class CProfileController;
class CVelmoraDoc;
class QStackedLayout;

// The window of one open profile: its views, one per tab of the strip along the bottom edge. A
// view is made the first time its tab is chosen and then kept, hidden while another tab is on
// show; only the view on show is attached to the document. The window owns its document and the
// controller of the profile's dialog commands.
class CChildFrameBase : public QWidget {
    Q_OBJECT
public:
    CChildFrameBase(std::unique_ptr<CVelmoraDoc> document, std::vector<std::string> tabNames,
                    ViewFactory factory = CreateViewByName, QWidget* parent = nullptr);
    ~CChildFrameBase() override;

    // Makes the first tab's view and the tab strip; false when the first view can't be made.
    bool Create();
    // The first view's first display.
    void InitialUpdateFrame();

    CVelmoraDoc* GetActiveDocument() const { return document_.get(); }
    // Null without a document.
    CProfileController* Controller() const { return controller_.get(); }
    CViewBase* GetActiveView() const { return activeView_; }
    CCustomTabCtrl* TabCtrl() const { return tabs_; }

    int TabCount() const { return static_cast<int>(tabList_.size()); }
    const std::string& TabName(int index) const { return tabList_.at(static_cast<std::size_t>(index)).first; }
    // Null until the tab's view has been made.
    CViewBase* TabView(int index) const { return tabList_.at(static_cast<std::size_t>(index)).second; }
    int CurrentTab() const;

    // Shows tab c's view; false when c is not a tab or the view on show refuses to be left.
    bool SelectTab(int c);
    // Selects the tab of that name and answers its view; nullptr when there is none or the view
    // on show would not let go (a value it could not store).
    CViewBase* ShowTab(const std::string& name);
    CViewBase* ShowTabAt(int c);

    // Lets the view on show store its input; every command does this first.
    void BeforeCommand();

    // Closes without asking to save (the user has already been asked).
    void CloseWithoutAsking();

signals:
    // A view asks for a command as if the user chose it; the main window runs it.
    void commandRequested(Gui::CommandId id);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnTabSelected(int c);
    // Closes the window, asking to save first unless the user already answered.
    void CloseWindow();
    // Makes the view of the tab named `name` and puts it in the window, not yet on show.
    CViewBase* MakeView(const std::string& name);
    void UpdateTitle();

    std::unique_ptr<CVelmoraDoc> document_;
    std::unique_ptr<CProfileController> controller_;
    std::vector<std::pair<std::string, QPointer<CViewBase>>> tabList_;
    ViewFactory factory_;
    CCustomTabCtrl* tabs_ = nullptr;
    QStackedLayout* viewStack_ = nullptr;
    QPointer<CViewBase> activeView_;
    bool closeConfirmed_ = false;
};

// The window of a profile with the tabs "Personal", "Log", "Diet", "Energy", "Food", "Nutrients", "Trends".
class CChildFrameDay : public CChildFrameBase {
    Q_OBJECT
public:
    explicit CChildFrameDay(std::unique_ptr<CVelmoraDoc> document, ViewFactory factory = CreateViewByName,
                            QWidget* parent = nullptr);
};
