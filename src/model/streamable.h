// The base of every node: chunked persistence, and the chunks a node did not recognise.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CStream;
class CStructStream;

// A chunk read from a project file that its node did not recognise.
struct RawChunk
{
    std::uint32_t tag = 0;
    std::int32_t length = 0; // payload bytes actually read
    std::vector<unsigned char> bytes;
};

class CStreamable
{
public:
    // Chunks this node did not recognise, in the order read.
    std::vector<std::shared_ptr<const RawChunk>> keptChunks;

    // Reads one chunk's payload; returns the bytes consumed. The base keeps the chunk.
    virtual std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length);
    // Writes this node's chunk sequence. The base writes the kept chunks back.
    virtual void WriteChunks(CStructStream& writer);
    // Called after this node's chunk sequence has been read.
    virtual void OnLoaded();
    virtual void Save(CStructStream& writer);
    // Reads a chunk sequence of `size` bytes.
    virtual std::int32_t Load(CStream& source, std::int32_t size);

protected:
    CStreamable() = default;
    // Not virtual: the classes that are deleted through a base pointer declare their own.
    ~CStreamable() = default;
    CStreamable(const CStreamable&) = delete;
    CStreamable& operator=(const CStreamable&) = delete;
};
