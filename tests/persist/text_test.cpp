#include "persist/text.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>

TEST(Text, EmptyConvertsToEmpty)
{
    EXPECT_EQ(ToUtf8(L""), "");
    EXPECT_EQ(FromUtf8(std::string()), L"");
    CRecordingStream stream;
    WriteUtf8(stream, L"");
    EXPECT_EQ(stream.bytes, "");
}

TEST(Text, NonAsciiBecomesItsUtf8Bytes)
{
    EXPECT_EQ(ToUtf8(L"a\u010D\u20AC\U0001F600"), "a\xC4\x8D\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8(std::string("a\xC4\x8D\xE2\x82\xAC\xF0\x9F\x98\x80")),
              L"a\u010D\u20AC\U0001F600");
}

TEST(Text, EmbeddedNulIsConvertedLikeAnyCharacter)
{
    EXPECT_EQ(ToUtf8(std::wstring(L"a\0b", 3)), Bytes("a\0b"));
    EXPECT_EQ(FromUtf8(Bytes("a\0b")), std::wstring(L"a\0b", 3));
}

TEST(Text, InvalidUtf8BecomesReplacementCharacters)
{
    EXPECT_EQ(FromUtf8(std::string("a\xFF"
                                   "b")),
              L"a\uFFFDb");
    EXPECT_EQ(FromUtf8(std::string("\x80")), L"\uFFFD");
    // A sequence cut short at the end of the input is one character.
    EXPECT_EQ(FromUtf8(std::string("x\xE2\x82")), L"x\uFFFD");
    EXPECT_EQ(FromUtf8(std::string("\xE2\x82"
                                   "a")),
              L"\uFFFDa");
    // Overlong forms, encoded surrogates and code points past U+10FFFF decode to replacement
    // characters only (how many is the converter's business), never to the code point.
    for (const char* bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        std::wstring text = FromUtf8(std::string(bad));
        ASSERT_FALSE(text.empty()) << bad;
        for (wchar_t c : text)
            EXPECT_EQ(c, L'\uFFFD') << bad;
    }
}

TEST(Text, LoneSurrogateBecomesReplacementCharacter)
{
    std::wstring lone(1, static_cast<wchar_t>(0xD800));
    EXPECT_EQ(ToUtf8(lone + L"a"), "\xEF\xBF\xBD"
                                   "a");
}

TEST(Text, RandomTextsSurviveTheRoundTrip)
{
    // Mixed ASCII runs and other characters at every alignment exercise the fast paths.
    std::mt19937 random(7);
    const wchar_t others[] = {L'\u00E9', L'\u010D', L'\u4E2D', L'\u20AC', L'\u00A0'};
    for (int round = 0; round < 300; ++round) {
        std::wstring text;
        std::size_t length = random() % 200;
        for (std::size_t i = 0; i < length; ++i) {
            text += random() % 8 ? static_cast<wchar_t>(32 + random() % 95) : others[random() % 5];
        }
        if (round % 3 == 0) text += L"\U0001F600";
        EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
        CRecordingStream stream;
        WriteUtf8(stream, text);
        EXPECT_EQ(stream.bytes, ToUtf8(text));
    }
}

TEST(Text, WriteUtf8HandsLongTextsToOneWrite)
{
    std::wstring text(5000, L'x');
    text += L"\u010D";
    CRecordingStream stream;
    WriteUtf8(stream, text);
    ASSERT_EQ(stream.pieces.size(), 1u);
    EXPECT_EQ(stream.bytes, std::string(5000, 'x') + "\xC4\x8D");
}
