#include "model/project.h"

#include "model/item.h"

#include <unordered_set>

CProject::CProject() = default;

CProject::~CProject() = default;

bool CProject::DeleteColumn(CColumn* column)
{
    if (!columns.Remove(column)) return false;
    delete column;
    modified = true;
    return true;
}

CColumn::CColumn(CProject& parent) : parent(&parent)
{
    parent.columns.Append(this);
}

CColumn::CColumn(CProject& parent, const std::wstring& caption) : parent(&parent), caption(caption)
{
    parent.columns.Append(this);
}

CColumn::~CColumn() = default;

CGroup::CGroup(CColumn& parent) : parent(&parent)
{
    parent.groups.Append(this);
}

CGroup::CGroup(CColumn& parent, const std::wstring& caption) : parent(&parent), caption(caption)
{
    parent.groups.Append(this);
}

CGroup::~CGroup() = default;

void CGroup::RemoveChild(CItem* child)
{
    items.Remove(child);
}

void CGroup::DeleteChildren()
{
    items.DeleteAll();
}

void CGroup::MoveChildAfter(CItem* child, CItem* after)
{
    items.MoveAfter(child, after);
}

CItem::CItem(CGroup& parent) : parent(&parent)
{
    parent.items.Append(this);
}

CItem::~CItem() = default;

std::wstring ShownTab(const CColumn& column)
{
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; };
    const std::wstring& tab = column.tab;
    std::size_t first = 0, last = tab.size();
    while (first < last && blank(tab[first]))
        ++first;
    while (last > first && blank(tab[last - 1]))
        --last;
    return tab.substr(first, last - first);
}

std::vector<std::wstring> TabsInUse(const CProject& project)
{
    std::vector<std::wstring> tabs;
    std::unordered_set<std::wstring> seen;
    for (const CColumn* column : project.columns) {
        std::wstring tab = ShownTab(*column);
        if (!tab.empty() && seen.insert(tab).second) tabs.push_back(std::move(tab));
    }
    return tabs;
}
