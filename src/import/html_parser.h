// A small HTML tokenizer: finds tags, text runs and comments in bytes read from a stream and
// hands them to a concrete parser. Bytes are bytes: no entities, no CDATA, no script content.
#pragma once

#include "persist/streams.h"

#include <cstdint>
#include <string_view>
#include <vector>

// One attribute of a tag. The views point into the tokenizer's buffer and are valid while the
// tag is being handled.
struct TagAttribute
{
    std::string_view name;
    bool hasValue = false; // written with "=" and a value
    std::string_view value;
};
using TagAttributes = std::vector<TagAttribute>;

enum class ScanState
{
    InTag = 1,           // inside a tag, after its "<"
    Idle = 2,            // outside tags, text not collected (start; after a comment)
    InText = 3,          // after a tag's ">", text collected
    InComment = 4,       // inside a comment opened by "<!--"
    CommentDash = 5,     // inside a comment, one "-" just seen
    CommentDashDash = 6, // inside a comment, "--" just seen
    SkipTag = 7,         // inside a tag too large for the buffer, read past to its end
};

// Where a tag's content is, as a browser's tokenizer reads it: what a quote opens, and so where
// a ">" ends the tag.
enum class TagState : unsigned char
{
    TagName,     // the element's name
    BeforeName,  // white space before an attribute
    Name,        // an attribute's name
    AfterName,   // white space after a name, before "=" or the next attribute
    BeforeValue, // after "=", before the value
    Unquoted,    // an unquoted value, which white space ends
    Quoted,      // a quoted value, which only its quote ends
};

class CHTMLParser
{
public:
    static constexpr std::int32_t kBufferSize = 524288;

    // Reads the whole stream through the tokenizer; true only when the input ended cleanly and
    // OnEnd was called.
    bool Parse(CStream& stream);

    // Splits a tag's content into its name and attributes; false for content that does not
    // follow the attribute grammar.
    static bool SplitTag(const char* content, std::int32_t length, std::string_view& name,
                         TagAttributes& attributes);
    // The value of the first attribute named exactly `name`; empty when there is none.
    static std::string_view GetAttribute(const TagAttributes& attributes, std::string_view name);

    // Set when a misplaced "<" or ">" stopped the read.
    bool Failed() const { return errorOffset >= 0; }
    // The position in the input of that "<" or ">"; -1 when there was none.
    std::int64_t ErrorOffset() const { return errorOffset; }

    // Where in the input the last fill of the buffer began (for reporting positions).
    std::int64_t BufferOffset() const { return bufferOffset; }
    const char* BufferStart() const { return start; }

protected:
    CHTMLParser();
    ~CHTMLParser() = default;
    CHTMLParser(const CHTMLParser&) = delete;
    CHTMLParser& operator=(const CHTMLParser&) = delete;

    // The tag content between "<" and ">".
    virtual void OnTag(const char* content, std::int32_t length) = 0;
    // A run of text; a long run may come in several calls.
    virtual void OnText(const char* text, std::int32_t length) = 0;
    // A misplaced "<" or ">"; true to go on, false (the default) to stop.
    virtual bool OnError(const char* at);
    // The input ended cleanly.
    virtual void OnEnd() = 0;

    // Tokenizes the bytes now in the buffer; false when OnError asked to stop.
    bool Scan();

    // Reads tags as a browser does, for files that other programs write: a "<" or ">" inside a
    // quoted attribute value belongs to the value, and a tag too large for the buffer goes to
    // OnTagTooLarge. Set before Parse.
    void ReadTagsAsBrowsers() { browserTags = true; }
    // A tag larger than the buffer: its first `length` bytes of content. True to read past the
    // rest of it and go on, false (the default) to stop. Only with ReadTagsAsBrowsers.
    virtual bool OnTagTooLarge(const char* content, std::int32_t length);

private:
    // Hands a misplaced "<" or ">" to OnError and records where it stopped the read.
    bool Misplaced(const char* at);
    // Reads tag content from `position` as a browser's tokenizer does, until the ">" that ends
    // the tag (returned) or `end`. A "<" outside quotes is misplaced; while skipping a tag that
    // is too large it is part of the tag. -1 when OnError asked to stop.
    std::int32_t FindTagEnd(const char* bytes, std::int32_t position, std::int32_t end,
                            bool skipping);

    CStream* stream = nullptr; // not owned
    CAlignedBuffer buffer;
    char* start; // first valid byte; placed so that each fill reads to an aligned address
    std::int32_t valid = 0; // valid bytes from `start`
    std::int32_t consumed = 0;
    ScanState state = ScanState::Idle;
    std::int64_t bufferOffset = 0;
    std::int64_t errorOffset = -1;
    bool browserTags = false;
    TagState tagState = TagState::TagName; // with browserTags: where the tag's reading is
    char tagQuote = 0;                     // the quote of a Quoted value
};
