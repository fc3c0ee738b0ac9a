// quillomere-cli check-links: the dead and moved links of a project, a homepage or a bookmark
// file, as a text or JSON report; optionally a fixed copy of the project.
#pragma once

#include "network/link_check_job.h"

#include <string>
#include <vector>

class CProject;
class CStream;

// `arguments` starts with the command's name. Exit status 0 when every checked link is OK or
// Redirected, 1 when any is not, 2 on wrong usage or a file that cannot be read or written.
int RunCheckLinks(const std::vector<std::wstring>& arguments, CProject& project, CStream& out,
                  CStream& err);

// Test seam: the HTTP stack the command uses; an empty factory puts the system's back.
void SetCheckLinksTransportForTesting(CLinkCheckJob::TransportFactory factory);
