// Attribute values as a browser reads them: character references decoded, and the scheme an
// address has once the references are decoded and the blanks a browser drops are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A character reference as a browser reads it at the start of a text (its '&'): `length` counts
// the characters it takes, 0 when the '&' stays as written.
struct CharacterReference
{
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
};

// Numeric references (';' optional; 0, surrogates and beyond U+10FFFF give U+FFFD, 0x80-0x9F
// Windows-1252's characters), the named references of HTML 4, &apos; and HTML5's names of ASCII
// characters (colon, Tab, sol, ...) with ';', the longest name winning, and the legacy names
// (amp, lt, gt, quot, the Latin-1 letters and signs) also without ';': in text always, in an
// attribute value only when no letter, digit or '=' follows. UTF-8 or UTF-16/32 code units.
CharacterReference ReadCharacterReference(std::string_view text, bool inAttribute);
CharacterReference ReadCharacterReference(std::wstring_view text, bool inAttribute);

// Decodes character references as a browser does in an attribute value (ReadCharacterReference).
// UTF-8 in, UTF-8 out; unknown references stay as written.
std::string DecodeAttributeReferences(std::string_view markup);

// The scheme of an address held as attribute markup, in lower case, as a browser takes it:
// references decoded, controls and spaces at the ends dropped, tabs and line breaks anywhere
// removed. Empty for a relative address.
std::string AddressScheme(std::string_view markup);

// A javascript: or vbscript: address, in any spelling a browser runs.
bool IsScriptAddress(std::string_view markup);
