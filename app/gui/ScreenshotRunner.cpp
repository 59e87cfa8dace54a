#include "ScreenshotRunner.h"

#include "VelmoraApp.h"

#include "ui/dialogs/DlgCopyFoods.h"
#include "ui/dialogs/DlgFoodEditor.h"
#include "ui/frame/ChildFrame.h"
#include "ui/frame/DocManager.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/web/WebControlBase.h"

#include "widgets/CustomTabCtrl.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QTabBar>
#include <QTableWidget>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace {

// Long enough for a page to finish drawing after a change.
constexpr int kSettleMs = 600;
// The browser draws a page after it has loaded, in a process of its own.
constexpr int kPageDrawMs = 1500;
constexpr int kPageLoadLimitMs = 15000;

// Lets the embedded pages on show load and draw.
void WaitForPages(QWidget* window) {
    QList<CWebControlBase*> pages;
    for (CWebControlBase* page : window->findChildren<CWebControlBase*>())
        if (page->isVisible()) pages.push_back(page);
    if (pages.isEmpty()) return;
    QElapsedTimer timer;
    timer.start();
    const auto allRendered = [&pages] {
        return std::all_of(pages.begin(), pages.end(), [](CWebControlBase* p) { return p->Renderings() > 0; });
    };
    while (!allRendered() && timer.elapsed() < kPageLoadLimitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    timer.restart();
    while (timer.elapsed() < kPageDrawMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

}  // namespace

CScreenshotRunner::CScreenshotRunner(CVelmoraApp& app, QString outDir, QString profile)
    : app_(app), outDir_(std::move(outDir)), profile_(std::move(profile)) {}

CScreenshotRunner::~CScreenshotRunner() = default;

void CScreenshotRunner::Start() {
    CMainFrame* frame = app_.MainFrame();
    if (!frame) return Finish(2, QStringLiteral("the main window does not exist"));
    // Without a window manager nothing maximises the window; give it the whole screen.
    if (QScreen* screen = frame->screen()) frame->setGeometry(screen->availableGeometry());
    QDir().mkpath(outDir_);

    steps_.push_back([this] { return Grab(QStringLiteral("main")); });
    if (!profile_.isEmpty()) {
        steps_.push_back([this] {
            if (!app_.DocManager()->OpenDocumentFile(profile_.toStdString())) {
                Finish(3, QStringLiteral("can't open ") + profile_);
                return false;
            }
            return true;
        });
        for (const char* tab : {"Personal", "Log", "Diet", "Energy", "Food", "Nutrients", "Trends"}) {
            const QString name = QString::fromLatin1(tab);
            steps_.push_back([this, name] {
                CChildFrameBase* child = app_.MainFrame()->ActiveChildFrame();
                if (!child) return false;
                for (int i = 0; i < child->TabCount(); ++i)
                    if (QString::fromStdString(child->TabName(i)) == name)
                        child->TabCtrl()->TabBar()->setCurrentIndex(i);
                // A sample profile is seldom of the last 30 days; the whole log has something to show.
                if (auto* period = child->findChild<QComboBox*>(QStringLiteral("trendsPeriod")))
                    if (const int everything = period->findText(QStringLiteral("Everything")); everything >= 0)
                        period->setCurrentIndex(everything);
                return true;
            });
            steps_.push_back([this, name] { return Grab(name.toLower()); });
        }
        // The Edit menu after an amount was changed on the Food tab: Undo names the change.
        steps_.push_back([this] {
            CChildFrameBase* child = app_.MainFrame()->ActiveChildFrame();
            CVelmoraDoc* doc = child ? child->GetActiveDocument() : nullptr;
            if (!doc) return false;
            for (int i = 0; i < child->TabCount(); ++i)
                if (child->TabName(i) == "Food") child->TabCtrl()->TabBar()->setCurrentIndex(i);
            if (!doc->DayFoods().empty()) doc->SetFoodWeight(0, doc->DayFoods()[0].weight * 2);
            app_.MainFrame()->UpdateCommandUI();
            for (QMenu* menu : app_.MainFrame()->Menus(CMainFrame::kProfile))
                if (menu && menu->title() == QStringLiteral("&Edit")) {
                    QMenuBar* bar = app_.MainFrame()->menuBar();
                    const QRect item = bar->actionGeometry(menu->menuAction());
                    menu->popup(bar->mapToGlobal(item.bottomLeft()));
                }
            return true;
        });
        steps_.push_back([this] {
            const bool grabbed = Grab(QStringLiteral("edit-menu"));
            for (QMenu* menu : app_.MainFrame()->Menus(CMainFrame::kProfile))
                if (menu) menu->hide();
            return grabbed;
        });
        // Copy Meal To with two dates picked, one of them with foods already.
        steps_.push_back([this] {
            CChildFrameBase* child = app_.MainFrame()->ActiveChildFrame();
            CVelmoraDoc* doc = child ? child->GetActiveDocument() : nullptr;
            if (!doc) return false;
            DlgCopyFoods::Setup setup;
            setup.kind = DlgCopyFoods::Kind::Meal;
            setup.currentDate = doc->CurrentDate();
            if (const Meal::CMealManager* meals = doc->Log().Meals())
                for (int i = 0; i < meals->MealCount(); ++i) setup.meals.push_back(meals->MealAt(i).Name());
            setup.meal = "Breakfast";
            setup.entriesOn = [doc](const std::string& date, const std::optional<std::string>& meal) {
                return doc->EntriesOn(date, meal);
            };
            copyDialog_ = std::make_unique<DlgCopyFoods>(std::move(setup), app_.MainFrame());
            const QDate today =
                QDate::fromString(QString::fromStdString(doc->CurrentDate()), QStringLiteral("yyyyMMdd"));
            for (int ahead : {1, 2}) {
                copyDialog_->Calendar()->setSelectedDate(today.addDays(ahead));
                copyDialog_->AddDates();
            }
            copyDialog_->Calendar()->setSelectedDate(today.addDays(-1));
            copyDialog_->AddDates();
            copyDialog_->show();
            return true;
        });
        steps_.push_back([this] {
            const bool saved = !SavePicture(copyDialog_->grab(), QStringLiteral("copy-meal")).isEmpty();
            copyDialog_.reset();
            return saved;
        });
        // The food editor as a nutrition label fills it: values per serving of 40 g.
        steps_.push_back([this] {
            MyFood label;
            label.food.SetName("Granola bar, oats and honey");
            const Gui::CAppContext app = app_.Context();
            editor_ = std::make_unique<Gui::DlgFoodEditor>(app_.MainFrame(), app, std::nullopt, label);
            auto* table = editor_->findChild<QTableWidget*>(QStringLiteral("nutrients"));
            const std::pair<const char*, const char*> values[] = {{"Energy", "190"},
                                                                  {"Total lipid (fat)", "7"},
                                                                  {"Fatty acids, total saturated", "1"},
                                                                  {"Sodium, Na", "160"},
                                                                  {"Carbohydrate, by difference", "29"},
                                                                  {"Fiber, total dietary", "2"},
                                                                  {"Sugars, total", "12"},
                                                                  {"Protein", "4"}};
            for (int r = 0; table && r < table->rowCount(); ++r)
                for (const auto& [nutrient, value] : values)
                    if (table->item(r, 0)->text() == QString::fromUtf8(nutrient))
                        table->item(r, 1)->setText(QString::fromUtf8(value));
            if (auto* basis = editor_->findChild<QComboBox*>(QStringLiteral("basis"))) basis->setCurrentIndex(1);
            if (auto* grams = editor_->findChild<QDoubleSpinBox*>(QStringLiteral("servingGrams"))) grams->setValue(40);
            editor_->show();
            return true;
        });
        steps_.push_back([this] {
            const bool saved = !SavePicture(editor_->grab(), QStringLiteral("food-editor")).isEmpty();
            editor_.reset();
            return saved;
        });
    }
    QTimer::singleShot(kSettleMs, this, &CScreenshotRunner::Next);
}

void CScreenshotRunner::Next() {
    if (step_ >= steps_.size()) return Finish(0);
    if (!steps_[step_++]()) {
        if (step_ <= steps_.size()) Finish(4, QStringLiteral("step %1 failed").arg(step_));
        return;
    }
    QTimer::singleShot(kSettleMs, this, &CScreenshotRunner::Next);
}

bool CScreenshotRunner::Grab(const QString& name) {
    CMainFrame* frame = app_.MainFrame();
    WaitForPages(frame);
    QPixmap picture;
    // The screen's own pixels include whatever other processes draw into the window; a widget
    // grab is the fallback where there is no screen to read.
    if (QScreen* screen = frame->screen()) {
        const QRect g = frame->frameGeometry();
        picture = screen->grabWindow(0, g.x(), g.y(), g.width(), g.height());
    }
    if (picture.isNull()) picture = frame->grab();
    const QString path = SavePicture(picture, name);
    if (path.isEmpty()) return false;
    QTextStream(stdout) << "wrote " << path << Qt::endl;
    return true;
}

QString CScreenshotRunner::SavePicture(const QPixmap& picture, const QString& name) {
    const QString path = QDir(outDir_).filePath(name + QStringLiteral(".png"));
    if (picture.isNull() || !picture.save(path, "PNG")) {
        Finish(5, QStringLiteral("can't write ") + path);
        return {};
    }
    return path;
}

void CScreenshotRunner::Finish(int code, const QString& message) {
    if (!message.isEmpty()) QTextStream(stderr) << "screenshots: " << message << Qt::endl;
    step_ = steps_.size() + 1;
    if (CMainFrame* frame = app_.MainFrame()) frame->CloseAllDocuments();
    QCoreApplication::exit(code);
}
