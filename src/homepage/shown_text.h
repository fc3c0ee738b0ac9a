// What a Modern page shows of model text, for the texts that would otherwise show nothing: a
// caption that is empty, white space or markup without text gets its link's address as text, and
// a heading without text leaves the outline. The page import undoes what is added here.
#pragma once

#include <string>
#include <string_view>

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
