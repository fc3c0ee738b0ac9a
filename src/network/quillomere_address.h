// The program's own address scheme, which a browser hands to the program for a page to add:
// quillomere:add?url=<address>&title=<text>, both percent-encoded UTF-8 (encodeURIComponent).
// Any web page can make a browser open such an address, so everything in it is hostile: only the
// verb add exists, only http and https addresses are taken, and every malformed piece is refused
// with a result of its own rather than mended.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

enum class AddRequestStatus
{
    Add,                // `url` and `title` hold the link to add
    NotQuillomere,      // not a quillomere: address at all
    UnknownVerb,        // a quillomere: address with another verb than add
    NoAddress,          // no url parameter, or an empty one
    NotWebAddress,      // the address is not http or https (javascript:, data:, file:, relative)
    BadAddress,         // an http or https address that does not parse (no host, bad port, ...)
    TooLong,            // the address is over 8 KiB, or the whole request over 32 KiB
    ControlCharacter,   // a control character (C0, DEL or C1), as it stands or percent-encoded
    BadPercentEncoding, // a '%' not followed by two hexadecimal digits
    BadUtf8,            // percent-encoded bytes that are not UTF-8, or text that is not Unicode
};

struct AddRequest
{
    AddRequestStatus status = AddRequestStatus::NotQuillomere;
    // For Add only, both plain text, never markup: the caller escapes them as the project's page
    // markup needs before they become a link (the address with AddressAsMarkup, the title with
    // '&', '<' and '>' as references).
    // The address as the page sent it (percent-decoded once, spaces at the ends dropped): an
    // http or https address of at most kMaxAddressBytes bytes of UTF-8 without control characters.
    std::wstring url;
    // The page's title, cut to kMaxTitleCharacters characters (code points), spaces at the ends
    // dropped; empty when the request names none (the caller then makes a caption from the
    // address).
    std::wstring title;
};

constexpr std::size_t kMaxAddressBytes = 8192;
constexpr std::size_t kMaxRequestBytes = 32768;
constexpr std::size_t kMaxTitleCharacters = 300;

// Reads a quillomere: address (the program's command-line argument). The scheme and the verb
// are matched in any case, "quillomere://add/?..." is taken as "quillomere:add?..."; the query's
// parameters are split at '&' and '=', '+' stands for a space, the first url and the first
// title count and other names are ignored (but must be well formed too); a fragment is ignored.
AddRequest ParseAddRequest(std::wstring_view argument);
// The same on the argument's UTF-8 bytes.
AddRequest ParseAddRequest(std::string_view argument);

// Why a request was refused, as a phrase for the status bar ("only http and https addresses
// are added"); empty for Add.
const wchar_t* AddRefusalReason(AddRequestStatus status);

// The quillomere:add address of a page, encoded as the help page's bookmarklet encodes it.
std::wstring MakeAddAddress(const std::wstring& url, const std::wstring& title);

// At most kPerMinute adds in any minute: a page that opens the address in a loop must not flood
// the project. The clock is injectable for tests.
class CAddRateLimit
{
public:
    static constexpr std::size_t kPerMinute = 10;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Without a clock, the steady clock.
    explicit CAddRateLimit(Clock clock = Clock());

    // True when an add may be taken now, which is then counted against the minute; false when
    // kPerMinute were taken in the last minute: the add is to be ignored, and is counted.
    bool Take();
    // The adds refused since the last one taken.
    std::size_t Ignored() const { return ignored; }

private:
    Clock clock;
    std::deque<std::chrono::steady_clock::time_point> taken; // within the last minute
    std::size_t ignored = 0;
};
