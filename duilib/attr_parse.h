// Parsing of attribute values as written in layouts: integers, rectangles,
// sizes, booleans, colours, image strings and attribute lists. Pure
// functions, no state; malformed parts read as 0 / false / empty.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace DuiLib {

// "l,t,r,b" -> RECT; missing numbers are 0. White space around numbers is allowed.
RECT ParseRect(const std::wstring& value);
// "w,h" -> SIZE; missing numbers are 0.
SIZE ParseSize(const std::wstring& value);
// Decimal integer with optional sign; 0 when none.
int ParseInt(const std::wstring& value);
// "true" (any case) or "1" -> true; anything else false.
bool ParseBool(const std::wstring& value);

// Colour as "#AARRGGBB", "#RRGGBB" (alpha FF), "0xAARRGGBB"/"0XAARRGGBB", or bare
// hexadecimal digits. Result is 0xAARRGGBB. ok (optional) tells whether digits were found.
DWORD ParseColor(const std::wstring& value, bool* ok = nullptr);
// GDI COLORREF of an ARGB colour (alpha dropped).
inline COLORREF ArgbToColorRef(DWORD argb) {
  return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// A parsed image string: either a plain file name or key='value' pairs
// (file, source, corner, mask, dest, fade, hole, xtiled, ytiled), separated by
// optional white space. Rectangles that were not given stay all-zero.
struct TImageInfo {
  std::wstring file;       // skin file name; empty: nothing to draw
  RECT source{};           // part of the image; all zero = whole image
  RECT corner{};           // unscaled margins l,t,r,b when stretched
  RECT dest{};             // target inside the control; all zero = whole control
  DWORD mask = 0;          // colour drawn transparent (RGB compared), when hasMask
  bool hasMask = false;
  BYTE fade = 255;         // constant alpha 0..255
  bool hole = false;       // skip the middle of a 9-slice
  bool hasSource = false, hasDest = false;
};
// Parses one image string. An empty value gives an empty file.
TImageInfo ParseImageString(const std::wstring& value);

// Attribute list as kept by Default elements: name="value" pairs separated
// by white space (value in double quotes; single quotes inside are kept).
// Stops at the first malformed pair; returns the pairs read before it.
std::vector<std::pair<std::wstring, std::wstring>> ParseAttributeList(const std::wstring& list);

}  // namespace DuiLib
