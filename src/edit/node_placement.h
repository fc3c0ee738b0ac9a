// Where pasted and dropped nodes go: by the kind pasted onto the kind acted on, as the Add
// commands place a new node; a drop onto a node of the dragged kind goes before or after it.
#pragma once

#include <cstddef>
#include <cstdint>

class CStreamable;

// A place among the children of a node: `parent` holds nodes of the kind placed, `index` counts
// its children as they are now.
struct CNodePlace
{
    CStreamable* parent = nullptr; // not owned
    std::size_t index = 0;
};

// Where nodes of `pastedKind` go when pasted with (actingKind, acting) acted on:
// - a column after the acting node's column, at the end when the project is acted on;
// - a group at the end of an acted-on column, after an acted-on group or an acted-on item's
//   group, and at the end of the last column when the project is acted on;
// - an item at the end of an acted-on group or after an acted-on item; with the project or a
//   column acted on, at the end of the (last) column's last group.
// False when there is no such place (an item onto a column without groups, say).
bool PastePlace(std::int32_t actingKind, CStreamable* acting, std::int32_t pastedKind,
                CNodePlace& place);

// Where a dragged node of `draggedKind` goes when dropped onto (targetKind, target): before the
// target when it is of the same kind and the mouse is in its upper half (`upperHalf`), after it
// in the lower half, elsewhere as PastePlace puts it.
bool DropPlace(std::int32_t targetKind, CStreamable* target, std::int32_t draggedKind,
               bool upperHalf, CNodePlace& place);
