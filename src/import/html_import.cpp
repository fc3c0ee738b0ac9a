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

// Reads a UTF-16 file (either byte order) as UTF-8, for the readers, which read UTF-8. Browsers
// export bookmarks as UTF-8, but other programs write UTF-16 with a byte order mark.
class CUtf16Stream : public CStream
{
public:
    CUtf16Stream(CStream& source, bool bigEndian) : source(&source), bigEndian(bigEndian) {}

    std::int32_t Read(void* destination, std::int32_t count) override
    {
        if (count <= 0) return 0;
        while (out.size() - taken < static_cast<std::size_t>(count) && !ended)
            Convert();
        std::size_t n = std::min(out.size() - taken, static_cast<std::size_t>(count));
        std::memcpy(destination, out.data() + taken, n);
        taken += n;
        if (taken == out.size()) {
            out.clear();
            taken = 0;
        }
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
    std::int32_t Skip(std::int32_t count) override
    {
        char scratch[4096];
        std::int32_t skipped = 0;
        while (skipped < count) {
            std::int32_t got =
                Read(scratch, std::min<std::int32_t>(count - skipped, sizeof scratch));
            if (got <= 0) break;
            skipped += got;
        }
        return skipped;
    }

private:
    // Converts the next piece of the source; at its end, what is left over becomes U+FFFD.
    void Convert()
    {
        char bytes[16384];
        std::int32_t got = source->Read(bytes, sizeof bytes);
        if (got <= 0) {
            ended = true;
            if (odd || high) Append(0xFFFD);
            odd = high = false;
            return;
        }
        for (std::int32_t i = 0; i < got; ++i) {
            if (!odd) {
                first = static_cast<unsigned char>(bytes[i]);
                odd = true;
                continue;
            }
            odd = false;
            unsigned char second = static_cast<unsigned char>(bytes[i]);
            std::uint32_t unit = bigEndian ? (first << 8) | second : (second << 8) | first;
            if (high) {
                high = false;
                if (unit >= 0xDC00 && unit <= 0xDFFF) {
                    Append(0x10000 + ((highUnit - 0xD800) << 10) + (unit - 0xDC00));
                    continue;
                }
                Append(0xFFFD); // a high surrogate without its pair
            }
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                high = true;
                highUnit = unit;
            } else {
                Append(unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit);
            }
        }
    }

    void Append(std::uint32_t c)
    {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    CStream* source; // not owned
    bool bigEndian;
    std::string out; // converted and not yet read, from `taken` on
    std::size_t taken = 0;
    bool ended = false;
    bool odd = false; // `first` holds a unit's first byte
    unsigned char first = 0;
    bool high = false; // `highUnit` waits for its low surrogate
    std::uint32_t highUnit = 0;
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

// How the stream's text is encoded, from its first two bytes, read into `head`: 1 UTF-16
// little-endian, 2 big-endian, 0 UTF-8 (or anything else). A byte order mark tells; so does a
// NUL beside an ASCII character, which no UTF-8 page starts with. `bom` is set when the two bytes
// are a byte order mark rather than text.
int Utf16Order(CStream& stream, std::string& head, bool& bom)
{
    char two[2];
    std::int32_t got = 0;
    while (got < 2) {
        std::int32_t more = stream.Read(two + got, 2 - got);
        if (more <= 0) break;
        got += more;
    }
    head.assign(two, static_cast<std::size_t>(got));
    bom = false;
    if (got < 2) return 0;
    const unsigned char first = static_cast<unsigned char>(two[0]);
    const unsigned char second = static_cast<unsigned char>(two[1]);
    bom = (first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF);
    if ((first == 0xFF && second == 0xFE) || (first > 0 && first < 0x80 && second == 0)) return 1;
    if ((first == 0xFE && second == 0xFF) || (first == 0 && second > 0 && second < 0x80)) return 2;
    return 0;
}

HtmlImportResult ImportUtf8(CProject& project, CStream& stream)
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

} // namespace

HtmlImportResult ImportPageOrBookmarks(CProject& project, CStream& stream)
{
    std::string head;
    bool bom = false;
    const int utf16 = Utf16Order(stream, head, bom);
    if (bom) head.clear();
    CReplayStream whole(std::move(head), stream);
    if (utf16 == 0) return ImportUtf8(project, whole);
    CUtf16Stream converted(whole, utf16 == 2);
    return ImportUtf8(project, converted);
}
