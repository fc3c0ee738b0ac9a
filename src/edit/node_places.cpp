#include "edit/node_places.h"

#include "edit/site.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"

namespace {

std::size_t TextBytes(const std::wstring& text)
{
    return text.capacity() * sizeof(wchar_t);
}

std::size_t ItemBytes(const CItem& item)
{
    std::size_t bytes = item.keptChunks.empty() ? 0 : 64;
    if (item.GetTag() == tags::kItemLink) {
        const auto& link = static_cast<const CItemLink&>(item);
        bytes += sizeof(CItemLink) + TextBytes(link.mainLink.caption) +
                 TextBytes(link.mainLink.url) + TextBytes(link.divider);
        if (link.popup) bytes += sizeof(CPopup) + TextBytes(link.popup->content);
        if (link.icon) bytes += sizeof(CLinkIcon) + link.icon->Bytes().capacity();
        for (const CItemLink::CLink* further : link.links)
            bytes +=
                sizeof(CItemLink::CLink) + TextBytes(further->caption) + TextBytes(further->url);
        return bytes;
    }
    if (item.GetTag() == tags::kItemForm) {
        const auto& form = static_cast<const CItemForm&>(item);
        bytes += sizeof(CItemForm) + TextBytes(form.name) + TextBytes(form.action);
        for (const CItemForm::CField* field : form.fields) {
            bytes += sizeof(CItemForm::CField) + TextBytes(field->name) + TextBytes(field->value);
            for (const CItemForm::COption* option : field->options)
                bytes +=
                    sizeof(CItemForm::COption) + TextBytes(option->text) + TextBytes(option->value);
        }
        return bytes;
    }
    return bytes + sizeof(CItem);
}

std::size_t GroupBytes(const CGroup& group)
{
    std::size_t bytes = sizeof(CGroup) + TextBytes(group.caption);
    for (const CItem* item : group.items)
        bytes += sizeof(void*) + ItemBytes(*item);
    return bytes;
}

std::size_t ColumnBytes(const CColumn& column)
{
    std::size_t bytes = sizeof(CColumn) + TextBytes(column.caption);
    for (const CGroup* group : column.groups)
        bytes += sizeof(void*) + GroupBytes(*group);
    return bytes;
}

} // namespace

CStreamable* ParentOf(std::int32_t kind, const CStreamable* node)
{
    switch (kind) {
    case kNodeColumn:
        return static_cast<const CColumn*>(node)->parent;
    case kNodeGroup:
        return static_cast<const CGroup*>(node)->parent;
    case kNodeItem:
        return static_cast<const CItem*>(node)->parent;
    default:
        return nullptr;
    }
}

std::size_t IndexOf(std::int32_t kind, const CStreamable* node)
{
    switch (kind) {
    case kNodeColumn: {
        const auto* column = static_cast<const CColumn*>(node);
        return column->parent->columns.IndexOf(column);
    }
    case kNodeGroup: {
        const auto* group = static_cast<const CGroup*>(node);
        return group->parent->groups.IndexOf(group);
    }
    case kNodeItem: {
        const auto* item = static_cast<const CItem*>(node);
        return item->parent->items.IndexOf(item);
    }
    default:
        return 0;
    }
}

std::size_t ChildCount(std::int32_t kind, const CStreamable* parent)
{
    switch (kind) {
    case kNodeColumn:
        return static_cast<const CProject*>(parent)->columns.size();
    case kNodeGroup:
        return static_cast<const CColumn*>(parent)->groups.size();
    case kNodeItem:
        return static_cast<const CGroup*>(parent)->items.size();
    default:
        return 0;
    }
}

CStreamable* ChildAt(std::int32_t kind, const CStreamable* parent, std::size_t index)
{
    if (index >= ChildCount(kind, parent)) return nullptr;
    switch (kind) {
    case kNodeColumn:
        return static_cast<const CProject*>(parent)->columns[index];
    case kNodeGroup:
        return static_cast<const CColumn*>(parent)->groups[index];
    case kNodeItem:
        return static_cast<const CGroup*>(parent)->items[index];
    default:
        return nullptr;
    }
}

bool IsWithin(std::int32_t kind, const CStreamable* node, std::int32_t ancestorKind,
              const CStreamable* ancestor)
{
    for (; node && kind > ancestorKind; --kind)
        node = ParentOf(kind, node);
    return node && kind == ancestorKind && node == ancestor;
}

std::size_t BranchBytes(std::int32_t kind, const CStreamable* node)
{
    switch (kind) {
    case kNodeColumn:
        return ColumnBytes(*static_cast<const CColumn*>(node));
    case kNodeGroup:
        return GroupBytes(*static_cast<const CGroup*>(node));
    case kNodeItem:
        return ItemBytes(*static_cast<const CItem*>(node));
    default:
        return 0;
    }
}

CDetachedNode& CDetachedNode::operator=(CDetachedNode&& other) noexcept
{
    if (this != &other) {
        Destroy();
        kind = other.kind;
        node = other.node;
        other.node = nullptr;
    }
    return *this;
}

CDetachedNode CDetachedNode::Take(std::int32_t kind, CStreamable* node)
{
    bool taken = false;
    switch (kind) {
    case kNodeColumn: {
        auto* column = static_cast<CColumn*>(node);
        taken = column->parent->columns.Remove(column);
        break;
    }
    case kNodeGroup: {
        auto* group = static_cast<CGroup*>(node);
        taken = group->parent->groups.Remove(group);
        break;
    }
    case kNodeItem: {
        auto* item = static_cast<CItem*>(node);
        taken = item->parent->items.Remove(item);
        break;
    }
    default:
        break;
    }
    return taken ? CDetachedNode(kind, node) : CDetachedNode();
}

void CDetachedNode::PutBack(CStreamable* parent, std::size_t index)
{
    if (!node || !parent) return;
    switch (kind) {
    case kNodeColumn: {
        auto* column = static_cast<CColumn*>(node);
        column->parent = static_cast<CProject*>(parent);
        column->parent->columns.Insert(column, index);
        break;
    }
    case kNodeGroup: {
        auto* group = static_cast<CGroup*>(node);
        group->parent = static_cast<CColumn*>(parent);
        group->parent->groups.Insert(group, index);
        break;
    }
    case kNodeItem: {
        auto* item = static_cast<CItem*>(node);
        item->parent = static_cast<CGroup*>(parent);
        item->parent->items.Insert(item, index);
        break;
    }
    default:
        return;
    }
    node = nullptr;
}

void CDetachedNode::Destroy()
{
    switch (kind) {
    case kNodeColumn:
        delete static_cast<CColumn*>(node);
        break;
    case kNodeGroup:
        delete static_cast<CGroup*>(node);
        break;
    case kNodeItem:
        delete static_cast<CItem*>(node);
        break;
    default:
        break;
    }
    node = nullptr;
}
