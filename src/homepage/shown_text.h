// What the page shows of model text. Model text is page markup (a caption may hold "News &amp;
// Weather" or "<b>Mail</b>"). The editor's labels, lists and searches show and match the text a
// browser shows for it, while the panes keep showing and storing the markup; and a Modern page
// gives the texts that would otherwise show nothing a text of their own (a caption that is empty,
// white space or markup without text gets its link's address as text, and a heading without text
// leaves the outline), which the page import undoes.
#pragma once

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

// What the editor calls a link: its caption as the page shows it, or, when that shows nothing
// (no-break spaces at most), the caption its address (as a browser reads it) would get when
// pasted.
std::wstring LinkLabel(const std::wstring& caption, const std::wstring& url);

// True when the markup shows text: with its tags left out, a character other than white space
// remains (a character reference counts as text unless it is a no-break space), or an image with
// a non-empty alt text stands in it.
bool ShowsText(std::wstring_view markup);

// A link's address as its text: without the scheme, the query and the fragment, and without a
// last "/" ("https://www.example.com/a/?q" gives "www.example.com/a"); the whole address when
// that leaves nothing; "Link" for an empty address.
std::wstring HostAndPath(std::wstring_view url);

// Plain text as page text and back: "&", "<" and ">" as character references. Unescaping knows
// only those three, which is all the escaping writes.
std::string EscapeText(const std::wstring& text);
std::wstring UnescapeText(std::wstring_view text);
