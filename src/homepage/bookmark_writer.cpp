#include "homepage/bookmark_writer.h"

#include "icons/data_uri.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "persist/trim.h"

#include <string>
#include <string_view>

namespace {

// Model text is markup already and goes out as it stands, entities included; only the brackets
// are written as references, so that a stray one in a caption cannot end the file's markup early
// and cut off every bookmark after it. In an attribute the double quote is, too.
void AppendMarkup(std::string& out, std::string_view bytes, bool attribute)
{
    for (char c : bytes) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        default:
            out += c;
        }
    }
}

// A <br> in any spelling: "br" followed by the end, white space or "/".
bool IsLineBreakTag(std::string_view tag)
{
    if (tag.size() < 2 || (tag[0] != 'b' && tag[0] != 'B') || (tag[1] != 'r' && tag[1] != 'R'))
        return false;
    return tag.size() == 2 || IsBlank(tag[2]) || tag[2] == '/';
}

// A popup as description text: its tags removed, each <br> a line break, the line breaks of the
// text kept; trimmed.
std::string DescriptionText(const std::wstring& popup)
{
    std::string markup = ToUtf8(popup), text;
    for (std::size_t i = 0; i < markup.size(); ++i) {
        if (markup[i] != '<') {
            AppendMarkup(text, std::string_view(&markup[i], 1), false);
            continue;
        }
        std::size_t close = markup.find('>', i + 1);
        if (close == std::string::npos) {
            AppendMarkup(text, std::string_view(markup).substr(i), false);
            break;
        }
        if (IsLineBreakTag(std::string_view(markup).substr(i + 1, close - i - 1))) text += '\n';
        i = close;
    }
    return std::string(TrimBlanks(std::string_view(text)));
}

} // namespace

void CBookmarkMarkup::Indent(int depth)
{
    out.append(static_cast<std::size_t>(depth) * 4, ' ');
}

void CBookmarkMarkup::OpenFolder(int depth, const std::wstring& name)
{
    Indent(depth);
    out += "<DT><H3>";
    AppendMarkup(out, ToUtf8(name), false);
    out += "</H3>\n";
    OpenList(depth);
}

void CBookmarkMarkup::CloseFolder(int depth)
{
    CloseList(depth);
}

void CBookmarkMarkup::OpenList(int depth)
{
    Indent(depth);
    out += "<DL><p>\n";
}

void CBookmarkMarkup::CloseList(int depth)
{
    Indent(depth);
    out += "</DL><p>\n";
}

void CBookmarkMarkup::Column(const CColumn& column, int depth)
{
    OpenFolder(depth, column.caption);
    for (const CGroup* group : column.groups)
        Group(*group, depth + 1);
    CloseFolder(depth);
}

void CBookmarkMarkup::Group(const CGroup& group, int depth)
{
    OpenFolder(depth, group.caption);
    for (const CItem* item : group.items)
        Item(*item, depth + 1);
    CloseFolder(depth);
}

void CBookmarkMarkup::Item(const CItem& item, int depth)
{
    if (item.GetTag() != tags::kItemLink) return;
    const auto& link = static_cast<const CItemLink&>(item);
    Bookmark(link.mainLink, depth, link.icon.get());
    if (link.popup) {
        std::string description = DescriptionText(link.popup->content);
        if (!description.empty()) {
            Indent(depth);
            out += "<DD>";
            out += description;
            out += '\n';
        }
    }
    for (const CItemLink::CLink* further : link.links)
        Bookmark(*further, depth);
}

void CBookmarkMarkup::Bookmark(const CItemLink::CLink& link, int depth, const CLinkIcon* icon)
{
    Indent(depth);
    out += "<DT><A HREF=\"";
    AppendMarkup(out, ToUtf8(link.url), true);
    if (icon) {
        out += "\" ICON=\"";
        out += IconDataUri(*icon);
    }
    out += "\">";
    AppendMarkup(out, ToUtf8(link.caption), false);
    out += "</A>\n";
}

void WriteBookmarks(const CProject& project, CStream& stream)
{
    // Large projects go out in pieces rather than as one string.
    constexpr std::size_t kFlushBytes = 64 * 1024;
    std::string out, title;
    AppendMarkup(title, ToUtf8(project.title), false);
    out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
          "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
          "<TITLE>";
    out += title;
    out += "</TITLE>\n<H1>";
    out += title;
    out += "</H1>\n";
    CBookmarkMarkup markup(out);
    markup.OpenList(0);
    for (const CColumn* column : project.columns) {
        markup.OpenFolder(1, column->caption);
        for (const CGroup* group : column->groups) {
            markup.Group(*group, 2);
            if (out.size() >= kFlushBytes) {
                WriteBytes(stream, out);
                out.clear();
            }
        }
        markup.CloseFolder(1);
    }
    markup.CloseList(0);
    WriteBytes(stream, out);
}
