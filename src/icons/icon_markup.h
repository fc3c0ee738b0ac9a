// A link's site icon on the page: a decorative 16x16 image inside the main link's anchor, right
// before the caption, with the image's bytes in the page itself, so that the page asks no one for
// it. Both page styles write it the same way, and both page imports read it back.
#pragma once

#include <string>

class CLinkIcon;
class CStream;

// The image element: kIconImageHead, the icon's data address, kIconImageTail.
void WriteIconImage(CStream& stream, const CLinkIcon& icon);
// The element's content between "<" and ">", as the tokenizer hands a tag over.
std::string IconImageTag(const CLinkIcon& icon);

constexpr char kIconImageHead[] = "<img src=\"";
constexpr char kIconImageTail[] = "\" width=\"16\" height=\"16\" alt=\"\">";
