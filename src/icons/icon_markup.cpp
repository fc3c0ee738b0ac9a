#include "icons/icon_markup.h"

#include "icons/data_uri.h"
#include "model/link_icon.h"
#include "persist/streams.h"

#include <cstring>

void WriteIconImage(CStream& stream, const CLinkIcon& icon)
{
    // The whole element in one write from the stack: a page of many icons spends its time here.
    constexpr std::size_t kRoom =
        sizeof kIconImageHead + 32 + Base64Length(CLinkIcon::kMaxBytes) + sizeof kIconImageTail;
    char element[kRoom];
    char* at = element;
    auto put = [&at](const char* text) {
        std::size_t length = std::strlen(text);
        std::memcpy(at, text, length);
        at += length;
    };
    put(kIconImageHead);
    put("data:");
    put(icon.MediaType());
    put(";base64,");
    const std::string& bytes = icon.Bytes();
    at += EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), at);
    put(kIconImageTail);
    stream.Write(element, static_cast<std::int32_t>(at - element));
}

std::string IconImageTag(const CLinkIcon& icon)
{
    std::string tag = kIconImageHead + 1;
    tag += IconDataUri(icon);
    tag.append(kIconImageTail, sizeof kIconImageTail - 2);
    return tag;
}
