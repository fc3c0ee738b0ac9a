// The homepage in the project's page style. The Classic page: one HTML table with a column per
// project column, the group boxes in its cells, and a hidden block per popup after it, shown by a
// small script in the head. The Modern page is in modern_page.h.
#pragma once

#include "persist/streams.h"

#include <cstddef>
#include <string>

class CColumn;
class CProject;

// How every Classic page starts: with the Modern page's start (modern_page.h) it tells a page of
// this program from another file of the same name.
constexpr char kClassicPageStart[] =
    "<html>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
    "charset=utf-8\">\r\n<head>\r\n<title>";

// Writes the whole page, each piece as its own Write; model text goes out as UTF-8, unescaped.
// A Modern project's page takes the user's language for its lang attribute; every other style is
// written as Classic.
void WritePage(const CProject& project, CStream& stream);
// The content of one column cell: its groups, separated by line breaks.
void WriteColumnCell(const CColumn& column, CStream& stream);

#if defined(__GNUC__)
#define QUIL_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define QUIL_PRINTF(fmt, args)
#endif

// printf-style formatting into a byte string: FormatNarrow replaces `target`, FormatNarrowAppend
// appends to it.
void FormatNarrow(std::string& target, const char* format, ...) QUIL_PRINTF(2, 3);
void FormatNarrowAppend(std::string& target, const char* format, ...) QUIL_PRINTF(2, 3);

// Writes a string literal without its terminator.
template <std::size_t N> void WriteLiteral(CStream& stream, const char (&text)[N])
{
    stream.Write(text, static_cast<std::int32_t>(N - 1));
}
