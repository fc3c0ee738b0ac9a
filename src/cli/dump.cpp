#include "cli/dump.h"

#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/streams.h"
#include "persist/text.h"

#include <cstdio>
#include <string>

namespace {

class CDumper
{
public:
    explicit CDumper(CStream& out) : out(out) {}

    void Project(const CProject& project)
    {
        Line(0, "project " + Quote(project.title));
        // Classic, the style of every older project, goes unsaid, as in the file.
        if (project.pageStyle == PageStyle::Modern) {
            Line(1, "style modern");
        } else if (project.pageStyle != PageStyle::Classic) {
            Line(1, "style " + std::to_string(static_cast<std::int32_t>(project.pageStyle)) +
                        " (unknown; written as classic)");
        }
        Kept(1, project);
        for (const CColumn* column : project.columns) {
            Line(1, "column " + Quote(column->caption));
            if (!column->tab.empty()) Line(2, "tab " + Quote(column->tab));
            Kept(2, *column);
            for (const CGroup* group : column->groups) {
                Line(2, "group " + Quote(group->caption));
                Kept(3, *group);
                for (const CItem* item : group->items)
                    Item(3, *item);
            }
        }
    }

private:
    void Item(int depth, const CItem& item)
    {
        if (item.GetTag() == tags::kItemLink) {
            const auto& link = static_cast<const CItemLink&>(item);
            Line(depth, "link " + Quote(link.mainLink.caption) + " -> " + Quote(link.mainLink.url));
            Line(depth + 1, "divider " + Quote(link.divider));
            if (link.icon) Line(depth + 1, Icon(*link.icon));
            for (const CItemLink::CLink* further : link.links) {
                Line(depth + 1, "link " + Quote(further->caption) + " -> " + Quote(further->url));
                Kept(depth + 2, *further);
            }
            if (link.popup) {
                Line(depth + 1, "popup " + Quote(link.popup->content));
                Kept(depth + 2, *link.popup);
            }
            Kept(depth + 1, link);
        } else if (item.GetTag() == tags::kItemForm) {
            const auto& form = static_cast<const CItemForm&>(item);
            Line(depth, "form " + Quote(form.name) + " " + (form.method ? "post" : "get") +
                            " (method " + std::to_string(form.method) + ") -> " +
                            Quote(form.action));
            for (const CItemForm::CField* field : form.fields)
                Field(depth + 1, *field);
            Kept(depth + 1, form);
        }
    }

    // The type, size and a checksum (FNV-1a), so that dumps tell icons apart.
    static std::string Icon(const CLinkIcon& icon)
    {
        std::uint32_t hash = 2166136261u;
        for (char c : icon.Bytes())
            hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(hash));
        return std::string("icon ") + icon.MediaType() + " " + std::to_string(icon.Bytes().size()) +
               " bytes, checksum " + hex;
    }

    void Field(int depth, const CItemForm::CField& field)
    {
        const char* kind = field.type == 0 ? "input" : field.type == 1 ? "select" : "field";
        Line(depth, std::string("field ") + kind + " (type " + std::to_string(field.type) + ") " +
                        Quote(field.name) + " = " + Quote(field.value) + " size " +
                        std::to_string(field.size) + (field.hidden ? " hidden" : ""));
        for (const CItemForm::COption* option : field.options) {
            Line(depth + 1, "option " + Quote(option->text) + " = " + Quote(option->value));
            Kept(depth + 2, *option);
        }
        Kept(depth + 1, field);
    }

    void Kept(int depth, const CStreamable& node)
    {
        for (const CKeptChunks::Chunk chunk : node.keptChunks) {
            std::string tag;
            for (int shift = 24; shift >= 0; shift -= 8) {
                char c = static_cast<char>((chunk.tag >> shift) & 0xFF);
                tag += c >= 0x20 && c < 0x7F ? c : '?';
            }
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(chunk.tag));
            Line(depth, "kept chunk '" + tag + "' (" + hex + ") " + std::to_string(chunk.length) +
                            " bytes");
        }
    }

    // Text in double quotes, with the characters that would break the line escaped.
    static std::string Quote(const std::wstring& text)
    {
        std::string bytes = ToUtf8(text), quoted = "\"";
        for (char c : bytes) {
            switch (c) {
            case '\r':
                quoted += "\\r";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\t':
                quoted += "\\t";
                break;
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\0':
                quoted += "\\0";
                break;
            default:
                quoted += c;
            }
        }
        return quoted + "\"";
    }

    void Line(int depth, const std::string& text)
    {
        std::string line(static_cast<std::size_t>(depth) * 2, ' ');
        line += text;
        line += '\n';
        WriteBytes(out, line);
    }

    CStream& out;
};

} // namespace

void DumpProject(const CProject& project, CStream& out)
{
    CDumper(out).Project(project);
}
