#include "import/modern_page_parser.h"

#include "homepage/shown_text.h"
#include "icons/data_uri.h"
#include "icons/icon_markup.h"
#include "import/tag_values.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/text.h"

namespace {

bool IsTagSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// A tag's name without its "/" and in lower case; ASCII only, which is all the page's own names.
void LowerName(const char* content, std::int32_t length, std::string& name)
{
    std::int32_t i = length > 0 && content[0] == '/' ? 1 : 0;
    name.clear();
    for (; i < length && !IsTagSpace(content[i]) && content[i] != '/'; ++i) {
        char c = content[i];
        name += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
}

// The added address is taken off again when the caption before it shows no text, which is when
// the page adds it.
void DropAddress(std::wstring& caption, const std::wstring& url)
{
    const std::wstring address = HostAndPath(url);
    if (caption.size() < address.size() ||
        caption.compare(caption.size() - address.size(), address.size(), address) != 0)
        return;
    const std::wstring_view before(caption.data(), caption.size() - address.size());
    if (!ShowsText(before)) caption.resize(before.size());
}

bool HasAttribute(const TagAttributes& attributes, std::string_view name)
{
    for (const TagAttribute& attribute : attributes) {
        if (attribute.name == name) return true;
    }
    return false;
}

void AppendTag(std::string& source, const char* content, std::int32_t length)
{
    source += '<';
    source.append(content, static_cast<std::size_t>(length));
    source += '>';
}

} // namespace

CModernPageParser::CModernPageParser(CProject& project) : project(&project) {}

CModernPageParser::~CModernPageParser() = default;

// ---- the tokenizer's callbacks ----

void CModernPageParser::OnTag(const char* content, std::int32_t length)
{
    if (capture != Capture::None) {
        CaptureTag(content, length);
        return;
    }
    LowerName(content, length, lowerName);
    const bool end = length > 0 && content[0] == '/';
    if (collectingDivider) {
        // The divider is whatever markup stands between two anchors of an item.
        bool anchor = !end && lowerName == "a";
        bool stops = end ? lowerName == "li" : lowerName == "button" || lowerName == "div";
        if (!anchor && !stops) {
            AppendTag(divider, content, length);
            return;
        }
        if (stops) collectingDivider = false;
    }
    std::string_view name;
    // A tag that breaks the attribute grammar is passed over.
    if (!SplitTag(content, length, name, attributes)) return;
    if (end) {
        EndTag(lowerName);
    } else if (length > 0 && content[length - 1] == '/') {
        // A self-closed element holds nothing.
        std::string self = lowerName;
        StartTag(self, attributes);
        if (capture != Capture::None) {
            EndCapture();
        } else {
            EndTag(self);
        }
    } else {
        StartTag(lowerName, attributes);
    }
}

void CModernPageParser::OnText(const char* text, std::int32_t length)
{
    if (capture != Capture::None) {
        captured.append(text, static_cast<std::size_t>(length));
    } else if (collectingDivider) {
        divider.append(text, static_cast<std::size_t>(length));
    }
}

// An element still open at the end gives nothing: what it holds would swallow the end of the
// page when written again.
void CModernPageParser::OnEnd() {}

// ---- collecting markup source ----

void CModernPageParser::StartCapture(Capture what, std::string_view element)
{
    capture = what;
    captureElement.assign(element.data(), element.size());
    captureNesting = 0;
    captured.clear();
}

bool CModernPageParser::CaptureTag(const char* content, std::int32_t length)
{
    if (capture == Capture::Anchor && anchors == 0 && captured.empty() && !pendingIcon &&
        TakeIcon(std::string_view(content, static_cast<std::size_t>(length))))
        return true;
    LowerName(content, length, lowerName);
    if (lowerName == captureElement) {
        if (length > 0 && content[0] == '/') {
            if (captureNesting == 0) {
                EndCapture();
                return false;
            }
            --captureNesting;
        } else if (length > 0 && content[length - 1] != '/') {
            ++captureNesting;
        }
    }
    AppendTag(captured, content, length);
    return true;
}

// The page's own icon element, exactly as the page writes it, opening the main link's anchor; any
// other image there is part of the caption's markup.
bool CModernPageParser::TakeIcon(std::string_view tag)
{
    std::string_view name;
    if (tag.substr(0, 4) != "img " ||
        !SplitTag(tag.data(), static_cast<std::int32_t>(tag.size()), name, attributes))
        return false;
    std::shared_ptr<const CLinkIcon> icon = IconFromDataUri(GetAttribute(attributes, "src"));
    if (!icon || IconImageTag(*icon) != tag) return false;
    pendingIcon = std::move(icon);
    return true;
}

void CModernPageParser::EndCapture()
{
    Capture what = capture;
    capture = Capture::None;
    std::wstring text = FromUtf8(captured);
    switch (what) {
    case Capture::Title:
        project->title = std::move(text);
        break;
    case Capture::ColumnCaption:
        if (currentColumn) currentColumn->caption = std::move(text);
        break;
    case Capture::GroupCaption:
        if (currentGroup) currentGroup->caption = std::move(text);
        break;
    case Capture::TabName:
        currentTab = UnescapeText(text);
        break;
    case Capture::Anchor:
        if (pendingAddress) DropAddress(text, pendingHref);
        if (CItemLink* link = CurrentLink()) {
            // The first anchor is the main link even when its address is empty.
            if (anchors == 0) {
                link->mainLink.caption = std::move(text);
                link->mainLink.url = std::move(pendingHref);
                link->icon = std::move(pendingIcon);
            } else {
                link->links.Append(new CItemLink::CLink(std::move(text), std::move(pendingHref)));
            }
            ++anchors;
            collectingDivider = true;
            divider.clear();
        }
        pendingHref.clear();
        pendingIcon.reset();
        pendingAddress = false;
        break;
    case Capture::Popup:
        if (CItemLink* link = CurrentLink()) link->SetPopupContent(text);
        break;
    case Capture::Option:
        if (currentOption) {
            currentOption->text = std::move(text);
            if (currentOption->value.empty()) currentOption->value = currentOption->text;
        }
        currentOption = nullptr;
        break;
    case Capture::None:
        break;
    }
}

// ---- structure ----

CModernPageParser::Section CModernPageParser::InnerSection() const
{
    return sections.empty() ? Section::Other : sections.back();
}

CItemLink* CModernPageParser::CurrentLink() const
{
    if (!currentItem || currentItem->GetTag() != tags::kItemLink) return nullptr;
    return static_cast<CItemLink*>(currentItem);
}

void CModernPageParser::StartItem()
{
    inItem = true;
    inForm = false;
    currentItem = nullptr;
    currentSelect = nullptr;
    anchors = 0;
    collectingDivider = false;
}

void CModernPageParser::EndItem()
{
    StartItem();
    inItem = false;
}

void CModernPageParser::StartTag(std::string_view name, const TagAttributes& tagAttributes)
{
    if (name == "html") {
        // Deleting the columns takes every node the import points at with it.
        project->DeleteChildren();
        replacedColumns = true;
        project->title.clear();
        project->pageStyle = PageStyle::Modern;
        currentColumn = nullptr;
        currentGroup = nullptr;
        currentOption = nullptr;
        currentTab.clear();
        sections.clear();
        EndItem();
        return;
    }
    if (name == "head") {
        inHead = true;
        return;
    }
    if (name == "body") inHead = false;
    // The head holds the title again, as text that the heading gives in full.
    if (inHead) return;

    if (name == "section") {
        std::string_view kind = GetAttribute(tagAttributes, "class");
        Section section = Section::Other;
        if (kind == "col") {
            currentColumn = new CColumn(*project);
            if (InnerSection() == Section::Tab) currentColumn->tab = currentTab;
            currentGroup = nullptr;
            section = Section::Column;
        } else if (kind == "tab" && sections.empty()) {
            currentTab.clear();
            section = Section::Tab;
        } else if (kind == "grp" && InnerSection() == Section::Column && currentColumn) {
            currentGroup = new CGroup(*currentColumn);
            section = Section::Group;
        }
        sections.push_back(section);
        return;
    }
    if (!inItem) {
        // Headings are read by where they stand; their level follows the page's outline.
        const bool heading = name.size() == 2 && name[0] == 'h' && name[1] >= '2' && name[1] <= '4';
        if (name == "h1" && sections.empty()) {
            // The stand-in for a title that shows nothing is no title.
            if (GetAttribute(tagAttributes, "class") != "vh") StartCapture(Capture::Title, name);
        } else if (name == "h2" && InnerSection() == Section::Tab) {
            StartCapture(Capture::TabName, name);
        } else if (heading && InnerSection() == Section::Column && currentColumn) {
            StartCapture(Capture::ColumnCaption, name);
        } else if (heading && InnerSection() == Section::Group && currentGroup) {
            StartCapture(Capture::GroupCaption, name);
        } else if (name == "li" && InnerSection() == Section::Group && currentGroup) {
            StartItem();
        }
        return;
    }
    // Foreign sections inside an item can take its group away.
    if (!currentGroup) return;

    if (name == "a" && !inForm) {
        if (!currentItem) currentItem = new CItemLink(*currentGroup);
        CItemLink* link = CurrentLink();
        if (!link) return;
        if (anchors > 0 && collectingDivider) link->divider = FromUtf8(divider);
        collectingDivider = false;
        pendingHref = FromUtf8(GetAttribute(tagAttributes, "href"));
        pendingAddress = GetAttribute(tagAttributes, "class") == "u";
        StartCapture(Capture::Anchor, name);
    } else if (name == "div") {
        if (CurrentLink() && GetAttribute(tagAttributes, "class") == "tip")
            StartCapture(Capture::Popup, name);
    } else if (name == "form") {
        if (currentItem) return;
        CItemForm* form = new CItemForm(*currentGroup);
        form->name = FromUtf8(GetAttribute(tagAttributes, "name"));
        form->action = FromUtf8(GetAttribute(tagAttributes, "action"));
        form->method = Lower(GetAttribute(tagAttributes, "method")) == "post" ? 1 : 0;
        currentItem = form;
        inForm = true;
    } else if ((name == "input" || name == "select") && inForm) {
        CItemForm* form = static_cast<CItemForm*>(currentItem);
        CItemForm::CField* field;
        if (name == "input") {
            // The value attribute holds the value; pages of an earlier build put a visible
            // input's value into its placeholder alone.
            bool hidden = Lower(GetAttribute(tagAttributes, "type")) == "hidden";
            std::string_view value = GetAttribute(tagAttributes, "value");
            if (!hidden && !HasAttribute(tagAttributes, "value"))
                value = GetAttribute(tagAttributes, "placeholder");
            field =
                form->AddField(0, FromUtf8(GetAttribute(tagAttributes, "name")), FromUtf8(value),
                               SizeAttribute(GetAttribute(tagAttributes, "size")));
            field->hidden = hidden;
        } else {
            field = form->AddField(1, FromUtf8(GetAttribute(tagAttributes, "name")),
                                   FromUtf8(GetAttribute(tagAttributes, "data-value")),
                                   SizeAttribute(GetAttribute(tagAttributes, "data-size")));
            field->hidden = HasAttribute(tagAttributes, "hidden");
            currentSelect = field;
        }
    } else if (name == "option" && currentSelect) {
        currentOption = currentSelect->AddOption(std::wstring(),
                                                 FromUtf8(GetAttribute(tagAttributes, "value")));
        StartCapture(Capture::Option, name);
    }
}

void CModernPageParser::EndTag(std::string_view name)
{
    if (name == "head") {
        inHead = false;
    } else if (name == "section") {
        if (sections.empty()) return;
        Section closed = sections.back();
        sections.pop_back();
        if (closed == Section::Other) return;
        if (closed == Section::Tab) {
            currentTab.clear();
            return;
        }
        // An item, form or select left open ends with its section.
        if (inItem) EndItem();
        currentGroup = nullptr;
        if (closed == Section::Column) currentColumn = nullptr;
    } else if (name == "li") {
        if (inItem) EndItem();
    } else if (name == "form") {
        inForm = false;
        currentSelect = nullptr;
    } else if (name == "select") {
        currentSelect = nullptr;
    }
}
