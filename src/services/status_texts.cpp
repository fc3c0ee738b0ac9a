#include "services/status_texts.h"

#include "model/item.h"
#include "model/project.h"
#include "model/tags.h"

ProjectCounts CountNodes(const CProject& project)
{
    ProjectCounts counts;
    for (const CColumn* column : project.columns) {
        ++counts.columns;
        for (const CGroup* group : column->groups) {
            ++counts.groups;
            for (const CItem* item : group->items) {
                if (item->GetTag() == tags::kItemLink) ++counts.links;
                if (item->GetTag() == tags::kItemForm) ++counts.forms;
            }
        }
    }
    return counts;
}

std::wstring CountText(std::size_t count, const wchar_t* singular, const wchar_t* plural)
{
    return std::to_wstring(count) + L" " + (count == 1 ? singular : plural);
}

std::wstring HomepageWrittenText(const std::wstring& path)
{
    return L"Homepage written to " + path;
}

std::wstring HomepageNotWrittenText(const std::wstring& path)
{
    return L"The homepage could not be written to " + path;
}

std::wstring ProjectSavedText(const std::wstring& path)
{
    return L"Project saved to " + path;
}

std::wstring ProjectNotSavedText(const std::wstring& path)
{
    return L"The project could not be saved to " + path;
}

std::wstring ReadFileText(const std::wstring& fileName, const HtmlImportResult& result,
                          const CProject& after)
{
    std::wstring text = L"Read " + fileName;
    if (!result.complete) {
        text += result.errorOffset >= 0
                    ? L" up to the damage at byte " + std::to_wstring(result.errorOffset)
                    : std::wstring(L" up to where it broke off");
    }
    text += L": ";
    if (result.kind == HtmlFileKind::Bookmarks) {
        text += CountText(result.columns, L"column", L"columns") + L", " +
                CountText(result.groups, L"group", L"groups") + L", " +
                CountText(result.links, L"link", L"links");
        if (result.skipped > 0)
            text += L"; " + CountText(result.skipped, L"bookmark", L"bookmarks") + L" skipped";
        return text;
    }
    ProjectCounts counts = CountNodes(after);
    text += CountText(counts.columns, L"column", L"columns") + L", " +
            CountText(counts.groups, L"group", L"groups") + L", " +
            CountText(counts.links, L"link", L"links") + L", " +
            CountText(counts.forms, L"form", L"forms");
    return text;
}

std::wstring MergedBookmarksText(const std::wstring& fileName, const HtmlImportResult& result,
                                 std::size_t newLinks, std::size_t newGroups,
                                 std::size_t alreadyHere)
{
    std::wstring text = L"Read " + fileName;
    if (!result.complete) {
        text += result.errorOffset >= 0
                    ? L" up to the damage at byte " + std::to_wstring(result.errorOffset)
                    : std::wstring(L" up to where it broke off");
    }
    text += L": " + CountText(newLinks, L"new link", L"new links");
    if (newGroups > 0) text += L" (" + CountText(newGroups, L"new group", L"new groups") + L")";
    if (alreadyHere > 0) text += L"; " + std::to_wstring(alreadyHere) + L" already here";
    if (result.skipped > 0)
        text += L"; " + CountText(result.skipped, L"bookmark", L"bookmarks") + L" skipped";
    return text;
}

std::wstring AddedFromBrowserText(const std::wstring& title, const std::wstring& group)
{
    return L"Added " + title + L" to " + group;
}

std::wstring BrowserAddRefusedText(const std::wstring& reason)
{
    return L"Not added from the browser: " + reason;
}

std::wstring BrowserAddsIgnoredText(std::size_t perMinute, std::size_t ignored)
{
    return BrowserAddRefusedText(L"at most " + std::to_wstring(perMinute) + L" adds a minute (" +
                                 std::to_wstring(ignored) + L" ignored)");
}

std::wstring PageStateText(bool upToDate)
{
    return upToDate ? L"Homepage up to date"
                    : L"Homepage not yet written since the last change (F5)";
}

std::wstring FileNameOf(const std::wstring& path)
{
    std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
