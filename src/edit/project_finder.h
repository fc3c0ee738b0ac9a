// Finds a text in the project in tree order. The stops are each column, group and item with its
// own texts, and after an item each of its further links, fields and (after their field) options;
// a stop matches when one of its texts contains the text searched for. Texts are matched as the
// page shows them (captions, divider, popup, form name and option text without tags and with
// their character references decoded) and as a browser reads them (addresses, field names and
// values, option values decoded), so that "AT&T" finds the caption "AT&amp;T". The project title
// is not searched.
#pragma once

#include "edit/site.h"

#include <string>

class CProject;

class CProjectFinder
{
public:
    // `text` is searched as it is with `matchCase`, else with the system's case folding.
    CProjectFinder(const CProject& project, const std::wstring& text, bool matchCase);

    // The next stop with a match after `from`, or at it when `inclusive`, forward or backward,
    // wrapping round the project (so `from` itself is found last). A `from` that is no stop
    // starts at the first stop (forward) or the last (backward). `found` names the stop and the
    // first of its texts that matched; false, with `found` untouched, when nothing matches.
    // Allocates only for texts with markup, into storage it keeps.
    bool Find(const CSite& from, bool forward, bool inclusive, CSite& found) const;

    // True when `haystack` contains the text.
    bool Contains(const std::wstring& haystack) const;

private:
    // The first text of the stop that matches; SitePart::Node when none does.
    SitePart Match(const CSite& stop) const;
    // True when the text as the page shows it (or, for an attribute, as a browser reads it)
    // contains the text searched for.
    bool Shows(const std::wstring& markup, bool attribute) const;

    const CProject* project; // not owned
    std::wstring needle;     // folded unless the case matters
    bool matchCase;
    const wchar_t* upper;         // the case table; not owned
    mutable std::wstring scratch; // a converted text
};
