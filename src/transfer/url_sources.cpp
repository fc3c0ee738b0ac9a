#include "transfer/url_sources.h"

#include "edit/site.h"
#include "homepage/shown_text.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "network/link_url.h"
#include "persist/text.h"
#include "persist/trim.h"
#include "transfer/utf16.h"

namespace {

wchar_t LowerAscii(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

bool StartsWithLower(std::wstring_view text, std::wstring_view lower)
{
    if (text.size() < lower.size()) return false;
    for (std::size_t i = 0; i < lower.size(); ++i) {
        if (LowerAscii(text[i]) != lower[i]) return false;
    }
    return true;
}

bool EndsWithLower(std::wstring_view text, std::wstring_view lower)
{
    return text.size() >= lower.size() &&
           StartsWithLower(text.substr(text.size() - lower.size()), lower);
}

// The schemes a pasted line may have, and whether an authority ("//host") must follow.
struct Scheme
{
    const wchar_t* prefix;
    bool host;
};
const Scheme kSchemes[] = {
    {L"http://", true},  {L"https://", true}, {L"ftp://", true},
    {L"mailto:", false}, {L"file:", false},
};

// The address a line holds alone, or empty.
std::wstring_view AddressOfLine(std::wstring_view line)
{
    line = TrimBlanks(line);
    if (line.size() >= 2 && line.front() == L'<' && line.back() == L'>')
        line = TrimBlanks(line.substr(1, line.size() - 2));
    for (wchar_t c : line) {
        // One address alone: no blanks, controls or other text around it.
        if (c <= L' ' || c == 0x7F || c == 0x85 || c == 0xA0 || c == 0x2028 || c == 0x2029)
            return std::wstring_view();
    }
    for (const Scheme& scheme : kSchemes) {
        const std::wstring_view prefix(scheme.prefix);
        if (!StartsWithLower(line, prefix)) continue;
        const std::wstring_view rest = line.substr(prefix.size());
        if (rest.empty()) return std::wstring_view();
        if (scheme.host && (rest.front() == L'/' || rest.front() == L'?' || rest.front() == L'#'))
            return std::wstring_view();
        return line;
    }
    return std::wstring_view();
}

// A new link item at the end of the group; the group owns it.
void AddLink(CGroup& group, const std::wstring& caption, const std::wstring& url)
{
    new CItemLink(group, caption.empty() ? CaptionFromUrl(url) : caption, url);
}

// Links are made in a scratch group and then taken into the bundle.
class CScratchGroup
{
public:
    CScratchGroup() : group(*new CGroup(*new CColumn(scratch))) {}
    CGroup& Group() { return group; }
    bool Finish(CNodeBundle& bundle)
    {
        if (group.items.empty()) return false;
        bundle = TakeAll(scratch, kNodeItem);
        return true;
    }

private:
    CProject scratch;
    CGroup& group; // not owned
};

// The value of the URL key in the [InternetShortcut] section, or empty.
std::wstring ShortcutUrl(const std::wstring& text)
{
    bool inSection = false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring_view line = TrimBlanks(std::wstring_view(text).substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.front() == L'[') {
            inSection = StartsWithLower(line, L"[internetshortcut]");
            continue;
        }
        if (!inSection || !StartsWithLower(line, L"url")) continue;
        std::wstring_view rest = TrimBlanks(line.substr(3));
        if (rest.empty() || rest.front() != L'=') continue;
        return std::wstring(TrimBlanks(rest.substr(1)));
    }
    return std::wstring();
}

// The file's name without its folder and without ".url".
std::wstring TitleFromFileName(std::wstring name)
{
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    if (EndsWithLower(name, L".url")) name.resize(name.size() - 4);
    return std::wstring(TrimBlanks(std::wstring_view(name)));
}

// An address for a link: no controls, and not one that runs script.
bool UsableAddress(std::wstring_view url)
{
    if (url.empty() || StartsWithLower(url, L"javascript:")) return false;
    for (wchar_t c : url) {
        if (c < L' ' || c == 0x7F) return false;
    }
    return true;
}

void AppendUrl(std::wstring& text, const std::wstring& url)
{
    if (!text.empty()) text += L"\r\n";
    text += FromUtf8(DecodeAttributeReferences(ToUtf8(url)));
}

void AppendItemUrls(std::wstring& text, const CItem& item)
{
    if (item.GetTag() != tags::kItemLink) return;
    const auto& link = static_cast<const CItemLink&>(item);
    if (!link.mainLink.url.empty()) AppendUrl(text, link.mainLink.url);
    for (const CItemLink::CLink* further : link.links) {
        if (!further->url.empty()) AppendUrl(text, further->url);
    }
}

void AppendGroupUrls(std::wstring& text, const CGroup& group)
{
    for (const CItem* item : group.items)
        AppendItemUrls(text, *item);
}

} // namespace

bool ReadUrlLines(const std::wstring& text, CNodeBundle& bundle)
{
    CScratchGroup links;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring_view address =
            AddressOfLine(std::wstring_view(text).substr(start, end - start));
        if (!address.empty()) AddLink(links.Group(), std::wstring(), std::wstring(address));
        start = end + 1;
    }
    return links.Finish(bundle);
}

bool ReadUrlText(std::string_view utf16le, CNodeBundle& bundle)
{
    return ReadUrlLines(FromUtf16Le(utf16le), bundle);
}

bool ReadInternetShortcut(std::string_view bytes, const std::wstring& fileName, CNodeBundle& bundle)
{
    std::wstring text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text = FromUtf16Le(bytes.substr(2));
    } else {
        text = FromUtf8(bytes.substr(0, bytes.find('\0')));
    }
    const std::wstring url = ShortcutUrl(text);
    if (!UsableAddress(url)) return false;
    CScratchGroup links;
    AddLink(links.Group(), TitleFromFileName(fileName), url);
    return links.Finish(bundle);
}

bool ReadUrlDescriptor(std::string_view urlUtf16le, std::string_view descriptor,
                       CNodeBundle& bundle)
{
    const std::wstring url(TrimBlanks(std::wstring_view(FromUtf16Le(urlUtf16le))));
    if (!UsableAddress(url)) return false;
    // FILEGROUPDESCRIPTORW: the count, then descriptors of 592 bytes whose file name (260
    // UTF-16 units) starts 72 bytes in.
    constexpr std::size_t kNameAt = 4 + 72, kNameBytes = 520;
    std::wstring title;
    const bool named =
        descriptor.size() >= kNameAt + 2 &&
        (descriptor[0] != 0 || descriptor[1] != 0 || descriptor[2] != 0 || descriptor[3] != 0);
    if (named) title = TitleFromFileName(FromUtf16Le(descriptor.substr(kNameAt, kNameBytes)));
    CScratchGroup links;
    AddLink(links.Group(), title, url);
    return links.Finish(bundle);
}

std::wstring WriteUrlText(std::int32_t kind, const std::vector<CStreamable*>& nodes)
{
    std::wstring text;
    for (const CStreamable* node : nodes) {
        switch (kind) {
        case kNodeColumn:
            for (const CGroup* group : static_cast<const CColumn*>(node)->groups)
                AppendGroupUrls(text, *group);
            break;
        case kNodeGroup:
            AppendGroupUrls(text, *static_cast<const CGroup*>(node));
            break;
        case kNodeItem:
            AppendItemUrls(text, *static_cast<const CItem*>(node));
            break;
        default:
            break;
        }
    }
    return text;
}
