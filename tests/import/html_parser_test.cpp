#include "import/html_parser.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Logs every callback as text: "tag:CONTENT", "text:TEXT", "error:OFFSET", "end".
class CLoggingParser : public CHTMLParser
{
public:
    bool ParseText(const std::string& input, std::int32_t readLimit = 0x7FFFFFFF)
    {
        source = input;
        CRecordingStream stream(input);
        stream.readLimit = readLimit;
        return Parse(stream);
    }
    // Joins adjacent text callbacks, as a receiver does.
    std::vector<std::string> Joined() const
    {
        std::vector<std::string> joined;
        for (const std::string& entry : log) {
            if (!joined.empty() && entry.rfind("text:", 0) == 0 &&
                joined.back().rfind("text:", 0) == 0)
                joined.back() += entry.substr(5);
            else
                joined.push_back(entry);
        }
        return joined;
    }

    // Reads tags as browsers do; a tag too large for the buffer is logged as
    // "large:FIRST-10-BYTES" and read past.
    void AsBrowsers() { ReadTagsAsBrowsers(); }

    std::vector<std::string> log;
    bool goOnAfterErrors = false;

protected:
    void OnTag(const char* content, std::int32_t length) override
    {
        log.push_back("tag:" + std::string(content, static_cast<std::size_t>(length)));
    }
    void OnText(const char* text, std::int32_t length) override
    {
        log.push_back("text:" + std::string(text, static_cast<std::size_t>(length)));
    }
    bool OnError(const char* at) override
    {
        log.push_back("error:" + std::to_string(BufferOffset() + (at - BufferStart())));
        return goOnAfterErrors;
    }
    void OnEnd() override { log.push_back("end"); }
    bool OnTagTooLarge(const char* content, std::int32_t length) override
    {
        EXPECT_EQ(length, kBufferSize);
        log.push_back("large:" + std::string(content, 10));
        return true;
    }

private:
    std::string source;
};

using Log = std::vector<std::string>;

struct Split
{
    bool ok;
    std::string name;
    std::vector<std::string> attributes; // "name=value", "name" without value
};

Split SplitText(const std::string& content)
{
    std::string_view name;
    TagAttributes attributes;
    Split result{CHTMLParser::SplitTag(content.data(), static_cast<std::int32_t>(content.size()),
                                       name, attributes),
                 std::string(name),
                 {}};
    for (const TagAttribute& attribute : attributes) {
        result.attributes.push_back(std::string(attribute.name) +
                                    (attribute.hasValue ? "=" + std::string(attribute.value) : ""));
    }
    return result;
}

} // namespace

TEST(Tokenizer, TextBeforeTheFirstTagIsDropped)
{
    CLoggingParser parser;
    EXPECT_TRUE(parser.ParseText("ab<p>cd"));
    EXPECT_EQ(parser.log, (Log{"tag:p", "text:cd", "end"}));
}

TEST(Tokenizer, EmptyRunsBetweenTagsAreDelivered)
{
    CLoggingParser parser;
    EXPECT_TRUE(parser.ParseText("<b></b>"));
    EXPECT_EQ(parser.log, (Log{"tag:b", "text:", "tag:/b", "end"}));
}

TEST(Tokenizer, CommentsAndTheTextAfterThemAreSkipped)
{
    CLoggingParser parser;
    EXPECT_TRUE(parser.ParseText("<!-- a > b -->x<i>y<!---->z<!-x->"));
    EXPECT_EQ(parser.log, (Log{"tag:i", "text:y", "tag:!-x-", "end"}));
}

TEST(Tokenizer, MisplacedAngleBracketsAreErrors)
{
    CLoggingParser stop;
    EXPECT_FALSE(stop.ParseText("<p>a > b</p>"));
    EXPECT_EQ(stop.log, (Log{"tag:p", "error:5"}));

    CLoggingParser goOn;
    goOn.goOnAfterErrors = true;
    EXPECT_TRUE(goOn.ParseText("<a<b>c>d"));
    // The misplaced byte stays part of the text run.
    EXPECT_EQ(goOn.Joined(), (Log{"error:2", "tag:a<b", "error:6", "text:c>d", "end"}));
}

TEST(Tokenizer, InputThatDoesNotEndCleanlyFails)
{
    for (const char* input : {"", "<p>text<b", "<p>text<", "<p><!-- open -", "<p><!-- open --"}) {
        CLoggingParser parser;
        EXPECT_FALSE(parser.ParseText(input)) << input;
        EXPECT_TRUE(parser.log.empty() || parser.log.back() != "end") << input;
    }
    // An unterminated comment without closing dashes reads to its end.
    CLoggingParser open;
    EXPECT_TRUE(open.ParseText("<p><!-- open"));
}

TEST(Tokenizer, PiecesSplitAcrossBufferFillsArriveWhole)
{
    const std::size_t fill = CHTMLParser::kBufferSize;
    // A tag that starts just before the end of the first fill.
    std::string input = "<p>" + std::string(fill - 6, 'x') + "<split attr=\"v\">tail";
    CLoggingParser parser;
    EXPECT_TRUE(parser.ParseText(input));
    EXPECT_EQ(parser.Joined(), (Log{"tag:p", "text:" + std::string(fill - 6, 'x'),
                                    "tag:split attr=\"v\"", "text:tail", "end"}));

    // A comment whose "-->" straddles the fill boundary, and one whose "<!--" does.
    for (std::size_t at : {fill - 1, fill - 2, fill - 3}) {
        std::string comment = "<p>" + std::string(at - 3 - 6, 'y') + "<!-- x" + "-->z<q>";
        CLoggingParser dashes;
        EXPECT_TRUE(dashes.ParseText(comment)) << at;
        EXPECT_EQ(dashes.Joined().back(), "end");
        EXPECT_EQ(dashes.Joined()[dashes.Joined().size() - 2], "tag:q") << at;
        std::string opening = "<p>" + std::string(at - 3, 'y') + "<!--a>b-->c<r>";
        CLoggingParser start;
        EXPECT_TRUE(start.ParseText(opening)) << at;
        EXPECT_EQ(start.Joined()[start.Joined().size() - 2], "tag:r") << at;
    }
}

TEST(Tokenizer, ShortReadsChangeNothing)
{
    std::string input = "<html><p a='1'>one</p><!-- c --><b>two</b></html>";
    CLoggingParser whole, trickle;
    EXPECT_TRUE(whole.ParseText(input));
    EXPECT_TRUE(trickle.ParseText(input, 3));
    EXPECT_EQ(whole.Joined(), trickle.Joined());
}

TEST(Tokenizer, ATagThatFillsTheWholeBufferFails)
{
    CLoggingParser parser;
    EXPECT_FALSE(parser.ParseText("<p>" + std::string("<") +
                                  std::string(CHTMLParser::kBufferSize, 'a') + ">"));
}

TEST(Tokenizer, ReadAsBrowsersQuotedValuesHoldAngleBrackets)
{
    // A quote opens a value only after "=": not inside an unquoted value, a name or the
    // element's name. A "<" outside quotes is still misplaced.
    CLoggingParser parser;
    parser.AsBrowsers();
    EXPECT_TRUE(parser.ParseText("<a href=\"?q=<b>\" title = '1 > 0'>t<b x=y\"z>u<c\"d>v"
                                 "<e f= g=\">w"));
    EXPECT_EQ(parser.Joined(),
              (Log{"tag:a href=\"?q=<b>\" title = '1 > 0'", "text:t", "tag:b x=y\"z", "text:u",
                   "tag:c\"d", "text:v", "tag:e f= g=\"", "text:w", "end"}));

    CLoggingParser stray;
    stray.AsBrowsers();
    EXPECT_FALSE(stray.ParseText("<p><a b=c<d>"));
    EXPECT_EQ(stray.log, (Log{"tag:p", "text:", "error:9"}));

    // The same, read a few bytes at a time and across buffer fills.
    std::string long_value(CHTMLParser::kBufferSize - 20, 'v');
    std::string input = "<p>" + std::string(40, 'x') + "<a h=\"" + long_value + ">\">z<i>";
    CLoggingParser whole, pieces;
    whole.AsBrowsers();
    pieces.AsBrowsers();
    EXPECT_TRUE(whole.ParseText(input));
    EXPECT_TRUE(pieces.ParseText(input, 4099));
    EXPECT_EQ(whole.Joined()[2], "tag:a h=\"" + long_value + ">\"");
    EXPECT_EQ(pieces.Joined(), whole.Joined());
}

TEST(Tokenizer, ReadAsBrowsersATagLargerThanTheBufferIsReadPast)
{
    // Its "<", ">" and quotes inside quoted values do not end it; what follows reads as ever.
    std::string huge = "<a href=\"u\" icon=\"" + std::string(CHTMLParser::kBufferSize, 'i') +
                       "<>'\" title='>' x>after</a><b>";
    for (std::int32_t limit : {0x7FFFFFFF, 4093}) {
        CLoggingParser parser;
        parser.AsBrowsers();
        EXPECT_TRUE(parser.ParseText("<p>" + huge, limit));
        EXPECT_EQ(parser.Joined(), (Log{"tag:p", "text:", "large:a href=\"u\"", "text:after",
                                        "tag:/a", "text:", "tag:b", "end"}))
            << limit;
    }
    // Without reading as browsers such a tag still ends the read (see below), and a tag that is
    // cut off by the end of the input does either way.
    CLoggingParser cut;
    cut.AsBrowsers();
    EXPECT_FALSE(cut.ParseText("<p>" + huge.substr(0, huge.size() - 20)));
}

TEST(SplitTag, NamesAndAttributes)
{
    Split a = SplitText("a href=\"x y\" target=_top");
    EXPECT_TRUE(a.ok);
    EXPECT_EQ(a.name, "a");
    EXPECT_EQ(a.attributes, (std::vector<std::string>{"href=x y", "target=_top"}));

    Split input = SplitText("input name='q' /");
    EXPECT_TRUE(input.ok);
    EXPECT_EQ(input.name, "input");
    EXPECT_EQ(input.attributes, (std::vector<std::string>{"name=q", "/"}));

    Split quotes = SplitText("x a=\"it's\" b='say \"hi\"' c=\"\" d");
    EXPECT_TRUE(quotes.ok);
    EXPECT_EQ(quotes.attributes, (std::vector<std::string>{"a=it's", "b=say \"hi\"", "c=", "d"}));

    Split br = SplitText("br/");
    EXPECT_TRUE(br.ok);
    EXPECT_EQ(br.name, "br/");

    Split empty = SplitText("");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.name, "");
    EXPECT_TRUE(empty.attributes.empty());

    Split spaced = SplitText("a href= x\tb\r\nc");
    EXPECT_TRUE(spaced.ok);
    EXPECT_EQ(spaced.attributes, (std::vector<std::string>{"href=x", "b", "c"}));
}

TEST(SplitTag, ContentOutsideTheGrammarFails)
{
    for (const char* bad : {"a href = x", "a href=\"x", "a=b", "a \"q\"", "a b'c"})
        EXPECT_FALSE(SplitText(bad).ok) << bad;
}

TEST(SplitTag, AnUnquotedValueRunsToWhiteSpaceAsInABrowser)
{
    // A query's "=", base64 padding and stray quotes belong to the value; "=" at the end is an
    // empty value.
    Split split = SplitText("a href=http://b.invalid/x?y=1&z=2 icon=data:,AA== t=x' u==v w=");
    EXPECT_TRUE(split.ok);
    EXPECT_EQ(split.attributes,
              (std::vector<std::string>{"href=http://b.invalid/x?y=1&z=2",
                                        "icon=data:,AA==", "t=x'", "u==v", "w="}));
}

TEST(SplitTag, GetAttributeMatchesNamesExactly)
{
    std::string content = "a HREF=\"up\" href=\"low\" href=\"second\"";
    std::string_view name;
    TagAttributes attributes;
    ASSERT_TRUE(CHTMLParser::SplitTag(content.data(), static_cast<std::int32_t>(content.size()),
                                      name, attributes));
    EXPECT_EQ(CHTMLParser::GetAttribute(attributes, "href"), "low");
    EXPECT_EQ(CHTMLParser::GetAttribute(attributes, "HREF"), "up");
    EXPECT_EQ(CHTMLParser::GetAttribute(attributes, "hre"), "");
}
