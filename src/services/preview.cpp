#include "services/preview.h"

#include "homepage/page_writer.h"
#include "model/project.h"
#include "persist/streams.h"
#include "platform/platform.h"
#include "services/run_files.h"

std::wstring PreviewFilePath()
{
    return platform::TempFolder() + kPreviewFileName;
}

bool Preview(CProject& project, const LaunchNotice& notice)
{
    const std::wstring path = PreviewFilePath();
    bool written = false;
    {
        CFileStream file(path, true);
        WritePage(project, file);
        written = file.IsOpen() && file.Close();
    }
    KeepUntilQuit(path);
    if (!written) return false;
    OpenInBrowser(path, notice);
    return true;
}
