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

private:
    // Hands a misplaced "<" or ">" to OnError and records where it stopped the read.
    bool Misplaced(const char* at);

    CStream* stream = nullptr; // not owned
    CAlignedBuffer buffer;
    char* start; // first valid byte; placed so that each fill reads to an aligned address
    std::int32_t valid = 0; // valid bytes from `start`
    std::int32_t consumed = 0;
    ScanState state = ScanState::Idle;
    std::int64_t bufferOffset = 0;
    std::int64_t errorOffset = -1;
};
