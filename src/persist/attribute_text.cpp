#include "persist/attribute_text.h"

#include <algorithm>
#include <array>
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

// HTML 4's other names (its symbols and special characters) and &apos;, which need their ';',
// and the markup characters, which are legacy names (also in upper case). lang and rang are
// the angle brackets browsers show today.
const NamedReference kOtherNames[] = {
    {"quot", 0x22, true},       {"QUOT", 0x22, true},      {"amp", 0x26, true},
    {"AMP", 0x26, true},        {"lt", 0x3C, true},        {"LT", 0x3C, true},
    {"gt", 0x3E, true},         {"GT", 0x3E, true},        {"COPY", 0xA9, true},
    {"REG", 0xAE, true},        {"apos", 0x27, false},     {"OElig", 0x152, false},
    {"oelig", 0x153, false},    {"Scaron", 0x160, false},  {"scaron", 0x161, false},
    {"Yuml", 0x178, false},     {"fnof", 0x192, false},    {"circ", 0x2C6, false},
    {"tilde", 0x2DC, false},    {"Alpha", 0x391, false},   {"Beta", 0x392, false},
    {"Gamma", 0x393, false},    {"Delta", 0x394, false},   {"Epsilon", 0x395, false},
    {"Zeta", 0x396, false},     {"Eta", 0x397, false},     {"Theta", 0x398, false},
    {"Iota", 0x399, false},     {"Kappa", 0x39A, false},   {"Lambda", 0x39B, false},
    {"Mu", 0x39C, false},       {"Nu", 0x39D, false},      {"Xi", 0x39E, false},
    {"Omicron", 0x39F, false},  {"Pi", 0x3A0, false},      {"Rho", 0x3A1, false},
    {"Sigma", 0x3A3, false},    {"Tau", 0x3A4, false},     {"Upsilon", 0x3A5, false},
    {"Phi", 0x3A6, false},      {"Chi", 0x3A7, false},     {"Psi", 0x3A8, false},
    {"Omega", 0x3A9, false},    {"alpha", 0x3B1, false},   {"beta", 0x3B2, false},
    {"gamma", 0x3B3, false},    {"delta", 0x3B4, false},   {"epsilon", 0x3B5, false},
    {"zeta", 0x3B6, false},     {"eta", 0x3B7, false},     {"theta", 0x3B8, false},
    {"iota", 0x3B9, false},     {"kappa", 0x3BA, false},   {"lambda", 0x3BB, false},
    {"mu", 0x3BC, false},       {"nu", 0x3BD, false},      {"xi", 0x3BE, false},
    {"omicron", 0x3BF, false},  {"pi", 0x3C0, false},      {"rho", 0x3C1, false},
    {"sigmaf", 0x3C2, false},   {"sigma", 0x3C3, false},   {"tau", 0x3C4, false},
    {"upsilon", 0x3C5, false},  {"phi", 0x3C6, false},     {"chi", 0x3C7, false},
    {"psi", 0x3C8, false},      {"omega", 0x3C9, false},   {"thetasym", 0x3D1, false},
    {"upsih", 0x3D2, false},    {"piv", 0x3D6, false},     {"ensp", 0x2002, false},
    {"emsp", 0x2003, false},    {"thinsp", 0x2009, false}, {"zwnj", 0x200C, false},
    {"zwj", 0x200D, false},     {"lrm", 0x200E, false},    {"rlm", 0x200F, false},
    {"ndash", 0x2013, false},   {"mdash", 0x2014, false},  {"lsquo", 0x2018, false},
    {"rsquo", 0x2019, false},   {"sbquo", 0x201A, false},  {"ldquo", 0x201C, false},
    {"rdquo", 0x201D, false},   {"bdquo", 0x201E, false},  {"dagger", 0x2020, false},
    {"Dagger", 0x2021, false},  {"bull", 0x2022, false},   {"hellip", 0x2026, false},
    {"permil", 0x2030, false},  {"prime", 0x2032, false},  {"Prime", 0x2033, false},
    {"lsaquo", 0x2039, false},  {"rsaquo", 0x203A, false}, {"oline", 0x203E, false},
    {"frasl", 0x2044, false},   {"euro", 0x20AC, false},   {"image", 0x2111, false},
    {"weierp", 0x2118, false},  {"real", 0x211C, false},   {"trade", 0x2122, false},
    {"alefsym", 0x2135, false}, {"larr", 0x2190, false},   {"uarr", 0x2191, false},
    {"rarr", 0x2192, false},    {"darr", 0x2193, false},   {"harr", 0x2194, false},
    {"crarr", 0x21B5, false},   {"lArr", 0x21D0, false},   {"uArr", 0x21D1, false},
    {"rArr", 0x21D2, false},    {"dArr", 0x21D3, false},   {"hArr", 0x21D4, false},
    {"forall", 0x2200, false},  {"part", 0x2202, false},   {"exist", 0x2203, false},
    {"empty", 0x2205, false},   {"nabla", 0x2207, false},  {"isin", 0x2208, false},
    {"notin", 0x2209, false},   {"ni", 0x220B, false},     {"prod", 0x220F, false},
    {"sum", 0x2211, false},     {"minus", 0x2212, false},  {"lowast", 0x2217, false},
    {"radic", 0x221A, false},   {"prop", 0x221D, false},   {"infin", 0x221E, false},
    {"ang", 0x2220, false},     {"and", 0x2227, false},    {"or", 0x2228, false},
    {"cap", 0x2229, false},     {"cup", 0x222A, false},    {"int", 0x222B, false},
    {"there4", 0x2234, false},  {"sim", 0x223C, false},    {"cong", 0x2245, false},
    {"asymp", 0x2248, false},   {"ne", 0x2260, false},     {"equiv", 0x2261, false},
    {"le", 0x2264, false},      {"ge", 0x2265, false},     {"sub", 0x2282, false},
    {"sup", 0x2283, false},     {"nsub", 0x2284, false},   {"sube", 0x2286, false},
    {"supe", 0x2287, false},    {"oplus", 0x2295, false},  {"otimes", 0x2297, false},
    {"perp", 0x22A5, false},    {"sdot", 0x22C5, false},   {"lceil", 0x2308, false},
    {"rceil", 0x2309, false},   {"lfloor", 0x230A, false}, {"rfloor", 0x230B, false},
    {"lang", 0x27E8, false},    {"rang", 0x27E9, false},   {"loz", 0x25CA, false},
    {"spades", 0x2660, false},  {"clubs", 0x2663, false},  {"hearts", 0x2665, false},
    {"diams", 0x2666, false},
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

constexpr std::size_t kNameCount = sizeof kLatin1Names / sizeof kLatin1Names[0] +
                                   sizeof kOtherNames / sizeof kOtherNames[0] +
                                   sizeof kAsciiNames / sizeof kAsciiNames[0];
constexpr std::size_t kLongestName = 8; // "thetasym"

// Every name, sorted for a binary search.
const std::array<NamedReference, kNameCount>& SortedNames()
{
    static const std::array<NamedReference, kNameCount> names = [] {
        std::array<NamedReference, kNameCount> all = {};
        std::size_t n = 0;
        for (const char* name : kLatin1Names) {
            all[n] = {name, 0xA0 + static_cast<std::uint32_t>(n), true};
            ++n;
        }
        for (const NamedReference& reference : kOtherNames)
            all[n++] = reference;
        for (const NamedReference& reference : kAsciiNames)
            all[n++] = reference;
        std::sort(all.begin(), all.end(), [](const NamedReference& a, const NamedReference& b) {
            return std::strcmp(a.name, b.name) < 0;
        });
        return all;
    }();
    return names;
}

const NamedReference* FindName(const char* name, std::size_t length)
{
    const auto& names = SortedNames();
    const auto at = std::lower_bound(names.begin(), names.end(), std::string_view(name, length),
                                     [](const NamedReference& entry, std::string_view key) {
                                         return std::string_view(entry.name) < key;
                                     });
    if (at == names.end() || std::string_view(at->name) != std::string_view(name, length))
        return nullptr;
    return &*at;
}

// Windows-1252's characters for the numeric references 0x80 to 0x9F, as browsers map them.
const std::uint16_t kC1Replacements[32] = {
    0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
    0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

template <typename Char> bool IsAsciiAlpha(Char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

template <typename Char> bool IsAsciiDigit(Char c)
{
    return c >= '0' && c <= '9';
}

template <typename Char> bool IsAsciiAlnum(Char c)
{
    return IsAsciiAlpha(c) || IsAsciiDigit(c);
}

template <typename Char> int HexValue(Char c)
{
    if (IsAsciiDigit(c)) return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a') + 10;
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A') + 10;
    return -1;
}

// After "&#".
template <typename Char>
CharacterReference ReadNumeric(std::basic_string_view<Char> text, std::size_t at)
{
    const bool hex = at < text.size() && (text[at] == 'x' || text[at] == 'X');
    std::size_t i = at + (hex ? 1 : 0);
    const std::size_t digitsStart = i;
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hex ? HexValue(text[i]) : (IsAsciiDigit(text[i]) ? text[i] - '0' : -1);
        if (digit < 0) break;
        // Past U+10FFFF the value stays there: too large, whatever follows.
        if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    }
    if (i == digitsStart) return CharacterReference();
    if (i < text.size() && text[i] == ';') ++i;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        value = 0xFFFD;
    else if (value >= 0x80 && value <= 0x9F)
        value = kC1Replacements[value - 0x80];
    return CharacterReference{i, value};
}

// After "&": the longest known name that starts there.
template <typename Char>
CharacterReference ReadNamed(std::basic_string_view<Char> text, std::size_t at, bool inAttribute)
{
    char name[kLongestName];
    std::size_t run = 0;
    while (run < kLongestName && at + run < text.size() && IsAsciiAlnum(text[at + run])) {
        name[run] = static_cast<char>(text[at + run]);
        ++run;
    }
    for (std::size_t length = run; length >= 2; --length) {
        const NamedReference* found = FindName(name, length);
        if (!found) continue;
        const std::size_t next = at + length;
        if (next < text.size() && text[next] == ';')
            return CharacterReference{next + 1, found->codePoint};
        if (!found->legacy) continue;
        // In an attribute, "&copy=1" or "&notit" is text: a query string's parameter names.
        if (inAttribute && next < text.size() && (IsAsciiAlnum(text[next]) || text[next] == '='))
            return CharacterReference();
        return CharacterReference{next, found->codePoint};
    }
    return CharacterReference();
}

template <typename Char>
CharacterReference ReadReference(std::basic_string_view<Char> text, bool inAttribute)
{
    if (text.size() < 2 || text[0] != '&') return CharacterReference();
    if (text[1] == '#') return ReadNumeric(text, 2);
    return ReadNamed(text, 1, inAttribute);
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

} // namespace

CharacterReference ReadCharacterReference(std::string_view text, bool inAttribute)
{
    return ReadReference(text, inAttribute);
}

CharacterReference ReadCharacterReference(std::wstring_view text, bool inAttribute)
{
    return ReadReference(text, inAttribute);
}

std::string DecodeAttributeReferences(std::string_view markup)
{
    std::string out;
    out.reserve(markup.size());
    for (std::size_t i = 0; i < markup.size();) {
        const CharacterReference reference = ReadCharacterReference(markup.substr(i), true);
        if (reference.length == 0) {
            out += markup[i++];
            continue;
        }
        AppendUtf8(out, reference.codePoint);
        i += reference.length;
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
