#include "services/project_store.h"

#include "homepage/modern_page.h"
#include "homepage/page_writer.h"
#include "import/project_html_parser.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "platform/platform.h"
#include "services/default_project.h"
#include "services/file_stamp.h"
#include "services/paths.h"
#include "services/recovery_writer.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

namespace {

// Set by a start-up that found a project file it could not load, until that file is moved aside.
bool unreadableFileInTheWay = false;

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

// The project file as this run last loaded or saved it, and the path it was at.
FileStamp runFile;
std::wstring runFilePath;
// The changed file as the last look found it, so that looking again while it stays so reads
// nothing.
FileStamp seenChanged;

void RememberRunFile(const FileStamp& stamp)
{
    runFile = stamp;
    runFilePath = ProjectFilePath;
    seenChanged = FileStamp();
}

bool Watching()
{
    return !runFilePath.empty() && runFilePath == ProjectFilePath;
}

CRecoveryWriter& RecoveryWriter()
{
    static CRecoveryWriter writer;
    return writer;
}

// Moves the columns, title, style and kept chunks of `from` into `into`, in place of its own.
void TakeContent(CProject& into, CProject& from)
{
    into.DeleteChildren();
    while (!from.columns.empty()) {
        CColumn* column = from.columns.front();
        from.columns.Remove(column);
        column->parent = &into;
        into.columns.Append(column);
    }
    into.title = std::move(from.title);
    into.pageStyle = from.pageStyle;
    into.keptChunks = std::move(from.keptChunks);
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

std::wstring KeptAsideName(const std::wstring& folder, const std::wstring& label, int number)
{
    std::wstring name = L"Quillomere (" + label;
    if (number > 1) name += L' ' + std::to_wstring(number);
    return folder + name + L").quil";
}

std::wstring KeepAside(const std::wstring& path, const std::wstring& label)
{
    return MoveAside(path, [&label](const std::wstring& folder, int number) {
        return KeptAsideName(folder, label, number);
    });
}

void FillProjectOfRun(CProject& project)
{
    // Taken before the load: a file written in between shows as changed later, never the
    // other way round.
    RememberRunFile(StampFile(ProjectFilePath));
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

bool SaveProjectOfRun(CProject& project, std::wstring* keptAside)
{
    if (keptAside) keptAside->clear();
    if (unreadableFileInTheWay) {
        // Gone meanwhile: nothing in the way.
        if (platform::FileExists(ProjectFilePath) &&
            KeepAside(ProjectFilePath, L"unreadable").empty())
            return false;
        unreadableFileInTheWay = false;
    } else if (Watching()) {
        // The bytes always decide here: a save is rare, and a change missed now is lost.
        FileStamp now;
        if (FileChangedSince(runFile, ProjectFilePath, now, true) && now.exists) {
            std::wstring kept = KeepAside(ProjectFilePath, L"changed elsewhere");
            if (kept.empty()) return false;
            if (keptAside) *keptAside = kept;
        }
    }
    if (!SaveProjectFile(project, ProjectFilePath)) return false;
    RememberRunFile(StampFile(ProjectFilePath));
    DiscardRecoveryOfRun();
    return true;
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

ProjectFileState ProjectFileStateOfRun()
{
    if (!Watching()) return ProjectFileState::NotWatched;
    std::int64_t size = 0;
    std::uint64_t lastWrite = 0;
    if (seenChanged.exists && platform::FileSizeAndTime(ProjectFilePath, size, lastWrite) &&
        size == seenChanged.size && lastWrite == seenChanged.lastWrite)
        return ProjectFileState::Changed;
    FileStamp now;
    if (!FileChangedSince(runFile, ProjectFilePath, now)) {
        // Touched, or written again with the same bytes: the next look needs no reading.
        runFile = now;
        return ProjectFileState::Unchanged;
    }
    if (!now.exists) return ProjectFileState::Removed;
    seenChanged = now;
    return ProjectFileState::Changed;
}

bool LoadChangedProjectFile(CProject& into)
{
    const FileStamp stamp = StampFile(ProjectFilePath);
    if (!stamp.exists || LoadProjectFile(into, ProjectFilePath) <= 0) return false;
    RememberRunFile(stamp);
    // The file loaded: it is no longer one that has to be moved aside unseen.
    unreadableFileInTheWay = false;
    into.modified = false;
    return true;
}

RecoveryFound FindRecoveryOfRun()
{
    if (!RecoveryOfRunEnabled() || !platform::FileExists(RecoveryFilePath))
        return RecoveryFound::None;
    CProject recovered;
    if (LoadProjectFile(recovered, RecoveryFilePath) <= 0) {
        KeepAside(RecoveryFilePath, L"recovery, unreadable");
        return RecoveryFound::Unreadable;
    }
    const FileStamp recovery = StampFile(RecoveryFilePath);
    const FileStamp project = StampFile(ProjectFilePath);
    if (project.exists && recovery.size == project.size && recovery.hash == project.hash) {
        // Nothing that the project file does not hold already.
        platform::RemoveFile(RecoveryFilePath);
        return RecoveryFound::None;
    }
    return RecoveryFound::Restorable;
}

bool RestoreRecoveryOfRun(CProject& project)
{
    if (!RecoveryOfRunEnabled()) return false;
    CProject recovered;
    if (LoadProjectFile(recovered, RecoveryFilePath) <= 0) return false;
    TakeContent(project, recovered);
    project.modified = true;
    return true;
}

void DiscardRecoveryOfRun()
{
    if (!RecoveryOfRunEnabled()) return;
    RecoveryWriter().Wait();
    platform::RemoveFile(RecoveryFilePath);
}

bool RecoveryOfRunEnabled()
{
    return !RecoveryFilePath.empty();
}

void WriteRecoveryOfRunLater(CProject& project)
{
    if (!RecoveryOfRunEnabled()) return;
    RecoveryWriter().WriteLater(CopyOfProject(project), RecoveryFilePath);
}

bool WriteRecoveryOfRunNow(CProject& project)
{
    if (!RecoveryOfRunEnabled()) return false;
    std::unique_ptr<ProjectCopy> copy = CopyOfProject(project);
    if (!copy) return false;
    CRecoveryWriter& writer = RecoveryWriter();
    writer.WriteLater(std::move(copy), RecoveryFilePath);
    writer.Wait();
    return writer.LastWriteSucceeded();
}

bool WaitForRecoveryOfRun()
{
    if (!RecoveryOfRunEnabled()) return true;
    RecoveryWriter().Wait();
    return RecoveryWriter().LastWriteSucceeded();
}
