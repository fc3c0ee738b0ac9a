// The type check and the data address decoder: what bookmark files, pages and servers hand over
// is hostile, so exactly the images of a kept type and size pass.
#include "icons/data_uri.h"
#include "icons/test_images.h"
#include "model/link_icon.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Sniffs(const std::string& bytes, IconType expected)
{
    IconType type;
    return SniffIconType(bytes, type) && type == expected;
}

bool SniffsNothing(const std::string& bytes)
{
    IconType type;
    return !SniffIconType(bytes, type);
}

} // namespace

TEST(IconType, TheFirstBytesTellEachKeptType)
{
    EXPECT_TRUE(Sniffs(MakePng(16, 0x3366cc), IconType::Png));
    EXPECT_TRUE(Sniffs(MakeIco({{16, MakePng(16, 0)}}), IconType::Ico));
    EXPECT_TRUE(Sniffs(MakeGif(16, 0), IconType::Gif));
    EXPECT_TRUE(Sniffs(std::string("GIF87a") + "rest", IconType::Gif));
    EXPECT_TRUE(Sniffs(JpegLike(0), IconType::Jpeg));
    EXPECT_TRUE(Sniffs(WebpLike(4), IconType::WebP));
    EXPECT_TRUE(Sniffs(MakeSvg(0), IconType::Svg));
    // SVG after a byte order mark, a comment and a doctype; the root may close at once.
    EXPECT_TRUE(Sniffs("\xEF\xBB\xBF <!-- made by hand -->\n<!DOCTYPE svg PUBLIC \"x\">"
                       "<svg/>",
                       IconType::Svg));
    EXPECT_STREQ(IconMediaType(IconType::Ico), "image/x-icon");
    EXPECT_STREQ(IconMediaType(IconType::Svg), "image/svg+xml");
}

TEST(IconType, PagesTextCursorsAndCutHeadersAreNoIcons)
{
    EXPECT_TRUE(SniffsNothing(""));
    EXPECT_TRUE(SniffsNothing("<!DOCTYPE html><html><body>Not found</body></html>"));
    EXPECT_TRUE(SniffsNothing("<html><svg></svg></html>"));
    EXPECT_TRUE(SniffsNothing("plain text"));
    EXPECT_TRUE(SniffsNothing("<svgfoo>")); // not the svg element
    EXPECT_TRUE(SniffsNothing("<!-- never closed <svg>"));
    // The root must come within the first kilobyte.
    EXPECT_TRUE(SniffsNothing("<!--" + std::string(1100, 'x') + "--><svg>"));
    EXPECT_TRUE(SniffsNothing(std::string("\0\0\2\0\1\0", 6))); // a cursor
    EXPECT_TRUE(SniffsNothing(std::string("\0\0\1\0\0\0", 6))); // a directory of no images
    EXPECT_TRUE(SniffsNothing(std::string("\x89PNG\r\n\x1A", 7)));
    EXPECT_TRUE(SniffsNothing("RIFF\4\0\0\0WAVE"));
    EXPECT_TRUE(SniffsNothing("GIF90a"));
}

TEST(LinkIcon, KeptUpToSixteenKilobytes)
{
    std::string png = MakePng(16, 0xff0000);
    std::string padded = png + std::string(CLinkIcon::kMaxBytes - png.size(), '\0');
    auto icon = CLinkIcon::FromBytes(padded);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->Type(), IconType::Png);
    EXPECT_EQ(icon->Bytes(), padded);
    EXPECT_FALSE(CLinkIcon::FromBytes(padded + '\0'));
    EXPECT_FALSE(CLinkIcon::FromBytes("<html>"));
}

TEST(DataUri, Base64AddressesDecodeAsBrowsersDecodeThem)
{
    std::string bytes;
    ASSERT_TRUE(DecodeBase64DataUri("data:image/png;base64,aGVsbG8=", 100, bytes));
    EXPECT_EQ(bytes, "hello");
    // Any case, blanks around and inside, percent escapes, padding left out, parameters.
    ASSERT_TRUE(
        DecodeBase64DataUri(" DATA:image/png;charset=x ; BASE64 ,aGV s%62G8\n", 100, bytes));
    EXPECT_EQ(bytes, "hello");
    ASSERT_TRUE(DecodeBase64DataUri("data:;base64,aGk", 100, bytes));
    EXPECT_EQ(bytes, "hi");
    ASSERT_TRUE(DecodeBase64DataUri("data:;base64,", 100, bytes));
    EXPECT_EQ(bytes, "");
    // Every byte value, and back.
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    for (std::size_t length = 0; length < 8; ++length) {
        ASSERT_TRUE(DecodeBase64DataUri(DataUri("x/y", all.substr(0, length)), 256, bytes));
        EXPECT_EQ(bytes, all.substr(0, length));
    }
    ASSERT_TRUE(DecodeBase64DataUri(DataUri("x/y", all), 256, bytes));
    EXPECT_EQ(bytes, all);
}

TEST(DataUri, AnythingElseIsRefused)
{
    std::string bytes = "unchanged";
    for (const char* uri : {
             "data:image/png,hello",        // not base64: percent-encoded data is not read
             "data:image/png;base64",       // no comma
             "data:image/png;base64x,aGk=", // not the word
             "data:image/png base64,aGk=",  // no semicolon
             "http://example.com/a.png",    // not a data address
             "data:;base64,aGk=a",          // padding inside
             "data:;base64,aGVsbG8===",     // too much padding
             "data:;base64,aGVsb=",         // padding where the length is no multiple of four
             "data:;base64,a",              // a lone digit
             "data:;base64,aG!k",           // not an alphabet character
             "data:;base64,aGk%",           // a stray percent
         })
        EXPECT_FALSE(DecodeBase64DataUri(uri, 100, bytes)) << uri;
    EXPECT_EQ(bytes, "unchanged");
}

TEST(DataUri, TheLimitIsKeptBeforeDecoding)
{
    std::string bytes;
    std::string uri = DataUri("image/png", std::string(300, 'x'));
    EXPECT_TRUE(DecodeBase64DataUri(uri, 300, bytes));
    EXPECT_FALSE(DecodeBase64DataUri(uri, 299, bytes));
    // A data address far larger than an icon is refused as fast as a short one, without memory
    // for it.
    std::string huge = "data:image/png;base64," + std::string(40 * 1024 * 1024, 'A');
    bytes.clear();
    bytes.shrink_to_fit();
    EXPECT_FALSE(DecodeBase64DataUri(huge, CLinkIcon::kMaxBytes, bytes));
    EXPECT_EQ(bytes.capacity(), std::string().capacity());
}

TEST(DataUri, IconsOnlyWhenTheBytesAreAKeptImage)
{
    std::string png = MakePng(16, 0x00aa00);
    auto icon = IconFromDataUri(DataUri("image/png", png));
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->Bytes(), png);
    // The declared type is not believed either way.
    auto mislabelled = IconFromDataUri(DataUri("text/plain", png));
    ASSERT_TRUE(mislabelled);
    EXPECT_EQ(IconDataUri(*mislabelled), DataUri("image/png", png));
    EXPECT_FALSE(IconFromDataUri(DataUri("image/png", "<!DOCTYPE html><html></html>")));
    std::string large = png + std::string(CLinkIcon::kMaxBytes, '\0');
    EXPECT_FALSE(IconFromDataUri(DataUri("image/png", large)));
}
