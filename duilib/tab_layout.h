// CTabLayoutUI: shows exactly one child (page) at a time, each page laid out
// over the whole container (less inset and the page's padding). Page 0 at
// first (or the layout's selectedid). Selecting raises "tabselect".
#pragma once

#include "duilib/container.h"

namespace DuiLib {

class CTabLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  // Shows page index and hides the others; false (nothing changes) when
  // index is out of range. Selecting the current page only re-lays it out.
  bool SelectItem(int index);
  bool SelectItem(CControlUI* page);
  int GetCurSel() const { return curSel_; }

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  void SetPos(RECT rc) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 private:
  void ApplyPageVisibility();
  int curSel_ = -1;
  int initialSel_ = 0;
};

}  // namespace DuiLib
