#include "persist/attribute_text.h"

#include <cstdint>
#include <cstring>

namespace {

struct NamedReference
{
    const char* name;
    std::uint32_t codePoint;
    bool legacy; // also recognised without ';'
};

// The Latin-1 names, U+00A0 to U+00FF in order: all of them are legacy names.
const char* const kLatin1Names[] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

// The rest: the markup characters (legacy, also in upper case) and HTML 4's common signs, which
// need their ';'.
const NamedReference kOtherNames[] = {
    {"amp", '&', true},        {"AMP", '&', true},        {"lt", '<', true},
    {"LT", '<', true},         {"gt", '>', true},         {"GT", '>', true},
    {"quot", '"', true},       {"QUOT", '"', true},       {"COPY", 0xA9, true},
    {"REG", 0xAE, true},       {"apos", '\'', false},     {"ndash", 0x2013, false},
    {"mdash", 0x2014, false},  {"lsquo", 0x2018, false},  {"rsquo", 0x2019, false},
    {"sbquo", 0x201A, false},  {"ldquo", 0x201C, false},  {"rdquo", 0x201D, false},
    {"bdquo", 0x201E, false},  {"dagger", 0x2020, false}, {"Dagger", 0x2021, false},
    {"bull", 0x2022, false},   {"hellip", 0x2026, false}, {"permil", 0x2030, false},
    {"lsaquo", 0x2039, false}, {"rsaquo", 0x203A, false}, {"euro", 0x20AC, false},
    {"trade", 0x2122, false},  {"larr", 0x2190, false},   {"rarr", 0x2192, false},
    {"minus", 0x2212, false},  {"ensp", 0x2002, false},   {"emsp", 0x2003, false},
    {"thinsp", 0x2009, false}, {"zwnj", 0x200C, false},   {"zwj", 0x200D, false},
    {"OElig", 0x152, false},   {"oelig", 0x153, false},   {"Scaron", 0x160, false},
    {"scaron", 0x161, false},  {"Yuml", 0x178, false},    {"fnof", 0x192, false},
    {"circ", 0x2C6, false},    {"tilde", 0x2DC, false},   {"prime", 0x2032, false},
    {"Prime", 0x2033, false},  {"frasl", 0x2044, false},  {"hearts", 0x2665, false},
};

// HTML5's names of ASCII characters, which need their ';': an address spelt with them is
// still the same address to a browser ("javascript&colon;").
const NamedReference kAsciiNames[] = {
    {"Tab", '\t', false},   {"NewLine", '\n', false}, {"excl", '!', false},
    {"num", '#', false},    {"dollar", '$', false},   {"percnt", '%', false},
    {"lpar", '(', false},   {"rpar", ')', false},     {"ast", '*', false},
    {"midast", '*', false}, {"plus", '+', false},     {"comma", ',', false},
    {"period", '.', false}, {"sol", '/', false},      {"colon", ':', false},
    {"semi", ';', false},   {"equals", '=', false},   {"quest", '?', false},
    {"commat", '@', false}, {"lsqb", '[', false},     {"lbrack", '[', false},
    {"bsol", '\\', false},  {"rsqb", ']', false},     {"rbrack", ']', false},
    {"Hat", '^', false},    {"lowbar", '_', false},   {"UnderBar", '_', false},
    {"grave", '`', false},  {"lcub", '{', false},     {"lbrace", '{', false},
    {"verbar", '|', false}, {"vert", '|', false},     {"rcub", '}', false},
    {"rbrace", '}', false},
};

// Windows-1252's characters for the numeric references 0x80 to 0x9F, as browsers map them.
const std::uint16_t kC1Replacements[32] = {
    0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
    0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

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

void AppendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A numeric reference at `at` (after "&#"); returns the characters used, 0 when there are no
// digits (the text stays as written).
std::size_t DecodeNumeric(std::string_view text, std::size_t at, std::string& out)
{
    bool hex = at < text.size() && (text[at] == 'x' || text[at] == 'X');
    std::size_t i = at + (hex ? 1 : 0);
    std::size_t digitsStart = i;
    std::uint32_t value = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        int digit = hex ? HexValue(text[i]) : (IsAsciiDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) break;
        value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
        if (value > 0x10FFFF) overflow = true, value = 0x110000;
    }
    if (i == digitsStart) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    if (overflow || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        value = 0xFFFD;
    else if (value >= 0x80 && value <= 0x9F)
        value = kC1Replacements[value - 0x80];
    AppendUtf8(out, value);
    return i - at;
}

// A named reference at `at` (after "&"); returns the characters used, 0 when it stays as
// written. The longest known name wins, as in a browser.
std::size_t DecodeNamed(std::string_view text, std::size_t at, std::string& out)
{
    std::size_t end = at;
    while (end < text.size() && IsAsciiAlnum(text[end]) && end - at < 32)
        ++end;
    std::size_t bestLength = 0;
    std::uint32_t bestCode = 0;
    bool bestLegacy = false;
    auto consider = [&](const char* name, std::uint32_t code, bool legacy) {
        std::size_t length = std::strlen(name);
        if (length > end - at || length <= bestLength) return;
        if (text.compare(at, length, name) != 0) return;
        bool terminated = at + length < text.size() && text[at + length] == ';';
        if (!terminated && !legacy) return;
        bestLength = length, bestCode = code, bestLegacy = !terminated;
    };
    for (std::size_t n = 0; n < sizeof kLatin1Names / sizeof kLatin1Names[0]; ++n)
        consider(kLatin1Names[n], 0xA0 + static_cast<std::uint32_t>(n), true);
    for (const NamedReference& reference : kOtherNames)
        consider(reference.name, reference.codePoint, reference.legacy);
    for (const NamedReference& reference : kAsciiNames)
        consider(reference.name, reference.codePoint, reference.legacy);
    if (bestLength == 0) return 0;
    if (bestLegacy) {
        // In an attribute, "&copy=1" or "&notit" is text: a query string's parameter names.
        std::size_t next = at + bestLength;
        if (next < text.size() && (IsAsciiAlnum(text[next]) || text[next] == '=')) return 0;
        AppendUtf8(out, bestCode);
        return bestLength;
    }
    AppendUtf8(out, bestCode);
    return bestLength + 1;
}

} // namespace

std::string DecodeAttributeReferences(std::string_view markup)
{
    std::string out;
    out.reserve(markup.size());
    for (std::size_t i = 0; i < markup.size(); ++i) {
        if (markup[i] != '&') {
            out += markup[i];
            continue;
        }
        std::size_t used = 0;
        if (i + 1 < markup.size() && markup[i + 1] == '#')
            used = DecodeNumeric(markup, i + 2, out);
        else
            used = DecodeNamed(markup, i + 1, out);
        if (used == 0) {
            out += '&';
        } else {
            i += used + (markup[i + 1] == '#' ? 1 : 0);
        }
    }
    return out;
}

std::string AddressScheme(std::string_view markup)
{
    const std::string decoded = DecodeAttributeReferences(markup);
    std::size_t first = 0, last = decoded.size();
    while (first < last && static_cast<unsigned char>(decoded[first]) <= 0x20)
        ++first;
    while (last > first && static_cast<unsigned char>(decoded[last - 1]) <= 0x20)
        --last;
    std::string scheme;
    for (std::size_t i = first; i < last; ++i) {
        const char c = decoded[i];
        if (c == '\t' || c == '\n' || c == '\r') continue;
        if (c == ':') return scheme;
        const bool allowed =
            scheme.empty() ? IsAsciiAlpha(c) : IsAsciiAlnum(c) || c == '+' || c == '-' || c == '.';
        if (!allowed) break;
        scheme += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    return std::string();
}

bool IsScriptAddress(std::string_view markup)
{
    const std::string scheme = AddressScheme(markup);
    return scheme == "javascript" || scheme == "vbscript";
}
