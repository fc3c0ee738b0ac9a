// libFuzzer target: quillomere: addresses on arbitrary bytes, as any web page may send them. An
// address taken is an http or https address of at most 8 KiB, and neither it nor the title of
// at most 300 characters holds a control character; the bookmarklet's encoding of what was taken
// reads back to the same; the wide-text reading agrees with the byte reading on UTF-8 input. The
// address key takes the same bytes as page markup.
#include "network/address_key.h"
#include "network/link_url.h"
#include "network/quillomere_address.h"
#include "persist/text.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Expect(bool condition)
{
    if (!condition) std::abort();
}

bool HasControl(const std::wstring& text)
{
    for (wchar_t c : text)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
    return false;
}

std::size_t CodePoints(const std::string& utf8)
{
    std::size_t count = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const AddRequest request = ParseAddRequest(bytes);
    Expect((request.status == AddRequestStatus::Add) == !request.url.empty());
    if (request.status == AddRequestStatus::Add) {
        const std::string url = ToUtf8(request.url), title = ToUtf8(request.title);
        Expect(url.size() <= kMaxAddressBytes);
        HttpUrl parsed;
        std::string reason;
        Expect(ParseHttpUrl(url, parsed, reason) == UrlKind::Http);
        Expect(!HasControl(request.url) && !HasControl(request.title));
        Expect(CodePoints(title) <= kMaxTitleCharacters);
        Expect(title.empty() || (title.front() != ' ' && title.back() != ' '));
        const AddRequest again =
            ParseAddRequest(std::wstring_view(MakeAddAddress(request.url, request.title)));
        Expect(again.status == AddRequestStatus::Add && again.url == request.url &&
               again.title == request.title);
    } else {
        Expect(request.title.empty());
    }
    // Text that is UTF-8 reads the same as wide text.
    const std::wstring wide = FromUtf8(bytes);
    if (ToUtf8(wide) == bytes) {
        const AddRequest fromWide = ParseAddRequest(std::wstring_view(wide));
        Expect(fromWide.status == request.status && fromWide.url == request.url &&
               fromWide.title == request.title);
    }
    AddressKey(wide);
    return 0;
}
