#include "test_images.h"

#include "icons/data_uri.h"

namespace {

void PutBe32(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutLe16(std::string& out, std::uint32_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutLe32(std::string& out, std::uint32_t value)
{
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

std::uint32_t Crc32(const std::string& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PngChunk(std::string& png, const char* type, const std::string& data)
{
    PutBe32(png, static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    PutBe32(png, Crc32(typed));
}

// The frame is the colour at a third of its brightness.
bool OnFrame(int x, int y, int size)
{
    return x == 0 || y == 0 || x == size - 1 || y == size - 1;
}

std::uint32_t Darker(std::uint32_t rgb)
{
    return (((rgb >> 16) & 0xFF) / 3) << 16 | (((rgb >> 8) & 0xFF) / 3) << 8 | (rgb & 0xFF) / 3;
}

} // namespace

std::string MakePng(int size, std::uint32_t rgb)
{
    std::string raw;
    for (int y = 0; y < size; ++y) {
        raw += '\0'; // no filter
        for (int x = 0; x < size; ++x) {
            std::uint32_t pixel = OnFrame(x, y, size) ? Darker(rgb) : rgb;
            raw += static_cast<char>(pixel >> 16);
            raw += static_cast<char>(pixel >> 8);
            raw += static_cast<char>(pixel);
        }
    }
    // A zlib stream of stored blocks.
    std::string zlib = "\x78\x01";
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        bool last = at + length >= raw.size();
        zlib += static_cast<char>(last ? 1 : 0);
        PutLe16(zlib, static_cast<std::uint32_t>(length));
        PutLe16(zlib, static_cast<std::uint32_t>(~length & 0xFFFF));
        zlib.append(raw, at, length);
        if (last) break;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(zlib, b << 16 | a);

    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    PutBe32(header, static_cast<std::uint32_t>(size));
    PutBe32(header, static_cast<std::uint32_t>(size));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB
    PngChunk(png, "IHDR", header);
    PngChunk(png, "IDAT", zlib);
    PngChunk(png, "IEND", std::string());
    return png;
}

std::string MakeGif(int size, std::uint32_t rgb)
{
    // 128 colours make 8-bit codes; a clear code every 100 pixels keeps them 8 bits, so the
    // image needs no compression.
    std::string gif = "GIF89a";
    PutLe16(gif, static_cast<std::uint32_t>(size));
    PutLe16(gif, static_cast<std::uint32_t>(size));
    gif += static_cast<char>(0xF6); // global table of 128 colours
    gif += '\0';
    gif += '\0';
    std::uint32_t colours[2] = {rgb, Darker(rgb)};
    for (int i = 0; i < 128; ++i) {
        std::uint32_t colour = colours[i < 2 ? i : 0];
        gif += static_cast<char>(colour >> 16);
        gif += static_cast<char>(colour >> 8);
        gif += static_cast<char>(colour);
    }
    gif += ',';
    PutLe16(gif, 0);
    PutLe16(gif, 0);
    PutLe16(gif, static_cast<std::uint32_t>(size));
    PutLe16(gif, static_cast<std::uint32_t>(size));
    gif += '\0';
    gif += '\x07'; // the minimum code size
    std::string codes;
    int run = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (run % 100 == 0) codes += static_cast<char>(0x80); // clear
            codes += static_cast<char>(OnFrame(x, y, size) ? 1 : 0);
            ++run;
        }
    }
    codes += static_cast<char>(0x81); // end
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        std::string block = codes.substr(at, 255);
        gif += static_cast<char>(block.size());
        gif += block;
    }
    gif += '\0';
    gif += ';';
    return gif;
}

std::string MakeIco(const std::vector<IcoImage>& images)
{
    std::string ico;
    PutLe16(ico, 0);
    PutLe16(ico, 1);
    PutLe16(ico, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IcoImage& image : images) {
        ico += static_cast<char>(image.size >= 256 ? 0 : image.size);
        ico += static_cast<char>(image.size >= 256 ? 0 : image.size);
        ico += '\0';
        ico += '\0';
        PutLe16(ico, 1);
        PutLe16(ico, 32);
        PutLe32(ico, static_cast<std::uint32_t>(image.png.size()));
        PutLe32(ico, offset);
        offset += static_cast<std::uint32_t>(image.png.size());
    }
    for (const IcoImage& image : images)
        ico += image.png;
    return ico;
}

std::string MakeSvg(std::uint32_t rgb)
{
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 16\">"
                       "<rect x=\"1\" y=\"1\" width=\"14\" height=\"14\" rx=\"4\" fill=\"") +
           colour + "\"/></svg>\n";
}

std::string JpegLike(std::size_t filler)
{
    return std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10) + std::string(filler, '\x11');
}

std::string WebpLike(std::size_t filler)
{
    std::string webp = "RIFF";
    PutLe32(webp, static_cast<std::uint32_t>(4 + filler));
    return webp + "WEBP" + std::string(filler, '\x22');
}

std::string DataUri(const std::string& type, const std::string& bytes)
{
    std::string uri = "data:" + type + ";base64,";
    std::size_t start = uri.size();
    uri.resize(start + Base64Length(bytes.size()));
    EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &uri[start]);
    return uri;
}
