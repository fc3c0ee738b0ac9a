// What the link check's and the icon fetch's windows say about a result, as sentences for
// people: a failure of the network in the program's own words with the HTTP stack's code in
// brackets at the end ("The host name could not be found (WinHTTP error 12007)"), the engines'
// own reasons with a capital letter. The command line's reports keep the engines' texts.
#pragma once

#include "network/icon_fetcher.h"
#include "network/link_checker.h"

#include <string>

// Why the check failed, or what else it found out, for the results list ("" when nothing).
std::string LinkReasonText(const LinkOutcome& outcome);

// Why a link got no icon, in a few words ("No icon on the page", "Could not connect").
const char* IconMissingWhy(IconFetchResult result);
// What the fetch found out about a link that got no icon, with the stack's code at the end of
// its words.
std::string IconReasonText(const IconFetchOutcome& outcome);

// The first letter of a text upper case, unless the text starts with an address.
std::string SentenceCase(std::string text);
