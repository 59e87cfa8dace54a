#include "support/GuiSupport.h"

#include "support/FakeServices.h"

#include "ui/frame/ChildFrame.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewPlaceholder.h"
#include "ui/views/ViewTrends.h"

#include "widgets/CustomTabCtrl.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using Services::Answer;

enum Tab { Personal, Log, Diet, Energy, Food, Nutrients, Trends };

// A view with one input: the person's first name, which must not be left empty.
class NameView : public CViewBase {
public:
    NameView() {
        edit = new QLineEdit(this);
        (new QVBoxLayout(this))->addWidget(edit);
    }
    QLineEdit* edit;

protected:
    bool DoDataExchange(bool save) override {
        auto& name = GetDocument()->Log().Personal().firstName;
        if (!save) {
            edit->setText(QString::fromStdString(name));
            return true;
        }
        if (edit->text().isEmpty()) return false;
        name = edit->text().toStdString();
        return true;
    }
};

// The window is tested on its own: every tab gets a placeholder view, which shows the day.
std::unique_ptr<CViewBase> PlaceholderViews(const std::string& name) {
    for (const char* known : {"Personal", "Log", "Diet", "Energy", "Food", "Nutrients", "Trends"})
        if (name == known) return std::make_unique<CViewPlaceholder>(QString::fromStdString(name));
    return nullptr;
}

// Placeholders, with the name view on the "Diet" tab.
std::unique_ptr<CViewBase> ViewsWithName(const std::string& name) {
    if (name == "Diet") return std::make_unique<NameView>();
    return PlaceholderViews(name);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ProfileWindow : public ::testing::Test {
protected:
    ProfileWindow() {
        main.Create();
        main.resize(900, 700);
        main.show();
    }

    // The profile "Ann" of tests/data/ui in a window of the main frame.
    CChildFrameBase* Open(ViewFactory factory = PlaceholderViews) {
        path = app.AddProfile("Ann", "Ann");
        auto doc = std::make_unique<CVelmoraDoc>(app.Context());
        EXPECT_TRUE(doc->OnOpenDocument(path));
        doc->SetPathName(path);
        auto* frame = new CChildFrameDay(std::move(doc), std::move(factory));
        EXPECT_TRUE(frame->Create());
        main.AddChildFrame(frame);
        frame->InitialUpdateFrame();
        return frame;
    }

    void ClickTab(CChildFrameBase* frame, Tab tab) {
        QTabBar* bar = frame->TabCtrl()->TabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    }

    QString DayShown(CChildFrameBase* frame) {
        return static_cast<CViewPlaceholder*>(frame->GetActiveView())->DayText();
    }

    TestApp app;
    CMainFrame main;
    std::string path;
};

TEST_F(ProfileWindow, OpensOnPersonalWithTheOtherViewsNotYetMade) {
    CChildFrameBase* frame = Open();
    ASSERT_EQ(frame->TabCount(), 7);
    const char* names[] = {"Personal", "Log", "Diet", "Energy", "Food", "Nutrients", "Trends"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(frame->TabName(i), names[i]);
        EXPECT_EQ(frame->TabCtrl()->GetItemText(i).toStdString(), names[i]);
        EXPECT_EQ(frame->TabView(i) != nullptr, i == Personal) << names[i];
    }
    EXPECT_EQ(frame->CurrentTab(), Personal);
    EXPECT_EQ(frame->GetActiveDocument()->FirstView(), frame->TabView(Personal));
    EXPECT_EQ(DayShown(frame), QStringLiteral("Day: 2024-05-07"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Ann[*]"));
}

TEST_F(ProfileWindow, ADayOpenedFromTheTrendsTabIsShownOnTheLogTab) {
    ScopedClock clock(boost::gregorian::date(2024, 5, 7));
    CChildFrameBase* frame = Open([](const std::string& name) -> std::unique_ptr<CViewBase> {
        if (name == "Trends") return std::make_unique<CViewTrends>();
        return PlaceholderViews(name);
    });
    ClickTab(frame, Trends);
    auto* trends = qobject_cast<CViewTrends*>(frame->GetActiveView());
    ASSERT_NE(trends, nullptr);
    ASSERT_EQ(trends->Range().to, "20240507");
    trends->OpenDay(static_cast<int>(Trends::DaysOf(trends->Range().from, "20240506").size()) - 1);
    EXPECT_EQ(frame->CurrentTab(), Log);
    EXPECT_EQ(frame->TabCtrl()->GetCurSel(), Log);
    EXPECT_EQ(DayShown(frame), QStringLiteral("Day: 2024-05-06"));
}

TEST_F(ProfileWindow, AViewIsMadeOnceAndReloadedWhenItComesBack) {
    CChildFrameBase* frame = Open();
    CVelmoraDoc* doc = frame->GetActiveDocument();
    ClickTab(frame, Food);
    CViewBase* food = frame->TabView(Food);
    ASSERT_NE(food, nullptr);
    EXPECT_EQ(frame->GetActiveView(), food);
    EXPECT_TRUE(food->isVisible());
    EXPECT_FALSE(frame->TabView(Personal)->isVisible());

    ClickTab(frame, Personal);
    // Only the view on show is attached to the document.
    EXPECT_EQ(doc->FirstView(), frame->TabView(Personal));
    doc->Log().SelectDay("20240506");

    ClickTab(frame, Food);
    EXPECT_EQ(frame->TabView(Food), food);
    EXPECT_EQ(doc->FirstView(), food);
    EXPECT_EQ(DayShown(frame), QStringLiteral("Day: 2024-05-06"));
    for (Tab never : {Log, Diet, Energy, Nutrients}) EXPECT_EQ(frame->TabView(never), nullptr);
}

TEST_F(ProfileWindow, AViewWhoseInputDoesNotValidateKeepsItsTab) {
    CChildFrameBase* frame = Open(ViewsWithName);
    ClickTab(frame, Diet);
    auto* name = static_cast<NameView*>(frame->TabView(Diet));
    ASSERT_NE(name, nullptr);
    name->edit->clear();

    ClickTab(frame, Log);
    EXPECT_EQ(frame->TabCtrl()->GetCurSel(), Diet);
    EXPECT_EQ(frame->GetActiveView(), name);
    EXPECT_EQ(frame->TabView(Log), nullptr);

    QTest::keyClicks(name->edit, "Zoe");
    ClickTab(frame, Log);
    EXPECT_EQ(frame->CurrentTab(), Log);
    EXPECT_EQ(frame->GetActiveDocument()->Log().Personal().firstName, "Zoe");
}

TEST_F(ProfileWindow, ACommandSeesWhatWasJustTyped) {
    CChildFrameBase* frame = Open(ViewsWithName);
    ClickTab(frame, Diet);
    QLineEdit* edit = static_cast<NameView*>(frame->TabView(Diet))->edit;
    edit->clear();
    QTest::keyClicks(edit, "Zoe");
    QString suggested;
    OnNextDialog<QFileDialog>([&](QFileDialog& dialog) {
        suggested = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        dialog.reject();
    });
    main.ExecuteCommand(Gui::CommandId::Export);
    EXPECT_EQ(suggested, QStringLiteral("ZoeLee"));
}

struct CloseCase {
    const char* name;
    Answer answer;
    bool closed;
    bool saved;
};

class ClosingModified : public ProfileWindow, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosingModified, AsksToSaveFirst) {
    const CloseCase& c = GetParam();
    RecordingPrompt prompt;
    prompt.answers = {c.answer};
    CChildFrameBase* frame = Open();
    CVelmoraDoc* doc = frame->GetActiveDocument();
    doc->Log().Personal().lastName = "Smith";
    doc->SetModifiedFlag();

    QTest::mouseClick(frame->TabCtrl()->ButtonAt(CCustomTabCtrl::Close), Qt::LeftButton);
    QTest::qWait(0);
    EXPECT_EQ(prompt.questions, std::vector<std::string>{"Save changes to Ann?"});
    EXPECT_EQ(main.ChildFrames().empty(), c.closed);
    EXPECT_EQ(ReadFile(path).find("Smith") != std::string::npos, c.saved);
}

INSTANTIATE_TEST_SUITE_P(, ClosingModified,
                         ::testing::Values(CloseCase{"Save", Answer::Yes, true, true},
                                           CloseCase{"Discard", Answer::No, true, false},
                                           CloseCase{"Cancel", Answer::Cancel, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileWindow, AnUnmodifiedProfileClosesWithoutAsking) {
    RecordingPrompt prompt;
    Open();
    main.ExecuteCommand(Gui::CommandId::FileClose);
    QTest::qWait(0);
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_TRUE(main.ChildFrames().empty());
}

}  // namespace
