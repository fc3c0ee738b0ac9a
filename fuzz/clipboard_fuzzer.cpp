// libFuzzer target: the clipboard and drop readers on arbitrary bytes. The first byte picks the
// reader: the private node format, CF_HTML, UTF-16 text, an Internet shortcut, or a dragged
// address with its file group descriptor (split at the second byte). Whatever a reader gives is
// written out again in every format, and its private bytes read back to nodes that write the same
// private bytes again; the CF_HTML written for them has exact offsets.
#include "transfer/html_clipboard.h"
#include "transfer/node_bytes.h"
#include "transfer/url_sources.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<CStreamable*> Nodes(const CNodeBundle& bundle)
{
    std::vector<CStreamable*> nodes;
    for (const CDetachedNode& node : bundle.nodes)
        nodes.push_back(node.Get());
    return nodes;
}

void Check(const CNodeBundle& bundle)
{
    const std::vector<CStreamable*> nodes = Nodes(bundle);
    const std::string bytes = WriteNodeBytes(bundle.kind, nodes);
    CNodeBundle again;
    if (!ReadNodeBytes(bytes, again) || again.kind != bundle.kind ||
        again.nodes.size() != bundle.nodes.size())
        __builtin_trap();
    if (WriteNodeBytes(again.kind, Nodes(again)) != bytes) __builtin_trap();

    const std::string html = WriteHtmlClipboard(bundle.kind, nodes);
    std::size_t start = 0, end = 0;
    if (!FragmentRange(html, start, end) || html.compare(end, 18, "<!--EndFragment-->") != 0)
        __builtin_trap();
    CNodeBundle fromHtml;
    ReadHtmlClipboard(html, fromHtml);
    WriteUrlText(bundle.kind, nodes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    CNodeBundle bundle;
    bool read = false;
    switch (data[0] % 5) {
    case 0:
        read = ReadNodeBytes(input, bundle);
        break;
    case 1:
        read = ReadHtmlClipboard(input, bundle);
        break;
    case 2:
        read = ReadUrlText(input, bundle);
        break;
    case 3:
        read = ReadInternetShortcut(input, L"Shortcut.url", bundle);
        break;
    default: {
        const std::size_t split = input.empty() ? 0 : static_cast<unsigned char>(input[0]) * 4;
        const std::string_view rest = input.substr(input.empty() ? 0 : 1);
        const std::size_t at = split < rest.size() ? split : rest.size();
        read = ReadUrlDescriptor(rest.substr(0, at), rest.substr(at), bundle);
        break;
    }
    }
    if (read != !bundle.Empty()) __builtin_trap();
    if (read) Check(bundle);
    return 0;
}
