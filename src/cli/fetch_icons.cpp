#include "cli/fetch_icons.h"

#include "cli/cli.h"
#include "cli/cli_common.h"
#include "cli/progress_line.h"
#include "model/project.h"
#include "network/link_report.h"
#include "persist/project_file.h"
#include "persist/streams.h"
#include "persist/text.h"

#include <map>

namespace {

CIconFetchJob::TransportFactory transportForTesting;

struct FetchOptions
{
    std::wstring input;
    std::wstring output;
    bool hasOutput = false;
    bool refresh = false;
    IconFetchSettings settings;
};

// Parses the options; an empty string means they are sound, else it says what is wrong.
std::string ParseOptions(const std::vector<std::wstring>& arguments, FetchOptions& options)
{
    bool hasInput = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        bool takesValue = IsNetworkLimit(argument) || argument == L"-o";
        if (takesValue && i + 1 == arguments.size()) return ToUtf8(argument) + " needs a value";
        if (IsNetworkLimit(argument)) {
            std::string problem =
                ParseNetworkLimit(argument, arguments[++i], options.settings.jobs,
                                  options.settings.perHost, options.settings.timeoutSeconds);
            if (!problem.empty()) return problem;
        } else if (argument == L"-o") {
            if (options.hasOutput) return "-o given twice";
            options.output = arguments[++i];
            options.hasOutput = true;
        } else if (argument == L"--refresh") {
            options.refresh = true;
        } else if (argument.size() > 1 && argument[0] == L'-') {
            return "unknown option " + QuotedPath(argument);
        } else {
            if (hasInput) return "fetch-icons takes one file";
            options.input = argument;
            hasInput = true;
        }
    }
    if (!hasInput) return "fetch-icons needs a project, homepage or bookmark file";
    if (!options.hasOutput) return "fetch-icons needs -o NEW.quil";
    return std::string();
}

std::string Counted(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// One line per link whose icon could not be had, then the counts:
//   Not an image  http://a.example/  http://a.example/favicon.ico: not a PNG, ...  [C / G / A]
//   Icons for 5 links (4 pages): 3 kept, 2 failed (1 Not an image, 1 Timeout); 1 link skipped
//   (1 has an icon).
std::string Report(const IconFetchPlan& plan, const std::vector<IconFetchOutcome>& outcomes)
{
    std::string report;
    std::size_t kept = 0;
    std::map<IconFetchResult, std::size_t> failed;
    for (std::size_t entry = 0; entry < plan.places.size(); ++entry) {
        const IconFetchOutcome& outcome = outcomes[plan.pageOf[entry]];
        if (outcome.result == IconFetchResult::Kept) {
            ++kept;
            continue;
        }
        ++failed[outcome.result];
        const LinkPlace& place = plan.links.places[plan.places[entry]];
        report += std::string(IconFetchResultName(outcome.result)) + "  " +
                  PrintableText(plan.links.UrlOf(place)) + "  " + PrintableText(outcome.reason) +
                  "  [" + PlaceWhere(place) + "]\n";
    }
    std::size_t failures = plan.places.size() - kept;
    report += "Icons for " + Counted(plan.places.size(), "link", "links") + " (" +
              Counted(plan.pages.size(), "page", "pages") + "): " + std::to_string(kept) +
              " kept, " + std::to_string(failures) + " failed";
    if (failures > 0) {
        const char* separator = " (";
        for (const auto& [result, count] : failed) {
            report += separator + std::to_string(count) + " " + IconFetchResultName(result);
            separator = ", ";
        }
        report += ")";
    }
    std::size_t skipped = plan.withIcon + plan.notFetched;
    if (skipped > 0) {
        report += "; " + Counted(skipped, "link", "links") + " skipped (";
        if (plan.withIcon > 0)
            report += Counted(plan.withIcon, "has an icon", "have an icon") +
                      (plan.notFetched > 0 ? ", " : "");
        if (plan.notFetched > 0)
            report += Counted(plan.notFetched, "is not an http or https address",
                              "are not http or https addresses");
        report += ")";
    }
    return report + ".\n";
}

} // namespace

void SetFetchIconsTransportForTesting(CIconFetchJob::TransportFactory factory)
{
    transportForTesting = std::move(factory);
}

int RunFetchIcons(const std::vector<std::wstring>& arguments, CProject& project, CStream& out,
                  CStream& err)
{
    FetchOptions options;
    std::string problem = ParseOptions(arguments, options);
    if (!problem.empty()) return CliUsageError(err, problem);
    if (!ReadProjectForCli(project, options.input, err)) return kCliFileError;

    IconFetchPlan plan = CollectIconPlaces(project, options.refresh);
    std::vector<IconFetchOutcome> outcomes;
    if (!plan.pages.empty()) {
        std::string error;
        TransportSettings transportSettings = TransportSettingsFor(options.settings);
        std::unique_ptr<IHttpTransport> transport =
            transportForTesting ? transportForTesting(transportSettings, error)
                                : CreateSystemTransport(transportSettings, error);
        if (!transport) {
            WriteBytes(err, "quillomere-cli: " + error + "\n");
            return kCliFileError;
        }
        CProgressLine progress("pages fetched");
        CIconFetcher fetcher(*transport, options.settings);
        outcomes = fetcher.Fetch(plan.pages, [&progress](std::size_t done, std::size_t total) {
            progress.Show(done, total);
        });
    }
    std::size_t changed = ApplyIconChanges(project, PlanIconChanges(project, plan, outcomes));
    WriteBytes(out, Report(plan, outcomes));
    if (!SaveProjectFile(project, options.output)) {
        WriteBytes(err, "quillomere-cli: cannot write " + QuotedPath(options.output) + "\n");
        return kCliFileError;
    }
    WriteBytes(out, "Saved " + QuotedPath(options.output) + " with " +
                        Counted(changed, "new icon", "new icons") + ".\n");
    return kCliSuccess;
}
