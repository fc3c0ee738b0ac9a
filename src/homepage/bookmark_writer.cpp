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

class CBookmarkWriter
{
public:
    explicit CBookmarkWriter(CStream& stream) : stream(stream) {}

    void Project(const CProject& project)
    {
        std::string title;
        AppendMarkup(title, ToUtf8(project.title), false);
        out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
              "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
              "<TITLE>";
        out += title;
        out += "</TITLE>\n<H1>";
        out += title;
        out += "</H1>\n<DL><p>\n";
        for (const CColumn* column : project.columns) {
            OpenFolder(1, column->caption);
            for (const CGroup* group : column->groups) {
                OpenFolder(2, group->caption);
                for (const CItem* item : group->items) {
                    if (item->GetTag() == tags::kItemLink)
                        Item(static_cast<const CItemLink&>(*item));
                }
                CloseFolder(2);
            }
            CloseFolder(1);
        }
        out += "</DL><p>\n";
        WriteBytes(stream, out);
    }

private:
    void Indent(int depth) { out.append(static_cast<std::size_t>(depth) * 4, ' '); }

    void OpenFolder(int depth, const std::wstring& name)
    {
        Indent(depth);
        out += "<DT><H3>";
        AppendMarkup(out, ToUtf8(name), false);
        out += "</H3>\n";
        Indent(depth);
        out += "<DL><p>\n";
    }

    void CloseFolder(int depth)
    {
        Indent(depth);
        out += "</DL><p>\n";
        // Large projects go out in pieces rather than as one string.
        if (out.size() >= kFlushBytes) {
            WriteBytes(stream, out);
            out.clear();
        }
    }

    // `icon`, the main link's, goes where browsers put it.
    void Bookmark(const CItemLink::CLink& link, const CLinkIcon* icon = nullptr)
    {
        Indent(3);
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

    void Item(const CItemLink& item)
    {
        Bookmark(item.mainLink, item.icon.get());
        if (item.popup) {
            std::string description = DescriptionText(item.popup->content);
            if (!description.empty()) {
                Indent(3);
                out += "<DD>";
                out += description;
                out += '\n';
            }
        }
        for (const CItemLink::CLink* link : item.links)
            Bookmark(*link);
    }

    static constexpr std::size_t kFlushBytes = 64 * 1024;

    CStream& stream;
    std::string out;
};

} // namespace

void WriteBookmarks(const CProject& project, CStream& stream)
{
    CBookmarkWriter(stream).Project(project);
}
