// Space, TAB, CR and LF: the white space that titles, captions and descriptions lose at their
// ends, in model text and in page bytes alike.
#pragma once

#include <string_view>

template <typename Char> constexpr bool IsBlank(Char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// `text` without the blanks at its ends.
template <typename Char> std::basic_string_view<Char> TrimBlanks(std::basic_string_view<Char> text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}
