// Whether a homepage file already holds the page a project gives, compared as the page is
// generated: no copy of the page or of the file is kept.
#pragma once

class CProject;
class CStream;

// True when `file` reads exactly the bytes WritePage writes for `project`, and nothing more.
bool PageMatches(const CProject& project, CStream& file);
