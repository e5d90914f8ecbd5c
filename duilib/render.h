// Rendering primitives of the library (paint step): images decoded from
// memory with GDI+ into premultiplied 32-bit DIBs, drawn with AlphaBlend
// (source part, 9-slice corners, colour-key mask, target rectangle, fade);
// colour fills that keep the alpha channel; GDI text and inline markup text;
// 32-bit DIB surfaces and PNG output. UI thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "duilib/attr_parse.h"
#include "duilib/ui_defs.h"

namespace DuiLib {

// Starts GDI+ once per process (idempotent); false when it cannot start.
bool EnsureGdiplus();

// A decoded image: a top-down 32-bit premultiplied-alpha DIB section.
class CImageData {
 public:
  CImageData(HBITMAP bitmap, int width, int height, bool hasAlpha);
  ~CImageData();
  CImageData(const CImageData&) = delete;
  CImageData& operator=(const CImageData&) = delete;
  HBITMAP Bitmap() const { return bitmap_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool HasAlpha() const { return hasAlpha_; }  // any pixel below 255
  // Premultiplied BGRA of pixel (x, y); 0 outside the image.
  DWORD PixelAt(int x, int y) const;

 private:
  HBITMAP bitmap_;
  int width_, height_;
  bool hasAlpha_;
  const DWORD* bits_ = nullptr;
};

// Decodes PNG/BMP/JPEG/GIF bytes with GDI+. With hasMask, pixels whose RGB
// equals mask's become fully transparent. nullptr when the bytes do not decode.
std::unique_ptr<CImageData> DecodeImage(const unsigned char* bytes, size_t size, DWORD mask, bool hasMask);

// Draws rcSource of image into rcDest, keeping the corner margins unscaled
// (9-slice; the middle is stretched, skipped when hole). fade: constant alpha.
void DrawImageData(HDC hdc, const CImageData& image, const RECT& rcDest, const RECT& rcSource,
                   const RECT& rcCorner, BYTE fade, bool hole);

// Draws a parsed image string for a control at rcControl: image from the
// manager's cache; dest (when given) is relative to rcControl's top-left;
// source defaults to the whole image. False when the image cannot be read.
bool DrawImageString(HDC hdc, CPaintManagerUI* manager, const RECT& rcControl, const TImageInfo& info);

// Fills rc with an ARGB colour, blending by its alpha (0 draws nothing);
// the destination alpha channel is kept correct.
void DrawColor(HDC hdc, const RECT& rc, DWORD argb);
// A one-pixel frame of colour argb around rc.
void DrawRectFrame(HDC hdc, const RECT& rc, DWORD argb);

// Plain GDI text in rc with DT_* flags, in font (nullptr: current font) and
// colour (alpha ignored; layouts write white as #00FFFFFF).
void DrawPlainText(HDC hdc, const RECT& rc, const std::wstring& text, HFONT font, DWORD argb, UINT format);

// Inline markup, as enabled by showhtml: <c #RRGGBB>..</c> colour,
// <u [#RRGGBB]>..</u> underline (in that colour, else the text's), <b>..</b>
// bold, <i>..</i> italic, <n> line break; any other text is literal (an
// unknown or unclosed tag is drawn as text). Tags nest.
struct TMarkupStyle {
  DWORD color = 0;  // ARGB; meaningful when hasColor
  bool hasColor = false;
  bool underline = false;
  DWORD underlineColor = 0;  // meaningful when hasUnderlineColor
  bool hasUnderlineColor = false;
  bool bold = false;
  bool italic = false;
  bool operator==(const TMarkupStyle&) const = default;
};
struct TMarkupRun {
  std::wstring text;
  TMarkupStyle style;
  bool lineBreak = false;  // a <n>: the run's text is empty
};
std::vector<TMarkupRun> ParseMarkup(const std::wstring& text);
// Draws markup text into rc: single line unless DT_WORDBREAK; DT_LEFT/
// DT_CENTER/DT_RIGHT and DT_TOP/DT_VCENTER/DT_BOTTOM place it.
void DrawMarkupText(HDC hdc, const RECT& rc, const std::wstring& text, HFONT font, DWORD argb, UINT format);
// Plain text with the markup tags removed (for measuring and tests).
std::wstring StripMarkup(const std::wstring& text);

// A top-down 32-bit DIB section selected into its own memory DC; pixels
// start transparent black. Owns both.
class CDibSurface {
 public:
  CDibSurface() = default;
  ~CDibSurface();
  CDibSurface(const CDibSurface&) = delete;
  CDibSurface& operator=(const CDibSurface&) = delete;
  // (Re)creates the surface at w x h (>0), cleared; false on failure.
  bool Create(int w, int h);
  void Clear(DWORD bgra = 0);
  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }
  DWORD* Bits() const { return bits_; }  // w*h pixels, BGRA premultiplied
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  void Destroy();
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  DWORD* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

// Writes w x h premultiplied BGRA pixels (top-down) as a PNG with alpha.
bool SavePixelsAsPng(const DWORD* bits, int w, int h, const std::wstring& path);

}  // namespace DuiLib
