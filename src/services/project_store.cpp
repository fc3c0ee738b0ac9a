#include "services/project_store.h"

#include "import/project_html_parser.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "platform/platform.h"
#include "services/default_project.h"
#include "services/paths.h"

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

bool MoveUnreadableFileAside()
{
    if (!platform::FileExists(ProjectFilePath)) return true; // gone meanwhile: nothing in the way
    std::wstring::size_type separator = ProjectFilePath.find_last_of(L"\\/");
    std::wstring folder =
        separator == std::wstring::npos ? std::wstring() : ProjectFilePath.substr(0, separator + 1);
    constexpr int kMostNames = 10000;
    for (int number = 1; number <= kMostNames; ++number) {
        std::wstring aside = UnreadableName(folder, number);
        if (platform::PathExists(aside)) continue;
        if (platform::MoveWithoutReplacing(ProjectFilePath, aside)) return true;
        // Someone took the name in the meantime: try the next one. Any other failure stops.
        if (!platform::PathExists(aside)) return false;
    }
    return false;
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
