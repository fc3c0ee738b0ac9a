// Real, small images for the icon tests and the browser check: each one decodes and shows a
// square of its colour with a darker frame, so that a screenshot shows which is which.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A PNG of size x size pixels (8-bit RGB, stored without compression).
std::string MakePng(int size, std::uint32_t rgb);
// A GIF of size x size pixels.
std::string MakeGif(int size, std::uint32_t rgb);
// An ICO holding the given PNG images, each with its size as the directory says.
struct IcoImage
{
    int size;
    std::string png;
};
std::string MakeIco(const std::vector<IcoImage>& images);
// An SVG: a rounded square of the colour.
std::string MakeSvg(std::uint32_t rgb);
// The first bytes of a JPEG and a WebP file, then `filler` bytes: enough to be told apart.
std::string JpegLike(std::size_t filler);
std::string WebpLike(std::size_t filler);
// "data:TYPE;base64,..." of any bytes.
std::string DataUri(const std::string& type, const std::string& bytes);
