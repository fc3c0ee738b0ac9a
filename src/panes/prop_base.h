// The property panes: one modeless child dialog per kind of node, showing the node selected in
// the tree and writing every edit into it at once.
#pragma once

#include <windows.h>

#include <string>

class CfrmTreeEditor;
class CStreamable;

class CdlgPropBase
{
public:
    CdlgPropBase(UINT templateId, CfrmTreeEditor& owner);
    virtual ~CdlgPropBase();
    CdlgPropBase(const CdlgPropBase&) = delete;
    CdlgPropBase& operator=(const CdlgPropBase&) = delete;

    virtual int OnInitDialog();
    virtual int OnSize();
    virtual int OnCommand(WPARAM wParam, LPARAM lParam);
    virtual int OnNotify(WPARAM wParam, LPARAM lParam);
    // Binds the pane to a node of its own kind and fills its controls.
    virtual void SetNode(CStreamable* node) = 0;

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
    // Marks the project modified; for row adds and removes, which change no label.
    void MarkModified();

    UINT templateId;
    CfrmTreeEditor* owner; // not owned
    // Set while SetNode fills the controls: their change notifications are then ignored.
    bool updating = false;
    HWND window = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};
