// What the commands share: reading their input files and saying what is wrong.
#pragma once

#include <string>

class CProject;
class CStream;

// Reads a homepage or bookmark file (by its .html or .htm name) or else a project file into
// `project`; on failure says why on `err` ("quillomere-cli: ...") and returns false.
bool ReadProjectForCli(CProject& project, const std::wstring& path, CStream& err);
// Says on `err` what is wrong with the command line and where help is; returns kCliUsage.
int CliUsageError(CStream& err, const std::string& reason);
// True for the network limits that check-links and fetch-icons share: --jobs, --per-host and
// --timeout.
bool IsNetworkLimit(const std::wstring& option);
// Sets such a limit from its value; empty when sound, else what is wrong.
std::string ParseNetworkLimit(const std::wstring& option, const std::wstring& value, int& jobs,
                              int& perHost, int& timeoutSeconds);
// A path in quotes for messages.
std::string QuotedPath(const std::wstring& path);
