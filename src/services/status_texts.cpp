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

std::wstring ProjectSavedKeepingText(const std::wstring& path, const std::wstring& kept)
{
    return ProjectSavedText(path) + L"; the file changed elsewhere is kept as " + FileNameOf(kept);
}

std::wstring ProjectNotSavedKeepingText(const std::wstring& path, const std::wstring& kept)
{
    return ProjectNotSavedText(path) + L"; the file changed elsewhere is kept as " +
           FileNameOf(kept);
}

std::wstring KeptAsideMessage(const std::wstring& path, const std::wstring& kept, bool saved)
{
    std::wstring text = L"Another program has changed the project file since Quillomere last "
                        L"loaded or saved it. That file is kept as\r\n" +
                        kept + L"\r\n\r\n";
    text += saved ? L"The project was saved to\r\n" : L"The project could not be saved to\r\n";
    return text + path;
}

std::wstring ProjectReloadedText(const std::wstring& path)
{
    return L"Another program changed " + path + L": loaded again (Ctrl+Z goes back)";
}

std::wstring ProjectChangedElsewhereText(const std::wstring& path)
{
    return L"Another program changed " + path + L"; saving keeps that file aside first";
}

std::wstring RecoveryRestoredText()
{
    return L"Restored the changes that were not saved; Ctrl+S saves them";
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
