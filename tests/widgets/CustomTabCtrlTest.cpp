#include "widgets/CustomTabCtrl.h"

#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class TabStrip : public ::testing::Test {
protected:
    TabStrip() {
        for (const char* name : {"Personal", "Log", "Diet", "Energy"}) tabs.InsertItem(tabs.GetItemCount(), name);
        tabs.resize(600, 30);
        tabs.show();
    }
    CCustomTabCtrl tabs;
};

TEST_F(TabStrip, InsertingTabsSelectsTheFirstWithoutAnnouncingIt) {
    CCustomTabCtrl fresh;
    QSignalSpy announced(&fresh, &CCustomTabCtrl::selectionChanged);
    fresh.InsertItem(0, "Personal");
    fresh.InsertItem(1, "Log");
    EXPECT_EQ(fresh.GetCurSel(), 0);
    EXPECT_EQ(announced.count(), 0);
}

TEST_F(TabStrip, SetCurSelDoesNotAnnounceAndRefusesIndexesOutOfRange) {
    QSignalSpy announced(&tabs, &CCustomTabCtrl::selectionChanged);
    EXPECT_TRUE(tabs.SetCurSel(2));
    EXPECT_FALSE(tabs.SetCurSel(4));
    EXPECT_FALSE(tabs.SetCurSel(-1));
    EXPECT_EQ(tabs.GetCurSel(), 2);
    EXPECT_EQ(announced.count(), 0);
}

TEST_F(TabStrip, ClickingATabAnnouncesIt) {
    QSignalSpy announced(&tabs, &CCustomTabCtrl::selectionChanged);
    QTabBar* bar = tabs.TabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
    ASSERT_EQ(announced.count(), 1);
    EXPECT_EQ(announced.front().front().toInt(), 3);
}

TEST_F(TabStrip, CloseButtonAsksToClose) {
    QSignalSpy close(&tabs, &CCustomTabCtrl::closeRequested);
    QTest::mouseClick(tabs.ButtonAt(CCustomTabCtrl::Close), Qt::LeftButton);
    EXPECT_EQ(close.count(), 1);
}

struct MoveCase {
    int from;
    CCustomTabCtrl::Button button;
    int announced;  // -1: the button is disabled and nothing is announced
};

class TabStripButtons : public TabStrip, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(TabStripButtons, MoveTheSelection) {
    const MoveCase& c = GetParam();
    tabs.SetCurSel(c.from);
    QSignalSpy announced(&tabs, &CCustomTabCtrl::selectionChanged);
    QToolButton* button = tabs.ButtonAt(c.button);
    EXPECT_EQ(button->isEnabled(), c.announced >= 0);
    QTest::mouseClick(button, Qt::LeftButton);
    if (c.announced < 0) {
        EXPECT_EQ(announced.count(), 0);
        EXPECT_EQ(tabs.GetCurSel(), c.from);
    } else {
        ASSERT_EQ(announced.count(), 1);
        EXPECT_EQ(announced.front().front().toInt(), c.announced);
    }
}

INSTANTIATE_TEST_SUITE_P(, TabStripButtons,
                         ::testing::Values(MoveCase{2, CCustomTabCtrl::First, 0}, MoveCase{2, CCustomTabCtrl::Prev, 1},
                                           MoveCase{2, CCustomTabCtrl::Next, 3}, MoveCase{1, CCustomTabCtrl::Last, 3},
                                           MoveCase{0, CCustomTabCtrl::First, -1},
                                           MoveCase{0, CCustomTabCtrl::Prev, -1}, MoveCase{3, CCustomTabCtrl::Next, -1},
                                           MoveCase{3, CCustomTabCtrl::Last, -1}));

}  // namespace
