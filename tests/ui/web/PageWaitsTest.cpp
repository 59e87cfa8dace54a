// The whole program while a view waits for its page: the window system's close may come in the
// middle of the wait.

#include "support/RunningApp.h"

#include "ui/frame/ChildFrame.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/VelmoraDoc.h"
#include "ui/views/ViewPersonal.h"

#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class ClosingDuringAPageWait : public ::testing::Test {
protected:
    ClosingDuringAPageWait() {
        const std::string ann = run.AddProfile("Ann", "Ann");
        EXPECT_TRUE(run.Start({ann}));
        frame = run.Main().ActiveChildFrame();
        EXPECT_NE(frame, nullptr);
        if (frame) personal = qobject_cast<CViewPersonal*>(frame->GetActiveView());
        EXPECT_NE(personal, nullptr);
    }

    // Closes the main window as the window system does: from the event loop, which the page wait
    // runs.
    void CloseSoon() {
        QTimer::singleShot(0, &run.Main(), [this] { closeAnswered = run.Main().close(); });
    }

    RunningApp run;
    QPointer<CChildFrameBase> frame;
    QPointer<CViewPersonal> personal;
    bool closeAnswered = true;
};

TEST_F(ClosingDuringAPageWait, WaitsForTheExchangeAndThenCloses) {
    ASSERT_TRUE(personal);
    personal->Page().RunScript(QStringLiteral("document.getElementById('LastName').value = 'Smith'; true"));
    run.prompt.answers = {Services::Answer::No};
    CloseSoon();
    personal->UpdateData(true);  // leaving the tab: the close comes while the page is asked

    // The exchange ran to its end on a window that is still whole...
    EXPECT_FALSE(closeAnswered);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(personal);
    EXPECT_EQ(frame->GetActiveDocument()->Log().Personal().lastName, "Smith");
    EXPECT_TRUE(run.Main().isVisible());

    // ...and the close comes after it, asking about the change as any close does.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !run.Main().isVisible(); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame.isNull(); }, 5000));
    EXPECT_EQ(run.prompt.questions, std::vector<std::string>{"Save changes to Ann?"});
}

TEST_F(ClosingDuringAPageWait, OfAHungPageClosesOnceTheWaitGaveUp) {
    ASSERT_TRUE(personal);
    ShortPageWaits shortWaits;
    HangPage(personal->Page(), 1500);
    CloseSoon();
    personal->UpdateData(false);
    ASSERT_TRUE(frame);
    EXPECT_EQ(run.prompt.messages, std::vector<std::string>{CWebControlBase::kNotAnsweringLoad});

    EXPECT_TRUE(QTest::qWaitFor([&] { return frame.isNull(); }, 10000));
    EXPECT_FALSE(run.Main().isVisible());
}

}  // namespace
