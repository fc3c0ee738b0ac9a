// The find bar: one row below the tree and the pane with the text to find, "Next", "Previous",
// "Match case" and a status text. A child dialog like the panes; it leaves the search to its
// host.
#pragma once

#include "winui/controls.h"
#include "winui/dialog_base.h"

#include <string>

class IFindHost
{
public:
    virtual ~IFindHost() = default;
    // Finds the bar's text from the selection: forward or backward, the selection itself
    // included (as typing does) or not (Next, Previous).
    virtual void FindFromBar(bool forward, bool inclusive) = 0;
};

class CdlgFindBar : public CDialogBase
{
public:
    explicit CdlgFindBar(IFindHost& host);
    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;

    // By its own style: the bar counts as open while the main window is hidden too.
    bool IsOpen() const
    {
        return window && (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
    }
    // Shows the bar and puts the focus into its text, selected.
    void Open();
    void Close();
    std::wstring Text() const { return winui::ReadWindowText(textEdit); }
    bool MatchCase() const;
    // "Not found", or nothing.
    void SetStatus(const wchar_t* text);
    // The bar's height in pixels, as the template sets it at the DPI the bar is laid out for.
    int Height() const { return FromCreation(height); }

    HWND textEdit = nullptr;
    HWND caseCheck = nullptr;
    HWND status = nullptr;

private:
    IFindHost* host; // not owned
    int height = 0;
};
