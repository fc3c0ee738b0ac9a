// The icons a page names in its head: <link rel="icon" href sizes type>, rel "shortcut icon",
// "apple-touch-icon" and "apple-touch-icon-precomposed", in the order worth trying.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The icon addresses of a page's bytes (as a browser reads them: character references decoded,
// relative ones not yet resolved), best first for a 16-pixel place:
//   1. one whose sizes name 32x32 (sharp on a screen of twice the density), then 16x16;
//   2. then those of the smallest size above 16 pixels first (an apple-touch-icon without sizes
//      counts as its usual 180x180);
//   3. then those without sizes, or with "any" (mostly SVG);
//   4. then those of sizes below 16 pixels only;
//   5. last, those whose type names an image that is not kept (AVIF, say), in the same order.
// Links of one rank keep the page's order; an address named twice comes once, at its best place.
// The page is hostile input: any bytes are read without harm, misplaced brackets included.
std::vector<std::string> FindIconLinks(std::string_view page);
