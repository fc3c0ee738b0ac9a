#include "transfer/html_clipboard.h"

#include "edit/site.h"
#include "homepage/bookmark_writer.h"
#include "import/bookmark_parser.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"
#include "persist/text.h"

#include <cstdio>

namespace {

const char kStartComment[] = "<!--StartFragment-->";
const char kEndComment[] = "<!--EndFragment-->";
// The header has room for offsets of ten digits.
const char kHeader[] = "Version:0.9\r\n"
                       "StartHTML:%010zu\r\n"
                       "EndHTML:%010zu\r\n"
                       "StartFragment:%010zu\r\n"
                       "EndFragment:%010zu\r\n";

std::string Header(std::size_t startHtml, std::size_t endHtml, std::size_t startFragment,
                   std::size_t endFragment)
{
    char header[160];
    const int length = std::snprintf(header, sizeof header, kHeader, startHtml, endHtml,
                                     startFragment, endFragment);
    return std::string(header, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// The value of a header field ("Name:value" on a line of its own before the HTML), or empty.
std::string_view HeaderField(std::string_view bytes, std::string_view name)
{
    std::size_t at = 0;
    // The header is short; a field past the first markup is no header field.
    const std::size_t html = bytes.find('<');
    const std::string_view header = bytes.substr(0, html);
    while (at < header.size()) {
        std::size_t end = header.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = header.size();
        std::string_view line = header.substr(at, end - at);
        if (line.size() > name.size() && line.substr(0, name.size()) == name &&
            line[name.size()] == ':')
            return line.substr(name.size() + 1);
        at = end + 1;
    }
    return std::string_view();
}

// A header offset: decimal digits (programs pad with zeros); false for none or a negative one.
bool Offset(std::string_view bytes, std::string_view name, std::size_t& value)
{
    std::string_view digits = HeaderField(bytes, name);
    while (!digits.empty() && digits.front() == ' ')
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 12) return false;
    value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return true;
}

// The part of the bytes to read.
std::string_view Fragment(std::string_view bytes)
{
    std::size_t start = 0, end = 0;
    if (FragmentRange(bytes, start, end)) return bytes.substr(start, end - start);
    const std::size_t open = bytes.find(kStartComment);
    if (open != std::string_view::npos) {
        const std::size_t from = open + sizeof kStartComment - 1;
        const std::size_t close = bytes.find(kEndComment, from);
        return bytes.substr(from, close == std::string_view::npos ? close : close - from);
    }
    const std::size_t html = bytes.find('<');
    return html == std::string_view::npos ? std::string_view() : bytes.substr(html);
}

bool HasScheme(const std::string& address)
{
    for (std::size_t i = 0; i < address.size(); ++i) {
        const char c = address[i];
        if (c == ':') return i > 0;
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return false;
}

// The source page's address as markup for an attribute.
std::string AsMarkup(std::string_view address)
{
    std::string markup;
    for (char c : address) {
        if (c == '&')
            markup += "&amp;";
        else if (c == '"')
            markup += "&quot;";
        else if (static_cast<unsigned char>(c) >= ' ')
            markup += c;
    }
    return markup;
}

// An address of the fragment made absolute against the page it came from, as a browser resolves
// it: "//host/...", "/path", "?query", "#fragment" and relative paths.
std::string Resolved(const std::string& address, std::string_view base)
{
    const std::size_t colon = base.find(':');
    if (HasScheme(address) || colon == std::string_view::npos || base.size() < colon + 3 ||
        base.substr(colon + 1, 2) != "//")
        return address;
    const std::size_t pathStart = base.find_first_of("/?#", colon + 3);
    const std::string_view origin = base.substr(0, pathStart);
    std::string_view rest =
        pathStart == std::string_view::npos ? std::string_view("/") : base.substr(pathStart);
    if (rest.front() != '/') rest = "/";
    const std::string_view withoutFragment = base.substr(0, base.find('#'));
    const std::string_view path = rest.substr(0, rest.find_first_of("?#"));
    std::string resolved;
    if (address.compare(0, 2, "//") == 0)
        resolved = std::string(base.substr(0, colon + 1)) + address;
    else if (!address.empty() && address[0] == '/')
        resolved = std::string(origin) + address;
    else if (address.empty() || address[0] == '#')
        resolved = std::string(withoutFragment) + address;
    else if (address[0] == '?')
        resolved = std::string(origin) + std::string(path) + address;
    else
        resolved = std::string(origin) + std::string(path.substr(0, path.rfind('/') + 1)) + address;
    return AsMarkup(resolved.substr(0, resolved.size() - address.size())) +
           resolved.substr(resolved.size() - address.size());
}

void ResolveAll(CProject& scratch, std::string_view base)
{
    if (base.empty()) return;
    for (CColumn* column : scratch.columns) {
        for (CGroup* group : column->groups) {
            for (CItem* item : group->items) {
                // The bookmark reader makes link items only.
                auto* link = static_cast<CItemLink*>(item);
                link->mainLink.url = FromUtf8(Resolved(ToUtf8(link->mainLink.url), base));
            }
        }
    }
}

// Folders that hold only links, one group each named as its folder, are groups to the paste.
bool FoldersAreGroups(const CProject& scratch)
{
    for (const CColumn* column : scratch.columns) {
        if (column->groups.size() != 1 || column->groups.front()->caption != column->caption)
            return false;
    }
    return true;
}

} // namespace

std::string WriteHtmlClipboard(std::int32_t kind, const std::vector<CStreamable*>& nodes)
{
    std::string fragment;
    CBookmarkMarkup markup(fragment);
    markup.OpenList(0);
    for (const CStreamable* node : nodes) {
        switch (kind) {
        case kNodeColumn:
            markup.Column(*static_cast<const CColumn*>(node), 1);
            break;
        case kNodeGroup:
            markup.Group(*static_cast<const CGroup*>(node), 1);
            break;
        case kNodeItem:
            markup.Item(*static_cast<const CItem*>(node), 1);
            break;
        default:
            break;
        }
    }
    markup.CloseList(0);

    const std::string before = std::string("<html>\r\n<body>\r\n") + kStartComment;
    const std::string after = std::string(kEndComment) + "\r\n</body>\r\n</html>";
    const std::size_t headerSize = Header(0, 0, 0, 0).size();
    const std::size_t startFragment = headerSize + before.size();
    const std::size_t endFragment = startFragment + fragment.size();
    const std::size_t endHtml = endFragment + after.size();
    return Header(headerSize, endHtml, startFragment, endFragment) + before + fragment + after;
}

bool FragmentRange(std::string_view bytes, std::size_t& start, std::size_t& end)
{
    if (!Offset(bytes, "StartFragment", start) || !Offset(bytes, "EndFragment", end)) return false;
    return start <= end && end <= bytes.size();
}

bool ReadHtmlClipboard(std::string_view bytes, CNodeBundle& bundle)
{
    // CF_HTML is a NUL-ended string: nothing after a NUL belongs to it, and a NUL kept inside
    // an address or caption would not survive the project file.
    bytes = bytes.substr(0, bytes.find('\0'));
    const std::string_view fragment = Fragment(bytes);
    const std::string base(HeaderField(bytes, "SourceURL"));
    CProject scratch;
    {
        CBookmarkParser parser(scratch);
        CBytesReader source(fragment);
        // A read stopped by damage keeps what it read before.
        parser.Parse(source);
        const bool loose =
            scratch.columns.size() == 1 && scratch.columns.front() == parser.LooseColumn();
        ResolveAll(scratch, base);
        if (loose) {
            bundle = TakeAll(scratch, kNodeItem);
        } else {
            bundle = TakeAll(scratch, FoldersAreGroups(scratch) ? kNodeGroup : kNodeColumn);
        }
    }
    return !bundle.Empty();
}
