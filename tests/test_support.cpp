#include "test_support.h"

#include "homepage/page_writer.h"
#include "homepage/shown_text.h"
#include "model/item.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/text.h"
#include "platform/platform.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <sstream>
#include <string>

namespace {

std::atomic<int> tempCounter{0};

} // namespace

CTempFile::CTempFile(const std::wstring& suffix)
{
    // Test programs run side by side: a random token per process keeps their files apart.
    static const unsigned long token =
        std::random_device{}() ^ static_cast<unsigned long>(std::time(nullptr));
    path = platform::TempFolder() + L"quiltest_" + std::to_wstring(token) + L"_" +
           std::to_wstring(++tempCounter) + suffix;
    platform::RemoveFile(path);
}

CTempFile::~CTempFile()
{
    platform::RemoveFile(path);
}

namespace {

template <typename List, typename Append>
void AppendChildren(const List& children, std::wstring& text, Append append)
{
    if (children.empty()) return;
    text += L'[';
    bool first = true;
    for (auto* child : children) {
        if (!first) text += L',';
        first = false;
        append(child);
    }
    text += L']';
}

} // namespace

std::wstring ProjectOutline(const CProject& project)
{
    std::wstring text = project.title;
    AppendChildren(project.columns, text, [&text](const CColumn* column) {
        text += column->caption;
        AppendChildren(column->groups, text, [&text](const CGroup* group) {
            text += group->caption;
            AppendChildren(group->items, text,
                           [&text](const CItem* item) { text += item->GetLabel(); });
        });
    });
    return text;
}

std::wstring ShownOutline(const CProject& project)
{
    std::wstring text = ShownText(project.title);
    AppendChildren(project.columns, text, [&text](const CColumn* column) {
        text += ShownText(column->caption);
        AppendChildren(column->groups, text, [&text](const CGroup* group) {
            text += ShownText(group->caption);
            AppendChildren(group->items, text, [&text](const CItem* item) {
                if (item->GetTag() == tags::kItemLink) {
                    const auto& link = static_cast<const CItemLink*>(item)->mainLink;
                    text += LinkLabel(link.caption, link.url);
                } else if (item->GetTag() == tags::kItemForm) {
                    const std::wstring name = ShownText(static_cast<const CItemForm*>(item)->name);
                    text += name.empty() ? item->GetLabel() : name;
                }
            });
        });
    });
    return text;
}

std::string GeneratedPage(const CProject& project)
{
    CMemoryStream page;
    WritePage(project, page);
    return ReadAll(page);
}

std::wstring WindowsPath(std::wstring path)
{
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path) {
            if (c == L'/') c = L'\\';
        }
        path = L"Z:" + path;
    }
    return path;
}

std::string ReadFileBytes(const std::wstring& path)
{
    CFileStream file(path, false);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        std::int32_t n = file.Read(buffer, sizeof buffer);
        if (n <= 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    CFileStream file(path, true);
    WriteBytes(file, bytes);
    file.Close();
}

std::string ReadAll(CMemoryStream& stream)
{
    std::string bytes(static_cast<std::size_t>(stream.Finish()), '\0');
    if (!bytes.empty()) stream.Read(&bytes[0], static_cast<std::int32_t>(bytes.size()));
    return bytes;
}

std::string SaveToBytes(CProject& project)
{
    CMemoryStream memory;
    CStructStream writer(memory);
    project.Save(writer);
    return ReadAll(memory);
}

std::int32_t LoadFromBytes(CProject& project, const std::string& bytes)
{
    CRecordingStream source(bytes);
    CStructStream reader(source);
    return project.Load(reader, static_cast<std::int32_t>(bytes.size()));
}

HtmlImportResult ImportBytes(CProject& project, const std::string& bytes, std::int32_t readLimit)
{
    CRecordingStream stream(bytes);
    stream.readLimit = readLimit;
    return ImportPageOrBookmarks(project, stream);
}

std::string Le32(std::uint32_t value)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string Chunk(const char (&tag)[5], const std::string& payload)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(tag[i]);
    return Le32(value) + Le32(static_cast<std::uint32_t>(payload.size())) + payload;
}

std::string ProjectHeader(std::uint32_t revision)
{
    return Bytes("\x6C\x69\x75\x71") + Le32(revision);
}

std::int32_t CRecordingStream::Read(void* destination, std::int32_t count)
{
    std::size_t n =
        std::min<std::size_t>({static_cast<std::size_t>(std::max(count, 0)),
                               input.size() - inputPosition, static_cast<std::size_t>(readLimit)});
    std::memcpy(destination, input.data() + inputPosition, n);
    inputPosition += n;
    return static_cast<std::int32_t>(n);
}

std::int32_t CRecordingStream::Write(const void* source, std::int32_t count)
{
    pieces.emplace_back(static_cast<const char*>(source), static_cast<std::size_t>(count));
    bytes.append(static_cast<const char*>(source), static_cast<std::size_t>(count));
    return count;
}

std::int32_t CRecordingStream::Skip(std::int32_t count)
{
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)),
                                          input.size() - inputPosition);
    inputPosition += n;
    return static_cast<std::int32_t>(n);
}

std::vector<std::wstring> LinkServerBases()
{
    std::vector<std::wstring> bases;
    const char* value = std::getenv("QUIL_LINK_SERVER");
    std::istringstream words(value ? value : "");
    std::string word;
    while (words >> word)
        bases.push_back(FromUtf8(word));
    return bases;
}
