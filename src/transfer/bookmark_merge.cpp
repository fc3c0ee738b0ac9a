#include "transfer/bookmark_merge.h"

#include "edit/project_changes.h"
#include "edit/site.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "network/address_key.h"
#include "persist/attribute_text.h"
#include "persist/text.h"

#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

bool IsWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// A caption as the page shows it, for matching: tags (and comments) removed, character
// references decoded, runs of white space one space, the ends trimmed. UTF-8.
std::string ShownCaption(const std::wstring& markup)
{
    const std::string bytes = ToUtf8(markup);
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char next = i + 1 < bytes.size() ? bytes[i + 1] : '\0';
        const bool tag =
            bytes[i] == '<' && ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') ||
                                next == '/' || next == '!' || next == '?');
        if (!tag) {
            text += bytes[i];
            continue;
        }
        const std::size_t end = bytes.find('>', i);
        if (end == std::string::npos) break;
        i = end;
    }
    const std::string decoded = DecodeAttributeReferences(text);
    std::string shown;
    shown.reserve(decoded.size());
    bool space = false;
    for (char c : decoded) {
        if (IsWhiteSpace(c)) {
            space = true;
            continue;
        }
        if (space && !shown.empty()) shown += ' ';
        space = false;
        shown += c;
    }
    return shown;
}

void AddAddresses(const CItem& item, std::unordered_set<std::string>& addresses)
{
    if (item.GetTag() != tags::kItemLink) return;
    const auto& link = static_cast<const CItemLink&>(item);
    addresses.insert(AddressKey(link.mainLink.url));
    for (const CItemLink::CLink* further : link.links)
        addresses.insert(AddressKey(further->url));
}

// The project's columns and groups by shown caption, and the ones the plan makes.
class CPlaces
{
public:
    CColumn* Column(const std::string& key) const
    {
        auto found = columns.find(key);
        return found == columns.end() ? nullptr : found->second;
    }
    CGroup* Group(const CColumn* column, const std::string& key) const
    {
        auto found = groups.find({column, key});
        return found == groups.end() ? nullptr : found->second;
    }
    CGroup* AnyGroup(const std::string& key) const
    {
        auto found = anyGroup.find(key);
        return found == anyGroup.end() ? nullptr : found->second;
    }
    // The first of a caption stays the one found.
    void AddColumn(const std::string& key, CColumn* column) { columns.emplace(key, column); }
    void AddGroup(const CColumn* column, const std::string& key, CGroup* group)
    {
        groups.emplace(std::make_pair(column, key), group);
        anyGroup.emplace(key, group);
    }

private:
    std::unordered_map<std::string, CColumn*> columns;
    std::map<std::pair<const CColumn*, std::string>, CGroup*> groups;
    std::unordered_map<std::string, CGroup*> anyGroup;
};

} // namespace

CBookmarkMerge::CBookmarkMerge(CProject& project, std::vector<CDetachedNode> columns)
{
    std::unordered_set<std::string> addresses;
    CPlaces places;
    for (CColumn* column : project.columns) {
        places.AddColumn(ShownCaption(column->caption), column);
        for (CGroup* group : column->groups) {
            places.AddGroup(column, ShownCaption(group->caption), group);
            for (const CItem* item : group->items)
                AddAddresses(*item, addresses);
        }
    }

    // New columns and groups are made here and taken out at once: the project stays as it is.
    CProject nursery;
    auto* nurseryColumn = new CColumn(nursery);
    std::unordered_set<const CStreamable*> planned;

    auto newGroup = [&](CColumn* column, const std::wstring& caption, const std::string& key) {
        auto* group = new CGroup(*nurseryColumn, caption);
        CDetachedNode node = CDetachedNode::Take(kNodeGroup, group);
        if (planned.count(column))
            node.PutBack(column, column->groups.size());
        else
            insertions.push_back({std::move(node), column});
        planned.insert(group);
        places.AddGroup(column, key, group);
        ++counts.newGroups;
        return group;
    };
    auto groupFor = [&](const CColumn& fileColumn, const CGroup& fileGroup) {
        const std::string columnKey = ShownCaption(fileColumn.caption);
        const std::string groupKey = ShownCaption(fileGroup.caption);
        CColumn* column = places.Column(columnKey);
        if (CGroup* group = column ? places.Group(column, groupKey) : nullptr) return group;
        if (CGroup* group = places.AnyGroup(groupKey)) return group;
        if (!column) {
            column = new CColumn(nursery, fileColumn.caption);
            insertions.push_back({CDetachedNode::Take(kNodeColumn, column), &project});
            planned.insert(column);
            places.AddColumn(columnKey, column);
            ++counts.newColumns;
        }
        return newGroup(column, fileGroup.caption, groupKey);
    };

    for (const CDetachedNode& node : columns) {
        const auto* fileColumn = static_cast<const CColumn*>(node.Get());
        if (!fileColumn) continue;
        for (const CGroup* fileGroup : fileColumn->groups) {
            CGroup* target = nullptr;
            std::vector<CItem*> items;
            for (CItem* item : fileGroup->items)
                items.push_back(item);
            for (CItem* item : items) {
                if (item->GetTag() == tags::kItemLink &&
                    addresses.count(AddressKey(static_cast<CItemLink*>(item)->mainLink.url))) {
                    ++counts.alreadyHere;
                    continue;
                }
                if (!target) target = groupFor(*fileColumn, *fileGroup);
                CDetachedNode moved = CDetachedNode::Take(kNodeItem, item);
                if (planned.count(target))
                    moved.PutBack(target, target->items.size());
                else
                    insertions.push_back({std::move(moved), target});
                ++counts.newLinks;
            }
        }
    }
}

CBookmarkMerge::~CBookmarkMerge() = default;

void CBookmarkMerge::Apply(CProjectChanges& changes)
{
    for (Insertion& insertion : insertions) {
        const std::int32_t kind = insertion.node.Kind();
        const wchar_t* name = kind == kNodeColumn  ? L"add column"
                              : kind == kNodeGroup ? L"add group"
                                                   : L"add link";
        changes.InsertNode(std::move(insertion.node), insertion.parent,
                           ChildCount(kind, insertion.parent), name);
    }
    insertions.clear();
}

bool HoldsLinks(const CProject& project)
{
    for (const CColumn* column : project.columns)
        for (const CGroup* group : column->groups)
            for (const CItem* item : group->items)
                if (item->GetTag() == tags::kItemLink) return true;
    return false;
}

HtmlReadOutcome ReadHtmlMerging(CProjectChanges& changes, CStream& stream)
{
    HtmlReadOutcome outcome;
    if (!HoldsLinks(changes.Project())) {
        outcome.read = changes.ReadHtml(stream);
        return outcome;
    }
    outcome.read =
        changes.ReadHtml(stream, [&changes, &outcome](std::vector<CDetachedNode>& columns) {
            CBookmarkMerge merge(changes.Project(), std::move(columns));
            outcome.merged = true;
            outcome.counts = merge.Counts();
            merge.Apply(changes);
        });
    return outcome;
}
