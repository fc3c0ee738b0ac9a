#include "editor/data_transfer.h"

#include "edit/site.h"
#include "persist/streams.h"
#include "transfer/html_clipboard.h"
#include "transfer/node_bytes.h"
#include "transfer/url_sources.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

// An Internet shortcut is a few lines; more than this is no shortcut.
constexpr std::int32_t kShortcutBytes = 64 * 1024;

UINT Registered(const wchar_t* name)
{
    return ::RegisterClipboardFormatW(name);
}

// The bytes of a global memory block.
std::string GlobalBytes(HGLOBAL global)
{
    std::string bytes;
    if (!global) return bytes;
    const SIZE_T size = ::GlobalSize(global);
    const void* data = ::GlobalLock(global);
    if (data) {
        bytes.assign(static_cast<const char*>(data), size);
        ::GlobalUnlock(global);
    }
    return bytes;
}

HGLOBAL NewGlobal(const void* bytes, std::size_t size)
{
    HGLOBAL global = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!global) return nullptr;
    void* data = ::GlobalLock(global);
    if (!data) {
        ::GlobalFree(global);
        return nullptr;
    }
    if (size) std::memcpy(data, bytes, size);
    ::GlobalUnlock(global);
    return global;
}

// Hands the block to the clipboard, which owns it from then on.
bool SetClipboardBytes(UINT format, const void* bytes, std::size_t size)
{
    HGLOBAL global = NewGlobal(bytes, size);
    if (!global) return false;
    if (::SetClipboardData(format, global)) return true;
    ::GlobalFree(global);
    return false;
}

bool EndsWith(const std::wstring& text, const wchar_t* suffix)
{
    const std::size_t length = std::wcslen(suffix);
    if (text.size() < length) return false;
    return ::lstrcmpiW(text.c_str() + text.size() - length, suffix) == 0;
}

std::string FileStart(const std::wstring& path, std::int32_t limit)
{
    CFileStream file(path, false);
    std::string bytes;
    if (!file.IsOpen()) return bytes;
    bytes.resize(static_cast<std::size_t>(limit));
    bytes.resize(static_cast<std::size_t>(std::max(file.Read(&bytes[0], limit), 0)));
    return bytes;
}

// Links of the shortcut files and the pages to read, from a CF_HDROP block.
bool ReadFiles(HGLOBAL global, CIncoming& incoming)
{
    auto* drop = static_cast<HDROP>(::GlobalLock(global));
    if (!drop) return false;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::wstring> paths;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, &path[0], length + 1));
        paths.push_back(path);
    }
    ::GlobalUnlock(global);

    CNodeBundle links;
    links.kind = kNodeItem;
    for (const std::wstring& path : paths) {
        if (EndsWith(path, L".html") || EndsWith(path, L".htm")) {
            incoming.htmlFiles.push_back(path);
        } else if (EndsWith(path, L".url")) {
            CNodeBundle one;
            if (ReadInternetShortcut(FileStart(path, kShortcutBytes), path, one)) {
                for (CDetachedNode& node : one.nodes)
                    links.nodes.push_back(std::move(node));
            }
        }
    }
    incoming.bundle = std::move(links);
    return !incoming.Empty();
}

// Reads a format of a data object as bytes; empty when it does not have it.
std::string DataBytes(IDataObject* data, UINT format)
{
    FORMATETC request = {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1,
                         TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&request, &medium))) return std::string();
    std::string bytes;
    if (medium.tymed == TYMED_HGLOBAL) bytes = GlobalBytes(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    return bytes;
}

bool HasData(IDataObject* data, UINT format)
{
    FORMATETC request = {static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1,
                         TYMED_HGLOBAL};
    return data->QueryGetData(&request) == S_OK;
}

bool DataFiles(IDataObject* data, CIncoming& incoming)
{
    FORMATETC request = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&request, &medium))) return false;
    const bool read = medium.tymed == TYMED_HGLOBAL && ReadFiles(medium.hGlobal, incoming);
    ::ReleaseStgMedium(&medium);
    return read;
}

} // namespace

namespace transfer {

UINT NodeFormat()
{
    static const UINT format = Registered(L"Quillomere nodes");
    return format;
}

UINT HtmlFormat()
{
    static const UINT format = Registered(L"HTML Format");
    return format;
}

UINT UrlFormat()
{
    static const UINT format = Registered(L"UniformResourceLocatorW");
    return format;
}

UINT DescriptorFormat()
{
    static const UINT format = Registered(L"FileGroupDescriptorW");
    return format;
}

bool PutNodes(HWND owner, std::int32_t kind, const std::vector<CStreamable*>& nodes)
{
    const std::string own = WriteNodeBytes(kind, nodes);
    const std::string html = WriteHtmlClipboard(kind, nodes);
    const std::wstring text = WriteUrlText(kind, nodes);
    // Without its own bytes the clipboard could not give the nodes back whole: a cut must not
    // go on then.
    if (own.empty() || !::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    const bool kept = SetClipboardBytes(NodeFormat(), own.data(), own.size());
    // CF_HTML ends in a NUL, as the programs that read it expect.
    SetClipboardBytes(HtmlFormat(), html.c_str(), html.size() + 1);
    SetClipboardBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::CloseClipboard();
    return kept;
}

bool PutText(HWND owner, const std::wstring& text)
{
    if (!::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    const bool kept =
        SetClipboardBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::CloseClipboard();
    return kept;
}

bool ReadClipboard(HWND owner, CIncoming& incoming)
{
    if (!::OpenClipboard(owner)) return false;
    bool read = false;
    std::string bytes;
    if (::IsClipboardFormatAvailable(NodeFormat()))
        read = ReadNodeBytes(GlobalBytes(::GetClipboardData(NodeFormat())), incoming.bundle);
    if (!read && ::IsClipboardFormatAvailable(HtmlFormat())) {
        bytes = GlobalBytes(::GetClipboardData(HtmlFormat()));
        read = ReadHtmlClipboard(std::string_view(bytes.c_str()), incoming.bundle);
    }
    if (!read && ::IsClipboardFormatAvailable(CF_HDROP)) {
        HGLOBAL files = ::GetClipboardData(CF_HDROP);
        read = files && ReadFiles(files, incoming);
    }
    if (!read && ::IsClipboardFormatAvailable(CF_UNICODETEXT))
        read = ReadUrlText(GlobalBytes(::GetClipboardData(CF_UNICODETEXT)), incoming.bundle);
    ::CloseClipboard();
    return read;
}

bool ReadDataObject(IDataObject* data, CIncoming& incoming)
{
    if (!data) return false;
    if (HasData(data, NodeFormat()) &&
        ReadNodeBytes(DataBytes(data, NodeFormat()), incoming.bundle))
        return true;
    if (HasData(data, CF_HDROP) && DataFiles(data, incoming)) return true;
    if (HasData(data, UrlFormat())) {
        const std::string descriptor =
            HasData(data, DescriptorFormat()) ? DataBytes(data, DescriptorFormat()) : std::string();
        if (ReadUrlDescriptor(DataBytes(data, UrlFormat()), descriptor, incoming.bundle))
            return true;
    }
    if (HasData(data, HtmlFormat())) {
        const std::string bytes = DataBytes(data, HtmlFormat());
        if (ReadHtmlClipboard(std::string_view(bytes.c_str()), incoming.bundle)) return true;
    }
    return HasData(data, CF_UNICODETEXT) &&
           ReadUrlText(DataBytes(data, CF_UNICODETEXT), incoming.bundle);
}

} // namespace transfer
