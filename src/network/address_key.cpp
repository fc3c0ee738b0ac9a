#include "network/address_key.h"

#include "network/link_url.h"
#include "persist/attribute_text.h"
#include "persist/text.h"

namespace {

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

// What a browser's address parser drops before anything else: blanks and controls at the ends,
// tabs and line breaks anywhere.
std::string Cleaned(std::string_view address)
{
    std::size_t first = 0, last = address.size();
    while (first < last && IsBlankOrControl(address[first]))
        ++first;
    while (last > first && IsBlankOrControl(address[last - 1]))
        --last;
    std::string cleaned;
    cleaned.reserve(last - first);
    for (std::size_t i = first; i < last; ++i)
        if (address[i] != '\t' && address[i] != '\n' && address[i] != '\r') cleaned += address[i];
    return cleaned;
}

// A fragment as a browser keeps it: controls, blanks, quotes, angle brackets, the backtick and
// non-ASCII bytes percent-encoded.
void AppendFragment(std::string& key, std::string_view fragment)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (char c : fragment) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`') {
            key += '%';
            key += kHex[byte >> 4];
            key += kHex[byte & 15];
        } else {
            key += c;
        }
    }
}

// The scheme's letters in lower case; the rest as it is. An address without a scheme is a
// relative one, which keeps its case.
std::string LowerScheme(std::string address)
{
    std::size_t end = 0;
    while (end < address.size()) {
        const char c = address[end];
        const bool schemeCharacter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                     (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!schemeCharacter) break;
        ++end;
    }
    if (end == 0 || end == address.size() || address[end] != ':') return address;
    for (std::size_t i = 0; i < end; ++i)
        if (address[i] >= 'A' && address[i] <= 'Z') address[i] = static_cast<char>(address[i] + 32);
    return address;
}

} // namespace

std::string AddressKey(std::wstring_view markup)
{
    if (markup.empty()) return std::string();
    const std::string address = Cleaned(DecodeAttributeReferences(ToUtf8(std::wstring(markup))));
    HttpUrl url;
    std::string reason;
    if (ParseHttpUrl(address, url, reason) != UrlKind::Http) return LowerScheme(address);
    std::string key = url.ToString();
    // The scheme and the authority hold no '#': the first one starts the fragment.
    const std::size_t hash = address.find('#');
    if (hash != std::string::npos) AppendFragment(key, std::string_view(address).substr(hash));
    return key;
}
