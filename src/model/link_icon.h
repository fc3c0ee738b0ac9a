// A link's site icon: the bytes of a small image, of a type told by its first bytes alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

enum class IconType : std::uint8_t
{
    Png,
    Ico,
    Gif,
    Jpeg,
    WebP,
    Svg,
};

// What an image's first bytes say it is; false when they name none of the kept types. A name or
// a declared type is never asked: a page served as an icon is text, whatever it claims.
bool SniffIconType(std::string_view bytes, IconType& type);
// The media type a page names the image by ("image/png").
const char* IconMediaType(IconType type);

// Immutable once made, so that items, undo steps and fetch results can share one.
class CLinkIcon
{
public:
    static constexpr std::size_t kMaxBytes = 16 * 1024;

    // Null when the bytes are not an image of a kept type, or are more than kMaxBytes.
    static std::shared_ptr<const CLinkIcon> FromBytes(std::string bytes);

    IconType Type() const { return type; }
    const std::string& Bytes() const { return bytes; }
    const char* MediaType() const { return IconMediaType(type); }

    bool operator==(const CLinkIcon& other) const
    {
        return type == other.type && bytes == other.bytes;
    }

private:
    CLinkIcon(IconType type, std::string bytes) : type(type), bytes(std::move(bytes)) {}

    IconType type;
    std::string bytes;
};
