// The icon fetch's window: a modeless window of its own beside the main window. While the fetch
// runs in the background it shows "n of N pages fetched" with a progress bar and Cancel; when it
// ends, the icons found are given to their items as one undoable step, and the window says what
// was found and lists the links that got no icon and why. A row opens its node in the main
// window, which comes forward; Ctrl+C copies the selected rows as text.
#pragma once

#include "editor/network_job_window.h"
#include "network/icon_fetch_job.h"
#include "network/icon_fetch_results.h"

#include <memory>
#include <string>
#include <vector>

class CdlgIconFetch : public CdlgNetworkJob<CIconFetchJob, IconFetchSettings>
{
public:
    // `host` refreshes the shown pane once icons were given.
    CdlgIconFetch(CProjectChanges& changes, ILinkCheckHost& host);

    // Starts a fetch of the icons of every link without one and shows the window, created on
    // first use beside the main window `owner`. While a fetch runs, only brings the window
    // forward. Cancel stops it; the icons fetched until then are given as the one step.
    void Start(HWND owner);
    // Hides the window; a fetch that runs is abandoned and gives nothing.
    void Close();
    // The project changed: the list follows a moment later (deleted nodes drop out).
    void ProjectChanged();

    // True once the running fetch has ended and its icons were given.
    bool Ended() const { return ended; }
    // How many icons the last fetch gave; valid once Ended().
    std::size_t Given() const { return given; }
    // The links listed without an icon once a fetch has ended; null before.
    const CIconFetchResults* Results() const { return results.get(); }

    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    int OnNotify(WPARAM wParam, LPARAM lParam) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    HWND list = nullptr;

private:
    void ShowProgress() override;
    // Gives the icons found as one step, shows the summary and lists the links without one.
    void ShowEnd() override;
    bool EndShown() const override { return ended; }
    // Takes the project as it is now into the list, keeping the selected rows selected.
    void Refresh();
    void FillList(const std::vector<std::size_t>& selectEntries, std::size_t focusEntry);
    std::vector<std::size_t> SelectedEntries() const;
    std::size_t FocusedEntry() const;
    void OpenEntry(std::size_t entry);
    void CopySelected();
    // Centres the window over the main window, as wide as it allows (up to twice the
    // template's width).
    void PlaceOver(HWND mainWindow);

    bool ended = false;
    std::size_t given = 0;
    std::unique_ptr<CIconFetchResults> results;
    SIZE minimum = {0, 0};
    int margin = 0, gap = 0, rowHeight = 0, buttonWidth = 0;
};

// What the window says when a fetch has ended: "12 icons fetched, 3 links without an icon",
// preceded by "Cancelled. " when it was cancelled. `without` is how many links are listed.
std::wstring IconFetchSummary(const CIconFetchJob& job, std::size_t given, std::size_t without);
