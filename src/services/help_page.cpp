#include "services/help_page.h"

#include "persist/text.h"

#include <utility>

std::string EscapeHtml(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string FillHelpPage(std::string_view page, const HelpPageValues& values)
{
    const std::pair<std::string_view, const std::wstring*> tokens[] = {
        {"{{VERSION}}", &values.version},
        {"{{DOCUMENTS}}", &values.documentsFolder},
        {"{{PROJECT_FILE}}", &values.projectFile},
        {"{{HOMEPAGE_FILE}}", &values.homepageFile},
    };
    std::string filled;
    filled.reserve(page.size() + 256);
    std::size_t at = 0;
    while (at < page.size()) {
        std::size_t open = page.find("{{", at);
        if (open == std::string_view::npos) break;
        filled.append(page.substr(at, open - at));
        bool replaced = false;
        for (const auto& [token, value] : tokens) {
            if (page.substr(open, token.size()) == token) {
                filled += EscapeHtml(ToUtf8(*value));
                at = open + token.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            filled += "{{";
            at = open + 2;
        }
    }
    if (at < page.size()) filled.append(page.substr(at));
    return filled;
}
