// Icons as data: addresses, the form in which bookmark files and pages carry them. Only base64
// data addresses ("data:image/png;base64,iVBOR...") are icons: a percent-encoded image is rare and
// an SVG written that way is markup, so the plain form is not read. The media type an address
// declares is never believed: the bytes say what the image is.
#pragma once

#include "model/link_icon.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// Decodes a base64 data address as a browser does: surrounding blanks dropped, "data:" and
// "base64" in any case, percent escapes and blanks inside the data allowed, the final padding
// optional. False when it is no such address, does not decode, or holds more than `maxBytes`;
// the size is known before anything is allocated, so a huge or lying address costs nothing.
bool DecodeBase64DataUri(std::string_view uri, std::size_t maxBytes, std::string& bytes);

// The icon a data address holds; null when it holds none that is kept.
std::shared_ptr<const CLinkIcon> IconFromDataUri(std::string_view uri);

// "data:" media type ";base64," and the bytes: what the page and the bookmark file write.
std::string IconDataUri(const CLinkIcon& icon);

// Base64 (with padding) of `count` bytes into `out`, which holds at least Base64Length(count)
// characters; returns the characters written.
std::size_t EncodeBase64(const unsigned char* bytes, std::size_t count, char* out);
constexpr std::size_t Base64Length(std::size_t count)
{
    return (count + 2) / 3 * 4;
}
