#include "icons/ico_file.h"

#include <algorithm>
#include <cstdint>

namespace {

std::uint32_t Le16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

std::uint32_t Le32(std::string_view bytes, std::size_t at)
{
    return Le16(bytes, at) | Le16(bytes, at + 2) << 16;
}

void PutLe32(std::string& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// How well a size suits a 16-pixel place: lower is better.
int Preference(int side)
{
    if (side == 32) return 0;
    if (side == 16) return 1;
    if (side > 16) return 2 + side; // the smallest larger one
    return 1000 + (256 - side);     // then the largest smaller one
}

} // namespace

std::string ReduceIco(std::string_view ico, std::size_t limit)
{
    constexpr std::size_t kHeader = 6, kEntry = 16;
    if (ico.size() < kHeader || Le16(ico, 0) != 0 || Le16(ico, 2) != 1) return std::string();
    const std::size_t count = Le16(ico, 4);
    if (count == 0 || kHeader + kEntry * count > ico.size()) return std::string();
    std::size_t chosen = count;
    int chosenPreference = 0;
    std::uint32_t chosenBits = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeader + kEntry * i;
        const std::uint64_t size = Le32(ico, entry + 8), offset = Le32(ico, entry + 12);
        // An entry whose image lies outside the file, or overlaps the directory, is passed over.
        if (size == 0 || offset < kHeader + kEntry * count || offset + size > ico.size()) continue;
        int width = static_cast<unsigned char>(ico[entry]);
        int height = static_cast<unsigned char>(ico[entry + 1]);
        int side = std::min(width == 0 ? 256 : width, height == 0 ? 256 : height);
        int preference = Preference(side);
        std::uint32_t bits = Le16(ico, entry + 6);
        if (chosen == count || preference < chosenPreference ||
            (preference == chosenPreference && bits > chosenBits)) {
            chosen = i;
            chosenPreference = preference;
            chosenBits = bits;
        }
    }
    if (chosen == count) return std::string();
    const std::size_t entry = kHeader + kEntry * chosen;
    const std::size_t size = Le32(ico, entry + 8), offset = Le32(ico, entry + 12);
    if (kHeader + kEntry + size > limit) return std::string();
    std::string reduced;
    reduced.reserve(kHeader + kEntry + size);
    reduced.append(ico.substr(0, 4));
    reduced += '\1';
    reduced += '\0';
    reduced.append(ico.substr(entry, kEntry));
    PutLe32(reduced, kHeader + 12, static_cast<std::uint32_t>(kHeader + kEntry));
    reduced.append(ico.substr(offset, size));
    return reduced;
}
