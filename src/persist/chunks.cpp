#include "persist/chunks.h"

#include "model/link_icon.h"
#include "model/streamable.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>

namespace {

void PutLE32(unsigned char* at, std::uint32_t value)
{
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
    at[2] = static_cast<unsigned char>(value >> 16);
    at[3] = static_cast<unsigned char>(value >> 24);
}

std::uint32_t GetLE32(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

void WriteHeader(CStream& writer, std::uint32_t tag, std::int32_t length)
{
    unsigned char header[8];
    PutLE32(header, tag);
    PutLE32(header + 4, static_cast<std::uint32_t>(length));
    writer.Write(header, 8);
}

// Appends up to `length` bytes from `source` to `out` in pieces, so that a declared length larger
// than the input never allocates more than the input holds. Returns the count appended.
template <typename Bytes>
std::int32_t AppendPayload(CStream& source, std::int32_t length, Bytes& out)
{
    constexpr std::int32_t kPiece = 64 * 1024;
    const std::size_t start = out.size();
    std::int32_t done = 0;
    while (done < length) {
        std::int32_t want = std::min(length - done, kPiece);
        out.resize(start + static_cast<std::size_t>(done + want));
        std::int32_t got = source.Read(&out[start + static_cast<std::size_t>(done)], want);
        done += std::max(got, 0);
        if (got < want) break;
    }
    out.resize(start + static_cast<std::size_t>(done));
    return done;
}

constexpr std::int64_t kMaxPayload = kMaxProjectFileSize - 8;
std::int64_t maxPayload = kMaxPayload;

} // namespace

std::int64_t MaxPayload()
{
    return maxPayload;
}

void SetMaxPayloadForTesting(std::int64_t bytes)
{
    maxPayload = bytes < 0 ? kMaxPayload : bytes;
}

void WriteUInt32(CStream& writer, std::uint32_t value)
{
    unsigned char bytes[4];
    PutLE32(bytes, value);
    writer.Write(bytes, 4);
}

bool ReadUInt32(CStream& source, std::uint32_t& value)
{
    unsigned char bytes[4];
    if (source.Read(bytes, 4) != 4) return false;
    value = GetLE32(bytes);
    return true;
}

std::int32_t ReadChunkSequence(CStreamable& node, CStream& source, std::int32_t size)
{
    std::int32_t count = 0;
    while (count < size) {
        std::int32_t headerRead = 0;
        bool whole = false;
        if (size - count >= 8) {
            unsigned char header[8];
            headerRead = std::max(source.Read(header, 8), 0);
            std::uint32_t tag = GetLE32(header);
            std::int32_t length = static_cast<std::int32_t>(GetLE32(header + 4));
            whole = headerRead == 8 && length >= 0 && length <= size - count - 8;
            if (whole) {
                std::int32_t consumed = node.ReadChunk(source, tag, length);
                if (consumed < length) source.Skip(length - consumed);
                count += length + 8;
                continue;
            }
        }
        // A header that does not fit, ends the input or lies about its length: keep what was
        // read and move to the end of the extent so the enclosing sequence stays in step.
        if (headerRead == 8 || size - count < 8) source.Skip(size - count - headerRead);
        break;
    }
    node.OnLoaded();
    return count;
}

void WriteStringChunk(CStream& writer, std::uint32_t tag, const std::wstring& text)
{
    // Short strings, nearly all of them, go out as one piece converted on the stack.
    constexpr std::size_t kStackBytes = 1024;
    if (text.size() * platform::kMaxUtf8PerWide <= kStackBytes - 8) {
        unsigned char chunk[kStackBytes];
        std::size_t length = platform::WideToUtf8(
            text.data(), text.size(), reinterpret_cast<char*>(chunk + 8), kStackBytes - 8);
        PutLE32(chunk, tag);
        PutLE32(chunk + 4, static_cast<std::uint32_t>(length));
        writer.Write(chunk, static_cast<std::int32_t>(length + 8));
        return;
    }
    std::string bytes = ToUtf8(text);
    if (static_cast<std::int64_t>(bytes.size()) > maxPayload) {
        writer.Fail();
        return;
    }
    WriteHeader(writer, tag, static_cast<std::int32_t>(bytes.size()));
    WriteBytes(writer, bytes);
}

void WriteIntChunk(CStream& writer, std::uint32_t tag, std::int32_t value)
{
    unsigned char chunk[12];
    PutLE32(chunk, tag);
    PutLE32(chunk + 4, 4);
    PutLE32(chunk + 8, static_cast<std::uint32_t>(value));
    writer.Write(chunk, 12);
}

void WriteBytesChunk(CStream& writer, std::uint32_t tag, const std::string& bytes)
{
    if (static_cast<std::int64_t>(bytes.size()) > maxPayload) {
        writer.Fail();
        return;
    }
    WriteHeader(writer, tag, static_cast<std::int32_t>(bytes.size()));
    WriteBytes(writer, bytes);
}

void WriteChildChunk(CStreamable& child, CStream& writer, std::uint32_t tag)
{
    CMemoryStream memory;
    CStructStream childWriter(memory);
    child.WriteChunks(childWriter);
    if (memory.Failed() || memory.Size() > maxPayload) {
        writer.Fail();
        return;
    }
    std::int32_t length = memory.Finish();
    CopyAsChunk(writer, tag, length, memory);
}

void CopyAsChunk(CStream& destination, std::uint32_t tag, std::int32_t length, CStream& source)
{
    constexpr std::int32_t kPiece = 4000;
    WriteHeader(destination, tag, length);
    char piece[kPiece];
    std::int32_t remaining = length;
    std::int32_t written = 0;
    while (remaining > 0) {
        std::int32_t got = source.Read(piece, std::min(remaining, kPiece));
        if (got <= 0) break;
        remaining -= got;
        written += destination.Write(piece, got);
    }
    if (written < length) {
        std::memset(piece, 0, sizeof piece);
        while (written < length) {
            std::int32_t zeros = std::min(length - written, kPiece);
            destination.Write(piece, zeros);
            written += zeros;
        }
    }
}

std::int32_t ReadStringChunk(CStream& source, std::int32_t length, std::wstring& field)
{
    // One reused buffer: a load reads many small strings, and the only allocation each needs is
    // the field's own text. One that a huge string made huge is not kept for the rest of the run.
    constexpr std::size_t kKeptCapacity = 64 * 1024;
    static thread_local std::string bytes;
    bytes.clear();
    std::int32_t got = AppendPayload(source, length, bytes);
    std::size_t end = bytes.find('\0');
    AssignFromUtf8(field, bytes.data(), end == std::string::npos ? bytes.size() : end);
    if (bytes.capacity() > kKeptCapacity) std::string().swap(bytes);
    return got;
}

std::int32_t ReadIntChunk(CStream& source, std::int32_t length, std::int32_t& field)
{
    unsigned char bytes[4];
    std::int32_t got = source.Read(bytes, std::min(length, 4));
    if (got == 4) field = static_cast<std::int32_t>(GetLE32(bytes));
    return std::max(got, 0);
}

std::int32_t ReadIconChunk(CStream& source, std::int32_t length,
                           std::shared_ptr<const CLinkIcon>& icon)
{
    if (length <= 0 || static_cast<std::size_t>(length) > CLinkIcon::kMaxBytes) return 0;
    std::string bytes;
    std::int32_t got = AppendPayload(source, length, bytes);
    if (got == length) {
        if (auto read = CLinkIcon::FromBytes(std::move(bytes))) icon = std::move(read);
    }
    return got;
}

std::int32_t ReadChildChunk(CStreamable& child, CStream& source, std::int32_t length)
{
    return ReadChunkSequence(child, source, length);
}

std::int32_t KeepRawChunk(CStreamable& node, CStream& source, std::uint32_t tag,
                          std::int32_t length)
{
    return node.keptChunks.Read(source, tag, length);
}

void WriteKeptChunks(const CStreamable& node, CStream& writer)
{
    node.keptChunks.Write(writer);
}

// ---- CKeptChunks ----

std::size_t CKeptChunks::AppendHeader(std::uint32_t tag)
{
    const std::size_t header = block.size();
    block.resize(header + 8);
    PutLE32(&block[header], tag);
    PutLE32(&block[header + 4], 0);
    return header;
}

void CKeptChunks::SetLength(std::size_t header, std::int32_t length)
{
    PutLE32(&block[header + 4], static_cast<std::uint32_t>(length));
}

void CKeptChunks::Append(std::uint32_t tag, const void* bytes, std::int32_t length)
{
    const std::size_t header = AppendHeader(tag);
    const auto* first = static_cast<const unsigned char*>(bytes);
    block.insert(block.end(), first, first + length);
    SetLength(header, length);
}

std::int32_t CKeptChunks::Read(CStream& source, std::uint32_t tag, std::int32_t length)
{
    const std::size_t header = AppendHeader(tag);
    const std::int32_t got = AppendPayload(source, length, block);
    SetLength(header, got);
    return got;
}

void CKeptChunks::Write(CStream& writer) const
{
    // The block is what the file held, so it goes out whole.
    if (static_cast<std::int64_t>(block.size()) > MaxPayload()) {
        writer.Fail();
        return;
    }
    if (!block.empty()) writer.Write(block.data(), static_cast<std::int32_t>(block.size()));
}
