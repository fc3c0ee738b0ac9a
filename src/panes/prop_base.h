// The property panes: one modeless child dialog per kind of node, showing the node selected in
// the tree and handing every edit to the change path at once.
#pragma once

#include "edit/site.h"

#include <windows.h>

#include <string>

class CProjectChanges;
class CStreamable;

class CdlgPropBase
{
public:
    CdlgPropBase(UINT templateId, CProjectChanges& changes);
    virtual ~CdlgPropBase();
    CdlgPropBase(const CdlgPropBase&) = delete;
    CdlgPropBase& operator=(const CdlgPropBase&) = delete;

    virtual int OnInitDialog();
    virtual int OnSize();
    virtual int OnCommand(WPARAM wParam, LPARAM lParam);
    virtual int OnNotify(WPARAM wParam, LPARAM lParam);
    // Any other message; true when it was handled, with the dialog procedure's result.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // Binds the pane to a node of its own kind and fills its controls.
    virtual void SetNode(CStreamable* node) = 0;
    // The edit that holds the node's name (F2 focuses it).
    virtual HWND FirstEdit() const = 0;
    // Selects the row a site lies in (a further link, field or option); nothing by default.
    virtual void ShowRow(const CSite& site);
    // The row that is current, as a site of the bound node's row (no node is set).
    virtual CSite CurrentRow() const;

    // Creates the dialog as a modeless child of `parent`; true when a window was created.
    bool Create(HWND parent);
    HWND Window() const { return window; }
    UINT TemplateId() const { return templateId; }

    // The window's whole text, unchanged.
    static std::wstring ReadWindowText(HWND control);

    // Sets a flag for the lifetime of the scope and restores its previous value on every exit
    // path, exceptions included.
    class CFlagScope
    {
    public:
        explicit CFlagScope(bool& flag) : flag(flag), previous(flag) { flag = true; }
        ~CFlagScope() { flag = previous; }
        CFlagScope(const CFlagScope&) = delete;
        CFlagScope& operator=(const CFlagScope&) = delete;

    private:
        bool& flag;
        bool previous;
    };

protected:
    UINT templateId;
    CProjectChanges* changes; // not owned
    // Set while SetNode fills the controls: their change notifications are then ignored.
    bool updating = false;
    HWND window = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
