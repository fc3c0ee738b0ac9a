#include "cli/cli.h"

#include "cli/check_links.h"
#include "cli/cli_common.h"
#include "cli/dump.h"
#include "cli/fetch_icons.h"
#include "edit/project_changes.h"
#include "homepage/bookmark_writer.h"
#include "homepage/page_writer.h"
#include "import/html_import.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "platform/platform.h"
#include "quil_version.h"
#include "services/default_project.h"
#include "services/status_texts.h"
#include "transfer/bookmark_merge.h"

namespace {

const char kUsage[] =
    "Usage: quillomere-cli COMMAND [ARGUMENTS]\n"
    "Generates, imports and shows Quillomere projects without the window.\n"
    "\n"
    "Commands:\n"
    "  generate [PROJECT.quil | PAGE.html] [-o PAGE.html] [--style classic|modern]\n"
    "      Writes the homepage of a project file, of a homepage or bookmark file read back, or\n"
    "      of the sample project when no file is given; to standard output unless -o is given.\n"
    "      --style writes the page in that style instead of the project's own.\n"
    "  import PAGE.html [-o PROJECT.quil]\n"
    "      Reads a homepage into a new project; saves it with -o, else prints it as dump does.\n"
    "      A browser bookmark file is recognised by its doctype and read as columns, groups\n"
    "      and links; the counts go to standard error.\n"
    "  import BOOKMARKS.html --merge-into PROJECT.quil [-o NEW.quil]\n"
    "      Reads a bookmark file into an existing project as the editor's Read HTML file\n"
    "      does: bookmarks whose address the project has are left out, folders whose column\n"
    "      or group it has put their new links there. The counts go to standard error.\n"
    "  export-bookmarks PROJECT.quil [-o FILE]\n"
    "      Writes the project's links as a bookmark file that browsers import; to standard\n"
    "      output unless -o is given.\n"
    "  dump PROJECT.quil\n"
    "      Prints the project tree as indented text.\n"
    "  check-links PROJECT.quil | PAGE.html | BOOKMARKS.html [--jobs N] [--per-host N]\n"
    "              [--timeout SECONDS] [--format text|json] [-o REPORT]\n"
    "      Checks every http and https address (links and GET form addresses): text lists\n"
    "      the places that are not OK and the counts, json every place. At most N requests\n"
    "      at once (default 32), N to one host (default 4), SECONDS per request (default 15).\n"
    "      Exit status 0 when every checked link is OK or Redirected, 1 when any is not, 2 on\n"
    "      wrong usage or a file that cannot be read or written.\n"
    "  check-links PROJECT.quil --fix-moved [--fix-https] -o NEW.quil\n"
    "      Also saves a copy with every Moved address replaced by its final address (and,\n"
    "      with --fix-https, every http address that answers over https upgraded), prints the\n"
    "      report and the changes.\n"
    "  fetch-icons PROJECT.quil -o NEW.quil [--jobs N] [--per-host N] [--timeout SECONDS]\n"
    "              [--refresh]\n"
    "      Fetches the site icon of every link that has none (every link with --refresh):\n"
    "      the icon its page names, else the host's /favicon.ico. Saves a copy of the\n"
    "      project with the icons and lists what could not be had. The limits are those\n"
    "      of check-links.\n"
    "  --help      Shows this text.\n"
    "  --version   Shows the version.\n"
    "\n"
    "Exit status: 0 success, 1 a file cannot be read, loaded or imported, 2 wrong usage.\n";

int FileError(CStream& err, const std::string& reason)
{
    WriteBytes(err, "quillomere-cli: " + reason + "\n");
    return kCliFileError;
}

// A command's operands: input files and an optional -o output.
struct Operands
{
    std::vector<std::wstring> inputs;
    std::wstring output;
    bool hasOutput = false;
    std::wstring style;
    bool hasStyle = false;
    std::wstring mergeInto;
    bool hasMergeInto = false;
    std::string error;
};

Operands ParseOperands(const std::vector<std::wstring>& arguments)
{
    Operands operands;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (argument == L"-o") {
            if (operands.hasOutput) {
                operands.error = "-o given twice";
            } else if (i + 1 == arguments.size()) {
                operands.error = "-o needs a file name";
            } else {
                operands.output = arguments[++i];
                operands.hasOutput = true;
            }
        } else if (argument == L"--style") {
            if (operands.hasStyle) {
                operands.error = "--style given twice";
            } else if (i + 1 == arguments.size()) {
                operands.error = "--style needs classic or modern";
            } else {
                operands.style = arguments[++i];
                operands.hasStyle = true;
            }
        } else if (argument == L"--merge-into") {
            if (operands.hasMergeInto) {
                operands.error = "--merge-into given twice";
            } else if (i + 1 == arguments.size()) {
                operands.error = "--merge-into needs a project file";
            } else {
                operands.mergeInto = arguments[++i];
                operands.hasMergeInto = true;
            }
        } else if (argument.size() > 1 && argument[0] == L'-') {
            operands.error = "unknown option " + QuotedPath(argument);
        } else {
            operands.inputs.push_back(argument);
        }
        if (!operands.error.empty()) break;
    }
    return operands;
}

// Loads a project file; on failure says why on `err` and returns false.
bool LoadForCli(CProject& project, const std::wstring& path, CStream& err)
{
    {
        CFileStream probe(path, false);
        if (!probe.IsOpen()) {
            FileError(err, "cannot read " + QuotedPath(path));
            return false;
        }
        if (platform::FileSize(probe.Handle()) > kMaxProjectFileSize) {
            FileError(err, QuotedPath(path) + " is too large for a project file (2 GiB or more)");
            return false;
        }
    }
    std::int32_t result = LoadProjectFile(project, path);
    if (result == kLoadInvalidData) {
        FileError(err, QuotedPath(path) + " is not a Quillomere project file");
        return false;
    }
    if (result == kLoadUnknownRevision) {
        FileError(err, QuotedPath(path) + " is a project file of an unknown revision");
        return false;
    }
    return true;
}

std::string Counted(std::size_t count, const char* noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// Reads a homepage or a bookmark file into `project`; on failure says why on `err` and returns
// false. What a bookmark file gave goes to `err` as well.
bool ImportForCli(CProject& project, const std::wstring& path, CStream& err)
{
    CFileStream page(path, false);
    if (!page.IsOpen()) {
        FileError(err, "cannot read " + QuotedPath(path));
        return false;
    }
    HtmlImportResult result = ImportPageOrBookmarks(project, page);
    if (result.kind == HtmlFileKind::Bookmarks) {
        WriteBytes(err,
                   "quillomere-cli: " + QuotedPath(path) +
                       " is a bookmark file: " + Counted(result.columns, "column") + ", " +
                       Counted(result.groups, "group") + ", " + Counted(result.links, "link") +
                       "; skipped " + Counted(result.skipped.Total(), "bookmark") +
                       (result.skipped.Total() > 0 ? " (" + SkipReasonsText(result.skipped) + ")"
                                                   : std::string()) +
                       "\n");
    }
    if (result.complete) return true;
    if (result.errorOffset >= 0) {
        FileError(err, QuotedPath(path) + " has a misplaced '<' or '>' at byte " +
                           std::to_string(result.errorOffset));
    } else {
        FileError(err, QuotedPath(path) + " is empty or ends inside a tag or a comment");
    }
    return false;
}

bool IsPagePath(const std::wstring& path)
{
    std::wstring lower;
    for (wchar_t c : path)
        lower += c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    auto endsWith = [&lower](const std::wstring& suffix) {
        return lower.size() >= suffix.size() &&
               lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    return endsWith(L".html") || endsWith(L".htm");
}

// Runs `write` on standard output, or on the file that -o names; a file that cannot be written
// is a file error.
template <typename Writer>
int WriteOutput(const Operands& operands, CStream& out, CStream& err, Writer write)
{
    if (!operands.hasOutput) {
        write(out);
        return kCliSuccess;
    }
    CFileStream file(operands.output, true);
    if (!file.IsOpen()) return FileError(err, "cannot write " + QuotedPath(operands.output));
    write(file);
    if (!file.Close()) return FileError(err, "cannot write " + QuotedPath(operands.output));
    return kCliSuccess;
}

int Generate(const Operands& operands, CProject& project, CStream& out, CStream& err)
{
    if (operands.inputs.size() > 1) return CliUsageError(err, "generate takes at most one input");
    PageStyle style = PageStyle::Classic;
    if (operands.hasStyle) {
        if (operands.style == L"modern") {
            style = PageStyle::Modern;
        } else if (operands.style != L"classic") {
            return CliUsageError(err, "unknown style " + QuotedPath(operands.style) +
                                          " (classic or modern)");
        }
    }
    if (operands.inputs.empty()) {
        BuildDefaultProject(project);
    } else if (!ReadProjectForCli(project, operands.inputs[0], err)) {
        return kCliFileError;
    }
    if (operands.hasStyle) project.pageStyle = style;
    return WriteOutput(operands, out, err,
                       [&project](CStream& stream) { WritePage(project, stream); });
}

// Says what ReadHtmlMerging did as the status bar says it; false, with the reason, when the file
// was not read to its end.
bool ReportRead(const std::wstring& path, const HtmlReadOutcome& outcome, const CProject& project,
                CStream& err)
{
    const std::wstring text =
        outcome.merged
            ? MergedBookmarksText(FileNameOf(path), outcome.read, outcome.counts.newLinks,
                                  outcome.counts.newGroups, outcome.counts.alreadyHere)
            : ReadFileText(FileNameOf(path), outcome.read, project);
    WriteBytes(err, "quillomere-cli: " + ToUtf8(text) + "\n");
    if (outcome.read.complete) return true;
    if (outcome.read.errorOffset >= 0) {
        FileError(err, QuotedPath(path) + " has a misplaced '<' or '>' at byte " +
                           std::to_string(outcome.read.errorOffset));
    } else {
        FileError(err, QuotedPath(path) + " is empty or ends inside a tag or a comment");
    }
    return false;
}

// Reads the file into the project as the editor's Read HTML file does, through the change path.
bool MergeForCli(CProject& project, const std::wstring& path, CStream& err)
{
    CFileStream file(path, false);
    if (!file.IsOpen()) {
        FileError(err, "cannot read " + QuotedPath(path));
        return false;
    }
    CProjectChanges changes(project);
    return ReportRead(path, ReadHtmlMerging(changes, file), project, err);
}

int Import(const Operands& operands, CProject& project, CStream& out, CStream& err)
{
    if (operands.inputs.size() != 1) return CliUsageError(err, "import takes one homepage file");
    if (operands.hasMergeInto) {
        if (!LoadForCli(project, operands.mergeInto, err)) return kCliFileError;
        if (!MergeForCli(project, operands.inputs[0], err)) return kCliFileError;
    } else if (!ImportForCli(project, operands.inputs[0], err)) {
        return kCliFileError;
    }
    if (!operands.hasOutput) {
        DumpProject(project, out);
        return kCliSuccess;
    }
    if (!SaveProjectFile(project, operands.output))
        return FileError(err, "cannot write " + QuotedPath(operands.output));
    return kCliSuccess;
}

int ExportBookmarks(const Operands& operands, CProject& project, CStream& out, CStream& err)
{
    if (operands.inputs.size() != 1)
        return CliUsageError(err, "export-bookmarks takes one project file");
    if (!LoadForCli(project, operands.inputs[0], err)) return kCliFileError;
    return WriteOutput(operands, out, err,
                       [&project](CStream& stream) { WriteBookmarks(project, stream); });
}

int Dump(const Operands& operands, CProject& project, CStream& out, CStream& err)
{
    if (operands.inputs.size() != 1 || operands.hasOutput)
        return CliUsageError(err, "dump takes one project file");
    if (!LoadForCli(project, operands.inputs[0], err)) return kCliFileError;
    DumpProject(project, out);
    return kCliSuccess;
}

} // namespace

int CliUsageError(CStream& err, const std::string& reason)
{
    WriteBytes(err, "quillomere-cli: " + reason + "\nTry 'quillomere-cli --help'.\n");
    return kCliUsage;
}

namespace {

// A whole number in [low, high]; false for anything else.
bool ParseCount(const std::wstring& text, int low, int high, int& value)
{
    if (text.empty() || text.size() > 9) return false;
    long number = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        number = number * 10 + (c - L'0');
    }
    if (number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

} // namespace

bool IsNetworkLimit(const std::wstring& option)
{
    return option == L"--jobs" || option == L"--per-host" || option == L"--timeout";
}

std::string ParseNetworkLimit(const std::wstring& option, const std::wstring& value, int& jobs,
                              int& perHost, int& timeoutSeconds)
{
    if (option == L"--jobs") {
        if (!ParseCount(value, 1, 256, jobs)) return "--jobs takes a number from 1 to 256";
    } else if (option == L"--per-host") {
        if (!ParseCount(value, 1, 64, perHost)) return "--per-host takes a number from 1 to 64";
    } else if (!ParseCount(value, 1, 600, timeoutSeconds)) {
        return "--timeout takes a number of seconds from 1 to 600";
    }
    return std::string();
}

std::string QuotedPath(const std::wstring& path)
{
    return "'" + ToUtf8(path) + "'";
}

bool ReadProjectForCli(CProject& project, const std::wstring& path, CStream& err)
{
    return IsPagePath(path) ? ImportForCli(project, path, err) : LoadForCli(project, path, err);
}

int RunCli(const std::vector<std::wstring>& arguments, CProject& project, CStream& out,
           CStream& err)
{
    if (arguments.empty()) return CliUsageError(err, "no command given");
    const std::wstring& command = arguments[0];
    if (command == L"--help" || command == L"-h") {
        WriteBytes(out, kUsage);
        return kCliSuccess;
    }
    if (command == L"--version") {
        WriteBytes(out, std::string("quillomere-cli ") + QUIL_VERSION + "\n");
        return kCliSuccess;
    }
    if (command == L"check-links") return RunCheckLinks(arguments, project, out, err);
    if (command == L"fetch-icons") return RunFetchIcons(arguments, project, out, err);
    Operands operands = ParseOperands(arguments);
    if (!operands.error.empty()) return CliUsageError(err, operands.error);
    if (operands.hasStyle && command != L"generate")
        return CliUsageError(err, "--style is an option of generate only");
    if (operands.hasMergeInto && command != L"import")
        return CliUsageError(err, "--merge-into is an option of import only");
    if (command == L"generate") return Generate(operands, project, out, err);
    if (command == L"import") return Import(operands, project, out, err);
    if (command == L"dump") return Dump(operands, project, out, err);
    if (command == L"export-bookmarks") return ExportBookmarks(operands, project, out, err);
    return CliUsageError(err, "unknown command '" + ToUtf8(command) + "'");
}
