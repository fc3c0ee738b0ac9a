// Four-character codes: the chunk tags of the project file and the item kinds.
#pragma once

#include <cstdint>

// The first character goes into the highest byte.
constexpr std::uint32_t MakeTag(char a, char b, char c, char d)
{
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(d));
}

namespace tags {
constexpr std::uint32_t kMagic = MakeTag('q', 'u', 'i', 'l');
constexpr std::uint32_t kTitle = MakeTag('t', 'i', 't', 'l');
constexpr std::uint32_t kColumn = MakeTag('c', 'o', 'l', 'u');
constexpr std::uint32_t kCaption = MakeTag('c', 'a', 'p', 't');
constexpr std::uint32_t kGroup = MakeTag('g', 'r', 'u', 'p');
constexpr std::uint32_t kItemLink = MakeTag('i', 'l', 'n', 'k');
constexpr std::uint32_t kItemForm = MakeTag('i', 'f', 'r', 'm');
constexpr std::uint32_t kUrl = MakeTag('u', 'r', 'l', ' ');
constexpr std::uint32_t kDivider = MakeTag('d', 'v', 'd', 'r');
constexpr std::uint32_t kLink = MakeTag('l', 'i', 'n', 'k');
constexpr std::uint32_t kContent = MakeTag('c', 'o', 'n', 't');
constexpr std::uint32_t kName = MakeTag('n', 'a', 'm', 'e');
constexpr std::uint32_t kMethod = MakeTag('m', 'e', 't', 'h');
constexpr std::uint32_t kAction = MakeTag('a', 'c', 't', 'i');
constexpr std::uint32_t kField = MakeTag('f', 'i', 'l', 'd');
constexpr std::uint32_t kType = MakeTag('t', 'y', 'p', 'e');
constexpr std::uint32_t kValue = MakeTag('v', 'a', 'l', 'u');
constexpr std::uint32_t kSize = MakeTag('s', 'i', 'z', 'e');
constexpr std::uint32_t kOption = MakeTag('o', 'p', 't', 'n');
// Our own additions: a link item's popup and a field's hidden flag.
constexpr std::uint32_t kPopup = MakeTag('p', 'o', 'p', 'u');
constexpr std::uint32_t kHidden = MakeTag('h', 'i', 'd', 'n');
// The project's page style; written only when it is not Classic.
constexpr std::uint32_t kPageStyle = MakeTag('s', 't', 'y', 'l');
// A link item's site icon: the image's bytes; written only when the item has one.
constexpr std::uint32_t kIcon = MakeTag('i', 'c', 'o', 'n');
// A column's tab name; written only when it is not empty.
constexpr std::uint32_t kTab = MakeTag('t', 'a', 'b', ' ');
} // namespace tags
