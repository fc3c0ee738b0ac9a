#include "icons/data_uri.h"

#include <cstdint>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of a base64 character; -1 for any other byte.
struct CBase64Values
{
    std::int8_t value[256];
    CBase64Values()
    {
        for (std::int8_t& each : value)
            each = -1;
        for (int i = 0; i < 64; ++i)
            value[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    }
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool EqualsNoCase(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (LowerAscii(text[i]) != lower[i]) return false;
    }
    return true;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\0'))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\0'))
        text.remove_suffix(1);
    return text;
}

// The data part's characters with percent escapes decoded and blanks left out, one at a time.
class CDataCharacters
{
public:
    explicit CDataCharacters(std::string_view data) : data(data) {}

    // False at the end.
    bool Next(char& c)
    {
        while (at < data.size()) {
            c = data[at++];
            if (c == '%' && at + 1 < data.size()) {
                int high = HexValue(data[at]), low = HexValue(data[at + 1]);
                if (high >= 0 && low >= 0) {
                    c = static_cast<char>(high * 16 + low);
                    at += 2;
                }
            }
            if (!IsBlank(c)) return true;
        }
        return false;
    }

private:
    std::string_view data;
    std::size_t at = 0;
};

// The metadata names base64: it ends in ";base64", any case, spaces allowed before "base64".
bool SaysBase64(std::string_view metadata)
{
    while (!metadata.empty() && metadata.back() == ' ')
        metadata.remove_suffix(1);
    if (metadata.size() < 6 || !EqualsNoCase(metadata.substr(metadata.size() - 6), "base64"))
        return false;
    metadata.remove_suffix(6);
    while (!metadata.empty() && metadata.back() == ' ')
        metadata.remove_suffix(1);
    return !metadata.empty() && metadata.back() == ';';
}

} // namespace

bool DecodeBase64DataUri(std::string_view uri, std::size_t maxBytes, std::string& bytes)
{
    static const CBase64Values values;
    uri = TrimBlanks(uri);
    if (uri.size() < 5 || !EqualsNoCase(uri.substr(0, 5), "data:")) return false;
    std::size_t comma = uri.find(',', 5);
    if (comma == std::string_view::npos || !SaysBase64(uri.substr(5, comma - 5))) return false;
    std::string_view data = uri.substr(comma + 1);

    // First pass: check every character and count them, so that the size is known before any
    // allocation. Padding may end the data only.
    std::size_t digits = 0, padding = 0;
    const std::size_t mostDigits = (maxBytes / 3 + 1) * 4;
    CDataCharacters characters(data);
    for (char c; characters.Next(c);) {
        if (c == '=') {
            ++padding;
        } else if (padding > 0 || values.value[static_cast<unsigned char>(c)] < 0 ||
                   ++digits > mostDigits) {
            return false;
        }
    }
    if (padding > 0 && (padding > 2 || (digits + padding) % 4 != 0)) return false;
    if (digits % 4 == 1) return false;
    const std::size_t size = digits / 4 * 3 + (digits % 4 == 0 ? 0 : digits % 4 - 1);
    if (size > maxBytes) return false;

    bytes.clear();
    bytes.reserve(size);
    std::uint32_t group = 0;
    int filled = 0;
    CDataCharacters again(data);
    for (char c; again.Next(c) && c != '=';) {
        group =
            (group << 6) | static_cast<std::uint32_t>(values.value[static_cast<unsigned char>(c)]);
        if (++filled == 4) {
            bytes += static_cast<char>(group >> 16);
            bytes += static_cast<char>(group >> 8);
            bytes += static_cast<char>(group);
            group = 0;
            filled = 0;
        }
    }
    // Left over: 2 digits make a byte, 3 make two; the spare bits are dropped.
    if (filled == 2) {
        bytes += static_cast<char>(group >> 4);
    } else if (filled == 3) {
        bytes += static_cast<char>(group >> 10);
        bytes += static_cast<char>(group >> 2);
    }
    return true;
}

std::shared_ptr<const CLinkIcon> IconFromDataUri(std::string_view uri)
{
    std::string bytes;
    if (!DecodeBase64DataUri(uri, CLinkIcon::kMaxBytes, bytes)) return nullptr;
    return CLinkIcon::FromBytes(std::move(bytes));
}

std::size_t EncodeBase64(const unsigned char* bytes, std::size_t count, char* out)
{
    char* start = out;
    std::size_t i = 0;
    for (; i + 3 <= count; i += 3) {
        std::uint32_t group = (static_cast<std::uint32_t>(bytes[i]) << 16) |
                              (static_cast<std::uint32_t>(bytes[i + 1]) << 8) | bytes[i + 2];
        out[0] = kAlphabet[group >> 18];
        out[1] = kAlphabet[(group >> 12) & 63];
        out[2] = kAlphabet[(group >> 6) & 63];
        out[3] = kAlphabet[group & 63];
        out += 4;
    }
    if (i < count) {
        std::uint32_t group = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (i + 1 < count) group |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        out[0] = kAlphabet[group >> 18];
        out[1] = kAlphabet[(group >> 12) & 63];
        out[2] = i + 1 < count ? kAlphabet[(group >> 6) & 63] : '=';
        out[3] = '=';
        out += 4;
    }
    return static_cast<std::size_t>(out - start);
}

std::string IconDataUri(const CLinkIcon& icon)
{
    const std::string& bytes = icon.Bytes();
    std::string uri = "data:";
    uri += icon.MediaType();
    uri += ";base64,";
    const std::size_t start = uri.size();
    uri.resize(start + Base64Length(bytes.size()));
    EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &uri[start]);
    return uri;
}
