// Icons through every file that carries them: bookmark files in and out, both page styles
// written and read back, and the project file; and nothing changes for a project without icons.
#include "homepage/bookmark_writer.h"
#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "icons/data_uri.h"
#include "icons/test_images.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/text.h"
#include "random_project.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string Bookmark(const std::string& caption, const std::string& icon)
{
    return "<DT><A HREF=\"https://" + caption + ".example/\" ADD_DATE=\"1\" ICON=\"" + icon +
           "\">" + caption + "</A>\n";
}

std::string BookmarkFile(const std::string& list)
{
    return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n"
           "<DL><p>\n<DT><H3>Sites</H3>\n<DL><p>\n" +
           list + "</DL><p>\n</DL><p>\n";
}

const CItemLink& ItemAt(const CProject& project, std::size_t index)
{
    return *static_cast<const CItemLink*>(project.columns[0]->groups[0]->items[index]);
}

std::string Export(const CProject& project)
{
    CRecordingStream out;
    WriteBookmarks(project, out);
    return out.bytes;
}

// A Classic page with its popups numbered in order of appearance: the numbers are the run's, not
// the project's.
std::string Renumbered(const std::string& page)
{
    std::string out;
    std::size_t at = 0;
    std::vector<std::string> seen;
    const std::string prefix = "quillomere_popup";
    for (std::size_t found; (found = page.find(prefix, at)) != std::string::npos;) {
        std::size_t end = found + prefix.size();
        while (end < page.size() && page[end] >= '0' && page[end] <= '9')
            ++end;
        std::string number = page.substr(found + prefix.size(), end - found - prefix.size());
        std::size_t index = 0;
        while (index < seen.size() && seen[index] != number)
            ++index;
        if (index == seen.size()) seen.push_back(number);
        out += page.substr(at, found - at) + prefix + "#" + std::to_string(index);
        at = end;
    }
    return out + page.substr(at);
}

std::string ModernPage(const CProject& project)
{
    CRecordingStream out;
    WriteModernPage(project, out, "en");
    return out.bytes;
}

// A project of one group whose link items carry an icon of each kept type, one without.
void IconProject(CProject& project)
{
    project.title = L"Icons";
    CGroup* group = new CGroup(*new CColumn(project, L"Sites"), L"Daily");
    const std::string icons[] = {MakePng(16, 0xd03030), MakeIco({{16, MakePng(16, 0x3060d0)}}),
                                 MakeGif(16, 0x30a040), JpegLike(40),
                                 WebpLike(40),          MakeSvg(0xe0a020)};
    int n = 0;
    for (const std::string& bytes : icons) {
        std::wstring name = L"site" + std::to_wstring(++n);
        auto* item = new CItemLink(*group, name, L"https://" + name + L".example/");
        item->icon = CLinkIcon::FromBytes(bytes);
        if (n == 2) {
            item->divider = L" | ";
            item->AddLink(L"more", L"https://more.example/");
            item->SetPopupContent(L"with <b>markup</b>");
        }
    }
    new CItemLink(*group, L"plain", L"https://plain.example/");
}

} // namespace

TEST(IconFiles, BookmarkImportKeepsExactlyTheValidIcons)
{
    const std::string png = MakePng(16, 0xff0000), ico = MakeIco({{16, MakePng(16, 0x0000ff)}}),
                      gif = MakeGif(16, 0x00ff00), svg = MakeSvg(0x808000);
    std::string large = MakePng(16, 0x123456);
    large += std::string(17 * 1024 - large.size(), '\0');
    std::string broken = DataUri("image/png", png);
    broken.insert(broken.size() / 2, "!*");
    const std::string file = BookmarkFile(
        Bookmark("png", DataUri("image/png", png)) + Bookmark("ico", DataUri("image/x-icon", ico)) +
        Bookmark("gif", DataUri("image/gif", gif)) +
        Bookmark("svg", DataUri("image/svg+xml", svg)) + Bookmark("broken", broken) +
        Bookmark("large", DataUri("image/png", large)) +
        Bookmark("text", DataUri("image/png", "<!DOCTYPE html>\n<title>404</title>")) +
        Bookmark("address", "https://site.example/favicon.ico") +
        "<DT><A HREF=\"https://lower.example/\" icon=\"" + DataUri("image/png", png) +
        "\">lower</A>\n");
    CProject project;
    ASSERT_TRUE(ImportBytes(project, file).complete);
    ASSERT_EQ(project.columns[0]->groups[0]->items.size(), 9u);
    const std::string kept[] = {png, ico, gif, svg, "", "", "", "", png};
    for (std::size_t i = 0; i < 9; ++i) {
        const CItemLink& item = ItemAt(project, i);
        if (kept[i].empty()) {
            EXPECT_FALSE(item.icon) << ToUtf8(item.mainLink.caption);
        } else {
            ASSERT_TRUE(item.icon) << ToUtf8(item.mainLink.caption);
            EXPECT_EQ(item.icon->Bytes(), kept[i]);
        }
    }
    EXPECT_EQ(ItemAt(project, 1).icon->Type(), IconType::Ico);
    EXPECT_EQ(ItemAt(project, 3).icon->Type(), IconType::Svg);
}

TEST(IconFiles, ExportWritesTheIconsBackAndTheyReadTheSame)
{
    CProject project;
    IconProject(project);
    const std::string exported = Export(project);
    EXPECT_NE(exported.find("<DT><A HREF=\"https://site1.example/\" ICON=\"" +
                            DataUri("image/png", MakePng(16, 0xd03030)) + "\">site1</A>"),
              std::string::npos);
    EXPECT_NE(exported.find("<DT><A HREF=\"https://plain.example/\">plain</A>"), std::string::npos);
    // The further link is a bookmark of its own, without the main link's icon.
    EXPECT_NE(exported.find("<DT><A HREF=\"https://more.example/\">more</A>"), std::string::npos);
    CProject back;
    ASSERT_TRUE(ImportBytes(back, exported).complete);
    const CGroup* group = back.columns[0]->groups[0];
    ASSERT_EQ(group->items.size(), 8u);
    std::size_t withIcons = 0;
    for (const CItem* item : group->items) {
        const CItemLink* link = static_cast<const CItemLink*>(item);
        if (!link->icon) continue;
        ++withIcons;
        bool same = false;
        for (const CItem* original : project.columns[0]->groups[0]->items) {
            const CItemLink* was = static_cast<const CItemLink*>(original);
            if (was->mainLink.url == link->mainLink.url)
                same = was->icon && *was->icon == *link->icon;
        }
        EXPECT_TRUE(same) << ToUtf8(link->mainLink.caption);
    }
    EXPECT_EQ(withIcons, 6u);
    EXPECT_EQ(Export(back), exported);
}

TEST(IconFiles, TheIconStandsBeforeTheCaptionInsideTheMainAnchor)
{
    CProject project;
    IconProject(project);
    const std::string image = "<img src=\"" + DataUri("image/png", MakePng(16, 0xd03030)) +
                              "\" width=\"16\" height=\"16\" alt=\"\">";
    const std::string classic = GeneratedPage(project);
    EXPECT_NE(
        classic.find("<a class=\"Item\" href=\"https://site1.example/\">" + image + "site1</a>"),
        std::string::npos);
    EXPECT_NE(classic.find("<a class=\"Item\" href=\"https://plain.example/\">plain</a>"),
              std::string::npos);
    EXPECT_NE(classic.find("site2</a> | <a class=\"Item\" href=\"https://more.example/\">more</a>"),
              std::string::npos);
    const std::string modern = ModernPage(project);
    EXPECT_NE(modern.find("<li><a href=\"https://site1.example/\">" + image + "site1</a></li>"),
              std::string::npos);
    EXPECT_NE(modern.find("<li><a href=\"https://plain.example/\">plain</a></li>"),
              std::string::npos);
    EXPECT_NE(modern.find("img[src^=\"data:\"]"), std::string::npos);
    // Nothing from outside the page: every image is in it.
    for (const std::string& page : {classic, modern}) {
        for (std::size_t at = page.find("<img "); at != std::string::npos;
             at = page.find("<img ", at + 1))
            EXPECT_EQ(page.compare(at, 15, "<img src=\"data:"), 0);
    }
}

TEST(IconFiles, WithoutIconsThePagesAreAsBefore)
{
    // The rule for icons is only on a page with icons; all else is byte-exact in other tests.
    CProject project;
    IconProject(project);
    for (CItem* item : project.columns[0]->groups[0]->items)
        static_cast<CItemLink*>(item)->icon.reset();
    EXPECT_EQ(ModernPage(project).find("img"), std::string::npos);
    EXPECT_EQ(GeneratedPage(project).find("img"), std::string::npos);
    EXPECT_EQ(Export(project).find("ICON"), std::string::npos);
}

TEST(IconFiles, PagesOfBothStylesReadBackWithTheirIconsByteForByte)
{
    std::mt19937 random(22);
    RandomProjectOptions options;
    options.pageSafe = true;
    options.keptChunks = false;
    options.icons = true;
    for (int round = 0; round < 150; ++round) {
        CProject original;
        BuildRandomProject(original, random, options);
        // Classic: the page gives the project back up to the line break a popup gains, and so
        // the same page but for that.
        const std::string classic = GeneratedPage(original);
        CProject fromClassic;
        ASSERT_TRUE(ImportBytes(fromClassic, classic).complete) << "round " << round;
        CProject expected;
        ASSERT_GT(LoadFromBytes(expected, SaveToBytes(original)), 0);
        AddPopupLineBreaksAsAPageGivesThem(expected);
        ASSERT_EQ(DumpText(fromClassic), DumpText(expected)) << "round " << round;
        ASSERT_TRUE(Renumbered(GeneratedPage(fromClassic)) == Renumbered(GeneratedPage(expected)))
            << "round " << round;
        // Modern: exactly.
        original.pageStyle = PageStyle::Modern;
        const std::string modern = ModernPage(original);
        CProject fromModern;
        ASSERT_TRUE(ImportBytes(fromModern, modern).complete) << "round " << round;
        ASSERT_EQ(DumpText(fromModern), DumpText(original)) << "round " << round;
        ASSERT_TRUE(ModernPage(fromModern) == modern) << "round " << round;
    }
}

TEST(IconFiles, OnlyAnImageThatOpensTheMainLinkIsItsIcon)
{
    const std::string gif = DataUri("image/gif", MakeGif(16, 0x0000ff));
    const std::string page =
        "<html><head><title>T</title></head><body><table><tr><th>C</th></tr><tr><td>"
        "<table><tr><th>G</th></tr>"
        "<tr><td><a href=\"u1\"><IMG src=\"" +
        gif +
        "\" alt=\"x\" > One </a></td></tr>"
        "<tr><td><a href=\"u2\">Two <img src=\"" +
        gif +
        "\"></a></td></tr>"
        "<tr><td><a href=\"u3\">Three</a> | <a href=\"u4\"><img src=\"" +
        gif +
        "\">4</a></td></tr>"
        "<tr><td><a href=\"u5\"><img src=\"" +
        DataUri("image/png", "not a png") +
        "\">Five</a>"
        "</td></tr>"
        "</table></td></tr></table></body></html>";
    CProject project;
    ASSERT_TRUE(ImportBytes(project, page).complete);
    ASSERT_EQ(project.columns[0]->groups[0]->items.size(), 4u);
    // A foreign image element, in upper case and with more attributes, still gives the icon.
    EXPECT_TRUE(ItemAt(project, 0).icon);
    EXPECT_EQ(ItemAt(project, 0).mainLink.caption, L"One");
    EXPECT_FALSE(ItemAt(project, 1).icon);
    EXPECT_FALSE(ItemAt(project, 2).icon);
    EXPECT_EQ(ItemAt(project, 2).links.size(), 1u);
    EXPECT_FALSE(ItemAt(project, 3).icon);
}

TEST(IconFiles, OnAModernPageAnyOtherImageStaysCaptionMarkup)
{
    CProject project;
    project.pageStyle = PageStyle::Modern;
    CGroup* group = new CGroup(*new CColumn(project, L"C"), L"G");
    const std::string gif = DataUri("image/gif", MakeGif(16, 0x0000ff));
    // An image of the caption's own, like the icon but not written as the page writes icons.
    new CItemLink(*group, L"<img src=\"" + FromUtf8(gif) + L"\" alt=\"\">Caption", L"u");
    const std::string page = ModernPage(project);
    CProject back;
    ASSERT_TRUE(ImportBytes(back, page).complete);
    EXPECT_FALSE(ItemAt(back, 0).icon);
    EXPECT_EQ(DumpText(back), DumpText(project));
}

TEST(IconFiles, AProjectWithIconsLoadsSavesAndGeneratesTheSameBytes)
{
    CProject project;
    IconProject(project);
    const std::string saved = SaveToBytes(project);
    CProject loaded;
    ASSERT_GT(LoadFromBytes(loaded, saved), 0);
    EXPECT_EQ(SaveToBytes(loaded), saved);
    EXPECT_TRUE(Renumbered(GeneratedPage(loaded)) == Renumbered(GeneratedPage(project)));
    EXPECT_TRUE(ModernPage(loaded) == ModernPage(project));
    EXPECT_TRUE(Export(loaded) == Export(project));
    // The icon is a chunk of its own in the link item, after the divider and the popup.
    const CItemLink& second = ItemAt(project, 1);
    const std::string chunk = Chunk("icon", second.icon->Bytes());
    std::size_t popup = saved.find("upop"), icon = saved.find(chunk), link = saved.find("knil");
    ASSERT_NE(icon, std::string::npos);
    EXPECT_LT(popup, icon);
    EXPECT_LT(icon, link);

    std::mt19937 random(7);
    RandomProjectOptions options;
    options.icons = true;
    for (int round = 0; round < 100; ++round) {
        CProject original;
        BuildRandomProject(original, random, options);
        const std::string bytes = SaveToBytes(original);
        CProject again;
        ASSERT_GT(LoadFromBytes(again, bytes), 0) << "round " << round;
        ASSERT_EQ(DumpText(again), DumpText(original)) << "round " << round;
        ASSERT_EQ(SaveToBytes(again), bytes) << "round " << round;
        ASSERT_TRUE(Renumbered(GeneratedPage(again)) == Renumbered(GeneratedPage(original)))
            << "round " << round;
    }
}

TEST(IconFiles, AnIconChunkThatHoldsNoKeptImageIsDropped)
{
    const std::string png = MakePng(16, 0xabcdef);
    auto file = [](const std::string& iconPayload) {
        std::string item = Chunk("capt", "a") + Chunk("url ", "u") + Chunk("dvdr", "") +
                           Chunk("icon", iconPayload);
        return ProjectHeader() + Chunk("titl", "") +
               Chunk("colu",
                     Chunk("capt", "C") + Chunk("grup", Chunk("capt", "G") + Chunk("ilnk", item)));
    };
    for (const std::string& payload :
         {std::string("<html>not an icon</html>"), png + std::string(CLinkIcon::kMaxBytes, '\0'),
          std::string()}) {
        CProject project;
        ASSERT_GT(LoadFromBytes(project, file(payload)), 0);
        EXPECT_FALSE(ItemAt(project, 0).icon);
        EXPECT_TRUE(ItemAt(project, 0).keptChunks.empty());
        EXPECT_EQ(ItemAt(project, 0).mainLink.url, L"u");
    }
    CProject project;
    ASSERT_GT(LoadFromBytes(project, file(png)), 0);
    ASSERT_TRUE(ItemAt(project, 0).icon);
    EXPECT_EQ(ItemAt(project, 0).icon->Bytes(), png);
    EXPECT_EQ(SaveToBytes(project), file(png));
}
