#include "online/picture_box.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>

#include "app/ui.h"

namespace {

const wchar_t kClassName[] = L"TessaroPicture";

template <class T>
struct ComRef {
  T* p = nullptr;
  ~ComRef() {
    if (p) p->Release();
  }
  T** out() { return &p; }
  T* operator->() const { return p; }
};

// BMP, GIF, ICO and CUR through Windows Imaging Component, each by its own decoder so that no
// other format is tried on the bytes. WIC reads from the bytes through a bounded stream and
// reports the declared size before any pixel buffer exists.
bool DecodeWithWic(const std::string& bytes, PictureFormat format, Picture& out) {
  const GUID* container = nullptr;
  std::string data = bytes;
  switch (format) {
    case PictureFormat::Bmp: container = &GUID_ContainerFormatBmp; break;
    case PictureFormat::Gif: container = &GUID_ContainerFormatGif; break;
    case PictureFormat::Ico: container = &GUID_ContainerFormatIco; break;
    case PictureFormat::Cur:
      // A cursor file is an icon file whose entries carry the hotspot where an icon has its
      // planes and bit count; the icon decoder takes both from the images themselves.
      container = &GUID_ContainerFormatIco;
      data[2] = 1;
      break;
    default: return false;
  }
  if (data.size() > 0x7FFFFFFF) return false;
  ComRef<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, reinterpret_cast<void**>(factory.out()))))
    return false;
  ComRef<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.out())) ||
      FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(data.data()),
                                          static_cast<DWORD>(data.size()))))
    return false;
  ComRef<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoder(*container, nullptr, decoder.out())) ||
      FAILED(decoder->Initialize(stream.p, WICDecodeMetadataCacheOnDemand)))
    return false;
  UINT frames = 0;
  if (FAILED(decoder->GetFrameCount(&frames)) || frames == 0) return false;
  // An icon holds several sizes: show the largest one within the limits. Other files: frame 0
  // (the first picture of an animation).
  UINT best = 0, bestW = 0, bestH = 0;
  const UINT tried = format == PictureFormat::Ico || format == PictureFormat::Cur ? std::min(frames, 64u) : 1;
  for (UINT i = 0; i < tried; ++i) {
    ComRef<IWICBitmapFrameDecode> f;
    UINT w = 0, h = 0;
    if (FAILED(decoder->GetFrame(i, f.out())) || FAILED(f->GetSize(&w, &h))) continue;
    if (PictureSizeAllowed(w, h) && static_cast<std::uint64_t>(w) * h > static_cast<std::uint64_t>(bestW) * bestH) {
      best = i;
      bestW = w;
      bestH = h;
    }
  }
  if (bestW == 0) return false;
  ComRef<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(best, frame.out()))) return false;
  ComRef<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.out())) ||
      FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom)))
    return false;
  UINT w = 0, h = 0;
  if (FAILED(converter->GetSize(&w, &h)) || w != bestW || h != bestH) return false;
  Picture p;
  try {
    p.pixels.assign(static_cast<std::size_t>(w) * h * 4, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (FAILED(converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(p.pixels.size()), p.pixels.data())))
    return false;
  p.width = static_cast<int>(w);
  p.height = static_cast<int>(h);
  LayOverWhite(p);
  out = std::move(p);
  return true;
}

Picture* Stored(HWND box) { return reinterpret_cast<Picture*>(GetWindowLongPtrW(box, GWLP_USERDATA)); }

void Paint(HWND box, HDC dc) {
  RECT client;
  GetClientRect(box, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const Picture* p = Stored(box);
  if (!p || p->empty()) return;
  const RECT r = FitPicture(p->width, p->height, client.right, client.bottom);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = p->width;
  bi.bmiHeader.biHeight = -p->height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  // Averaging when shrinking; plain pixels when enlarging, which averaging would blur.
  SetStretchBltMode(dc, r.right - r.left < p->width ? HALFTONE : COLORONCOLOR);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchDIBits(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, 0, 0, p->width, p->height,
                p->pixels.data(), &bi, DIB_RGB_COLORS, SRCCOPY);
}

LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Picture()));
      break;
    case WM_NCDESTROY:
      delete Stored(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole box
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(hwnd, dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(hwnd, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_LBUTTONDOWN:
      // Reported on the press, not on the release.
      if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY)
        SendMessageW(GetParent(hwnd), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterPictureBoxClass() { ui::RegisterClassOnce(kClassName, PictureProc, IDC_HAND); }

bool DecodePicture(const std::string& bytes, Picture& out) {
  out = Picture();
  const PictureFormat format = DetectPictureFormat(bytes);
  switch (format) {
    case PictureFormat::Png: return DecodePng(bytes, out);
    case PictureFormat::Jpeg: return DecodeJpeg(bytes, out);
    case PictureFormat::Unknown: return false;
    default: return DecodeWithWic(bytes, format, out);
  }
}

void SetPictureBytes(HWND box, const std::string& bytes) {
  Picture* stored = Stored(box);
  if (!stored) return;
  Picture p;
  DecodePicture(bytes, p);
  *stored = std::move(p);
  InvalidateRect(box, nullptr, FALSE);
  UpdateWindow(box);
}

const Picture* PictureOf(HWND box) {
  const Picture* p = Stored(box);
  return p && !p->empty() ? p : nullptr;
}

RECT FitPicture(int w, int h, int cw, int ch) {
  RECT r{0, 0, 0, 0};
  if (w <= 0 || h <= 0 || cw <= 0 || ch <= 0) return r;
  const double scale = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
  const int dw = std::max(1, std::min(cw, static_cast<int>(std::lround(w * scale))));
  const int dh = std::max(1, std::min(ch, static_cast<int>(std::lround(h * scale))));
  r.left = (cw - dw) / 2;
  r.top = (ch - dh) / 2;
  r.right = r.left + dw;
  r.bottom = r.top + dh;
  return r;
}
