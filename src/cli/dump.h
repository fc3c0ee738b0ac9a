// The project tree as indented readable text, one node or field per line.
#pragma once

class CProject;
class CStream;

void DumpProject(const CProject& project, CStream& out);
