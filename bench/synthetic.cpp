#include "synthetic.h"

#include "bench_support.h"

#include "homepage/page_writer.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/streams.h"
#include "persist/text.h"

#include <random>

namespace {

class CText
{
public:
    explicit CText(std::uint32_t seed) : random(seed) {}

    std::wstring Words(int minimum, int maximum)
    {
        static const wchar_t* const words[] = {L"news",
                                               L"mail",
                                               L"weather",
                                               L"search",
                                               L"maps",
                                               L"video",
                                               L"music",
                                               L"bank",
                                               L"travel",
                                               L"shop",
                                               L"forum",
                                               L"wiki",
                                               L"photos",
                                               L"docs",
                                               L"calendar",
                                               L"sport",
                                               L"\u010Desk\u00E9",
                                               L"z\u00FCrich",
                                               L"caf\u00E9",
                                               L"\u65B0\u95FB"};
        std::wstring text;
        int length = minimum + static_cast<int>(random() % (maximum - minimum + 1));
        while (static_cast<int>(text.size()) < length) {
            if (!text.empty()) text += L' ';
            // Mostly ASCII, as real pages are.
            std::size_t index = random() % 20;
            if (index >= 16 && random() % 4) index = random() % 16;
            text += words[index];
        }
        return text;
    }

    std::wstring Url()
    {
        return L"https://www." + Words(4, 10).substr(0, 8) + L".example.com/" + Words(8, 30) +
               L"?id=" + std::to_wstring(random() % 100000);
    }

    std::mt19937 random;
};

void AddItem(CGroup& group, CText& text)
{
    if (text.random() % 4 != 0) {
        CItemLink* link = new CItemLink(group, text.Words(10, 30), text.Url());
        if (text.random() % 10 < 2) {
            link->divider = L" | ";
            for (int k = 1 + static_cast<int>(text.random() % 3); k > 0; --k)
                link->AddLink(text.Words(4, 12), text.Url());
        }
        if (text.random() % 10 == 0) link->SetPopupContent(text.Words(40, 120));
        return;
    }
    CItemForm* form = new CItemForm(group);
    form->name = text.Words(4, 12);
    form->action = text.Url();
    form->method = static_cast<std::int32_t>(text.random() % 2);
    form->AddField(0, L"q", text.Words(0, 12), text.random() % 2 ? 20 : -1);
    if (text.random() % 3 == 0) {
        CItemForm::CField* select = form->AddField(1, L"where", L"2", -1);
        for (int k = 0; k < 4; ++k)
            select->AddOption(text.Words(3, 10), std::to_wstring(k));
    }
    if (text.random() % 4 == 0) form->AddField(0, L"lang", L"en", -1)->hidden = true;
}

} // namespace

void BuildSyntheticProject(CProject& project, std::size_t items, std::uint32_t seed)
{
    CText text(seed);
    project.title = L"Synthetic start page";
    const std::size_t columns = 5, perGroup = 10;
    std::size_t groups = (items + perGroup - 1) / perGroup;
    std::size_t made = 0;
    // Built in tree order, as loading a file or importing a page builds it.
    for (std::size_t c = 0; c < columns; ++c) {
        CColumn* column = new CColumn(project, text.Words(6, 16));
        std::size_t columnGroups = groups / columns + (c < groups % columns ? 1 : 0);
        for (std::size_t g = 0; g < columnGroups; ++g) {
            CGroup* group = new CGroup(*column, text.Words(5, 20));
            for (std::size_t i = 0; i < perGroup && made < items; ++i, ++made)
                AddItem(*group, text);
        }
    }
}

std::size_t BuildSyntheticProjectOfPageSize(CProject& project, std::size_t pageBytes)
{
    // Calibrate on a small project, then build the real one.
    std::size_t items = 200;
    {
        CProject sample;
        BuildSyntheticProject(sample, items);
        CCountingStream counter;
        WritePage(sample, counter);
        items = pageBytes * items / counter.total;
    }
    BuildSyntheticProject(project, items < 1 ? 1 : items);
    CCountingStream counter;
    WritePage(project, counter);
    return counter.total;
}

std::size_t LoadSyntheticProjectOfPageSize(CProject& project, std::size_t pageBytes)
{
    CMemoryStream file;
    {
        CProject built;
        BuildSyntheticProjectOfPageSize(built, pageBytes);
        CStructStream writer(file);
        built.Save(writer);
    }
    std::int32_t size = file.Finish();
    CStructStream reader(file);
    project.Load(reader, size);
    CCountingStream counter;
    WritePage(project, counter);
    return counter.total;
}

namespace {

class CBookmarkFileBuilder
{
public:
    CBookmarkFileBuilder(std::size_t bytes, bool icons) : text(3), bytes(bytes), icons(icons) {}

    std::string Build()
    {
        file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
               "<!-- This is an automatically generated file.\n"
               "     It will be read and overwritten.\n"
               "     DO NOT EDIT! -->\n"
               "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
               "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
        bool toolbar = true;
        while (file.size() < bytes) {
            Folder(1, toolbar);
            toolbar = false;
            if (text.random() % 3 == 0) Bookmark(1);
        }
        file += "</DL><p>\n";
        return std::move(file);
    }

private:
    void Indent(int depth) { file.append(static_cast<std::size_t>(depth) * 4, ' '); }

    void Bookmark(int depth)
    {
        Indent(depth);
        file += "<DT><A HREF=\"";
        file += text.random() % 50 == 0 ? "place:sort=8&maxResults=10" : ToUtf8(text.Url());
        file += "\" ADD_DATE=\"" + std::to_string(1600000000 + text.random() % 100000000) + "\"";
        if (icons && text.random() % 5 != 0) {
            // Icons are PNG files in base64: one to four kilobytes each.
            file += " ICON=\"data:image/png;base64,";
            std::size_t size = 1024 + text.random() % 3072;
            static const char alphabet[] =
                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
            for (std::size_t i = 0; i < size; ++i)
                file += alphabet[text.random() % 64];
            file += "==\"";
        }
        file += ">" + ToUtf8(text.Words(10, 40)) + "</A>\n";
        if (text.random() % 10 == 0) {
            Indent(depth);
            file += "<DD>" + ToUtf8(text.Words(20, 80)) + "\n";
        }
    }

    void Folder(int depth, bool toolbar)
    {
        Indent(depth);
        file += "<DT><H3 ADD_DATE=\"1600000000\" LAST_MODIFIED=\"1700000000\"";
        if (toolbar) file += " PERSONAL_TOOLBAR_FOLDER=\"true\"";
        file += ">" + ToUtf8(text.Words(5, 20)) + "</H3>\n";
        Indent(depth);
        file += "<DL><p>\n";
        int count = 5 + static_cast<int>(text.random() % 20);
        for (int i = 0; i < count && file.size() < bytes; ++i) {
            if (depth < 4 && text.random() % 8 == 0) {
                Folder(depth + 1, false);
            } else if (text.random() % 30 == 0) {
                Indent(depth + 1);
                file += "<HR>\n";
            } else {
                Bookmark(depth + 1);
            }
        }
        Indent(depth);
        file += "</DL><p>\n";
    }

    CText text;
    std::size_t bytes;
    bool icons;
    std::string file;
};

} // namespace

std::string SyntheticBookmarkFile(std::size_t bytes, bool icons)
{
    return CBookmarkFileBuilder(bytes, icons).Build();
}
