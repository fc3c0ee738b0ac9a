// Reading the commands' input files, shared by the commands.
#pragma once

#include <string>

class CProject;
class CStream;

// Reads a homepage or bookmark file (by its .html or .htm name) or else a project file into
// `project`; on failure says why on `err` ("quillomere-cli: ...") and returns false.
bool ReadProjectForCli(CProject& project, const std::wstring& path, CStream& err);
