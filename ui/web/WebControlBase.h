#pragma once

#include "document/PageTemplate.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

class QWebChannel;
class QWebEngineView;
class CWebPage;

namespace Ui {

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

}  // namespace Ui

// A callback for the events of one observed element.
class T_Functor {
public:
    virtual void operator()(const Ui::ElementEvent& event) = 0;
    virtual ~T_Functor() = default;
};

// Calls a member function of a view.
template <class V>
class T_FunctorImpl : public T_Functor {
public:
    using Handler = void (V::*)(const Ui::ElementEvent&);
    T_FunctorImpl(V* object, Handler handler) : object_(object), handler_(handler) {}
    void operator()(const Ui::ElementEvent& event) override { (object_->*handler_)(event); }

private:
    V* object_;
    Handler handler_;
};

// Shows one HTML page of the program's resources in an embedded browser, with its placeholders
// replaced by fresh JSON each time it is rendered, and moves values between the page's elements
// and a view. Rendering and every read return only when the page has answered, so views can use
// the page as if it were a form of plain controls. Pages talk back only by writing into the
// elements the view observes.
class CWebControlBase : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kFailedPage =
        "<html><head></head><body bgcolor='lightgray'>Failed to load resource!<body></html>";

    explicit CWebControlBase(int pageId, QWidget* parent = nullptr);
    // A page by its resource path (":/pages/Name.html").
    explicit CWebControlBase(QString resource, QWidget* parent = nullptr);
    ~CWebControlBase() override;

    // Load direction: renders the page. Save direction: the focused element lets go, and the
    // changes it makes on that are reported before this returns.
    void Exchange(bool save);
    void SetPlaceholders(std::unique_ptr<Page::PlaceholderTable> table);
    const Page::PlaceholderTable* Placeholders() const { return placeholders_.get(); }

    // Whether the page has an element with that id (or name); false before the first rendering.
    bool GetElement(const std::string& id);

    // Missing elements are left alone, and a get then leaves the variable as it was.
    void ExchangeValue(bool get, const std::string& id, std::string& text);
    // Written with "%G"; a get that doesn't read as a number leaves the variable as it was.
    void ExchangeNumber(bool get, const std::string& id, double& number);
    void ExchangeInt(bool get, const std::string& id, int& value);
    void ExchangeSelectedIndex(bool get, const std::string& id, int& index);
    // The buttons sharing the name: the first `count` of them. Get: the position of the first
    // checked one, -1 when none is. Set: checks the one at `index` when there is one.
    void ExchangeRadio(bool get, const std::string& name, int& index, int count);
    void ExchangeText(bool get, const std::string& id, std::string& text);

    // The element's class becomes "show" or "hide".
    void Show(const std::string& id, bool visible);
    void SetDisabled(const std::string& id, bool disabled);
    void Focus(const std::string& id, bool focus);

    // Reports the value changes of the element to the functor, under the element's own id. False
    // when the page has no such element; the functor is then dropped.
    bool AddObserver(const std::string& id, std::unique_ptr<T_Functor> functor);
    // No element reports any more; the functors are kept until replaced or the host goes.
    void RemoveObservers();

    // Runs a script in the page and waits for its result; invalid before the first rendering.
    QVariant RunScript(const QString& script);
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

    QString PageText() const;
    QVariant OnElement(const std::string& id, const QString& body);
    void Dispatch();
    void QueueDispatch();
    // Handles everything but the user's input until `done` answers true; false when the page went
    // away or took too long first.
    bool WaitFor(const std::function<bool()>& done);

    QString resource_;
    std::unique_ptr<Page::PlaceholderTable> placeholders_;
    QWebEngineView* view_ = nullptr;
    CWebPage* page_ = nullptr;
    QWebChannel* channel_ = nullptr;
    QObject* bridge_ = nullptr;
    bool rendered_ = false;
    bool crashed_ = false;
    int generation_ = 0;
    int lastSequence_ = 0;
    int waiting_ = 0;
    bool dispatchQueued_ = false;
    std::map<std::string, bool> connections_;  // observed ids
    std::map<std::string, std::unique_ptr<T_Functor>> handlers_;
    std::deque<Pending> reports_;
};
