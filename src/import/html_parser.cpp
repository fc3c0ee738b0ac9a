#include "import/html_parser.h"

#include <cstring>

#if defined(_MSC_VER)
#include <intrin.h>
#endif
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUIL_HAVE_SSE2 1
#endif

namespace {

// The index of the lowest set bit of a non-zero mask.
inline int LowestBit(unsigned mask)
{
#if defined(_MSC_VER)
    unsigned long index;
    _BitScanForward(&index, mask);
    return static_cast<int>(index);
#else
    return __builtin_ctz(mask);
#endif
}

// The position of the first "<" or ">" in [from, end), or `end`. Sixteen bytes at a time where
// the processor allows: nearly every byte of a page is looked at here.
std::int32_t FindAngle(const char* bytes, std::int32_t from, std::int32_t end)
{
    std::int32_t i = from;
#if defined(QUIL_HAVE_SSE2)
    const __m128i open = _mm_set1_epi8('<'), close = _mm_set1_epi8('>');
    for (; i + 16 <= end; i += 16) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        int mask = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, open), _mm_cmpeq_epi8(chunk, close)));
        if (mask != 0) return i + LowestBit(static_cast<unsigned>(mask));
    }
#endif
    for (; i < end; ++i) {
        if (bytes[i] == '<' || bytes[i] == '>') return i;
    }
    return end;
}

} // namespace

CHTMLParser::CHTMLParser() : buffer(kBufferSize + 64), start(buffer.Data()) {}

bool CHTMLParser::Parse(CStream& source)
{
    stream = &source;
    state = ScanState::Idle;
    bufferOffset = 0;
    start = buffer.Data();
    valid = 0;
    // Reads until the buffer is full or the input ends, so that a short read is not taken for
    // a tag that does not fit.
    auto fill = [this](char* to, std::int32_t room) {
        std::int32_t total = 0;
        while (total < room) {
            std::int32_t got = stream->Read(to + total, room - total);
            if (got <= 0) break;
            total += got;
        }
        return total;
    };
    valid = fill(start, kBufferSize);
    if (!Scan()) return false;
    for (;;) {
        if (consumed == 0) {
            // A tag that fills the whole buffer: read past it if the parser can do without it.
            if (!browserTags || state != ScanState::InTag || valid != kBufferSize ||
                !OnTagTooLarge(start, valid))
                return false;
            // The scan of the buffer left tagState where the tag's reading stands at its end.
            state = ScanState::SkipTag;
            consumed = valid;
        }
        std::int32_t left = valid - consumed;
        // Keep the next read's target 64-byte aligned: reads into unaligned memory are slow.
        char* moved = buffer.Data() + (64 - left % 64) % 64;
        std::memmove(moved, start + consumed, static_cast<std::size_t>(left));
        bufferOffset += consumed;
        start = moved;
        valid = left;
        std::int32_t got = fill(start + left, kBufferSize - left);
        if (got == 0) {
            // Ended inside a tag, whatever of it is still held.
            if (left > 0 || state == ScanState::InTag || state == ScanState::SkipTag) return false;
            OnEnd();
            return true;
        }
        valid += got;
        if (!Scan()) return false;
    }
}

bool CHTMLParser::OnError(const char*)
{
    return false;
}

bool CHTMLParser::OnTagTooLarge(const char*, std::int32_t)
{
    return false;
}

namespace {

bool IsTagSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The tokenizer's step through a tag's content, one byte outside a quoted value at a time.
TagState NextTagState(TagState state, char c)
{
    const bool space = IsTagSpace(c);
    switch (state) {
    case TagState::TagName:
        return space ? TagState::BeforeName : TagState::TagName;
    case TagState::BeforeName:
    case TagState::AfterName:
        if (space) return state;
        if (c == '=' && state == TagState::AfterName) return TagState::BeforeValue;
        return TagState::Name;
    case TagState::Name:
        if (space) return TagState::AfterName;
        return c == '=' ? TagState::BeforeValue : TagState::Name;
    case TagState::BeforeValue:
        if (space) return state;
        return c == '"' || c == '\'' ? TagState::Quoted : TagState::Unquoted;
    case TagState::Unquoted:
        return space ? TagState::BeforeName : TagState::Unquoted;
    case TagState::Quoted:
        break;
    }
    return state;
}

} // namespace

std::int32_t CHTMLParser::FindTagEnd(const char* bytes, std::int32_t position, std::int32_t end,
                                     bool skipping)
{
    while (position < end) {
        if (tagState == TagState::Quoted) {
            // Most of a bookmark file's tag bytes are quoted values: an address, an icon.
            const void* close =
                std::memchr(bytes + position, tagQuote, static_cast<std::size_t>(end - position));
            if (!close) return end;
            position = static_cast<std::int32_t>(static_cast<const char*>(close) - bytes) + 1;
            tagState = TagState::BeforeName;
            continue;
        }
        const char c = bytes[position];
        if (c == '>') return position;
        if (c == '<' && !skipping) {
            if (!Misplaced(bytes + position)) return -1;
        } else {
            const TagState next = NextTagState(tagState, c);
            if (next == TagState::Quoted) tagQuote = c;
            tagState = next;
        }
        ++position;
    }
    return end;
}

bool CHTMLParser::Misplaced(const char* at)
{
    if (OnError(at)) return true;
    errorOffset = bufferOffset + (at - start);
    return false;
}

bool CHTMLParser::Scan()
{
    const char* bytes = start;
    const std::int32_t end = valid;
    std::int32_t position = 0, runStart = 0, tagStart = 0;
    while (position < end) {
        switch (state) {
        case ScanState::Idle:
        case ScanState::InText: {
            std::int32_t hit = FindAngle(bytes, position, end);
            if (hit == end) {
                position = end;
            } else if (bytes[hit] == '<') {
                if (state == ScanState::InText) OnText(bytes + runStart, hit - runStart);
                tagStart = position = hit + 1;
                state = ScanState::InTag;
            } else {
                if (!Misplaced(bytes + hit)) return false;
                position = hit + 1;
            }
            break;
        }
        case ScanState::InTag: {
            // "<!--" opens a comment: a "-" as the third content byte after "!-".
            if (position == tagStart && (tagStart == end || bytes[tagStart] == '!')) {
                std::int32_t have = end - tagStart < 3 ? end - tagStart : 3;
                if (std::memcmp(bytes + tagStart, "!--", static_cast<std::size_t>(have)) == 0) {
                    if (have < 3) {
                        position = end; // undecided until the next fill brings the rest
                        break;
                    }
                    state = ScanState::InComment;
                    position = tagStart + 3;
                    break;
                }
            }
            if (browserTags) {
                // A partial tag is read again from its start after the next fill.
                if (position == tagStart) tagState = TagState::TagName;
                std::int32_t close = FindTagEnd(bytes, position, end, false);
                if (close < 0) return false;
                position = close;
                if (close < end) {
                    OnTag(bytes + tagStart, close - tagStart);
                    runStart = position = close + 1;
                    state = ScanState::InText;
                }
                break;
            }
            std::int32_t hit = FindAngle(bytes, position, end);
            if (hit == end) {
                position = end;
            } else if (bytes[hit] == '>') {
                OnTag(bytes + tagStart, hit - tagStart);
                runStart = position = hit + 1;
                state = ScanState::InText;
            } else {
                if (!Misplaced(bytes + hit)) return false;
                position = hit + 1;
            }
            break;
        }
        case ScanState::InComment: {
            const void* dash =
                std::memchr(bytes + position, '-', static_cast<std::size_t>(end - position));
            if (!dash) {
                position = end;
            } else {
                position = static_cast<std::int32_t>(static_cast<const char*>(dash) - bytes) + 1;
                state = ScanState::CommentDash;
            }
            break;
        }
        case ScanState::SkipTag: {
            std::int32_t close = FindTagEnd(bytes, position, end, true);
            position = close;
            if (close < end) {
                // The text after the tag is collected again, as after any tag.
                runStart = position = close + 1;
                state = ScanState::InText;
            }
            break;
        }
        case ScanState::CommentDash:
            state = bytes[position] == '-' ? ScanState::CommentDashDash : ScanState::InComment;
            ++position;
            break;
        case ScanState::CommentDashDash:
            if (bytes[position] == '>') {
                state = ScanState::Idle;
            } else if (bytes[position] != '-') {
                state = ScanState::InComment;
            }
            ++position;
            break;
        }
    }
    switch (state) {
    case ScanState::InTag:
        // The "<" is consumed; the partial content moves to the front and is scanned again.
        consumed = tagStart;
        break;
    case ScanState::InText:
        if (end > runStart) OnText(bytes + runStart, end - runStart);
        consumed = end;
        break;
    case ScanState::CommentDash:
    case ScanState::CommentDashDash:
        // The last two bytes again with the next fill, so that a "-->" split across fills shows.
        consumed = end >= 2 ? end - 2 : 0;
        break;
    default:
        consumed = end;
    }
    return true;
}

namespace {

// What a byte means to the attribute grammar.
enum ByteClass : unsigned char
{
    kOther,
    kSpace,
    kQuote,
    kEquals
};

struct ByteClasses
{
    ByteClass of[256];
    constexpr ByteClasses() : of()
    {
        for (int i = 0; i < 256; ++i)
            of[i] = kOther;
        of[static_cast<unsigned char>(' ')] = of[static_cast<unsigned char>('\t')] = kSpace;
        of[static_cast<unsigned char>('\r')] = of[static_cast<unsigned char>('\n')] = kSpace;
        of[static_cast<unsigned char>('"')] = of[static_cast<unsigned char>('\'')] = kQuote;
        of[static_cast<unsigned char>('=')] = kEquals;
    }
};
constexpr ByteClasses kClasses;

} // namespace

// The grammar's states (reading the name, between attributes, attribute name, after "=", quoted
// and unquoted value) as loops over runs of bytes of one class.
bool CHTMLParser::SplitTag(const char* content, std::int32_t length, std::string_view& name,
                           TagAttributes& attributes)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(content);
    auto classOf = [bytes](std::int32_t at) { return kClasses.of[bytes[at]]; };
    auto view = [content](std::int32_t from, std::int32_t to) {
        return std::string_view(content + from, static_cast<std::size_t>(to - from));
    };
    name = std::string_view();
    attributes.clear();

    std::int32_t i = 0;
    while (i < length && classOf(i) == kOther)
        ++i;
    if (i == length) {
        name = view(0, length);
        return true;
    }
    if (classOf(i) != kSpace) return false;
    name = view(0, i);
    for (;;) {
        while (i < length && classOf(i) == kSpace)
            ++i;
        if (i == length) return true;
        if (classOf(i) != kOther) return false;
        std::int32_t nameStart = i;
        while (i < length && classOf(i) == kOther)
            ++i;
        std::string_view attributeName = view(nameStart, i);
        if (i == length || classOf(i) == kSpace) {
            attributes.push_back(TagAttribute{attributeName, false, std::string_view()});
            if (i == length) return true;
            continue;
        }
        if (classOf(i) == kQuote) return false;
        ++i; // "="
        while (i < length && classOf(i) == kSpace)
            ++i;
        if (i == length) {
            // "href=" at the end: an empty value, as a browser reads it.
            attributes.push_back(TagAttribute{attributeName, true, std::string_view()});
            return true;
        }
        if (classOf(i) == kQuote) {
            std::int32_t valueStart = i + 1;
            const void* close = std::memchr(content + valueStart, content[i],
                                            static_cast<std::size_t>(length - valueStart));
            if (!close) return false;
            i = static_cast<std::int32_t>(static_cast<const char*>(close) - content);
            attributes.push_back(TagAttribute{attributeName, true, view(valueStart, i)});
            ++i;
            continue;
        }
        // An unquoted value runs to white space, "=" and quotes included, as in a browser
        // ("?a=1&b=2", base64 padding).
        std::int32_t valueStart = i;
        while (i < length && classOf(i) != kSpace)
            ++i;
        attributes.push_back(TagAttribute{attributeName, true, view(valueStart, i)});
        if (i == length) return true;
    }
}

std::string_view CHTMLParser::GetAttribute(const TagAttributes& attributes, std::string_view name)
{
    for (const TagAttribute& attribute : attributes) {
        // The length and the first byte settle most comparisons without a call.
        if (attribute.name.size() == name.size() &&
            (name.empty() || attribute.name[0] == name[0]) && attribute.name == name)
            return attribute.value;
    }
    return std::string_view();
}
