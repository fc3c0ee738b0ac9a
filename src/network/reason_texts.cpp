#include "network/reason_texts.h"

namespace {

const char kWinHttp[] = "WinHTTP error ";

// A reason as an HTTP stack gives it: WinHTTP's "WinHTTP error 12007: words" (the words may be
// missing, or only a bracket of certificate problems), or another stack's words alone.
struct StackReason
{
    std::string code; // "WinHTTP error 12007"; empty for another stack
    std::string words;
};

StackReason SplitStackReason(const std::string& reason)
{
    StackReason split;
    const std::size_t prefix = sizeof kWinHttp - 1;
    std::size_t end = prefix;
    if (reason.compare(0, prefix, kWinHttp) == 0) {
        while (end < reason.size() && reason[end] >= '0' && reason[end] <= '9')
            ++end;
    }
    if (end == prefix) {
        split.words = reason;
        return split;
    }
    split.code = reason.substr(0, end);
    if (reason.compare(end, 2, ": ") == 0) {
        end += 2;
    } else {
        while (end < reason.size() && reason[end] == ' ')
            ++end;
    }
    split.words = reason.substr(end);
    return split;
}

// The text of the last bracket of `words` when they end with one (WinHTTP names the certificate
// problems there), else the words.
std::string CertificateProblem(const std::string& words)
{
    if (words.empty() || words.back() != ')') return words;
    int depth = 0;
    for (std::size_t i = words.size(); i-- > 0;) {
        if (words[i] == ')') ++depth;
        if (words[i] == '(' && --depth == 0) return words.substr(i + 1, words.size() - i - 2);
    }
    return words;
}

std::string WithBracket(std::string text, const std::string& bracket)
{
    return bracket.empty() ? text : text + " (" + bracket + ")";
}

} // namespace

std::string SentenceCase(std::string text)
{
    if (text.empty() || text[0] < 'a' || text[0] > 'z') return text;
    // An address keeps its letters ("http://host/icon.png: larger than 64 KiB").
    if (text.substr(0, text.find(' ')).find("://") != std::string::npos) return text;
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::string LinkReasonText(const LinkOutcome& outcome)
{
    // The engine's own words: a time limit, a redirect loop, an address that does not parse.
    if (outcome.failure == HttpFailure::None || outcome.failure == HttpFailure::Timeout)
        return SentenceCase(outcome.reason);
    const StackReason stack = SplitStackReason(outcome.reason);
    // Without a code, the stack's own words go into the bracket.
    const std::string& bracket = stack.code.empty() ? stack.words : stack.code;
    switch (outcome.failure) {
    case HttpFailure::HostUnknown:
        return WithBracket("The host name could not be found", bracket);
    case HttpFailure::Refused:
        return WithBracket("The connection was refused", bracket);
    case HttpFailure::Reset:
        return WithBracket("The connection broke off", bracket);
    case HttpFailure::ClosedWithoutAnswer:
        return WithBracket("The server closed the connection without an answer", bracket);
    case HttpFailure::BadAnswer:
        return WithBracket("The server's answer is not sound HTTP", bracket);
    case HttpFailure::Tls: {
        std::string text = "The server's certificate is not trusted";
        const std::string problem = CertificateProblem(stack.words);
        if (!problem.empty()) text += ": " + problem;
        return WithBracket(text, stack.code);
    }
    default: {
        std::string text = "The request failed";
        if (!stack.words.empty()) text += ": " + stack.words;
        return WithBracket(text, stack.code);
    }
    }
}

const char* IconMissingWhy(IconFetchResult result)
{
    switch (result) {
    case IconFetchResult::Kept:
        return "";
    case IconFetchResult::NoIcon:
        return "No icon on the page";
    case IconFetchResult::TooLarge:
        return "Too large";
    case IconFetchResult::NotAnImage:
        return "Not an image";
    case IconFetchResult::Timeout:
        return "No answer in time";
    case IconFetchResult::CannotConnect:
        return "Could not connect";
    case IconFetchResult::TlsError:
        return "Certificate not trusted";
    case IconFetchResult::TooManyRedirects:
        return "Too many redirects";
    case IconFetchResult::RateLimited:
        return "Rate limited";
    case IconFetchResult::BadUrl:
        return "Not a usable address";
    case IconFetchResult::Cancelled:
        return "Cancelled";
    }
    return "";
}

std::string IconReasonText(const IconFetchOutcome& outcome)
{
    // The fetch's reasons say where a failure came from ("the page: ", an icon's address) and
    // give the stack's reason after it.
    std::string reason = outcome.reason;
    const std::size_t at = reason.find(kWinHttp);
    if (at != std::string::npos) {
        const StackReason stack = SplitStackReason(reason.substr(at));
        if (!stack.code.empty()) {
            std::string before = reason.substr(0, at);
            if (stack.words.empty()) {
                while (!before.empty() && (before.back() == ' ' || before.back() == ':'))
                    before.pop_back();
                reason = WithBracket(before, stack.code);
            } else {
                reason = before + stack.words + " (" + stack.code + ")";
            }
        }
    }
    // "http://host/icon.png: larger than 64 KiB" reads better, and loses less when it is cut
    // short, the other way round.
    const std::string& icon = outcome.iconUrl;
    if (!icon.empty() && reason.compare(0, icon.size() + 2, icon + ": ") == 0) {
        const std::string why = SentenceCase(reason.substr(icon.size() + 2));
        return icon.front() == '(' ? why + " " + icon : why + ": " + icon;
    }
    return SentenceCase(reason);
}
