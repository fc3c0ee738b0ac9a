// The icon fetch's window: a small modeless window of its own, owned by the main window. While
// the fetch runs in the background it shows "n of N pages fetched" with a progress bar and
// Cancel; when it ends, the icons found are given to their items as one undoable step and the
// window says what was found, with Close.
#pragma once

#include "editor/job_news.h"
#include "editor/link_check_dialog.h"
#include "icons/icon_fetch_job.h"
#include "panes/prop_base.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class CdlgIconFetch : public CdlgPropBase
{
public:
    // `host` refreshes the shown pane once icons were given.
    CdlgIconFetch(CProjectChanges& changes, ILinkCheckHost& host);
    // Cancels a fetch that still runs; its thread is waited for a bounded time.
    ~CdlgIconFetch() override;

    // Starts a fetch of the icons of every link without one and shows the window, created on
    // first use as a window owned by `owner`. While a fetch runs, only brings the window forward.
    void Start(HWND owner);
    // Stops the fetch that runs; the icons fetched until then are given as the one step.
    void Cancel();
    // Hides the window; a fetch that runs is abandoned and gives nothing.
    void Close();
    // Sends the window's keys through its dialog navigation; true when the message was the
    // window's and is handled.
    bool TranslateKey(MSG& message);

    bool IsOpen() const { return window && ::IsWindowVisible(window); }
    bool Running() const { return job && !job->Finished(); }
    // True once the running fetch has ended and its icons were given.
    bool Ended() const { return ended; }
    // How many icons the last fetch gave; valid once Ended().
    std::size_t Given() const { return given; }
    // The fetch that runs or ran last; null before the first.
    const CIconFetchJob* Job() const { return job.get(); }
    // The fetch's settings and HTTP stack for the fetches to come (tests shorten the time limit).
    void SetFetchSetup(const IconFetchSettings& settings, CIconFetchJob::TransportFactory factory);

    int OnInitDialog() override;
    int OnCommand(WPARAM wParam, LPARAM lParam) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
    void SetNode(CStreamable*) override {}
    HWND FirstEdit() const override { return nullptr; }

    HWND status = nullptr;
    HWND progress = nullptr;
    HWND cancelButton = nullptr;
    HWND closeButton = nullptr;

private:
    // The fetch's thread said something: progress, or the end.
    void TakeNews();
    void ShowProgress();
    // Gives the icons found as one step and shows the summary.
    void Finish();
    // Centres the window over its owner.
    void PlaceOver(HWND owner);

    ILinkCheckHost* host; // not owned
    IconFetchSettings settings;
    CIconFetchJob::TransportFactory factory;
    std::unique_ptr<CIconFetchJob> job;
    bool ended = false;
    std::size_t given = 0;
    // Abandoned fetches winding down; ended when they say they are done, or with this object.
    std::vector<std::unique_ptr<CIconFetchJob>> retired;
    CJobNews news;
};

// What the window says when a fetch has ended: "12 icons fetched, 3 links without an icon",
// preceded by "Cancelled. " when it was cancelled.
std::wstring IconFetchSummary(const CIconFetchJob& job, std::size_t given);
