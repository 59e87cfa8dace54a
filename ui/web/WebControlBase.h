#pragma once

#include "document/report/PageTemplate.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QJsonArray;
class QJsonValue;
class QWebChannel;
class QWebEngineView;
class CWebPage;

namespace Gui {

// The pages of the program's resources, by the id views know them by.
enum PageId : int {
    kPagePersonal = 116,
    kPageDaySummary = 215,
    kPageCalendar = 218,
};

// What an observed element reports.
struct ElementEvent {
    // The element's value was set, by the user or by the page's own script.
    static constexpr unsigned kPropertyChange = 0x80010013;

    unsigned dispatchId = kPropertyChange;
    std::string id;     // the element's own id
    std::string value;  // its value after the change
};

}  // namespace Gui

// A callback for the events of one observed element.
class T_Functor {
public:
    virtual void operator()(const Gui::ElementEvent& event) = 0;
    virtual ~T_Functor() = default;
};

// Calls a member function of a view.
template <class V>
class T_FunctorImpl : public T_Functor {
public:
    using Handler = void (V::*)(const Gui::ElementEvent&);
    T_FunctorImpl(V* object, Handler handler) : object_(object), handler_(handler) {}
    void operator()(const Gui::ElementEvent& event) override { (object_->*handler_)(event); }

private:
    V* object_;
    Handler handler_;
};

// Fields of a page that move in one script call: a view lists them, then the host reads or
// writes them all at once. Each names the variable it fills or takes its value from, which must
// live until the exchange is done. A read that gets no answer changes none of them.
class CPageFields {
public:
    // Missing elements are left alone, and a read then leaves the variable as it was.
    void Value(const std::string& id, std::string& text);
    // Written with "%G"; a read that doesn't give a number leaves the variable as it was.
    void Number(const std::string& id, double& number);
    void Int(const std::string& id, int& value);
    void SelectedIndex(const std::string& id, int& index);
    // The buttons sharing the name: the first `count` of them. Read: the position of the first
    // checked one, -1 when none is. Write: checks the one at `index` when there is one.
    void Radio(const std::string& name, int& index, int count);
    void Text(const std::string& id, std::string& text);
    // Whether the page has an element with that id (or name); reads only.
    void Has(const std::string& id, bool& present);
    // Writes only. The element's class becomes "show" or "hide".
    void Show(const std::string& id, bool visible);
    void SetDisabled(const std::string& id, bool disabled);
    void Focus(const std::string& id, bool focus);

    bool Empty() const noexcept { return fields_.empty(); }

private:
    friend class CWebControlBase;
    struct Field {
        const char* op;
        std::string id;
        int count = 0;
        std::function<QJsonValue()> out;          // the value a write puts
        std::function<void(const QVariant&)> in;  // takes what a read found (never null)
    };
    QJsonArray Json(bool withValues) const;
    void Take(const QVariantList& values) const;

    std::vector<Field> fields_;
};

// Every page wait made while one of these lives, by any host, shares one time limit: a view's
// whole exchange with its pages ends in time even when it makes several calls to a renderer
// that hangs. An inner one shares the outer one's limit.
class CPageWaitBound {
public:
    CPageWaitBound();
    ~CPageWaitBound();
    CPageWaitBound(const CPageWaitBound&) = delete;
    CPageWaitBound& operator=(const CPageWaitBound&) = delete;

    // A wait since this began ended without its answer.
    bool Failed() const noexcept { return failed_; }

private:
    friend class CWebControlBase;
    std::chrono::steady_clock::time_point deadline_;
    bool failed_ = false;
};

// Shows one HTML page of the program's resources in an embedded browser, with its placeholders
// replaced by fresh JSON each time it is rendered, and moves values between the page's elements
// and a view. Rendering and every read return only when the page has answered or the wait limit
// ran out, so views can use the page as if it were a form of plain controls. Pages talk back only
// by writing into the elements the view observes.
class CWebControlBase : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kFailedPage =
        "<html><head></head><body bgcolor='lightgray'>Failed to load resource!<body></html>";

    explicit CWebControlBase(int pageId, QWidget* parent = nullptr);
    // A page by its resource path (":/pages/Name.html").
    explicit CWebControlBase(QString resource, QWidget* parent = nullptr);
    ~CWebControlBase() override;

    // The texts a view tells the user when its page didn't answer in time.
    static constexpr const char* kNotAnsweringSave =
        "The page did not answer in time. What it shows was not taken; your data is as it was.";
    static constexpr const char* kNotAnsweringLoad =
        "The page did not answer in time and may not show your data. Nothing was changed.";

    // Load direction: renders the page. Save direction: the focused element lets go, and the
    // changes it makes on that are reported before this returns. False when the page did not
    // answer in time (or before the first rendering, in the save direction).
    //
    // A page that defines a global refreshPage(values) is loaded only the first time: later it
    // gets back the body it was loaded with, scrolled to the top, and refreshPage builds it from
    // an object holding each placeholder's value under the key without its percent signs. It
    // must then show what a load would have shown; scripts in its body are not run again.
    bool Exchange(bool save);
    // The load direction for several pages at once: the pages load (or refresh) side by side,
    // and the wait for the slowest is the only one. False when any of them did not answer.
    static bool RenderTogether(const std::vector<CWebControlBase*>& hosts);
    // The same with the fields in one call: load renders and then writes them; save does the
    // save step and reads them. False when the page did not answer: a read then takes nothing.
    bool Exchange(bool save, CPageFields& fields);
    // One call each; false when the page did not answer (or was never rendered).
    bool Read(CPageFields& fields);
    bool Write(const CPageFields& fields);

    void SetPlaceholders(std::unique_ptr<Page::PlaceholderTable> table);
    const Page::PlaceholderTable* Placeholders() const { return placeholders_.get(); }

    // Whether the page has an element with that id (or name); false before the first rendering.
    bool GetElement(const std::string& id);

    // One field in one call each, as CPageFields says; a view moving several uses CPageFields.
    void ExchangeValue(bool get, const std::string& id, std::string& text);
    void ExchangeNumber(bool get, const std::string& id, double& number);
    void ExchangeInt(bool get, const std::string& id, int& value);
    void ExchangeSelectedIndex(bool get, const std::string& id, int& index);
    void ExchangeRadio(bool get, const std::string& name, int& index, int count);
    void ExchangeText(bool get, const std::string& id, std::string& text);

    void Show(const std::string& id, bool visible);
    void SetDisabled(const std::string& id, bool disabled);
    void Focus(const std::string& id, bool focus);

    // Reports the value changes of the element to the functor, under the element's own id. False
    // when the page has no such element; the functor is then dropped.
    bool AddObserver(const std::string& id, std::unique_ptr<T_Functor> functor);
    // AddObserver for elements of several pages, asked side by side.
    struct Observer {
        CWebControlBase* host;
        std::string id;
        std::unique_ptr<T_Functor> functor;
    };
    static void AddObservers(std::vector<Observer> observers);
    // No element reports any more; the functors are kept until replaced or the host goes.
    void RemoveObservers();

    // Runs a script in the page and waits for its result; invalid before the first rendering and
    // when the page did not answer in time.
    QVariant RunScript(const QString& script);

    // How long a wait outside a CPageWaitBound, or a bound, lasts at most; answers the old limit.
    static std::chrono::milliseconds SetWaitLimit(std::chrono::milliseconds limit);
    // Whether a host is waiting for its page now.
    static bool Waiting();
    // Runs the action from the event loop once no page wait and no modal loop runs, so whatever
    // it deletes is deleted by nobody's wait. Dropped when the context goes first.
    static void WhenIdle(QObject* context, std::function<void()> action);
    // Every rendering so far; a page written while the host waited is counted once it is done.
    int Renderings() const noexcept { return generation_; }
    QWebEngineView* View() const noexcept { return view_; }

    // Called by the page's bridge.
    void Report(int generation, int sequence, const QString& id, const QString& value);

private:
    struct Pending {
        int generation;
        int sequence;
        QString id;
        QString value;
    };

    // A rendering under way: the text it shows and how it gets there.
    struct Rendering {
        enum class Kind { Kept, Refresh, Load } kind = Kind::Kept;
        QString text;
        // Set once the page has answered: loaded, or refreshPage's result (1 done, 0 the page
        // has none, -1 not now).
        std::shared_ptr<std::pair<bool, int>> answer = std::make_shared<std::pair<bool, int>>();
        QMetaObject::Connection loaded;
    };

    // The script's result; nullopt when the page did not answer in time or was never rendered.
    std::optional<QVariant> Call(const QString& script);
    // One script in each page, run side by side; the results in the same order.
    static std::vector<std::optional<QVariant>> CallTogether(
        const std::vector<std::pair<CWebControlBase*, QString>>& calls);
    QString ObserveScript(const std::string& id) const;
    void TakeObserver(const QVariant& own, std::unique_ptr<T_Functor> functor);
    bool Render();
    // Starts the rendering of the current data without waiting for it.
    void BeginRender();
    void BeginLoad();
    // Takes what the page answered; false when it did not answer in time.
    bool EndRender(bool answered);
    void TakeReports(const QVariant& list);
    void Dispatch();
    void QueueDispatch();
    // Handles everything but the user's input until `done` answers true; false when the page went
    // away or took too long first. The host itself may be gone when this answers false.
    bool WaitFor(const std::function<bool()>& done);

    QString resource_;
    std::unique_ptr<Page::PlaceholderTable> placeholders_;
    QWebEngineView* view_ = nullptr;
    CWebPage* page_ = nullptr;
    QWebChannel* channel_ = nullptr;
    QObject* bridge_ = nullptr;
    bool rendered_ = false;
    // The text the page was last loaded with, and whether it still shows just that: nothing was
    // written into it, no script run in it and nothing reported from it since. Rendering that
    // text again then changes nothing and needs no loading.
    QString shownText_;
    bool pristine_ = false;
    bool starting_ = false;  // the first rendering is being waited for
    bool crashed_ = false;
    // Whether the page may have a refreshPage; false once it said it has none.
    bool refreshable_ = true;
    Rendering rendering_;
    int generation_ = 0;
    int lastSequence_ = 0;
    bool dispatchQueued_ = false;
    std::map<std::string, bool> connections_;  // observed ids
    // Shared so that a handler still runs to its end when it observes anew or is called again
    // from inside itself.
    std::map<std::string, std::shared_ptr<T_Functor>> handlers_;
    std::deque<Pending> reports_;
};
