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

// Long enough for a page of the program; a renderer that takes longer has hung.
constexpr int kWaitLimitMs = 30000;

QString ResourceOf(int pageId) {
    switch (pageId) {
        case Ui::kPagePersonal: return QStringLiteral(":/pages/Personal.html");
        case Ui::kPageDaySummary: return QStringLiteral(":/pages/DaySummary.html");
        case Ui::kPageCalendar: return QStringLiteral(":/pages/Calendar.html");
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
    static const QString text =
        ReadResource(QStringLiteral(":/qtwebchannel/qwebchannel.js")) + u'\n' + ReadResource(QStringLiteral(":/web/bridge.js"));
    return text;
}

// A JavaScript string literal.
QString Literal(const QString& text) {
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

QString Literal(const std::string& text) { return Literal(QString::fromStdString(text)); }

}  // namespace

CWebControlBase::CWebControlBase(int pageId, QWidget* parent) : CWebControlBase(ResourceOf(pageId), parent) {}

CWebControlBase::CWebControlBase(QString resource, QWidget* parent) : QWidget(parent), resource_(std::move(resource)) {
    Ui::PrepareWebEngine();
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
}

CWebControlBase::~CWebControlBase() {
    // The page goes before the channel and bridge it calls.
    delete view_;
    view_ = nullptr;
    page_ = nullptr;
}

void CWebControlBase::SetPlaceholders(std::unique_ptr<Page::PlaceholderTable> table) {
    if (table.get() != placeholders_.get()) placeholders_ = std::move(table);
}

QString CWebControlBase::PageText() const {
    QFile file(resource_);
    if (!file.open(QIODevice::ReadOnly)) return QString::fromLatin1(kFailedPage);
    std::string text = file.readAll().toStdString();
    if (placeholders_) text = Page::FillPlaceholders(text, *placeholders_);
    return QString::fromStdString(text);
}

bool CWebControlBase::WaitFor(const std::function<bool()>& done) {
    QDeadlineTimer limit(kWaitLimitMs);
    // The timer only wakes the loop now and then, so a renderer that went away without a word
    // ends the wait too.
    QTimer wake;
    wake.start(50);
    ++waiting_;
    while (!done() && !crashed_ && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    --waiting_;
    QueueDispatch();
    return done();
}

void CWebControlBase::Exchange(bool save) {
    if (save) {
        if (!rendered_) return;
        const QVariant answer = RunScript(QStringLiteral("__velmora.commit(%1)").arg(lastSequence_));
        for (const QVariant& item : answer.toList()) {
            const QVariantMap r = item.toMap();
            reports_.push_back({r.value(QStringLiteral("generation")).toInt(), r.value(QStringLiteral("sequence")).toInt(),
                                r.value(QStringLiteral("id")).toString(), r.value(QStringLiteral("value")).toString()});
        }
        Dispatch();
        return;
    }

    // Reports still on their way belong to the page being replaced.
    reports_.clear();
    connections_.clear();
    crashed_ = false;
    bool loaded = false;
    auto finished = connect(page_, &QWebEnginePage::loadFinished, this, [&loaded](bool) { loaded = true; });
    page_->setHtml(PageText(), QUrl(QStringLiteral("qrc:/pages/")));
    WaitFor([&loaded] { return loaded; });
    disconnect(finished);
    ++generation_;
    lastSequence_ = 0;
    rendered_ = true;
}

QVariant CWebControlBase::RunScript(const QString& script) {
    if (!rendered_ || !page_) return {};
    // The callback may come after this returned on a timeout; it must not touch the stack then.
    auto state = std::make_shared<std::pair<bool, QVariant>>();
    page_->runJavaScript(script, QWebEngineScript::MainWorld, [state](const QVariant& v) {
        state->first = true;
        state->second = v;
    });
    WaitFor([&state] { return state->first; });
    return state->first ? state->second : QVariant();
}

QVariant CWebControlBase::OnElement(const std::string& id, const QString& body) {
    // `e` is the element; the answer is null when the page has none.
    return RunScript(QStringLiteral("(function(){var e=__velmora.find(%1);if(!e)return null;%2})()").arg(Literal(id), body));
}

bool CWebControlBase::GetElement(const std::string& id) {
    return OnElement(id, QStringLiteral("return true;")).toBool();
}

void CWebControlBase::ExchangeValue(bool get, const std::string& id, std::string& text) {
    if (get) {
        const QVariant v = OnElement(id, QStringLiteral("return String(e.value);"));
        if (v.isValid() && !v.isNull()) text = v.toString().toStdString();
    } else {
        OnElement(id, QStringLiteral("e.value=%1;return true;").arg(Literal(text)));
    }
}

void CWebControlBase::ExchangeNumber(bool get, const std::string& id, double& number) {
    if (get) {
        // A missing element leaves the text empty, which is no number.
        std::string text;
        ExchangeValue(true, id, text);
        if (const auto value = Ui::WholeNumber(text)) number = *value;
    } else {
        std::string text = QString::asprintf("%G", number).toStdString();
        ExchangeValue(false, id, text);
    }
}

void CWebControlBase::ExchangeInt(bool get, const std::string& id, int& value) {
    if (get) {
        std::string text;
        ExchangeValue(true, id, text);
        if (const auto number = Ui::WholeNumber(text); number && std::fabs(*number) < 2147483647.0)
            value = static_cast<int>(std::lround(*number));
    } else {
        std::string text = QString::asprintf("%d", value).toStdString();
        ExchangeValue(false, id, text);
    }
}

void CWebControlBase::ExchangeSelectedIndex(bool get, const std::string& id, int& index) {
    if (get) {
        const QVariant v = OnElement(id, QStringLiteral("return typeof e.selectedIndex==='number'?e.selectedIndex:null;"));
        if (v.isValid() && !v.isNull()) index = v.toInt();
    } else {
        OnElement(id, QStringLiteral("if(typeof e.selectedIndex==='number')e.selectedIndex=%1;return true;").arg(index));
    }
}

void CWebControlBase::ExchangeRadio(bool get, const std::string& name, int& index, int count) {
    const QString group = QStringLiteral("var g=Array.prototype.slice.call(document.getElementsByName(%1),0,%2);")
                              .arg(Literal(name))
                              .arg(std::max(count, 0));
    if (get) {
        const QVariant v = RunScript(QStringLiteral("(function(){%1for(var i=0;i<g.length;++i)if(g[i].checked)return i;return -1;})()").arg(group));
        if (v.isValid() && !v.isNull()) index = v.toInt();
    } else {
        if (index < 0 || index >= count) return;
        RunScript(QStringLiteral("(function(){%1if(%2<g.length)g[%2].checked=true;return true;})()").arg(group).arg(index));
    }
}

void CWebControlBase::ExchangeText(bool get, const std::string& id, std::string& text) {
    if (get) {
        const QVariant v = OnElement(id, QStringLiteral("return e.textContent;"));
        if (v.isValid() && !v.isNull()) text = v.toString().toStdString();
    } else {
        OnElement(id, QStringLiteral("e.textContent=%1;return true;").arg(Literal(text)));
    }
}

void CWebControlBase::Show(const std::string& id, bool visible) {
    OnElement(id, QStringLiteral("e.className=%1;return true;").arg(Literal(QString::fromLatin1(visible ? "show" : "hide"))));
}

void CWebControlBase::SetDisabled(const std::string& id, bool disabled) {
    OnElement(id, QStringLiteral("e.disabled=%1;return true;").arg(disabled ? QStringLiteral("true") : QStringLiteral("false")));
}

void CWebControlBase::Focus(const std::string& id, bool focus) {
    OnElement(id, focus ? QStringLiteral("e.focus();return true;") : QStringLiteral("e.blur();return true;"));
}

bool CWebControlBase::AddObserver(const std::string& id, std::unique_ptr<T_Functor> functor) {
    const QVariant own = OnElement(id, QStringLiteral("return __velmora.observe(%1,%2)?String(e.id):null;")
                                           .arg(Literal(id))
                                           .arg(generation_));
    if (!own.isValid() || own.isNull()) return false;
    const std::string elementId = own.toString().toStdString();
    connections_[elementId] = true;
    handlers_[elementId] = std::move(functor);
    return true;
}

void CWebControlBase::RemoveObservers() {
    connections_.clear();
    reports_.clear();
    RunScript(QStringLiteral("__velmora.unobserveAll(),true"));
}

void CWebControlBase::Report(int generation, int sequence, const QString& id, const QString& value) {
    reports_.push_back({generation, sequence, id, value});
    QueueDispatch();
}

void CWebControlBase::QueueDispatch() {
    // Handlers may render pages again; they run from the event loop, never inside a wait or the
    // channel's own delivery.
    if (reports_.empty() || dispatchQueued_) return;
    dispatchQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        dispatchQueued_ = false;
        // Inside a wait the reports stay; the wait queues them again when it ends.
        if (waiting_ == 0) Dispatch();
    });
}

void CWebControlBase::Dispatch() {
    while (!reports_.empty()) {
        Pending r = std::move(reports_.front());
        reports_.pop_front();
        if (r.generation != generation_ || r.sequence <= lastSequence_) continue;
        lastSequence_ = r.sequence;
        const std::string id = r.id.toStdString();
        if (id.empty() || !connections_.count(id)) continue;
        auto handler = handlers_.find(id);
        if (handler == handlers_.end() || !handler->second) continue;
        const int before = generation_;
        Ui::ElementEvent event;
        event.id = id;
        event.value = r.value.toStdString();
        // A handler that renders the page again observes anew and so replaces itself; it must
        // outlive its own call.
        std::unique_ptr<T_Functor> running = std::move(handler->second);
        (*running)(event);
        auto& slot = handlers_[id];
        if (!slot) slot = std::move(running);
        // The handler rendered the page again: what is left was reported by the old one.
        if (generation_ != before) break;
    }
}

#include "WebControlBase.moc"
