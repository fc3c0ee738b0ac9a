// The editor's tree item records: owns one TreeItemData per tree view item and finds the record
// of a node without walking them all. A node is shown by at most one item; should two records
// ever share a node, both are still owned and released correctly.
#pragma once

#include "editor/tree_item_data.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

class CTreeItemRecords
{
public:
    // A new record for a tree item about to be inserted; the caller sets its `item` once the
    // tree view has one.
    TreeItemData* Add(std::int32_t kind, CStreamable* node);
    // The record showing (kind, node), or null.
    TreeItemData* Find(std::int32_t kind, const CStreamable* node) const;
    // Releases a record whose tree item was deleted. A record that is not held here is deleted
    // all the same: every tree item's record was made by Add.
    void Release(TreeItemData* record);
    // Releases every record.
    void Clear();
    // Makes room for `count` records at once (a rebuild knows how many it will add).
    void Reserve(std::size_t count);
    std::size_t Count() const { return records.size(); }

private:
    struct Key
    {
        std::int32_t kind;
        const CStreamable* node; // only compared, never followed
        bool operator==(const Key& other) const { return kind == other.kind && node == other.node; }
    };
    struct KeyHash
    {
        std::size_t operator()(const Key& key) const
        {
            return std::hash<const void*>()(key.node) ^ static_cast<std::size_t>(key.kind);
        }
    };

    std::unordered_multimap<Key, std::unique_ptr<TreeItemData>, KeyHash> records;
};
