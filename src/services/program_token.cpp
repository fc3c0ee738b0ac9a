#include "services/program_token.h"

#include "persist/trim.h"

namespace {

bool IsQuote(wchar_t c)
{
    return c == L'"' || c == L'\'';
}

} // namespace

ProgramToken SplitProgramToken(const std::wstring& commandLine)
{
    std::size_t start = 0;
    bool begun = false;
    bool quoted = false;
    wchar_t openingQuote = 0;
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        wchar_t c = commandLine[i];
        bool ends = false;
        if (IsBlank(c)) {
            if (!begun)
                start = i + 1;
            else if (!quoted)
                ends = true;
        } else if (IsQuote(c)) {
            begun = true;
            if (quoted) {
                ends = c == openingQuote;
            } else {
                quoted = true;
                openingQuote = c;
                start = i + 1;
            }
        } else {
            begun = true;
        }
        if (ends) return {commandLine.substr(start, i - start), commandLine.substr(i)};
    }
    return {commandLine, std::wstring()};
}
