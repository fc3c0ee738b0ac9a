#include "homepage/shown_text.h"

#include "persist/text.h"

namespace {

bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f' || c == 0xA0;
}

wchar_t Lower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != prefix[i]) return false;
    }
    return true;
}

// The no-break space by name or number: shows as white space.
bool IsSpaceReference(std::wstring_view reference)
{
    return reference == L"&nbsp;" || reference == L"&#160;" ||
           StartsWithNoCase(reference, L"&#xa0;");
}

// An <img ...> tag's content with a non-empty alt attribute (quoted or not).
bool ImageWithAlt(std::wstring_view tag)
{
    if (!StartsWithNoCase(tag, L"img") || tag.size() < 4 || !IsSpace(tag[3])) return false;
    for (std::size_t at = 4; at + 4 <= tag.size(); ++at) {
        if (!IsSpace(tag[at - 1]) || !StartsWithNoCase(tag.substr(at), L"alt")) continue;
        std::size_t i = at + 3;
        while (i < tag.size() && IsSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != L'=') continue;
        ++i;
        while (i < tag.size() && IsSpace(tag[i]))
            ++i;
        if (i >= tag.size()) return false;
        const wchar_t quote = tag[i] == L'"' || tag[i] == L'\'' ? tag[i] : 0;
        if (quote) ++i;
        for (; i < tag.size() && tag[i] != quote && (quote || !IsSpace(tag[i])); ++i) {
            if (!IsSpace(tag[i])) return true;
        }
        return false;
    }
    return false;
}

} // namespace

bool ShowsText(std::wstring_view markup)
{
    for (std::size_t i = 0; i < markup.size(); ++i) {
        const wchar_t c = markup[i];
        if (c == L'<') {
            const std::size_t end = markup.find(L'>', i + 1);
            // An unclosed "<" shows as itself.
            if (end == std::wstring_view::npos) return true;
            if (ImageWithAlt(markup.substr(i + 1, end - i - 1))) return true;
            i = end;
        } else if (c == L'&') {
            const std::size_t end = markup.find(L';', i + 1);
            if (end == std::wstring_view::npos || !IsSpaceReference(markup.substr(i, end - i + 1)))
                return true;
            i = end;
        } else if (!IsSpace(c)) {
            return true;
        }
    }
    return false;
}

std::wstring HostAndPath(std::wstring_view url)
{
    if (url.empty()) return L"Link";
    std::wstring_view rest = url;
    // A scheme: a letter, then letters, digits, "+", "-" or ".", then ":".
    std::size_t i = 0;
    while (i < rest.size() &&
           ((rest[i] >= L'a' && rest[i] <= L'z') || (rest[i] >= L'A' && rest[i] <= L'Z') ||
            (i > 0 && ((rest[i] >= L'0' && rest[i] <= L'9') || rest[i] == L'+' || rest[i] == L'-' ||
                       rest[i] == L'.'))))
        ++i;
    if (i > 0 && i < rest.size() && rest[i] == L':') rest.remove_prefix(i + 1);
    if (rest.substr(0, 2) == L"//") rest.remove_prefix(2);
    rest = rest.substr(0, rest.find_first_of(L"?#"));
    if (!rest.empty() && rest.back() == L'/') rest.remove_suffix(1);
    return std::wstring(rest.empty() ? url : rest);
}

std::string EscapeText(const std::wstring& text)
{
    std::string out;
    for (char c : ToUtf8(text)) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring UnescapeText(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::wstring_view rest = text.substr(i);
        if (rest.substr(0, 5) == L"&amp;") {
            out += L'&';
            i += 4;
        } else if (rest.substr(0, 4) == L"&lt;") {
            out += L'<';
            i += 3;
        } else if (rest.substr(0, 4) == L"&gt;") {
            out += L'>';
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}
