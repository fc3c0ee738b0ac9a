// The column and group panes: one label and one edit box each, bound to one text of the node, and
// the column's tab under its caption; the project pane builds on the same (prop_project.h).
#pragma once

#include "panes/prop_base.h"

#include <cstdint>
#include <string>

class CColumn;
class CGroup;
class CProject;

template <typename Node> class CdlgPropOneText : public CdlgPropBase
{
public:
    int OnInitDialog() override;
    // Keeps the edit box's left edge, top edge and height, and puts its right edge 4 pixels
    // inside the dialog's client area.
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    void SetNode(CStreamable* node) override;
    HWND FirstEdit() const override { return edit; }

    Node* node = nullptr; // not owned
    HWND edit = nullptr;  // the node's text

protected:
    CdlgPropOneText(CProjectChanges& changes, UINT templateId, std::int32_t kind, int editId,
                    SitePart part, std::wstring Node::*field);

private:
    std::int32_t kind; // a NodeKind, reported with each edit
    int editId;
    SitePart part; // the text the edit changes
    std::wstring Node::*field;
};

// The caption, and under it the tab the column shows on: an edit with a list of the tab names the
// project uses. Typing is typing as in any edit; a name chosen from the list is a step of its own.
class CdlgPropColumn : public CdlgPropOneText<CColumn>
{
public:
    explicit CdlgPropColumn(CProjectChanges& changes);

    int OnInitDialog() override;
    // Stretches the caption edit and the tab box alike.
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Shows the caption and the tab, and lists the tabs in use.
    void SetNode(CStreamable* node) override;

    HWND tabCombo = nullptr; // editable, listing the tabs in use

private:
    // Fills the list with the project's tabs, keeping the text shown.
    void ListTabs();
    void ShowTab(const std::wstring& tab);
    void SetTab(const std::wstring& tab);

    int tabComboHeight = 0; // with the list dropped down
};

class CdlgPropGroup : public CdlgPropOneText<CGroup>
{
public:
    explicit CdlgPropGroup(CProjectChanges& changes);
};
