// The chunk operations of the project file: a chunk is a tag, a payload length and the payload;
// a node's payload is a sequence of chunks, a child node's chunk holds the child's sequence.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class CLinkIcon;
class CStream;
class CStreamable;

// Little-endian 32-bit values, as every integer of the file is stored.
void WriteUInt32(CStream& writer, std::uint32_t value);
// False when fewer than four bytes arrive.
bool ReadUInt32(CStream& source, std::uint32_t& value);

// Reads chunks until `size` bytes are used, handing each to the node's ReadChunk, then calls its
// OnLoaded. Stops early at a header that cannot be read whole, has a negative length or runs past
// `size`; the stream is then moved to the end of the extent as far as the input allows. Returns
// the bytes of the chunks read whole.
std::int32_t ReadChunkSequence(CStreamable& node, CStream& source, std::int32_t size);

// The longest payload that a project file which loads can hold, its own chunk sequence included.
// Writing a longer one fails the writer (Fail) instead of giving it a length that wraps around.
std::int64_t MaxPayload();
// Test seam: lowers MaxPayload to `bytes`, so that tests need no 2 GiB project; -1 restores it.
void SetMaxPayloadForTesting(std::int64_t bytes);

void WriteStringChunk(CStream& writer, std::uint32_t tag, const std::wstring& text);
void WriteIntChunk(CStream& writer, std::uint32_t tag, std::int32_t value);
// A payload of bytes as they are (an icon's image).
void WriteBytesChunk(CStream& writer, std::uint32_t tag, const std::string& bytes);
// Writes the child's chunk sequence as one chunk; the payload is buffered first so that its
// length is known before the header.
void WriteChildChunk(CStreamable& child, CStream& writer, std::uint32_t tag);
// Writes a header and copies `length` bytes from `source`, filling with zero bytes when the
// source delivers fewer.
void CopyAsChunk(CStream& destination, std::uint32_t tag, std::int32_t length, CStream& source);

// Reads a UTF-8 string payload into `field` (cut at a zero byte); returns the bytes read.
std::int32_t ReadStringChunk(CStream& source, std::int32_t length, std::wstring& field);
// Reads an integer payload: the first four bytes, little-endian. Shorter payloads leave `field`
// unchanged. Returns the bytes read.
std::int32_t ReadIntChunk(CStream& source, std::int32_t length, std::int32_t& field);
// Reads an icon's image; it replaces `icon` when it is one that is kept (CLinkIcon::FromBytes),
// and is dropped otherwise. A payload longer than an icon may be is not read at all. Returns the
// bytes read.
std::int32_t ReadIconChunk(CStream& source, std::int32_t length,
                           std::shared_ptr<const CLinkIcon>& icon);
// Reads a child node's payload as its chunk sequence; returns the sequence's result. The stream
// is at the end of the payload afterwards, so the caller has consumed all `length` bytes.
std::int32_t ReadChildChunk(CStreamable& child, CStream& source, std::int32_t length);

// Keeps an unrecognised chunk in the node; returns the bytes read.
std::int32_t KeepRawChunk(CStreamable& node, CStream& source, std::uint32_t tag,
                          std::int32_t length);
void WriteKeptChunks(const CStreamable& node, CStream& writer);
