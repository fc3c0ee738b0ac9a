// Addresses compared as a browser compares them: two links that a browser would take to the same
// address have the same key, however the project spells them.
#pragma once

#include <string>
#include <string_view>

// The key of an address held as page markup (a link's URL): character references decoded as in
// an attribute; for http and https the address as a browser parses it (scheme and host in lower
// case, a non-ASCII host in Punycode, the default port dropped, an empty path as "/", dot
// segments resolved, what a browser percent-encodes encoded), with its fragment; for any other
// scheme the address with its scheme in lower case; a relative address as written. Blanks at the
// ends and tabs and line breaks inside are dropped everywhere. A user name and password in an
// http address are left out, as a request leaves them out. UTF-8; empty for an empty address.
std::string AddressKey(std::wstring_view markup);
