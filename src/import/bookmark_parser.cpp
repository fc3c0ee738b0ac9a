#include "import/bookmark_parser.h"

#include "icons/data_uri.h"
#include "model/item_link.h"
#include "model/project.h"
#include "persist/attribute_text.h"
#include "persist/text.h"
#include "persist/trim.h"

#include <string_view>

namespace {

// The elements of a bookmark file; everything else is read past.
enum class BookmarkTag
{
    Other,
    Title,
    H1,
    H3,
    A,
    Dl,
    Dt,
    Dd,
    Hr
};

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Compares without regard to ASCII case; `lower` is written in lower case.
bool EqualsLower(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowerAscii(text[i]) != lower[i]) return false;
    }
    return true;
}

// Browsers write the tags in upper case, hand-made files often in lower case.
BookmarkTag Classify(std::string_view name)
{
    switch (name.size()) {
    case 1:
        return LowerAscii(name[0]) == 'a' ? BookmarkTag::A : BookmarkTag::Other;
    case 2:
        if (EqualsLower(name, "dt")) return BookmarkTag::Dt;
        if (EqualsLower(name, "dd")) return BookmarkTag::Dd;
        if (EqualsLower(name, "dl")) return BookmarkTag::Dl;
        if (EqualsLower(name, "h3")) return BookmarkTag::H3;
        if (EqualsLower(name, "h1")) return BookmarkTag::H1;
        if (EqualsLower(name, "hr")) return BookmarkTag::Hr;
        return BookmarkTag::Other;
    case 5:
        return EqualsLower(name, "title") ? BookmarkTag::Title : BookmarkTag::Other;
    default:
        return BookmarkTag::Other;
    }
}

// Runs of white space become one space, and the ends lose theirs: a title as a browser shows it.
// Most titles need nothing done, and come back as they are; others are built in `scratch`.
std::string_view Collapsed(std::string_view text, std::string& scratch)
{
    text = TrimBlanks(text);
    bool clean = true, space = false;
    for (char c : text) {
        if (static_cast<unsigned char>(c) > ' ') {
            space = false;
        } else if (IsBlank(c)) {
            if (c != ' ' || space) {
                clean = false;
                break;
            }
            space = true;
        }
    }
    if (clean) return text;
    scratch.clear();
    space = false;
    for (char c : text) {
        if (IsBlank(c)) {
            space = true;
            continue;
        }
        if (space) scratch += ' ';
        space = false;
        scratch += c;
    }
    return scratch;
}

// A description as popup markup: trimmed, each line break a <br />. The self-closed form is the
// one a popup keeps when the homepage is read back.
std::string Description(std::string_view text)
{
    text = TrimBlanks(text);
    std::string markup;
    markup.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            markup += "<br />";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            markup += text[i];
        }
    }
    return markup;
}

// The address as markup for a double-quoted attribute of the homepage: a single-quoted HREF may
// hold a '"', which would end the page's href attribute early, and any quoted HREF a '<' or '>',
// which the page's own reader takes for a tag's edge. As references they mean the same.
void AssignAddress(std::string& address, std::string_view value)
{
    address.clear();
    address.reserve(value.size());
    for (char c : value) {
        if (c == '"')
            address += "&quot;";
        else if (c == '<')
            address += "&lt;";
        else if (c == '>')
            address += "&gt;";
        else
            address += c;
    }
}

// The first attribute of that name, in any case.
const TagAttribute* FindAttribute(const TagAttributes& attributes, std::string_view lowerName)
{
    for (const TagAttribute& attribute : attributes) {
        if (EqualsLower(attribute.name, lowerName)) return &attribute;
    }
    return nullptr;
}

const char kLooseCaption[] = "Bookmarks";
const char kPathSeparator[] = " / ";
const char kEllipsis[] = "\xE2\x80\xA6"; // "…"
const char kPathEllipsis[] = "\xE2\x80\xA6 / ";

} // namespace

std::string SkipReasonsText(const SkippedBookmarks& skipped)
{
    std::string text;
    auto add = [&text](std::size_t count, const char* one, const char* many) {
        if (count == 0) return;
        if (!text.empty()) text += ", ";
        text += std::to_string(count) + " " + (count == 1 ? one : many);
    };
    add(skipped.tooLarge, "too large", "too large");
    add(skipped.scripts, "script address", "script addresses");
    add(skipped.places, "place: address", "place: addresses");
    add(skipped.withoutAddress, "without an address", "without an address");
    return text;
}

CBookmarkParser::CBookmarkParser(CProject& project) : project(&project)
{
    // Bookmark files come from many programs, and browsers read them as they read any page.
    ReadTagsAsBrowsers();
}

CBookmarkParser::~CBookmarkParser() = default;

void CBookmarkParser::OnTag(const char* content, std::int32_t length)
{
    std::string_view name;
    // A tag that breaks the attribute grammar is read past; text around it joins up.
    if (!SplitTag(content, length, name, attributes)) return;
    const bool end = !name.empty() && name[0] == '/';
    if (end) name.remove_prefix(1);
    const BookmarkTag tag = Classify(name);
    if (tag == BookmarkTag::Other) return;

    if (end) {
        // Closing a list ends whatever stood in it; the other end tags end the text they close.
        // Unclosed <DT>, <DD> and <p> are the rule, so no end tag is needed for anything.
        EndCapture();
        if (tag == BookmarkTag::Dl) {
            lastBookmark = nullptr;
            folderPending = false;
            CloseList();
        }
        return;
    }

    EndCapture();
    switch (tag) {
    case BookmarkTag::Title:
        capture = Capture::Title;
        break;
    case BookmarkTag::H1:
        capture = Capture::Heading;
        break;
    case BookmarkTag::H3:
        folderPending = false;
        lastBookmark = nullptr;
        capture = Capture::FolderName;
        break;
    case BookmarkTag::A: {
        folderPending = false;
        lastBookmark = nullptr;
        const TagAttribute* attribute = FindAttribute(attributes, "href");
        hasHref = attribute != nullptr;
        AssignAddress(href, attribute ? attribute->value : std::string_view());
        // The browser's copy of the site's icon, when it is one that is kept.
        const TagAttribute* icon = FindAttribute(attributes, "icon");
        pendingIcon = icon ? IconFromDataUri(icon->value) : nullptr;
        capture = Capture::Anchor;
        break;
    }
    case BookmarkTag::Dd:
        // Only a description right after a bookmark counts; one after a folder is dropped,
        // and the folder still awaits its list.
        if (lastBookmark) {
            describedItem = lastBookmark;
            lastBookmark = nullptr;
            capture = Capture::Description;
        }
        break;
    case BookmarkTag::Dl:
        lastBookmark = nullptr;
        OpenList();
        break;
    case BookmarkTag::Dt:
    case BookmarkTag::Hr:
        folderPending = false;
        lastBookmark = nullptr;
        break;
    case BookmarkTag::Other:
        break;
    }
}

bool CBookmarkParser::OnTagTooLarge(const char* content, std::int32_t length)
{
    std::int32_t nameLength = 0;
    while (nameLength < length && !IsBlank(content[nameLength]))
        ++nameLength;
    if (Classify(std::string_view(content, static_cast<std::size_t>(nameLength))) ==
        BookmarkTag::A) {
        // A bookmark whose address or icon alone is larger than the buffer: left out, and the
        // text and description after it with it.
        EndCapture();
        folderPending = false;
        lastBookmark = nullptr;
        ++skipped.tooLarge;
        return true;
    }
    // Any other element of the file means what its name says; its attributes are not needed.
    OnTag(content, nameLength);
    return true;
}

void CBookmarkParser::OnText(const char* bytes, std::int32_t length)
{
    if (capture != Capture::None) text.Append(bytes, static_cast<std::size_t>(length));
}

void CBookmarkParser::OnEnd()
{
    // A bookmark or description at the very end needs no closing tag either.
    EndCapture();
}

void CBookmarkParser::EndCapture()
{
    const Capture ended = capture;
    capture = Capture::None;
    switch (ended) {
    case Capture::None:
        return;
    case Capture::Title: {
        // A project read into from nothing takes the file's title; a named one keeps its own.
        std::string_view title = Collapsed(text.View(), scratch);
        if (!title.empty() && project->title.empty()) project->title = FromUtf8(title);
        break;
    }
    case Capture::Heading:
        heading = Collapsed(text.View(), scratch);
        break;
    case Capture::FolderName:
        pendingFolderName = Collapsed(text.View(), scratch);
        folderPending = true;
        break;
    case Capture::Anchor:
        AddBookmark();
        break;
    case Capture::Description: {
        std::string description = Description(text.View());
        if (!description.empty()) describedItem->SetPopupContent(FromUtf8(description));
        describedItem = nullptr;
        break;
    }
    }
    text.Clear();
}

void CBookmarkParser::OpenList()
{
    if (folderPending) {
        // A folder straight at the top of a file without an outermost list stands in one.
        if (folders.empty()) folders.push_back(Folder{0, 0, 0, 0, nullptr, nullptr});
        Folder folder{static_cast<std::uint32_t>(folderNames.size()),
                      static_cast<std::uint32_t>(pendingFolderName.size()),
                      0,
                      0,
                      nullptr,
                      nullptr};
        // Paths start below the column, at the third level.
        if (folders.size() >= 2) {
            std::size_t path = pendingFolderName.size();
            if (folders.size() >= 3) path += folders.back().pathLength + 3;
            folder.pathLength =
                static_cast<std::uint32_t>(path > kPathBytes ? kPathBytes + 1 : path);
        }
        folderNames += pendingFolderName;
        folders.push_back(folder);
        folderPending = false;
    } else if (folders.empty()) {
        folders.push_back(Folder{0, 0, 0, 0, nullptr, nullptr});
    } else {
        ++folders.back().unnamedLists;
    }
}

void CBookmarkParser::CloseList()
{
    if (folders.empty()) return;
    Folder& top = folders.back();
    if (top.unnamedLists > 0) {
        --top.unnamedLists;
        return;
    }
    folderNames.resize(top.nameStart);
    folders.pop_back();
}

std::string CBookmarkParser::FolderName(const Folder& folder) const
{
    return folderNames.substr(folder.nameStart, folder.nameLength);
}

void CBookmarkParser::AddBookmark()
{
    if (!hasHref) {
        ++skipped.withoutAddress;
        return;
    }
    // The scheme as the browser will take it, whatever references and blanks spell it.
    if (IsScriptAddress(href)) {
        ++skipped.scripts;
        return;
    }
    if (AddressScheme(href) == "place") {
        ++skipped.places;
        return;
    }
    std::string_view title = Collapsed(text.View(), scratch);
    if (title.empty()) title = Collapsed(href, scratch);
    CGroup* group = GroupForBookmark();
    lastBookmark = new CItemLink(*group);
    lastBookmark->mainLink.caption = FromUtf8(title);
    lastBookmark->mainLink.url = FromUtf8(href);
    lastBookmark->icon = std::move(pendingIcon);
    ++links;
}

CGroup* CBookmarkParser::GroupForBookmark()
{
    if (folders.size() <= 1) {
        if (!looseGroup) {
            std::wstring caption = FromUtf8(heading.empty() ? kLooseCaption : heading);
            looseColumn = new CColumn(*project, caption);
            looseGroup = new CGroup(*looseColumn, caption);
            ++columns;
            ++groups;
        }
        return looseGroup;
    }
    Folder& own = folders.back();
    if (own.group) return own.group;
    Folder& top = folders[1];
    if (!top.column) {
        top.column = new CColumn(*project, FromUtf8(FolderName(top)));
        ++columns;
    }
    std::string caption = folders.size() == 2 ? FolderName(top) : GroupPath();
    own.group = new CGroup(*top.column, FromUtf8(caption));
    ++groups;
    return own.group;
}

// The names of the folders below the column, joined; unnamed folders are left out. A path past
// kPathBytes keeps its last folders behind an ellipsis: deep nesting would otherwise repeat every
// name in every caption below it, and memory would grow with the square of the input.
std::string CBookmarkParser::GroupPath() const
{
    const std::size_t last = folders.size() - 1;
    std::string path = FolderName(folders[last]);
    std::size_t level = last;
    const bool whole = folders[last].pathLength <= kPathBytes;
    // A whole path has at most a level per three bytes; a cut one looks no further up either.
    for (std::size_t looked = 0; level > 2; ++looked) {
        if (!whole && looked >= kPathBytes / (sizeof kPathSeparator - 1)) break;
        const Folder& above = folders[level - 1];
        if (above.nameLength == 0) {
            --level;
            continue;
        }
        if (!whole && path.size() + above.nameLength + (sizeof kPathSeparator - 1) +
                              (sizeof kPathEllipsis - 1) >
                          kPathBytes)
            break;
        path = path.empty() ? FolderName(above) : FolderName(above) + kPathSeparator + path;
        --level;
    }
    if (level > 2) path = path.empty() ? std::string(kEllipsis) : kPathEllipsis + path;
    return path;
}
