// The main window: the project tree on the left, the selected node's pane on the right.
#pragma once

#include "editor/tree_item_data.h"
#include "panes/prop_item_form.h"
#include "panes/prop_item_link.h"
#include "panes/prop_simple.h"

#include <windows.h>

#include <cstdint>

class CProject;
class CStreamable;

class CfrmTreeEditor
{
public:
    explicit CfrmTreeEditor(CProject& project);
    ~CfrmTreeEditor();
    CfrmTreeEditor(const CfrmTreeEditor&) = delete;
    CfrmTreeEditor& operator=(const CfrmTreeEditor&) = delete;

    // Registers the window class and creates the windows; false when any of them fails.
    bool Create();
    HWND MainWindow() const { return mainWindow; }
    CProject& Project() const { return *project; }

    // Called by the panes after they changed a property of `node`: marks the project modified
    // and rewrites the tree label of every item that shows the node.
    void NodeEdited(std::int32_t kind, CStreamable* node);

    CdlgPropProject projectPane;
    CdlgPropColumn columnPane;
    CdlgPropGroup groupPane;
    CdlgPropItemLink linkPane;
    CdlgPropItemForm formPane;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Close();

    CProject* project; // not owned
    HWND mainWindow = nullptr;
};
