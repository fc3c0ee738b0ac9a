// The link check's results window: a modeless window of its own beside the main window. While a
// check runs in the background it shows "n of N checked" with a progress bar and Cancel; then
// the places in a list, problems first and sortable by any column, under a summary of the list
// as it stands (or, when no address could be reached at all, that the computer seems to be
// offline, with "Check again"). A row opens its node in the main window, which comes forward;
// "Replace moved links" gives the moved links their final addresses and "Delete selected links"
// deletes the selected rows' links, each as one step; Ctrl+C copies the selected rows as text.
#pragma once

#include "editor/network_job_window.h"
#include "network/link_check_job.h"
#include "network/link_check_results.h"

#include <memory>
#include <vector>

class CdlgLinkCheck : public CdlgNetworkJob<CLinkCheckJob, LinkCheckSettings>
{
public:
    CdlgLinkCheck(CProjectChanges& changes, ILinkCheckHost& host);

    // Starts a check of the whole project and shows the window, created on first use as a
    // window owned by `owner`. While a check runs, only brings the window forward. Cancel stops
    // it; the places checked so far are listed.
    void Start(HWND owner);
    // Hides the window; a check that runs is cancelled.
    void Close();
    // The project changed: the list follows a moment later (deleted nodes drop out, undone
    // replacements show as moved again).
    void ProjectChanged();
    // The listed results once a check has finished; null before.
    const CLinkCheckResults* Results() const { return results.get(); }

    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    int OnNotify(WPARAM wParam, LPARAM lParam) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    HWND list = nullptr;
    HWND replaceButton = nullptr;
    HWND httpsCheck = nullptr;
    HWND deleteButton = nullptr;
    HWND againButton = nullptr;

private:
    void ShowProgress() override;
    // Lists the results.
    void ShowEnd() override;
    bool EndShown() const override { return results != nullptr; }
    // Takes the project as it is now into the list, keeping the selected places selected, and
    // the summary and the buttons with it.
    void Refresh();
    void FillList(const std::vector<std::size_t>& selectPlaces, std::size_t focusPlace);
    // The summary of the list as it stands, or that the computer seems to be offline.
    void ShowStatus();
    void EnableButtons();
    // The places of the selected rows, and of the focused row (kNoRow when none).
    std::vector<std::size_t> SelectedPlaces() const;
    std::size_t FocusedPlace() const;
    // Shares the list's width among the columns.
    void SizeColumns();
    void MarkSortColumn();
    // Double-click or Enter on a row.
    void OpenPlace(std::size_t place);
    void ReplaceMoved();
    void DeleteSelected();
    void CopySelected();
    // Places the window over the lower part of the main window, within the screen's work area.
    void PlaceOver(HWND mainWindow);

    std::unique_ptr<CLinkCheckResults> results;
    SIZE minimum = {0, 0};
    // The controls' distances from the window's edges, from the template.
    int margin = 0, gap = 0, rowHeight = 0, buttonWidth = 0, deleteWidth = 0, replaceWidth = 0,
        checkWidth = 0;
};
