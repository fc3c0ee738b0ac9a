#include "homepage/modern_page.h"

#include "homepage/page_writer.h"
#include "homepage/shown_text.h"
#include "icons/icon_markup.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/text.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

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
    "color:light-dark(#222,#eee);font:1rem/1.5 system-ui,sans-serif;overflow-wrap:anywhere}"
    "h1{margin:0 0 1rem;font-size:1.6rem}"
    "main{display:grid;grid-template-columns:repeat(auto-fit,minmax(min(16rem,100%),1fr));"
    "gap:0 1rem}"
    "h2,h3{margin:0 0 .5rem;font-size:1.2rem}"
    ".grp{background:light-dark(#fff,#222);border-radius:.5rem;padding:.5rem 1rem;"
    "margin-bottom:1rem}"
    ".grp :is(h2,h3,h4){margin:0;font-size:1rem;opacity:.8}"
    "ul{list-style:none;margin:0;padding:0}"
    "li{padding:.2rem 0}"
    "a{color:light-dark(#05c,#8bf)}\r\n"
    "@media print{*{color:#000!important;background:#fff!important}.grp{break-inside:avoid}"
    "a[href]::after{content:\" (\" attr(href) \")\"}button,[role=search]{display:none}}\r\n"
    // The search box, the entry chosen among its matches and the marks of the words typed.
    "[role=search] *{font:inherit;margin-right:.5rem}[type=search]{width:20rem;max-width:80%}"
    ".sel{outline:2px solid;outline-offset:2px}::highlight(q){background:#fd0;color:#000}\r\n";

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

// Out of sight, still read by screen readers: a group heading that says what its column's says,
// the stand-in for a title that shows nothing, and, with script, a tab's heading (the tab bar
// names the tab). The rule's selectors are written apart.
const char kOutOfSightStyle[] =
    "{position:absolute;width:1px;height:1px;overflow:hidden;clip-path:inset(50%);"
    "white-space:nowrap}\r\n";

// Only on pages with tabs. Without script each tab's columns start a row of their own under the
// tab's heading; with script ("t") a column without a tab stands beside those of the tab shown,
// and a match from another tab has that tab's name beside it (the names follow, a rule per tab).
const char kTabStyle[] =
    ".tab{grid-column:1/-1;display:grid;grid:inherit;gap:inherit}.t .tab{display:contents}"
    ".tab h2{grid-column:1/-1;font-size:1.4rem}"
    ".t [role=tablist]{display:flex;flex-wrap:wrap;margin:0 0 1rem;border-bottom:2px solid}"
    "[role=tab]{font:inherit;padding:.3rem 1rem;border:0;border-radius:.4rem .4rem 0 0;"
    "background:0;color:inherit}[aria-selected=true]{background:light-dark(#fff,#222);"
    "font-weight:700}.s .tab li::after{margin-left:.5em;padding:0 .3em;border:1px solid;"
    "border-radius:.3em;font-size:.8em}\r\n";

// Only on pages of many items: a group out of the window is neither styled nor laid out, which
// keeps a keystroke in the search box within a frame on a page of 10,000 links and shows the
// page's top sooner. A group that the pointer or focus is in, or whose popup is open, is laid
// out whole, so that its popups are not cut at its edge.
const char kManyItemsStyle[] = ".grp:not(:hover,:focus-within,:has(.open)){content-visibility:auto;"
                               "contain-intrinsic-size:auto 10rem}\r\n";

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

// The search box, placed by its script at the end of the header, so that a page without script
// has no box that does nothing; with the scripts of the web search and the tabs when the page
// has them, all in one element. It stands in an HTML comment, which the page import passes over
// and JavaScript takes for a one-line comment: so the script may hold "<" and ">" (it must not
// hold "-->"). A link item matches when every word typed is in its text (captions, divider,
// popup) or its addresses' host and path, ignoring case and accents; the other items, and groups
// and columns left without any, are hidden, the words are marked in the groups laid out (a group
// that comes into the window gets its marks then) and the count is said politely. The index is
// built at the first focus, not at load (again while the page is still loading). Down and Up
// choose among the matches, Enter opens the chosen one as a click would, with the keys held
// (Ctrl: a new tab, Shift: a new window), Escape empties the box, a second leaves it. "/" outside
// a field, or a character typed while nothing has the focus, brings the focus to the box. Names
// are one letter: d document, c this script, q the box's paragraph, I the box, R the count, E
// the web search's part, X the index (each item, its text, its first link, its text nodes once
// marked, its group), Y the index was built from the whole page, Z the words typed, M the
// matches, C the chosen one, K the marks, V the groups laid out, N the text folded for matching,
// B build the index, D mark an item, P choose.
const char kSearchScript[] =
    "<script><!--\r\n"
    "{let d=document,c=d.currentScript,q,I,R,E,X,Y,Z,M=[],C,K=window.Highlight,V,"
    "N=s=>s.toLowerCase().normalize('NFD').replace(/\\p{M}/gu,'').replace(/\u03c2/g,'\u03c3'),\r\n"
    "B=_=>Y||(Y=d.readyState[7],X=[...d.querySelectorAll('main li')].map(l=>{let t=l.textContent,"
    "a=l.querySelectorAll('a[href]');a.forEach(a=>t+=' '+a.getAttribute('href')"
    ".replace(/^[a-z][\\w+.-]*:(\\/\\/)?|[?#].*/gi,''));"
    "return[l,a[0]&&N(t),a[0],0,l.parentNode.parentNode]})),\r\n"
    "D=i=>(i[3]||=(k=>{let x,r=[];while(x=k.nextNode())r.push([x,N(x.data)]);return r})"
    "(d.createTreeWalker(i[0],4))).map(([x,s])=>Z.map(y=>{for(let j=-1;(j=s.indexOf(y,j+1))+1;)"
    "K.add(new StaticRange({startContainer:x,startOffset:j,endContainer:x,"
    "endOffset:j+y.length}))})),\r\n"
    "P=i=>{d.querySelector('.sel')?.classList.remove('sel');"
    "(i=M[C=i])&&i.classList.add('sel')+i.scrollIntoView({block:'nearest'})};\r\n"
    "c.insertAdjacentHTML('beforebegin','<p role=search><label>Search links <input "
    "type=search></label> <span role=status></span></p>');q=c.previousSibling;"
    "[I,R]=q.querySelectorAll('input,span');K&&CSS.highlights.set('q',K=new K);I.onfocus=B;\r\n"
    "I.oninput=_=>{let n;Z=N(I.value).match(/\\S+/g);B();"
    "d.documentElement.classList.toggle('s',!!Z);M=[];K&&K.clear();\r\n"
    "X.map(([l,t,a])=>{let m=!Z||!!t&&Z.every(y=>t.includes(y));l.hidden==m&&(l.hidden=!m);"
    "Z&&m&&M.push(a)});\r\n"
    "d.querySelectorAll('.grp,.col').forEach(g=>{let h=!!Z&&!g.querySelector('li:not([hidden])');"
    "g.hidden!=h&&(g.hidden=h)});\r\n"
    "K&&Z&&(V=[...d.querySelectorAll('.grp')].filter(g=>g.lastElementChild?.checkVisibility?.("
    "{contentVisibilityAuto:1})??1),X.map(i=>i[0].hidden||V.includes(i[4])&&D(i)));\r\n"
    "n=M.length;R.textContent=Z?n+' link'+(n-1?'s match':' matches'):'';E&&E(Z);P(0)};\r\n"
    "d.addEventListener('contentvisibilityautostatechange',e=>e.skipped||"
    "K&&Z&&X.map(i=>i[4]==e.target&&!i[0].hidden&&D(i)),1);\r\n"
    "I.onkeydown=e=>{let k=e.key,n=M.length,u=k=='ArrowUp';"
    "u|k=='ArrowDown'?n&&P((C+(u?n-1:1))%n)+(R.textContent=M[C].textContent):"
    "k=='Enter'?M[C]?.dispatchEvent(new MouseEvent('click',e)):"
    "k=='Escape'?I.value?(I.value='',I.oninput()):I.blur():k=0;k&&e.preventDefault()};\r\n"
    "onkeydown=e=>{let t=e.target,k=e.key;t.matches('input,select,textarea')||"
    "e.ctrlKey|e.metaKey|e.altKey||(k=='/'?e.preventDefault(I.focus()):"
    "t==d.body&&!k[1]&&k>' '&&I.focus())};\r\n";

// Only on pages with a search form, the first form sent with GET whose one visible field is a
// text field (the page gives it the class "w"). The last entry of the matches sends that form
// with the words typed in that field (a click on it, or Enter, also when nothing else matches);
// the field gets its own value back at once. W the entry, F the form.
const char kWebSearchScript[] =
    "let W=q.appendChild(d.createElement('button')),F;W.hidden=1;\r\n"
    "W.onclick=e=>{let g=F.querySelector('label input'),v=g.value;g.value=I.value;"
    "F.target=e.ctrlKey|e.shiftKey?'_blank':'';F.requestSubmit();g.value=v};\r\n"
    "E=z=>{F=d.querySelector('form.w');(W.hidden=!z||!F)||M.push(W)&&"
    "(W.textContent=('Search '+F.getAttribute('name')).trim()+' for \"'+I.value+'\"')};\r\n";

// Only on pages with tabs: the tab bar written before the script (hidden without script), in the
// WAI-ARIA tabs pattern: arrow keys, Home and End choose a tab, as a click does; each tab's value
// is the selector of its sections. The tab shown is in the address ("#" and its name) and in the
// page's local storage; the page opens with the tab the address names, else the last one shown,
// else the first. A style element of the script's own hides the other tabs' sections, also while
// the page is still loading, unless a search is on ("s"), which shows matches from every tab with
// their tab's name beside them, but for the tab shown. L the bar, T its tabs, S the style, k the
// storage key, A show a tab, H show the tab the address or the storage names.
const char kTabScript[] =
    "let L=q.previousElementSibling,T=[...L.children],S=d.head.appendChild(d.createElement("
    "'style')),k='quillomere-tab'+location.pathname,\r\n"
    "A=(b,f)=>{let c=b.textContent;T.map(t=>{t.ariaSelected=t==b;t.tabIndex=-(t!=b)});"
    "f&&b.focus();S.textContent=`html:not(.s) .tab:not(${b.value}){display:none}"
    ":is(${b.value}) li::after{content:none!important}`;\r\n"
    "try{history.replaceState(0,'','#'+encodeURIComponent(c));localStorage[k]=c}catch(x){}},\r\n"
    "H=_=>{let h,s;try{s=localStorage[k];h=decodeURIComponent(location.hash.slice(1))}catch(x){}"
    "A(T.find(b=>b.textContent==h)||T.find(b=>b.textContent==s)||T[0])};\r\n"
    "L.before(q);L.hidden=0;d.documentElement.classList.add('t');H();onhashchange=H;\r\n"
    "L.onclick=e=>T.includes(e.target)&&A(e.target);\r\n"
    "L.onkeydown=e=>{let m=T.length,i=T.indexOf(e.target),"
    "n={ArrowRight:i+1,ArrowLeft:i+m-1,Home:0,End:m-1}[e.key];n+1&&e.preventDefault(A(T[n%m],1))};"
    "\r\n";

const char kScriptEnd[] = "}\r\n--></script>\r\n";

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
        std::vector<CTabRun> runs = TabRuns(project);
        const auto tabs = TabSections(project, runs);
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
        const bool titleShown = ShowsText(project.title);
        if (parts.outOfSight || !titleShown || !runs.empty()) {
            WriteLiteral(stream, ".vh");
            if (!runs.empty()) WriteLiteral(stream, ",.t .tab h2");
            WriteLiteral(stream, kOutOfSightStyle);
        }
        if (!runs.empty()) {
            WriteLiteral(stream, kTabStyle);
            TabNameStyle(tabs);
        }
        if (parts.manyItems) WriteLiteral(stream, kManyItemsStyle);
        WriteLiteral(stream, "</style>\r\n");
        if (parts.popups || parts.hints) {
            WriteLiteral(stream, "<script>\r\n");
            if (parts.popups) WriteLiteral(stream, kPopupScript);
            if (parts.hints) WriteLiteral(stream, kHintScript);
            WriteLiteral(stream, "</script>\r\n");
        }
        WriteLiteral(stream, "</head>\r\n<body>\r\n<header>");
        // A page has a first-level heading: one out of sight stands in for a title that shows
        // nothing, after the title's own markup, which is kept for the import, out of the way.
        if (titleShown) {
            WriteLiteral(stream, "<h1>");
        } else if (!project.title.empty()) {
            WriteLiteral(stream, "<h1 hidden>");
        }
        WriteUtf8(stream, project.title);
        if (titleShown) {
            WriteLiteral(stream, "</h1>");
        } else {
            if (!project.title.empty()) WriteLiteral(stream, "</h1>");
            WriteLiteral(stream, "<h1 class=\"vh\">Quillomere</h1>");
        }
        // The search box and the tab bar stand in the header, whose landmark holds them.
        WriteLiteral(stream, "\r\n");
        if (!runs.empty()) TabBar(tabs);
        WriteLiteral(stream, kSearchScript);
        if (parts.searchForm) WriteLiteral(stream, kWebSearchScript);
        if (!runs.empty()) WriteLiteral(stream, kTabScript);
        WriteLiteral(stream, kScriptEnd);
        WriteLiteral(stream, "</header>\r\n<main>\r\n");
        std::size_t run = 0;
        for (std::size_t i = 0; i < project.columns.size(); ++i) {
            // A run of columns of one tab stands in a section of its own, under the tab's name.
            const bool inTab = run < runs.size() && runs[run].first <= i;
            if (inTab && runs[run].first == i) {
                const std::int32_t section = static_cast<std::int32_t>(run + 1);
                (CPiece() << "<section class=\"tab\" id=\"t" << section
                          << "\" role=\"tabpanel\" aria-labelledby=\"tab" << runs[run].number
                          << "\">\r\n<h2>")
                    .WriteTo(stream);
                WriteBytes(stream, EscapeText(runs[run].tab));
                WriteLiteral(stream, "</h2>\r\n");
            }
            Column(*project.columns[i], inTab);
            if (inTab && runs[run].last == i) {
                WriteLiteral(stream, "</section>\r\n");
                ++run;
            }
        }
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
        bool searchForm = false; // a form for the search box's web search
        bool outOfSight = false; // a group heading said by its column already
        bool manyItems = false;
    };

    // Consecutive columns of one tab, by their places; a tab's columns that others part make
    // more runs.
    struct CTabRun
    {
        std::size_t first;
        std::size_t last;
        std::wstring tab;
        std::int32_t number = 0; // of its tab in the bar, from 1
    };

    static std::vector<CTabRun> TabRuns(const CProject& project)
    {
        std::vector<CTabRun> runs;
        for (std::size_t i = 0; i < project.columns.size(); ++i) {
            std::wstring tab = ShownTab(*project.columns[i]);
            if (tab.empty()) continue;
            if (!runs.empty() && runs.back().last + 1 == i && runs.back().tab == tab) {
                runs.back().last = i;
            } else {
                runs.push_back(CTabRun{i, i, std::move(tab), 0});
            }
        }
        return runs;
    }

    // The tab bar, hidden until the script shows it: a tab per name in the order of first use,
    // each naming the sections of its runs.
    // The sections of each tab's runs, as ids ("t1 t4"), in the order of first use; numbers the
    // runs' tabs.
    static std::vector<std::pair<std::wstring, std::string>> TabSections(const CProject& project,
                                                                         std::vector<CTabRun>& runs)
    {
        std::vector<std::pair<std::wstring, std::string>> tabs;
        std::unordered_map<std::wstring, std::int32_t> numbers;
        for (std::wstring& tab : TabsInUse(project)) {
            numbers.emplace(tab, static_cast<std::int32_t>(tabs.size() + 1));
            tabs.emplace_back(std::move(tab), std::string());
        }
        for (std::size_t run = 0; run < runs.size(); ++run) {
            runs[run].number = numbers[runs[run].tab];
            std::string& ids = tabs[static_cast<std::size_t>(runs[run].number - 1)].second;
            if (!ids.empty()) ids += ' ';
            ids += 't' + std::to_string(run + 1);
        }
        return tabs;
    }

    // The selector of a tab's sections: "#t1,#t4".
    static std::string Selector(const std::string& ids)
    {
        std::string selector = "#";
        for (char c : ids)
            selector += c == ' ' ? std::string(",#") : std::string(1, c);
        return selector;
    }

    // A tab's name as a CSS string: quotes, backslashes, line ends and angle brackets escaped.
    static std::string CssString(const std::wstring& text)
    {
        std::string out = "\"";
        for (char c : ToUtf8(text)) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
            } else if (c == '<' || c == '>' || c == '\n' || c == '\r') {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\%x ", static_cast<unsigned>(c));
                out += hex;
            } else {
                out += c;
            }
        }
        return out + "\"";
    }

    // The name beside a match from another tab, a rule per tab.
    void TabNameStyle(const std::vector<std::pair<std::wstring, std::string>>& tabs)
    {
        for (const auto& tab : tabs) {
            WriteLiteral(stream, ".s :is(");
            WriteBytes(stream, Selector(tab.second));
            WriteLiteral(stream, ") li::after{content:");
            WriteBytes(stream, CssString(tab.first));
            WriteLiteral(stream, "}");
        }
        WriteLiteral(stream, "\r\n");
    }

    // The tab bar, hidden until the script shows it: a tab per name in the order of first use,
    // each controlling the sections of its runs, its value their selector.
    void TabBar(const std::vector<std::pair<std::wstring, std::string>>& tabs)
    {
        WriteLiteral(stream, "<div role=\"tablist\" aria-label=\"Tabs\" hidden>");
        for (std::size_t i = 0; i < tabs.size(); ++i) {
            (CPiece() << "<button role=\"tab\" id=\"tab" << static_cast<std::int32_t>(i + 1)
                      << "\" aria-controls=\"")
                .WriteTo(stream);
            WriteBytes(stream, tabs[i].second);
            WriteLiteral(stream, "\" value=\"");
            WriteBytes(stream, Selector(tabs[i].second));
            WriteLiteral(stream, "\">");
            WriteBytes(stream, EscapeText(tabs[i].first));
            WriteLiteral(stream, "</button>");
        }
        WriteLiteral(stream, "</div>\r\n");
    }

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
        if (items > kItemsLooked) return CParts{true, true, true, true, true, true, true, true};
        CParts parts;
        for (const CColumn* column : project.columns) {
            for (const CGroup* group : column->groups) {
                parts.outOfSight |= IsEcho(*group);
                for (const CItem* item : group->items) {
                    if (item->GetTag() == tags::kItemLink) {
                        const auto& link = static_cast<const CItemLink&>(*item);
                        parts.furtherLinks |= !link.links.empty();
                        parts.popups |= link.popup != nullptr;
                        parts.icons |= link.icon != nullptr;
                    } else if (item->GetTag() == tags::kItemForm) {
                        const auto& form = static_cast<const CItemForm&>(*item);
                        parts.forms = true;
                        for (const CItemForm::CField* field : form.fields)
                            parts.hints |=
                                field->type == 0 && !field->hidden && !field->value.empty();
                        parts.searchForm |= IsSearchForm(form);
                    }
                }
            }
        }
        return parts;
    }

    // A form the search box can send: sent with GET, with one visible field, a text field.
    static bool IsSearchForm(const CItemForm& form)
    {
        std::size_t visible = 0, text = 0;
        for (const CItemForm::CField* field : form.fields) {
            visible += !field->hidden;
            text += !field->hidden && field->type == 0;
        }
        return form.method == 0 && visible == 1 && text == 1;
    }

    // A group captioned as its column: the column's heading says it already.
    static bool IsEcho(const CGroup& group)
    {
        return !group.caption.empty() && group.caption == group.parent->caption &&
               ShowsText(group.caption);
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

    // A heading of `level` (2 to 4). A caption that shows no text is kept in a hidden heading,
    // for the import; an empty one gives none. True when the heading is in the outline.
    bool Heading(int level, const std::wstring& caption, bool outOfSight = false)
    {
        if (caption.empty()) return false;
        const bool shown = ShowsText(caption);
        CPiece open;
        open << "<h" << level;
        if (!shown) {
            open << " hidden";
        } else if (outOfSight) {
            open << " class=\"vh\"";
        }
        (open << ">").WriteTo(stream);
        WriteUtf8(stream, caption);
        (CPiece() << "</h" << level << ">\r\n").WriteTo(stream);
        return shown;
    }

    // A column's heading at the page's second level, the third inside a tab; its groups' one
    // level below, or at its level when the column shows no heading, so that no level is skipped.
    void Column(const CColumn& column, bool inTab)
    {
        WriteLiteral(stream, "<section class=\"col\">\r\n");
        const int level = inTab ? 3 : 2;
        const int groupLevel = Heading(level, column.caption) ? level + 1 : level;
        for (const CGroup* group : column.groups) {
            WriteLiteral(stream, "<section class=\"grp\">\r\n");
            Heading(groupLevel, group->caption, IsEcho(*group));
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
    // what follows, which saves a write per link on large pages. A caption that shows no text is
    // followed by the address's host and path, and the anchor's class tells the import so.
    void AnchorRest(const CItemLink::CLink& link, const CLinkIcon* icon = nullptr)
    {
        WriteUtf8(stream, link.url);
        const bool shown = ShowsText(link.caption);
        if (shown) {
            WriteLiteral(stream, "\">");
        } else {
            WriteLiteral(stream, "\" class=\"u\">");
        }
        if (icon) WriteIconImage(stream, *icon);
        WriteUtf8(stream, link.caption);
        if (!shown) WriteUtf8(stream, HostAndPath(link.url));
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
        // The first search form is the one the search box sends.
        if (!searchFormMarked && IsSearchForm(form)) {
            searchFormMarked = true;
            WriteLiteral(stream, "<li><form class=\"w\" name=\"");
        } else {
            WriteLiteral(stream, "<li><form name=\"");
        }
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
    bool searchFormMarked = false;
};

} // namespace

void WriteModernPage(const CProject& project, CStream& stream, const std::string& language)
{
    CModernWriter(stream).Page(project, language);
}
