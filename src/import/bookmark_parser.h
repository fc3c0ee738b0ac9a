// Reads a browser bookmark file (the HTML every browser exports, starting with
// <!DOCTYPE NETSCAPE-Bookmark-file-1>) into the project: each folder in the outermost list becomes
// a column, the folder's own bookmarks and each folder below it a group, each bookmark a link
// item. The columns are appended; nothing already in the project is touched.
#pragma once

#include "import/html_parser.h"
#include "import/text_buffer.h"
#include "model/link_icon.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CColumn;
class CGroup;
class CItemLink;
class CProject;

// The bookmarks a read left out, by why.
struct SkippedBookmarks
{
    std::size_t withoutAddress = 0; // anchors without an HREF
    std::size_t places = 0;         // place: addresses (a browser's saved searches)
    std::size_t scripts = 0;        // javascript: and vbscript: addresses, however spelt
    std::size_t tooLarge = 0;       // a tag larger than the reader's buffer (a huge icon)

    std::size_t Total() const { return withoutAddress + places + scripts + tooLarge; }
};

// The reasons with their counts, for a summary: "1 too large, 2 script addresses"; empty when
// none was skipped.
std::string SkipReasonsText(const SkippedBookmarks& skipped);

class CBookmarkParser : public CHTMLParser
{
public:
    explicit CBookmarkParser(CProject& project);
    ~CBookmarkParser();

    // What the read made so far, and the bookmarks it left out.
    std::size_t Columns() const { return columns; }
    std::size_t Groups() const { return groups; }
    std::size_t Links() const { return links; }
    const SkippedBookmarks& Skipped() const { return skipped; }
    // The column of the bookmarks outside any folder, once one was read; null before.
    const CColumn* LooseColumn() const { return looseColumn; }

    // What the open folders take in memory (for tests of very deep nesting).
    std::size_t FolderStackBytes() const
    {
        return folders.capacity() * sizeof(Folder) + folderNames.capacity();
    }

    // Group captions that name a path longer than this many bytes keep their last folders only.
    static constexpr std::size_t kPathBytes = 256;

protected:
    void OnTag(const char* content, std::int32_t length) override;
    bool OnTagTooLarge(const char* content, std::int32_t length) override;
    void OnText(const char* text, std::int32_t length) override;
    void OnEnd() override;

private:
    // The text being collected, and what it belongs to.
    enum class Capture
    {
        None,
        Title,       // the file's <TITLE>
        Heading,     // the file's <H1>
        FolderName,  // a folder's <H3>
        Anchor,      // a bookmark's title
        Description, // a <DD> after a bookmark
    };
    // One open list: the outermost one, or a folder's. The names live in one byte string, so
    // that deep nesting costs a few bytes per level.
    struct Folder
    {
        std::uint32_t nameStart;
        std::uint32_t nameLength;
        // Bytes of the path from the first folder below the column down to this one, held at
        // kPathBytes + 1 once it is longer.
        std::uint32_t pathLength;
        // Lists opened without a heading inside this one: they add no level.
        std::uint32_t unnamedLists;
        CColumn* column; // not owned; the column of a folder directly in the outermost list
        CGroup* group;   // not owned; the group of the folder's own bookmarks, once made
    };

    void EndCapture();
    void OpenList();
    void CloseList();
    void AddBookmark();
    CGroup* GroupForBookmark();
    std::string FolderName(const Folder& folder) const;
    std::string GroupPath() const;

    CProject* project; // not owned
    std::size_t columns = 0, groups = 0, links = 0;
    SkippedBookmarks skipped;

    Capture capture = Capture::None;
    CTextBuffer text;
    std::string heading;                // the <H1> text, collapsed
    std::string href;                   // the address of the bookmark being read
    bool hasHref = false;               // it had an HREF attribute
    bool folderPending = false;         // a folder's name was read and its list is awaited
    std::string pendingFolderName;      // collapsed
    CItemLink* lastBookmark = nullptr;  // not owned; the item a <DD> would describe
    CItemLink* describedItem = nullptr; // not owned; the item the <DD> being read describes
    std::vector<Folder> folders;
    std::string folderNames;
    CColumn* looseColumn = nullptr; // not owned; for the bookmarks directly in the outermost list
    CGroup* looseGroup = nullptr;   // not owned

    // The icon of the bookmark being read, from its ICON attribute.
    std::shared_ptr<const CLinkIcon> pendingIcon;

    // Reused for every tag: its attributes, and a title that needs collapsing.
    TagAttributes attributes;
    std::string scratch;
};
