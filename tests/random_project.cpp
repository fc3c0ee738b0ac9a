#include "random_project.h"

#include "cli/dump.h"
#include "icons/test_images.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "test_support.h"

#include <memory>

namespace {

class CRandomText
{
public:
    CRandomText(std::mt19937& random, bool pageSafe) : random(random), pageSafe(pageSafe) {}

    int Below(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

    std::wstring Text(int maximum, bool trimmed = false)
    {
        static const wchar_t pieces[] = {L'a',      L'b',      L'Z',      L'0',  L' ', L'.',
                                         L'/',      L'&',      L'"',      L'\'', L'=', L'\u00E9',
                                         L'\u010D', L'\u4E2D', L'\u20AC', L'<',  L'>', L'\t'};
        int count = pageSafe ? 15 : 18; // no "<", ">" or TAB for pages
        std::wstring text;
        int length = Below(maximum + 1);
        for (int i = 0; i < length; ++i)
            text += pieces[Below(count)];
        if (Below(5) == 0) text += L"\U0001F600";
        if (trimmed) {
            while (!text.empty() && text.front() == L' ')
                text.erase(0, 1);
            while (!text.empty() && text.back() == L' ')
                text.pop_back();
        }
        return text;
    }

    // A text the page format keeps whole: nothing that ends an attribute value or a tag.
    std::wstring Attribute(int maximum)
    {
        std::wstring text = Text(maximum);
        if (!pageSafe) return text;
        std::wstring clean;
        for (wchar_t c : text) {
            if (c != L'"' && c != L'\'') clean += c;
        }
        return clean;
    }

    std::mt19937& random;
    bool pageSafe;
};

void AddKeptChunk(CStreamable& node, CRandomText& text)
{
    std::uint32_t tag = 0x78000000u | static_cast<std::uint32_t>(text.Below(0xFFFFFF));
    std::string bytes;
    for (int i = text.Below(12); i > 0; --i)
        bytes += static_cast<char>(text.Below(256));
    node.keptChunks.Append(tag, bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

std::shared_ptr<const CLinkIcon> RandomIcon(CRandomText& text)
{
    std::uint32_t colour = static_cast<std::uint32_t>(text.random()) & 0xFFFFFF;
    switch (text.Below(6)) {
    case 0:
        return CLinkIcon::FromBytes(MakePng(16, colour));
    case 1:
        return CLinkIcon::FromBytes(MakeIco({{16, MakePng(16, colour)}}));
    case 2:
        return CLinkIcon::FromBytes(MakeGif(16, colour));
    case 3:
        return CLinkIcon::FromBytes(JpegLike(static_cast<std::size_t>(text.Below(200))));
    case 4:
        return CLinkIcon::FromBytes(WebpLike(static_cast<std::size_t>(text.Below(200))));
    default:
        return CLinkIcon::FromBytes(MakeSvg(colour));
    }
}

void AddLinkItem(CGroup& group, CRandomText& text, const RandomProjectOptions& options)
{
    bool safe = options.pageSafe;
    CItemLink* item = new CItemLink(group, text.Text(20, safe), text.Attribute(30));
    if (safe && item->mainLink.url.empty()) item->mainLink.url = L"u";
    int further = text.Below(3);
    // A page cannot hold an empty divider between links: the anchors would meet, which comes
    // back the same, so empty is fine; but leading/trailing text is only kept between anchors.
    item->divider = further > 0 || !safe ? text.Text(4) : L"";
    for (int i = 0; i < further; ++i) {
        std::wstring url = text.Attribute(30);
        if (safe && url.empty()) url = L"v";
        item->links.Append(new CItemLink::CLink(text.Text(15, safe), url));
        if (options.keptChunks && text.Below(4) == 0) AddKeptChunk(*item->links.back(), text);
    }
    if (text.Below(3) == 0) item->SetPopupContent(text.Text(40));
    if (options.icons && text.Below(3) != 0) item->icon = RandomIcon(text);
    if (options.keptChunks && text.Below(4) == 0) AddKeptChunk(*item, text);
}

void AddFormItem(CGroup& group, CRandomText& text, const RandomProjectOptions& options)
{
    bool safe = options.pageSafe;
    CItemForm* form = new CItemForm(group);
    form->name = text.Attribute(12);
    form->action = text.Attribute(30);
    form->method = text.Below(2);
    int fields = text.Below(4);
    for (int f = 0; f < fields; ++f) {
        int type = safe ? text.Below(2) : text.Below(3);
        int size = safe && type == 1 ? -1 : text.Below(3) == 0 ? -1 : text.Below(80);
        if (safe && size == 0) size = -1;
        CItemForm::CField* field =
            form->AddField(type, text.Attribute(10), text.Attribute(10), size);
        field->hidden = text.Below(3) == 0;
        int optionCount = type == 1 || !safe ? text.Below(4) : 0;
        for (int o = 0; o < optionCount; ++o) {
            std::wstring optionText = text.Text(10);
            std::wstring value = text.Attribute(6);
            if (safe && value.empty()) value = optionText;
            CItemForm::COption* option = field->AddOption(optionText, value);
            if (options.keptChunks && text.Below(4) == 0) AddKeptChunk(*option, text);
        }
        if (options.keptChunks && text.Below(4) == 0) AddKeptChunk(*field, text);
    }
    if (options.keptChunks && text.Below(4) == 0) AddKeptChunk(*form, text);
}

} // namespace

void BuildRandomProject(CProject& project, std::mt19937& random,
                        const RandomProjectOptions& options)
{
    CRandomText text(random, options.pageSafe);
    project.title = text.Text(20, options.pageSafe);
    int columns = text.Below(4);
    for (int c = 0; c < columns; ++c) {
        CColumn* column = new CColumn(project, text.Text(12, options.pageSafe));
        if (options.tabs) {
            // Tab names are text, not markup: "<", ">" and "&" go on the page escaped.
            const std::wstring names[] = {L"", L"Work", L"Play & <fun>", L"\u00C9t\u00E9",
                                          text.Text(8, true)};
            column->tab = names[text.Below(5)];
            if (options.pageSafe) column->tab = ShownTab(*column);
        }
        int groups = text.Below(4);
        for (int g = 0; g < groups; ++g) {
            CGroup* group = new CGroup(*column, text.Text(12, options.pageSafe));
            int items = text.Below(5);
            for (int i = 0; i < items; ++i) {
                if (text.Below(3) == 0) {
                    AddFormItem(*group, text, options);
                } else {
                    AddLinkItem(*group, text, options);
                }
            }
        }
    }
}

std::string DumpText(const CProject& project)
{
    CRecordingStream out;
    DumpProject(project, out);
    return out.bytes;
}

std::size_t CountLinks(const CProject& project)
{
    std::size_t links = 0;
    for (const CColumn* column : project.columns) {
        for (const CGroup* group : column->groups) {
            for (const CItem* item : group->items) {
                if (item->GetTag() == tags::kItemLink)
                    links += 1 + static_cast<const CItemLink*>(item)->links.size();
            }
        }
    }
    return links;
}

void AddPopupLineBreaksAsAPageGivesThem(CProject& project)
{
    for (CColumn* column : project.columns) {
        for (CGroup* group : column->groups) {
            for (CItem* item : group->items) {
                if (item->GetTag() != tags::kItemLink) continue;
                auto* link = static_cast<CItemLink*>(item);
                if (link->popup) link->popup->content = L"\r\n" + link->popup->content;
            }
        }
    }
}
