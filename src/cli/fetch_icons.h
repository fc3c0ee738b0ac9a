// quillomere-cli fetch-icons: fetches the site icon of every link item that has none (every one
// with --refresh) and saves a copy of the project with them.
#pragma once

#include "network/icon_fetch_job.h"

#include <string>
#include <vector>

class CProject;
class CStream;

// `arguments` starts with the command's name. Exit status 0 when the copy was saved (whatever
// the fetch found), 1 when a file cannot be read or written or the fetch cannot run, 2 on wrong
// usage.
int RunFetchIcons(const std::vector<std::wstring>& arguments, CProject& project, CStream& out,
                  CStream& err);

// Test seam: the HTTP stack the command uses; an empty factory puts the system's back.
void SetFetchIconsTransportForTesting(CIconFetchJob::TransportFactory factory);
