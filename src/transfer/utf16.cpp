#include "transfer/utf16.h"

#include <cstdint>

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

void Append(std::wstring& out, std::uint32_t codePoint)
{
    if (sizeof(wchar_t) == 2 && codePoint >= 0x10000) {
        codePoint -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (codePoint >> 10));
        out += static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF));
    } else {
        out += static_cast<wchar_t>(codePoint);
    }
}

void AppendUnit(std::string& out, std::uint32_t unit)
{
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

} // namespace

std::wstring FromUtf16Le(std::string_view bytes)
{
    std::wstring text;
    const std::size_t units = bytes.size() / 2;
    text.reserve(units);
    auto unitAt = [&bytes](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i])) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * i + 1])) << 8);
    };
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t unit = unitAt(i);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
            const std::uint32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low < 0xE000) {
                Append(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        Append(text, unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit);
    }
    return text;
}

std::string ToUtf16Le(const std::wstring& text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (wchar_t c : text) {
        const auto codePoint = static_cast<std::uint32_t>(c);
        if (sizeof(wchar_t) > 2 && codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
            const std::uint32_t v = codePoint - 0x10000;
            AppendUnit(bytes, 0xD800 + (v >> 10));
            AppendUnit(bytes, 0xDC00 + (v & 0x3FF));
        } else {
            AppendUnit(bytes, codePoint > 0xFFFF ? kReplacement : codePoint);
        }
    }
    return bytes;
}
