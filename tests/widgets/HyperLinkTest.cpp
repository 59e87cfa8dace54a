#include "widgets/HyperLink.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(HyperLink, ActivatingTheLinkReportsItsUrlNotTheShownText) {
    CHyperLink link;
    link.SetLink("E-mail : ", "support@example.com", "mailto:support@example.com");
    QSignalSpy clicked(&link, &CHyperLink::clicked);
    emit link.linkActivated(QStringLiteral("link"));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.front().front().toString(), QStringLiteral("mailto:support@example.com"));
    EXPECT_TRUE(link.text().startsWith(QStringLiteral("E-mail : ")));
}

TEST(HyperLink, MarkupInTheTextIsShownNotInterpreted) {
    CHyperLink link;
    link.SetLink("<b>Company</b> : ", "a&b", "https://example.com");
    EXPECT_TRUE(link.text().contains(QStringLiteral("&lt;b&gt;Company")));
    EXPECT_TRUE(link.text().contains(QStringLiteral("a&amp;b")));
}
