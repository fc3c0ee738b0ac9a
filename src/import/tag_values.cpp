#include "import/tag_values.h"

#include "platform/platform.h"

#include <climits>

std::string Lower(std::string_view bytes)
{
    std::string lower(bytes);
    if (!lower.empty()) platform::LowerAnsi(&lower[0], static_cast<std::uint32_t>(lower.size()));
    return lower;
}

std::int32_t SizeAttribute(std::string_view text)
{
    if (text.empty()) return -1;
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' ||
                               text[i] == '\n' || text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<std::int64_t>(INT_MAX) + 1)
            value = static_cast<std::int64_t>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<std::int32_t>(value);
}
