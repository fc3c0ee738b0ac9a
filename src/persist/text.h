// The only conversions between the model's wide strings and the UTF-8 bytes of files and pages.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CStream;

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const char* bytes, std::size_t count);
inline std::wstring FromUtf8(std::string_view bytes)
{
    return FromUtf8(bytes.data(), bytes.size());
}
// Replaces `text` with the converted bytes, reusing its storage.
void AssignFromUtf8(std::wstring& text, const char* bytes, std::size_t count);
// Converts and writes with one Write, without terminator or escaping.
void WriteUtf8(CStream& stream, const std::wstring& text);
