#include "editor/tree_item_records.h"

TreeItemData* CTreeItemRecords::Add(std::int32_t kind, CStreamable* node)
{
    auto record = std::make_unique<TreeItemData>(TreeItemData{kind, node, nullptr});
    TreeItemData* added = record.get();
    records.emplace(Key{kind, node}, std::move(record));
    return added;
}

TreeItemData* CTreeItemRecords::Find(std::int32_t kind, const CStreamable* node) const
{
    auto found = records.find(Key{kind, node});
    return found == records.end() ? nullptr : found->second.get();
}

void CTreeItemRecords::Release(TreeItemData* record)
{
    if (!record) return;
    auto range = records.equal_range(Key{record->kind, record->node});
    for (auto at = range.first; at != range.second; ++at) {
        if (at->second.get() == record) {
            records.erase(at);
            return;
        }
    }
    delete record;
}

void CTreeItemRecords::Clear()
{
    records.clear();
}

void CTreeItemRecords::Reserve(std::size_t count)
{
    records.reserve(count);
}
