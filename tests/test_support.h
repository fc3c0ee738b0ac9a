// Helpers shared by the tests: temporary files and streams that record what they are given.
#pragma once

#include "import/html_import.h"
#include "persist/streams.h"

#include <cstdint>
#include <string>
#include <vector>

// A fresh path in the temp folder; the file is removed when the object goes.
class CTempFile
{
public:
    explicit CTempFile(const std::wstring& suffix = L".tmp");
    ~CTempFile();
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;
    const std::wstring& Path() const { return path; }

private:
    std::wstring path;
};

std::string ReadFileBytes(const std::wstring& path);
// A Unix path as Windows sees it under Wine (Z:\...); other paths unchanged.
std::wstring WindowsPath(std::wstring path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Everything a memory stream holds, read from the start after Finish.
std::string ReadAll(CMemoryStream& stream);

class CProject;
// The project as "Title[Column[Group[Item,...]],...]", the texts as the model holds them (items
// by their labels)...
std::wstring ProjectOutline(const CProject& project);
// ...and as the page shows them: what the editor's tree shows.
std::wstring ShownOutline(const CProject& project);
// The homepage the generator writes for the project.
std::string GeneratedPage(const CProject& project);
// The project file bytes of a project, as Save writes them.
std::string SaveToBytes(CProject& project);
// Loads project file bytes with Load; returns its result.
std::int32_t LoadFromBytes(CProject& project, const std::string& bytes);

// Reads HTML bytes (a page or a bookmark file) into `project` as the program does, delivering at
// most `readLimit` bytes per read.
HtmlImportResult ImportBytes(CProject& project, const std::string& bytes,
                             std::int32_t readLimit = 0x7FFFFFFF);

// Collects writes in memory and remembers each Write call's piece; reads from a given text.
class CRecordingStream : public CStream
{
public:
    explicit CRecordingStream(std::string input = std::string()) : input(std::move(input)) {}
    std::int32_t Read(void* destination, std::int32_t count) override;
    std::int32_t Write(const void* source, std::int32_t count) override;
    std::int32_t Skip(std::int32_t count) override;
    void Fail() override { failed = true; }

    std::string bytes;
    bool failed = false; // Fail was called
    std::vector<std::string> pieces;
    std::string input;
    std::size_t inputPosition = 0;
    // Reads deliver at most this many bytes per call (to split input at awkward places).
    std::int32_t readLimit = 0x7FFFFFFF;
};

// Project file pieces: a little-endian number, a chunk with a tag written as its four characters,
// and the file header.
std::string Le32(std::uint32_t value);
std::string Chunk(const char (&tag)[5], const std::string& payload);
std::string ProjectHeader(std::uint32_t revision = 0);

// Bytes from a literal that may hold NUL bytes.
template <std::size_t N> std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

// The tests' own link server's hosts as with_link_server.py names them in QUIL_LINK_SERVER
// ("http://127.0.0.1:PORT", ...); empty without a server.
std::vector<std::wstring> LinkServerBases();
