// Splits the program off a command line as the system's browser command stores it, for example
// "\"C:\Program Files\Browser\browser.exe\" -osint -url \"%1\"".
#pragma once

#include <string>

struct ProgramToken
{
    std::wstring program; // the first token, without the quotes that enclosed it
    std::wstring rest;    // from the character that ended the token on; empty when none did
};

// Leading white space (tab, line feed, carriage return, space) is skipped. A double quote or an
// apostrophe opens a quoted part that only the same character closes; text before the opening
// quote is dropped. Unquoted, white space ends the token. A token that the text's end cuts short
// (no white space after it, or an unclosed quote) is the whole text, leading white space and the
// opening quote included.
ProgramToken SplitProgramToken(const std::wstring& commandLine);
