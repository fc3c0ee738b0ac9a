// Attribute values as a browser reads them: character references decoded, and the scheme an
// address has once the references are decoded and the blanks a browser drops are dropped.
#pragma once

#include <string>
#include <string_view>

// Decodes character references as a browser does in an attribute value: numeric references
// (with or without ';'), the named references of HTML 4 with ';', apos and HTML5's names of
// ASCII characters (colon, Tab, sol, ...), and the legacy names (amp, lt, gt, quot, the Latin-1
// letters and signs) without ';' unless a letter, a digit or '=' follows. UTF-8 in, UTF-8 out;
// unknown references stay as written.
std::string DecodeAttributeReferences(std::string_view markup);

// The scheme of an address held as attribute markup, in lower case, as a browser takes it:
// references decoded, controls and spaces at the ends dropped, tabs and line breaks anywhere
// removed. Empty for a relative address.
std::string AddressScheme(std::string_view markup);

// A javascript: or vbscript: address, in any spelling a browser runs.
bool IsScriptAddress(std::string_view markup);
