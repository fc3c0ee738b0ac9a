#include "cli/check_links.h"

#include "cli/cli.h"
#include "cli/cli_common.h"
#include "cli/progress_line.h"
#include "model/project.h"
#include "network/link_report.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "persist/text.h"
#include "platform/platform.h"

namespace {

CLinkCheckJob::TransportFactory transportForTesting;

struct CheckOptions
{
    std::wstring input;
    std::wstring output;
    bool hasOutput = false;
    bool json = false;
    bool fixMoved = false;
    bool fixHttps = false;
    LinkCheckSettings settings;
};

// Parses the options; an empty string means they are sound, else it says what is wrong.
std::string ParseOptions(const std::vector<std::wstring>& arguments, CheckOptions& options)
{
    bool hasInput = false, hasFormat = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        bool takesValue = IsNetworkLimit(argument) || argument == L"--format" || argument == L"-o";
        if (takesValue && i + 1 == arguments.size()) return ToUtf8(argument) + " needs a value";
        if (IsNetworkLimit(argument)) {
            std::string problem =
                ParseNetworkLimit(argument, arguments[++i], options.settings.jobs,
                                  options.settings.perHost, options.settings.timeoutSeconds);
            if (!problem.empty()) return problem;
        } else if (argument == L"--format") {
            const std::wstring& format = arguments[++i];
            if (hasFormat) return "--format given twice";
            if (format != L"text" && format != L"json") return "--format is text or json";
            options.json = format == L"json";
            hasFormat = true;
        } else if (argument == L"-o") {
            if (options.hasOutput) return "-o given twice";
            options.output = arguments[++i];
            options.hasOutput = true;
        } else if (argument == L"--fix-moved") {
            options.fixMoved = true;
        } else if (argument == L"--fix-https") {
            options.fixHttps = true;
        } else if (argument.size() > 1 && argument[0] == L'-') {
            return "unknown option " + QuotedPath(argument);
        } else {
            if (hasInput) return "check-links takes one file";
            options.input = argument;
            hasInput = true;
        }
    }
    if (!hasInput) return "check-links needs a project, homepage or bookmark file";
    if (options.fixHttps && !options.fixMoved) return "--fix-https goes with --fix-moved";
    if (options.fixMoved && !options.hasOutput) return "--fix-moved needs -o NEW.quil";
    return std::string();
}

// Writes the report to standard output or to the -o file; false when the file fails.
bool WriteReport(const CheckOptions& options, const LinkCheckPlan& plan,
                 const std::vector<LinkOutcome>& outcomes, CStream& out)
{
    auto write = [&](CStream& stream) {
        if (options.json)
            WriteLinkJsonReport(plan, outcomes, stream);
        else
            WriteLinkTextReport(plan, outcomes, stream);
    };
    if (!options.hasOutput || options.fixMoved) {
        write(out);
        return true;
    }
    CFileStream file(options.output, true);
    if (!file.IsOpen()) return false;
    write(file);
    return file.Close();
}

} // namespace

void SetCheckLinksTransportForTesting(CLinkCheckJob::TransportFactory factory)
{
    transportForTesting = std::move(factory);
}

int RunCheckLinks(const std::vector<std::wstring>& arguments, CProject& project, CStream& out,
                  CStream& err)
{
    CheckOptions options;
    std::string problem = ParseOptions(arguments, options);
    if (!problem.empty()) return CliUsageError(err, problem);
    if (!ReadProjectForCli(project, options.input, err)) return kCliUsage;

    LinkCheckPlan plan = CollectLinkPlaces(project);
    std::string error;
    TransportSettings transportSettings = TransportSettingsFor(options.settings);
    std::unique_ptr<IHttpTransport> transport =
        transportForTesting ? transportForTesting(transportSettings, error)
                            : CreateSystemTransport(transportSettings, error);
    if (!transport) {
        WriteBytes(err, "quillomere-cli: " + error + "\n");
        return kCliUsage;
    }
    std::vector<LinkOutcome> outcomes;
    {
        CProgressLine progress("checked");
        CLinkChecker checker(*transport, options.settings);
        outcomes = checker.Check(plan.addresses, [&progress](std::size_t done, std::size_t total) {
            progress.Show(done, total);
        });
    }
    transport.reset();

    if (!WriteReport(options, plan, outcomes, out)) {
        WriteBytes(err, "quillomere-cli: cannot write " + QuotedPath(options.output) + "\n");
        return kCliUsage;
    }
    if (options.fixMoved) {
        std::vector<LinkFix> fixes = PlanLinkFixes(project, plan, outcomes, options.fixHttps);
        ApplyLinkFixes(project, plan, fixes);
        if (!SaveProjectFile(project, options.output)) {
            WriteBytes(err, "quillomere-cli: cannot write " + QuotedPath(options.output) + "\n");
            return kCliUsage;
        }
        std::string changes = "Changed " + std::to_string(fixes.size()) +
                              (fixes.size() == 1 ? " address" : " addresses") + " in " +
                              QuotedPath(options.output) + (fixes.empty() ? ".\n" : ":\n");
        for (const LinkFix& fix : fixes)
            changes += std::string(fix.https ? "  https: " : "  moved: ") +
                       PrintableText(ToUtf8(fix.from)) + " -> " + PrintableText(ToUtf8(fix.to)) +
                       "  [" + PlaceWhere(plan.places[fix.place]) + "]\n";
        // Redirects out of the web are reported, never taken over.
        std::string kept;
        std::size_t keptCount = 0;
        for (std::size_t i = 0; i < plan.places.size(); ++i) {
            const LinkOutcome outcome = OutcomeOfPlace(plan, outcomes, i);
            if (outcome.result != LinkResult::NonWebRedirect) continue;
            ++keptCount;
            kept += "  kept: " + PrintableText(plan.UrlOf(plan.places[i])) + " (redirects to " +
                    PrintableText(outcome.finalUrl) + ")  [" + PlaceWhere(plan.places[i]) + "]\n";
        }
        if (keptCount > 0)
            changes += "Left " + std::to_string(keptCount) +
                       (keptCount == 1 ? " address as it was" : " addresses as they were") +
                       ": a redirect to an address that is not http or https is never taken "
                       "over:\n" +
                       kept;
        WriteBytes(out, changes);
    }
    for (std::size_t i = 0; i < plan.places.size(); ++i)
        if (IsLinkProblem(OutcomeOfPlace(plan, outcomes, i).result))
            return kCliFileError; // 1: a checked link is neither OK nor Redirected
    return kCliSuccess;
}
