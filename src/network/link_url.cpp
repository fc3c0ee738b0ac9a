#include "network/link_url.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

bool IsAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsAsciiAlnum(char c)
{
    return IsAsciiAlpha(c) || IsAsciiDigit(c);
}

int HexValue(char c)
{
    if (IsAsciiDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

void AppendPercentEncoded(std::string& out, unsigned char c)
{
    static const char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

// Path and query bytes that a browser percent-encodes before the request.
bool NeedsEncoding(unsigned char c, bool inQuery)
{
    if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>') return true;
    return inQuery ? c == '\'' : (c == '`' || c == '{' || c == '}');
}

// Drops "." segments and lets ".." remove the segment before it.
std::string RemoveDotSegments(std::string_view path)
{
    std::vector<std::string_view> segments;
    std::size_t start = 1; // after the leading '/'
    bool endsAsFolder = false;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        std::size_t end = slash == std::string_view::npos ? path.size() : slash;
        std::string_view segment = path.substr(start, end - start);
        bool last = slash == std::string_view::npos;
        if (segment == ".") {
            endsAsFolder = last;
        } else if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
            endsAsFolder = last;
        } else {
            segments.push_back(segment);
            endsAsFolder = false;
        }
        start = end + 1;
    }
    std::string result;
    for (std::string_view segment : segments) {
        result += '/';
        result.append(segment.data(), segment.size());
    }
    if (endsAsFolder || result.empty()) result += '/';
    return result;
}

// Decodes UTF-8 into code points; false on ill-formed input (overlong forms included).
bool DecodeUtf8(std::string_view text, std::vector<std::uint32_t>& codePoints)
{
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) return false;
        std::uint32_t value = extra == 0 ? c : (c & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        // Overlong forms would smuggle in ASCII, such as a '/' inside a host name.
        static const std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (value < kLeast[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        codePoints.push_back(value);
        i += extra + 1;
    }
    return true;
}

// One host name label in Punycode (RFC 3492), the form a resolver is asked for.
bool PunycodeLabel(const std::vector<std::uint32_t>& input, std::string& out)
{
    const std::uint32_t base = 36, tMin = 1, tMax = 26, skew = 38, damp = 700;
    out = "xn--";
    std::size_t basicCount = 0;
    for (std::uint32_t c : input)
        if (c < 0x80) out += static_cast<char>(c), ++basicCount;
    if (basicCount > 0) out += '-';
    auto digit = [](std::uint32_t d) { return static_cast<char>(d < 26 ? 'a' + d : '0' + d - 26); };
    std::uint32_t n = 0x80, delta = 0, bias = 72;
    std::size_t handled = basicCount;
    while (handled < input.size()) {
        std::uint32_t next = 0xFFFFFFFF;
        for (std::uint32_t c : input)
            if (c >= n && c < next) next = c;
        std::uint64_t step = static_cast<std::uint64_t>(next - n) * (handled + 1);
        if (delta + step > 0x7FFFFFFF) return false;
        delta += static_cast<std::uint32_t>(step);
        n = next;
        for (std::uint32_t c : input) {
            if (c < n) ++delta;
            if (c != n) continue;
            std::uint32_t q = delta;
            for (std::uint32_t k = base;; k += base) {
                std::uint32_t t = k <= bias ? tMin : k >= bias + tMax ? tMax : k - bias;
                if (q < t) break;
                out += digit(t + (q - t) % (base - t));
                q = (q - t) / (base - t);
            }
            out += digit(q);
            // Bias adaptation.
            std::uint32_t d = handled == basicCount ? delta / damp : delta / 2;
            d += d / (handled + 1);
            std::uint32_t k = 0;
            while (d > ((base - tMin) * tMax) / 2) {
                d /= base - tMin;
                k += base;
            }
            bias = k + (base - tMin + 1) * d / (d + skew);
            delta = 0;
            ++handled;
        }
        ++delta;
        ++n;
    }
    return true;
}

// Checks and normalises a host name: percent escapes decoded, ASCII lower-cased, non-ASCII
// labels in Punycode.
bool NormaliseHost(std::string_view raw, std::string& host, std::string& reason)
{
    std::string decoded;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '%' && i + 2 < raw.size() && HexValue(raw[i + 1]) >= 0 &&
            HexValue(raw[i + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(raw[i + 1]) * 16 + HexValue(raw[i + 2]));
            i += 2;
        } else {
            decoded += raw[i];
        }
    }
    if (decoded.empty()) {
        reason = "no host name";
        return false;
    }
    static const char kForbidden[] = " #%/:<>?@[\\]^|";
    for (char c : decoded) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || std::strchr(kForbidden, c)) {
            reason = "the host name holds a character that is not allowed";
            return false;
        }
    }
    host.clear();
    std::size_t start = 0;
    while (start <= decoded.size()) {
        std::size_t dot = decoded.find('.', start);
        std::size_t end = dot == std::string::npos ? decoded.size() : dot;
        std::string_view label(decoded.data() + start, end - start);
        bool ascii = std::all_of(label.begin(), label.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii) {
            for (char c : label)
                host += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        } else {
            std::vector<std::uint32_t> codePoints;
            std::string encoded;
            bool valid = DecodeUtf8(label, codePoints);
            for (std::uint32_t& c : codePoints)
                if (c >= 'A' && c <= 'Z') c += 32;
            if (!valid || !PunycodeLabel(codePoints, encoded)) {
                reason = "the host name is not valid text";
                return false;
            }
            host += encoded;
        }
        if (dot == std::string::npos) break;
        host += '.';
        start = dot + 1;
    }
    return true;
}

bool IsSchemeStart(std::string_view text, std::size_t& colon)
{
    if (text.empty() || !IsAsciiAlpha(text[0])) return false;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == ':') {
            colon = i;
            return true;
        }
        if (!IsAsciiAlnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    return false;
}

bool EqualsLowerAscii(std::string_view text, std::string_view lower)
{
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != lower[i]) return false;
    }
    return true;
}

// Leading and trailing blanks dropped, tabs and line breaks removed anywhere.
std::string Cleaned(std::string_view address)
{
    std::size_t first = 0, last = address.size();
    while (first < last && IsBlankOrControl(address[first]))
        ++first;
    while (last > first && IsBlankOrControl(address[last - 1]))
        --last;
    std::string cleaned;
    cleaned.reserve(last - first);
    for (std::size_t i = first; i < last; ++i)
        if (address[i] != '\t' && address[i] != '\n' && address[i] != '\r') cleaned += address[i];
    return cleaned;
}

} // namespace

std::string HttpUrl::ToString() const
{
    std::string text = https ? "https://" : "http://";
    text += host;
    if (port != (https ? 443 : 80)) text += ":" + std::to_string(port);
    text += target;
    return text;
}

std::string HttpUrl::HostKey() const
{
    return host + ":" + std::to_string(port);
}

UrlKind ParseHttpUrl(std::string_view address, HttpUrl& url, std::string& reason)
{
    std::string text = Cleaned(address);
    std::size_t colon = 0;
    if (!IsSchemeStart(text, colon)) return UrlKind::NotChecked;
    std::string_view scheme(text.data(), colon);
    if (EqualsLowerAscii(scheme, "https"))
        url.https = true;
    else if (EqualsLowerAscii(scheme, "http"))
        url.https = false;
    else
        return UrlKind::NotChecked;

    std::size_t at = colon + 1;
    while (at < text.size() && (text[at] == '/' || text[at] == '\\'))
        ++at;
    std::size_t authorityEnd = text.find_first_of("/\\?#", at);
    if (authorityEnd == std::string::npos) authorityEnd = text.size();
    std::string_view authority(text.data() + at, authorityEnd - at);
    std::size_t userEnd = authority.rfind('@');
    if (userEnd != std::string_view::npos) authority.remove_prefix(userEnd + 1);

    std::string_view hostPart = authority, portPart;
    bool hasPort = false;
    if (!authority.empty() && authority[0] == '[') {
        std::size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            reason = "an IPv6 address without its closing bracket";
            return UrlKind::Bad;
        }
        hostPart = authority.substr(0, close + 1);
        std::string_view rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') {
                reason = "text after the IPv6 address";
                return UrlKind::Bad;
            }
            portPart = rest.substr(1), hasPort = true;
        }
        for (char c : hostPart.substr(1, hostPart.size() - 2)) {
            if (HexValue(c) < 0 && c != ':' && c != '.') {
                reason = "the IPv6 address holds a character that is not allowed";
                return UrlKind::Bad;
            }
        }
        url.host.assign(hostPart.data(), hostPart.size());
        for (char& c : url.host)
            if (c >= 'A' && c <= 'F') c = static_cast<char>(c + 32);
    } else {
        std::size_t portColon = authority.find(':');
        if (portColon != std::string_view::npos) {
            hostPart = authority.substr(0, portColon);
            portPart = authority.substr(portColon + 1), hasPort = true;
        }
        if (!NormaliseHost(hostPart, url.host, reason)) return UrlKind::Bad;
    }
    url.port = url.https ? 443 : 80;
    if (hasPort && !portPart.empty()) {
        long port = 0;
        for (char c : portPart) {
            if (!IsAsciiDigit(c)) {
                reason = "the port is not a number";
                return UrlKind::Bad;
            }
            port = port * 10 + (c - '0');
            if (port > 65535) {
                reason = "the port is larger than 65535";
                return UrlKind::Bad;
            }
        }
        url.port = static_cast<int>(port);
    }

    std::size_t fragment = text.find('#', authorityEnd);
    std::string_view rest(text.data() + authorityEnd,
                          (fragment == std::string::npos ? text.size() : fragment) - authorityEnd);
    std::size_t question = rest.find('?');
    std::string path(rest.substr(0, question));
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || path[0] != '/') path.insert(path.begin(), '/');
    path = RemoveDotSegments(path);
    url.target.clear();
    for (char c : path) {
        if (NeedsEncoding(static_cast<unsigned char>(c), false))
            AppendPercentEncoded(url.target, static_cast<unsigned char>(c));
        else
            url.target += c;
    }
    if (question != std::string_view::npos) {
        for (char c : rest.substr(question)) {
            if (NeedsEncoding(static_cast<unsigned char>(c), true))
                AppendPercentEncoded(url.target, static_cast<unsigned char>(c));
            else
                url.target += c;
        }
    }
    return UrlKind::Http;
}

bool ResolveLocation(const HttpUrl& base, std::string_view location, HttpUrl& resolved,
                     std::string& absolute)
{
    std::string cleaned = Cleaned(location);
    std::size_t colon = 0;
    std::string origin =
        (base.https ? "https://" : "http://") + base.host +
        (base.port != (base.https ? 443 : 80) ? ":" + std::to_string(base.port) : std::string());
    std::string candidate;
    if (IsSchemeStart(cleaned, colon)) {
        candidate = cleaned;
    } else if (cleaned.size() >= 2 && (cleaned[0] == '/' || cleaned[0] == '\\') &&
               (cleaned[1] == '/' || cleaned[1] == '\\')) {
        candidate = (base.https ? "https:" : "http:") + cleaned;
    } else if (!cleaned.empty() && (cleaned[0] == '/' || cleaned[0] == '\\')) {
        candidate = origin + cleaned;
    } else {
        std::string_view target(base.target);
        std::string_view path = target.substr(0, target.find('?'));
        if (cleaned.empty() || cleaned[0] == '#')
            candidate = origin + base.target;
        else if (cleaned[0] == '?')
            candidate = origin + std::string(path) + cleaned;
        else
            candidate = origin + std::string(path.substr(0, path.rfind('/') + 1)) + cleaned;
    }
    std::string reason;
    if (ParseHttpUrl(candidate, resolved, reason) != UrlKind::Http) {
        absolute = candidate;
        return false;
    }
    absolute = resolved.ToString();
    return true;
}
