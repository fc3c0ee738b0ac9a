// The project as a browser bookmark file, the HTML every browser imports: a folder per column,
// in it a folder per group, in that a bookmark per link of each link item.
#pragma once

class CProject;
class CStream;

// The title goes into <TITLE> and <H1>; form items are left out; a popup becomes the <DD>
// description of its item's main link, as text with its line breaks.
void WriteBookmarks(const CProject& project, CStream& stream);
