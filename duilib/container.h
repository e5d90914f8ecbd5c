// Containers: IContainerUI (child list operations), CContainerUI (owns its
// children, paints and hit-tests them), and the stacking layouts
// CVerticalLayoutUI and CHorizontalLayoutUI.
//
// Layout rule (both directions): inside the container's rectangle less its
// inset, non-floating visible children are stacked with their outer padding
// and childpadding between them; a child with a fixed size along the stacking
// direction gets it, the others share what is left equally (spacers). Across,
// a child gets its fixed size or the full extent, starting at its padding.
// A floating child is placed at its pos offset inside the container, sized by
// width/height (else pos right-left, bottom-top).
#pragma once

#include <vector>

#include "duilib/control.h"

namespace DuiLib {

class IContainerUI {
 public:
  virtual CControlUI* GetItemAt(int index) const = 0;  // nullptr when out of range
  virtual int GetItemIndex(CControlUI* control) const = 0;  // -1 when not a child
  virtual int GetCount() const = 0;
  // Appends control; the container owns it from then on (also on failure,
  // where it is deleted). False for nullptr.
  virtual bool Add(CControlUI* control) = 0;
  virtual bool AddAt(CControlUI* control, int index) = 0;
  // Removes and deletes control; false when it is not a child.
  virtual bool Remove(CControlUI* control) = 0;
  virtual void RemoveAll() = 0;

 protected:
  ~IContainerUI() = default;
};

class CContainerUI : public CControlUI, public IContainerUI {
 public:
  CContainerUI() = default;
  ~CContainerUI() override;

  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;

  CControlUI* GetItemAt(int index) const override;
  int GetItemIndex(CControlUI* control) const override;
  int GetCount() const override;
  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;

  RECT GetInset() const { return rcInset_; }
  void SetInset(RECT rc);
  int GetChildPadding() const { return childPadding_; }
  void SetChildPadding(int padding);

  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  CControlUI* FindControlByName(const std::wstring& name) override;
  CControlUI* FindControlAt(POINT pt) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetEnabled(bool enable = true) override;
  void SetPos(RECT rc) override;
  void DoPaint(HDC hdc, const RECT& rcPaint) override;
  void SetAttribute(const wchar_t* name, const wchar_t* value) override;

 protected:
  // Rectangle of a floating child inside rcParent.
  static RECT FloatRect(CControlUI* child, const RECT& rcParent);
  // Lays out the children along one direction (true: top to bottom).
  void StackChildren(const RECT& rc, bool vertical);

  std::vector<CControlUI*> items_;  // owned
  RECT rcInset_{};
  int childPadding_ = 0;
};

// Children stacked top to bottom.
class CVerticalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  void SetPos(RECT rc) override;
};

// Children stacked left to right.
class CHorizontalLayoutUI : public CContainerUI {
 public:
  const wchar_t* GetClass() const override;
  void* GetInterface(const wchar_t* name) override;
  void SetPos(RECT rc) override;
};

}  // namespace DuiLib
