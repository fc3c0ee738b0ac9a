#include "persist/text.h"

#include "persist/streams.h"
#include "platform/platform.h"

#include <cstdint>
#include <cstring>

std::string ToUtf8(const std::wstring& text)
{
    std::string bytes(platform::Utf8Length(text.data(), text.size()), '\0');
    if (!bytes.empty()) {
        bytes.resize(platform::WideToUtf8(text.data(), text.size(), &bytes[0], bytes.size()));
    }
    return bytes;
}

namespace {

bool IsAscii(const char* bytes, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        if (word & 0x8080808080808080ull) return false;
    }
    for (; i < count; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
    }
    return true;
}

} // namespace

std::wstring FromUtf8(const char* bytes, std::size_t count)
{
    // Most text is ASCII: then each byte is its character, and one allocation does.
    if (IsAscii(bytes, count)) return std::wstring(bytes, bytes + count);
    std::wstring text;
    AssignFromUtf8(text, bytes, count);
    return text;
}

void AssignFromUtf8(std::wstring& text, const char* bytes, std::size_t count)
{
    // One character per byte at most: convert once into that much room instead of measuring.
    text.resize(count);
    if (count > 0) text.resize(platform::Utf8ToWide(bytes, count, &text[0], count));
}

void WriteUtf8(CStream& stream, const std::wstring& text)
{
    if (text.empty()) return;
    // Short texts, nearly all of a page, convert on the stack without measuring first.
    constexpr std::size_t kStackBytes = 1024;
    if (text.size() * platform::kMaxUtf8PerWide <= kStackBytes) {
        char bytes[kStackBytes];
        std::size_t length = platform::WideToUtf8(text.data(), text.size(), bytes, kStackBytes);
        stream.Write(bytes, static_cast<std::int32_t>(length));
        return;
    }
    std::string bytes = ToUtf8(text);
    WriteBytes(stream, bytes);
}
