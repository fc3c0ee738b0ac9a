#include "browser_bookmark_files.h"

namespace {

const char kFirefox[] = R"html(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<meta http-equiv="Content-Security-Policy"
      content="default-src 'self'; script-src 'none'; img-src data: *; object-src 'none'"></meta>
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks Menu</H1>

<DL><p>
    <DT><A HREF="place:parent=menu________&sort=12&maxResults=10" ADD_DATE="1700000000" LAST_MODIFIED="1700000001">Recent Tags</A>
    <DT><A HREF="https://www.example.org/about/" ADD_DATE="1700000002" LAST_MODIFIED="1700000003" ICON_URI="https://www.example.org/favicon.ico" ICON="data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAAAElFTkSuQmCC" TAGS="about,people">About Us</A>
<DD>Who makes the browser
    <HR>
    <DT><H3 ADD_DATE="1700000004" LAST_MODIFIED="1700000005">Browser Help</H3>
<DD>Links about the browser itself
    <DL><p>
        <DT><A HREF="https://support.example.org/" ADD_DATE="1700000006" LAST_MODIFIED="1700000007">Get Help</A>
        <DT><A HREF="https://www.example.org/contribute/" ADD_DATE="1700000008" LAST_MODIFIED="1700000009">Get Involved</A>
    </DL><p>
    <DT><H3 ADD_DATE="1700000010" LAST_MODIFIED="1700000011" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks Toolbar</H3>
<DD>Add bookmarks to this folder to see them displayed on the Bookmarks Toolbar
    <DL><p>
        <DT><A HREF="https://news.example.org/?region=1&amp;lang=de" ADD_DATE="1700000012" LAST_MODIFIED="1700000013" SHORTCUTURL="news" TAGS="daily">News &amp; Weather</A>
<DD>Headlines, &lt;fresh&gt;
and the local forecast
        <DT><H3 ADD_DATE="1700000014" LAST_MODIFIED="1700000015">Work</H3>
        <DL><p>
            <DT><A HREF="https://tracker.example.com/" ADD_DATE="1700000016">Tracker</A>
            <DT><H3 ADD_DATE="1700000017" LAST_MODIFIED="1700000018">Tools</H3>
            <DL><p>
                <DT><A HREF="https://ci.example.com/" ADD_DATE="1700000019">Build status</A>
                <DT><H3 ADD_DATE="1700000020" LAST_MODIFIED="1700000021">Old</H3>
                <DL><p>
                </DL><p>
            </DL><p>
        </DL><p>
        <DT><A HREF="https://radio.example.org/" ADD_DATE="1700000022">Radio</A>
        <DT><A HREF="javascript:void(location.href='https://share.example/?u='+encodeURIComponent(location.href))" ADD_DATE="1700000023">Share this</A>
    </DL><p>
    <DT><H3 ADD_DATE="1700000024" LAST_MODIFIED="1700000025" UNFILED_BOOKMARKS_FOLDER="true">Other Bookmarks</H3>
    <DL><p>
        <DT><A HREF="https://www.example.de/z%C3%BCrich" ADD_DATE="1700000026">Zürich – Übersicht</A>
        <DT><A HREF="place:sort=8&maxResults=10" ADD_DATE="1700000027">Most Visited</A>
    </DL><p>
</DL>
)html";

const char kFirefoxDump[] = R"(project "Bookmarks"
  column "Bookmarks Menu"
    group "Bookmarks Menu"
      link "About Us" -> "https://www.example.org/about/"
        divider ""
        icon image/png 45 bytes, checksum 83b326b2
        popup "Who makes the browser"
  column "Browser Help"
    group "Browser Help"
      link "Get Help" -> "https://support.example.org/"
        divider ""
      link "Get Involved" -> "https://www.example.org/contribute/"
        divider ""
  column "Bookmarks Toolbar"
    group "Bookmarks Toolbar"
      link "News &amp; Weather" -> "https://news.example.org/?region=1&amp;lang=de"
        divider ""
        popup "Headlines, &lt;fresh&gt;<br />and the local forecast"
      link "Radio" -> "https://radio.example.org/"
        divider ""
    group "Work"
      link "Tracker" -> "https://tracker.example.com/"
        divider ""
    group "Work / Tools"
      link "Build status" -> "https://ci.example.com/"
        divider ""
  column "Other Bookmarks"
    group "Other Bookmarks"
      link "Zürich – Übersicht" -> "https://www.example.de/z%C3%BCrich"
        divider ""
)";

// The icon is put in where @ICON@ stands.
const char kChrome[] = R"html(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
     It will be read and overwritten.
     DO NOT EDIT! -->
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
    <DT><H3 ADD_DATE="1699990000" LAST_MODIFIED="1700000000" PERSONAL_TOOLBAR_FOLDER="true">Bookmarks bar</H3>
    <DL><p>
        <DT><A HREF="https://mail.example.com/" ADD_DATE="1699990001" ICON="data:image/png;base64,@ICON@">Mail</A>
        <DT><H3 ADD_DATE="1699990002" LAST_MODIFIED="1699990003">Reading</H3>
        <DL><p>
            <DT><A HREF="https://blog.example.net/post?id=7&amp;ref=bm" ADD_DATE="1699990004">A post about “quotes” &amp; more</A>
            <DT><A HREF="https://jp.example.jp/" ADD_DATE="1699990005">日本語のページ</A>
        </DL><p>
    </DL><p>
    <DT><A HREF="https://loose.example.com/" ADD_DATE="1699990006">Loose one</A>
    <DT><A HREF="https://loose2.example.com/" ADD_DATE="1699990007">  Loose
        two  </A>
</DL><p>
)html";

const char kChromeDump[] = R"(project "Bookmarks"
  column "Bookmarks bar"
    group "Bookmarks bar"
      link "Mail" -> "https://mail.example.com/"
        divider ""
    group "Reading"
      link "A post about “quotes” &amp; more" -> "https://blog.example.net/post?id=7&amp;ref=bm"
        divider ""
      link "日本語のページ" -> "https://jp.example.jp/"
        divider ""
  column "Bookmarks"
    group "Bookmarks"
      link "Loose one" -> "https://loose.example.com/"
        divider ""
      link "Loose two" -> "https://loose2.example.com/"
        divider ""
)";

const char kInternetExplorer[] = R"html(<!DOCTYPE NETSCAPE-Bookmark-file-1>
<!-- This is an automatically generated file.
It will be read and overwritten.
Do Not Edit! -->
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks</H1>
<DL><p>
<DT><H3 FOLDED ADD_DATE="1100000000">Links</H3>
<DL><p>
<DT><A HREF="http://go.example.com/" ADD_DATE="1100000001" LAST_VISIT="1100000002" LAST_MODIFIED="1100000003">Start page</A>
<DT><A HREF="http://intranet/" ADD_DATE=1100000004 LAST_VISIT=1100000005>Intranet</A>
</DL><p>
<DT><H3 FOLDED ADD_DATE="1100000006">Empty folder</H3>
<DL><p>
</DL><p>
<DT><A HREF="http://x.example.com/search?q=a&b=c" ADD_DATE="1100000007">Search &#8211; all</A>
</DL><p>
)html";

const char kInternetExplorerDump[] = R"(project "Bookmarks"
  column "Links"
    group "Links"
      link "Start page" -> "http://go.example.com/"
        divider ""
      link "Intranet" -> "http://intranet/"
        divider ""
  column "Bookmarks"
    group "Bookmarks"
      link "Search &#8211; all" -> "http://x.example.com/search?q=a&b=c"
        divider ""
)";

const char kHandMade[] = R"html(<!doctype netscape-bookmark-file-1>
<html><head><meta charset="utf-8"><title>My  links</title></head>
<body>
<h1>Favourites</h1>
<dl><p>
  <dt><a href="https://a.example/">Alpha
  <dt><a href='https://b.example/?q="x"'>Beta</a>
  <dt><h3>Deep</h3>
  <dl><p>
    <dt><h3>One</h3>
    <dl><p>
      <dt><h3>Two</h3>
      <dl><p>
        <dt><h3>Three</h3>
        <dl><p>
          <dt><a href="https://deep.example/">Way down</a>
        </dl><p>
      </dl><p>
    </dl><p>
  </dl><p>
  <hr>
  <dt><a href="https://empty-title.example/"></a>
  <dd>Line one
line two
  <dd>A second description is not read
</dl><p>
</body></html>
)html";

const char kHandMadeDump[] = R"(project "My links"
  column "Favourites"
    group "Favourites"
      link "Alpha" -> "https://a.example/"
        divider ""
      link "Beta" -> "https://b.example/?q=&quot;x&quot;"
        divider ""
      link "https://empty-title.example/" -> "https://empty-title.example/"
        divider ""
        popup "Line one<br />line two"
  column "Deep"
    group "One / Two / Three"
      link "Way down" -> "https://deep.example/"
        divider ""
)";

} // namespace

std::string Base64Filler(std::size_t size)
{
    static const char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text(size, 'A');
    for (std::size_t i = 0; i < size; ++i)
        text[i] = alphabet[(i * 7 + i / 64) % 64];
    if (size >= 2) text[size - 1] = text[size - 2] = '=';
    return text;
}

std::vector<BookmarkSample> BrowserBookmarkFiles()
{
    std::string chrome = kChrome;
    chrome.replace(chrome.find("@ICON@"), 6, Base64Filler(20 * 1024));
    return {
        {"firefox", kFirefox, kFirefoxDump, 4, 6, 8, 3},
        {"chrome", chrome, kChromeDump, 2, 3, 5, 0},
        {"internet-explorer", kInternetExplorer, kInternetExplorerDump, 2, 2, 3, 0},
        {"hand-made", kHandMade, kHandMadeDump, 2, 2, 4, 0},
    };
}
