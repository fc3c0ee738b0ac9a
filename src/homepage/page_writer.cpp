#include "homepage/page_writer.h"

#include "homepage/link_markup.h"
#include "homepage/modern_page.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/text.h"
#include "platform/platform.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

void FormatInto(std::string& target, const char* format, va_list arguments)
{
    char buffer[2048];
    va_list copy;
    va_copy(copy, arguments);
    int length = std::vsnprintf(buffer, sizeof buffer, format, copy);
    va_end(copy);
    if (length < 0) return;
    if (static_cast<std::size_t>(length) < sizeof buffer) {
        target.append(buffer, static_cast<std::size_t>(length));
        return;
    }
    std::vector<char> large(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, arguments);
    target.append(large.data(), static_cast<std::size_t>(length));
}

} // namespace

void FormatNarrow(std::string& target, const char* format, ...)
{
    target.clear();
    va_list arguments;
    va_start(arguments, format);
    FormatInto(target, format, arguments);
    va_end(arguments);
}

void FormatNarrowAppend(std::string& target, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    FormatInto(target, format, arguments);
    va_end(arguments);
}

namespace {

// Writes a column cell and, while each group is still in the cache, notes its popups in tree
// order, so that the popup blocks after the table need no second walk over every item.
void WriteColumnCellNotingPopups(const CColumn& column, CStream& stream,
                                 std::vector<const CPopup*>* popups)
{
    bool first = true;
    for (const CGroup* group : column.groups) {
        if (!first) WriteLiteral(stream, "<br />\r\n");
        first = false;
        WriteGroup(stream, *group);
        if (!popups) continue;
        for (const CItem* item : group->items) {
            if (item->GetTag() != tags::kItemLink) continue;
            const CItemLink* link = static_cast<const CItemLink*>(item);
            if (link->popup) popups->push_back(link->popup.get());
        }
    }
}

} // namespace

void WriteColumnCell(const CColumn& column, CStream& stream)
{
    WriteColumnCellNotingPopups(column, stream, nullptr);
}

void WritePage(const CProject& project, CStream& stream)
{
    if (project.pageStyle == PageStyle::Modern) {
        WriteModernPage(project, stream, platform::UserLanguage());
        return;
    }
    WriteLiteral(stream, kClassicPageStart);
    WriteUtf8(stream, project.title);
    // pshow keeps the old pixelLeft/pixelTop lines and also sets left/top in pixels, which is
    // what current browsers honour.
    WriteLiteral(stream,
                 "</title>\r\n<script>\r\n\r\n"
                 "function objGet(x)\r\n{\r\n"
                 "\tif (Boolean(document.getElementById)) return document.getElementById(x);\r\n"
                 "\telse if (Boolean(document.ids)) return eval('document.ids.'+x);\r\n"
                 "\telse if (Boolean(document.all)) return eval('document.all.'+x);\r\n"
                 "\telse return null;\r\n}\r\n\r\n"
                 "function pshow(ids)\r\n{\r\n"
                 "\tvar elpop = objGet(ids);\r\n"
                 "\telpop.style.pixelLeft = event.clientX + 32;\r\n"
                 "\telpop.style.pixelTop  = event.clientY - 120;\r\n"
                 "\telpop.style.left = (event.clientX + 32) + \"px\";\r\n"
                 "\telpop.style.top = (event.clientY - 120) + \"px\";\r\n"
                 "\telpop.style.display = \"block\";\r\n}\r\n\r\n"
                 "function phide(ids)\r\n{\r\n"
                 "\tvar elpop = objGet(ids);\r\n"
                 "\telpop.style.display = \"none\";\r\n}\r\n\r\n"
                 "</script>\r\n\r\n");
    WriteLiteral(stream, "</head>\r\n<body>\r\n<table width=\"100%\" border=1 cellpadding=3 "
                         "cellspacing=0>\r\n<tr>\r\n");
    for (const CColumn* column : project.columns) {
        WriteLiteral(stream, "\t<th>");
        WriteUtf8(stream, column->caption);
        WriteLiteral(stream, "</th>\r\n");
    }
    WriteLiteral(stream, "</tr>\r\n<tr>\r\n");
    std::vector<const CPopup*> popups;
    for (const CColumn* column : project.columns) {
        WriteLiteral(stream, "\t<td valign=\"top\">");
        WriteColumnCellNotingPopups(*column, stream, &popups);
        WriteLiteral(stream, "\t</td>\r\n");
    }
    WriteLiteral(stream, "</tr>\r\n</table>\r\n\r\n");
    // The popups of the link items, in tree order.
    for (const CPopup* popup : popups)
        WritePopupBlock(stream, *popup);
    WriteLiteral(stream, "</html>");
}
