#include "duilib/tab_layout.h"

#include <cwchar>

#include "duilib/attr_parse.h"
#include "duilib/paint_manager.h"

namespace DuiLib {

const wchar_t* CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

void* CTabLayoutUI::GetInterface(const wchar_t* name) {
  if (name && wcscmp(name, L"TabLayout") == 0) return this;
  return CContainerUI::GetInterface(name);
}

void CTabLayoutUI::ApplyPageVisibility() {
  for (int i = 0; i < GetCount(); ++i) items_[i]->SetVisible(i == curSel_);
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  int at = GetItemIndex(control);
  if (curSel_ < 0 && at == initialSel_) {
    curSel_ = at;
  } else if (curSel_ >= 0 && at <= curSel_) {
    ++curSel_;  // the shown page moved one place on
  }
  ApplyPageVisibility();
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* control) {
  int at = GetItemIndex(control);
  if (at < 0) return false;
  CContainerUI::Remove(control);
  if (at == curSel_) curSel_ = GetCount() > 0 ? 0 : -1;
  else if (at < curSel_) --curSel_;
  ApplyPageVisibility();
  return true;
}

void CTabLayoutUI::RemoveAll() {
  CContainerUI::RemoveAll();
  curSel_ = -1;
}

bool CTabLayoutUI::SelectItem(int index) {
  if (index < 0 || index >= GetCount()) return false;
  int old = curSel_;
  curSel_ = index;
  ApplyPageVisibility();
  NeedUpdate();
  if (old != index && manager_) manager_->SendNotify(this, DUI_MSGTYPE_TABSELECT, index, old);
  return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* page) { return SelectItem(GetItemIndex(page)); }

void CTabLayoutUI::SetPos(RECT rc) {
  CControlUI::SetPos(rc);
  RECT inner{rc.left + rcInset_.left, rc.top + rcInset_.top, rc.right - rcInset_.right, rc.bottom - rcInset_.bottom};
  for (CControlUI* c : items_) {
    if (!c->IsVisible()) continue;
    if (c->IsFloat()) {
      c->SetPos(FloatRect(c, rc));
      continue;
    }
    const RECT& p = c->GetPadding();
    RECT r{inner.left + p.left, inner.top + p.top, inner.right - p.right, inner.bottom - p.bottom};
    if (c->GetFixedWidth() > 0) r.right = r.left + c->GetFixedWidth();
    if (c->GetFixedHeight() > 0) r.bottom = r.top + c->GetFixedHeight();
    c->SetPos(r);
  }
}

void CTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value) {
  if (wcscmp(name, L"selectedid") == 0) {
    initialSel_ = ParseInt(value);
    if (!SelectItem(initialSel_)) curSel_ = -1;
  } else {
    CContainerUI::SetAttribute(name, value);
  }
}

}  // namespace DuiLib
