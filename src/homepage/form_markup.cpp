#include "homepage/form_markup.h"

#include "homepage/page_writer.h"
#include "persist/text.h"

void CItemForm::WriteHtml(CStream& stream) const
{
    WriteLiteral(stream, "<form name=\"");
    WriteUtf8(stream, name);
    WriteLiteral(stream, "\" action=\"");
    WriteUtf8(stream, action);
    WriteLiteral(stream, "\" method=\"");
    if (method != 0) {
        WriteLiteral(stream, "post");
    } else {
        WriteLiteral(stream, "get");
    }
    WriteLiteral(stream, "\">\r\n");
    for (const CField* field : fields)
        WriteField(stream, *field);
    WriteLiteral(stream, "</form>\r\n");
}

void WriteField(CStream& stream, const CItemForm::CField& field)
{
    if (field.type == 0) {
        WriteLiteral(stream, "<input ");
        if (field.hidden) WriteLiteral(stream, "type=\"hidden\" ");
        if (field.size > 0) {
            std::string size;
            FormatNarrow(size, "size=%d ", field.size);
            WriteBytes(stream, size);
        }
        WriteLiteral(stream, "name=\"");
        WriteUtf8(stream, field.name);
        WriteLiteral(stream, "\" ");
        if (!field.value.empty()) {
            WriteLiteral(stream, "value=\"");
            WriteUtf8(stream, field.value);
            WriteLiteral(stream, "\" ");
        }
        WriteLiteral(stream, "/>");
    } else if (field.type == 1) {
        WriteLiteral(stream, "<select");
        if (field.hidden) WriteLiteral(stream, " type=\"hidden\"");
        WriteLiteral(stream, " name=\"");
        WriteUtf8(stream, field.name);
        WriteLiteral(stream, "\"");
        if (!field.value.empty()) {
            WriteLiteral(stream, " value=\"");
            WriteUtf8(stream, field.value);
            WriteLiteral(stream, "\"");
        }
        WriteLiteral(stream, ">\r\n");
        for (const CItemForm::COption* option : field.options) {
            WriteOption(stream, *option, field.value);
        }
        WriteLiteral(stream, "</select>\r\n");
    }
}

void WriteOption(CStream& stream, const CItemForm::COption& option, const std::wstring& fieldValue)
{
    WriteLiteral(stream, "\t<option");
    if (option.value != option.text && !option.value.empty()) {
        WriteLiteral(stream, " value=\"");
        WriteUtf8(stream, option.value);
        WriteLiteral(stream, "\"");
    }
    if (option.value == fieldValue) WriteLiteral(stream, " selected");
    WriteLiteral(stream, ">");
    WriteUtf8(stream, option.text);
    WriteLiteral(stream, "</option>\r\n");
}
