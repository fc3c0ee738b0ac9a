// What the windows of the background jobs (the link check, the icon fetch) share: the job's news
// posted to the window one message at a time, abandoned jobs ended once they have finished, and
// "n of N" shown with a progress bar.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class CJobNews
{
public:
    CJobNews() : posted(std::make_shared<std::atomic<bool>>(false)) {}

    // The callback for a job's thread: posts `message` to `target` unless one is on its way, so
    // that a fast job does not flood the window's queue.
    std::function<void()> Notifier(HWND target, UINT message) const
    {
        std::shared_ptr<std::atomic<bool>> flag = posted;
        return [target, message, flag] {
            if (!flag->exchange(true)) ::PostMessageW(target, message, 0, 0);
        };
    }
    // The window is taking the news: what comes from now on posts again.
    void Taken() { posted->store(false); }

private:
    std::shared_ptr<std::atomic<bool>> posted; // shared with the jobs' threads
};

// Ends the abandoned jobs that have come to their end.
template <class Job> void EndFinishedJobs(std::vector<std::unique_ptr<Job>>& jobs)
{
    jobs.erase(std::remove_if(jobs.begin(), jobs.end(),
                              [](const std::unique_ptr<Job>& job) { return job->Finished(); }),
               jobs.end());
}

// "12 of 40 checked" (`what` is " checked") in `status`, and the bar at 12 of 40.
void ShowJobCount(HWND progress, HWND status, std::size_t done, std::size_t total,
                  const wchar_t* what);
