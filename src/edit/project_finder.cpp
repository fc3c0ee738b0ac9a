#include "edit/project_finder.h"

#include "homepage/shown_text.h"
#include "model/project.h"
#include "model/tags.h"
#include "platform/platform.h"

namespace {

CSite Stop(std::int32_t kind, CStreamable* node)
{
    CSite site;
    site.kind = kind;
    site.node = node;
    return site;
}

// Calls `visit` with every stop in tree order until it returns true; true when it did.
template <typename Visit> bool WalkStops(const CProject& project, Visit&& visit)
{
    for (CColumn* column : project.columns) {
        if (visit(Stop(kNodeColumn, column))) return true;
        for (CGroup* group : column->groups) {
            if (visit(Stop(kNodeGroup, group))) return true;
            for (CItem* item : group->items) {
                CSite stop = Stop(kNodeItem, item);
                if (visit(stop)) return true;
                if (item->GetTag() == tags::kItemLink) {
                    for (CItemLink::CLink* link : static_cast<CItemLink*>(item)->links) {
                        stop.link = link;
                        if (visit(stop)) return true;
                    }
                } else if (item->GetTag() == tags::kItemForm) {
                    for (CItemForm::CField* field : static_cast<CItemForm*>(item)->fields) {
                        stop.field = field;
                        stop.option = nullptr;
                        if (visit(stop)) return true;
                        for (CItemForm::COption* option : field->options) {
                            stop.option = option;
                            if (visit(stop)) return true;
                        }
                    }
                }
            }
        }
    }
    return false;
}

} // namespace

CProjectFinder::CProjectFinder(const CProject& project, const std::wstring& text, bool matchCase)
    : project(&project), needle(text), matchCase(matchCase), upper(platform::UpperCaseTable())
{
    if (!matchCase) {
        for (wchar_t& c : needle)
            c = platform::FoldCase(upper, c);
    }
}

bool CProjectFinder::Contains(const std::wstring& haystack) const
{
    const std::size_t n = needle.size();
    if (n == 0 || haystack.size() < n) return false;
    const wchar_t* hay = haystack.data();
    const wchar_t* pin = needle.data();
    const std::size_t last = haystack.size() - n;
    if (matchCase) return haystack.find(needle) != std::wstring::npos;
    const wchar_t first = pin[0];
    for (std::size_t at = 0; at <= last; ++at) {
        if (platform::FoldCase(upper, hay[at]) != first) continue;
        std::size_t i = 1;
        while (i < n && platform::FoldCase(upper, hay[at + i]) == pin[i])
            ++i;
        if (i == n) return true;
    }
    return false;
}

bool CProjectFinder::Shows(const std::wstring& markup, bool attribute) const
{
    return Contains(ReadableText(markup, attribute, scratch));
}

SitePart CProjectFinder::Match(const CSite& stop) const
{
    auto shown = [this](const std::wstring& text) { return Shows(text, false); };
    auto read = [this](const std::wstring& text) { return Shows(text, true); };
    if (stop.option) {
        if (shown(stop.option->text)) return SitePart::OptionText;
        if (read(stop.option->value)) return SitePart::OptionValue;
        return SitePart::Node;
    }
    if (stop.field) {
        if (read(stop.field->name)) return SitePart::FieldName;
        if (read(stop.field->value)) return SitePart::FieldValue;
        return SitePart::Node;
    }
    if (stop.link) {
        if (shown(stop.link->caption)) return SitePart::LinkCaption;
        if (read(stop.link->url)) return SitePart::LinkUrl;
        return SitePart::Node;
    }
    switch (stop.kind) {
    case kNodeColumn:
        return shown(static_cast<const CColumn*>(stop.node)->caption) ? SitePart::Caption
                                                                      : SitePart::Node;
    case kNodeGroup:
        return shown(static_cast<const CGroup*>(stop.node)->caption) ? SitePart::Caption
                                                                     : SitePart::Node;
    case kNodeItem: {
        const auto* item = static_cast<const CItem*>(stop.node);
        if (item->GetTag() == tags::kItemLink) {
            const auto* link = static_cast<const CItemLink*>(item);
            if (shown(link->mainLink.caption)) return SitePart::MainCaption;
            if (read(link->mainLink.url)) return SitePart::MainUrl;
            if (shown(link->divider)) return SitePart::Divider;
            if (link->popup && shown(link->popup->content)) return SitePart::Popup;
        } else if (item->GetTag() == tags::kItemForm) {
            const auto* form = static_cast<const CItemForm*>(item);
            if (shown(form->name)) return SitePart::FormName;
            if (read(form->action)) return SitePart::FormAction;
        }
        return SitePart::Node;
    }
    default:
        return SitePart::Node;
    }
}

bool CProjectFinder::Find(const CSite& from, bool forward, bool inclusive, CSite& found) const
{
    if (needle.empty()) return false;
    const void* fromRow = from.Row();
    bool seenFrom = false;
    // Forward: the first match before `from` (the wrap) and the answer after it. Backward: the
    // last match before `from` (the answer) and the last after it (the wrap).
    bool haveBefore = false, haveAfter = false, fromMatches = false;
    CSite before, after;
    auto remember = [](const CSite& stop, SitePart part, CSite& into) {
        into = stop;
        into.part = part;
    };
    WalkStops(*project, [&](const CSite& stop) {
        const bool isFrom = !seenFrom && stop.node == from.node && stop.Row() == fromRow;
        if (isFrom) {
            seenFrom = true;
            SitePart part = Match(stop);
            if (part == SitePart::Node) return false;
            if (inclusive) {
                if (forward) {
                    remember(stop, part, after);
                    haveAfter = true;
                    return true;
                }
                remember(stop, part, before);
                haveBefore = true;
                return false;
            }
            fromMatches = true;
            // Found again only when the walk wraps round to it.
            if (forward ? !haveBefore : true) {
                if (forward) {
                    remember(stop, part, before);
                    haveBefore = true;
                } else if (!haveAfter) {
                    remember(stop, part, after);
                }
            }
            return false;
        }
        if (forward) {
            if (seenFrom) {
                SitePart part = Match(stop);
                if (part == SitePart::Node) return false;
                remember(stop, part, after);
                haveAfter = true;
                return true;
            }
            if (haveBefore) return false;
            SitePart part = Match(stop);
            if (part == SitePart::Node) return false;
            remember(stop, part, before);
            haveBefore = true;
            return false;
        }
        SitePart part = Match(stop);
        if (part == SitePart::Node) return false;
        if (seenFrom) {
            remember(stop, part, after);
            haveAfter = true;
        } else {
            remember(stop, part, before);
            haveBefore = true;
        }
        return false;
    });
    if (forward) {
        if (haveAfter)
            found = after;
        else if (haveBefore)
            found = before;
        else
            return false;
        return true;
    }
    if (haveBefore) {
        found = before;
        return true;
    }
    if (haveAfter || fromMatches) {
        found = after;
        return true;
    }
    return false;
}
