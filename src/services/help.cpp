#include "services/help.h"

#include "persist/streams.h"
#include "persist/text.h"
#include "platform/platform.h"
#include "quil_version.h"
#include "resources/resource.h"
#include "services/browser_launch.h"
#include "services/help_page.h"
#include "services/paths.h"
#include "services/run_files.h"
#include "winui/module.h"

#include <windows.h>

std::string HelpPageOfRun()
{
    HINSTANCE instance = ModuleInstance();
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(IDR_HELP_PAGE), RT_RCDATA);
    if (!found) return std::string();
    HGLOBAL loaded = ::LoadResource(instance, found);
    const auto* bytes = static_cast<const char*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!bytes) return std::string();
    std::string_view page(bytes, ::SizeofResource(instance, found));
    return FillHelpPage(
        page, {FromUtf8(QUIL_VERSION), DocumentsFolder, ProjectFilePath, HomepageFilePath});
}

std::wstring HelpFilePath()
{
    return platform::TempFolder() + kHelpFileName;
}

bool ShowHelpPage(const LaunchNotice& notice)
{
    const std::wstring path = HelpFilePath();
    bool written = false;
    {
        CFileStream file(path, true);
        WriteBytes(file, HelpPageOfRun());
        written = file.IsOpen() && file.Close();
    }
    KeepUntilQuit(path);
    if (!written) return false;
    OpenInBrowser(path, notice);
    return true;
}
