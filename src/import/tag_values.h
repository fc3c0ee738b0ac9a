// Attribute values as both page imports read them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Lower-cased by the ANSI code page, as tag names and some values are compared.
std::string Lower(std::string_view bytes);

// A field's size: the attribute as a decimal integer (leading white space, an optional sign,
// digits up to the first other character; no digits give 0), or -1 when it is absent or empty.
// Values beyond 32 bits are held at the limit.
std::int32_t SizeAttribute(std::string_view text);
