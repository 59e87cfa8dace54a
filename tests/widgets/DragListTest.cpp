#include "widgets/DragList.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

QStringList Texts(const CDragList& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i) texts << list.item(i)->text();
    return texts;
}

class DragListTest : public ::testing::Test {
protected:
    DragListTest() {
        list.addItems({"a", "b", "c"});
        list.resize(200, 300);
        list.show();
    }
    CDragList list;
};

TEST_F(DragListTest, ADropMovesTheTextBeforeTheTargetAndReportsBothIndexes) {
    struct Case {
        int from, drop;
        QStringList after;
    };
    const Case cases[] = {
        {0, 3, {"b", "c", "a"}},                            // below the last
        {0, 2, {"b", "a", "c"}},                            // before "c": one place earlier when moving down
        {2, 0, {"c", "a", "b"}},  {1, 1, {"a", "b", "c"}},  // onto itself
        {1, 2, {"a", "b", "c"}},                            // just before the next
        {1, -1, {"a", "b", "c"}},                           // outside the list
    };
    for (const Case& c : cases) {
        list.clear();
        list.addItems({"a", "b", "c"});
        QSignalSpy dropped(&list, &CDragList::itemDropped);
        list.DropItem(c.from, c.drop);
        EXPECT_EQ(Texts(list), c.after) << c.from << "->" << c.drop;
        ASSERT_EQ(dropped.count(), 1);
        EXPECT_EQ(dropped[0], (QVariantList{c.drop, c.from}));
    }
}

TEST_F(DragListTest, TheDropIndexDependsOnWhereTheItemIsLetGo) {
    const QRect first = list.visualItemRect(list.item(0));
    const QRect last = list.visualItemRect(list.item(2));
    EXPECT_EQ(list.DropIndexAt(QPoint(first.center().x(), first.top() + 1)), 0);
    EXPECT_EQ(list.DropIndexAt(QPoint(first.center().x(), first.bottom())), 1);
    EXPECT_EQ(list.DropIndexAt(QPoint(last.center().x(), last.top() + 1)), 2);
    EXPECT_EQ(list.DropIndexAt(QPoint(last.center().x(), last.bottom() + 20)), 3);
    EXPECT_EQ(list.DropIndexAt(QPoint(-5, 5)), -1);
}

}  // namespace
