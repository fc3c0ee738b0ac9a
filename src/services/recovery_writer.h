// Writes copies of the project, taken in memory at one moment, to a file through the safe save on
// a thread of its own, so that the window that took the copy goes on at once.
#pragma once

#include "persist/streams.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class CProject;

// A project's file bytes in memory, held whole (a stream is destroyed as its own type only).
struct ProjectCopy
{
    CMemoryStream bytes;
};

// The project's file bytes in memory, its modified flag left as it was; null when the project is
// too large for a project file.
std::unique_ptr<ProjectCopy> CopyOfProject(CProject& project);

class CRecoveryWriter
{
public:
    CRecoveryWriter() = default;
    // Waits for the write under way; a copy still waiting is dropped.
    ~CRecoveryWriter();
    CRecoveryWriter(const CRecoveryWriter&) = delete;
    CRecoveryWriter& operator=(const CRecoveryWriter&) = delete;

    // Hands a copy to the thread, which writes it to `path` after the write under way, if any.
    // Only the newest copy waits: an older one still waiting is replaced.
    void WriteLater(std::unique_ptr<ProjectCopy> copy, const std::wstring& path);
    // Returns once no copy waits and none is being written.
    void Wait();
    // Whether the last write that ended succeeded (true before the first).
    bool LastWriteSucceeded();

private:
    void Run();

    std::mutex lock;
    std::condition_variable changed;
    std::unique_ptr<ProjectCopy> waiting; // guarded by `lock`
    std::wstring waitingPath;             // guarded by `lock`
    bool writing = false;                 // guarded by `lock`
    bool stopping = false;                // guarded by `lock`
    bool lastSucceeded = true;            // guarded by `lock`
    std::thread thread;                   // started with the first copy
};
