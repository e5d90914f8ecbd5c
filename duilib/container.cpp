#include "duilib/container.h"

#include <algorithm>
#include <cwchar>

#include "duilib/attr_parse.h"
#include "duilib/paint_manager.h"

namespace DuiLib {

CContainerUI::~CContainerUI() {
  for (CControlUI* c : items_) delete c;
  items_.clear();
}

const wchar_t* CContainerUI::GetClass() const { return L"ContainerUI"; }

void* CContainerUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
  if (name && wcscmp(name, L"Container") == 0) return static_cast<CContainerUI*>(this);
  return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return nullptr;
  return items_[index];
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  auto it = std::find(items_.begin(), items_.end(), control);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int CContainerUI::GetCount() const { return static_cast<int>(items_.size()); }

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control) return false;
  if (index < 0 || index > GetCount()) index = GetCount();
  items_.insert(items_.begin() + index, control);
  control->SetInternVisible(IsVisible());
  if (manager_) manager_->InitControls(control, this);
  else control->SetManager(nullptr, this);
  NeedUpdate();
  return true;
}

bool CContainerUI::Remove(CControlUI* control) {
  auto it = std::find(items_.begin(), items_.end(), control);
  if (it == items_.end()) return false;
  items_.erase(it);
  delete control;
  NeedUpdate();
  return true;
}

void CContainerUI::RemoveAll() {
  std::vector<CControlUI*> old;
  old.swap(items_);
  for (CControlUI* c : old) delete c;
  NeedUpdate();
}

void CContainerUI::SetInset(RECT rc) {
  rcInset_ = rc;
  NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
  childPadding_ = padding;
  NeedUpdate();
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI::SetManager(manager, parent);
  for (CControlUI* c : items_) c->SetManager(manager, this);
}

CControlUI* CContainerUI::FindControlByName(const std::wstring& name) {
  if (CControlUI* self = CControlUI::FindControlByName(name)) return self;
  for (CControlUI* c : items_) {
    if (CControlUI* found = c->FindControlByName(name)) return found;
  }
  return nullptr;
}

CControlUI* CContainerUI::FindControlAt(POINT pt) {
  if (!IsVisible() || !PtInRect(&rcItem_, pt)) return nullptr;
  // Later children paint over earlier ones, so they are hit first.
  for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
    if (CControlUI* found = (*it)->FindControlAt(pt)) return found;
  }
  return mouseEnabled_ ? this : nullptr;
}

void CContainerUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  for (CControlUI* c : items_) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  for (CControlUI* c : items_) c->SetInternVisible(IsVisible());
}

void CContainerUI::SetEnabled(bool enable) {
  CControlUI::SetEnabled(enable);
}

RECT CContainerUI::FloatRect(CControlUI* child, const RECT& rcParent) {
  const RECT& pos = child->GetFloatPos();
  int w = child->GetFixedWidth() > 0 ? child->GetFixedWidth() : pos.right - pos.left;
  int h = child->GetFixedHeight() > 0 ? child->GetFixedHeight() : pos.bottom - pos.top;
  RECT rc{rcParent.left + pos.left, rcParent.top + pos.top, 0, 0};
  rc.right = rc.left + std::max(0, w);
  rc.bottom = rc.top + std::max(0, h);
  return rc;
}

void CContainerUI::StackChildren(const RECT& rcIn, bool vertical) {
  RECT rc{rcIn.left + rcInset_.left, rcIn.top + rcInset_.top, rcIn.right - rcInset_.right,
          rcIn.bottom - rcInset_.bottom};
  const int total = vertical ? RectHeight(rc) : RectWidth(rc);
  int fixedSum = 0, stretchCount = 0, visibleCount = 0;
  for (CControlUI* c : items_) {
    if (!c->IsVisible() || c->IsFloat()) continue;
    ++visibleCount;
    const RECT& p = c->GetPadding();
    int fixed = vertical ? c->GetFixedHeight() : c->GetFixedWidth();
    fixedSum += vertical ? p.top + p.bottom : p.left + p.right;
    if (fixed > 0) fixedSum += fixed;
    else ++stretchCount;
  }
  if (visibleCount > 1) fixedSum += childPadding_ * (visibleCount - 1);
  int remaining = std::max(0, total - fixedSum);
  int share = stretchCount ? remaining / stretchCount : 0;
  int extra = stretchCount ? remaining - share * stretchCount : 0;  // goes to the last spacer
  int cursor = vertical ? rc.top : rc.left;
  int stretched = 0;
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) {
      c->SetPos(FloatRect(c, rcIn));
      continue;
    }
    const RECT& p = c->GetPadding();
    int fixed = vertical ? c->GetFixedHeight() : c->GetFixedWidth();
    int len = fixed;
    if (fixed <= 0) {
      len = share;
      if (++stretched == stretchCount) len += extra;
    }
    RECT r{};
    if (vertical) {
      int w = c->GetFixedWidth() > 0 ? c->GetFixedWidth() : RectWidth(rc) - p.left - p.right;
      r.left = rc.left + p.left;
      r.right = r.left + std::max(0, w);
      r.top = cursor + p.top;
      r.bottom = r.top + len;
      cursor = r.bottom + p.bottom + childPadding_;
    } else {
      int h = c->GetFixedHeight() > 0 ? c->GetFixedHeight() : RectHeight(rc) - p.top - p.bottom;
      r.top = rc.top + p.top;
      r.bottom = r.top + std::max(0, h);
      r.left = cursor + p.left;
      r.right = r.left + len;
      cursor = r.right + p.right + childPadding_;
    }
    c->SetPos(r);
  }
}

void CContainerUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  // A plain container stacks its children vertically.
  StackChildren(rcItem_, true);
}

void CContainerUI::DoPaint(HDC hdc, const RECT& rcPaint) {
  RECT clip;
  if (!IntersectRect(&clip, &rcPaint, &rcItem_)) return;
  CControlUI::DoPaint(hdc, rcPaint);
  int saved = SaveDC(hdc);
  IntersectClipRect(hdc, rcItem_.left, rcItem_.top, rcItem_.right, rcItem_.bottom);
  for (CControlUI* c : items_) {
    if (c->IsVisible()) c->DoPaint(hdc, clip);
  }
  RestoreDC(hdc, saved);
}

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (wcscmp(name, L"inset") == 0) SetInset(ParseRect(value));
  else if (wcscmp(name, L"childpadding") == 0) SetChildPadding(ParseInt(value));
  else CControlUI::SetAttribute(name, value);
}

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayoutUI"; }

void* CVerticalLayoutUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"VerticalLayout") == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CVerticalLayoutUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  StackChildren(rcItem_, true);
}

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"HorizontalLayout") == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CHorizontalLayoutUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  StackChildren(rcItem_, false);
}

}  // namespace DuiLib
