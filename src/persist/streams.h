// Byte streams: every file and memory transfer of the program goes through these.
#pragma once

#include "platform/platform.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// A stream of bytes. Streams live on the stack and are destroyed as their own type, so the
// destructor is not virtual (and not public, so nobody deletes through this base).
class CStream
{
public:
    // The number of bytes actually read: 0 at the end of the data or on failure.
    virtual std::int32_t Read(void* destination, std::int32_t count) = 0;
    // The number of bytes actually written.
    virtual std::int32_t Write(const void* source, std::int32_t count) = 0;
    // Moves forward by `count` (not negative); returns the bytes actually skipped.
    virtual std::int32_t Skip(std::int32_t count) = 0;
    // Marks what was written as unusable, as a failed write would: something that had to go
    // into it could not be written (a payload too long for the project file's lengths).
    // Streams that remember failures say so from then on; the others ignore it.
    virtual void Fail() {}

protected:
    CStream() = default;
    ~CStream() = default;
};

// Writes all of `bytes` with one Write.
inline void WriteBytes(CStream& stream, std::string_view bytes)
{
    stream.Write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

// Reads bytes held in memory elsewhere; writes nothing.
class CBytesReader : public CStream
{
public:
    explicit CBytesReader(std::string_view bytes) : bytes(bytes) {}
    std::int32_t Read(void* destination, std::int32_t count) override
    {
        if (count <= 0) return 0;
        std::size_t n = std::min(bytes.size() - position, static_cast<std::size_t>(count));
        if (n > 0) std::memcpy(destination, bytes.data() + position, n);
        position += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
    std::int32_t Skip(std::int32_t count) override
    {
        if (count <= 0) return 0;
        std::size_t n = std::min(bytes.size() - position, static_cast<std::size_t>(count));
        position += n;
        return static_cast<std::int32_t>(n);
    }

private:
    std::string_view bytes; // not owned
    std::size_t position = 0;
};

// A stream over an open file handle, which it owns and closes. A handle that failed to open
// transfers nothing.
class CHandleStream : public CStream
{
public:
    explicit CHandleStream(platform::FileHandle handle) : handle(handle) {}
    ~CHandleStream();
    CHandleStream(const CHandleStream&) = delete;
    CHandleStream& operator=(const CHandleStream&) = delete;

    std::int32_t Read(void* destination, std::int32_t count) override;
    std::int32_t Write(const void* source, std::int32_t count) override;
    std::int32_t Skip(std::int32_t count) override;

    platform::FileHandle Handle() const { return handle; }

protected:
    platform::FileHandle handle;
};

// A heap buffer aligned to 64 bytes: reads into unaligned buffers are several times slower.
class CAlignedBuffer
{
public:
    explicit CAlignedBuffer(std::size_t size);
    char* Data() const { return data; }

private:
    std::unique_ptr<char[]> storage;
    char* data;
};

// A file opened by path. Reads and writes go through a 64 KB buffer, so that the many small
// pieces of a page or a project file cost few system calls; the bytes are those an unbuffered
// stream would transfer. A failed write is remembered: later writes report 0, and Close says so.
class CFileStream : public CHandleStream
{
public:
    // Write: create always (an existing file is truncated). Read: open existing.
    CFileStream(const std::wstring& path, bool forWriting);
    // Takes over a handle that is already open, such as standard output.
    CFileStream(platform::FileHandle handle, bool forWriting);
    ~CFileStream();

    std::int32_t Read(void* destination, std::int32_t count) override;
    std::int32_t Write(const void* source, std::int32_t count) override
    {
        // The common case, a small piece that fits, stays short.
        if (count > 0 && count <= writeRoom) {
            std::memcpy(buffer.Data() + bufferUsed, source, static_cast<std::size_t>(count));
            bufferUsed += count;
            writeRoom -= count;
            return count;
        }
        return WriteThrough(source, count);
    }
    std::int32_t Skip(std::int32_t count) override;
    void Fail() override
    {
        failed = true;
        writeRoom = 0;
    }

    bool IsOpen() const { return handle != platform::kInvalidHandle; }
    // Writes out the buffer and flushes the file to the disk; false when anything written so far
    // did not reach the file.
    bool Flush();
    // Writes out the buffer and closes the file; false when any write failed.
    bool Close();

    static constexpr std::int32_t kBufferSize = 64 * 1024;

private:
    bool Drain();
    std::int32_t WriteThrough(const void* source, std::int32_t count);

    CAlignedBuffer buffer;
    const bool writing;
    std::int32_t bufferUsed = 0; // writing: bytes waiting; reading: bytes valid
    std::int32_t bufferRead = 0; // reading: bytes already handed out
    std::int32_t writeRoom = 0;  // free buffer bytes while writing works; 0 otherwise
    bool failed = false;
};

// A stream that collects written bytes in a list of heap blocks of at least 8100 bytes. Blocks
// are never moved or grown, so written bytes keep their address. Read only after Finish.
class CMemoryStream : public CStream
{
public:
    CMemoryStream() = default;
    ~CMemoryStream();
    CMemoryStream(const CMemoryStream&) = delete;
    CMemoryStream& operator=(const CMemoryStream&) = delete;

    std::int32_t Read(void* destination, std::int32_t count) override;
    std::int32_t Write(const void* source, std::int32_t count) override;
    std::int32_t Skip(std::int32_t count) override;
    void Fail() override { failed = true; }

    // Ends writing: the last block shrinks to its written size. Returns the bytes written; only
    // for a Size() that fits 32 bits.
    std::int32_t Finish();
    // The bytes written so far, whatever their number.
    std::int64_t Size() const { return size; }
    // Set by Fail.
    bool Failed() const { return failed; }

    static constexpr std::int32_t kMinimumBlock = 8100;

    // For tests of the block layout: the number of blocks and the size of one.
    int BlockCount() const;
    std::int32_t BlockSize(int index) const;

private:
    struct Block
    {
        Block* next;
        std::int32_t size;
        char* Bytes() { return reinterpret_cast<char*>(this + 1); }
    };
    template <typename Visit> std::int32_t Walk(std::int32_t count, Visit visit);

    Block* head = nullptr;
    Block* readBlock = nullptr;
    std::int32_t readOffset = 0;
    Block* tail = nullptr;
    std::int32_t tailUsed = 0;
    std::int32_t tailFree = 0;
    std::int64_t size = 0;
    bool failed = false;
};

// Forwards every operation to another stream; the reader and writer handed to the nodes.
class CStructStream : public CStream
{
public:
    explicit CStructStream(CStream& inner) : inner(&inner) {}

    std::int32_t Read(void* destination, std::int32_t count) override
    {
        return inner->Read(destination, count);
    }
    std::int32_t Write(const void* source, std::int32_t count) override
    {
        return inner->Write(source, count);
    }
    std::int32_t Skip(std::int32_t count) override { return inner->Skip(count); }
    void Fail() override { inner->Fail(); }

private:
    CStream* inner; // not owned
};
