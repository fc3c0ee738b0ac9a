#include "persist/streams.h"

#include <algorithm>
#include <cstring>
#include <new>

// ---- CHandleStream ----

CHandleStream::~CHandleStream()
{
    platform::CloseFile(handle);
}

std::int32_t CHandleStream::Read(void* destination, std::int32_t count)
{
    return platform::ReadFile(handle, destination, count);
}

std::int32_t CHandleStream::Write(const void* source, std::int32_t count)
{
    return platform::WriteFile(handle, source, count);
}

std::int32_t CHandleStream::Skip(std::int32_t count)
{
    std::uint32_t before = platform::MoveFilePointer(handle, 0);
    std::uint32_t after = platform::MoveFilePointer(handle, static_cast<std::uint32_t>(count));
    return static_cast<std::int32_t>(after - before);
}

// ---- CAlignedBuffer ----

CAlignedBuffer::CAlignedBuffer(std::size_t size) : storage(new char[size + 63]), data(nullptr)
{
    std::uintptr_t address = reinterpret_cast<std::uintptr_t>(storage.get());
    data = storage.get() + ((64 - address % 64) % 64);
}

// ---- CFileStream ----

CFileStream::CFileStream(const std::wstring& path, bool forWriting)
    : CFileStream(platform::OpenFile(path, forWriting), forWriting)
{
}

CFileStream::CFileStream(platform::FileHandle handle, bool forWriting)
    : CHandleStream(handle), buffer(kBufferSize), writing(forWriting)
{
    if (writing && IsOpen()) writeRoom = kBufferSize;
}

CFileStream::~CFileStream()
{
    Drain();
}

bool CFileStream::Drain()
{
    if (writing && bufferUsed > 0 && !failed) {
        if (CHandleStream::Write(buffer.Data(), bufferUsed) != bufferUsed) failed = true;
        bufferUsed = 0;
    }
    writeRoom = failed || !writing || !IsOpen() ? 0 : kBufferSize - bufferUsed;
    return !failed;
}

// Writes that do not fit into the buffer, and every write once writing is impossible.
std::int32_t CFileStream::WriteThrough(const void* source, std::int32_t count)
{
    if (count <= 0 || !writing || failed || !IsOpen()) return 0;
    if (!Drain()) return 0;
    if (count >= kBufferSize) {
        std::int32_t written = CHandleStream::Write(source, count);
        if (written != count) {
            failed = true;
            writeRoom = 0;
        }
        return written;
    }
    std::memcpy(buffer.Data(), source, static_cast<std::size_t>(count));
    bufferUsed = count;
    writeRoom = kBufferSize - count;
    return count;
}

std::int32_t CFileStream::Read(void* destination, std::int32_t count)
{
    if (count <= 0 || writing) return 0;
    char* out = static_cast<char*>(destination);
    std::int32_t done = 0;
    while (done < count) {
        std::int32_t available = bufferUsed - bufferRead;
        if (available > 0) {
            std::int32_t k = std::min(available, count - done);
            std::memcpy(out + done, buffer.Data() + bufferRead, static_cast<std::size_t>(k));
            bufferRead += k;
            done += k;
            continue;
        }
        // Large requests go straight to the file; small ones refill the buffer.
        std::int32_t n;
        if (count - done >= kBufferSize) {
            n = CHandleStream::Read(out + done, count - done);
            if (n > 0) done += n;
        } else {
            n = CHandleStream::Read(buffer.Data(), kBufferSize);
            bufferUsed = n > 0 ? n : 0;
            bufferRead = 0;
        }
        if (n <= 0) break;
    }
    return done;
}

std::int32_t CFileStream::Skip(std::int32_t count)
{
    if (count <= 0) return 0;
    if (writing && !Drain()) return 0;
    std::int32_t available = bufferUsed - bufferRead;
    if (!writing && available >= count) {
        bufferRead += count;
        return count;
    }
    std::int32_t skipped = writing ? 0 : available;
    bufferUsed = bufferRead = 0;
    return skipped + CHandleStream::Skip(count - skipped);
}

bool CFileStream::Flush()
{
    if (!IsOpen() || !Drain()) return false;
    if (writing && !platform::FlushFile(handle)) {
        failed = true;
        writeRoom = 0;
    }
    return !failed;
}

bool CFileStream::Close()
{
    bool ok = IsOpen() && Drain();
    platform::CloseFile(handle);
    handle = platform::kInvalidHandle;
    writeRoom = 0;
    return ok;
}

// ---- CMemoryStream ----

CMemoryStream::~CMemoryStream()
{
    while (head) {
        Block* next = head->next;
        ::operator delete(head);
        head = next;
    }
}

std::int32_t CMemoryStream::Write(const void* source, std::int32_t count)
{
    if (count <= 0) return 0;
    size += count;
    const char* bytes = static_cast<const char*>(source);
    if (count < tailFree) {
        std::memcpy(tail->Bytes() + tailUsed, bytes, static_cast<std::size_t>(count));
        tailUsed += count;
        tailFree -= count;
        return count;
    }
    std::int32_t remaining = count;
    if (tailFree > 0) {
        std::memcpy(tail->Bytes() + tailUsed, bytes, static_cast<std::size_t>(tailFree));
        bytes += tailFree;
        remaining -= tailFree;
    }
    std::int32_t capacity = std::max(remaining, kMinimumBlock);
    Block* block = static_cast<Block*>(::operator new(sizeof(Block) + capacity));
    block->next = nullptr;
    block->size = capacity;
    if (tail) {
        tail->next = block;
    } else {
        head = readBlock = block;
    }
    tail = block;
    std::memcpy(block->Bytes(), bytes, static_cast<std::size_t>(remaining));
    tailUsed = remaining;
    tailFree = capacity - remaining;
    return count;
}

template <typename Visit> std::int32_t CMemoryStream::Walk(std::int32_t count, Visit visit)
{
    std::int32_t total = 0;
    while (count > 0 && readBlock) {
        std::int32_t k = std::min(count, readBlock->size - readOffset);
        visit(readBlock->Bytes() + readOffset, k, total);
        readOffset += k;
        total += k;
        count -= k;
        if (readOffset >= readBlock->size) {
            readBlock = readBlock->next;
            readOffset = 0;
        }
    }
    return total;
}

std::int32_t CMemoryStream::Read(void* destination, std::int32_t count)
{
    char* out = static_cast<char*>(destination);
    return Walk(count, [out](const char* from, std::int32_t k, std::int32_t at) {
        std::memcpy(out + at, from, static_cast<std::size_t>(k));
    });
}

std::int32_t CMemoryStream::Skip(std::int32_t count)
{
    return Walk(count, [](const char*, std::int32_t, std::int32_t) {});
}

std::int32_t CMemoryStream::Finish()
{
    if (tail) {
        tail->size = tailUsed;
        // Nothing more fits into the shrunk block: a later write starts a new one.
        tailFree = 0;
    }
    std::int32_t total = 0;
    for (Block* block = head; block; block = block->next)
        total += block->size;
    return total;
}

int CMemoryStream::BlockCount() const
{
    int count = 0;
    for (Block* block = head; block; block = block->next)
        ++count;
    return count;
}

std::int32_t CMemoryStream::BlockSize(int index) const
{
    Block* block = head;
    for (; block && index > 0; --index)
        block = block->next;
    return block ? block->size : -1;
}
