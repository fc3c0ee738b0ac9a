// The record that ties a tree view item to the node it shows.
#pragma once

#include "edit/site.h" // NodeKind

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

class CStreamable;

struct TreeItemData
{
    std::int32_t kind; // a NodeKind
    CStreamable* node; // the CProject, CColumn, CGroup or CItem; not owned
    HTREEITEM item;    // the tree item that carries this record
};
