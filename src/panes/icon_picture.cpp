#include "panes/icon_picture.h"

#include "model/link_icon.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// The largest side decoded, in pixels: far above any icon, far below a decompression bomb.
const UINT kMaxSide = 1024;

// Releases a COM interface at the end of its scope.
template <typename T> class CComRef
{
public:
    CComRef() = default;
    ~CComRef()
    {
        if (pointer) pointer->Release();
    }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;
    T** Out() { return &pointer; }
    T* operator->() const { return pointer; }
    T* Get() const { return pointer; }

private:
    T* pointer = nullptr;
};

// The frame that scales best to `size`: an ICO holds several sizes, the others one frame.
UINT BestFrame(IWICBitmapDecoder* decoder, int size)
{
    UINT count = 0;
    if (FAILED(decoder->GetFrameCount(&count)) || count <= 1) return 0;
    UINT best = 0;
    long bestScore = -1;
    for (UINT index = 0; index < count && index < 64; ++index) {
        CComRef<IWICBitmapFrameDecode> frame;
        UINT width = 0, height = 0;
        if (FAILED(decoder->GetFrame(index, frame.Out())) ||
            FAILED(frame->GetSize(&width, &height)))
            continue;
        // The exact size first, then the smallest larger one, then the largest smaller one.
        const long side = static_cast<long>(width);
        const long score = side == size ? 1000000 : side > size ? 500000 - side : side;
        if (score > bestScore) {
            bestScore = score;
            best = index;
        }
    }
    return best;
}

// The icon's pixels as premultiplied BGRA rows of `size` pixels; false when it does not decode.
bool Decode(const std::string& bytes, int size, std::vector<std::uint8_t>& pixels)
{
    CComRef<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Out()))))
        return false;
    CComRef<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.Out())) ||
        FAILED(
            stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                         static_cast<DWORD>(bytes.size()))))
        return false;
    CComRef<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.Out())))
        return false;
    CComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(BestFrame(decoder.Get(), size), frame.Out()))) return false;
    UINT width = 0, height = 0;
    // 16 KiB of compressed bytes may claim any size: scaling reads the whole image, so one far
    // larger than an icon is not decoded at all.
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide ||
        height > kMaxSide)
        return false;
    CComRef<IWICBitmapScaler> scaler;
    if (FAILED(factory->CreateBitmapScaler(scaler.Out())) ||
        FAILED(scaler->Initialize(frame.Get(), static_cast<UINT>(size), static_cast<UINT>(size),
                                  WICBitmapInterpolationModeFant)))
        return false;
    CComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(scaler.Get(), GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    const UINT stride = static_cast<UINT>(size) * 4;
    pixels.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(size), 0);
    return SUCCEEDED(
        converter->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()));
}

} // namespace

CIconPicture::~CIconPicture()
{
    Release();
}

void CIconPicture::Release()
{
    if (bitmap) ::DeleteObject(bitmap);
    bitmap = nullptr;
}

bool CIconPicture::Load(const CLinkIcon* icon, int pixels, COLORREF background)
{
    Release();
    size = pixels > 0 ? pixels : 16;
    std::vector<std::uint8_t> bgra;
    if (!icon || !Decode(icon->Bytes(), size, bgra)) return false;
    // Laid over the background once here, so that drawing is a plain copy.
    const unsigned backB = GetBValue(background), backG = GetGValue(background),
                   backR = GetRValue(background);
    for (std::size_t at = 0; at + 3 < bgra.size(); at += 4) {
        const unsigned rest = 255u - bgra[at + 3];
        bgra[at] = static_cast<std::uint8_t>(bgra[at] + backB * rest / 255u);
        bgra[at + 1] = static_cast<std::uint8_t>(bgra[at + 1] + backG * rest / 255u);
        bgra[at + 2] = static_cast<std::uint8_t>(bgra[at + 2] + backR * rest / 255u);
        bgra[at + 3] = 255;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size; // top-down, as WIC gives the rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        Release();
        return false;
    }
    std::copy(bgra.begin(), bgra.end(), static_cast<std::uint8_t*>(bits));
    ::GdiFlush();
    return true;
}

void CIconPicture::Draw(HDC dc, const RECT& area) const
{
    const int left = area.left + (area.right - area.left - size) / 2;
    const int top = area.top + (area.bottom - area.top - size) / 2;
    if (bitmap) {
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(dc, left, top, size, size, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
        return;
    }
    // The empty square: the place an icon would take, in the colour of disabled text.
    HBRUSH frame = ::GetSysColorBrush(COLOR_GRAYTEXT);
    const RECT square = {left, top, left + size, top + size};
    ::FrameRect(dc, &square, frame);
}
