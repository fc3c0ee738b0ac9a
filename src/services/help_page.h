// The help page: a page kept in the program's resources, with the places of this run's files
// filled in before it goes to the browser.
#pragma once

#include <string>
#include <string_view>

// The help page's file name in the temp folder.
constexpr wchar_t kHelpFileName[] = L"QuillomereHelp.html";

struct HelpPageValues
{
    std::wstring version;
    std::wstring documentsFolder;
    std::wstring projectFile;
    std::wstring homepageFile;
};

// `page` with each of {{VERSION}}, {{DOCUMENTS}}, {{PROJECT_FILE}} and {{HOMEPAGE_FILE}}
// replaced by its value as escaped UTF-8 text; everything else as it is.
std::string FillHelpPage(std::string_view page, const HelpPageValues& values);

// Text made safe to stand between HTML tags and inside quoted attribute values.
std::string EscapeHtml(std::string_view text);
