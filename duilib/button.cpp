#include "duilib/button.h"

#include <cwchar>

#include "duilib/attr_parse.h"
#include "duilib/paint_manager.h"

namespace DuiLib {

CButtonUI::CButtonUI() { textStyle_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

const wchar_t* CButtonUI::GetClass() const { return L"ButtonUI"; }

void* CButtonUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Button") == 0) return this;
  return CLabelUI::GetInterface(name);
}

void CButtonUI::SetNormalImage(const std::wstring& image) { normalImage_ = image; Invalidate(); }
void CButtonUI::SetHotImage(const std::wstring& image) { hotImage_ = image; Invalidate(); }
void CButtonUI::SetPushedImage(const std::wstring& image) { pushedImage_ = image; Invalidate(); }
void CButtonUI::SetFocusedImage(const std::wstring& image) { focusedImage_ = image; Invalidate(); }
void CButtonUI::SetDisabledImage(const std::wstring& image) { disabledImage_ = image; Invalidate(); }

void CButtonUI::SetHotTextColor(DWORD argb) {
  hotTextColor_ = argb;
  hasHotTextColor_ = true;
  Invalidate();
}

void CButtonUI::SetPushedTextColor(DWORD argb) {
  pushedTextColor_ = argb;
  hasPushedTextColor_ = true;
  Invalidate();
}

void CButtonUI::SetEnabled(bool enable) {
  if (!enable) state_ &= ~(UISTATE_HOT | UISTATE_PUSHED | UISTATE_CAPTURED);
  CLabelUI::SetEnabled(enable);
}

bool CButtonUI::Activate() {
  if (!CControlUI::Activate() || !manager_) return false;
  manager_->SendNotify(this, DUI_MSGTYPE_CLICK);
  return true;
}

void CButtonUI::DoEvent(TEventUI& event) {
  if (!IsEnabled()) return;
  switch (event.Type) {
    case UIEVENT_MOUSEENTER:
      state_ |= UISTATE_HOT;
      Invalidate();
      break;
    case UIEVENT_MOUSELEAVE:
      state_ &= ~UISTATE_HOT;
      Invalidate();
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      state_ |= UISTATE_PUSHED | UISTATE_CAPTURED;
      Invalidate();
      break;
    case UIEVENT_MOUSEMOVE:
      if (state_ & UISTATE_CAPTURED) {
        bool inside = PtInRect(&rcItem_, event.ptMouse) != FALSE;
        unsigned before = state_;
        if (inside) state_ |= UISTATE_PUSHED;
        else state_ &= ~UISTATE_PUSHED;
        if (before != state_) Invalidate();
      }
      break;
    case UIEVENT_BUTTONUP:
      if (state_ & UISTATE_CAPTURED) {
        bool inside = PtInRect(&rcItem_, event.ptMouse) != FALSE;
        state_ &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
        Invalidate();
        if (inside) Activate();  // may raise notifications that change the tree
      }
      break;
    default:
      break;
  }
}

DWORD CButtonUI::CurrentTextColor() const {
  if (IsEnabled()) {
    if ((state_ & UISTATE_PUSHED) && hasPushedTextColor_) return pushedTextColor_;
    if ((state_ & (UISTATE_HOT | UISTATE_PUSHED)) && hasHotTextColor_) return hotTextColor_;
  }
  return CLabelUI::CurrentTextColor();
}

void CButtonUI::PaintStatusImage(HDC hdc) {
  if (!IsEnabled()) {
    if (DrawImage(hdc, disabledImage_)) return;
  } else if (state_ & UISTATE_PUSHED) {
    if (DrawImage(hdc, pushedImage_)) return;
  } else if (state_ & UISTATE_HOT) {
    if (DrawImage(hdc, hotImage_)) return;
  } else if (focused_) {
    if (DrawImage(hdc, focusedImage_)) return;
  }
  DrawImage(hdc, normalImage_);
}

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  const std::wstring v = value ? value : L"";
  if (wcscmp(name, L"normalimage") == 0) SetNormalImage(v);
  else if (wcscmp(name, L"hotimage") == 0) SetHotImage(v);
  else if (wcscmp(name, L"pushedimage") == 0) SetPushedImage(v);
  else if (wcscmp(name, L"focusedimage") == 0) SetFocusedImage(v);
  else if (wcscmp(name, L"disabledimage") == 0) SetDisabledImage(v);
  else if (wcscmp(name, L"hottextcolor") == 0) SetHotTextColor(ParseColor(v));
  else if (wcscmp(name, L"pushedtextcolor") == 0) SetPushedTextColor(ParseColor(v));
  else CLabelUI::SetAttribute(name, value);
}

}  // namespace DuiLib
