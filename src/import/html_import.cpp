#include "import/html_import.h"

#include "import/bookmark_parser.h"
#include "import/project_html_parser.h"
#include "persist/streams.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// Hands out the bytes looked at to tell the kind, then the rest of the stream: the stream cannot
// be rewound, and the reader must see the file from its first byte.
class CReplayStream : public CStream
{
public:
    CReplayStream(std::string head, CStream& rest) : head(std::move(head)), rest(&rest) {}

    std::int32_t Read(void* destination, std::int32_t count) override
    {
        if (position == head.size()) return rest->Read(destination, count);
        std::size_t n = std::min(head.size() - position, static_cast<std::size_t>(count));
        std::memcpy(destination, head.data() + position, n);
        position += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
    std::int32_t Skip(std::int32_t count) override
    {
        if (position == head.size()) return rest->Skip(count);
        std::size_t n = std::min(head.size() - position, static_cast<std::size_t>(count));
        position += n;
        return static_cast<std::int32_t>(n);
    }

private:
    std::string head;
    std::size_t position = 0;
    CStream* rest; // not owned
};

const char kDoctype[] = "<!doctype netscape-bookmark-file-1>";
constexpr std::size_t kDoctypeLength = sizeof kDoctype - 1;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// Reads from `stream` into `head` until the kind is known; true for a bookmark file. White space
// before the doctype is read as long as it lasts, so `head` holds it all.
bool StartsAsBookmarkFile(CStream& stream, std::string& head)
{
    std::size_t at = 0;
    // Makes `head` at least `size` bytes long, unless the stream ends first.
    auto have = [&stream, &head](std::size_t size) {
        char chunk[4096];
        while (head.size() < size) {
            std::int32_t got = stream.Read(chunk, sizeof chunk);
            if (got <= 0) return false;
            head.append(chunk, static_cast<std::size_t>(got));
        }
        return true;
    };
    if (have(3) && std::memcmp(head.data(), "\xEF\xBB\xBF", 3) == 0) at = 3;
    for (;;) {
        if (!have(at + 1)) return false;
        if (!IsSpace(head[at])) break;
        ++at;
    }
    if (!have(at + kDoctypeLength)) return false;
    for (std::size_t i = 0; i < kDoctypeLength; ++i) {
        char c = head[at + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
        if (c != kDoctype[i]) return false;
    }
    return true;
}

} // namespace

HtmlImportResult ImportPageOrBookmarks(CProject& project, CStream& stream)
{
    std::string head;
    const bool bookmarks = StartsAsBookmarkFile(stream, head);
    CReplayStream whole(std::move(head), stream);
    HtmlImportResult result;
    if (!bookmarks) {
        CProjectHTMLParser parser(project);
        result.complete = parser.Parse(whole);
        result.errorOffset = parser.ErrorOffset();
        result.replacedColumns = parser.ReplacedColumns();
        return result;
    }
    CBookmarkParser parser(project);
    result.kind = HtmlFileKind::Bookmarks;
    result.complete = parser.Parse(whole);
    result.errorOffset = parser.ErrorOffset();
    result.columns = parser.Columns();
    result.groups = parser.Groups();
    result.links = parser.Links();
    result.skipped = parser.Skipped();
    return result;
}
