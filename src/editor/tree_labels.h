// Rewrites the labels of a tree view's items as the user types, fast in a long tree.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

// The item's text as the tree view holds it, cut to `capacity` - 1 characters.
std::wstring TreeItemText(HWND tree, HTREEITEM item, int capacity);

class CTreeLabels
{
public:
    CTreeLabels() = default;
    CTreeLabels(const CTreeLabels&) = delete;
    CTreeLabels& operator=(const CTreeLabels&) = delete;

    // Binds to the tree view; call once, after it was created.
    void Attach(HWND treeView) { tree = treeView; }
    // Makes `label` the item's text (TVM_SETITEMW) and shows it at once. An item that already
    // shows it is left alone.
    void Set(HTREEITEM item, const std::wstring& label);

private:
    // The tree view's subclass while the scroll bar styles are off: it is not told of the change.
    static LRESULT CALLBACK QuietProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);
    bool Shows(HTREEITEM item, const std::wstring& label) const;
    // True when the tree's scroll bars stay exactly as they are with `label` as the item's text.
    bool KeepsScrollBars(HTREEITEM item, const std::wstring& label) const;
    // The label's width in the tree's font, or -1.
    int TextWidth(const std::wstring& label) const;
    void SetText(HTREEITEM item, const std::wstring& label) const;
    // Runs `work` (a set, a paint) with the scroll bar styles taken off the tree view for the
    // moment; false, with nothing done, when the tree view cannot be subclassed.
    bool Quietly(const std::function<void()>& work) const;

    HWND tree = nullptr; // not owned
};
