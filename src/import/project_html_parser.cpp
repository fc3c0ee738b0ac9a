#include "import/project_html_parser.h"

#include "icons/data_uri.h"
#include "import/tag_values.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/text.h"
#include "persist/trim.h"
#include "platform/platform.h"

#include <climits>
#include <unordered_map>

namespace {

// Removes surrounding space, TAB, CR and LF; a text of nothing else stays as it is.
std::wstring Trim(std::wstring text)
{
    std::wstring_view kept = TrimBlanks(std::wstring_view(text));
    return kept.empty() ? text : std::wstring(kept);
}

// Compares a name with a literal byte by byte; names are short, and this runs for every tag.
template <std::size_t N> bool Is(std::string_view name, const char (&literal)[N])
{
    for (std::size_t i = 0; i + 1 < N; ++i) {
        if (name[i] != literal[i]) return false;
    }
    return true;
}

TagName Classify(std::string_view name)
{
    switch (name.size()) {
    case 1:
        return name[0] == 'a' ? TagName::A : name[0] == 'p' ? TagName::P : TagName::Other;
    case 2:
        if (Is(name, "tr")) return TagName::Tr;
        if (Is(name, "td")) return TagName::Td;
        if (Is(name, "th")) return TagName::Th;
        if (Is(name, "br")) return TagName::Br;
        return TagName::Other;
    case 3:
        return Is(name, "div") ? TagName::Div : Is(name, "img") ? TagName::Img : TagName::Other;
    case 4:
        if (Is(name, "html")) return TagName::Html;
        if (Is(name, "form")) return TagName::Form;
        if (Is(name, "span")) return TagName::Span;
        return TagName::Other;
    case 5:
        if (Is(name, "table")) return TagName::Table;
        if (Is(name, "title")) return TagName::Title;
        if (Is(name, "input")) return TagName::Input;
        return TagName::Other;
    case 6:
        if (Is(name, "select")) return TagName::Select;
        if (Is(name, "option")) return TagName::Option;
        return TagName::Other;
    default:
        return TagName::Other;
    }
}

bool NeedsLowering(std::string_view name)
{
    for (char c : name) {
        if ((c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// The void elements and rows that an end tag closes on its way to its own element.
bool ClosedOnTheWay(TagName tag)
{
    return tag == TagName::Input || tag == TagName::Br || tag == TagName::Img || tag == TagName::Tr;
}

} // namespace

CProjectHTMLParser::CProjectHTMLParser(CProject& project) : project(&project) {}

CProjectHTMLParser::~CProjectHTMLParser() = default;

// ---- the tokenizer's callbacks ----

void CProjectHTMLParser::OnTag(const char* content, std::int32_t length)
{
    std::string_view name;
    // A tag that breaks the attribute grammar is ignored; the text before it stays pending.
    if (!SplitTag(content, length, name, attributes)) return;
    // Lower-casing leaves ASCII without capitals as it is, whatever the code page: only other
    // names need a lower-cased copy.
    std::string_view lower = name;
    if (NeedsLowering(name)) {
        lowerName.assign(name.data(), name.size());
        platform::LowerAnsi(&lowerName[0], static_cast<std::uint32_t>(lowerName.size()));
        lower = lowerName;
    }
    if (length > 0 && content[0] == '/') {
        lower = lower.substr(lower.empty() ? 0 : 1);
        EndTag(Name{lower, Classify(lower)});
    } else if (length > 0 && content[length - 1] == '/') {
        Name tag{lower, Classify(lower)};
        StartTag(tag, attributes);
        EndTag(tag);
    } else {
        StartTag(Name{lower, Classify(lower)}, attributes);
    }
}

void CProjectHTMLParser::OnText(const char* text, std::int32_t length)
{
    pendingText.Append(text, static_cast<std::size_t>(length));
}

void CProjectHTMLParser::OnEnd()
{
    // For each reference the last definition of its name wins, as a walk over every reference
    // and every definition would leave it; a map makes that linear.
    std::unordered_map<std::string_view, std::size_t> lastDefinition;
    for (std::size_t i = 0; i < popupDefs.size(); ++i)
        lastDefinition[popupDefs[i].id] = i;
    for (const PopupRef& reference : popupRefs) {
        auto found = lastDefinition.find(reference.id);
        if (found != lastDefinition.end())
            reference.item->SetPopupContent(FromUtf8(popupDefs[found->second].html));
    }
}

// ---- the element stack ----

bool CProjectHTMLParser::Named(const OpenElement& element, Name name) const
{
    // Known names compare by what they are; other names by their bytes.
    if (name.tag != TagName::Other || element.tag != static_cast<std::uint32_t>(TagName::Other))
        return element.tag == static_cast<std::uint32_t>(name.tag);
    return std::string_view(stackNames).substr(element.nameStart, element.nameLength) == name.text;
}

bool CProjectHTMLParser::TopIs(Name name) const
{
    return !stack.empty() && Named(stack.back(), name);
}

ImportContext CProjectHTMLParser::Context() const
{
    return stack.empty() ? ImportContext::Outside
                         : static_cast<ImportContext>(stack.back().context);
}

bool CProjectHTMLParser::BelowTopIs(ImportContext context) const
{
    return stack.size() >= 2 &&
           static_cast<ImportContext>(stack[stack.size() - 2].context) == context;
}

void CProjectHTMLParser::Push(Name name, ImportContext context)
{
    OpenElement element;
    element.nameStart = static_cast<std::uint32_t>(stackNames.size());
    element.nameLength = static_cast<std::uint32_t>(name.text.size());
    element.context = static_cast<std::uint32_t>(context);
    element.tag = static_cast<std::uint32_t>(name.tag);
    stack.push_back(element);
    // Known names need no bytes of their own.
    if (name.tag == TagName::Other) {
        stackNames.append(name.text.data(), name.text.size());
    } else {
        stack.back().nameLength = 0;
    }
}

void CProjectHTMLParser::PopTo(Name name)
{
    // Walk down past void elements and rows left open above the matching entry, never past the
    // bottom one; remove the entry where the walk stops and everything above it.
    std::size_t at = stack.size() - 1;
    while (at > 0 && !Named(stack[at], name) && ClosedOnTheWay(static_cast<TagName>(stack[at].tag)))
        --at;
    stackNames.resize(stack[at].nameStart);
    stack.resize(at);
}

CItemLink* CProjectHTMLParser::CurrentLink() const
{
    if (!currentItem || currentItem->GetTag() != tags::kItemLink) return nullptr;
    return static_cast<CItemLink*>(currentItem);
}

// Deleting the project's columns takes every node the import points at with it.
void CProjectHTMLParser::ForgetNodes()
{
    currentColumn = nullptr;
    currentGroup = nullptr;
    currentItem = nullptr;
    currentSelect = nullptr;
    lastOption = nullptr;
    popupRefs.clear();
}

// ---- start and end tags ----

void CProjectHTMLParser::StartTag(Name name, const TagAttributes& tagAttributes)
{
    const TagName tag = name.tag;
    precedingText.Swap(pendingText);
    pendingText.Clear();
    // Only the first element of the main link's anchor may be its icon.
    const bool iconHere = iconPlace && tag == TagName::Img;
    iconPlace = false;
    // An open row, cell or paragraph is closed by the next one.
    if ((tag == TagName::Tr || tag == TagName::Td || tag == TagName::P) && TopIs(name))
        EndTag(name);
    // A cell right after a table start stands in an implied row.
    if (tag == TagName::Td && TopIs(Name{"table", TagName::Table})) {
        CTextBuffer ownPreceding;
        ownPreceding.Swap(precedingText);
        StartTag(Name{"tr", TagName::Tr}, TagAttributes());
        precedingText.Swap(ownPreceding);
    }

    ImportContext context = Context();
    switch (context) {
    case ImportContext::Outside:
        if (tag == TagName::Html) {
            project->DeleteChildren();
            replacedColumns = true;
            ForgetNodes();
            Push(name, ImportContext::Outside);
            return;
        }
        if (tag == TagName::Table) {
            nextColumn = project->columns.size();
            Push(name, ImportContext::PageTable);
            return;
        }
        if (tag == TagName::Div) {
            std::string_view id = GetAttribute(tagAttributes, "id");
            if (!id.empty() &&
                Lower(GetAttribute(tagAttributes, "style")).find("display:") != std::string::npos) {
                popupName.assign(id.data(), id.size());
                popupHtml.clear();
                blockDefinition = kNoDefinition;
                Push(name, ImportContext::PopupDiv);
                return;
            }
        }
        break;
    case ImportContext::PageTable:
        if (tag == TagName::Th) {
            currentColumn = new CColumn(*project);
            Push(name, ImportContext::PageTable);
            return;
        }
        if (tag == TagName::Td) {
            currentColumn =
                nextColumn < project->columns.size() ? project->columns[nextColumn++] : nullptr;
            currentGroup = nullptr;
            Push(name, ImportContext::ColumnCell);
            return;
        }
        break;
    case ImportContext::ColumnCell:
        if (tag == TagName::Table && currentColumn) {
            currentGroup = new CGroup(*currentColumn);
            currentItem = nullptr;
            Push(name, ImportContext::GroupTable);
            return;
        }
        if (tag == TagName::Td) {
            Push(name, ImportContext::ItemCell);
            return;
        }
        break;
    case ImportContext::GroupTable:
        if (tag == TagName::Td) {
            Push(name, ImportContext::ItemCell);
            return;
        }
        break;
    case ImportContext::ItemCell:
        if (tag == TagName::Form) {
            if (currentGroup) {
                CItemForm* form = new CItemForm(*currentGroup);
                form->name = FromUtf8(GetAttribute(tagAttributes, "name"));
                form->action = FromUtf8(GetAttribute(tagAttributes, "action"));
                form->method = Lower(GetAttribute(tagAttributes, "method")) == "post" ? 1 : 0;
                currentItem = form;
            }
            Push(name, ImportContext::Form);
            return;
        }
        if (tag == TagName::A && currentGroup) {
            Anchor(tagAttributes);
            Push(name, ImportContext::ItemCell);
            return;
        }
        if (tag == TagName::Span) {
            Span(tagAttributes);
            Push(name, ImportContext::ItemCell);
            return;
        }
        // An image that opens the main link's anchor is its icon, when it holds one.
        if (iconHere && TopIs(Name{"a", TagName::A}) && precedingText.View().empty()) {
            CItemLink* link = CurrentLink();
            if (auto icon = IconFromDataUri(GetAttribute(tagAttributes, "src"))) {
                if (link) link->icon = std::move(icon);
            }
        }
        break;
    case ImportContext::Form:
        if ((tag == TagName::Input || tag == TagName::Select) && currentItem &&
            currentItem->GetTag() == tags::kItemForm) {
            bool select = tag == TagName::Select;
            CItemForm::CField* field =
                static_cast<CItemForm*>(currentItem)
                    ->AddField(select ? 1 : 0, FromUtf8(GetAttribute(tagAttributes, "name")),
                               FromUtf8(GetAttribute(tagAttributes, "value")),
                               SizeAttribute(GetAttribute(tagAttributes, "size")));
            std::string type = Lower(GetAttribute(tagAttributes, "type"));
            field->hidden = type == "hidden" || (!select && type == "image");
            if (select) currentSelect = field;
            Push(name, select ? ImportContext::Select : ImportContext::Form);
            return;
        }
        break;
    case ImportContext::Select:
        if (tag == TagName::Option) {
            lastOption = currentSelect
                             ? currentSelect->AddOption(
                                   std::wstring(), FromUtf8(GetAttribute(tagAttributes, "value")))
                             : nullptr;
            Push(name, ImportContext::Option);
            return;
        }
        break;
    case ImportContext::PopupDiv:
        if (tag == TagName::Table) {
            Push(name, ImportContext::PopupTable);
            return;
        }
        break;
    case ImportContext::PopupTable:
        if (tag == TagName::Tr) {
            Push(name, ImportContext::PopupRow);
            return;
        }
        break;
    case ImportContext::PopupRow:
        if (tag == TagName::Td) {
            Push(name, ImportContext::PopupCell);
            return;
        }
        break;
    case ImportContext::PopupCell:
        // Markup inside the popup cell is copied back as source.
        popupHtml += precedingText.View();
        popupHtml += '<';
        popupHtml.append(name.text.data(), name.text.size());
        for (const TagAttribute& attribute : tagAttributes) {
            popupHtml += ' ';
            popupHtml.append(attribute.name.data(), attribute.name.size());
            if (attribute.hasValue) {
                popupHtml += "=\"";
                popupHtml.append(attribute.value.data(), attribute.value.size());
                popupHtml += '"';
            }
        }
        popupHtml += '>';
        break;
    default:
        break;
    }
    Push(name, context);
}

void CProjectHTMLParser::Anchor(const TagAttributes& tagAttributes)
{
    if (!currentItem) {
        currentItem = new CItemLink(*currentGroup);
    } else if (CItemLink* link = CurrentLink()) {
        // The text between the previous anchor's end and this one, as it stands.
        link->divider = FromUtf8(precedingText.View());
    }
    // The anchor that will fill the main link (AddLink) is the one an icon may open.
    if (CItemLink* link = CurrentLink()) {
        iconPlace = link->mainLink.url.empty();
        pendingHref = FromUtf8(GetAttribute(tagAttributes, "href"));
        if (!popupName.empty()) popupRefs.push_back(PopupRef{popupName, link});
    }
}

void CProjectHTMLParser::Span(const TagAttributes& tagAttributes)
{
    std::string_view out = GetAttribute(tagAttributes, "onmouseout");
    std::string_view over = GetAttribute(tagAttributes, "onmouseover");
    if (!StartsWith(out, "phide(") || !StartsWith(over, "pshow(")) return;
    std::string_view argument = out.substr(6);
    argument = argument.substr(0, argument.find(')'));
    if (argument == "this.id") argument = GetAttribute(tagAttributes, "id");
    if (!argument.empty() && argument.front() == '\'') argument.remove_prefix(1);
    if (!argument.empty() && argument.back() == '\'') argument.remove_suffix(1);
    popupName.assign(argument.data(), argument.size());
}

void CProjectHTMLParser::EndTag(Name name)
{
    const TagName tag = name.tag;
    // A stray end tag at the top level closes nothing.
    if (stack.empty()) return;
    switch (Context()) {
    case ImportContext::Outside:
        if (tag == TagName::Title) project->title = Trim(FromUtf8(pendingText.View()));
        break;
    case ImportContext::PageTable:
        if (tag == TagName::Th && currentColumn) {
            currentColumn->caption = Trim(FromUtf8(pendingText.View()));
            currentColumn = nullptr;
        }
        break;
    case ImportContext::GroupTable:
        if (tag == TagName::Th && currentGroup)
            currentGroup->caption = Trim(FromUtf8(pendingText.View()));
        if (tag == TagName::Table && BelowTopIs(ImportContext::ColumnCell)) {
            currentGroup = nullptr;
            currentItem = nullptr;
        }
        break;
    case ImportContext::ItemCell:
        if (tag == TagName::A) {
            iconPlace = false;
            if (CItemLink* link = CurrentLink()) {
                link->AddLink(Trim(FromUtf8(pendingText.View())), std::move(pendingHref));
                pendingHref.clear();
                popupName.clear();
            }
        }
        // The item ends with its cell.
        if (!BelowTopIs(ImportContext::ItemCell)) currentItem = nullptr;
        break;
    case ImportContext::Option:
        if (BelowTopIs(ImportContext::Select) && lastOption) {
            lastOption->text = FromUtf8(pendingText.View());
            if (lastOption->value.empty()) lastOption->value = lastOption->text;
        }
        break;
    case ImportContext::PopupCell:
        if (BelowTopIs(ImportContext::PopupCell)) {
            // A nested element closes, unless a self-closed one was just copied.
            std::size_t slash = popupHtml.rfind('/');
            if (!(slash != std::string::npos && popupHtml.size() >= 2 &&
                  slash == popupHtml.size() - 2)) {
                popupHtml += pendingText.View();
                popupHtml += "</";
                popupHtml.append(name.text.data(), name.text.size());
                popupHtml += '>';
            }
        } else {
            // The popup cell itself closes and defines the popup with everything collected since
            // the div. A further cell of the same block defines it again with more; the later
            // definition replaces the earlier, so the block's one definition just grows, which
            // keeps a block of many cells linear.
            popupHtml += pendingText.View();
            if (blockDefinition < popupDefs.size()) {
                std::string& html = popupDefs[blockDefinition].html;
                html.append(popupHtml, html.size(), std::string::npos);
            } else {
                blockDefinition = popupDefs.size();
                popupDefs.push_back(PopupDef{popupName, popupHtml});
            }
        }
        break;
    default:
        break;
    }
    pendingText.Clear();
    PopTo(name);
}
