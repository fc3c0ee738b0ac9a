#include "network/icon_links.h"

#include "import/html_parser.h"
#include "network/link_url.h"
#include "persist/streams.h"

#include <algorithm>
#include <climits>

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

std::string LowerCopy(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = LowerAscii(c);
    return lower;
}

bool EqualsNoCase(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowerAscii(text[i]) != lower[i]) return false;
    }
    return true;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The space-separated words of an attribute value.
std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && IsSpace(text[at]))
            ++at;
        std::size_t end = at;
        while (end < text.size() && !IsSpace(text[end]))
            ++end;
        if (end > at) words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

// An attribute's value by its name in any case: pages are not always written in lower case.
std::string_view Attribute(const TagAttributes& attributes, std::string_view lowerName)
{
    for (const TagAttribute& attribute : attributes) {
        if (EqualsNoCase(attribute.name, lowerName)) return attribute.value;
    }
    return std::string_view();
}

// "32x32" as 32 (the smaller side); -1 for anything else.
int SideOf(std::string_view size)
{
    std::size_t x = size.find_first_of("xX");
    if (x == std::string_view::npos || x == 0 || x + 1 == size.size() || x > 5 ||
        size.size() - x - 1 > 5)
        return -1;
    int sides[2] = {0, 0};
    std::string_view parts[2] = {size.substr(0, x), size.substr(x + 1)};
    for (int i = 0; i < 2; ++i) {
        for (char c : parts[i]) {
            if (c < '0' || c > '9') return -1;
            sides[i] = sides[i] * 10 + (c - '0');
        }
    }
    return std::min(sides[0], sides[1]);
}

bool KeptMediaType(std::string_view type)
{
    std::string lower = LowerCopy(type.substr(0, type.find(';')));
    while (!lower.empty() && IsSpace(lower.back()))
        lower.pop_back();
    static const char* const kept[] = {"image/png",    "image/x-icon", "image/vnd.microsoft.icon",
                                       "image/ico",    "image/icon",   "image/gif",
                                       "image/jpeg",   "image/jpg",    "image/webp",
                                       "image/svg+xml"};
    for (const char* name : kept) {
        if (lower == name) return true;
    }
    return false;
}

struct Candidate
{
    std::string href;
    int rank;
    int side; // within rank 2: smaller first
    std::size_t order;
};

class CIconLinkScanner : public CHTMLParser
{
public:
    std::vector<Candidate> candidates;

protected:
    void OnTag(const char* content, std::int32_t length) override
    {
        // A stray "<" before the tag (a script's "a < b") does not end the tag the tokenizer is
        // in: the real tag starts after the last one.
        for (std::int32_t i = length; i-- > 0;) {
            if (content[i] == '<') {
                content += i + 1;
                length -= i + 1;
                break;
            }
        }
        // Only <link ...>: four letters and a blank, in any case.
        if (length < 5 || !EqualsNoCase(std::string_view(content, 4), "link") ||
            !IsSpace(content[4]))
            return;
        std::string_view name;
        if (!SplitTag(content, length, name, attributes)) return;
        bool touch = false, icon = false;
        for (std::string_view word : Words(Attribute(attributes, "rel"))) {
            if (EqualsNoCase(word, "icon")) icon = true;
            if (EqualsNoCase(word, "apple-touch-icon") ||
                EqualsNoCase(word, "apple-touch-icon-precomposed"))
                touch = true;
        }
        if (!icon && !touch) return;
        // Blanks around an address are no part of it, as browsers read it.
        std::string href = DecodeAttributeReferences(Attribute(attributes, "href"));
        std::size_t first = href.find_first_not_of(" \t\r\n\f");
        if (first == std::string::npos) return;
        href = href.substr(first, href.find_last_not_of(" \t\r\n\f") + 1 - first);

        int rank = 3, side = 0, best = INT_MAX;
        bool any = false, small = false;
        std::vector<std::string_view> sizes = Words(Attribute(attributes, "sizes"));
        for (std::string_view size : sizes) {
            int found = SideOf(size);
            if (found == 32) {
                best = std::min(best, 0);
            } else if (found == 16) {
                best = std::min(best, 1);
            } else if (found > 16) {
                if (best > 2 || (best == 2 && found < side)) side = found;
                best = std::min(best, 2);
            } else if (EqualsNoCase(size, "any")) {
                any = true;
            } else if (found >= 0) {
                small = true;
            }
        }
        if (best != INT_MAX) {
            rank = best;
        } else if (touch && !icon && sizes.empty()) {
            rank = 2;
            side = 180;
        } else if (small && !any) {
            rank = 4;
        }
        std::string_view type = Attribute(attributes, "type");
        if (!type.empty() && !KeptMediaType(type)) rank += 5;
        candidates.push_back(Candidate{std::move(href), rank, side, candidates.size()});
    }
    void OnText(const char*, std::int32_t) override {}
    // Real pages have stray brackets in scripts and text; they do not end the scan.
    bool OnError(const char*) override { return true; }
    void OnEnd() override {}

private:
    TagAttributes attributes;
};

} // namespace

std::vector<std::string> FindIconLinks(std::string_view page)
{
    CIconLinkScanner scanner;
    CBytesReader reader(page);
    scanner.Parse(reader);
    std::vector<Candidate>& found = scanner.candidates;
    std::stable_sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        if (a.rank != b.rank) return a.rank < b.rank;
        if (a.side != b.side) return a.side < b.side;
        return a.order < b.order;
    });
    std::vector<std::string> hrefs;
    for (Candidate& candidate : found) {
        if (std::find(hrefs.begin(), hrefs.end(), candidate.href) == hrefs.end())
            hrefs.push_back(std::move(candidate.href));
    }
    return hrefs;
}
