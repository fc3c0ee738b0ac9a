// The results windows' reasons as sentences: the network's failures in the program's words with
// the HTTP stack's code at the end, the engines' own reasons with a capital letter.
#include "network/reason_texts.h"

#include <gtest/gtest.h>

namespace {

LinkOutcome Failed(HttpFailure failure, std::string reason,
                   LinkResult result = LinkResult::CannotConnect)
{
    LinkOutcome outcome;
    outcome.result = result;
    outcome.failure = failure;
    outcome.reason = std::move(reason);
    return outcome;
}

IconFetchOutcome IconFailed(IconFetchResult result, std::string reason,
                            std::string iconUrl = std::string())
{
    IconFetchOutcome outcome;
    outcome.result = result;
    outcome.reason = std::move(reason);
    outcome.iconUrl = std::move(iconUrl);
    return outcome;
}

} // namespace

TEST(ReasonTexts, NetworkFailuresReadAsSentencesWithTheStacksCodeAtTheEnd)
{
    // WinHTTP's reasons as the transport writes them, with Wine's words and Windows' own.
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::HostUnknown,
                                    "WinHTTP error 12007: the host name could not be resolved")),
              "The host name could not be found (WinHTTP error 12007)");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Refused,
                                    "WinHTTP error 12029: could not connect to the server")),
              "The connection was refused (WinHTTP error 12029)");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::ClosedWithoutAnswer,
                                    "WinHTTP error 12152: The server returned an invalid or "
                                    "unrecognized response")),
              "The server closed the connection without an answer (WinHTTP error 12152)");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Reset, "WinHTTP error 12030")),
              "The connection broke off (WinHTTP error 12030)");
    // The certificate's problem is what the bracket of the stack's words names.
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Tls,
                                    "WinHTTP error 12157: secure channel error (the certificate "
                                    "or the handshake was refused)",
                                    LinkResult::TlsError)),
              "The server's certificate is not trusted: the certificate or the handshake was "
              "refused (WinHTTP error 12157)");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Tls,
                                    "WinHTTP error 12175: A security error occurred (certificate "
                                    "not trusted (unknown issuer))",
                                    LinkResult::TlsError)),
              "The server's certificate is not trusted: certificate not trusted (unknown issuer) "
              "(WinHTTP error 12175)");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Tls, "WinHTTP error 12175", LinkResult::TlsError)),
              "The server's certificate is not trusted (WinHTTP error 12175)");
    EXPECT_EQ(LinkReasonText(
                  Failed(HttpFailure::BadAnswer, "headers without end", LinkResult::ServerError)),
              "The server's answer is not sound HTTP (headers without end)");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Other, "WinHTTP error 12345: odd")),
              "The request failed: odd (WinHTTP error 12345)");
    // libcurl gives words without a code: they go into the bracket.
    EXPECT_EQ(LinkReasonText(
                  Failed(HttpFailure::HostUnknown, "Could not resolve host: quillomere.invalid")),
              "The host name could not be found (Could not resolve host: quillomere.invalid)");
    EXPECT_EQ(
        LinkReasonText(Failed(HttpFailure::Tls, "SSL certificate problem: self-signed certificate",
                              LinkResult::TlsError)),
        "The server's certificate is not trusted: SSL certificate problem: self-signed "
        "certificate");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Refused, "")), "The connection was refused");

    // The engine's own reasons.
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::None, "a redirect loop")), "A redirect loop");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Timeout, "no complete answer within 15 s")),
              "No complete answer within 15 s");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::None, "")), "");

    // Words that only look like WinHTTP's are taken as words, and odd brackets stay whole.
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Refused, "WinHTTP error x")),
              "The connection was refused (WinHTTP error x)");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Tls, "WinHTTP error 1: a) b)")),
              "The server's certificate is not trusted: a) b) (WinHTTP error 1)");
    EXPECT_EQ(LinkReasonText(Failed(HttpFailure::Tls, "WinHTTP error 1: ()")),
              "The server's certificate is not trusted (WinHTTP error 1)");
}

TEST(ReasonTexts, IconReasonsSayWhyFirstAndMoveTheStacksCodeBehindItsWords)
{
    EXPECT_EQ(IconReasonText(
                  IconFailed(IconFetchResult::CannotConnect,
                             "the page: WinHTTP error 12007: the host name could not be resolved")),
              "The page: the host name could not be resolved (WinHTTP error 12007)");
    EXPECT_EQ(IconReasonText(IconFailed(IconFetchResult::CannotConnect,
                                        "http://a.test/favicon.ico: WinHTTP error 12029",
                                        "http://a.test/favicon.ico")),
              "http://a.test/favicon.ico (WinHTTP error 12029)");
    EXPECT_EQ(IconReasonText(IconFailed(IconFetchResult::CannotConnect,
                                        "http://a.test/favicon.ico: WinHTTP error 12029: could not "
                                        "connect to the server",
                                        "http://a.test/favicon.ico")),
              "Could not connect to the server (WinHTTP error 12029): http://a.test/favicon.ico");
    EXPECT_EQ(IconReasonText(IconFailed(IconFetchResult::TooLarge,
                                        "http://a.test/big.png: larger than 64 KiB",
                                        "http://a.test/big.png")),
              "Larger than 64 KiB: http://a.test/big.png");
    EXPECT_EQ(IconReasonText(IconFailed(IconFetchResult::NotAnImage,
                                        "(a data address in the page): a data address that holds "
                                        "no image",
                                        "(a data address in the page)")),
              "A data address that holds no image (a data address in the page)");
    EXPECT_EQ(IconReasonText(IconFailed(IconFetchResult::NoIcon,
                                        "the page names no icon, and "
                                        "http://a.test/favicon.ico answered 404",
                                        "http://a.test/favicon.ico")),
              "The page names no icon, and http://a.test/favicon.ico answered 404");
    // An address keeps its letters where it leads.
    EXPECT_EQ(SentenceCase("http://a.test/: odd"), "http://a.test/: odd");
    EXPECT_EQ(SentenceCase("odd"), "Odd");

    EXPECT_STREQ(IconMissingWhy(IconFetchResult::NoIcon), "No icon on the page");
    EXPECT_STREQ(IconMissingWhy(IconFetchResult::CannotConnect), "Could not connect");
    EXPECT_STREQ(IconMissingWhy(IconFetchResult::NotAnImage), "Not an image");
    EXPECT_STREQ(IconMissingWhy(IconFetchResult::TooLarge), "Too large");
}
