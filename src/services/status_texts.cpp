#include "services/status_texts.h"

#include "model/item.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/text.h"

ProjectCounts CountNodes(const CProject& project)
{
    ProjectCounts counts;
    for (const CColumn* column : project.columns) {
        ++counts.columns;
        for (const CGroup* group : column->groups) {
            ++counts.groups;
            for (const CItem* item : group->items) {
                if (item->GetTag() == tags::kItemLink) {
                    ++counts.links;
                    counts.bookmarks += 1 + static_cast<const CItemLink*>(item)->links.size();
                }
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

std::wstring SavedWithHomepageText(const std::wstring& projectPath, const std::wstring& pagePath,
                                   bool pageWritten)
{
    if (!pageWritten)
        return ProjectSavedText(projectPath) + L"; the homepage could not be written to " +
               pagePath;
    const std::wstring projectName = FileNameOf(projectPath);
    const std::wstring pageName = FileNameOf(pagePath);
    const std::wstring folder = projectPath.substr(0, projectPath.size() - projectName.size());
    if (pagePath.compare(0, folder.size(), folder) != 0 ||
        folder.size() + pageName.size() != pagePath.size())
        return ProjectSavedText(projectPath) + L"; homepage written to " + pagePath;
    // Without the separator the folder ends in, unless it is a drive's root ("D:\").
    std::wstring shown = folder;
    if (shown.size() > 1 && (shown.back() == L'\\' || shown.back() == L'/') &&
        shown[shown.size() - 2] != L':')
        shown.pop_back();
    return L"Project saved to " + projectName + L" and homepage written to " + pageName + L" in " +
           shown;
}

std::wstring WithKeptAside(const std::wstring& pagePath, const std::wstring& keptAside,
                           const std::wstring& said)
{
    if (keptAside.empty()) return said;
    std::wstring text =
        L"Earlier " + FileNameOf(pagePath) + L" kept as " + FileNameOf(keptAside) + L"; " + said;
    // The rest of the sentence goes on in lower case ("homepage written ...", "project saved
    // ..."); the texts it is given start with an ASCII capital.
    const std::size_t rest = text.size() - said.size();
    if (rest < text.size() && text[rest] >= L'A' && text[rest] <= L'Z') text[rest] += L'a' - L'A';
    return text;
}

std::wstring OpenedInBrowserText(bool help)
{
    return help ? L"Help opened in the browser" : L"Preview opened in the browser";
}

std::wstring BrowserNotStartedText(bool help, const std::wstring& path)
{
    return std::wstring(L"The browser could not be started; the ") +
           (help ? L"help page" : L"preview") + L" is in " + path;
}

std::wstring BrowserNotStartedMessage(bool help, const std::wstring& path)
{
    return std::wstring(L"The browser could not be started.\r\n\r\nThe ") +
           (help ? L"help page" : L"preview") + L" is in the file\r\n" + path +
           L"\r\nOpen it in a browser by hand, or choose the browser in File > Options.";
}

std::wstring BrowserPageNotWrittenText(bool help, const std::wstring& path)
{
    return std::wstring(L"The ") + (help ? L"help page" : L"preview") +
           L" could not be written to " + path;
}

std::wstring BookmarksExportedText(const std::wstring& path, std::size_t bookmarks)
{
    return L"Exported " + CountText(bookmarks, L"bookmark", L"bookmarks") + L" to " + path;
}

std::wstring BookmarksNotExportedText(const std::wstring& path)
{
    return L"The bookmarks could not be written to " + path;
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
        if (result.skipped.Total() > 0)
            text += L"; " + CountText(result.skipped.Total(), L"bookmark", L"bookmarks") +
                    L" skipped (" + FromUtf8(SkipReasonsText(result.skipped)) + L")";
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
    if (result.skipped.Total() > 0)
        text += L"; " + CountText(result.skipped.Total(), L"bookmark", L"bookmarks") +
                L" skipped (" + FromUtf8(SkipReasonsText(result.skipped)) + L")";
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
