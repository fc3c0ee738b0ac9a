// The Modern homepage: one UTF-8 file with its style sheet inside, sections for columns and groups,
// lists of items, popups that show on hover, focus and tap, labelled forms, light and dark colours
// from the system's setting. Model text is page markup here as on the Classic page: it is written
// as UTF-8, unescaped.
#pragma once

#include <string>

class CProject;
class CStream;

// Writes the whole Modern page; `language` becomes the lang attribute of the html element and
// must be a checked language tag (platform::UserLanguage gives one). Popups are numbered by their
// place in the tree, so that the same project always gives the same bytes.
void WriteModernPage(const CProject& project, CStream& stream, const std::string& language);

// The class of the html element that tells a Modern page of ours from any other page.
constexpr char kModernPageClass[] = "quillomere-modern";
