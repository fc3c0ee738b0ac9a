#include "network/link_report.h"

#include "persist/streams.h"
#include "persist/text.h"

#include <map>

namespace {

constexpr LinkResult kAllResults[] = {
    LinkResult::Ok,
    LinkResult::Moved,
    LinkResult::Redirected,
    LinkResult::NonWebRedirect,
    LinkResult::NotFound,
    LinkResult::ClientError,
    LinkResult::ServerError,
    LinkResult::Timeout,
    LinkResult::CannotConnect,
    LinkResult::TlsError,
    LinkResult::BadUrl,
    LinkResult::TooManyRedirects,
    LinkResult::RateLimited,
    LinkResult::NotChecked,
};

// Addresses and reasons from the network may hold bytes that are not UTF-8; reports must not.
std::string ValidUtf8(const std::string& bytes)
{
    return ToUtf8(FromUtf8(bytes));
}

std::string JsonString(const std::string& bytes)
{
    std::string text = ValidUtf8(bytes);
    std::string json = "\"";
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            json += "\\u00";
            json += kHex[byte >> 4];
            json += kHex[byte & 15];
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string JsonString(const std::wstring& text)
{
    return JsonString(ToUtf8(text));
}

} // namespace

std::string PrintableText(const std::string& bytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string text = ValidUtf8(bytes);
    std::string printable;
    printable.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F) {
            printable += "\\x";
            printable += kHex[byte >> 4];
            printable += kHex[byte & 15];
        } else if (byte == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080 to U+009F, the C1 controls (CSI among them).
            const unsigned char code = static_cast<unsigned char>(text[++i]);
            printable += "\\u00";
            printable += kHex[code >> 4];
            printable += kHex[code & 15];
        } else {
            printable += text[i];
        }
    }
    return printable;
}

std::string PlaceWhere(const LinkPlace& place)
{
    return PrintableText(ToUtf8(*place.column) + " / " + ToUtf8(*place.group) + " / " +
                         place.caption);
}

std::string LinkCheckSummary(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes)
{
    std::vector<std::size_t> places(plan.places.size());
    for (std::size_t i = 0; i < places.size(); ++i)
        places[i] = i;
    return LinkCheckSummary(plan, outcomes, places, std::vector<bool>(places.size(), false));
}

std::string LinkCheckSummary(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes,
                             const std::vector<std::size_t>& places,
                             const std::vector<bool>& replaced)
{
    std::map<LinkResult, std::size_t> counts;
    std::size_t notChecked = 0, replacements = 0, addresses = 0;
    std::vector<bool> counted(plan.addresses.size(), false);
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::uint32_t address = plan.places[places[i]].address;
        if (address < counted.size() && !counted[address]) {
            counted[address] = true;
            ++addresses;
        }
        if (i < replaced.size() && replaced[i]) {
            ++replacements;
            continue;
        }
        LinkResult result = OutcomeOfPlace(plan, outcomes, places[i]).result;
        if (result == LinkResult::NotChecked)
            ++notChecked;
        else
            ++counts[result];
    }
    std::string summary =
        std::to_string(places.size()) + (places.size() == 1 ? " place, " : " places, ") +
        std::to_string(addresses) + (addresses == 1 ? " address" : " addresses") + ":";
    const char* separator = " ";
    for (LinkResult result : kAllResults) {
        if (!counts.count(result)) continue;
        summary += separator + std::to_string(counts[result]) + " " + LinkResultName(result);
        separator = ", ";
    }
    if (replacements > 0) summary += separator + std::to_string(replacements) + " Replaced";
    if (counts.empty() && replacements == 0) summary += " none checked";
    if (notChecked > 0) summary += "; " + std::to_string(notChecked) + " not checked";
    return summary;
}

// Reports are written a place at a time: a large project's report is never whole in memory.
void WriteLinkTextReport(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes,
                         CStream& stream)
{
    std::string line;
    for (std::size_t i = 0; i < plan.places.size(); ++i) {
        LinkOutcome outcome = OutcomeOfPlace(plan, outcomes, i);
        if (outcome.result == LinkResult::Ok) continue;
        line = LinkResultName(outcome.result);
        // A redirect's final status is a success; the status tells something for the others.
        bool redirect =
            outcome.result == LinkResult::Moved || outcome.result == LinkResult::Redirected;
        if (outcome.status > 0 && !redirect) line += " (" + std::to_string(outcome.status) + ")";
        line += ": " + PrintableText(plan.UrlOf(plan.places[i]));
        if (!outcome.finalUrl.empty()) line += " -> " + PrintableText(outcome.finalUrl);
        if (!outcome.reason.empty()) line += " (" + PrintableText(outcome.reason) + ")";
        line += "  [" + PlaceWhere(plan.places[i]) + "]\n";
        WriteBytes(stream, line);
    }
    for (std::size_t i = 0; i < plan.places.size(); ++i) {
        if (!OutcomeOfPlace(plan, outcomes, i).httpsAvailable) continue;
        WriteBytes(stream, "https available: " + PrintableText(plan.UrlOf(plan.places[i])) + "  [" +
                               PlaceWhere(plan.places[i]) + "]\n");
    }
    WriteBytes(stream, LinkCheckSummary(plan, outcomes) + "\n");
}

void WriteLinkJsonReport(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes,
                         CStream& stream)
{
    std::map<LinkResult, std::size_t> counts;
    for (std::size_t i = 0; i < plan.places.size(); ++i)
        ++counts[OutcomeOfPlace(plan, outcomes, i).result];
    std::string json = "{\n  \"summary\": {\"places\": " + std::to_string(plan.places.size()) +
                       ", \"addresses\": " + std::to_string(plan.addresses.size()) +
                       ", \"results\": {";
    const char* separator = "";
    for (LinkResult result : kAllResults) {
        if (!counts.count(result)) continue;
        json += separator + JsonString(std::string(LinkResultName(result))) + ": " +
                std::to_string(counts[result]);
        separator = ", ";
    }
    json += "}},\n  \"places\": [";
    WriteBytes(stream, json);
    for (std::size_t i = 0; i < plan.places.size(); ++i) {
        const LinkPlace& place = plan.places[i];
        LinkOutcome outcome = OutcomeOfPlace(plan, outcomes, i);
        json = i == 0 ? "\n    {" : ",\n    {";
        json += "\"column\": " + JsonString(*place.column);
        json += ", \"group\": " + JsonString(*place.group);
        json += ", \"caption\": " + JsonString(place.caption);
        json += ", \"url\": " + JsonString(plan.UrlOf(place));
        json += ", \"result\": " + JsonString(std::string(LinkResultName(outcome.result)));
        json += ", \"status\": " +
                (outcome.status > 0 ? std::to_string(outcome.status) : std::string("null"));
        json += ", \"final_url\": " +
                (outcome.finalUrl.empty() ? std::string("null") : JsonString(outcome.finalUrl));
        json += ", \"reason\": " + JsonString(outcome.reason);
        json += ", \"https_available\": ";
        json += outcome.httpsAvailable ? "true}" : "false}";
        WriteBytes(stream, json);
    }
    WriteBytes(stream, plan.places.empty() ? "]\n}\n" : "\n  ]\n}\n");
}
