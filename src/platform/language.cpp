// The part of the user-language query that both platforms share: a locale name cut down to the
// subtag a page's lang attribute needs.
#include "platform/platform.h"

namespace platform {

std::string PrimaryLanguage(const std::string& locale)
{
    std::string primary;
    for (char c : locale) {
        if (c == '_' || c == '-' || c == '.' || c == '@') break;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        // Anything but letters is no language tag; it also must not reach an attribute value.
        if (c < 'a' || c > 'z') return "en";
        primary += c;
    }
    if (primary.size() < 2 || primary.size() > 8 || primary == "posix") return "en";
    return primary;
}

} // namespace platform
