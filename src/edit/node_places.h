// A node's place in the tree, taking a node with everything below it out of the tree and putting
// it back, and what such a branch costs in memory.
#pragma once

#include <cstddef>
#include <cstdint>

class CStreamable;

// The node that holds a node of `kind`; null for the project.
CStreamable* ParentOf(std::int32_t kind, const CStreamable* node);
// The node's position among its parent's children; 0 for the project.
std::size_t IndexOf(std::int32_t kind, const CStreamable* node);
// The number of children of `parent`, a node of kind `kind - 1` holding nodes of `kind`.
std::size_t ChildCount(std::int32_t kind, const CStreamable* parent);
// Child `index` of `parent` (a node of kind `kind - 1` holding nodes of `kind`), or null.
CStreamable* ChildAt(std::int32_t kind, const CStreamable* parent, std::size_t index);
// True when `node` (of `kind`) is `ancestor` (of `ancestorKind`) or lies below it.
bool IsWithin(std::int32_t kind, const CStreamable* node, std::int32_t ancestorKind,
              const CStreamable* ancestor);
// A rough count of the bytes a node and everything below it hold: the objects and their texts.
std::size_t BranchBytes(std::int32_t kind, const CStreamable* node);

// A column, group or item out of the tree, with everything below it. Destroys it unless it was
// put back.
class CDetachedNode
{
public:
    CDetachedNode() = default;
    ~CDetachedNode() { Destroy(); }
    CDetachedNode(CDetachedNode&& other) noexcept : kind(other.kind), node(other.node)
    {
        other.node = nullptr;
    }
    CDetachedNode& operator=(CDetachedNode&& other) noexcept;
    CDetachedNode(const CDetachedNode&) = delete;
    CDetachedNode& operator=(const CDetachedNode&) = delete;

    // Unlinks `node` from its parent; an empty holder when the parent does not hold it.
    static CDetachedNode Take(std::int32_t kind, CStreamable* node);
    // Puts the node at `index` among the children of `parent` (the end when beyond it) and makes
    // it the node's parent; the holder is empty afterwards. Nothing for an empty holder.
    void PutBack(CStreamable* parent, std::size_t index);

    CStreamable* Get() const { return node; }
    std::int32_t Kind() const { return kind; }

private:
    CDetachedNode(std::int32_t kind, CStreamable* node) : kind(kind), node(node) {}
    void Destroy();

    std::int32_t kind = 0;
    CStreamable* node = nullptr; // owned
};
