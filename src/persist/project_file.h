// Saving and loading the project file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CProject;
class CFileStream;
class CMemoryStream;

// What LoadProjectFile returns besides the positive count of a successful load: the header only,
// and the negated Windows error codes ERROR_INVALID_DATA and ERROR_UNKNOWN_REVISION.
constexpr std::int32_t kLoadHeaderOnly = 0;
constexpr std::int32_t kLoadInvalidData = -13;       // missing, unreadable, short or wrong magic
constexpr std::int32_t kLoadUnknownRevision = -1305; // a revision other than 0

// The largest project file that loads: sizes and offsets in the file are 32-bit. A larger file
// reports kLoadInvalidData without a chunk being read.
constexpr std::int64_t kMaxProjectFileSize = 0x7FFFFFFF;

// Writes the whole file beside `path` under a temporary name, flushes it to the disk and then
// replaces `path` with it in one step, so that a failed or killed save leaves the old file as it
// was. Temporary files that killed saves of `path` left behind are removed first. Returns false
// (with the temporary file removed, the old file untouched and the project's modified flag as it
// was) when anything fails, a project too large for the file's 32-bit lengths included.
bool SaveProjectFile(CProject& project, const std::wstring& path);

// The same safe save for bytes that a project's Save already wrote into memory (a copy of the
// project taken at one moment, written later, maybe from another thread). Reads `bytes` from its
// start. False when anything fails, a copy too large for the file's lengths included.
bool SaveProjectBytes(CMemoryStream& bytes, const std::wstring& path);

// What both saves do: `write` puts the content into the temporary file beside `path`; a content
// longer than `mostBytes` or a failed write fails the save and leaves `path` as it was.
bool SaveFileSafely(const std::wstring& path, std::int64_t mostBytes,
                    const std::function<void(CFileStream&)>& write);

// Loads the project file into `project` (its columns are discarded first). Returns the bytes of
// chunks read (> 0), or one of the values above.
std::int32_t LoadProjectFile(CProject& project, const std::wstring& path);
