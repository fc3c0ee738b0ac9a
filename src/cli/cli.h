// quillomere-cli: the program's file work from the command line, for scripts and headless
// machines.
#pragma once

#include <string>
#include <vector>

class CProject;
class CStream;

// Exit statuses.
constexpr int kCliSuccess = 0;
constexpr int kCliFileError = 1; // a file cannot be read, does not load or does not import
constexpr int kCliUsage = 2;

// Runs one command; `arguments` excludes the program name. The command builds its project in
// `project`, which must be empty, and leaves it there: the caller decides when the tree goes (the
// program leaves it to the operating system). Normal output goes to `out`, the one-line reasons
// of failures to `err`.
int RunCli(const std::vector<std::wstring>& arguments, CProject& project, CStream& out,
           CStream& err);
