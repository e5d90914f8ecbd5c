#include "duilib/control.h"

#include <cwchar>

#include "duilib/attr_parse.h"
#include "duilib/paint_manager.h"
#include "duilib/render.h"
#include "ui/skin/skin.h"

namespace DuiLib {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  if (manager_) manager_->ReapObjects(this);
}

const wchar_t* CControlUI::GetClass() const { return L"ControlUI"; }

void* CControlUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"Control") == 0) return this;
  return nullptr;
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  manager_ = manager;
  parent_ = parent;
}

CControlUI* CControlUI::FindControlByName(const std::wstring& name) {
  return (!name.empty() && name == name_) ? this : nullptr;
}

CControlUI* CControlUI::FindControlAt(POINT pt) {
  if (!IsVisible() || !mouseEnabled_) return nullptr;
  return PtInRect(&rcItem_, pt) ? this : nullptr;
}

void CControlUI::SetText(const std::wstring& text) {
  if (text_ == text) return;
  text_ = text;
  Invalidate();
}

void CControlUI::SetVisible(bool visible) {
  if (visible_ == visible) return;
  bool was = IsVisible();
  visible_ = visible;
  if (was != IsVisible()) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) { internVisible_ = visible; }

void CControlUI::SetEnabled(bool enable) {
  if (enabled_ == enable) return;
  enabled_ = enable;
  Invalidate();
}

void CControlUI::SetPos(RECT rc) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  Invalidate();  // old place
  rcItem_ = rc;
  Invalidate();  // new place
}

void CControlUI::SetPadding(RECT rc) {
  rcPadding_ = rc;
  NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0) cx = 0;
  fixedWidth_ = cx;
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0) cy = 0;
  fixedHeight_ = cy;
  NeedParentUpdate();
}

void CControlUI::SetFloat(bool isFloat) {
  float_ = isFloat;
  NeedParentUpdate();
}

void CControlUI::SetFloatPos(RECT rc) {
  rcFloat_ = rc;
  NeedParentUpdate();
}

void CControlUI::SetBkColor(DWORD argb) {
  bkColor_ = argb;
  Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& image) {
  bkImage_ = image;
  Invalidate();
}

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  const std::wstring v = value ? value : L"";
  if (wcscmp(name, L"name") == 0) SetName(v);
  else if (wcscmp(name, L"text") == 0) SetText(resolveTextRef(v));
  else if (wcscmp(name, L"tooltip") == 0) SetToolTip(resolveTextRef(v));
  else if (wcscmp(name, L"width") == 0) SetFixedWidth(ParseInt(v));
  else if (wcscmp(name, L"height") == 0) SetFixedHeight(ParseInt(v));
  else if (wcscmp(name, L"padding") == 0) SetPadding(ParseRect(v));
  else if (wcscmp(name, L"float") == 0) SetFloat(ParseBool(v));
  else if (wcscmp(name, L"pos") == 0) SetFloatPos(ParseRect(v));
  else if (wcscmp(name, L"bkcolor") == 0) SetBkColor(ParseColor(v));
  else if (wcscmp(name, L"bkimage") == 0) SetBkImage(v);
  else if (wcscmp(name, L"visible") == 0) SetVisible(ParseBool(v));
  else if (wcscmp(name, L"enabled") == 0) SetEnabled(ParseBool(v));
  else if (wcscmp(name, L"mouse") == 0) SetMouseEnabled(ParseBool(v));
}

void CControlUI::ApplyAttributeList(const std::wstring& list) {
  for (const auto& [k, v] : ParseAttributeList(list)) SetAttribute(k.c_str(), v.c_str());
}

void CControlUI::Invalidate() {
  if (manager_ && IsVisible() && !RectEmpty(rcItem_)) manager_->Invalidate(rcItem_);
}

void CControlUI::NeedUpdate() {
  if (manager_) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (manager_) manager_->NeedUpdate();
}

void CControlUI::DoPaint(HDC hdc, const RECT& rcPaint) {
  RECT tmp;
  if (!IntersectRect(&tmp, &rcPaint, &rcItem_)) return;
  PaintBkColor(hdc);
  PaintBkImage(hdc);
  PaintStatusImage(hdc);
  if (!manager_ || manager_->IsPaintingText()) PaintText(hdc);
}

void CControlUI::PaintBkColor(HDC hdc) {
  if (bkColor_ >> 24) DrawColor(hdc, rcItem_, bkColor_);
}

void CControlUI::PaintBkImage(HDC hdc) {
  if (!bkImage_.empty()) DrawImage(hdc, bkImage_);
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintText(HDC) {}

bool CControlUI::DrawImage(HDC hdc, const std::wstring& image) {
  if (image.empty()) return false;
  return DrawImageString(hdc, manager_, rcItem_, ParseImageString(image));
}

void CControlUI::DoEvent(TEventUI& event) {
  // A plain control passes mouse wheel-like events up; nothing else to do.
  (void)event;
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::SetFocusedState(bool focused) {
  focused_ = focused;
  Invalidate();
}

}  // namespace DuiLib
