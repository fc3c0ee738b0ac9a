// The record that ties a tree view item to the node it shows.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

class CStreamable;

// What kind of node a tree item shows; passed to NodeEdited by the panes.
enum NodeKind : std::int32_t
{
    kNodeProject = 0,
    kNodeColumn = 1,
    kNodeGroup = 2,
    kNodeItem = 3, // a link or a form item
};

struct TreeItemData
{
    std::int32_t kind; // a NodeKind
    CStreamable* node; // the CProject, CColumn, CGroup or CItem; not owned
    HTREEITEM item;    // the tree item that carries this record
};
