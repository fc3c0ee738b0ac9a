#include "model/project.h"

#include "model/item.h"

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
