// What the windows of the background network jobs (the link check, the icon fetch) do alike: one
// job at a time with its settings and HTTP stack, "n of N" while it runs (shown at most every
// 100 ms), Cancel, Close that abandons a running job without waiting for it, and the window's
// keys through dialog navigation. A window adds how it shows progress and the job's end.
// The windows are not owned by the main window, so that opening a result's node brings the main
// window in front of them; they go with it.
#pragma once

#include "editor/job_news.h"
#include "network/http_transport.h"
#include "winui/dialog_base.h"
#include "winui/window_icon.h"

#include <memory>
#include <utility>
#include <vector>

class CProjectChanges;
class CSite;

// The main window, as the job windows need it.
class ILinkCheckHost
{
public:
    virtual ~ILinkCheckHost() = default;
    // Selects the site's node in the tree and shows its pane, with the site's row selected, and
    // brings the main window forward.
    virtual void ShowLinkSite(const CSite& site) = 0;
    // The pane that is shown takes its node's values afresh (the job changed them).
    virtual void RefreshShownPane() = 0;
};

template <class TJob, class Settings> class CdlgNetworkJob : public CDialogBase
{
public:
    // `newsMessage` is the message the job's thread posts to the window.
    CdlgNetworkJob(UINT templateId, CProjectChanges& changes, ILinkCheckHost& host,
                   UINT newsMessage)
        : CDialogBase(templateId), changes(&changes), host(&host), factory(CreateSystemTransport),
          newsMessage(newsMessage)
    {
    }
    // Each job cancels itself and waits for its thread, which waits a bounded time for the HTTP
    // stack's threads.
    ~CdlgNetworkJob() override
    {
        if (job) job->Cancel();
        for (auto& old : retired)
            old->Cancel();
        // This object is going: the window's last messages must not reach it.
        if (window && ::IsWindow(window)) ::SetWindowLongPtrW(window, DWLP_USER, 0);
        Destroy();
    }

    // Destroys the window (the main window's goes); a job that runs is cancelled.
    void Destroy()
    {
        if (job) job->Cancel();
        if (window && ::IsWindow(window)) ::DestroyWindow(window);
        window = nullptr;
    }

    // Stops the job that runs, if any; what it did until then counts.
    void Cancel()
    {
        if (!Running()) return;
        job->Cancel();
        ::EnableWindow(cancelButton, FALSE);
        ::SetWindowTextW(status, L"Cancelling...");
    }
    // Sends the window's keys through its dialog navigation (Tab, Enter, Escape); true when the
    // message was the window's and is handled.
    bool TranslateKey(MSG& message)
    {
        if (!IsOpen() || (message.hwnd != window && !::IsChild(window, message.hwnd))) return false;
        return ::IsDialogMessageW(window, &message) != FALSE;
    }

    bool IsOpen() const { return window && ::IsWindowVisible(window); }
    bool Running() const { return job && !job->Finished(); }
    // The job that runs or ran last; null before the first.
    const TJob* Job() const { return job.get(); }
    // The settings and HTTP stack for the jobs to come (tests shorten the time limit, or give a
    // stack of their own).
    void SetJobSetup(const Settings& jobSettings, typename TJob::TransportFactory transportFactory)
    {
        settings = jobSettings;
        factory = std::move(transportFactory);
    }

    HWND status = nullptr;
    HWND progress = nullptr;
    HWND cancelButton = nullptr;
    HWND closeButton = nullptr;

protected:
    // Creates the window, not owned, for the main window `mainWindow`; true when it was made.
    bool CreateFor(HWND mainWindow)
    {
        owner = mainWindow;
        if (!Create(nullptr)) return false;
        // The program's icon, which an owned window would have taken from its owner.
        winui::TakeIconsOf(window, mainWindow);
        return true;
    }
    // True while the main window is disabled: a message box or dialog of its own is open and
    // acting on a node, which a change from this window must not pull from under it.
    bool MainBusy() const { return owner && !::IsWindowEnabled(owner); }
    // Replaces the finished (or no) job by a new one that tells this window its news.
    template <class... Arguments> void StartJob(Arguments&&... arguments)
    {
        job.reset(); // a finished job ends at once
        job = std::make_unique<TJob>(std::forward<Arguments>(arguments)..., settings, factory,
                                     news.Notifier(window, newsMessage));
        ::EnableWindow(cancelButton, TRUE);
        ::ShowWindow(progress, SW_SHOW);
    }
    // A job that runs is cancelled and left to end by itself: the window does not wait for it,
    // and it gives nothing. True when there was one.
    bool AbandonJob()
    {
        if (!Running()) return false;
        job->Cancel();
        retired.push_back(std::move(job));
        return true;
    }
    // Hides the window, giving the activation back to the main window when the window had it.
    void Hide()
    {
        ::KillTimer(window, kProgressTimer);
        const bool active = ::GetActiveWindow() == window;
        ::ShowWindow(window, SW_HIDE);
        if (active && owner) ::SetActiveWindow(owner);
    }
    // The job's news and the progress timer; true when `message` was one of them.
    bool OnJobMessage(UINT message, WPARAM wParam)
    {
        if (message == newsMessage) {
            if (job && !EndShown() && !job->Finished()) {
                ShowProgress();
                // The job's next news waits for the timer (the flag stays set until then).
                ::SetTimer(window, kProgressTimer, kProgressDelayMs, nullptr);
            } else {
                TakeNews();
            }
            return true;
        }
        if (message != WM_TIMER || wParam != kProgressTimer) return false;
        ::KillTimer(window, kProgressTimer);
        TakeNews();
        return true;
    }

    // Shows where the job is.
    virtual void ShowProgress() = 0;
    // Shows the job's end (and takes what it found).
    virtual void ShowEnd() = 0;
    // True once ShowEnd has shown the present job's end.
    virtual bool EndShown() const = 0;

    // Progress is shown at most this often: a fast job finishes hundreds of addresses a second,
    // and each showing costs the window a repaint. Windows' own timers use other ids.
    static constexpr UINT_PTR kProgressTimer = 100;
    static constexpr UINT kProgressDelayMs = 100;

    CProjectChanges* changes; // not owned
    ILinkCheckHost* host;     // not owned
    HWND owner = nullptr;     // the main window
    std::unique_ptr<TJob> job;

private:
    // Shows progress or the end, and lets the next news come.
    void TakeNews()
    {
        // Cleared first: news that comes while this runs posts again.
        news.Taken();
        EndFinishedJobs(retired);
        if (!job || EndShown()) return;
        if (job->Finished()) {
            ShowEnd();
        } else {
            ShowProgress();
        }
    }

    Settings settings;
    typename TJob::TransportFactory factory;
    UINT newsMessage;
    CJobNews news;
    // Abandoned jobs winding down; ended when they say they are done, or with this object.
    std::vector<std::unique_ptr<TJob>> retired;
};
