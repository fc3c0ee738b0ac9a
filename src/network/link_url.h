// The addresses of a link check: the project holds an address as page markup, a browser decodes
// its character references and parses it before a request; the check does the same.
#pragma once

#include "persist/attribute_text.h"

#include <string>
#include <string_view>

// What the decoded address is to the check.
enum class UrlKind
{
    Http,       // http or https, parsed
    Bad,        // http or https, but it does not parse (no host, bad port, ...)
    NotChecked, // another scheme, or a relative address
};

// An http or https address split for a request.
struct HttpUrl
{
    bool https = false;
    std::string host;   // lower case; an IPv6 literal keeps its brackets
    int port = 0;       // the default port when the address names none
    std::string target; // path and query, percent-encoded where a browser encodes; starts with '/'

    // scheme://host[:port]target, the port left out when it is the default.
    std::string ToString() const;
    // host:port, the key of the politeness limits.
    std::string HostKey() const;
};

// Parses a decoded address as a browser's address parser does for http and https: leading and
// trailing blanks dropped, tabs and line breaks removed, backslashes taken as slashes, user name
// and password and the fragment left out, spaces, controls, quotes, angle brackets and non-ASCII
// bytes percent-encoded. `reason` says why a Bad address is bad.
UrlKind ParseHttpUrl(std::string_view address, HttpUrl& url, std::string& reason);

// Resolves a Location header against the address that answered with it. False when the result
// is no http or https address; `resolved` then holds the location as sent.
bool ResolveLocation(const HttpUrl& base, std::string_view location, HttpUrl& resolved,
                     std::string& absolute);
