// The Windows side of moving nodes in and out: the clipboard formats, copied nodes put on the
// clipboard, and nodes read from the clipboard or from a data object dropped on the tree. Only
// bytes pass here; the portable readers and writers (src/transfer) make and read them.
#pragma once

#include "transfer/node_bundle.h"

#include <windows.h>

#include <objidl.h>

#include <cstdint>
#include <string>
#include <vector>

class CStreamable;

// What a paste or a drop brings in: nodes, and bookmark files or homepages to be read as
// "Read HTML file..." reads them.
struct CIncoming
{
    CNodeBundle bundle;
    std::vector<std::wstring> htmlFiles;

    bool Empty() const { return bundle.Empty() && htmlFiles.empty(); }
};

namespace transfer {

// The registered formats: the program's own ("Quillomere nodes"), "HTML Format",
// "UniformResourceLocatorW" and "FileGroupDescriptorW".
UINT NodeFormat();
UINT HtmlFormat();
UINT UrlFormat();
UINT DescriptorFormat();

// Puts the nodes on the clipboard in the program's own format, as CF_HTML and as CF_UNICODETEXT
// (the addresses), all together; false when the clipboard did not take the nodes in its own format.
bool PutNodes(HWND owner, std::int32_t kind, const std::vector<CStreamable*>& nodes);
// Puts text alone on the clipboard (CF_UNICODETEXT); false when the clipboard did not take it.
bool PutText(HWND owner, const std::wstring& text);

// Reads the clipboard: the program's own nodes, else the links of its "HTML Format", else of
// dropped files (CF_HDROP), else of its text. False when nothing there gives a link.
bool ReadClipboard(HWND owner, CIncoming& incoming);

// Reads a dropped data object: the program's own nodes, files (CF_HDROP: Internet shortcuts
// become links, .html and .htm files are read as pages), a browser's address with its title,
// "HTML Format", then text.
bool ReadDataObject(IDataObject* data, CIncoming& incoming);

} // namespace transfer
