// libFuzzer target: the link check's address handling on arbitrary bytes, as a project's
// markup and as a server's Location header. The first line is the address, the rest the
// location. Decoding never lengthens; a parsed address, and a resolved location, parse again to
// the same address.
#include "network/link_url.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void ParsesAgainTheSame(const HttpUrl& url)
{
    HttpUrl again;
    std::string reason;
    std::string text = url.ToString();
    if (ParseHttpUrl(text, again, reason) != UrlKind::Http || again.ToString() != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t newline = bytes.find('\n');
    std::string markup = bytes.substr(0, newline);
    std::string location = newline == std::string::npos ? std::string() : bytes.substr(newline + 1);

    std::string decoded = DecodeAttributeReferences(markup);
    if (decoded.size() > markup.size()) std::abort();
    HttpUrl url;
    std::string reason;
    UrlKind kind = ParseHttpUrl(decoded, url, reason);
    if (kind == UrlKind::Bad && reason.empty()) std::abort();
    if (kind != UrlKind::Http) return 0;
    ParsesAgainTheSame(url);
    HttpUrl resolved;
    std::string absolute;
    if (ResolveLocation(url, location, resolved, absolute)) {
        if (absolute != resolved.ToString()) std::abort();
        ParsesAgainTheSame(resolved);
    }
    return 0;
}
