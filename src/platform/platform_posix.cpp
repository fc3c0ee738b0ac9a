// The platform seam on POSIX, behaving as the Win32 calls do: descriptors for handles, an own
// UTF-8 codec that replaces ill-formed input with U+FFFD (wchar_t holds code points here), and
// Windows-1252 lower-casing for the ANSI code page.
#include "platform/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wctype.h>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#endif

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace platform {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

std::atomic<std::int64_t> writeBudget{-1};

// ASCII runs dominate page and project text: these move sixteen characters at a time when all
// sixteen are ASCII, and report false (writing nothing) otherwise.
#if defined(__SSE2__)
bool NarrowAscii16(const wchar_t* text, char* out)
{
    static_assert(sizeof(wchar_t) == 4, "POSIX wchar_t holds code points");
    const __m128i* in = reinterpret_cast<const __m128i*>(text);
    __m128i a = _mm_loadu_si128(in), b = _mm_loadu_si128(in + 1);
    __m128i c = _mm_loadu_si128(in + 2), d = _mm_loadu_si128(in + 3);
    __m128i high =
        _mm_and_si128(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d)), _mm_set1_epi32(~0x7F));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(high, _mm_setzero_si128())) != 0xFFFF) return false;
    __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    return true;
}

bool WidenAscii16(const char* bytes, wchar_t* out)
{
    __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    if (_mm_movemask_epi8(in) != 0) return false;
    __m128i zero = _mm_setzero_si128();
    __m128i low = _mm_unpacklo_epi8(in, zero), high = _mm_unpackhi_epi8(in, zero);
    __m128i* to = reinterpret_cast<__m128i*>(out);
    _mm_storeu_si128(to, _mm_unpacklo_epi16(low, zero));
    _mm_storeu_si128(to + 1, _mm_unpackhi_epi16(low, zero));
    _mm_storeu_si128(to + 2, _mm_unpacklo_epi16(high, zero));
    _mm_storeu_si128(to + 3, _mm_unpackhi_epi16(high, zero));
    return true;
}
#else
bool NarrowAscii16(const wchar_t* text, char* out)
{
    std::uint32_t bits = 0;
    for (int k = 0; k < 16; ++k)
        bits |= static_cast<std::uint32_t>(text[k]);
    if (bits >= 0x80) return false;
    for (int k = 0; k < 16; ++k)
        out[k] = static_cast<char>(text[k]);
    return true;
}

bool WidenAscii16(const char* bytes, wchar_t* out)
{
    unsigned char bits = 0;
    for (int k = 0; k < 16; ++k)
        bits |= static_cast<unsigned char>(bytes[k]);
    if (bits >= 0x80) return false;
    for (int k = 0; k < 16; ++k)
        out[k] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[k]));
    return true;
}
#endif

// Code points that UTF-8 cannot carry become U+FFFD, as WideCharToMultiByte does with a lone
// surrogate.
std::uint32_t Encodable(wchar_t c)
{
    std::uint32_t cp = static_cast<std::uint32_t>(c);
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
    return cp;
}

std::size_t EncodedLength(std::uint32_t cp)
{
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

// Decodes one character at bytes[i] (i < count). Ill-formed input yields U+FFFD for each maximal
// subpart of a sequence, the practice Unicode recommends. Returns the bytes consumed.
std::size_t DecodeOne(const unsigned char* bytes, std::size_t i, std::size_t count,
                      std::uint32_t& cp)
{
    unsigned char lead = bytes[i];
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    std::size_t need;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        cp = kReplacement;
        return 1;
    }
    std::size_t used = 1;
    for (std::size_t k = 0; k < need; ++k) {
        if (i + used >= count) {
            cp = kReplacement;
            return used;
        }
        unsigned char next = bytes[i + used];
        if (next < low || next > high) {
            cp = kReplacement;
            return used;
        }
        cp = (cp << 6) | (next & 0x3F);
        ++used;
        low = 0x80;
        high = 0xBF;
    }
    return used;
}

std::string PathBytes(const std::wstring& path)
{
    std::string bytes(Utf8Length(path.data(), path.size()), '\0');
    WideToUtf8(path.data(), path.size(), &bytes[0], bytes.size());
    return bytes;
}

int Fd(FileHandle handle)
{
    return static_cast<int>(handle);
}

} // namespace

FileHandle OpenFile(const std::wstring& path, bool forWriting)
{
    int flags = forWriting ? (O_WRONLY | O_CREAT | O_TRUNC) : O_RDONLY;
    int fd = ::open(PathBytes(path).c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) return kInvalidHandle;
    if (!forWriting) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

std::int32_t ReadFile(FileHandle handle, void* buffer, std::int32_t count)
{
    if (count <= 0 || handle == kInvalidHandle) return 0;
    std::int32_t done = 0;
    while (done < count) {
        ssize_t n = ::read(Fd(handle), static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::int32_t>(n);
    }
    return done;
}

std::int32_t WriteFile(FileHandle handle, const void* buffer, std::int32_t count)
{
    if (count <= 0 || handle == kInvalidHandle) return 0;
    std::int64_t budget = writeBudget.load();
    if (budget >= 0) {
        if (budget < count) count = static_cast<std::int32_t>(budget);
        writeBudget = budget - count;
        if (count == 0) return 0;
    }
    std::int32_t done = 0;
    while (done < count) {
        ssize_t n = ::write(Fd(handle), static_cast<const char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::int32_t>(n);
    }
    return done;
}

std::uint32_t MoveFilePointer(FileHandle handle, std::uint32_t distance)
{
    if (handle == kInvalidHandle) return kInvalidSize;
    off_t position = ::lseek(Fd(handle), static_cast<off_t>(distance), SEEK_CUR);
    if (position < 0) return kInvalidSize;
    return static_cast<std::uint32_t>(position);
}

std::int64_t FileSize(FileHandle handle)
{
    struct stat info;
    if (handle == kInvalidHandle || ::fstat(Fd(handle), &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_size);
}

bool FlushFile(FileHandle handle)
{
    return handle != kInvalidHandle && ::fsync(Fd(handle)) == 0;
}

void CloseFile(FileHandle handle)
{
    if (handle != kInvalidHandle) ::close(Fd(handle));
}

FileHandle StandardOutput()
{
    int fd = ::dup(1);
    return fd < 0 ? kInvalidHandle : fd;
}

FileHandle StandardError()
{
    int fd = ::dup(2);
    return fd < 0 ? kInvalidHandle : fd;
}

bool IsTerminal(FileHandle handle)
{
    return handle != kInvalidHandle && ::isatty(Fd(handle)) == 1;
}

FileHandle CreateNewFile(const std::wstring& path)
{
    int fd = ::open(PathBytes(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return kInvalidHandle;
    // The lock tells RemoveIfUnused that the file is in use. Someone who removed the file in the
    // moment between its creation and the lock leaves it without a name: then give up on it.
    struct stat info;
    if (::flock(fd, LOCK_EX) != 0 || ::fstat(fd, &info) != 0 || info.st_nlink == 0) {
        ::close(fd);
        return kInvalidHandle;
    }
    return fd;
}

bool RemoveFile(const std::wstring& path)
{
    return ::unlink(PathBytes(path).c_str()) == 0;
}

bool RemoveIfUnused(const std::wstring& path)
{
    std::string bytes = PathBytes(path);
    int fd = ::open(bytes.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    bool removed = false;
    struct stat opened, named;
    // Only the file that was locked, not one that took its name meanwhile.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
        ::lstat(bytes.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
        opened.st_ino == named.st_ino && S_ISREG(opened.st_mode))
        removed = ::unlink(bytes.c_str()) == 0;
    ::close(fd);
    return removed;
}

bool MoveReplacing(const std::wstring& source, const std::wstring& target)
{
    std::string to = PathBytes(target);
    if (::rename(PathBytes(source).c_str(), to.c_str()) != 0) return false;
    // The rename is durable only once the folder entry is on disk.
    std::string::size_type slash = to.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : to.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

bool MoveWithoutReplacing(const std::wstring& source, const std::wstring& target)
{
    std::string from = PathBytes(source), to = PathBytes(target);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the exclusive rename: a new link fails as well when the name is taken.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

bool FileExists(const std::wstring& path)
{
    struct stat info;
    return ::stat(PathBytes(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PathExists(const std::wstring& path)
{
    struct stat info;
    return ::lstat(PathBytes(path).c_str(), &info) == 0;
}

bool FileSizeAndTime(const std::wstring& path, std::int64_t& size, std::uint64_t& lastWrite)
{
    struct stat info;
    if (::stat(PathBytes(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    size = static_cast<std::int64_t>(info.st_size);
    lastWrite = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                static_cast<std::uint64_t>(info.st_mtim.tv_nsec);
    return true;
}

bool CreateFolders(const std::wstring& path)
{
    std::string bytes = PathBytes(path);
    for (std::size_t at = bytes.find('/', 1); at != std::string::npos; at = bytes.find('/', at + 1))
        ::mkdir(bytes.substr(0, at).c_str(), 0777);
    ::mkdir(bytes.c_str(), 0777);
    struct stat info;
    return ::stat(bytes.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::wstring> FilesStartingWith(const std::wstring& pathPrefix)
{
    std::vector<std::wstring> paths;
    std::string prefix = PathBytes(pathPrefix);
    std::string::size_type slash = prefix.rfind('/');
    std::string folder = slash == std::string::npos ? "." : prefix.substr(0, slash + 1);
    std::string start = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return paths;
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name.compare(0, start.size(), start) != 0) continue;
        std::string path = (slash == std::string::npos ? std::string() : folder) + name;
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        std::wstring wide(path.size(), L'\0');
        wide.resize(Utf8ToWide(path.data(), path.size(), &wide[0], wide.size()));
        paths.push_back(std::move(wide));
    }
    ::closedir(dir);
    return paths;
}

std::wstring TempFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (folder.back() != '/') folder += '/';
    std::wstring wide(folder.size(), L'\0');
    wide.resize(Utf8ToWide(folder.data(), folder.size(), &wide[0], wide.size()));
    return wide;
}

wchar_t PathSeparator()
{
    return L'/';
}

std::size_t Utf8Length(const wchar_t* text, std::size_t count)
{
    std::size_t length = 0;
    for (std::size_t i = 0; i < count; ++i)
        length += EncodedLength(Encodable(text[i]));
    return length;
}

std::size_t WideToUtf8(const wchar_t* text, std::size_t count, char* out, std::size_t capacity)
{
    std::size_t i = 0, o = 0;
    while (i < count) {
        while (i + 16 <= count && o + 16 <= capacity && NarrowAscii16(text + i, out + o)) {
            i += 16;
            o += 16;
        }
        if (i == count) break;
        std::uint32_t cp = static_cast<std::uint32_t>(text[i]);
        if (cp < 0x80) {
            if (o == capacity) break;
            out[o++] = static_cast<char>(cp);
            ++i;
            continue;
        }
        cp = Encodable(text[i]);
        std::size_t length = EncodedLength(cp);
        if (o + length > capacity) break;
        if (length == 1) {
            out[o] = static_cast<char>(cp);
        } else if (length == 2) {
            out[o] = static_cast<char>(0xC0 | (cp >> 6));
            out[o + 1] = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (length == 3) {
            out[o] = static_cast<char>(0xE0 | (cp >> 12));
            out[o + 1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out[o + 2] = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out[o] = static_cast<char>(0xF0 | (cp >> 18));
            out[o + 1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out[o + 2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out[o + 3] = static_cast<char>(0x80 | (cp & 0x3F));
        }
        o += length;
        ++i;
    }
    return o;
}

std::size_t Utf8ToWide(const char* bytes, std::size_t count, wchar_t* out, std::size_t capacity)
{
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes);
    std::size_t i = 0, o = 0;
    while (i < count && o < capacity) {
        while (i + 16 <= count && o + 16 <= capacity && WidenAscii16(bytes + i, out + o)) {
            i += 16;
            o += 16;
        }
        if (i == count || o == capacity) break;
        if (data[i] < 0x80) {
            out[o++] = static_cast<wchar_t>(data[i++]);
            continue;
        }
        std::uint32_t cp;
        i += DecodeOne(data, i, count, cp);
        out[o++] = static_cast<wchar_t>(cp);
    }
    return o;
}

namespace {

// Windows-1252 lower-casing: A-Z, the accented capitals C0-DE but for the multiplication sign,
// and the three capitals with a caron or a diaeresis in 8A-9F.
struct LowerTable
{
    unsigned char of[256];
    constexpr LowerTable() : of()
    {
        for (int c = 0; c < 256; ++c) {
            int lower = c;
            if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
                lower = c + 0x20;
            } else if (c == 0x8A || c == 0x8C || c == 0x8E) {
                lower = c + 0x10;
            } else if (c == 0x9F) {
                lower = 0xFF;
            }
            of[c] = static_cast<unsigned char>(lower);
        }
    }
};
constexpr LowerTable kLower;

} // namespace

void LowerAnsi(char* bytes, std::uint32_t count)
{
    for (std::uint32_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(kLower.of[static_cast<unsigned char>(bytes[i])]);
}

const wchar_t* UpperCaseTable()
{
    struct Table
    {
        wchar_t of[kCaseTableSize];
        Table()
        {
            // towupper by a UTF-8 locale's tables; the C locale alone would map ASCII only.
            locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
            if (!utf8) utf8 = ::newlocale(LC_CTYPE_MASK, "en_US.UTF-8", static_cast<locale_t>(0));
            for (std::size_t c = 0; c < kCaseTableSize; ++c) {
                const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
                wint_t upper = static_cast<wint_t>(c);
                if (!surrogate) upper = utf8 ? ::towupper_l(upper, utf8) : ::towupper(upper);
                of[c] =
                    upper < kCaseTableSize ? static_cast<wchar_t>(upper) : static_cast<wchar_t>(c);
            }
            if (utf8) ::freelocale(utf8);
        }
    };
    static const Table table;
    return table.of;
}

std::int32_t AtomicIncrement(volatile std::int32_t* value)
{
    // GCC and Clang, the only compilers of the POSIX build.
    return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST);
}

void GrowHeapInLargeSteps()
{
#if defined(__GLIBC__)
    // Every growth of the heap now reserves 64 MB more than asked for, and blocks that do not fit
    // into the heap's first pages make the first growth at once; that stretch is then marked for
    // huge pages. Only what is touched costs memory.
    constexpr std::size_t kStep = 64u << 20, kHugePage = 2u << 20;
    constexpr std::size_t kProbe = 120 * 1024; // below the size that malloc takes from mmap
    ::mallopt(M_TOP_PAD, static_cast<int>(kStep));
    void* probes[4] = {};
    std::uintptr_t start = 0, end = 0;
    for (void*& probe : probes) {
        probe = std::malloc(kProbe);
        if (!probe) break;
        if (!start) start = reinterpret_cast<std::uintptr_t>(probe);
        end = reinterpret_cast<std::uintptr_t>(::sbrk(0));
        if (end - start >= kStep / 2) break;
    }
    for (void* probe : probes)
        std::free(probe);
    start = (start + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
    if (start && end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}

void SetWriteBudgetForTesting(std::int64_t bytes)
{
    writeBudget = bytes;
}

std::string UserLanguage()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return PrimaryLanguage(value);
    }
    return "en";
}

} // namespace platform
