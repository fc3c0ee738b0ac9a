// Reading an HTML file into the project: a browser bookmark file when the file says it is one,
// otherwise a homepage of the program's own layout. The command line and the editor's
// "Read HTML file..." both come here.
#pragma once

#include "import/bookmark_parser.h"

#include <cstddef>
#include <cstdint>

class CProject;
class CStream;

enum class HtmlFileKind
{
    Page, // a Classic homepage, or any other page
    Bookmarks,
    ModernPage, // a Modern homepage of ours
};

struct HtmlImportResult
{
    HtmlFileKind kind = HtmlFileKind::Page;
    // The file was read to its end (for a page: what the page import's Parse returned).
    bool complete = false;
    // Where a misplaced "<" or ">" stopped the read (in a UTF-16 file, the byte of its UTF-8
    // text); -1 when none did (an incomplete read
    // without it ran out inside a tag or a comment, or was empty).
    std::int64_t errorOffset = -1;
    // Pages only: an <html> tag emptied the project's columns before the page's were added.
    bool replacedColumns = false;
    // Bookmark files only: what the read added, and the bookmarks it left out.
    std::size_t columns = 0;
    std::size_t groups = 0;
    std::size_t links = 0;
    SkippedBookmarks skipped;
};

// Reads a file that starts with a UTF-16 byte order mark (either byte order), or with an ASCII
// character as UTF-16 writes it, as UTF-16, and any other as UTF-8. Tells the kind from the start
// of the text (an optional UTF-8 byte order mark and white space, then <!DOCTYPE
// NETSCAPE-Bookmark-file-1> for a bookmark file, or <!DOCTYPE html>, white space and <html
// class="quillomere-modern" for a Modern page, in any case) and reads the whole stream with the
// matching reader. What was read before a failure stays in the project. The `modified` flag is left
// alone.
HtmlImportResult ImportPageOrBookmarks(CProject& project, CStream& stream);
