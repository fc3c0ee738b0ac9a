// UTF-16LE bytes, as the clipboard and OLE data objects hand over text, to and from the model's
// wide strings on every platform.
#pragma once

#include <string>
#include <string_view>

// Decodes up to the first NUL (or the end; an odd last byte is dropped); unpaired surrogates
// become U+FFFD.
std::wstring FromUtf16Le(std::string_view bytes);
// Encodes without a terminator.
std::string ToUtf16Le(const std::wstring& text);
