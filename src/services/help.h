// "Quillomere Help" (F1): the help page from the program's resources, written to the temp folder
// with this run's file places filled in and opened in the browser like the preview.
#pragma once

#include <string>

// The page's text with this run's values; empty when the resource is missing.
std::string HelpPageOfRun();
// Writes the page to the temp folder (kept until quit) and starts the browser on it; returns the
// file's path.
std::wstring ShowHelpPage();
