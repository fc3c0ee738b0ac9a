// Links from the plain sources other programs give: text with addresses, an Internet shortcut
// file (.url), and a browser's dragged address with its title. Their text is plain, not page
// markup, and is stored as if typed into the pane. And the other way: the addresses of nodes as
// plain text, one per line, as a browser follows them.
#pragma once

#include "transfer/node_bundle.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CStreamable;

// One link item per line that holds an absolute http, https, ftp, mailto or file address alone
// (blanks and enclosing angle brackets aside). False when no line does.
bool ReadUrlLines(const std::wstring& text, CNodeBundle& bundle);
// The same from UTF-16LE bytes (CF_UNICODETEXT).
bool ReadUrlText(std::string_view utf16le, CNodeBundle& bundle);

// An Internet shortcut file: the URL= line of its [InternetShortcut] section (UTF-8 or ANSI
// text, or UTF-16LE with a byte order mark), captioned with the file's name without ".url"
// (`fileName` may be a path), or from the address when the name is empty.
bool ReadInternetShortcut(std::string_view bytes, const std::wstring& fileName,
                          CNodeBundle& bundle);

// What a browser gives for a dragged link: the address as UTF-16LE (UniformResourceLocatorW)
// and, where it gives one, a FILEGROUPDESCRIPTORW whose first file name is the title plus
// ".url" (empty bytes for none).
bool ReadUrlDescriptor(std::string_view urlUtf16le, std::string_view descriptor,
                       CNodeBundle& bundle);

// The addresses of the link items among the nodes and below them (main link first, then the
// further links), one per line with CRLF between, character references decoded as a browser
// decodes an attribute ("&amp;" becomes "&").
std::wstring WriteUrlText(std::int32_t kind, const std::vector<CStreamable*>& nodes);
