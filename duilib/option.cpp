#include "duilib/option.h"

#include <cwchar>

#include "duilib/attr_parse.h"
#include "duilib/paint_manager.h"

namespace DuiLib {

const wchar_t* COptionUI::GetClass() const { return L"OptionUI"; }

void* COptionUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Option") == 0) return this;
  return CButtonUI::GetInterface(name);
}

void COptionUI::Selected(bool selected, bool notify) {
  if (selected_ == selected) return;
  selected_ = selected;
  Invalidate();
  if (notify && manager_) manager_->SendNotify(this, DUI_MSGTYPE_SELECTCHANGED);
}

void COptionUI::SetSelectedImage(const std::wstring& image) { selectedImage_ = image; Invalidate(); }
void COptionUI::SetSelectedHotImage(const std::wstring& image) { selectedHotImage_ = image; Invalidate(); }

void COptionUI::SetSelectedTextColor(DWORD argb) {
  selectedTextColor_ = argb;
  hasSelectedTextColor_ = true;
  Invalidate();
}

bool COptionUI::Activate() {
  if (!CButtonUI::Activate()) return false;  // "click"
  Selected(!selected_);                      // "selectchanged"
  return true;
}

DWORD COptionUI::CurrentTextColor() const {
  if (selected_ && IsEnabled() && hasSelectedTextColor_) return selectedTextColor_;
  return CButtonUI::CurrentTextColor();
}

void COptionUI::PaintStatusImage(HDC hdc) {
  if (selected_) {
    if ((state_ & UISTATE_HOT) && IsEnabled() && DrawImage(hdc, selectedHotImage_)) return;
    if (DrawImage(hdc, selectedImage_)) return;
  }
  CButtonUI::PaintStatusImage(hdc);
}

void COptionUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  const std::wstring v = value ? value : L"";
  if (wcscmp(name, L"selected") == 0) Selected(ParseBool(v), false);
  else if (wcscmp(name, L"selectedimage") == 0) SetSelectedImage(v);
  else if (wcscmp(name, L"selectedhotimage") == 0) SetSelectedHotImage(v);
  else if (wcscmp(name, L"selectedtextcolor") == 0) SetSelectedTextColor(ParseColor(v));
  else CButtonUI::SetAttribute(name, value);
}

}  // namespace DuiLib
