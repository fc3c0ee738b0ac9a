#include "services/file_stamp.h"

#include "persist/streams.h"
#include "platform/platform.h"

#include <cstring>
#include <vector>

namespace {

// Eight bytes at a time, whatever pieces they come in; the last few one by one.
class CHasher
{
public:
    explicit CHasher(std::uint64_t seed) : hash(seed) {}

    void Add(const unsigned char* bytes, std::size_t count)
    {
        total += count;
        while (count > 0 && pendingCount > 0 && pendingCount < 8) {
            pending[pendingCount++] = *bytes++;
            --count;
        }
        if (pendingCount == 8) {
            Word(pending);
            pendingCount = 0;
        }
        for (; count >= 8; bytes += 8, count -= 8)
            Word(bytes);
        while (count > 0) {
            pending[pendingCount++] = *bytes++;
            --count;
        }
    }

    std::uint64_t Finish() const
    {
        std::uint64_t value = hash;
        for (std::size_t i = 0; i < pendingCount; ++i)
            value = ((value ^ pending[i]) * kPrime) ^ (value >> 31);
        value ^= total;
        value ^= value >> 32;
        value *= 0xD6E8FEB86659FD93u;
        value ^= value >> 32;
        value *= 0xD6E8FEB86659FD93u;
        return value ^ (value >> 32);
    }

private:
    static constexpr std::uint64_t kPrime = 0x100000001B3u;

    void Word(const unsigned char* bytes)
    {
        std::uint64_t word;
        std::memcpy(&word, bytes, 8);
        hash = (hash ^ word) * kPrime;
        hash ^= hash >> 29;
    }

    std::uint64_t hash;
    std::uint64_t total = 0;
    unsigned char pending[8] = {};
    std::size_t pendingCount = 0;
};

} // namespace

std::uint64_t HashBytes(const void* bytes, std::size_t count, std::uint64_t seed)
{
    CHasher hasher(seed);
    hasher.Add(static_cast<const unsigned char*>(bytes), count);
    return hasher.Finish();
}

FileStamp StampFile(const std::wstring& path)
{
    FileStamp stamp;
    if (!platform::FileSizeAndTime(path, stamp.size, stamp.lastWrite)) return stamp;
    CFileStream file(path, false);
    if (!file.IsOpen()) return FileStamp();
    // The size and time were taken first: a write that lands between them and the read shows as
    // a change at the next look, never as none.
    std::vector<unsigned char> block(CFileStream::kBufferSize);
    CHasher hasher(kStampSeed);
    std::int64_t total = 0;
    for (std::int32_t count; (count = file.Read(block.data(), CFileStream::kBufferSize)) > 0;) {
        hasher.Add(block.data(), static_cast<std::size_t>(count));
        total += count;
    }
    stamp.exists = true;
    stamp.size = total;
    stamp.hash = hasher.Finish();
    return stamp;
}

bool FileChangedSince(const FileStamp& remembered, const std::wstring& path, FileStamp& now,
                      bool readAlways)
{
    std::int64_t size = 0;
    std::uint64_t lastWrite = 0;
    const bool exists = platform::FileSizeAndTime(path, size, lastWrite);
    if (!exists) {
        now = FileStamp();
        return remembered.exists;
    }
    if (!readAlways && remembered.exists && size == remembered.size &&
        lastWrite == remembered.lastWrite) {
        now = remembered;
        return false;
    }
    now = StampFile(path);
    return now.exists != remembered.exists || now.size != remembered.size ||
           now.hash != remembered.hash;
}
