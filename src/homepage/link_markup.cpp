#include "homepage/link_markup.h"

#include "homepage/page_writer.h"
#include "icons/icon_markup.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/text.h"

std::string PopupElementId(const CPopup& popup)
{
    std::string id;
    FormatNarrow(id, "quillomere_popup%d", popup.id);
    return id;
}

void WriteGroup(CStream& stream, const CGroup& group)
{
    WriteLiteral(stream, "<table class=\"Group\" width=\"100%\" border=0 bgcolor=\"#ffffcf\" "
                         "cellspacing=0 cellpadding=3>\r\n<tr bgcolor=\"cyan\">\r\n"
                         "<th class=\"GroupCaption\">");
    WriteUtf8(stream, group.caption);
    WriteLiteral(stream, "</th>\r\n</tr>\r\n");
    for (const CItem* item : group.items) {
        WriteLiteral(stream, "<tr>\r\n<td class=\"Item\">");
        item->WriteHtml(stream);
        WriteLiteral(stream, "</td>\r\n</tr>\r\n");
    }
    WriteLiteral(stream, "</table>");
}

void OpenPopupSpan(CStream& stream, const CPopup& popup)
{
    std::string id = PopupElementId(popup);
    WriteLiteral(stream, "<span onmouseout=\"phide('");
    WriteBytes(stream, id);
    WriteLiteral(stream, "');\" onmouseover=\"pshow('");
    WriteBytes(stream, id);
    WriteLiteral(stream, "');\">\r\n");
}

void ClosePopupSpan(CStream& stream)
{
    WriteLiteral(stream, "</span>\r\n");
}

namespace {

// `icon`, the main link's, stands before the caption.
void WriteAnchor(CStream& stream, const CItemLink::CLink& link, const CLinkIcon* icon = nullptr)
{
    WriteLiteral(stream, "<a class=\"Item\" href=\"");
    WriteUtf8(stream, link.url);
    WriteLiteral(stream, "\">");
    if (icon) WriteIconImage(stream, *icon);
    WriteUtf8(stream, link.caption);
    WriteLiteral(stream, "</a>");
}

} // namespace

void CItemLink::WriteHtml(CStream& stream) const
{
    if (popup) OpenPopupSpan(stream, *popup);
    WriteAnchor(stream, mainLink, icon.get());
    for (const CLink* link : links) {
        WriteUtf8(stream, divider);
        WriteAnchor(stream, *link);
    }
    if (popup) ClosePopupSpan(stream);
}

void WritePopupBlock(CStream& stream, const CPopup& popup)
{
    WriteLiteral(stream, "<div id=\"");
    WriteBytes(stream, PopupElementId(popup));
    WriteLiteral(stream,
                 "\" style=\"display: none; POSITION: absolute; \">\r\n"
                 "<table style=\"border: solid 1pt; background: #e4e0d8; border-color: #fcf8f0 "
                 "#7f7f7f #7f7f7f #fcf8f0\" cellpadding=0>\r\n"
                 "<tr> <td style=\"padding: 0pt; border: solid 1pt; border-color: #7f7f7f #fcf8f0 "
                 "#e4e0d8 #7f7f7f; vertical-align: center; font: 100% Arial, arial ce\" "
                 "valign=\"center\">\r\n");
    WriteUtf8(stream, popup.content);
    WriteLiteral(stream, "</td> </tr>\r\n</table>\r\n</div>");
}
