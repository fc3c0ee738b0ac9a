#include "services/run_files.h"

#include "platform/platform.h"

#include <algorithm>

namespace {

// Touched by the user-interface thread only.
std::vector<std::wstring> files;

} // namespace

void KeepUntilQuit(const std::wstring& path)
{
    if (std::find(files.begin(), files.end(), path) == files.end()) files.push_back(path);
}

void RemoveFilesOfRun()
{
    for (const std::wstring& path : files)
        platform::RemoveFile(path);
    files.clear();
}

std::vector<std::wstring> FilesOfRun()
{
    return files;
}
