#include "WebControlBase.h"

#include "NumberText.h"
#include "WebEngineSetup.h"

#include "core/Services.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string_view>
#include <utility>

// The object the pages' bridge calls through the web channel.
class CWebBridge : public QObject {
    Q_OBJECT
public:
    explicit CWebBridge(CWebControlBase* host) : QObject(host), host_(host) {}
    Q_INVOKABLE void report(int generation, int sequence, const QString& id, const QString& value) {
        host_->Report(generation, sequence, id, value);
    }

private:
    CWebControlBase* host_;
};

// A page whose messages go through the program's prompt and which never leaves the document the
// host wrote into it.
class CWebPage : public QWebEnginePage {
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptAlert(const QUrl&, const QString& msg) override { Services::Prompt().Message(msg.toStdString()); }
    bool acceptNavigationRequest(const QUrl&, NavigationType type, bool isMainFrame) override {
        return !isMainFrame || (type != NavigationTypeLinkClicked && type != NavigationTypeFormSubmitted &&
                                type != NavigationTypeBackForward);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override {
        if (level == ErrorMessageLevel) qWarning("page %s:%d: %s", qPrintable(source), line, qPrintable(message));
    }
};

namespace {

// Long enough for a page of the program on a busy machine; a renderer that takes longer has
// hung, and the window must not stay frozen for it.
std::chrono::milliseconds g_waitLimit{5000};
// A host's first rendering may take this many times the limit.
constexpr int kStartFactor = 4;
// Page waits running now, of every host; handlers and closing wait until none runs.
int g_waits = 0;
// The bounds alive now, outermost first.
std::vector<CPageWaitBound*> g_bounds;
// Every host, so the end of the last wait can hand each its reports.
std::vector<CWebControlBase*> g_hosts;

QString ResourceOf(int pageId) {
    switch (pageId) {
        case Gui::kPagePersonal: return QStringLiteral(":/pages/Personal.html");
        case Gui::kPageDaySummary: return QStringLiteral(":/pages/DaySummary.html");
        case Gui::kPageCalendar: return QStringLiteral(":/pages/Calendar.html");
        default: return QStringLiteral(":/pages/%1.html").arg(pageId);
    }
}

// Pages keep nothing between runs: no cache, no cookies, no storage on disk.
QWebEngineProfile* PageProfile() {
    static QPointer<QWebEngineProfile> profile;
    if (!profile) profile = new QWebEngineProfile(qApp);
    return profile;
}

QString ReadResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QString ScriptBootstrap() {
    static const QString text = ReadResource(QStringLiteral(":/qtwebchannel/qwebchannel.js")) + u'\n' +
                                ReadResource(QStringLiteral(":/web/bridge.js"));
    return text;
}

// A JavaScript string literal.
QString Literal(const QString& text) {
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString Literal(const std::string& text) { return Literal(QString::fromStdString(text)); }

QString JsonText(const QJsonArray& array) {
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QString NumberText(double number) { return QString::asprintf("%G", number); }

}  // namespace

CWebControlBase::CWebControlBase(int pageId, QWidget* parent) : CWebControlBase(ResourceOf(pageId), parent) {}

CWebControlBase::CWebControlBase(QString resource, QWidget* parent) : QWidget(parent), resource_(std::move(resource)) {
    Gui::PrepareWebEngine();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    view_ = new QWebEngineView(this);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    page_ = new CWebPage(PageProfile(), view_);
    view_->setPage(page_);
    layout->addWidget(view_);

    bridge_ = new CWebBridge(this);
    channel_ = new QWebChannel(this);
    channel_->registerObject(QStringLiteral("host"), bridge_);
    page_->setWebChannel(channel_);

    QWebEngineScript script;
    script.setName(QStringLiteral("velmora-bridge"));
    script.setSourceCode(ScriptBootstrap());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    page_->scripts().insert(script);

    connect(page_, &QWebEnginePage::renderProcessTerminated, this, [this] { crashed_ = true; });
    g_hosts.push_back(this);
}

CWebControlBase::~CWebControlBase() {
    g_hosts.erase(std::remove(g_hosts.begin(), g_hosts.end(), this), g_hosts.end());
    // The page goes before the channel and bridge it calls.
    delete view_;
    view_ = nullptr;
    page_ = nullptr;
}

void CWebControlBase::SetPlaceholders(std::unique_ptr<Page::PlaceholderTable> table) {
    if (table.get() != placeholders_.get()) placeholders_ = std::move(table);
}

namespace {

QString PageText(const QString& resource, const Page::PlaceholderValues& values) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) return QString::fromLatin1(CWebControlBase::kFailedPage);
    std::string text = file.readAll().toStdString();
    if (!values.empty()) text = Page::FillPlaceholders(text, values);
    return QString::fromStdString(text);
}

// The call that hands a page the values of its placeholders, named without the percent signs.
QString RefreshScript(const Page::PlaceholderValues& values) {
    QString object;
    for (const auto& [key, json] : values) {
        std::string name = key;
        if (name.size() >= 2 && name.front() == '%' && name.back() == '%') name = name.substr(1, name.size() - 2);
        if (!object.isEmpty()) object += u',';
        object += Literal(name) + u':' + QString::fromStdString(json);
    }
    return QStringLiteral("__velmora.refresh({%1})").arg(object);
}

}  // namespace

std::chrono::milliseconds CWebControlBase::SetWaitLimit(std::chrono::milliseconds limit) {
    return std::exchange(g_waitLimit, limit);
}

bool CWebControlBase::Waiting() { return g_waits > 0; }

void CWebControlBase::WhenIdle(QObject* context, std::function<void()> action) {
    auto* timer = new QTimer(context);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, context, [timer, action = std::move(action)] {
        // A modal loop may run inside a view's exchange too: its caller is not done either.
        if (g_waits > 0 || QThread::currentThread()->loopLevel() > 1) return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start();
}

CPageWaitBound::CPageWaitBound()
    : deadline_(g_bounds.empty() ? std::chrono::steady_clock::now() + g_waitLimit : g_bounds.front()->deadline_) {
    g_bounds.push_back(this);
}

CPageWaitBound::~CPageWaitBound() {
    g_bounds.erase(std::remove(g_bounds.begin(), g_bounds.end(), this), g_bounds.end());
}

bool CWebControlBase::WaitFor(const std::function<bool()>& done) {
    const auto now = std::chrono::steady_clock::now();
    auto deadline = g_bounds.empty() ? now + g_waitLimit : g_bounds.front()->deadline_;
    // The first rendering starts a renderer, which on a busy machine takes a while without having
    // hung.
    if (starting_) deadline = std::max(deadline, now + kStartFactor * g_waitLimit);
    QDeadlineTimer limit(deadline);
    // Closing the window inside the wait may take this host with it.
    QPointer<CWebControlBase> self(this);
    // The timer only wakes the loop now and then, so a renderer that went away without a word
    // ends the wait too.
    QTimer wake;
    wake.start(50);
    ++g_waits;
    while (!done() && self && !crashed_ && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    --g_waits;
    const bool answered = done() && self;
    if (!answered)
        for (CPageWaitBound* bound : g_bounds) bound->failed_ = true;
    // Reports that came in meanwhile were kept for the end of the last wait.
    if (g_waits == 0)
        for (CWebControlBase* host : g_hosts) host->QueueDispatch();
    return answered;
}

bool CWebControlBase::Render() { return RenderTogether({this}); }

bool CWebControlBase::RenderTogether(const std::vector<CWebControlBase*>& hosts) {
    if (hosts.empty()) return true;
    std::vector<QPointer<CWebControlBase>> alive(hosts.begin(), hosts.end());
    for (CWebControlBase* host : hosts) host->BeginRender();
    const auto answered = [](const QPointer<CWebControlBase>& host) { return host && host->rendering_.answer->first; };
    // The wait is the first page's; it goes on while any page still loads, and it is as long as a
    // first rendering's when any page starts its renderer.
    CWebControlBase* first = hosts.front();
    const bool starting = std::any_of(hosts.begin(), hosts.end(), [](auto* host) { return host->starting_; });
    first->starting_ = starting;
    const auto start = std::chrono::steady_clock::now();
    first->WaitFor([&] {
        return std::all_of(alive.begin(), alive.end(), [&answered](const QPointer<CWebControlBase>& host) {
            return !host || host->crashed_ || answered(host);
        });
    });
    // Nor does a renderer's start count against the rest of the exchange.
    if (starting && !g_bounds.empty()) g_bounds.front()->deadline_ += std::chrono::steady_clock::now() - start;
    bool all = true;
    for (const auto& host : alive) {
        if (!host) {
            all = false;
            continue;
        }
        const bool ok = host->EndRender(answered(host));
        all = all && ok;
    }
    if (!all)
        for (CPageWaitBound* bound : g_bounds) bound->failed_ = true;
    return all;
}

void CWebControlBase::BeginRender() {
    // Reports still on their way belong to the page being replaced.
    reports_.clear();
    connections_.clear();
    const Page::PlaceholderValues values = placeholders_ ? Page::FillValues(*placeholders_) : Page::PlaceholderValues();
    rendering_ = Rendering();
    rendering_.text = PageText(resource_, values);
    if (rendered_ && pristine_ && !crashed_ && rendering_.text == shownText_) {
        // What a load would show is on show: the view observes anew, as after a load.
        rendering_.answer->first = true;
        return;
    }
    if (rendered_ && !crashed_ && refreshable_ && !values.empty()) {
        rendering_.kind = Rendering::Kind::Refresh;
        page_->runJavaScript(RefreshScript(values), QWebEngineScript::MainWorld,
                             [answer = rendering_.answer](const QVariant& v) {
                                 answer->second = v.isValid() ? v.toInt() : -1;
                                 answer->first = true;
                             });
        return;
    }
    BeginLoad();
}

void CWebControlBase::BeginLoad() {
    crashed_ = false;
    pristine_ = false;
    rendering_.kind = Rendering::Kind::Load;
    rendering_.answer = std::make_shared<std::pair<bool, int>>();
    rendering_.loaded = connect(page_, &QWebEnginePage::loadFinished, this,
                                [answer = rendering_.answer](bool) { answer->first = true; });
    starting_ = !rendered_;
    page_->setHtml(rendering_.text, QUrl(QStringLiteral("qrc:/pages/")));
}

bool CWebControlBase::EndRender(bool answered) {
    starting_ = false;
    if (rendering_.kind == Rendering::Kind::Refresh && answered && rendering_.answer->second != 1) {
        // The page can't take new data now (or ever): it is loaded with the text instead.
        if (rendering_.answer->second == 0) refreshable_ = false;
        BeginLoad();
        QPointer<CWebControlBase> self(this);
        const auto answer = rendering_.answer;
        answered = WaitFor([answer] { return answer->first; });
        if (!self) return false;
    }
    if (rendering_.kind == Rendering::Kind::Load) disconnect(rendering_.loaded);
    ++generation_;
    lastSequence_ = 0;
    if (rendering_.kind == Rendering::Kind::Kept) return true;
    rendered_ = true;
    pristine_ = answered;
    shownText_ = answered ? std::move(rendering_.text) : QString();
    return answered;
}

void CWebControlBase::TakeReports(const QVariant& list) {
    if (!list.toList().isEmpty()) pristine_ = false;
    for (const QVariant& item : list.toList()) {
        const QVariantMap r = item.toMap();
        reports_.push_back({r.value(QStringLiteral("generation")).toInt(), r.value(QStringLiteral("sequence")).toInt(),
                            r.value(QStringLiteral("id")).toString(), r.value(QStringLiteral("value")).toString()});
    }
}

bool CWebControlBase::Exchange(bool save) {
    if (!save) return Render();
    QPointer<CWebControlBase> self(this);
    const auto answer = Call(QStringLiteral("__velmora.commit(%1)").arg(lastSequence_));
    if (!answer || !self) return false;
    TakeReports(*answer);
    Dispatch();
    return true;
}

bool CWebControlBase::Exchange(bool save, CPageFields& fields) {
    if (!save) {
        QPointer<CWebControlBase> self(this);
        if (!Render() || !self) return false;
        return fields.Empty() || Write(fields);
    }
    QPointer<CWebControlBase> self(this);
    const auto answer =
        Call(QStringLiteral("__velmora.save(%1,%2)").arg(lastSequence_).arg(JsonText(fields.Json(false))));
    if (!answer || !self) return false;
    const QVariantMap result = answer->toMap();
    // The fields first: a handler of the reports may render the page again.
    fields.Take(result.value(QStringLiteral("values")).toList());
    TakeReports(result.value(QStringLiteral("reports")));
    Dispatch();
    return true;
}

bool CWebControlBase::Read(CPageFields& fields) {
    const auto answer = Call(QStringLiteral("__velmora.read(%1)").arg(JsonText(fields.Json(false))));
    if (!answer) return false;
    fields.Take(answer->toList());
    return true;
}

bool CWebControlBase::Write(const CPageFields& fields) {
    pristine_ = false;
    return Call(QStringLiteral("__velmora.write(%1)").arg(JsonText(fields.Json(true)))).has_value();
}

std::optional<QVariant> CWebControlBase::Call(const QString& script) { return CallTogether({{this, script}}).front(); }

std::vector<std::optional<QVariant>> CWebControlBase::CallTogether(
    const std::vector<std::pair<CWebControlBase*, QString>>& calls) {
    std::vector<std::optional<QVariant>> results(calls.size());
    // The callbacks may come after this returned on a timeout; they must not touch the stack then.
    using State = std::pair<bool, QVariant>;
    std::vector<std::shared_ptr<State>> states;
    std::vector<QPointer<CWebControlBase>> hosts;
    for (const auto& [host, script] : calls) {
        hosts.emplace_back(host);
        if (!host->rendered_ || !host->page_) {
            states.push_back(nullptr);
            continue;
        }
        auto state = std::make_shared<State>();
        host->page_->runJavaScript(script, QWebEngineScript::MainWorld, [state](const QVariant& v) {
            state->first = true;
            state->second = v;
        });
        states.push_back(std::move(state));
    }
    const auto first = std::find_if(states.begin(), states.end(), [](const auto& state) { return state != nullptr; });
    if (first == states.end()) return results;
    const auto done = [&] {
        for (std::size_t i = 0; i < states.size(); ++i)
            if (states[i] && !states[i]->first && hosts[i] && !hosts[i]->crashed_) return false;
        return true;
    };
    // The wait is the first asked page's; a page that went away or crashed meanwhile answers nothing.
    hosts[static_cast<std::size_t>(first - states.begin())]->WaitFor(done);
    for (std::size_t i = 0; i < states.size(); ++i)
        if (states[i] && states[i]->first && hosts[i]) results[i] = states[i]->second;
    return results;
}

QVariant CWebControlBase::RunScript(const QString& script) {
    // Any script may change what the page shows.
    pristine_ = false;
    return Call(script).value_or(QVariant());
}

bool CWebControlBase::GetElement(const std::string& id) {
    bool present = false;
    CPageFields fields;
    fields.Has(id, present);
    Read(fields);
    return present;
}

void CWebControlBase::ExchangeValue(bool get, const std::string& id, std::string& text) {
    CPageFields fields;
    fields.Value(id, text);
    get ? Read(fields) : Write(fields);
}

void CWebControlBase::ExchangeNumber(bool get, const std::string& id, double& number) {
    CPageFields fields;
    fields.Number(id, number);
    get ? Read(fields) : Write(fields);
}

void CWebControlBase::ExchangeInt(bool get, const std::string& id, int& value) {
    CPageFields fields;
    fields.Int(id, value);
    get ? Read(fields) : Write(fields);
}

void CWebControlBase::ExchangeSelectedIndex(bool get, const std::string& id, int& index) {
    CPageFields fields;
    fields.SelectedIndex(id, index);
    get ? Read(fields) : Write(fields);
}

void CWebControlBase::ExchangeRadio(bool get, const std::string& name, int& index, int count) {
    CPageFields fields;
    fields.Radio(name, index, count);
    get ? Read(fields) : Write(fields);
}

void CWebControlBase::ExchangeText(bool get, const std::string& id, std::string& text) {
    CPageFields fields;
    fields.Text(id, text);
    get ? Read(fields) : Write(fields);
}

void CWebControlBase::Show(const std::string& id, bool visible) {
    CPageFields fields;
    fields.Show(id, visible);
    Write(fields);
}

void CWebControlBase::SetDisabled(const std::string& id, bool disabled) {
    CPageFields fields;
    fields.SetDisabled(id, disabled);
    Write(fields);
}

void CWebControlBase::Focus(const std::string& id, bool focus) {
    CPageFields fields;
    fields.Focus(id, focus);
    Write(fields);
}

QString CWebControlBase::ObserveScript(const std::string& id) const {
    return QStringLiteral(
               "(function(){var e=__velmora.find(%1);"
               "return e&&__velmora.observe(%1,%2)?String(e.id):null;})()")
        .arg(Literal(id))
        .arg(generation_);
}

void CWebControlBase::TakeObserver(const QVariant& own, std::unique_ptr<T_Functor> functor) {
    const std::string elementId = own.toString().toStdString();
    connections_[elementId] = true;
    handlers_[elementId] = std::move(functor);
}

bool CWebControlBase::AddObserver(const std::string& id, std::unique_ptr<T_Functor> functor) {
    // Observing changes nothing the page shows.
    const QVariant own = Call(ObserveScript(id)).value_or(QVariant());
    if (!own.isValid() || own.isNull()) return false;
    TakeObserver(own, std::move(functor));
    return true;
}

void CWebControlBase::AddObservers(std::vector<Observer> observers) {
    std::vector<std::pair<CWebControlBase*, QString>> calls;
    std::vector<QPointer<CWebControlBase>> alive;
    for (const Observer& o : observers) {
        calls.emplace_back(o.host, o.host->ObserveScript(o.id));
        alive.emplace_back(o.host);
    }
    const auto answers = CallTogether(calls);
    for (std::size_t i = 0; i < observers.size(); ++i)
        if (alive[i] && answers[i] && answers[i]->isValid() && !answers[i]->isNull())
            alive[i]->TakeObserver(*answers[i], std::move(observers[i].functor));
}

void CWebControlBase::RemoveObservers() {
    connections_.clear();
    reports_.clear();
    Call(QStringLiteral("__velmora.unobserveAll(),true"));
}

void CWebControlBase::Report(int generation, int sequence, const QString& id, const QString& value) {
    pristine_ = false;
    reports_.push_back({generation, sequence, id, value});
    QueueDispatch();
}

void CWebControlBase::QueueDispatch() {
    // Handlers may render pages again; they run from the event loop, never inside a wait (of any
    // host) or the channel's own delivery.
    if (reports_.empty() || dispatchQueued_) return;
    dispatchQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        dispatchQueued_ = false;
        // Inside a wait the reports stay; the last wait to end queues them again.
        if (g_waits == 0) Dispatch();
    });
}

void CWebControlBase::Dispatch() {
    QPointer<CWebControlBase> self(this);
    while (self && !reports_.empty()) {
        Pending r = std::move(reports_.front());
        reports_.pop_front();
        if (r.generation != generation_ || r.sequence <= lastSequence_) continue;
        lastSequence_ = r.sequence;
        const std::string id = r.id.toStdString();
        if (id.empty() || !connections_.count(id)) continue;
        auto handler = handlers_.find(id);
        if (handler == handlers_.end() || !handler->second) continue;
        const int before = generation_;
        Gui::ElementEvent event;
        event.id = id;
        event.value = r.value.toStdString();
        // A handler that renders the page again observes anew and so replaces itself; it must
        // outlive its own call.
        const std::shared_ptr<T_Functor> running = handler->second;
        (*running)(event);
        // The handler rendered the page again (or its window went): what is left was reported
        // by the old page.
        if (!self || generation_ != before) break;
    }
}

void CPageFields::Value(const std::string& id, std::string& text) {
    fields_.push_back({"value", id, 0, [&text] { return QJsonValue(QString::fromStdString(text)); },
                       [&text](const QVariant& v) { text = v.toString().toStdString(); }});
}

void CPageFields::Number(const std::string& id, double& number) {
    fields_.push_back({"value", id, 0, [&number] { return QJsonValue(NumberText(number)); },
                       [&number](const QVariant& v) {
                           if (const auto value = Gui::WholeNumber(v.toString().toStdString())) number = *value;
                       }});
}

void CPageFields::Int(const std::string& id, int& value) {
    fields_.push_back({"value", id, 0, [&value] { return QJsonValue(QString::number(value)); },
                       [&value](const QVariant& v) {
                           if (const auto number = Gui::WholeNumber(v.toString().toStdString());
                               number && std::fabs(*number) < 2147483647.0)
                               value = static_cast<int>(std::lround(*number));
                       }});
}

void CPageFields::SelectedIndex(const std::string& id, int& index) {
    fields_.push_back(
        {"index", id, 0, [&index] { return QJsonValue(index); }, [&index](const QVariant& v) { index = v.toInt(); }});
}

void CPageFields::Radio(const std::string& name, int& index, int count) {
    fields_.push_back({"radio", name, count, [&index] { return QJsonValue(index); },
                       [&index](const QVariant& v) { index = v.toInt(); }});
}

void CPageFields::Text(const std::string& id, std::string& text) {
    fields_.push_back({"text", id, 0, [&text] { return QJsonValue(QString::fromStdString(text)); },
                       [&text](const QVariant& v) { text = v.toString().toStdString(); }});
}

void CPageFields::Has(const std::string& id, bool& present) {
    fields_.push_back({"has", id, 0, {}, [&present](const QVariant& v) { present = v.toBool(); }});
}

void CPageFields::Show(const std::string& id, bool visible) {
    fields_.push_back(
        {"class", id, 0, [visible] { return QJsonValue(QString::fromLatin1(visible ? "show" : "hide")); }, {}});
}

void CPageFields::SetDisabled(const std::string& id, bool disabled) {
    fields_.push_back({"disabled", id, 0, [disabled] { return QJsonValue(disabled); }, {}});
}

void CPageFields::Focus(const std::string& id, bool focus) {
    fields_.push_back({"focus", id, 0, [focus] { return QJsonValue(focus); }, {}});
}

QJsonArray CPageFields::Json(bool withValues) const {
    QJsonArray list;
    for (const Field& f : fields_) {
        // A read skips what only writes, and a write what only reads.
        if (withValues ? !f.out : !f.in) {
            list.append(QJsonObject{{QStringLiteral("op"), QStringLiteral("skip")}});
            continue;
        }
        QJsonObject o{{QStringLiteral("op"), QString::fromLatin1(f.op)},
                      {QStringLiteral("id"), QString::fromStdString(f.id)},
                      {QStringLiteral("count"), f.count}};
        if (withValues) o.insert(QStringLiteral("value"), f.out());
        list.append(o);
    }
    return list;
}

void CPageFields::Take(const QVariantList& values) const {
    for (std::size_t i = 0; i < fields_.size() && i < static_cast<std::size_t>(values.size()); ++i) {
        const QVariant& v = values[static_cast<qsizetype>(i)];
        if (fields_[i].in && v.isValid() && !v.isNull()) fields_[i].in(v);
    }
}

#include "WebControlBase.moc"
