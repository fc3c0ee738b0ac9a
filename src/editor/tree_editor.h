// The main window: the project tree on the left, the selected node's pane on the right.
#pragma once

#include <windows.h>

class CProject;

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

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Close();

    CProject* project; // not owned
    HWND mainWindow = nullptr;
};
