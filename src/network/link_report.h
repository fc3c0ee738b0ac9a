// The link check's reports: text for people (the places that are not OK, then the counts) and
// JSON for programs (every place).
#pragma once

#include "network/link_places.h"

#include <cstddef>
#include <string>
#include <vector>

class CStream;

// Text from the network or a file as a terminal may be given it: valid UTF-8, with every control
// character (C0, DEL, C1) written as \xHH or \u00HH, so that none can move the cursor, clear
// the screen, recolour it or set its title.
std::string PrintableText(const std::string& bytes);
// "Column / Group / Caption" of a place, printable.
std::string PlaceWhere(const LinkPlace& place);
// The summary line: places, addresses and the count of each result that occurred, e.g.
// "12 places, 10 addresses checked: 8 OK, 1 Moved, 1 Not found; 2 not checked".
std::string LinkCheckSummary(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes);
// The same for some of the places (indices into plan.places): the list as it stands. Those
// marked in `replaced` (by position in `places`) hold the address a replace gave them and are
// counted as "Replaced" after the results.
std::string LinkCheckSummary(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes,
                             const std::vector<std::size_t>& places,
                             const std::vector<bool>& replaced);
// Every text in it printable.
void WriteLinkTextReport(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes,
                         CStream& stream);
// {"summary": {"places": N, "addresses": N, "results": {"OK": N, ...}},
//  "places": [{"column", "group", "caption", "url", "result", "status", "final_url", "reason",
//              "https_available"}, ...]}; status and final_url are null when there is none.
void WriteLinkJsonReport(const LinkCheckPlan& plan, const std::vector<LinkOutcome>& outcomes,
                         CStream& stream);
