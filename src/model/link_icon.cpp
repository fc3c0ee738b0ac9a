#include "model/link_icon.h"

namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix)
{
    return bytes.substr(0, prefix.size()) == prefix;
}

bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool StartsWithNoCase(std::string_view bytes, std::string_view lowerPrefix)
{
    if (bytes.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i) {
        if (LowerAscii(bytes[i]) != lowerPrefix[i]) return false;
    }
    return true;
}

// An SVG file: an svg root element after at most an XML declaration, comments and a doctype,
// all within the first kilobyte. An HTML page starts with <!DOCTYPE html> and <html>, and fails.
bool IsSvg(std::string_view bytes)
{
    std::string_view head = bytes.substr(0, 1024);
    if (StartsWith(head, "\xEF\xBB\xBF")) head.remove_prefix(3);
    for (;;) {
        while (!head.empty() && IsXmlSpace(head.front()))
            head.remove_prefix(1);
        std::string_view close;
        if (StartsWith(head, "<?xml")) {
            close = "?>";
        } else if (StartsWith(head, "<!--")) {
            close = "-->";
        } else if (StartsWithNoCase(head, "<!doctype")) {
            close = ">";
        } else {
            break;
        }
        std::size_t end = head.find(close, 2);
        if (end == std::string_view::npos) return false;
        head.remove_prefix(end + close.size());
    }
    if (!StartsWith(head, "<svg") || head.size() < 5) return false;
    char after = head[4];
    return IsXmlSpace(after) || after == '>' || after == '/';
}

} // namespace

bool SniffIconType(std::string_view bytes, IconType& type)
{
    if (StartsWith(bytes, "\x89PNG\r\n\x1A\n")) {
        type = IconType::Png;
    } else if (bytes.size() >= 6 && StartsWith(bytes, std::string_view("\0\0\1\0", 4)) &&
               (bytes[4] != 0 || bytes[5] != 0)) {
        // An icon directory with at least one image; a cursor's says 2.
        type = IconType::Ico;
    } else if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) {
        type = IconType::Gif;
    } else if (StartsWith(bytes, "\xFF\xD8\xFF")) {
        type = IconType::Jpeg;
    } else if (bytes.size() >= 12 && StartsWith(bytes, "RIFF") && bytes.substr(8, 4) == "WEBP") {
        type = IconType::WebP;
    } else if (IsSvg(bytes)) {
        type = IconType::Svg;
    } else {
        return false;
    }
    return true;
}

const char* IconMediaType(IconType type)
{
    switch (type) {
    case IconType::Png:
        return "image/png";
    case IconType::Ico:
        return "image/x-icon";
    case IconType::Gif:
        return "image/gif";
    case IconType::Jpeg:
        return "image/jpeg";
    case IconType::WebP:
        return "image/webp";
    case IconType::Svg:
        return "image/svg+xml";
    }
    return "image/png";
}

std::shared_ptr<const CLinkIcon> CLinkIcon::FromBytes(std::string bytes)
{
    IconType type;
    if (bytes.size() > kMaxBytes || !SniffIconType(bytes, type)) return nullptr;
    return std::shared_ptr<const CLinkIcon>(new CLinkIcon(type, std::move(bytes)));
}
