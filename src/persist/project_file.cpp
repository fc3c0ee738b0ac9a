#include "persist/project_file.h"

#include "model/project.h"
#include "persist/chunks.h"
#include "persist/streams.h"
#include "platform/platform.h"

#include <random>
#include <vector>

namespace {

// Temporary files are named after their target, "Quillomere.quil.saving-123456789", so that
// two saves never share one and a later save can tell what an interrupted one left.
const wchar_t kSavingSuffix[] = L".saving-";

std::wstring TemporaryPathBeside(const std::wstring& path)
{
    static std::mt19937 random(std::random_device{}());
    return path + kSavingSuffix + std::to_wstring(random() % 1000000000u);
}

bool AllDigits(const std::wstring& text)
{
    if (text.empty()) return false;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
    }
    return true;
}

// A save that was killed leaves its temporary file behind; the next save of the same file takes
// it away, unless another save is still writing it.
void RemoveLeftovers(const std::wstring& path)
{
    const std::wstring prefix = path + kSavingSuffix;
    for (const std::wstring& leftover : platform::FilesStartingWith(prefix)) {
        if (AllDigits(leftover.substr(prefix.size()))) platform::RemoveIfUnused(leftover);
    }
}

} // namespace

bool SaveFileSafely(const std::wstring& path, std::int64_t mostBytes,
                    const std::function<void(CFileStream&)>& write)
{
    RemoveLeftovers(path);
    // A name that is taken (by a leftover in use, or by chance) just means another try.
    std::wstring temporary;
    platform::FileHandle handle = platform::kInvalidHandle;
    for (int attempt = 0; attempt < 8 && handle == platform::kInvalidHandle; ++attempt) {
        temporary = TemporaryPathBeside(path);
        handle = platform::CreateNewFile(temporary);
    }
    if (handle == platform::kInvalidHandle) return false;
    bool written;
    {
        CFileStream file(handle, true);
        write(file);
        // A file past the size that loads would be lost to the next start: refuse it.
        written = file.Flush() && platform::FileSize(file.Handle()) <= mostBytes && file.Close();
    }
    if (written && platform::MoveReplacing(temporary, path)) return true;
    platform::RemoveFile(temporary);
    return false;
}

bool SaveProjectFile(CProject& project, const std::wstring& path)
{
    const bool wasModified = project.modified;
    const bool saved = SaveFileSafely(path, MaxPayload() + 8, [&project](CFileStream& file) {
        CStructStream writer(file);
        project.Save(writer);
    });
    if (!saved) project.modified = wasModified;
    return saved;
}

bool SaveProjectBytes(CMemoryStream& bytes, const std::wstring& path)
{
    if (bytes.Failed() || bytes.Size() > MaxPayload() + 8) return false;
    return SaveFileSafely(path, MaxPayload() + 8, [&bytes](CFileStream& file) {
        std::vector<char> block(CFileStream::kBufferSize);
        for (std::int32_t count;
             (count = bytes.Read(block.data(), CFileStream::kBufferSize)) > 0;) {
            if (file.Write(block.data(), count) != count) return;
        }
    });
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
