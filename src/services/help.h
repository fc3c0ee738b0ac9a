// "Quillomere Help" (F1): the help page from the program's resources, written to the temp folder
// with this run's file places filled in and opened in the browser like the preview.
#pragma once

#include "services/browser_launch.h"

#include <string>

// The page's text with this run's values; empty when the resource is missing.
std::string HelpPageOfRun();
// The help file's path in the temp folder.
std::wstring HelpFilePath();
// Writes the page to the temp folder (kept until quit) and starts the browser on it; the launch's
// outcome comes as `notice` says. False, with no browser started, when the page could not be
// written.
bool ShowHelpPage(const LaunchNotice& notice = LaunchNotice());
