// The icon fetch's window: a small modeless window of its own, owned by the main window. While
// the fetch runs in the background it shows "n of N pages fetched" with a progress bar and
// Cancel; when it ends, the icons found are given to their items as one undoable step and the
// window says what was found, with Close.
#pragma once

#include "editor/network_job_window.h"
#include "network/icon_fetch_job.h"

#include <string>

class CdlgIconFetch : public CdlgNetworkJob<CIconFetchJob, IconFetchSettings>
{
public:
    // `host` refreshes the shown pane once icons were given.
    CdlgIconFetch(CProjectChanges& changes, ILinkCheckHost& host);

    // Starts a fetch of the icons of every link without one and shows the window, created on
    // first use as a window owned by `owner`. While a fetch runs, only brings the window forward.
    // Cancel stops it; the icons fetched until then are given as the one step.
    void Start(HWND owner);
    // Hides the window; a fetch that runs is abandoned and gives nothing.
    void Close();

    // True once the running fetch has ended and its icons were given.
    bool Ended() const { return ended; }
    // How many icons the last fetch gave; valid once Ended().
    std::size_t Given() const { return given; }

    int OnInitDialog() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void ShowProgress() override;
    // Gives the icons found as one step and shows the summary.
    void ShowEnd() override;
    bool EndShown() const override { return ended; }
    // Centres the window over its owner.
    void PlaceOver(HWND owner);

    bool ended = false;
    std::size_t given = 0;
};

// What the window says when a fetch has ended: "12 icons fetched, 3 links without an icon",
// preceded by "Cancelled. " when it was cancelled.
std::wstring IconFetchSummary(const CIconFetchJob& job, std::size_t given);
