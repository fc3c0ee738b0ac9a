// libFuzzer target: the link check's address handling on arbitrary bytes, as a project's
// markup and as what a server answers. The first line is the address, the rest the answer: a
// Location header, and the bytes of a whole head. Decoding never lengthens; a parsed address,
// and a resolved location, parse again to the same address; what a redirect leads to passes the
// replacement check when the check followed it and never when it is of another scheme; a script
// address never passes it; a head read in pieces reads as one read whole; printable text holds
// no control character. The first line is also taken as a caption: the text the editor shows for
// it is never longer, has no white space at its ends and no run of it.
#include "homepage/shown_text.h"
#include "network/http_head.h"
#include "network/link_places.h"
#include "network/link_report.h"
#include "network/link_url.h"
#include "persist/text.h"

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

// A head read whole, and a few bytes at a time, must come out the same.
void HeadReadsTheSameInPieces(const std::string& bytes)
{
    CHttpHead whole(4096), pieces(4096);
    bool wholeWithin = whole.AddBytes(bytes);
    bool piecesWithin = true;
    for (std::size_t at = 0; at < bytes.size() && piecesWithin; at += 3)
        piecesWithin = pieces.AddBytes(std::string_view(bytes).substr(at, 3));
    if (wholeWithin != piecesWithin || whole.TooLarge() != pieces.TooLarge()) std::abort();
    if (!wholeWithin) return;
    if (whole.Complete() != pieces.Complete() || whole.Location() != pieces.Location() ||
        whole.RetryAfter() != pieces.RetryAfter())
        std::abort();
    if (whole.Complete() && !whole.Started()) std::abort();
}

void ShowsPlainText(const std::string& markup)
{
    const std::wstring wide = FromUtf8(markup);
    const std::wstring shown = ShownText(wide);
    if (shown.size() > wide.size()) std::abort();
    if (!shown.empty() && (shown.front() == L' ' || shown.back() == L' ')) std::abort();
    if (shown.find(L"  ") != std::wstring::npos) std::abort();
    if (shown.find_first_of(L"\t\r\n\f") != std::wstring::npos) std::abort();
    if (LinkLabel(wide, wide).size() > wide.size()) std::abort();
}

void NoControlCharacters(const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) std::abort();
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::size_t newline = bytes.find('\n');
    std::string markup = bytes.substr(0, newline);
    std::string location = newline == std::string::npos ? std::string() : bytes.substr(newline + 1);

    HeadReadsTheSameInPieces(location);
    NoControlCharacters(PrintableText(bytes));
    ShowsPlainText(markup);
    if (IsScriptAddress(markup) && IsWebAddress(FromUtf8(markup))) std::abort();

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
    const bool web = ResolveLocation(url, location, resolved, absolute);
    if (web) {
        if (absolute != resolved.ToString()) std::abort();
        ParsesAgainTheSame(resolved);
    }
    // What a redirect gives is a replacement's only source: as the project would hold it, an
    // address the check followed passes the replacement check, one of another scheme never does.
    HttpUrl target;
    const UrlKind targetKind = web ? UrlKind::Http : ParseHttpUrl(absolute, target, reason);
    const bool passes = IsWebAddress(FromUtf8(AddressAsMarkup(absolute)));
    if ((targetKind == UrlKind::Http && !passes) || (targetKind == UrlKind::NotChecked && passes))
        std::abort();
    return 0;
}
