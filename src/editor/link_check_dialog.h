// The link check's results window: a modeless window of its own, owned by the main window. While
// a check runs in the background it shows "n of N checked" with a progress bar and Cancel; then
// the places in a list, problems first and sortable by any column. A row opens its node in the
// main window; "Replace moved links" gives the moved links their final addresses as one step.
#pragma once

#include "editor/job_news.h"
#include "linkcheck/link_check_job.h"
#include "linkcheck/link_check_results.h"
#include "panes/prop_base.h"

#include <atomic>
#include <memory>
#include <vector>

class ILinkCheckHost
{
public:
    virtual ~ILinkCheckHost() = default;
    // Selects the site's node in the tree and shows its pane, with the site's row selected.
    virtual void ShowLinkSite(const CSite& site) = 0;
    // The pane that is shown takes its node's values afresh (the fixes changed them).
    virtual void RefreshShownPane() = 0;
};

class CdlgLinkCheck : public CdlgPropBase
{
public:
    CdlgLinkCheck(CProjectChanges& changes, ILinkCheckHost& host);
    // Cancels a check that still runs; its threads are waited for a bounded time.
    ~CdlgLinkCheck() override;

    // Starts a check of the whole project and shows the window, created on first use as a
    // window owned by `owner`. While a check runs, only brings the window forward.
    void Start(HWND owner);
    // Cancels the check that runs, if any; the places checked so far are listed.
    void Cancel();
    // Hides the window; a check that runs is cancelled.
    void Close();
    // The project changed: the list follows a moment later (deleted nodes drop out, undone
    // replacements show as moved again).
    void ProjectChanged();
    // Sends the window's keys through its dialog navigation (Tab, Enter, Escape); true when
    // the message was the window's and is handled.
    bool TranslateKey(MSG& message);

    bool IsOpen() const { return window && ::IsWindowVisible(window); }
    bool Running() const { return job && !job->Finished(); }
    // The check's settings and HTTP stack for the checks to come (tests shorten the time
    // limit, or give a stack of their own).
    void SetCheckSetup(const LinkCheckSettings& settings, CLinkCheckJob::TransportFactory factory);
    // The listed results once a check has finished; null before.
    const CLinkCheckResults* Results() const { return results.get(); }
    const CLinkCheckJob* Job() const { return job.get(); }

    int OnInitDialog() override;
    int OnSize() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    int OnNotify(WPARAM wParam, LPARAM lParam) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void SetNode(CStreamable*) override {}
    HWND FirstEdit() const override { return nullptr; }

    HWND status = nullptr;
    HWND progress = nullptr;
    HWND cancelButton = nullptr;
    HWND list = nullptr;
    HWND replaceButton = nullptr;
    HWND httpsCheck = nullptr;
    HWND closeButton = nullptr;

private:
    // The check's thread said something: progress, or the end.
    void OnJobNews();
    // Shows where the check is, or its results once it has ended, and lets the next news come.
    void TakeNews();
    void ShowProgress();
    void ShowResults();
    // Takes the project as it is now into the list, keeping the selected place selected.
    void Refresh();
    void FillList(std::size_t selectPlace);
    // Shares the list's width among the columns.
    void SizeColumns();
    void MarkSortColumn();
    // Double-click or Enter on a row.
    void OpenRow(int row);
    void ReplaceMoved();
    // Places the window over the lower part of its owner, within the screen's work area.
    void PlaceOver(HWND owner);

    ILinkCheckHost* host; // not owned
    LinkCheckSettings settings;
    CLinkCheckJob::TransportFactory factory;
    std::unique_ptr<CLinkCheckJob> job;
    std::unique_ptr<CLinkCheckResults> results;
    // Cancelled checks winding down; ended when they say they are done, or with this object.
    std::vector<std::unique_ptr<CLinkCheckJob>> retired;
    CJobNews news;
    SIZE minimum = {0, 0};
    // The controls' distances from the window's edges, from the template.
    int margin = 0, gap = 0, rowHeight = 0, buttonWidth = 0, replaceWidth = 0, checkWidth = 0;
};
