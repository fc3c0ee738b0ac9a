#include "services/project_store.h"

#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "import/project_html_parser.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "platform/platform.h"
#include "services/default_project.h"
#include "services/paths.h"

#include <algorithm>
#include <string>

namespace {

// Set by a start-up that found a project file it could not load, until that file is moved aside.
bool unreadableFileInTheWay = false;

// The name for the file that did not load, in the folder of the project file: the first of
// "Quillomere (unreadable).quil", "Quillomere (unreadable 2).quil", ... that nothing has.
std::wstring UnreadableName(const std::wstring& folder, int number)
{
    std::wstring name = L"Quillomere (unreadable";
    if (number > 1) name += L' ' + std::to_wstring(number);
    return folder + name + L").quil";
}

// Renames `path` to the first free name that `nameOf(folder, number)` gives for 1, 2, ...: the
// new path, or empty when it could not be moved.
template <class NameOf> std::wstring MoveAside(const std::wstring& path, NameOf nameOf)
{
    std::wstring::size_type separator = path.find_last_of(L"\\/");
    std::wstring folder =
        separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
    constexpr int kMostNames = 10000;
    for (int number = 1; number <= kMostNames; ++number) {
        std::wstring aside = nameOf(folder, number);
        if (platform::PathExists(aside)) continue;
        if (platform::MoveWithoutReplacing(path, aside)) return aside;
        // Someone took the name in the meantime: try the next one. Any other failure stops.
        if (!platform::PathExists(aside)) return std::wstring();
    }
    return std::wstring();
}

bool MoveUnreadableFileAside()
{
    if (!platform::FileExists(ProjectFilePath)) return true; // gone meanwhile: nothing in the way
    return !MoveAside(ProjectFilePath, UnreadableName).empty();
}

// "Quillomere (earlier).html", "Quillomere (earlier 2).html", ...
std::wstring EarlierPageName(const std::wstring& folder, int number)
{
    std::wstring name = L"Quillomere (earlier";
    if (number > 1) name += L' ' + std::to_wstring(number);
    return folder + name + L").html";
}

const std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string ModernPageStart()
{
    return std::string("<!DOCTYPE html>\r\n<html class=\"") + kModernPageClass + "\"";
}

// The first bytes of the file at `path`, as many as tell whether it is a page of this program;
// false when there is no file or it cannot be read.
bool ReadHead(const std::wstring& path, std::string& head)
{
    if (!platform::FileExists(path)) return false;
    CFileStream file(path, false);
    if (!file.IsOpen()) return false;
    const std::size_t wanted =
        kByteOrderMark.size() + std::max(sizeof kClassicPageStart - 1, ModernPageStart().size());
    head.assign(wanted, '\0');
    std::size_t got = 0;
    while (got < wanted) {
        const std::int32_t n = file.Read(&head[got], static_cast<std::int32_t>(wanted - got));
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    return true;
}

} // namespace

void FillProjectOfRun(CProject& project)
{
    // Only a load that read something counts.
    unreadableFileInTheWay = false;
    if (LoadProjectFile(project, ProjectFilePath) <= 0) {
        unreadableFileInTheWay = platform::FileExists(ProjectFilePath);
        CFileStream homepage(HomepageFilePath, false);
        CProjectHTMLParser parser(project);
        if (!parser.Parse(homepage)) BuildDefaultProject(project);
    }
    project.modified = false;
}

bool SaveProjectOfRun(CProject& project)
{
    if (unreadableFileInTheWay) {
        if (!MoveUnreadableFileAside()) return false;
        unreadableFileInTheWay = false;
    }
    return SaveProjectFile(project, ProjectFilePath);
}

bool IsPageOfThisProgram(std::string_view head)
{
    if (head.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        head.remove_prefix(kByteOrderMark.size());
    auto startsWith = [head](std::string_view start) {
        return head.substr(0, start.size()) == start;
    };
    return startsWith(kClassicPageStart) || startsWith(ModernPageStart());
}

HomepageWrite WriteHomepageOfRun(const CProject& project)
{
    HomepageWrite result;
    std::string head;
    // An empty file holds nothing to keep.
    if (ReadHead(HomepageFilePath, head) && !head.empty() && !IsPageOfThisProgram(head)) {
        result.keptAside = MoveAside(HomepageFilePath, EarlierPageName);
        if (result.keptAside.empty()) return result;
    }
    CFileStream file(HomepageFilePath, true);
    WritePage(project, file);
    result.written = file.IsOpen() && file.Close();
    return result;
}
