#include "services/recovery_writer.h"

#include "model/project.h"
#include "persist/chunks.h"
#include "persist/project_file.h"
#include "platform/platform.h"

std::unique_ptr<ProjectCopy> CopyOfProject(CProject& project)
{
    const bool wasModified = project.modified;
    auto copy = std::make_unique<ProjectCopy>();
    {
        CStructStream writer(copy->bytes);
        project.Save(writer);
    }
    project.modified = wasModified;
    if (copy->bytes.Failed() || copy->bytes.Size() > MaxPayload() + 8) return nullptr;
    copy->bytes.Finish();
    return copy;
}

CRecoveryWriter::~CRecoveryWriter()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
        waiting.reset();
    }
    changed.notify_all();
    if (thread.joinable()) thread.join();
}

void CRecoveryWriter::WriteLater(std::unique_ptr<ProjectCopy> copy, const std::wstring& path)
{
    if (!copy) return;
    {
        std::lock_guard<std::mutex> guard(lock);
        waiting = std::move(copy);
        waitingPath = path;
    }
    changed.notify_all();
    if (!thread.joinable()) thread = std::thread([this] { Run(); });
}

void CRecoveryWriter::Wait()
{
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] { return !waiting && !writing; });
}

bool CRecoveryWriter::LastWriteSucceeded()
{
    std::lock_guard<std::mutex> guard(lock);
    return lastSucceeded;
}

void CRecoveryWriter::Run()
{
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        changed.wait(guard, [this] { return stopping || waiting; });
        if (stopping) return;
        std::unique_ptr<ProjectCopy> copy = std::move(waiting);
        const std::wstring path = waitingPath;
        writing = true;
        guard.unlock();
        // The folder may not be there yet, or may have been removed since.
        const std::wstring::size_type separator = path.find_last_of(L"\\/");
        if (separator != std::wstring::npos) platform::CreateFolders(path.substr(0, separator));
        const bool saved = SaveProjectBytes(copy->bytes, path);
        copy.reset();
        guard.lock();
        writing = false;
        lastSucceeded = saved;
        changed.notify_all();
    }
}
