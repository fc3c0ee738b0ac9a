#include "homepage/shown_text.h"
#include "persist/attribute_text.h"
#include "persist/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(ShownText, DecodesReferencesWithoutTakingDecodedBracketsForTags)
{
    EXPECT_EQ(ShownText(L"News &amp; Weather"), L"News & Weather");
    EXPECT_EQ(ShownText(L"&lt;b&gt;bold&lt;/b&gt;"), L"<b>bold</b>");
    EXPECT_EQ(ShownText(L"AT&amp;T &quot;Business&quot; &apos;s"), L"AT&T \"Business\" 's");
    // HTML 4's symbols and special characters, the longest name winning.
    EXPECT_EQ(ShownText(L"&alpha;&Omega;&thetasym;&theta;&notin;&lang;&euro;&hellip;"),
              L"\u03B1\u03A9\u03D1\u03B8\u2209\u27E8\u20AC\u2026");
    EXPECT_EQ(ShownText(L"&#65;&#x42;&#X43;&#68 &#128;&#0;&#xD800;&#x110000;&#99999999999;"),
              L"ABCD \u20AC\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(ShownText(L"&#x1F600;"), FromUtf8("\xF0\x9F\x98\x80"));
    // In text the legacy names need no ';' whatever follows; others stay as written.
    EXPECT_EQ(ShownText(L"&amp &copy2 &notit; &alpha &bogus; & &# &#x;"),
              L"& \u00A92 \u00ACit; &alpha &bogus; & &# &#x;");
}

TEST(ShownText, RemovesTagsCommentsAndHiddenContentAndCollapsesWhiteSpace)
{
    EXPECT_EQ(ShownText(L"<b>bold</b>"), L"bold");
    EXPECT_EQ(ShownText(L"  <B CLASS=\"x > y\" title='a>b'>Mail</B>\r\n\t box  "), L"Mail box");
    EXPECT_EQ(ShownText(L"bo<i>ld</i>er"), L"bolder");
    EXPECT_EQ(ShownText(L"one<br>two<BR/>three<p>four</p>five"), L"one two three four five");
    EXPECT_EQ(ShownText(L"a<!-- <b>hidden</b> -->b<!---->c<!-->d<?php x ?>e</ x>f</>g"),
              L"abcdefg");
    EXPECT_EQ(ShownText(L"x<script>if (a < b) document.write('<b>')</script>y<style>p{}</STYLE>z"),
              L"xyz");
    // A '<' that starts no tag is text; a tag the text ends inside shows nothing.
    EXPECT_EQ(ShownText(L"a < b <3 <"), L"a < b <3 <");
    EXPECT_EQ(ShownText(L"cut <b class=\"open"), L"cut");
    // The no-break space is content, not white space that collapses.
    EXPECT_EQ(ShownText(L"&nbsp;a&#32;&#10; b"), L"\u00A0a b");
    EXPECT_EQ(ShownText(L" <b> </b> &#9; "), L"");
    EXPECT_EQ(ShownText(L""), L"");
}

TEST(ShownText, AttributeValuesKeepQueryNamesThatLookLikeLegacyReferences)
{
    EXPECT_EQ(AttributeText(L"https://e.example/?a=1&amp;b=2&copy=3&notit=4&amp"),
              L"https://e.example/?a=1&b=2&copy=3&notit=4&");
    EXPECT_EQ(AttributeText(L"/a<b>&lt;&alpha;"), L"/a<b><\u03B1");
    // The link check's decoding is the same, on UTF-8 bytes.
    for (const wchar_t* markup :
         {L"?x=1&amp;y=2", L"&copy=1&copy;&COPY&notin;&not", L"&#x1F600;&#128;&lang;", L"&&#;&"}) {
        EXPECT_EQ(DecodeAttributeReferences(ToUtf8(markup)), ToUtf8(AttributeText(markup)))
            << ToUtf8(markup);
    }
}

TEST(ShownText, LinkLabelFallsBackToTheAddressAsAPastedLinkIsCaptioned)
{
    EXPECT_EQ(LinkLabel(L"<b>News</b> &amp; more", L"https://x.example/"), L"News & more");
    EXPECT_EQ(LinkLabel(L"", L"https://user:pw@www.example.com/docs/?q=1#top"),
              L"www.example.com/docs");
    EXPECT_EQ(LinkLabel(L"<img src=\"a.png\"> &#32;", L"  http://e.example/a&amp;b/  "),
              L"e.example/a&b");
    EXPECT_EQ(LinkLabel(L"", L"mailto:me@example.com?subject=Hi"), L"me@example.com");
    EXPECT_EQ(LinkLabel(L"&nbsp; &#160;", L"https://nbsp.example/"), L"nbsp.example");
    EXPECT_EQ(LinkLabel(L"", L""), L"");
    EXPECT_EQ(LinkLabel(L"", L"   "), L"");
}

TEST(ShownText, AnyMarkupGivesTrimmedTextWithoutWhiteSpaceRuns)
{
    const wchar_t alphabet[] = L"<>&;#x!-/?ab \t\n\"'=B1rpscripty\u00A0";
    std::mt19937 random(28);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet / sizeof(wchar_t) - 2);
    std::uniform_int_distribution<int> length(0, 40);
    std::wstring shown;
    for (int run = 0; run < 20000; ++run) {
        std::wstring markup;
        for (int n = length(random); n > 0; --n)
            markup += alphabet[pick(random)];
        AssignShownText(markup, shown);
        ASSERT_TRUE(shown.empty() || (shown.front() != L' ' && shown.back() != L' '))
            << ToUtf8(markup);
        ASSERT_EQ(shown.find(L"  "), std::wstring::npos) << ToUtf8(markup);
        ASSERT_EQ(shown.find_first_of(L"\t\n\r"), std::wstring::npos) << ToUtf8(markup);
        ASSERT_LE(shown.size(), markup.size());
    }
}

} // namespace
