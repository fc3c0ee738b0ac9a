// The text a browser shows for the page's markup. Model text is page markup (a caption may hold
// "News &amp; Weather" or "<b>Mail</b>"); the editor's labels, lists and searches show and match
// what the page shows instead, while the panes keep showing and storing the markup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The text a browser shows for `markup`: tags, comments and the content of script and style
// elements removed (a line-breaking tag such as <br> or <p> counts as white space), character
// references decoded, white space runs collapsed to one space, and trimmed. Written into `out`,
// whose storage is reused.
void AssignShownText(std::wstring_view markup, std::wstring& out);
std::wstring ShownText(std::wstring_view markup);
// True when the page shows `markup` exactly as written (no tag, reference or white space to
// change), which most captions do: the text can then be used as it is, without a copy.
bool ShowsAsWritten(std::wstring_view markup);

// An attribute value as a browser reads it (an address, a field's name or value): character
// references decoded, nothing else changed. Written into `out`, whose storage is reused.
void AssignAttributeText(std::wstring_view markup, std::wstring& out);
std::wstring AttributeText(std::wstring_view markup);

// The text of `markup` as the page shows it (`attribute`: as a browser reads an attribute
// value): `markup` itself when nothing changes it, else the text written into `scratch`.
const std::wstring& ReadableText(const std::wstring& markup, bool attribute, std::wstring& scratch);

// A link's caption made from its address: host and path ("www.example.com/docs"; no scheme,
// user name, query, fragment or trailing slash), the address of a mailto: link, or the address
// itself when it has neither.
std::wstring CaptionFromUrl(const std::wstring& url);

// What the editor calls a link: its caption as the page shows it, or, when that shows nothing,
// the caption its address (as a browser reads it) would get when pasted.
std::wstring LinkLabel(const std::wstring& caption, const std::wstring& url);
