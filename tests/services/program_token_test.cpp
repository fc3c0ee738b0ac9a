// The browser command's program: quoting, white space and the cases where the text runs out.
#include "services/program_token.h"

#include <gtest/gtest.h>

namespace {

void ExpectSplit(const std::wstring& commandLine, const std::wstring& program,
                 const std::wstring& rest)
{
    ProgramToken token = SplitProgramToken(commandLine);
    EXPECT_EQ(token.program, program) << commandLine;
    EXPECT_EQ(token.rest, rest) << commandLine;
}

} // namespace

TEST(ProgramToken, UsualBrowserCommands)
{
    // A quoted path with options: the path without its quotes; the rest starts at the closing
    // quote.
    ExpectSplit(L"\"C:\\Program Files\\Browser\\browser.exe\" -osint -url \"%1\"",
                L"C:\\Program Files\\Browser\\browser.exe", L"\" -osint -url \"%1\"");
    // An unquoted path with options: every character of the path.
    ExpectSplit(L"C:\\Browser\\browser.exe -url %1", L"C:\\Browser\\browser.exe", L" -url %1");
    // A bare path is used whole.
    ExpectSplit(L"C:\\Browser\\browser.exe", L"C:\\Browser\\browser.exe", L"");
    ExpectSplit(L"", L"", L"");
    // Unquoted, a space inside a path ends the token.
    ExpectSplit(L"C:\\Program Files\\b.exe %1", L"C:\\Program", L" Files\\b.exe %1");
}

TEST(ProgramToken, WhiteSpace)
{
    ExpectSplit(L" \t\r\n\"C:\\a b\\x.exe\" -y", L"C:\\a b\\x.exe", L"\" -y");
    ExpectSplit(L"  C:\\x.exe -y", L"C:\\x.exe", L" -y");
    ExpectSplit(L"C:\\x.exe\t-y", L"C:\\x.exe", L"\t-y");
    ExpectSplit(L"C:\\x.exe\r\n", L"C:\\x.exe", L"\r\n");
    // Only those four: a vertical tab or a form feed is part of the token.
    ExpectSplit(L"C:\\x\v\fy z", L"C:\\x\v\fy", L" z");
    // The text runs out before the token ends: the whole text, leading white space included.
    ExpectSplit(L"  C:\\x.exe", L"  C:\\x.exe", L"");
    ExpectSplit(L" \t ", L" \t ", L"");
}

TEST(ProgramToken, Quotes)
{
    ExpectSplit(L"'C:\\Program Files\\x.exe' %1", L"C:\\Program Files\\x.exe", L"' %1");
    // Only the opening kind closes; the other kind is an ordinary character.
    ExpectSplit(L"\"C:\\it's here\\x.exe\" %1", L"C:\\it's here\\x.exe", L"\" %1");
    ExpectSplit(L"'say \"hi\"' x", L"say \"hi\"", L"' x");
    // Text before the opening quote is dropped; text right after the closing one is the rest.
    ExpectSplit(L"abc\"C:\\x y.exe\" z", L"C:\\x y.exe", L"\" z");
    ExpectSplit(L"\"C:\\x.exe\"-y", L"C:\\x.exe", L"\"-y");
    ExpectSplit(L"\"\" -x", L"", L"\" -x");
    // Unclosed: the whole text, the opening quote included.
    ExpectSplit(L"\"C:\\Program Files\\x.exe -url %1", L"\"C:\\Program Files\\x.exe -url %1", L"");
    ExpectSplit(L"'", L"'", L"");
    ExpectSplit(L"C:\\a\"b c", L"C:\\a\"b c", L"");
    ExpectSplit(L"\"C:\\Prográmmé\\ü.exe\" x", L"C:\\Prográmmé\\ü.exe", L"\" x");
}
