#include "import/html_import.h"

#include "import/bookmark_parser.h"
#include "import/modern_page_parser.h"
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

const char kBookmarkDoctype[] = "<!doctype netscape-bookmark-file-1>";
const char kHtmlDoctype[] = "<!doctype html>";
const char kModernRoot[] = "<html class=\"quillomere-modern\"";

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// Reads the start of `stream` into `head` as far as it takes to tell the kind. White space is
// read as long as it lasts, so `head` holds it all.
class CKindProbe
{
public:
    CKindProbe(CStream& stream, std::string& head) : stream(stream), head(head) {}

    HtmlFileKind Kind()
    {
        if (Have(3) && std::memcmp(head.data(), "\xEF\xBB\xBF", 3) == 0) at = 3;
        SkipSpace();
        if (Next(kBookmarkDoctype)) return HtmlFileKind::Bookmarks;
        if (!Next(kHtmlDoctype)) return HtmlFileKind::Page;
        SkipSpace();
        return Next(kModernRoot) ? HtmlFileKind::ModernPage : HtmlFileKind::Page;
    }

private:
    // Makes `head` at least `size` bytes long, unless the stream ends first.
    bool Have(std::size_t size)
    {
        char chunk[4096];
        while (head.size() < size) {
            std::int32_t got = stream.Read(chunk, sizeof chunk);
            if (got <= 0) return false;
            head.append(chunk, static_cast<std::size_t>(got));
        }
        return true;
    }

    void SkipSpace()
    {
        while (Have(at + 1) && IsSpace(head[at]))
            ++at;
    }

    // True, and past it, when `literal` (lower case) comes next in any case.
    template <std::size_t N> bool Next(const char (&literal)[N])
    {
        if (!Have(at + N - 1)) return false;
        for (std::size_t i = 0; i + 1 < N; ++i) {
            char c = head[at + i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
            if (c != literal[i]) return false;
        }
        at += N - 1;
        return true;
    }

    CStream& stream;
    std::string& head;
    std::size_t at = 0;
};

} // namespace

HtmlImportResult ImportPageOrBookmarks(CProject& project, CStream& stream)
{
    std::string head;
    const HtmlFileKind kind = CKindProbe(stream, head).Kind();
    CReplayStream whole(std::move(head), stream);
    HtmlImportResult result;
    result.kind = kind;
    auto read = [&whole, &result](CHTMLParser& parser) {
        result.complete = parser.Parse(whole);
        result.errorOffset = parser.ErrorOffset();
    };
    if (kind == HtmlFileKind::Page) {
        CProjectHTMLParser parser(project);
        read(parser);
        result.replacedColumns = parser.ReplacedColumns();
        return result;
    }
    if (kind == HtmlFileKind::ModernPage) {
        CModernPageParser parser(project);
        read(parser);
        result.replacedColumns = parser.ReplacedColumns();
        return result;
    }
    CBookmarkParser parser(project);
    read(parser);
    result.columns = parser.Columns();
    result.groups = parser.Groups();
    result.links = parser.Links();
    result.skipped = parser.Skipped();
    return result;
}
