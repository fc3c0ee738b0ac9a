// ICO files hold one image per size, and a site's favicon.ico often passes the icon limit only
// because of its large images. The one a 16-pixel place shows best is enough.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// An ICO of the file's one image best for a 16-pixel place: 32x32, else 16x16, else the smallest
// larger one, else the largest; of one size, the one of most colours. An entry whose image lies
// outside the file is passed over; empty when the directory does not hold up, no entry is left,
// or the result is larger than `limit`. The images themselves are copied as they are.
std::string ReduceIco(std::string_view ico, std::size_t limit);
