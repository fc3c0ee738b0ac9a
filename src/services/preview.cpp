#include "services/preview.h"

#include "homepage/page_writer.h"
#include "model/project.h"
#include "persist/streams.h"
#include "platform/platform.h"
#include "services/browser_launch.h"
#include "services/run_files.h"

#include <string>

void Preview(CProject& project)
{
    const std::wstring path = platform::TempFolder() + kPreviewFileName;
    {
        CFileStream file(path, true);
        WritePage(project, file);
    }
    KeepUntilQuit(path);
    OpenInBrowser(path);
}
