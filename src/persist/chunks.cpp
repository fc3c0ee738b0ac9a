#include "persist/chunks.h"

#include "model/streamable.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstring>
#include <memory>

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

// Reads up to `length` bytes in pieces, so that a declared length larger than the input never
// allocates more than the input holds.
template <typename Bytes> std::int32_t ReadPayload(CStream& source, std::int32_t length, Bytes& out)
{
    constexpr std::int32_t kPiece = 64 * 1024;
    out.clear();
    std::int32_t done = 0;
    while (done < length) {
        std::int32_t want = std::min(length - done, kPiece);
        out.resize(static_cast<std::size_t>(done + want));
        std::int32_t got = source.Read(&out[static_cast<std::size_t>(done)], want);
        done += std::max(got, 0);
        if (got < want) break;
    }
    out.resize(static_cast<std::size_t>(done));
    return done;
}

} // namespace

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

void WriteChildChunk(CStreamable& child, CStream& writer, std::uint32_t tag)
{
    CMemoryStream memory;
    CStructStream childWriter(memory);
    child.WriteChunks(childWriter);
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
    // the field's own text.
    static thread_local std::string bytes;
    std::int32_t got = ReadPayload(source, length, bytes);
    std::size_t end = bytes.find('\0');
    AssignFromUtf8(field, bytes.data(), end == std::string::npos ? bytes.size() : end);
    return got;
}

std::int32_t ReadIntChunk(CStream& source, std::int32_t length, std::int32_t& field)
{
    unsigned char bytes[4];
    std::int32_t got = source.Read(bytes, std::min(length, 4));
    if (got == 4) field = static_cast<std::int32_t>(GetLE32(bytes));
    return std::max(got, 0);
}

std::int32_t ReadChildChunk(CStreamable& child, CStream& source, std::int32_t length)
{
    return ReadChunkSequence(child, source, length);
}

std::int32_t KeepRawChunk(CStreamable& node, CStream& source, std::uint32_t tag,
                          std::int32_t length)
{
    auto chunk = std::make_shared<RawChunk>();
    chunk->tag = tag;
    chunk->length = ReadPayload(source, length, chunk->bytes);
    node.keptChunks.push_back(std::move(chunk));
    return node.keptChunks.back()->length;
}

void WriteKeptChunks(const CStreamable& node, CStream& writer)
{
    for (const auto& chunk : node.keptChunks) {
        WriteHeader(writer, chunk->tag, chunk->length);
        writer.Write(chunk->bytes.data(), chunk->length);
    }
}
