// What the program remembers of a file it loaded or saved, to tell later whether another program
// has changed it since.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct FileStamp
{
    bool exists = false;
    std::int64_t size = 0;
    std::uint64_t lastWrite = 0; // in the system's own units
    std::uint64_t hash = 0;      // of the bytes
};

// A 64-bit hash of bytes: for telling files apart, not against an adversary.
constexpr std::uint64_t kStampSeed = 0x9E3779B97F4A7C15u;
std::uint64_t HashBytes(const void* bytes, std::size_t count, std::uint64_t seed = kStampSeed);

// The file as it is now, its bytes read for the hash (HashBytes of the whole file). A file that
// cannot be read whole counts as one that is not there.
FileStamp StampFile(const std::wstring& path);

// Whether the file at `path` is still the one `remembered` describes. The bytes decide (a file
// written again with the same bytes, or only touched, is unchanged); unless `readAlways`, the
// same size and last-write time count as unchanged without reading a byte, which misses only a
// write of the same size within the clock's last tick. `now` gets the file as it is now
// (`remembered` itself when nothing was read).
bool FileChangedSince(const FileStamp& remembered, const std::wstring& path, FileStamp& now,
                      bool readAlways = false);
