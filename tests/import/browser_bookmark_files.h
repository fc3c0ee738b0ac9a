// Bookmark files written by hand in the manner of the major browsers' exports, for the reader's
// tests and as seeds of the import fuzzer.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct BookmarkSample
{
    const char* name;
    std::string bytes;
    // The project the file reads into, as the command-line dump prints it.
    const char* dump;
    std::size_t columns, groups, links, skipped;
};

// Firefox (menu bookmarks loose at the top, toolbar and other bookmarks folders, descriptions,
// tags, smart place: bookmarks), Chrome (a 20 KB icon, loose other bookmarks), Internet Explorer
// (valueless and unquoted attributes) and a hand-made lower-case file (missing </a>, folders three
// deep, an empty title).
std::vector<BookmarkSample> BrowserBookmarkFiles();

// A base64 text of `size` bytes, as ICON attributes carry.
std::string Base64Filler(std::size_t size);
