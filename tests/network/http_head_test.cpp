#include "network/http_head.h"
#include "network/http_transport.h"

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

TEST(HttpHead, BytesSplitIntoLinesWhereverTheyFall)
{
    const std::string answer = "HTTP/1.1 302 Found\r\nLocation: /" + std::string(3000, 'x') +
                               "\r\nRetry-After: 1\r\n\r\nbody HTTP/1.1 200\r\n";
    for (std::size_t piece : {1u, 7u, 1460u, 100000u}) {
        CHttpHead head;
        for (std::size_t at = 0; at < answer.size(); at += piece)
            EXPECT_TRUE(head.AddBytes(std::string_view(answer).substr(at, piece)));
        EXPECT_TRUE(head.Complete()) << piece;
        // A line longer than Wine's WinHTTP keeps comes whole, and the body is not read.
        EXPECT_EQ(head.Location().size(), 3001u) << piece;
        EXPECT_EQ(head.RetryAfter(), "1");
    }
    // A line without end counts against the limit as it grows.
    CHttpHead endless(1000);
    EXPECT_TRUE(endless.AddBytes("HTTP/1.1 200 OK\r\nX: "));
    EXPECT_FALSE(endless.AddBytes(std::string(2000, 'a')));
    EXPECT_TRUE(endless.TooLarge());
    // A head that breaks off is started, not complete.
    CHttpHead cut;
    cut.AddBytes("HTTP/1.1 200 OK\r\nX: 1\r\n");
    EXPECT_TRUE(cut.Started());
    EXPECT_FALSE(cut.Complete());
}
