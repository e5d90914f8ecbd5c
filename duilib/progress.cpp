#include "duilib/progress.h"

#include <cwchar>

#include "duilib/attr_parse.h"
#include "duilib/paint_manager.h"
#include "duilib/render.h"

namespace DuiLib {

CProgressUI::CProgressUI() { textStyle_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

const wchar_t* CProgressUI::GetClass() const { return L"ProgressUI"; }

void* CProgressUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Progress") == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CProgressUI::SetMinValue(int min) {
  min_ = min;
  if (max_ < min_) max_ = min_;
  SetValue(value_);
  Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
  max_ = max;
  if (min_ > max_) min_ = max_;
  SetValue(value_);
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  if (value < min_) value = min_;
  if (value > max_) value = max_;
  if (value == value_) return;
  value_ = value;
  Invalidate();
}

void CProgressUI::SetHorizontal(bool horizontal) {
  horizontal_ = horizontal;
  Invalidate();
}

void CProgressUI::SetForeImage(const std::wstring& image) {
  foreImage_ = image;
  Invalidate();
}

void CProgressUI::PaintStatusImage(HDC hdc) {
  if (foreImage_.empty() || max_ <= min_ || value_ <= min_) return;
  const long long span = max_ - min_, part = value_ - min_;
  RECT rcPart = rcItem_;
  if (horizontal_) rcPart.right = rcItem_.left + static_cast<LONG>(RectWidth(rcItem_) * part / span);
  else rcPart.top = rcItem_.bottom - static_cast<LONG>(RectHeight(rcItem_) * part / span);
  if (RectEmpty(rcPart)) return;
  TImageInfo info = ParseImageString(foreImage_);
  const RECT& c = info.corner;
  if (!info.hasDest && (c.left || c.top || c.right || c.bottom)) {
    // Stretched to the filled part, keeping its ends.
    DrawImageString(hdc, manager_, rcPart, info);
    return;
  }
  int saved = SaveDC(hdc);
  IntersectClipRect(hdc, rcPart.left, rcPart.top, rcPart.right, rcPart.bottom);
  DrawImageString(hdc, manager_, rcItem_, info);
  RestoreDC(hdc, saved);
}

void CProgressUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  const std::wstring v = value ? value : L"";
  if (wcscmp(name, L"min") == 0) SetMinValue(ParseInt(v));
  else if (wcscmp(name, L"max") == 0) SetMaxValue(ParseInt(v));
  else if (wcscmp(name, L"value") == 0) SetValue(ParseInt(v));
  else if (wcscmp(name, L"hor") == 0) SetHorizontal(ParseBool(v));
  else if (wcscmp(name, L"foreimage") == 0) SetForeImage(v);
  else CLabelUI::SetAttribute(name, value);
}

}  // namespace DuiLib
