#include "homepage/modern_page.h"

#include "homepage/page_writer.h"
#include "icons/icon_markup.h"
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
const char kHead[] = "\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"
                     "<meta name=\"viewport\" content=\"width=device-width\">\r\n<title>";

// The style sheet and the script come in parts, and a page carries only the parts its project
// uses: on a page of a few links they would otherwise be most of the file. Colours go through
// light-dark(), so that one rule serves both schemes; a browser without it drops those
// declarations and shows its own colours, light or dark, which still read well.
const char kStyle[] =
    "</title>\r\n<style>\r\n"
    ":root{color-scheme:light dark}"
    "body{margin:auto;max-width:120rem;padding:1rem;background:light-dark(#eee,#111);"
    "color:light-dark(#222,#eee);font:1rem/1.5 system-ui,sans-serif}"
    "h1{margin:0 0 1rem;font-size:1.6rem}"
    "main{display:grid;grid-template-columns:repeat(auto-fit,minmax(min(16rem,100%),1fr));"
    "gap:0 1rem}"
    "h2{margin:0 0 .5rem;font-size:1.2rem}"
    ".grp{background:light-dark(#fff,#222);border-radius:.5rem;padding:.5rem 1rem;"
    "margin-bottom:1rem}"
    "h3{margin:0;font-size:1rem;opacity:.8}"
    "ul{list-style:none;margin:0;padding:0}"
    "li{padding:.2rem 0}"
    "a{color:light-dark(#05c,#8bf)}\r\n"
    "@media print{*{color:#000!important;background:#fff!important}.grp{break-inside:avoid}"
    "a[href]::after{content:\" (\" attr(href) \")\"}button{display:none}}\r\n";

// Space between a link item's further links.
const char kFurtherLinksStyle[] = "li a~a{margin-left:.3em}\r\n";

// A popup hangs below its item (above it with the class "up"); hover, focus and the class "open"
// (a tap) show it, the class "esc" (Escape) hides it again until the pointer or focus moves on.
const char kPopupStyle[] =
    ".pop{position:relative}\r\n"
    ".tip{display:none;position:absolute;z-index:9;left:0;right:0;top:100%;max-height:45vh;"
    "overflow:auto;padding:.5rem .75rem;background:light-dark(#fff,#222);"
    "border:1px solid #888;border-radius:.4rem;box-shadow:0 .3rem 1rem #0005}\r\n"
    ".pop:hover .tip,.pop:focus-within .tip,.open .tip{display:block}\r\n"
    ".pop.esc .tip{display:none}\r\n"
    ".up .tip{top:auto;bottom:100%}\r\n"
    ".pop button{margin-left:.4em;width:1.25rem;height:1.25rem;padding:0;border:1px solid;"
    "border-radius:50%;background:none;color:inherit;font:italic 700 .8rem/1 Georgia,serif;"
    "cursor:pointer}\r\n";

// Fields stand in their labels on the line, as small forms such as a search box look best.
const char kFormStyle[] = "input,select,button{font:inherit;margin:.3rem;max-width:90%}\r\n";

// The hint is the field's own text colour, lighter: the browsers' grey is too faint for AA.
const char kHintStyle[] = "::placeholder{color:inherit;opacity:.7}\r\n";

// Only on a page with icons. The icon sits on the text's middle rather than its baseline, a little
// apart from the caption.
const char kIconStyle[] =
    "a img[src^=\"data:\"][width=\"16\"]:first-child{vertical-align:-.2em;margin-right:.4em}\r\n";

// Escape hides the shown popups; a tap on a popup's button opens or closes it; a shown popup that
// would run past the window's bottom opens above its item when there is more room there, also
// after scrolling. Hover and focus need no script. Names are one letter, as the page carries it:
// P the popup around a node, E each element matching, S shut, L place, C calm the Escaped ones
// when the pointer or focus moves, W place the shown ones at the next frame.
const char kPopupScript[] =
    "(function(d){\r\n"
    "function P(n){return n&&n.closest&&n.closest('.pop')}\r\n"
    "function E(s,f){[].forEach.call(d.querySelectorAll(s),f)}\r\n"
    "function S(p){p.classList.remove('open');"
    "p.querySelector('button').setAttribute('aria-expanded',false)}\r\n"
    "function L(p){if(!p)return;var c=p.classList;c.remove('up');"
    "var t=p.querySelector('.tip').getBoundingClientRect(),"
    "r=p.getBoundingClientRect(),h=innerHeight;"
    "if(Math.max(t.bottom,h)!=h&&Math.max(r.top,h-r.bottom)==r.top)c.add('up')}\r\n"
    "function C(e){var p=P(e.target);E('.pop.esc',function(q){q!=p&&q.classList.remove('esc')});"
    "L(p)}\r\n"
    "d.addEventListener('focusin',C);d.addEventListener('mouseover',C);\r\n"
    "var q;function W(){q=q||requestAnimationFrame(function(){q=0;"
    "E('.pop:hover,.pop:focus-within,.open',L)})}\r\n"
    "addEventListener('scroll',W,{passive:true});addEventListener('resize',W);\r\n"
    "d.addEventListener('keydown',function(e){e.key=='Escape'&&"
    "E('.open,.pop:hover,.pop:focus-within',function(p){S(p);p.classList.add('esc')})});\r\n"
    "d.addEventListener('click',function(e){"
    "var b=e.target.closest&&e.target.closest('button[aria-controls]'),p=P(b);"
    "E('.open',function(q){q!=p&&S(q)});"
    "if(p){b.setAttribute('aria-expanded',p.classList.toggle('open'));p.classList.remove('esc');"
    "L(p)}})\r\n"
    "})(document);\r\n";

// A visible input's value shows as its hint (an empty box with the value in grey) and goes back
// in when the form is sent with the box left empty, so that the form sends what it sends without
// script; after sending, and when the browser shows the page again, the hint is back.
const char kHintScript[] =
    "(function(d,s){\r\n"
    "function h(){d.querySelectorAll(s).forEach(function(i){var v=i.defaultValue;"
    "if(v){i.placeholder=v;i.value==v&&(i.value='')}})}\r\n"
    "d.onreadystatechange=onpageshow=h;\r\n"
    "d.onsubmit=function(e){e.target.querySelectorAll(s).forEach(function(i){"
    "i.value=i.value||i.defaultValue});setTimeout(h)}\r\n"
    "})(document,'label input');\r\n";

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
        const CParts parts = PartsUsed(project);
        WriteLiteral(stream, "<!DOCTYPE html>\r\n<html class=\"");
        WriteLiteral(stream, kModernPageClass);
        WriteLiteral(stream, "\" lang=\"");
        WriteBytes(stream, language);
        WriteLiteral(stream, kHead);
        WriteTitleText(project.title);
        WriteLiteral(stream, kStyle);
        if (parts.furtherLinks) WriteLiteral(stream, kFurtherLinksStyle);
        if (parts.popups) WriteLiteral(stream, kPopupStyle);
        if (parts.forms) WriteLiteral(stream, kFormStyle);
        if (parts.hints) WriteLiteral(stream, kHintStyle);
        if (parts.icons) WriteLiteral(stream, kIconStyle);
        WriteLiteral(stream, "</style>\r\n");
        if (parts.popups || parts.hints) {
            WriteLiteral(stream, "<script>\r\n");
            if (parts.popups) WriteLiteral(stream, kPopupScript);
            if (parts.hints) WriteLiteral(stream, kHintScript);
            WriteLiteral(stream, "</script>\r\n");
        }
        WriteLiteral(stream, "</head>\r\n<body>\r\n");
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
    // What of the style sheet and the script the page needs.
    struct CParts
    {
        bool furtherLinks = false;
        bool popups = false;
        bool forms = false;
        bool hints = false; // a visible text input with a value
        bool icons = false;
    };

    // A large project gets every part without a look at its items: there the parts are a
    // small share of the page, and looking at every item costs as much as a quarter of writing
    // the page (the items are read from memory twice).
    static constexpr std::size_t kItemsLooked = 1000;

    static CParts PartsUsed(const CProject& project)
    {
        std::size_t items = 0;
        for (const CColumn* column : project.columns) {
            for (const CGroup* group : column->groups)
                items += group->items.size();
        }
        if (items > kItemsLooked) return CParts{true, true, true, true, true};
        CParts parts;
        for (const CColumn* column : project.columns) {
            for (const CGroup* group : column->groups) {
                for (const CItem* item : group->items) {
                    if (item->GetTag() == tags::kItemLink) {
                        const auto& link = static_cast<const CItemLink&>(*item);
                        parts.furtherLinks |= !link.links.empty();
                        parts.popups |= link.popup != nullptr;
                        parts.icons |= link.icon != nullptr;
                    } else if (item->GetTag() == tags::kItemForm) {
                        parts.forms = true;
                        for (const CItemForm::CField* field :
                             static_cast<const CItemForm&>(*item).fields)
                            parts.hints |=
                                field->type == 0 && !field->hidden && !field->value.empty();
                    }
                }
            }
        }
        return parts;
    }

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
