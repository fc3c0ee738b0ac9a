#include "linkcheck/http_head.h"
#include "linkcheck/http_transport.h"

#include <gtest/gtest.h>

TEST(HttpHead, TakesTheLastAnswersValuesAndKnowsWhetherItCameWhole)
{
    CHttpHead head;
    for (const char* line : {"HTTP/1.1 100 Continue\r\n", "Location: /early\r\n", "\r\n",
                             "HTTP/1.1 301 Moved\r\n", "LOCATION:  /there \t\r\n"}) {
        EXPECT_TRUE(head.AddLine(line));
    }
    // A 100 Continue's blank line does not end the final answer's head.
    EXPECT_FALSE(head.Complete());
    EXPECT_TRUE(head.AddLine("retry-after: 5\r\n"));
    EXPECT_TRUE(head.AddLine("Locations: no\r\n"));
    EXPECT_TRUE(head.AddLine("\r\n"));
    EXPECT_TRUE(head.Complete());
    EXPECT_EQ(head.Location(), "/there");
    EXPECT_EQ(head.RetryAfter(), "5");

    // A blank line before any status line is no head at all.
    CHttpHead none;
    none.AddLine("\n");
    EXPECT_FALSE(none.Complete());
}

TEST(HttpHead, EndsWhenHeaderLinesGoOnPastTheLimit)
{
    EXPECT_EQ(kMaxHeaderBytes, 256u * 1024);
    CHttpHead head(100);
    EXPECT_TRUE(head.AddLine("HTTP/1.1 200 OK\r\n"));
    std::string line = "X-Endless: " + std::string(60, 'a') + "\r\n";
    EXPECT_TRUE(head.AddLine(line));
    EXPECT_FALSE(head.AddLine(line));
    EXPECT_TRUE(head.TooLarge());
    EXPECT_FALSE(head.Complete());
}
