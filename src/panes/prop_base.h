// The property panes: one modeless child dialog per kind of node, showing the node selected in
// the tree and handing every edit to the change path at once.
#pragma once

#include "edit/site.h"
#include "winui/dialog_base.h"

#include <windows.h>

class CProjectChanges;
class CStreamable;

class CdlgPropBase : public CDialogBase
{
public:
    CdlgPropBase(UINT templateId, CProjectChanges& changes);

    // Binds the pane to a node of its own kind and fills its controls.
    virtual void SetNode(CStreamable* node) = 0;
    // The edit that holds the node's name (F2 focuses it).
    virtual HWND FirstEdit() const = 0;
    // Selects the row a site lies in (a further link, field or option); nothing by default.
    virtual void ShowRow(const CSite& site);
    // The row that is current, as a site of the bound node's row (no node is set).
    virtual CSite CurrentRow() const;

protected:
    CProjectChanges* changes; // not owned
    // Set while SetNode fills the controls: their change notifications are then ignored.
    bool updating = false;
};
