// The base of every node: chunked persistence, and the chunks a node did not recognise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CStream;
class CStructStream;

// The chunks a node did not recognise, in the order read. They are held as they stand in the
// file, header and payload back to back, in one block per node: a foreign or damaged file of
// countless tiny unknown chunks then costs about its own size in memory, where a record and an
// allocation per chunk cost more than ten times that.
class CKeptChunks
{
public:
    // One chunk, seen in the block; valid until the next chunk is added.
    struct Chunk
    {
        std::uint32_t tag;
        std::int32_t length; // payload bytes actually read
        const unsigned char* bytes;
    };

    class Iterator
    {
    public:
        explicit Iterator(const unsigned char* at) : at(at) {}
        Chunk operator*() const
        {
            return Chunk{Get(at), static_cast<std::int32_t>(Get(at + 4)), at + 8};
        }
        Iterator& operator++()
        {
            at += 8 + Get(at + 4);
            return *this;
        }
        bool operator!=(const Iterator& other) const { return at != other.at; }
        bool operator==(const Iterator& other) const { return at == other.at; }

    private:
        const unsigned char* at;
    };

    Iterator begin() const { return Iterator(block.data()); }
    Iterator end() const { return Iterator(block.data() + block.size()); }
    // Walks the block rather than keeping a count in every one of the many nodes.
    std::size_t size() const
    {
        std::size_t chunks = 0;
        for (Iterator at = begin(); at != end(); ++at)
            ++chunks;
        return chunks;
    }
    bool empty() const { return block.empty(); }

    void Append(std::uint32_t tag, const void* bytes, std::int32_t length);
    // Reads a payload of up to `length` bytes from `source` and keeps it as a chunk with `tag`;
    // returns the bytes read (fewer when the input ends first). Memory grows with what arrives,
    // not with what the length promises.
    std::int32_t Read(CStream& source, std::uint32_t tag, std::int32_t length);
    // Writes every chunk back as it was read, in order.
    void Write(CStream& writer) const;

private:
    // Little-endian, as in the file.
    static std::uint32_t Get(const unsigned char* at)
    {
        return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
               (static_cast<std::uint32_t>(at[2]) << 16) |
               (static_cast<std::uint32_t>(at[3]) << 24);
    }
    std::size_t AppendHeader(std::uint32_t tag);
    void SetLength(std::size_t header, std::int32_t length);

    std::vector<unsigned char> block;
};

class CStreamable
{
public:
    CKeptChunks keptChunks;

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
