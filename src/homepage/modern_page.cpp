#include "homepage/modern_page.h"

#include "homepage/icon_markup.h"
#include "homepage/page_writer.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/text.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstring>

namespace {

// The style sheet and the script hold no "<" or ">": the import reads the page with a tokenizer
// that knows no script or style content, and would stop at either.
const char kHead[] =
    "\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\r\n<title>";

const char kStyle[] =
    "</title>\r\n<style>\r\n"
    ":root{color-scheme:light dark;--bg:#f3f4f6;--card:#fff;--fg:#1d2126;--muted:#4b535d;"
    "--link:#0a58ca;--line:#d3d7dc;--edge:#6b737c}\r\n"
    "@media(prefers-color-scheme:dark){:root{--bg:#111315;--card:#1c1f23;--fg:#e8eaed;"
    "--muted:#aab1b9;--link:#8ab4f8;--line:#353a41;--edge:#8d959e}}\r\n"
    "*{box-sizing:border-box}\r\n"
    "body{margin:0;background:var(--bg);color:var(--fg);"
    "font:1rem/1.5 system-ui,-apple-system,\"Segoe UI\",Roboto,Ubuntu,\"Noto Sans\",sans-serif}\r\n"
    "header,main{max-width:120rem;margin:0 auto;padding:1rem 1rem 0}\r\n"
    "h1{margin:0;font-size:1.6rem;line-height:1.25}\r\n"
    "main{display:grid;grid-template-columns:repeat(auto-fit,minmax(min(16rem,100%),1fr));"
    "gap:0 1rem;align-items:start}\r\n"
    "h2{margin:.25rem 0 .5rem;font-size:1.2rem}\r\n"
    ".grp{background:var(--card);border:1px solid var(--line);border-radius:.5rem;"
    "padding:.6rem 1rem .8rem;margin-bottom:1rem}\r\n"
    "h3{margin:0 0 .3rem;font-size:1rem;color:var(--muted)}\r\n"
    "ul{list-style:none;margin:0;padding:0}\r\n"
    "li{position:relative;padding:.2rem 0}\r\n"
    "a{color:var(--link);text-underline-offset:.2em}\r\n"
    "li a~a{margin-left:.3em}\r\n"
    ":focus-visible{outline:3px solid var(--link);outline-offset:2px}\r\n"
    ".tip{display:none;position:absolute;z-index:9;left:0;right:0;top:100%;max-height:45vh;"
    "overflow:auto;padding:.5rem .75rem;background:var(--card);border:1px solid var(--edge);"
    "border-radius:.4rem;box-shadow:0 .3rem 1rem #0005}\r\n"
    ".pop:hover .tip,.pop:focus-within .tip,.pop.open .tip{display:block}\r\n"
    ".pop.esc .tip{display:none}\r\n"
    ".pop.up .tip{top:auto;bottom:100%}\r\n"
    ".pop button{margin-left:.4em;width:1.25rem;height:1.25rem;padding:0;vertical-align:.05em;"
    "border:1px solid var(--edge);border-radius:50%;background:none;color:var(--link);"
    "font:italic 700 .8rem/1 Georgia,serif;cursor:pointer}\r\n"
    "label{display:block;color:var(--muted);font-size:.9rem}\r\n"
    "input,select{display:block;width:100%;margin:.15rem 0 .5rem;padding:.35rem .5rem;"
    "font:inherit;color:var(--fg);background:var(--card);border:1px solid var(--edge);"
    "border-radius:.3rem}\r\n"
    "::placeholder{color:var(--edge);opacity:1}\r\n"
    "[hidden]{display:none}\r\n"
    "form button{font:inherit;padding:.3rem 1rem;border:0;border-radius:.3rem;"
    "background:var(--link);color:var(--card);cursor:pointer}\r\n"
    "@media print{:root{--bg:#fff;--card:#fff;--fg:#000;--muted:#000;--link:#000;--line:#000}"
    "main{display:block}.grp{break-inside:avoid}"
    "a[href]::after{content:\" (\" attr(href) \")\";font-size:.85em}"
    "button,.tip{display:none!important}}\r\n";

// Only on a page with icons, so that every other page stays as it was. The icon sits on the text's
// middle rather than its baseline, a little apart from the caption.
const char kIconStyle[] =
    "a img[src^=\"data:\"][width=\"16\"]:first-child{vertical-align:-.2em;margin-right:.4em}\r\n";

// Escape hides the shown popups; a tap on a popup's button opens or closes it; a shown popup that
// would run past the window's bottom opens above its item when there is more room there, also
// after scrolling. Hover and focus need no script. A visible input's value shows as its hint
// (an empty box with the value in grey) and goes back in when the form is sent with the box left
// empty, so that the form sends what it sends without script.
const char kScript[] =
    "<script>\r\n"
    "(function(){\r\n"
    "var d=document;\r\n"
    "function pop(n){return n&&n.closest?n.closest('.pop'):null}\r\n"
    "function each(s,f,n){var l=(n||d).querySelectorAll(s);for(var i=0;i!=l.length;i++)f(l[i])}"
    "\r\n"
    "function shut(p){p.classList.remove('open');"
    "p.querySelector('button').setAttribute('aria-expanded','false')}\r\n"
    "function place(p){if(!p)return;p.classList.remove('up');"
    "var t=p.querySelector('.tip').getBoundingClientRect(),r=p.getBoundingClientRect(),"
    "h=innerHeight;if(Math.max(t.bottom,h)!=h&&Math.max(r.top,h-r.bottom)==r.top)"
    "p.classList.add('up')}\r\n"
    "function calm(e){var p=pop(e.target);each('.pop.esc',function(q){if(q!=p)"
    "q.classList.remove('esc')});place(p)}\r\n"
    "d.addEventListener('focusin',calm);d.addEventListener('mouseover',calm);\r\n"
    "var q=0;function later(){if(!q)q=requestAnimationFrame(function(){q=0;"
    "each('.pop:hover,.pop:focus-within,.pop.open',place)})}\r\n"
    "addEventListener('scroll',later,{passive:true});addEventListener('resize',later);\r\n"
    "d.addEventListener('keydown',function(e){if(e.key!='Escape')return;"
    "each('.pop.open,.pop:hover,.pop:focus-within',function(p){shut(p);"
    "p.classList.add('esc')})});\r\n"
    "d.addEventListener('click',function(e){var b=e.target.closest?"
    "e.target.closest('button[aria-controls]'):null,p=pop(b);"
    "each('.pop.open',function(q){if(q!=p)shut(q)});if(!p)return;"
    "var o=!p.classList.contains('open');p.classList.toggle('open',o);"
    "p.classList.remove('esc');b.setAttribute('aria-expanded',o?'true':'false');place(p)});\r\n"
    "function hint(){each('input:not([type=hidden])',function(i){var v=i.defaultValue;"
    "if(v){i.placeholder=v;if(i.value==v)i.value=''}})}\r\n"
    "d.addEventListener('DOMContentLoaded',hint);addEventListener('pageshow',hint);\r\n"
    "d.addEventListener('submit',function(e){each('input:not([type=hidden])',function(i){"
    "if(!i.value)i.value=i.defaultValue},e.target);setTimeout(hint)});\r\n"
    "})();\r\n"
    "</script>\r\n"
    "</head>\r\n<body>\r\n";

// Literal pieces and numbers joined into one write: on large pages the writes, not the bytes,
// are much of the cost. Its users append at most a couple of hundred bytes.
class CPiece
{
public:
    template <std::size_t N> CPiece& operator<<(const char (&text)[N])
    {
        assert(length + N - 1 <= sizeof bytes);
        // Bounded all the same, so that no build can write past the buffer.
        const std::size_t count = std::min(N - 1, sizeof bytes - length);
        std::memcpy(bytes + length, text, count);
        length += count;
        return *this;
    }
    CPiece& operator<<(std::int32_t number)
    {
        assert(length + 11 <= sizeof bytes);
        length = static_cast<std::size_t>(
            std::to_chars(bytes + length, bytes + sizeof bytes, number).ptr - bytes);
        return *this;
    }
    void WriteTo(CStream& stream) const { stream.Write(bytes, static_cast<std::int32_t>(length)); }

private:
    char bytes[256];
    std::size_t length = 0;
};

class CModernWriter
{
public:
    explicit CModernWriter(CStream& stream) : stream(stream) {}

    void Page(const CProject& project, const std::string& language)
    {
        WriteLiteral(stream, "<!DOCTYPE html>\r\n<html class=\"");
        WriteLiteral(stream, kModernPageClass);
        WriteLiteral(stream, "\" lang=\"");
        WriteBytes(stream, language);
        WriteLiteral(stream, kHead);
        WriteTitleText(project.title);
        WriteLiteral(stream, kStyle);
        if (HasIcons(project)) WriteLiteral(stream, kIconStyle);
        WriteLiteral(stream, "</style>\r\n");
        WriteLiteral(stream, kScript);
        if (!project.title.empty()) {
            WriteLiteral(stream, "<header><h1>");
            WriteUtf8(stream, project.title);
            WriteLiteral(stream, "</h1></header>\r\n");
        }
        WriteLiteral(stream, "<main>\r\n");
        for (const CColumn* column : project.columns)
            Column(*column);
        WriteLiteral(stream, "</main>\r\n</body>\r\n</html>\r\n");
    }

private:
    // The title element shows text only, so the title's markup is left out there (the heading
    // has it all); and a page needs a title, so a word stands in for none. Tags also must not
    // reach the head, where the import would take them for the page's.
    void WriteTitleText(const std::wstring& title)
    {
        std::string text;
        bool inTag = false, blank = true;
        for (char c : ToUtf8(title)) {
            if (c == '<' || c == '>') {
                inTag = c == '<';
            } else if (!inTag) {
                text += c;
                if (c != ' ' && c != '\t' && c != '\r' && c != '\n') blank = false;
            }
        }
        if (blank) {
            WriteLiteral(stream, "Quillomere");
        } else {
            WriteBytes(stream, text);
        }
    }

    static bool HasIcons(const CProject& project)
    {
        for (const CColumn* column : project.columns) {
            for (const CGroup* group : column->groups) {
                for (const CItem* item : group->items) {
                    if (item->GetTag() == tags::kItemLink &&
                        static_cast<const CItemLink*>(item)->icon)
                        return true;
                }
            }
        }
        return false;
    }

    // Headings are left out rather than written empty.
    template <std::size_t Open, std::size_t Close>
    void Heading(const char (&open)[Open], const std::wstring& caption, const char (&close)[Close])
    {
        if (caption.empty()) return;
        WriteLiteral(stream, open);
        WriteUtf8(stream, caption);
        WriteLiteral(stream, close);
    }

    void Column(const CColumn& column)
    {
        WriteLiteral(stream, "<section class=\"col\">\r\n");
        Heading("<h2>", column.caption, "</h2>\r\n");
        for (const CGroup* group : column.groups) {
            WriteLiteral(stream, "<section class=\"grp\">\r\n");
            Heading("<h3>", group->caption, "</h3>\r\n");
            if (!group->items.empty()) {
                WriteLiteral(stream, "<ul>\r\n");
                for (const CItem* item : group->items) {
                    if (item->GetTag() == tags::kItemLink) {
                        Link(static_cast<const CItemLink&>(*item));
                    } else if (item->GetTag() == tags::kItemForm) {
                        Form(static_cast<const CItemForm&>(*item));
                    }
                }
                WriteLiteral(stream, "</ul>\r\n</section>\r\n");
            } else {
                WriteLiteral(stream, "</section>\r\n");
            }
        }
        WriteLiteral(stream, "</section>\r\n");
    }

    // An anchor's address, the main link's icon, its caption; the caller closes it together with
    // what follows, which saves a write per link on large pages.
    void AnchorRest(const CItemLink::CLink& link, const CLinkIcon* icon = nullptr)
    {
        WriteUtf8(stream, link.url);
        WriteLiteral(stream, "\">");
        if (icon) WriteIconImage(stream, *icon);
        WriteUtf8(stream, link.caption);
    }

    // A link item with a popup: the main link is described by the popup, and a button that a tap
    // reaches (keyboards get the popup by focusing the link) opens it.
    void Link(const CItemLink& item)
    {
        std::int32_t number = 0;
        if (item.popup) {
            number = ++popups;
            (CPiece() << "<li class=\"pop\"><a id=\"l" << number << "\" aria-describedby=\"p"
                      << number << "\" href=\"")
                .WriteTo(stream);
        } else {
            WriteLiteral(stream, "<li><a href=\"");
        }
        AnchorRest(item.mainLink, item.icon.get());
        for (const CItemLink::CLink* link : item.links) {
            WriteLiteral(stream, "</a>");
            WriteUtf8(stream, item.divider);
            WriteLiteral(stream, "<a href=\"");
            AnchorRest(*link);
        }
        if (!item.popup) {
            WriteLiteral(stream, "</a></li>\r\n");
            return;
        }
        (CPiece() << "</a><button type=\"button\" tabindex=\"-1\" aria-expanded=\"false\" "
                     "aria-controls=\"p"
                  << number << "\" aria-labelledby=\"l" << number
                  << "\">i</button><div class=\"tip\" id=\"p" << number << "\">")
            .WriteTo(stream);
        WriteUtf8(stream, item.popup->content);
        WriteLiteral(stream, "</div></li>\r\n");
    }

    void Form(const CItemForm& form)
    {
        WriteLiteral(stream, "<li><form name=\"");
        WriteUtf8(stream, form.name);
        WriteLiteral(stream, "\" action=\"");
        WriteUtf8(stream, form.action);
        if (form.method != 0) {
            WriteLiteral(stream, "\" method=\"post\">\r\n");
        } else {
            WriteLiteral(stream, "\" method=\"get\">\r\n");
        }
        for (const CItemForm::CField* field : form.fields)
            Field(form, *field);
        WriteLiteral(stream, "<button type=\"submit\">");
        if (form.name.empty()) {
            WriteLiteral(stream, "Go");
        } else {
            WriteUtf8(stream, form.name);
        }
        WriteLiteral(stream, "</button></form></li>\r\n");
    }

    // A visible field stands in a label that shows its name, or the form's, or a word.
    void OpenLabel(const CItemForm& form, const CItemForm::CField& field)
    {
        WriteLiteral(stream, "<label>");
        if (!field.name.empty()) {
            WriteUtf8(stream, field.name);
        } else if (!form.name.empty()) {
            WriteUtf8(stream, form.name);
        } else {
            WriteLiteral(stream, "Field");
        }
    }

    template <std::size_t N>
    static void Size(CPiece& piece, const char (&attribute)[N], std::int32_t size)
    {
        if (size > 0) piece << attribute << size << "\"";
    }

    void Field(const CItemForm& form, const CItemForm::CField& field)
    {
        if (field.type == 0) {
            // The value is the input's value, as on the Classic page, so that a form sent
            // untouched sends what it sends there; the script shows a visible one as its hint.
            CPiece open;
            if (field.hidden) {
                open << "<input type=\"hidden\"";
            } else {
                OpenLabel(form, field);
                open << "<input";
            }
            Size(open, " size=\"", field.size);
            (open << " name=\"").WriteTo(stream);
            WriteUtf8(stream, field.name);
            if (!field.value.empty()) {
                WriteLiteral(stream, "\" value=\"");
                WriteUtf8(stream, field.value);
            }
            if (field.hidden) {
                WriteLiteral(stream, "\">\r\n");
            } else {
                WriteLiteral(stream, "\"></label>\r\n");
            }
        } else if (field.type == 1) {
            if (field.hidden) {
                WriteLiteral(stream, "<select hidden name=\"");
            } else {
                OpenLabel(form, field);
                WriteLiteral(stream, "<select name=\"");
            }
            WriteUtf8(stream, field.name);
            // A select's own value and size only pick the preselected option and show nothing;
            // they are kept for the import.
            if (!field.value.empty()) {
                WriteLiteral(stream, "\" data-value=\"");
                WriteUtf8(stream, field.value);
            }
            CPiece close;
            close << "\"";
            Size(close, " data-size=\"", field.size);
            (close << ">\r\n").WriteTo(stream);
            for (const CItemForm::COption* option : field.options) {
                const bool selected = option->value == field.value;
                if (option->value != option->text && !option->value.empty()) {
                    WriteLiteral(stream, "<option value=\"");
                    WriteUtf8(stream, option->value);
                    if (selected) {
                        WriteLiteral(stream, "\" selected>");
                    } else {
                        WriteLiteral(stream, "\">");
                    }
                } else if (selected) {
                    WriteLiteral(stream, "<option selected>");
                } else {
                    WriteLiteral(stream, "<option>");
                }
                WriteUtf8(stream, option->text);
                WriteLiteral(stream, "</option>\r\n");
            }
            if (field.hidden) {
                WriteLiteral(stream, "</select>\r\n");
            } else {
                WriteLiteral(stream, "</select></label>\r\n");
            }
        }
    }

    CStream& stream;
    std::int32_t popups = 0; // numbered in tree order from 1
};

} // namespace

void WriteModernPage(const CProject& project, CStream& stream, const std::string& language)
{
    CModernWriter(stream).Page(project, language);
}
