// The platform seam on Windows: exactly the Win32 calls the program is built around.
#include "platform/platform.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

namespace platform {

namespace {

HANDLE ToHandle(FileHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// -1 means unlimited. Only tests set it.
std::atomic<std::int64_t> writeBudget{-1};

} // namespace

FileHandle OpenFile(const std::wstring& path, bool forWriting)
{
    HANDLE h = ::CreateFileW(
        path.c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, forWriting ? CREATE_ALWAYS : OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return reinterpret_cast<FileHandle>(h);
}

std::int32_t ReadFile(FileHandle handle, void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    DWORD done = 0;
    if (!::ReadFile(ToHandle(handle), buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<std::int32_t>(done);
}

std::int32_t WriteFile(FileHandle handle, const void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    std::int64_t budget = writeBudget.load();
    if (budget >= 0) {
        if (budget < count) count = static_cast<std::int32_t>(budget);
        writeBudget = budget - count;
        if (count == 0) return 0;
    }
    DWORD done = 0;
    if (!::WriteFile(ToHandle(handle), buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
    return static_cast<std::int32_t>(done);
}

std::uint32_t MoveFilePointer(FileHandle handle, std::uint32_t distance)
{
    LONG high = 0;
    return ::SetFilePointer(ToHandle(handle), static_cast<LONG>(distance), &high, FILE_CURRENT);
}

std::int64_t FileSize(FileHandle handle)
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(ToHandle(handle), &size)) return -1;
    return static_cast<std::int64_t>(size.QuadPart);
}

bool FlushFile(FileHandle handle)
{
    return ::FlushFileBuffers(ToHandle(handle)) != FALSE;
}

void CloseFile(FileHandle handle)
{
    if (handle != kInvalidHandle) ::CloseHandle(ToHandle(handle));
}

namespace {

FileHandle DuplicateStandard(DWORD which)
{
    HANDLE copy = nullptr;
    HANDLE process = ::GetCurrentProcess();
    if (!::DuplicateHandle(process, ::GetStdHandle(which), process, &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
        return kInvalidHandle;
    return reinterpret_cast<FileHandle>(copy);
}

} // namespace

FileHandle StandardOutput()
{
    return DuplicateStandard(STD_OUTPUT_HANDLE);
}

FileHandle StandardError()
{
    return DuplicateStandard(STD_ERROR_HANDLE);
}

bool IsTerminal(FileHandle handle)
{
    DWORD mode = 0;
    return handle != kInvalidHandle &&
           ::GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) != 0;
}

FileHandle CreateNewFile(const std::wstring& path)
{
    // Without FILE_SHARE_DELETE nobody can delete the file while this handle is open.
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return reinterpret_cast<FileHandle>(h);
}

bool RemoveFile(const std::wstring& path)
{
    return ::DeleteFileW(path.c_str()) != FALSE;
}

bool RemoveIfUnused(const std::wstring& path)
{
    // Fails with a sharing violation while a CreateNewFile handle is open.
    return ::DeleteFileW(path.c_str()) != FALSE;
}

bool MoveReplacing(const std::wstring& source, const std::wstring& target)
{
    return ::MoveFileExW(source.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool MoveWithoutReplacing(const std::wstring& source, const std::wstring& target)
{
    return ::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FileSizeAndTime(const std::wstring& path, std::int64_t& size, std::uint64_t& lastWrite)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                     data.nFileSizeLow);
    lastWrite = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime;
    return true;
}

bool CreateFolders(const std::wstring& path)
{
    // Each folder from the top down; those that exist fail harmlessly.
    for (std::size_t at = path.find_first_of(L"\\/", 3); at != std::wstring::npos;
         at = path.find_first_of(L"\\/", at + 1))
        ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    ::CreateDirectoryW(path.c_str(), nullptr);
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> FilesStartingWith(const std::wstring& pathPrefix)
{
    std::vector<std::wstring> paths;
    std::wstring::size_type slash = pathPrefix.find_last_of(L"\\/");
    std::wstring folder =
        slash == std::wstring::npos ? std::wstring() : pathPrefix.substr(0, slash + 1);
    std::wstring start = pathPrefix.substr(folder.size());
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((pathPrefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return paths;
    do {
        // The pattern also matches short 8.3 names; only long names that start alike count.
        std::wstring name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            name.compare(0, start.size(), start) == 0)
            paths.push_back(folder + name);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return paths;
}

std::wstring TempFolder()
{
    wchar_t buffer[261] = {};
    DWORD length = ::GetTempPathW(261, buffer);
    std::wstring folder(buffer, length <= 260 ? length : 0);
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

wchar_t PathSeparator()
{
    return L'\\';
}

std::size_t Utf8Length(const wchar_t* text, std::size_t count)
{
    if (count == 0) return 0;
    return static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(count),
                                                          nullptr, 0, nullptr, nullptr));
}

std::size_t WideToUtf8(const wchar_t* text, std::size_t count, char* out, std::size_t capacity)
{
    if (count == 0) return 0;
    return static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(count),
                                                          out, static_cast<int>(capacity), nullptr,
                                                          nullptr));
}

std::size_t Utf8ToWide(const char* bytes, std::size_t count, wchar_t* out, std::size_t capacity)
{
    if (count == 0) return 0;
    return static_cast<std::size_t>(::MultiByteToWideChar(
        CP_UTF8, 0, bytes, static_cast<int>(count), out, static_cast<int>(capacity)));
}

void LowerAnsi(char* bytes, std::uint32_t count)
{
    if (count > 0) ::CharLowerBuffA(bytes, count);
}

const wchar_t* UpperCaseTable()
{
    struct Table
    {
        wchar_t of[kCaseTableSize];
        Table()
        {
            for (std::size_t c = 0; c < kCaseTableSize; ++c)
                of[c] = static_cast<wchar_t>(c);
            // Two runs around the surrogates, each mapped in one call, unit for unit.
            const int runs[2][2] = {{0, 0xD800}, {0xE000, 0x10000}};
            std::vector<wchar_t> upper(kCaseTableSize);
            for (const auto& run : runs) {
                const int count = run[1] - run[0];
                if (::LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, of + run[0], count,
                                   upper.data(), count) == count)
                    std::copy(upper.data(), upper.data() + count, of + run[0]);
            }
        }
    };
    static const Table table;
    return table.of;
}

std::int32_t AtomicIncrement(volatile std::int32_t* value)
{
    static_assert(sizeof(LONG) == sizeof(std::int32_t), "LONG is 32 bits on Windows");
    return ::InterlockedIncrement(reinterpret_cast<volatile LONG*>(value));
}

void GrowHeapInLargeSteps() {}

void SetWriteBudgetForTesting(std::int64_t bytes)
{
    writeBudget = bytes;
}

std::string UserLanguage()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    int length = ::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    std::string ascii;
    for (int i = 0; i + 1 < length; ++i)
        ascii += name[i] < 0x80 ? static_cast<char>(name[i]) : '?';
    return PrimaryLanguage(ascii);
}

} // namespace platform
