// Synthetic projects of a chosen size for the benchmarks and the fuzzers' seeds: every node kind,
// texts of realistic lengths, a little non-ASCII, popups, dividers, selects and hidden fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CProject;
class CStream;

// Fills `project` with about `items` items spread over five columns.
void BuildSyntheticProject(CProject& project, std::size_t items, std::uint32_t seed = 1);
// Fills `project` until its page is about `pageBytes` long; returns the page's exact length.
std::size_t BuildSyntheticProjectOfPageSize(CProject& project, std::size_t pageBytes);
// A browser bookmark file of about `bytes` bytes, as the browsers export one: nested folders,
// bookmarks with dates and (with `icons`) base64 icons of one to four kilobytes, descriptions,
// separators and a few smart place: bookmarks.
std::string SyntheticBookmarkFile(std::size_t bytes, bool icons = true);
// The same, but the project is then saved and loaded back, as the program always gets its
// project: its nodes lie in memory as a load places them.
std::size_t LoadSyntheticProjectOfPageSize(CProject& project, std::size_t pageBytes);
