// A growing byte buffer whose append is inline: the importer appends every text run between two
// tags, most of them a line break or nothing.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

class CTextBuffer
{
public:
    void Append(const char* bytes, std::size_t count)
    {
        if (size + count > capacity) Grow(size + count);
        if (count > 0) std::memcpy(data.get() + size, bytes, count);
        size += count;
    }
    void Clear() { size = 0; }
    void Swap(CTextBuffer& other)
    {
        std::swap(data, other.data);
        std::swap(size, other.size);
        std::swap(capacity, other.capacity);
    }
    std::string_view View() const { return std::string_view(data.get(), size); }

private:
    void Grow(std::size_t needed)
    {
        std::size_t grown = capacity * 2 > needed ? capacity * 2 : needed + 64;
        std::unique_ptr<char[]> larger(new char[grown]);
        if (size > 0) std::memcpy(larger.get(), data.get(), size);
        data = std::move(larger);
        capacity = grown;
    }

    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::size_t capacity = 0;
};
