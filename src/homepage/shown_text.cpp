#include "homepage/shown_text.h"

#include "persist/attribute_text.h"
#include "persist/text.h"

#include <cstring>

namespace {

bool IsAsciiAlpha(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

void AppendCodePoint(std::wstring& out, std::uint32_t c)
{
    if (sizeof(wchar_t) == 2 && c > 0xFFFF) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        return;
    }
    out += static_cast<wchar_t>(c);
}

// White space as the page's layout collapses it (not the no-break space).
bool IsHtmlSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}

bool EqualsAsciiFolded(std::wstring_view text, const char* lower)
{
    const std::size_t length = std::strlen(lower);
    if (text.size() != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + (L'a' - L'A'));
        if (c != static_cast<wchar_t>(lower[i])) return false;
    }
    return true;
}

// Tags after which, or before which, a browser breaks the line.
bool BreaksLine(std::wstring_view name)
{
    static const char* const kNames[] = {
        "br",      "p",       "div",    "li",         "ul",  "ol",     "dl",      "dt",
        "dd",      "tr",      "td",     "th",         "h1",  "h2",     "h3",      "h4",
        "h5",      "h6",      "table",  "blockquote", "pre", "hr",     "address", "center",
        "section", "article", "header", "footer",     "nav", "caption"};
    for (const char* known : kNames) {
        if (EqualsAsciiFolded(name, known)) return true;
    }
    return false;
}

// The end of a tag whose name starts at `at` (after "<" or "</"): after its '>', attribute values
// in quotes skipped; the end of the text when there is none (a browser then shows nothing of it).
std::size_t TagEnd(std::wstring_view markup, std::size_t at, std::wstring_view& name)
{
    std::size_t i = at;
    while (i < markup.size() && !IsHtmlSpace(markup[i]) && markup[i] != L'/' && markup[i] != L'>')
        ++i;
    name = markup.substr(at, i - at);
    bool afterEquals = false;
    for (; i < markup.size(); ++i) {
        const wchar_t c = markup[i];
        if (c == L'>') return i + 1;
        if (afterEquals && (c == L'"' || c == L'\'')) {
            const std::size_t close = markup.find(c, i + 1);
            if (close == std::wstring_view::npos) return markup.size();
            i = close;
            afterEquals = false;
            continue;
        }
        if (c == L'=') {
            afterEquals = true;
        } else if (!IsHtmlSpace(c)) {
            afterEquals = false;
        }
    }
    return markup.size();
}

// Where the raw text of a script or style element ends: after its end tag, or at the end.
std::size_t RawTextEnd(std::wstring_view markup, std::size_t at, std::wstring_view element)
{
    for (std::size_t i = markup.find(L"</", at); i != std::wstring_view::npos;
         i = markup.find(L"</", i + 2)) {
        const std::wstring_view candidate = markup.substr(i + 2, element.size());
        bool same = candidate.size() == element.size();
        for (std::size_t k = 0; same && k < element.size(); ++k) {
            wchar_t a = candidate[k], b = element[k];
            if (a >= L'A' && a <= L'Z') a = static_cast<wchar_t>(a + (L'a' - L'A'));
            if (b >= L'A' && b <= L'Z') b = static_cast<wchar_t>(b + (L'a' - L'A'));
            same = a == b;
        }
        if (!same) continue;
        std::wstring_view name;
        return TagEnd(markup, i + 2, name);
    }
    return markup.size();
}

// Where what starts at `at` with '<' ends when it is markup a browser does not show; `at` when
// the '<' is text. `space` is set when the markup breaks the line.
std::size_t MarkupEnd(std::wstring_view markup, std::size_t at, bool& space)
{
    space = false;
    const std::size_t next = at + 1;
    if (next >= markup.size()) return at;
    const wchar_t c = markup[next];
    if (IsAsciiAlpha(c)) {
        std::wstring_view name;
        const std::size_t end = TagEnd(markup, next, name);
        space = BreaksLine(name);
        if (EqualsAsciiFolded(name, "script") || EqualsAsciiFolded(name, "style"))
            return RawTextEnd(markup, end, name);
        return end;
    }
    if (c == L'/') {
        if (next + 1 >= markup.size()) return at;
        if (IsAsciiAlpha(markup[next + 1])) {
            std::wstring_view name;
            const std::size_t end = TagEnd(markup, next + 1, name);
            space = BreaksLine(name);
            return end;
        }
        // "</>" is dropped; "</" before anything else starts a comment up to the next '>'.
        const std::size_t close = markup.find(L'>', next);
        return close == std::wstring_view::npos ? markup.size() : close + 1;
    }
    if (c == L'!') {
        if (markup.substr(next, 3) == L"!--") {
            // "<!-->" and "<!--->" end at once.
            const std::size_t body = next + 3;
            if (markup.substr(body, 1) == L">") return body + 1;
            if (markup.substr(body, 2) == L"->") return body + 2;
            const std::size_t close = markup.find(L"-->", body);
            return close == std::wstring_view::npos ? markup.size() : close + 3;
        }
        const std::size_t close = markup.find(L'>', next);
        return close == std::wstring_view::npos ? markup.size() : close + 1;
    }
    if (c == L'?') {
        const std::size_t close = markup.find(L'>', next);
        return close == std::wstring_view::npos ? markup.size() : close + 1;
    }
    return at;
}

} // namespace

void AssignShownText(std::wstring_view markup, std::wstring& out)
{
    out.clear();
    // A space waits until text follows it: runs collapse, and the ends lose theirs.
    bool pendingSpace = false;
    auto append = [&out, &pendingSpace](std::uint32_t c) {
        if (c < 0x80 && IsHtmlSpace(static_cast<wchar_t>(c))) {
            pendingSpace = !out.empty();
            return;
        }
        if (pendingSpace) out += L' ';
        pendingSpace = false;
        AppendCodePoint(out, c);
    };
    for (std::size_t i = 0; i < markup.size();) {
        const wchar_t c = markup[i];
        if (c == L'<') {
            bool space = false;
            const std::size_t end = MarkupEnd(markup, i, space);
            if (end != i) {
                if (space) append(L' ');
                i = end;
                continue;
            }
        } else if (c == L'&') {
            const CharacterReference reference = ReadCharacterReference(markup.substr(i), false);
            if (reference.length) {
                append(reference.codePoint);
                i += reference.length;
                continue;
            }
        }
        if (IsHtmlSpace(c)) {
            append(c);
        } else {
            if (pendingSpace) out += L' ';
            pendingSpace = false;
            out += c;
        }
        ++i;
    }
}

std::wstring ShownText(std::wstring_view markup)
{
    std::wstring text;
    AssignShownText(markup, text);
    return text;
}

bool ShowsAsWritten(std::wstring_view markup)
{
    if (markup.empty()) return true;
    if (IsHtmlSpace(markup.front()) || IsHtmlSpace(markup.back())) return false;
    bool space = false;
    for (const wchar_t c : markup) {
        if (c == L'<' || c == L'&') return false;
        if (IsHtmlSpace(c)) {
            // Only single spaces stay as they are.
            if (space || c != L' ') return false;
            space = true;
        } else {
            space = false;
        }
    }
    return true;
}

void AssignAttributeText(std::wstring_view markup, std::wstring& out)
{
    out.clear();
    for (std::size_t i = 0; i < markup.size();) {
        if (markup[i] == L'&') {
            const CharacterReference reference = ReadCharacterReference(markup.substr(i), true);
            if (reference.length) {
                AppendCodePoint(out, reference.codePoint);
                i += reference.length;
                continue;
            }
        }
        out += markup[i++];
    }
}

std::wstring AttributeText(std::wstring_view markup)
{
    std::wstring text;
    AssignAttributeText(markup, text);
    return text;
}

const std::wstring& ReadableText(const std::wstring& markup, bool attribute, std::wstring& scratch)
{
    if (attribute) {
        if (markup.find(L'&') == std::wstring::npos) return markup;
        AssignAttributeText(markup, scratch);
        return scratch;
    }
    if (ShowsAsWritten(markup)) return markup;
    AssignShownText(markup, scratch);
    return scratch;
}

namespace {

wchar_t LowerAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

bool StartsWithLower(std::wstring_view text, std::wstring_view lower)
{
    if (text.size() < lower.size()) return false;
    for (std::size_t i = 0; i < lower.size(); ++i) {
        if (LowerAscii(text[i]) != lower[i]) return false;
    }
    return true;
}

} // namespace

std::wstring CaptionFromUrl(const std::wstring& url)
{
    std::wstring_view rest(url);
    if (StartsWithLower(rest, L"mailto:")) {
        rest.remove_prefix(7);
        rest = rest.substr(0, rest.find(L'?'));
        return rest.empty() ? url : std::wstring(rest);
    }
    const std::size_t colon = rest.find(L':');
    if (colon == std::wstring_view::npos) return url;
    rest.remove_prefix(colon + 1);
    std::wstring_view host;
    if (rest.size() >= 2 && rest[0] == L'/' && rest[1] == L'/') {
        rest.remove_prefix(2);
        host = rest.substr(0, rest.find_first_of(L"/?#"));
        rest.remove_prefix(host.size());
        // No user name or password in a caption.
        const std::size_t at = host.rfind(L'@');
        if (at != std::wstring_view::npos) host.remove_prefix(at + 1);
    }
    std::wstring_view path = rest.substr(0, rest.find_first_of(L"?#"));
    while (!path.empty() && path.back() == L'/')
        path.remove_suffix(1);
    std::wstring caption(host);
    // A file path without a host starts at its drive or first folder.
    if (host.empty())
        while (!path.empty() && path.front() == L'/')
            path.remove_prefix(1);
    caption += path;
    return caption.empty() ? url : caption;
}

std::wstring LinkLabel(const std::wstring& caption, const std::wstring& url)
{
    std::wstring label = ShownText(caption);
    // No-break spaces alone show nothing to read either.
    if (label.find_first_not_of(L"\u00A0 ") != std::wstring::npos) return label;
    // The address trimmed as a browser trims it before it parses it.
    std::wstring address = AttributeText(url);
    std::size_t first = 0, last = address.size();
    while (first < last && address[first] <= L' ')
        ++first;
    while (last > first && address[last - 1] <= L' ')
        --last;
    if (first == last) return std::wstring();
    // Plain text already: nothing in it is markup.
    return CaptionFromUrl(address.substr(first, last - first));
}

// What a Modern page writes for texts that would show nothing.

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
