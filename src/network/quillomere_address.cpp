#include "network/quillomere_address.h"

#include "network/link_url.h"
#include "persist/text.h"

#include <cstdint>

namespace {

const char kScheme[] = "quillomere:";
const char kVerb[] = "add";

bool EqualsLowerAscii(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
        if (c != lower[i]) return false;
    }
    return true;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsControl(std::uint32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Add when `text` is well-formed UTF-8 (no overlong forms, no surrogates) without control
// characters; otherwise what is wrong with it.
AddRequestStatus CheckText(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80           ? 0
                          : (lead >> 5) == 0x6  ? 1
                          : (lead >> 4) == 0xE  ? 2
                          : (lead >> 3) == 0x1E ? 3
                                                : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size())
            return AddRequestStatus::BadUtf8;
        std::uint32_t value = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return AddRequestStatus::BadUtf8;
            value = (value << 6) | (next & 0x3F);
        }
        static const std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (value < kLeast[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return AddRequestStatus::BadUtf8;
        if (IsControl(value)) return AddRequestStatus::ControlCharacter;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return AddRequestStatus::Add;
}

// Percent-decodes a query component, '+' as a space; false on a '%' without two hex digits.
bool PercentDecode(std::string_view text, std::string& out)
{
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] != '%') {
            out += text[i];
        } else {
            if (i + 2 >= text.size()) return false;
            const int high = HexValue(text[i + 1]), low = HexValue(text[i + 2]);
            if (high < 0 || low < 0) return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return true;
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// The first `count` code points of well-formed UTF-8.
std::string_view FirstCodePoints(std::string_view text, std::size_t count)
{
    std::size_t i = 0;
    for (; i < text.size() && count > 0; --count) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return text.substr(0, i);
}

AddRequest Refused(AddRequestStatus status)
{
    AddRequest request;
    request.status = status;
    return request;
}

// Wide text as UTF-8; false when it is no Unicode text (a lone surrogate, a value beyond
// U+10FFFF).
bool WideToUtf8(std::wstring_view text, std::string& out)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            const auto low = static_cast<std::uint32_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return false;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

} // namespace

AddRequest ParseAddRequest(std::string_view argument)
{
    if (argument.size() > kMaxRequestBytes) return Refused(AddRequestStatus::TooLong);
    const AddRequestStatus raw = CheckText(argument);
    if (raw != AddRequestStatus::Add) return Refused(raw);
    std::string_view text = TrimSpaces(argument);
    const std::size_t schemeLength = sizeof kScheme - 1;
    if (text.size() < schemeLength || !EqualsLowerAscii(text.substr(0, schemeLength), kScheme))
        return Refused(AddRequestStatus::NotQuillomere);
    text.remove_prefix(schemeLength);
    if (text.substr(0, 2) == "//") text.remove_prefix(2);
    text = text.substr(0, text.find('#'));
    const std::size_t question = text.find('?');
    std::string_view verb = text.substr(0, question);
    if (!verb.empty() && verb.back() == '/') verb.remove_suffix(1);
    if (!EqualsLowerAscii(verb, kVerb)) return Refused(AddRequestStatus::UnknownVerb);
    std::string_view query =
        question == std::string_view::npos ? std::string_view() : text.substr(question + 1);

    std::string url, title, name, value;
    bool hasUrl = false, hasTitle = false;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view piece = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        const std::size_t equals = piece.find('=');
        const std::string_view rawValue =
            equals == std::string_view::npos ? std::string_view() : piece.substr(equals + 1);
        if (!PercentDecode(piece.substr(0, equals), name) || !PercentDecode(rawValue, value))
            return Refused(AddRequestStatus::BadPercentEncoding);
        for (const std::string* decoded : {&name, &value}) {
            const AddRequestStatus status = CheckText(*decoded);
            if (status != AddRequestStatus::Add) return Refused(status);
        }
        if (name == "url" && !hasUrl) {
            url.swap(value);
            hasUrl = true;
        } else if (name == "title" && !hasTitle) {
            title.swap(value);
            hasTitle = true;
        }
    }

    const std::string_view address = TrimSpaces(url);
    if (address.empty()) return Refused(AddRequestStatus::NoAddress);
    if (address.size() > kMaxAddressBytes) return Refused(AddRequestStatus::TooLong);
    HttpUrl parsed;
    std::string reason;
    const UrlKind kind = ParseHttpUrl(address, parsed, reason);
    if (kind == UrlKind::NotChecked) return Refused(AddRequestStatus::NotWebAddress);
    if (kind == UrlKind::Bad) return Refused(AddRequestStatus::BadAddress);

    AddRequest request;
    request.status = AddRequestStatus::Add;
    request.url = FromUtf8(address);
    // Cut, then trimmed again: the cut may end at a space.
    request.title = FromUtf8(TrimSpaces(FirstCodePoints(TrimSpaces(title), kMaxTitleCharacters)));
    return request;
}

AddRequest ParseAddRequest(std::wstring_view argument)
{
    // Each character takes at least one byte: a longer argument is too long in any case.
    if (argument.size() > kMaxRequestBytes) return Refused(AddRequestStatus::TooLong);
    std::string bytes;
    if (!WideToUtf8(argument, bytes)) return Refused(AddRequestStatus::BadUtf8);
    return ParseAddRequest(std::string_view(bytes));
}

const wchar_t* AddRefusalReason(AddRequestStatus status)
{
    switch (status) {
    case AddRequestStatus::Add:
        return L"";
    case AddRequestStatus::NotQuillomere:
        return L"it is not a quillomere: address";
    case AddRequestStatus::UnknownVerb:
        return L"quillomere: addresses only know add";
    case AddRequestStatus::NoAddress:
        return L"it names no address";
    case AddRequestStatus::NotWebAddress:
        return L"only http and https addresses are added";
    case AddRequestStatus::BadAddress:
        return L"the address is not valid";
    case AddRequestStatus::TooLong:
        return L"the address is longer than 8 KiB";
    case AddRequestStatus::ControlCharacter:
        return L"it holds a control character";
    case AddRequestStatus::BadPercentEncoding:
        return L"its percent-encoding is not valid";
    case AddRequestStatus::BadUtf8:
        return L"it is not valid UTF-8 text";
    }
    return L"";
}

std::wstring MakeAddAddress(const std::wstring& url, const std::wstring& title)
{
    static const char kHex[] = "0123456789ABCDEF";
    // What encodeURIComponent leaves as it is, besides letters and digits.
    static constexpr std::string_view kKept = "-_.!~*'()";
    auto encode = [](const std::wstring& text) {
        std::wstring encoded;
        for (char c : ToUtf8(text)) {
            const auto byte = static_cast<unsigned char>(c);
            const bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                    (c >= '0' && c <= '9') ||
                                    (c != '\0' && kKept.find(c) != kKept.npos);
            if (unreserved) {
                encoded += static_cast<wchar_t>(c);
            } else {
                encoded += L'%';
                encoded += static_cast<wchar_t>(kHex[byte >> 4]);
                encoded += static_cast<wchar_t>(kHex[byte & 15]);
            }
        }
        return encoded;
    };
    return L"quillomere:add?url=" + encode(url) + L"&title=" + encode(title);
}

CAddRateLimit::CAddRateLimit(Clock clock) : clock(std::move(clock))
{
    if (!this->clock) this->clock = [] { return std::chrono::steady_clock::now(); };
}

bool CAddRateLimit::Take()
{
    const auto now = clock();
    while (!taken.empty() && now - taken.front() >= std::chrono::minutes(1))
        taken.pop_front();
    if (taken.size() >= kPerMinute) {
        ++ignored;
        return false;
    }
    taken.push_back(now);
    ignored = 0;
    return true;
}
