#include "duilib/render.h"

#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include "duilib/paint_manager.h"

namespace DuiLib {

namespace {

struct GdiplusToken {
  ULONG_PTR token = 0;
  bool ok = false;
};

GdiplusToken& Gdiplus() {
  static GdiplusToken t;
  return t;
}

// A 32-bit top-down DIB section; bits receives its pixels.
HBITMAP CreateDib32(int w, int h, DWORD** bits) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* p = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<DWORD*>(p);
  return bmp;
}

// Owns a memory DC with one bitmap selected, for AlphaBlend sources.
class SelectedDc {
 public:
  SelectedDc(HDC like, HBITMAP bmp) : dc_(CreateCompatibleDC(like)) {
    if (dc_) old_ = SelectObject(dc_, bmp);
  }
  ~SelectedDc() {
    if (dc_) {
      SelectObject(dc_, old_);
      DeleteDC(dc_);
    }
  }
  SelectedDc(const SelectedDc&) = delete;
  SelectedDc& operator=(const SelectedDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

void Blend(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh, BYTE fade) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  BLENDFUNCTION bf{AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
  AlphaBlend(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, bf);
}

// A 1x1 premultiplied surface of one colour, for alpha-correct fills.
class ColorPixel {
 public:
  explicit ColorPixel(DWORD argb) {
    bmp_ = CreateDib32(1, 1, &bits_);
    if (!bmp_) return;
    DWORD a = argb >> 24;
    DWORD r = ((argb >> 16) & 0xFF) * a / 255, g = ((argb >> 8) & 0xFF) * a / 255, b = (argb & 0xFF) * a / 255;
    *bits_ = (a << 24) | (r << 16) | (g << 8) | b;
    GdiFlush();
  }
  ~ColorPixel() {
    if (bmp_) DeleteObject(bmp_);
  }
  ColorPixel(const ColorPixel&) = delete;
  ColorPixel& operator=(const ColorPixel&) = delete;
  HBITMAP get() const { return bmp_; }

 private:
  HBITMAP bmp_ = nullptr;
  DWORD* bits_ = nullptr;
};

}  // namespace

bool EnsureGdiplus() {
  GdiplusToken& t = Gdiplus();
  if (!t.ok) {
    Gdiplus::GdiplusStartupInput input;
    t.ok = Gdiplus::GdiplusStartup(&t.token, &input, nullptr) == Gdiplus::Ok;
  }
  return t.ok;
}

// ---- CImageData --------------------------------------------------------------

CImageData::CImageData(HBITMAP bitmap, int width, int height, bool hasAlpha)
    : bitmap_(bitmap), width_(width), height_(height), hasAlpha_(hasAlpha) {
  DIBSECTION ds{};
  if (GetObject(bitmap_, sizeof(ds), &ds) == sizeof(ds)) bits_ = static_cast<const DWORD*>(ds.dsBm.bmBits);
}

CImageData::~CImageData() {
  if (bitmap_) DeleteObject(bitmap_);
}

DWORD CImageData::PixelAt(int x, int y) const {
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return bits_[static_cast<size_t>(y) * width_ + x];
}

std::unique_ptr<CImageData> DecodeImage(const unsigned char* bytes, size_t size, DWORD mask, bool hasMask) {
  if (!bytes || size == 0 || size > 0x7FFFFFFF || !EnsureGdiplus()) return nullptr;
  IStream* stream = SHCreateMemStream(bytes, static_cast<UINT>(size));
  if (!stream) return nullptr;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
  std::unique_ptr<CImageData> result;
  if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok) {
    int w = static_cast<int>(bitmap->GetWidth()), h = static_cast<int>(bitmap->GetHeight());
    Gdiplus::BitmapData data{};
    Gdiplus::Rect rect(0, 0, w, h);
    if (w > 0 && h > 0 &&
        bitmap->LockBits(&rect, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
      DWORD* bits = nullptr;
      HBITMAP dib = CreateDib32(w, h, &bits);
      bool anyAlpha = false;
      if (dib) {
        const DWORD keyRgb = mask & 0x00FFFFFF;
        for (int y = 0; y < h; ++y) {
          const DWORD* src = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
          DWORD* dst = bits + static_cast<size_t>(y) * w;
          for (int x = 0; x < w; ++x) {
            DWORD p = src[x];
            if (hasMask && (p & 0x00FFFFFF) == keyRgb) p = 0;
            DWORD a = p >> 24;
            if (a != 255) anyAlpha = true;
            DWORD r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255, b = (p & 0xFF) * a / 255;
            dst[x] = (a << 24) | (r << 16) | (g << 8) | b;
          }
        }
        GdiFlush();
        result = std::make_unique<CImageData>(dib, w, h, anyAlpha);
      }
      bitmap->UnlockBits(&data);
    }
  }
  bitmap.reset();
  stream->Release();
  return result;
}

void DrawImageData(HDC hdc, const CImageData& image, const RECT& rcDest, const RECT& rcSourceIn,
                   const RECT& rcCorner, BYTE fade, bool hole) {
  RECT src = rcSourceIn;
  if (RectEmpty(src)) src = RECT{0, 0, image.Width(), image.Height()};
  src.right = std::min<LONG>(src.right, image.Width());
  src.bottom = std::min<LONG>(src.bottom, image.Height());
  if (RectEmpty(src) || RectEmpty(rcDest)) return;
  SelectedDc mem(hdc, image.Bitmap());
  if (!mem.get()) return;
  const int dw = RectWidth(rcDest), dh = RectHeight(rcDest);
  const int sw = RectWidth(src), sh = RectHeight(src);
  // Corner margins, shrunk when the target is smaller than both corners.
  int l = rcCorner.left, t = rcCorner.top, r = rcCorner.right, b = rcCorner.bottom;
  if (l + r > sw || l + r > dw) l = r = 0;
  if (t + b > sh || t + b > dh) t = b = 0;
  if (l == 0 && t == 0 && r == 0 && b == 0) {
    Blend(hdc, rcDest.left, rcDest.top, dw, dh, mem.get(), src.left, src.top, sw, sh, fade);
    return;
  }
  const int dx[4] = {rcDest.left, rcDest.left + l, rcDest.right - r, rcDest.right};
  const int dy[4] = {rcDest.top, rcDest.top + t, rcDest.bottom - b, rcDest.bottom};
  const int sx[4] = {src.left, src.left + l, src.right - r, src.right};
  const int sy[4] = {src.top, src.top + t, src.bottom - b, src.bottom};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      if (hole && row == 1 && col == 1) continue;
      Blend(hdc, dx[col], dy[row], dx[col + 1] - dx[col], dy[row + 1] - dy[row], mem.get(), sx[col], sy[row],
            sx[col + 1] - sx[col], sy[row + 1] - sy[row], fade);
    }
  }
}

bool DrawImageString(HDC hdc, CPaintManagerUI* manager, const RECT& rcControl, const TImageInfo& info) {
  if (!manager || info.file.empty()) return false;
  const CImageData* image = manager->GetImage(info.file, info.mask, info.hasMask);
  if (!image) return false;
  RECT dest = rcControl;
  if (info.hasDest) {
    dest = RECT{rcControl.left + info.dest.left, rcControl.top + info.dest.top, rcControl.left + info.dest.right,
                rcControl.top + info.dest.bottom};
  }
  DrawImageData(hdc, *image, dest, info.hasSource ? info.source : RECT{}, info.corner, info.fade, info.hole);
  return true;
}

void DrawColor(HDC hdc, const RECT& rc, DWORD argb) {
  if ((argb >> 24) == 0 || RectEmpty(rc)) return;
  ColorPixel pixel(argb);
  if (!pixel.get()) return;
  SelectedDc mem(hdc, pixel.get());
  Blend(hdc, rc.left, rc.top, RectWidth(rc), RectHeight(rc), mem.get(), 0, 0, 1, 1, 255);
}

void DrawRectFrame(HDC hdc, const RECT& rc, DWORD argb) {
  DrawColor(hdc, RECT{rc.left, rc.top, rc.right, rc.top + 1}, argb);
  DrawColor(hdc, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}, argb);
  DrawColor(hdc, RECT{rc.left, rc.top + 1, rc.left + 1, rc.bottom - 1}, argb);
  DrawColor(hdc, RECT{rc.right - 1, rc.top + 1, rc.right, rc.bottom - 1}, argb);
}

void DrawPlainText(HDC hdc, const RECT& rcIn, const std::wstring& text, HFONT font, DWORD argb, UINT format) {
  if (text.empty() || RectEmpty(rcIn)) return;
  RECT rc = rcIn;
  HGDIOBJ old = font ? SelectObject(hdc, font) : nullptr;
  int oldMode = SetBkMode(hdc, TRANSPARENT);
  COLORREF oldColor = SetTextColor(hdc, ArgbToColorRef(argb));
  if ((format & DT_WORDBREAK) && (format & (DT_VCENTER | DT_BOTTOM))) {
    // DrawText centres only single lines: measure, then place the block.
    RECT calc = rc;
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &calc, (format & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    int h = RectHeight(calc);
    if (h < RectHeight(rc)) {
      if (format & DT_VCENTER) rc.top += (RectHeight(rc) - h) / 2;
      else rc.top = rc.bottom - h;
    }
    format &= ~(DT_VCENTER | DT_BOTTOM | DT_SINGLELINE);
  }
  DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rc, format | DT_NOPREFIX);
  SetTextColor(hdc, oldColor);
  SetBkMode(hdc, oldMode);
  if (old) SelectObject(hdc, old);
}

// ---- CDibSurface ----------------------------------------------------------------

CDibSurface::~CDibSurface() { Destroy(); }

void CDibSurface::Destroy() {
  if (dc_) {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

bool CDibSurface::Create(int w, int h) {
  if (w <= 0 || h <= 0) return false;
  if (bitmap_ && w == width_ && h == height_) {
    Clear();
    return true;
  }
  Destroy();
  bitmap_ = CreateDib32(w, h, &bits_);
  if (!bitmap_) return false;
  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) {
    Destroy();
    return false;
  }
  old_ = SelectObject(dc_, bitmap_);
  width_ = w;
  height_ = h;
  Clear();
  return true;
}

void CDibSurface::Clear(DWORD bgra) {
  if (!bits_) return;
  GdiFlush();
  std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, bgra);
}

// ---- PNG output ------------------------------------------------------------------

bool SavePixelsAsPng(const DWORD* bits, int w, int h, const std::wstring& path) {
  if (!bits || w <= 0 || h <= 0 || !EnsureGdiplus()) return false;
  Gdiplus::Bitmap bitmap(w, h, PixelFormat32bppARGB);
  Gdiplus::BitmapData data{};
  Gdiplus::Rect rect(0, 0, w, h);
  if (bitmap.LockBits(&rect, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok) return false;
  for (int y = 0; y < h; ++y) {
    DWORD* dst = reinterpret_cast<DWORD*>(static_cast<BYTE*>(data.Scan0) + y * data.Stride);
    const DWORD* src = bits + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      DWORD p = src[x], a = p >> 24;
      if (a == 0) {
        dst[x] = 0;
      } else {  // un-premultiply
        DWORD r = std::min<DWORD>(255, ((p >> 16) & 0xFF) * 255 / a);
        DWORD g = std::min<DWORD>(255, ((p >> 8) & 0xFF) * 255 / a);
        DWORD b = std::min<DWORD>(255, (p & 0xFF) * 255 / a);
        dst[x] = (a << 24) | (r << 16) | (g << 8) | b;
      }
    }
  }
  bitmap.UnlockBits(&data);
  UINT count = 0, bytes = 0;
  Gdiplus::GetImageEncodersSize(&count, &bytes);
  if (count == 0 || bytes == 0) return false;
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, bytes, codecs);
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
      return bitmap.Save(path.c_str(), &codecs[i].Clsid, nullptr) == Gdiplus::Ok;
    }
  }
  return false;
}

}  // namespace DuiLib
