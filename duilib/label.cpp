#include "duilib/label.h"

#include <cwchar>

#include "duilib/attr_parse.h"
#include "duilib/paint_manager.h"
#include "duilib/render.h"

namespace DuiLib {

CLabelUI::CLabelUI() : textStyle_(DT_LEFT | DT_VCENTER | DT_SINGLELINE) {}

const wchar_t* CLabelUI::GetClass() const { return L"LabelUI"; }

void* CLabelUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Label") == 0) return this;
  return CControlUI::GetInterface(name);
}

void CLabelUI::SetFont(int id) {
  font_ = id;
  Invalidate();
}

void CLabelUI::SetTextColor(DWORD argb) {
  textColor_ = argb;
  hasTextColor_ = true;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD argb) {
  disabledTextColor_ = argb;
  hasDisabledTextColor_ = true;
  Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc) {
  rcTextPadding_ = rc;
  Invalidate();
}

void CLabelUI::SetShowHtml(bool showHtml) {
  showHtml_ = showHtml;
  Invalidate();
}

void CLabelUI::SetTextStyle(UINT style) {
  textStyle_ = style;
  Invalidate();
}

DWORD CLabelUI::CurrentTextColor() const {
  if (!IsEnabled() && hasDisabledTextColor_) return disabledTextColor_;
  if (hasTextColor_) return textColor_;
  return manager_ ? manager_->GetDefaultTextColor() : 0xFF000000;
}

void CLabelUI::DrawLabelText(HDC hdc, DWORD color) {
  std::wstring text = GetText();
  if (text.empty() || !manager_) return;
  RECT rc{rcItem_.left + rcTextPadding_.left, rcItem_.top + rcTextPadding_.top, rcItem_.right - rcTextPadding_.right,
          rcItem_.bottom - rcTextPadding_.bottom};
  HFONT font = manager_->GetFont(font_);
  if (showHtml_) DrawMarkupText(hdc, rc, text, font, color, textStyle_);
  else DrawPlainText(hdc, rc, text, font, color, textStyle_);
}

void CLabelUI::PaintText(HDC hdc) { DrawLabelText(hdc, CurrentTextColor()); }

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  const std::wstring v = value ? value : L"";
  if (wcscmp(name, L"font") == 0) {
    SetFont(ParseInt(v));
  } else if (wcscmp(name, L"textcolor") == 0) {
    SetTextColor(ParseColor(v));
  } else if (wcscmp(name, L"disabledtextcolor") == 0) {
    SetDisabledTextColor(ParseColor(v));
  } else if (wcscmp(name, L"textpadding") == 0) {
    SetTextPadding(ParseRect(v));
  } else if (wcscmp(name, L"showhtml") == 0) {
    SetShowHtml(ParseBool(v));
  } else if (wcscmp(name, L"align") == 0) {
    UINT s = textStyle_;
    if (v.find(L"left") != std::wstring::npos) s = (s & ~(DT_CENTER | DT_RIGHT)) | DT_LEFT;
    if (v.find(L"center") != std::wstring::npos && v.find(L"vcenter") == std::wstring::npos)
      s = (s & ~(DT_LEFT | DT_RIGHT)) | DT_CENTER;
    if (v.find(L"right") != std::wstring::npos) s = (s & ~(DT_LEFT | DT_CENTER)) | DT_RIGHT;
    if (v.find(L"top") != std::wstring::npos) s = (s & ~(DT_VCENTER | DT_BOTTOM)) | DT_TOP;
    if (v.find(L"bottom") != std::wstring::npos) s = (s & ~(DT_VCENTER | DT_TOP)) | DT_BOTTOM;
    SetTextStyle(s);
  } else if (wcscmp(name, L"valign") == 0) {
    UINT s = textStyle_ & ~(DT_TOP | DT_VCENTER | DT_BOTTOM);
    if (v == L"top") s |= DT_TOP;
    else if (v == L"bottom") s |= DT_BOTTOM;
    else s |= DT_VCENTER;
    SetTextStyle(s);
  } else if (wcscmp(name, L"multiline") == 0 || wcscmp(name, L"wordbreak") == 0) {
    SetTextStyle(ParseBool(v) ? (textStyle_ & ~DT_SINGLELINE) | DT_WORDBREAK
                              : (textStyle_ & ~DT_WORDBREAK) | DT_SINGLELINE);
  } else if (wcscmp(name, L"endellipsis") == 0) {
    SetTextStyle(ParseBool(v) ? textStyle_ | DT_END_ELLIPSIS : textStyle_ & ~DT_END_ELLIPSIS);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

}  // namespace DuiLib
