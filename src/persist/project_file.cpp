#include "persist/project_file.h"

#include "model/project.h"
#include "persist/streams.h"
#include "platform/platform.h"

#include <random>

namespace {

// A name beside the target that no other save uses at the same time.
std::wstring TemporaryPathBeside(const std::wstring& path)
{
    static std::mt19937 random(std::random_device{}());
    return path + L".saving-" + std::to_wstring(random() % 1000000000u);
}

} // namespace

bool SaveProjectFile(CProject& project, const std::wstring& path)
{
    const bool wasModified = project.modified;
    const std::wstring temporary = TemporaryPathBeside(path);
    bool written;
    {
        CFileStream file(temporary, true);
        if (!file.IsOpen()) return false;
        CStructStream writer(file);
        project.Save(writer);
        written = file.Flush() && file.Close();
    }
    if (written && platform::MoveReplacing(temporary, path)) return true;
    platform::RemoveFile(temporary);
    project.modified = wasModified;
    return false;
}

std::int32_t LoadProjectFile(CProject& project, const std::wstring& path)
{
    CFileStream file(path, false);
    std::int64_t size = platform::FileSize(file.Handle());
    if (size > kMaxProjectFileSize) {
        // Chunk lengths and offsets are 32-bit: such a file cannot be read. A load discards the
        // columns whatever the outcome.
        project.DeleteChildren();
        return kLoadInvalidData;
    }
    // An unopened file reports the size -1, and then fails the header check.
    CStructStream reader(file);
    return project.Load(reader, static_cast<std::int32_t>(size));
}
