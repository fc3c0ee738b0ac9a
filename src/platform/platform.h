// The only door from the portable core to the operating system: file handles, the temp folder,
// the UTF-8 converters, ANSI lower-casing, case folding and one atomic increment.
// platform_win32.cpp makes the Win32 calls; platform_posix.cpp does the same on Linux so the core
// can be tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A file handle as an integer: a Win32 HANDLE or a POSIX descriptor. -1 is INVALID_HANDLE_VALUE
// on Windows and an invalid descriptor on POSIX alike.
using FileHandle = std::intptr_t;
constexpr FileHandle kInvalidHandle = -1;
// What SetFilePointer reports on failure.
constexpr std::uint32_t kInvalidSize = 0xFFFFFFFFu;

// CreateFileW: generic write + create always, or generic read + open existing; sharing read and
// write; sequential-scan hint. Returns kInvalidHandle on failure.
FileHandle OpenFile(const std::wstring& path, bool forWriting);
// ReadFile / WriteFile: the count transferred, 0 on failure or at the end.
std::int32_t ReadFile(FileHandle handle, void* buffer, std::int32_t count);
std::int32_t WriteFile(FileHandle handle, const void* buffer, std::int32_t count);
// SetFilePointer relative to the current position, with a high part of 0 so the move is always
// forward. Returns the new position (low 32 bits) or kInvalidSize.
std::uint32_t MoveFilePointer(FileHandle handle, std::uint32_t distance);
// GetFileSizeEx: the whole size, -1 on failure.
std::int64_t FileSize(FileHandle handle);
// Pushes written data to the disk (FlushFileBuffers / fsync).
bool FlushFile(FileHandle handle);
void CloseFile(FileHandle handle);

// Duplicates of the standard output and error handles, for a stream to own and close.
FileHandle StandardOutput();
FileHandle StandardError();
// True when the handle is a terminal (a console on Windows), where progress lines make sense.
bool IsTerminal(FileHandle handle);

// Creates a file that must not exist yet (CREATE_NEW) for writing, and holds it against
// RemoveIfUnused until it is closed. kInvalidHandle when it exists or cannot be created.
FileHandle CreateNewFile(const std::wstring& path);

bool RemoveFile(const std::wstring& path);
// Removes the file unless a process still has it open from CreateNewFile; false when it stays.
bool RemoveIfUnused(const std::wstring& path);
// Replaces `target` with `source` in one step, even when `target` exists.
bool MoveReplacing(const std::wstring& source, const std::wstring& target);
// Renames `source` to `target` only when nothing is called `target` yet.
bool MoveWithoutReplacing(const std::wstring& source, const std::wstring& target);
// True for a regular file.
bool FileExists(const std::wstring& path);
// True when anything (file, folder, link) has this name.
bool PathExists(const std::wstring& path);
// The size and last-write time (in the system's own units: 100 ns on Windows, ns on POSIX) of a
// regular file; false when there is none.
bool FileSizeAndTime(const std::wstring& path, std::int64_t& size, std::uint64_t& lastWrite);
// Creates a folder and the folders above it that are missing; true when it is there afterwards.
bool CreateFolders(const std::wstring& path);
// The regular files whose full path starts with `pathPrefix` (a folder, a separator and the start
// of a file name), as full paths in no particular order.
std::vector<std::wstring> FilesStartingWith(const std::wstring& pathPrefix);
// The temp folder, ending with a path separator.
std::wstring TempFolder();
// '\\' on Windows, '/' on POSIX.
wchar_t PathSeparator();

// UTF-8 conversion in the manner of WideCharToMultiByte / MultiByteToWideChar with code page
// 65001 and flags 0: never fails, ill-formed input becomes U+FFFD.
// The most UTF-8 bytes one wchar_t can need (UTF-16 units on Windows, code points on POSIX).
constexpr std::size_t kMaxUtf8PerWide = sizeof(wchar_t) == 2 ? 3 : 4;
// Measures: the number of UTF-8 bytes for `count` wide characters.
std::size_t Utf8Length(const wchar_t* text, std::size_t count);
// Converts into `out` (room for `capacity` bytes, at least Utf8Length); returns the bytes written.
std::size_t WideToUtf8(const wchar_t* text, std::size_t count, char* out, std::size_t capacity);
// Converts into `out` (room for `capacity` characters; `count` is always enough); returns the
// characters written.
std::size_t Utf8ToWide(const char* bytes, std::size_t count, wchar_t* out, std::size_t capacity);

// The user's language as its primary subtag ("de" for German as spoken anywhere): Windows'
// default locale name; on POSIX LC_ALL, LC_MESSAGES or LANG, the first that is set. "en" when it
// is unknown, "C" or "POSIX". Always 2 to 8 lower-case ASCII letters.
std::string UserLanguage();
// The primary subtag of a locale or language name ("en_US.UTF-8", "pt-BR", "de"), checked and
// lower-cased; "en" when there is none or it is "C" or "POSIX". Shared by both implementations.
std::string PrimaryLanguage(const std::string& locale);

// CharLowerBuffA: lower-cases bytes in place by the ANSI code page (Windows-1252 on POSIX).
void LowerAnsi(char* bytes, std::uint32_t count);

// Case-insensitive comparison in every script, by the system's case tables: entry c is the upper
// case of c for every value below 0x10000 (a UTF-16 unit on Windows, a code point of the Basic
// Multilingual Plane on POSIX); surrogates map to themselves. Built once, on first use.
constexpr std::size_t kCaseTableSize = 0x10000;
const wchar_t* UpperCaseTable();
// One character through the table; characters beyond it are their own upper case.
inline wchar_t FoldCase(const wchar_t* table, wchar_t c)
{
    return static_cast<std::uint32_t>(c) < kCaseTableSize ? table[static_cast<std::uint32_t>(c)]
                                                          : c;
}

// InterlockedIncrement: returns the incremented value.
std::int32_t AtomicIncrement(volatile std::int32_t* value);

// For short-lived processes that build large trees: lets the heap grow in large steps backed by
// huge pages where the system offers them, so that the tree's fresh memory costs few page
// faults. Call first thing; does nothing where there is no such thing.
void GrowHeapInLargeSteps();

// Test seam: after `bytes` more bytes have been written through WriteFile, every write fails
// (reports 0) until the budget is reset with -1. Lets tests see what a full disk does.
void SetWriteBudgetForTesting(std::int64_t bytes);

} // namespace platform
